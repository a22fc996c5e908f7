#include "document/certfile.h"

#include "document/documents.h"
#include "storage/cppsqlite3.h"
#include "storage/errortext.h"
#include "storage/log.h"
#include "storage/paths.h"
#include "storage/sqltext.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <sqlite3.h>
#include <unistd.h>

namespace {

// The first value of a pupil-data field, empty when there is none.
QString pupilField(CppSQLite3DB &db, const QString &table, const char *field) {
    CppSQLite3Query q = db.Query(QStringLiteral("select * from ") + strFunSqlName(table) +
                                 QStringLiteral(" where `id`='DANE UCZNIA' AND `comp_name`='") +
                                 QLatin1String(field) + QStringLiteral("'"));
    const QString value = q.TextOr(QStringLiteral("value"), QString());
    q.Release();
    return value;
}

} // namespace

namespace {

// Creates the pupil table and inserts the records in list order; returns the
// statement that inserted nothing, or the empty text.
QString createAndFill(CppSQLite3DB &db, const QString &table, const SqlDataList &records,
                      const std::function<void()> &step) {
    db.Execute(strFunCreatePupilTableSql(table));
    return strFunInsertCertRows(db, table, records, step);
}

} // namespace

QString strFunInsertCertRows(CppSQLite3DB &db, const QString &table, const SqlDataList &records,
                             const std::function<void()> &step) {
    // One compiled insert for all the rows, the values bound, not spliced in.
    const auto insert = db.Compile(QStringLiteral("insert into ") + strFunSqlName(table) +
                                   QStringLiteral("( id, comp_name, value ) values( ?, ?, ? )"));
    for (const structSqlData &r : records) {
        insert->Bind(1, r.id);
        insert->Bind(2, r.comp_name);
        insert->Bind(3, r.value);
        if (insert->Execute() == 0)
            return QStringLiteral("insert into ") + strFunSqlName(table) +
                   QStringLiteral("( id, comp_name, value ) values( '") + strFunSqlEscape(r.id) +
                   QStringLiteral("', '") + strFunSqlEscape(r.comp_name) + QStringLiteral("', '") +
                   strFunSqlEscape(r.value) + QStringLiteral("' )");
        if (step)
            step();
    }
    return QString();
}

QString strFunCreatePupilTableSql(const QString &table) {
    return QStringLiteral("create table ") + strFunSqlName(table) +
           QStringLiteral("( id TEXT, comp_name TEXT, value TEXT )");
}

bool bFunGetTableList(QString &msg, const QString &path, QStringList &tables) {
    if (!QFileInfo::exists(path))
        return bFunFail(msg, QStringLiteral("Plik nie istnieje: \n:") + path, "bFunGetTableList");
    CppSQLite3DB db;
    try {
        db.OpenUntrusted(path);
        // Only tables: indexes, views and triggers hold no pupils.
        tables += strFunQueryColumn(
            db,
            QStringLiteral(
                "select name from sqlite_master where type='table' and name not glob 'sqlite_*'"),
            QStringLiteral("name"));
        db.Close();
        return true;
    } catch (const CppSQLite3Exception &e) {
        // A file that is not a database at all ends here.
        return bFunFail(msg, QStringLiteral("SQL exception: \n") + strFunSqlErrorText(e),
                        "bFunGetTableList");
    }
}

bool bFunGetStudentsList(QString &msg, const QString &path, StudentList &students,
                         QStringList *unreadable) {
    QStringList tables;
    if (!bFunGetTableList(msg, path, tables))
        return false;
    if (!QFileInfo::exists(path))
        return false;
    QStringList failed;
    StudentList found;
    CppSQLite3DB db;
    try {
        db.OpenUntrusted(path);
    } catch (const CppSQLite3Exception &e) {
        return bFunFail(msg, QStringLiteral("SQL exception: \n") + strFunSqlErrorText(e),
                        "bFunGetStudentsList");
    }
    for (const QString &table : tables) {
        if (!table.startsWith(QLatin1String(kPupilTablePrefix)))
            continue; // a table of a newer version, or of some tool: not a pupil
        // One pupil that cannot be read does not hide the others.
        try {
            // Every row read once: damage or a value over the limit anywhere
            // in the pupil shows here, not later in an editor or a print.
            db.Query(QStringLiteral("select sum(length(id) + length(comp_name) + length(value)) "
                                    "from ") +
                     strFunSqlName(table));
            QString name = pupilField(db, table, "Nazwisko_DATA_EDIT") + QLatin1Char(' ');
            name += pupilField(db, table, "Imie_DATA_EDIT");
            found.append({name, table});
        } catch (const CppSQLite3Exception &e) {
            // A value too long or a statement that ran too long is no damage
            // but a file made to hurt: nothing of it is taken.
            const int code = e.ErrorCode() & 0xff;
            if (code == SQLITE_TOOBIG || code == SQLITE_INTERRUPT || code == SQLITE_NOMEM)
                return bFunFail(msg, QStringLiteral("SQL exception: \n") + strFunSqlErrorText(e),
                                "bFunGetStudentsList");
            failed << table;
            vFunWriteLog(table + QStringLiteral(": ") + strFunSqlErrorText(e),
                         QStringLiteral("bFunGetStudentsList"));
        }
    }
    db.Close();
    students += found;
    if (!failed.isEmpty())
        msg = strFunUnreadablePupilsText(failed);
    if (unreadable)
        *unreadable = failed;
    return true;
}

QString strFunUnreadablePupilsText(const QStringList &tables) {
    return QString::fromUtf8("Nie udało się odczytać danych uczniów: ") +
           tables.join(QStringLiteral(", ")) + QString::fromUtf8("; plik może być uszkodzony.");
}

bool bFunLoadCertData(QString &msg, const QString &path, const QString &table,
                      SqlDataList &records) {
    if (!QFileInfo::exists(path))
        return bFunFail(msg, QStringLiteral("Plik nie istnieje: \n") + path, "bFunLoadCertData");
    CppSQLite3DB db;
    try {
        db.OpenUntrusted(path);
        if (!db.HasTable(table)) {
            db.Close();
            return bFunFail(msg, QStringLiteral("Tablica nie istnieje: \n") + table,
                            "bFunLoadCertData");
        }
        CppSQLite3Query q = db.Query(QStringLiteral("select * from ") + strFunSqlName(table) +
                                     QStringLiteral(" where 1"));
        while (!q.AtEnd()) {
            records.append({q.TextOr(QStringLiteral("id"), QString()),
                            q.TextOr(QStringLiteral("comp_name"), QString()),
                            q.TextOr(QStringLiteral("value"), QString())});
            q.Next();
        }
        q.Release();
        db.Close();
        return true;
    } catch (const CppSQLite3Exception &e) {
        return bFunFail(msg, QStringLiteral("SQL exception: \n") + strFunSqlErrorText(e),
                        "bFunLoadCertData()");
    }
}

bool bFunDeleteTable(QString &msg, const QString &path, const QString &table) {
    if (!QFileInfo::exists(path))
        return bFunFail(msg, QStringLiteral("Plik nie istnieje: \n") + path, "bFunDeleteTable");
    CppSQLite3DB db;
    try {
        db.OpenUntrusted(path);
        if (db.HasTable(table))
            db.Execute(QStringLiteral("drop table ") + strFunSqlName(table));
        db.Close();
        return true;
    } catch (const CppSQLite3Exception &e) {
        return bFunFail(msg, QStringLiteral("SQL exception: \n") + strFunSqlErrorText(e),
                        "bFunDeleteTable()");
    }
}

bool bFunSaveCertData(QString &msg, const QString &path, const QString &table,
                      const SqlDataList &records, const std::function<void()> &step) {
    if (!QFileInfo::exists(path))
        return bFunFail(msg, QStringLiteral("Plik nie istnieje: \n") + path, "bFunSaveCertData()");
    CppSQLite3DB db;
    try {
        db.OpenUntrusted(path);
        if (db.HasTable(table)) {
            db.Close();
            return bFunFail(msg, QStringLiteral("Tablica już istnieje: ") + table,
                            "bFunSaveCertData()");
        }
        // The table is made inside the transaction too: a failed save leaves
        // neither rows nor an empty table behind.
        db.Execute(QStringLiteral("begin transaction;"));
        const QString failed = createAndFill(db, table, records, step);
        if (!failed.isEmpty()) {
            db.Execute(QStringLiteral("rollback transaction;"));
            db.Close();
            msg = QStringLiteral("Błąd dodania wpisu do bazy:\n") + failed;
            return false;
        }
        db.Execute(QStringLiteral("commit transaction;"));
        db.Close();
        return true;
    } catch (const CppSQLite3Exception &e) {
        // Closing the connection rolls the open transaction back.
        return bFunFail(msg, QStringLiteral("SQLite exception: ") + strFunSqlErrorText(e),
                        "bFunSqlSaveCertData()");
    }
}

namespace {

// The ids of the documents this version edits, as an SQL list: the rows a
// pupil's save rewrites. Rows of other ids (a newer version's documents) are
// not ours to drop.
QString ownedIdsSql() {
    QStringList ids;
    for (const DocumentInfo &doc : documentTable())
        ids << QStringLiteral("'") + strFunSqlEscape(doc.id()) + QStringLiteral("'");
    return QStringLiteral("(") + ids.join(QStringLiteral(", ")) + QStringLiteral(")");
}

} // namespace

bool bFunReplaceCertData(QString &msg, const QString &path, const QString &table,
                         const SqlDataList &records, const std::function<void()> &step,
                         const QString &dropTable) {
    if (!QFileInfo::exists(path))
        return bFunFail(msg, QStringLiteral("Plik nie istnieje: \n") + path, "bFunSaveCertData()");
    CppSQLite3DB db;
    try {
        db.OpenUntrusted(path);
        db.Execute(QStringLiteral("begin transaction;"));
        // The rows of documents this version does not know wait aside, as
        // SQLite holds them, and come back under the pupil's (new) table.
        const QString owned = ownedIdsSql();
        db.Execute(
            QStringLiteral("create temp table `obce`( id TEXT, comp_name TEXT, value TEXT )"));
        for (const QString &old : {table, dropTable}) {
            if (old.isEmpty() || !db.HasTable(old))
                continue;
            db.Execute(QStringLiteral("insert into temp.`obce` select id, comp_name, value from ") +
                       strFunSqlName(old) + QStringLiteral(" where id is null or id not in ") +
                       owned);
            db.Execute(QStringLiteral("drop table ") + strFunSqlName(old));
        }
        db.Execute(strFunCreatePupilTableSql(table));
        const QString failed = strFunInsertCertRows(db, table, records, step);
        if (!failed.isEmpty()) {
            db.Close();
            return bFunFail(msg, QStringLiteral("Błąd dodania wpisu do bazy:\n") + failed,
                            "bFunSqlSaveCertData()");
        }
        db.Execute(QStringLiteral("insert into ") + strFunSqlName(table) +
                   QStringLiteral(" select id, comp_name, value from temp.`obce`; drop table "
                                  "temp.`obce`;"));
        db.Execute(QStringLiteral("commit transaction;"));
        db.Close();
        return true;
    } catch (const CppSQLite3Exception &e) {
        // Closing the connection rolls the open transaction back.
        return bFunFail(msg, QStringLiteral("SQLite exception: ") + strFunSqlErrorText(e),
                        "bFunSqlSaveCertData()");
    }
}

int iFunCheckIsStudentExists(QString &msg, const QString &path, const QString &table,
                             bool createFile) {
    CppSQLite3DB db;
    try {
        if (!QFileInfo::exists(path) && createFile) {
            db.OpenUntrusted(path);
            db.Close();
        }
        if (!QFileInfo::exists(path)) {
            bFunFail(msg, QStringLiteral("Plik nie istnieje: \n") + path,
                     "iFunCheckIsStudentExists");
            return -1;
        }
        db.OpenUntrusted(path);
        const int exists = db.HasTable(table) ? 1 : 0;
        db.Close();
        return exists;
    } catch (const CppSQLite3Exception &e) {
        bFunFail(msg, QStringLiteral("SQLite exception: \n") + strFunSqlErrorText(e),
                 "iFunCheckIsStudentExists");
        return -1;
    }
}

bool bFunSameAsStored(const QString &path, const QString &table, const SqlDataList &records) {
    QString msg;
    SqlDataList stored;
    if (iFunCheckIsStudentExists(msg, path, table, false) != 1 ||
        !bFunLoadCertData(msg, path, table, stored))
        return false;
    QSet<QString> known;
    for (const DocumentInfo &doc : documentTable())
        known.insert(doc.id());
    auto key = [](const structSqlData &r) {
        return r.id + QChar(0) + r.comp_name + QChar(0) + r.value;
    };
    QStringList a, b;
    for (const structSqlData &r : stored)
        if (known.contains(r.id))
            a << key(r);
    for (const structSqlData &r : records)
        b << key(r);
    a.sort();
    b.sort();
    return a == b;
}

namespace {

const char *const kSidecars[] = {"-wal", "-journal", "-shm"};

void removeWithSidecars(const QString &path) {
    ::unlink(QFile::encodeName(path).constData());
    for (const char *suffix : kSidecars)
        ::unlink(QFile::encodeName(path + QLatin1String(suffix)).constData());
}

} // namespace

bool bFunStageClassFile(QString &msg, const QString &source, const QString &target, bool &damaged,
                        int *error) {
    damaged = false;
    if (error)
        *error = 0;
    removeWithSidecars(target);
    if (!bFunCopyFile(msg, source, target, false, error))
        return false;
    // Changes still in the write-ahead log (or a journal of a transaction cut
    // off) are part of the file: the copy takes them in, so her file is
    // only ever read.
    for (const char *suffix : {"-wal", "-journal"}) {
        const QString side = source + QLatin1String(suffix);
        if (QFileInfo(side).isFile() &&
            !bFunCopyFile(msg, side, target + QLatin1String(suffix), false, error)) {
            removeWithSidecars(target);
            return false;
        }
    }
    CppSQLite3DB db;
    try {
        db.OpenUntrusted(target);
        CppSQLite3Query check = db.Query(QStringLiteral("pragma quick_check"));
        damaged = check.AtEnd() || check.ColumnText(0) != QLatin1String("ok");
        check.Release();
        // The working copy is saved by copying one file: no log may stay
        // beside it.
        CppSQLite3Query mode = db.Query(QStringLiteral("pragma journal_mode=delete"));
        const QString journal = mode.AtEnd() ? QString() : mode.ColumnText(0);
        mode.Release();
        if (journal.compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0)
            throw CppSQLite3Exception(CPPSQLITE_ERROR, "journal mode");
        // The program makes neither views nor triggers; those of a file from
        // elsewhere would go on into every file saved from it.
        const QStringList kinds{QStringLiteral("trigger"), QStringLiteral("view")};
        for (const QString &kind : kinds) {
            const QStringList names =
                strFunQueryColumn(db,
                                  QStringLiteral("select name from sqlite_master where type='") +
                                      kind + QStringLiteral("'"),
                                  QStringLiteral("name"));
            for (const QString &name : names) {
                db.Execute(QStringLiteral("drop ") + kind + QStringLiteral(" if exists ") +
                           strFunSqlName(name));
                vFunWriteLog(QString::fromUtf8("Usunięto z kopii roboczej: ") + kind +
                                 QLatin1Char(' ') + name,
                             QStringLiteral("bFunStageClassFile()"));
            }
        }
        db.Close();
    } catch (const CppSQLite3Exception &e) {
        db.Close();
        removeWithSidecars(target);
        return bFunFail(msg, QStringLiteral("SQL exception: \n") + strFunSqlErrorText(e),
                        "bFunStageClassFile()");
    }
    for (const char *suffix : kSidecars)
        ::unlink(QFile::encodeName(target + QLatin1String(suffix)).constData());
    return true;
}

QString strFunDamagedClassFileText(const QString &path) {
    return QString::fromUtf8("Plik klasy jest uszkodzony:\n") + path +
           QString::fromUtf8("\n\nProgram pokaże tych uczniów, których dane da się odczytać. "
                             "Sprawdź ich dane i poproś autora pliku o nową kopię.");
}
