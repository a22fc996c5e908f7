#include "document/certfile.h"

#include "document/documents.h"
#include "storage/cppsqlite3.h"
#include "storage/errortext.h"
#include "storage/fileops.h"
#include "storage/log.h"
#include "storage/paths.h"
#include "storage/sqlrun.h"
#include "storage/sqltext.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <sqlite3.h>

namespace {

// The first value of a pupil-data field, empty when there is none.
QString pupilField(CppSQLite3DB &db, const QString &table, const char *field) {
    CppSQLite3Query q = db.Query(QStringLiteral("select * from ") + strFunSqlName(table) +
                                     QStringLiteral(" where `id`='DANE UCZNIA' AND `comp_name`=?"),
                                 {QLatin1String(field)});
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
    const QString sql = QStringLiteral("insert into ") + strFunSqlName(table) +
                        QStringLiteral("( id, comp_name, value ) values( ?, ?, ? )");
    const auto insert = db.Compile(sql);
    for (const structSqlData &r : records) {
        insert->Bind(1, r.id);
        insert->Bind(2, r.comp_name);
        insert->Bind(3, r.value);
        if (insert->Execute() == 0)
            return strFunSqlShown(sql, {r.id, r.comp_name, r.value});
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
    // A file that is not a database at all fails here.
    return bFunWithDatabase(
        msg, path, {"SQL exception: \n", "bFunGetTableList"},
        [&](CppSQLite3DB &db) {
            // Only tables: indexes, views and triggers hold no pupils.
            tables += strFunQueryColumn(db,
                                        QStringLiteral("select name from sqlite_master where "
                                                       "type='table' and name not glob 'sqlite_*'"),
                                        QStringLiteral("name"));
            return true;
        },
        DbOpen::Untrusted);
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
    const bool read = bFunWithDatabase(
        msg, path, {"SQL exception: \n", "bFunGetStudentsList"},
        [&](CppSQLite3DB &db) {
            for (const QString &table : tables) {
                if (!table.startsWith(QLatin1String(kPupilTablePrefix)))
                    continue; // a table of a newer version, or of some tool: not a pupil
                // One pupil that cannot be read does not hide the others.
                try {
                    // Every row read once: damage or a value over the limit
                    // anywhere in the pupil shows here, not later in an
                    // editor or a print.
                    db.Query(QStringLiteral("select sum(length(id) + length(comp_name) + "
                                            "length(value)) from ") +
                             strFunSqlName(table));
                    QString name = pupilField(db, table, "Nazwisko_DATA_EDIT") + QLatin1Char(' ');
                    name += pupilField(db, table, "Imie_DATA_EDIT");
                    found.append({name, table});
                } catch (const CppSQLite3Exception &e) {
                    // A value too long or a statement that ran too long is no
                    // damage but a file made to hurt: nothing of it is taken.
                    const int code = e.ErrorCode() & 0xff;
                    if (code == SQLITE_TOOBIG || code == SQLITE_INTERRUPT || code == SQLITE_NOMEM)
                        throw;
                    failed << table;
                    vFunWriteLog(table + QStringLiteral(": ") + strFunSqlErrorText(e),
                                 QStringLiteral("bFunGetStudentsList"));
                }
            }
            return true;
        },
        DbOpen::Untrusted);
    if (!read)
        return false;
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

namespace {

const SqlReport kLoadReport{"SQL exception: \n", "bFunLoadCertData()"};

// The records of one pupil table of an open class file.
bool readPupilTable(QString &msg, CppSQLite3DB &db, const QString &table, SqlDataList &records) {
    CppSQLite3Query q;
    try {
        q = db.Query(QStringLiteral("select * from ") + strFunSqlName(table) +
                     QStringLiteral(" where 1"));
    } catch (const CppSQLite3Exception &) {
        // Asked only when the reading failed: a click reads one statement.
        if (!db.HasTable(table))
            return bFunFail(msg, QStringLiteral("Tablica nie istnieje: \n") + table,
                            "bFunLoadCertData");
        throw;
    }
    const int id = q.ColumnIndex(QStringLiteral("id"));
    const int compName = q.ColumnIndex(QStringLiteral("comp_name"));
    const int value = q.ColumnIndex(QStringLiteral("value"));
    while (!q.AtEnd()) {
        records.append(
            {q.TextOr(id, QString()), q.TextOr(compName, QString()), q.TextOr(value, QString())});
        q.Next();
    }
    q.Release();
    return true;
}

bool classFileExists(QString &msg, const QString &path) {
    return QFileInfo::exists(path) ||
           bFunFail(msg, QStringLiteral("Plik nie istnieje: \n") + path, "bFunLoadCertData");
}

} // namespace

bool bFunLoadCertData(QString &msg, const QString &path, const QString &table,
                      SqlDataList &records) {
    return classFileExists(msg, path) &&
           bFunWithDatabase(
               msg, path, kLoadReport,
               [&](CppSQLite3DB &db) { return readPupilTable(msg, db, table, records); },
               DbOpen::Untrusted);
}

void vFunLoadCertDataOfPupils(
    const QString &path, const QStringList &tables,
    const std::function<bool(int i, const SqlDataList &records, const QString &why)> &each) {
    int next = 0;
    bool stopped = false;
    QString why;
    if (classFileExists(why, path))
        bFunWithDatabase(
            why, path, kLoadReport,
            [&](CppSQLite3DB &db) {
                for (; next < tables.size() && !stopped; ++next) {
                    SqlDataList records;
                    QString tableWhy;
                    if (!bFunSqlRun(tableWhy, kLoadReport, [&] {
                            return readPupilTable(tableWhy, db, tables[next], records);
                        }))
                        records.clear();
                    stopped = !each(next, records, tableWhy);
                }
                return true;
            },
            DbOpen::Untrusted);
    // The file could not be opened: every pupil not read has its reason.
    for (; next < tables.size() && !stopped; ++next)
        stopped = !each(next, {}, why);
}

bool bFunDeleteTable(QString &msg, const QString &path, const QString &table) {
    if (!QFileInfo::exists(path))
        return bFunFail(msg, QStringLiteral("Plik nie istnieje: \n") + path, "bFunDeleteTable");
    return bFunWithDatabase(
        msg, path, {"SQL exception: \n", "bFunDeleteTable()"},
        [&](CppSQLite3DB &db) {
            if (db.HasTable(table))
                db.Execute(QStringLiteral("drop table ") + strFunSqlName(table));
            return true;
        },
        DbOpen::Untrusted);
}

bool bFunSaveCertData(QString &msg, const QString &path, const QString &table,
                      const SqlDataList &records, const std::function<void()> &step) {
    const char *const fun = "bFunSaveCertData()";
    if (!QFileInfo::exists(path))
        return bFunFail(msg, QStringLiteral("Plik nie istnieje: \n") + path, fun);
    const SqlReport report{"SQLite exception: ", fun};
    return bFunWithDatabase(
        msg, path, report,
        [&](CppSQLite3DB &db) {
            if (db.HasTable(table))
                return bFunFail(msg, QStringLiteral("Tablica już istnieje: ") + table, fun);
            // The table is made inside the transaction too: a failed save
            // leaves neither rows nor an empty table behind.
            return bFunInTransaction(msg, db, report, [&](QString &refusal) {
                const QString failed = createAndFill(db, table, records, step);
                if (!failed.isEmpty())
                    refusal = QStringLiteral("Błąd dodania wpisu do bazy:\n") + failed;
                return failed.isEmpty();
            });
        },
        DbOpen::Untrusted);
}

namespace {

// The ids of the documents this version edits: the rows a pupil's save
// rewrites. Rows of other ids (a newer version's documents) are
// not ours to drop.
QStringList ownedIds() {
    QStringList ids;
    for (const DocumentInfo &doc : documentTable())
        ids << doc.id();
    return ids;
}

QString placeholders(qsizetype count) {
    QStringList marks;
    for (qsizetype i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("(") + marks.join(QStringLiteral(", ")) + QStringLiteral(")");
}

} // namespace

bool bFunReplaceCertData(QString &msg, const QString &path, const QString &table,
                         const SqlDataList &records, const std::function<void()> &step,
                         const QString &dropTable) {
    const char *const fun = "bFunReplaceCertData()";
    if (!QFileInfo::exists(path))
        return bFunFail(msg, QStringLiteral("Plik nie istnieje: \n") + path, fun);
    const SqlReport report{"SQLite exception: ", fun};
    return bFunWithDatabase(
        msg, path, report,
        [&](CppSQLite3DB &db) {
            return bFunInTransaction(msg, db, report, [&](QString &refusal) {
                // The rows of documents this version does not know wait
                // aside, as SQLite holds them, and come back under the
                // pupil's (new) table.
                const QStringList owned = ownedIds();
                db.Execute(QStringLiteral(
                    "create temp table `obce`( id TEXT, comp_name TEXT, value TEXT )"));
                for (const QString &old : {table, dropTable}) {
                    if (old.isEmpty() || !db.HasTable(old))
                        continue;
                    db.Execute(QStringLiteral(
                                   "insert into temp.`obce` select id, comp_name, value from ") +
                                   strFunSqlName(old) +
                                   QStringLiteral(" where id is null or id not in ") +
                                   placeholders(owned.size()),
                               owned);
                    db.Execute(QStringLiteral("drop table ") + strFunSqlName(old));
                }
                db.Execute(strFunCreatePupilTableSql(table));
                const QString failed = strFunInsertCertRows(db, table, records, step);
                if (!failed.isEmpty()) {
                    refusal = QStringLiteral("Błąd dodania wpisu do bazy:\n") + failed;
                    return false;
                }
                db.Execute(QStringLiteral("insert into ") + strFunSqlName(table) +
                           QStringLiteral(" select id, comp_name, value from temp.`obce`; drop "
                                          "table temp.`obce`;"));
                return true;
            });
        },
        DbOpen::Untrusted);
}

int iFunCheckIsStudentExists(QString &msg, const QString &path, const QString &table,
                             bool createFile) {
    const SqlReport report{"SQLite exception: \n", "iFunCheckIsStudentExists"};
    if (!QFileInfo::exists(path) && createFile &&
        !bFunWithDatabase(
            msg, path, report, [](CppSQLite3DB &) { return true; }, DbOpen::Untrusted))
        return -1;
    if (!QFileInfo::exists(path)) {
        bFunFail(msg, QStringLiteral("Plik nie istnieje: \n") + path, "iFunCheckIsStudentExists");
        return -1;
    }
    int exists = -1;
    bFunWithDatabase(
        msg, path, report,
        [&](CppSQLite3DB &db) {
            exists = db.HasTable(table) ? 1 : 0;
            return true;
        },
        DbOpen::Untrusted);
    return exists;
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
    iFsRemove(path);
    for (const char *suffix : kSidecars)
        iFsRemove(path + QLatin1String(suffix));
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
    const bool staged = bFunWithDatabase(
        msg, target, {"SQL exception: \n", "bFunStageClassFile()"},
        [&](CppSQLite3DB &db) {
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
            // The program makes neither views nor triggers; those of a file
            // from elsewhere would go on into every file saved from it.
            const QStringList kinds{QStringLiteral("trigger"), QStringLiteral("view")};
            for (const QString &kind : kinds) {
                const QStringList names = strFunQueryColumn(
                    db, QStringLiteral("select name from sqlite_master where type=?"),
                    QStringLiteral("name"), {kind});
                for (const QString &name : names) {
                    db.Execute(QStringLiteral("drop ") + kind + QStringLiteral(" if exists ") +
                               strFunSqlName(name));
                    vFunWriteLog(QString::fromUtf8("Usunięto z kopii roboczej: ") + kind +
                                     QLatin1Char(' ') + name,
                                 QStringLiteral("bFunStageClassFile()"));
                }
            }
            return true;
        },
        DbOpen::Untrusted);
    if (!staged) {
        removeWithSidecars(target);
        return false;
    }
    for (const char *suffix : kSidecars)
        iFsRemove(target + QLatin1String(suffix));
    return true;
}

QString strFunDamagedClassFileText(const QString &path) {
    return QString::fromUtf8("Plik klasy jest uszkodzony:\n") + path +
           QString::fromUtf8("\n\nProgram pokaże tych uczniów, których dane da się odczytać. "
                             "Sprawdź ich dane i poproś autora pliku o nową kopię.");
}
