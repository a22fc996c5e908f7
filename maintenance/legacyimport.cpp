#include "maintenance/legacyimport.h"

#include "storage/cppsqlite3.h"
#include "storage/log.h"
#include "storage/paths.h"
#include "storage/sqlrun.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sqlite3.h>

namespace {

const char *const kImportFun = "bFunImportDataFromFile";

// Codes that say the file itself cannot be written (a full disk, an I/O
// error, a lost file): no later pupil would fare better, so the import stops
// and the working copy stays as it was.
bool fileLevelFailure(int code) {
    if (code == CPPSQLITE_ERROR) // the database is not open
        return true;
    switch (code & 0xff) {
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_NOMEM:
    case SQLITE_PERM:
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return true;
    default:
        return false;
    }
}

// Writes the rows of one list with the bar following them; the shared part
// of the two writers.
bool writeRows(QString &msg, CppSQLite3DB &db, const QString &table, const SqlDataList &records,
               bool create, ImportProgress *progress, int *sqliteCode, const char *funName) {
    if (progress)
        progress->setRange(int(records.size()));
    return bFunSqlRun(
        msg, {"SQLite exception: \n", funName},
        [&] {
            if (create)
                db.Execute(strFunCreatePupilTableSql(table));
            const QString failed = strFunInsertCertRows(db, table, records, [progress] {
                if (progress)
                    progress->step();
            });
            if (failed.isEmpty())
                return true;
            if (sqliteCode)
                *sqliteCode = SQLITE_ERROR;
            return bFunFail(msg, QString::fromUtf8("Błąd dodania wpisu do bazy:\n") + failed,
                            funName);
        },
        sqliteCode);
}

const SqlReport kImportReport{"SQLite exception: \n", kImportFun};

// One pupil, whole or not at all: pupil data and documents in one
// transaction.
bool writePupil(QString &msg, CppSQLite3DB &db, const structLegacyPupil &pupil,
                ImportProgress *progress, int &code) {
    // The writers report their own failures (message, log, code).
    return bFunInTransaction(
        msg, db, kImportReport,
        [&](QString &) {
            return bFunWriteStudentDataToDB(msg, db, pupil.table, pupil.pupilData, progress,
                                            &code) &&
                   bFunSqlImportWriteCertDataToDB(msg, db, pupil.table, pupil.documents, progress,
                                                  &code);
        },
        &code);
}

// Reads the whole source file; false with the message when it cannot.
bool readSource(QString &msg, const QString &path, QByteArray &bytes) {
    if (!QFileInfo(path).isFile())
        return bFunFail(msg, QString::fromUtf8("Plik źródłowy nie istnieje: \n") + path,
                        kImportFun);
    QFile file(path);
    errno = 0;
    if (file.open(QIODevice::ReadOnly)) {
        bytes = file.readAll();
        if (file.error() == QFileDevice::NoError)
            return true;
    }
    const int err = errno ? errno : int(file.error());
    return bFunFail(msg,
                    QString::fromUtf8("Nie można odczytać pliku źródłowego: \n") + path +
                        QString::fromUtf8("\nKod błędu: ") + QString::number(err),
                    kImportFun);
}

structImportReport::Pupil reportEntry(const structLegacyPupil &p, const QString &error) {
    return {p.displayName, p.table, p.problem, p.pesel, error};
}

// Builds the new content in `scratch`; false (message in the buffer) when the
// file cannot be written at all.
bool buildScratch(QString &msg, const QString &scratch, const LegacyPupilList &pupils,
                  ImportProgress *progress, structImportReport &report) {
    CppSQLite3DB db;
    const bool opened = bFunSqlRun(msg, kImportReport, [&] {
        db.Open(scratch);
        // The scratch file is thrown away unless it is finished, so it needs
        // no journal on disk and no flush per pupil; the copy over the
        // working copy flushes it once.
        db.Execute(QStringLiteral("PRAGMA journal_mode=MEMORY; PRAGMA synchronous=OFF;"));
        return true;
    });
    if (!opened)
        return false;
    for (const structLegacyPupil &pupil : pupils) {
        int code = 0;
        if (writePupil(msg, db, pupil, progress, code)) {
            ++report.imported;
            if (pupil.problem != PeselProblem::None)
                report.placeholders.append(reportEntry(pupil, QString()));
            continue;
        }
        if (fileLevelFailure(code))
            return false;
        report.failed.append(reportEntry(pupil, msg));
    }
    return bFunSqlRun(msg, kImportReport, [&] {
        db.Close();
        return true;
    });
}

QString problemText(const structImportReport::Pupil &p) {
    switch (p.problem) {
    case PeselProblem::Missing:
        return QString::fromUtf8("brak numeru PESEL");
    case PeselProblem::Empty:
        return QString::fromUtf8("pusty numer PESEL");
    case PeselProblem::Taken:
        return QString::fromUtf8("numer PESEL %1 ma już inny uczeń z tego pliku").arg(p.pesel);
    case PeselProblem::None:
        break;
    }
    return QString();
}

QString pupilName(const structImportReport::Pupil &p) {
    return p.name.isEmpty() ? QString::fromUtf8("(uczeń bez nazwiska)") : p.name;
}

QString failedList(const structImportReport &report) {
    if (report.failed.isEmpty())
        return QString();
    QString text = QString::fromUtf8("\n\nTych uczniów nie udało się zaimportować:");
    for (const auto &p : report.failed)
        text += QStringLiteral("\n- ") + pupilName(p) + QStringLiteral(": ") +
                QString(p.error).replace(QLatin1Char('\n'), QLatin1Char(' ')).simplified();
    return text;
}

} // namespace

bool bFunWriteStudentDataToDB(QString &msg, CppSQLite3DB &db, const QString &table,
                              const SqlDataList &records, ImportProgress *progress,
                              int *sqliteCode) {
    if (progress)
        progress->setOperation(QStringLiteral("importuje dane ucznia..."));
    return writeRows(msg, db, table, records, true, progress, sqliteCode,
                     "bFunWriteStudentDataToDB()");
}

bool bFunSqlImportWriteCertDataToDB(QString &msg, CppSQLite3DB &db, const QString &table,
                                    const SqlDataList &records, ImportProgress *progress,
                                    int *sqliteCode) {
    if (progress)
        progress->setOperation(QString::fromUtf8("importuje świadectwa dla ") + table);
    return writeRows(msg, db, table, records, false, progress, sqliteCode,
                     "bFunSqlImportWriteCertDataToDB()");
}

bool bFunImportDataFromFile(QString &msg, const QString &tmpPath, const QString &sourcePath,
                            ImportProgress *progress, structImportReport *report) {
    structImportReport local;
    structImportReport &r = report ? *report : local;
    r = structImportReport();

    QByteArray bytes;
    if (!readSource(msg, sourcePath, bytes)) {
        r.failure = structImportReport::Failure::Source;
        return false;
    }
    LegacyPupilList pupils;
    vFunParseLegacyFile(bytes, pupils);
    if (pupils.isEmpty()) {
        r.failure = structImportReport::Failure::NoPupils;
        return bFunFail(
            msg, QString::fromUtf8("W pliku nie znaleziono danych uczniów.\n\n") + sourcePath,
            kImportFun);
    }
    vFunNameLegacyTables(pupils);

    // Beside the working copy, so the last step is a copy within one folder.
    const QString scratch = tmpPath + QStringLiteral(".import");
    QFile::remove(scratch);
    bool ok = buildScratch(msg, scratch, pupils, progress, r);
    if (ok && r.imported == 0)
        ok = bFunFail(msg,
                      QString::fromUtf8("Nie udało się zapisać żadnego ucznia.") + failedList(r),
                      kImportFun);
    QString copyMsg;
    if (ok && !bFunCopyFile(copyMsg, scratch, tmpPath, false))
        ok = bFunFail(msg,
                      QString::fromUtf8("Błąd zapisu pliku roboczego: \n") + tmpPath +
                          QStringLiteral("\n\n") + copyMsg,
                      kImportFun);
    QFile::remove(scratch);
    if (!ok) {
        r.failure = structImportReport::Failure::Write;
        r.imported = 0;
        r.placeholders.clear();
    }
    return ok;
}

QString strFunImportSummary(const structImportReport &report) {
    QString text = QString::fromUtf8("Zaimportowano uczniów: %1.").arg(report.imported);
    if (!report.placeholders.isEmpty()) {
        text += QString::fromUtf8(
            "\n\nTych uczniów zapisano bez numeru PESEL, pod numerem zastępczym. Aby wpisać "
            "numer, zaznacz ucznia w drzewie, wybierz Uczniowie › Edytuj dane wybranego ucznia "
            "(albo naciśnij Enter na jego nazwisku), wpisz numer w polu „numer PESEL” i "
            "naciśnij OK:");
        for (const auto &p : report.placeholders)
            text += QStringLiteral("\n- ") + pupilName(p) + QStringLiteral(" (") + problemText(p) +
                    QString::fromUtf8("), w pliku jako ") + p.table;
    }
    return text + failedList(report);
}
