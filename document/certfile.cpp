#include "document/certfile.h"

#include "document/documents.h"
#include "storage/cppsqlite3.h"
#include "storage/log.h"
#include "storage/sqltext.h"

#include <QFileInfo>
#include <QSet>

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
        db.Open(path);
        tables += strFunQueryColumn(db, QStringLiteral("select * from sqlite_master"),
                                    QStringLiteral("name"));
        db.Close();
        return true;
    } catch (const CppSQLite3Exception &e) {
        // A file that is not a database at all ends here.
        return bFunFail(msg, QStringLiteral("SQL exception: \n") + strFunSqlErrorText(e),
                        "bFunGetTableList");
    }
}

bool bFunGetStudentsList(QString &msg, const QString &path, StudentList &students) {
    QStringList tables;
    if (!bFunGetTableList(msg, path, tables))
        return false;
    if (!QFileInfo::exists(path))
        return false;
    CppSQLite3DB db;
    try {
        db.Open(path);
        for (const QString &table : tables) {
            QString name = pupilField(db, table, "Nazwisko_DATA_EDIT") + QLatin1Char(' ');
            name += pupilField(db, table, "Imie_DATA_EDIT");
            students.append({name, table});
        }
        db.Close();
        return true;
    } catch (const CppSQLite3Exception &e) {
        // Pupils read so far stay listed; the rest of the file is skipped.
        bFunFail(msg, QStringLiteral("SQL exception: \n") + strFunSqlErrorText(e),
                 "bFunGetStudentsList");
        return true;
    }
}

bool bFunLoadCertData(QString &msg, const QString &path, const QString &table,
                      SqlDataList &records) {
    if (!QFileInfo::exists(path))
        return bFunFail(msg, QStringLiteral("Plik nie istnieje: \n") + path, "bFunLoadCertData");
    CppSQLite3DB db;
    try {
        db.Open(path);
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
        db.Open(path);
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
        db.Open(path);
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

bool bFunReplaceCertData(QString &msg, const QString &path, const QString &table,
                         const SqlDataList &records, const std::function<void()> &step,
                         const QString &dropTable) {
    if (!QFileInfo::exists(path))
        return bFunFail(msg, QStringLiteral("Plik nie istnieje: \n") + path, "bFunSaveCertData()");
    CppSQLite3DB db;
    try {
        db.Open(path);
        db.Execute(QStringLiteral("begin transaction;"));
        for (const QString &old : {dropTable, table}) {
            if (!old.isEmpty() && db.HasTable(old))
                db.Execute(QStringLiteral("drop table ") + strFunSqlName(old));
        }
        const QString failed = createAndFill(db, table, records, step);
        if (!failed.isEmpty()) {
            db.Close();
            return bFunFail(msg, QStringLiteral("Błąd dodania wpisu do bazy:\n") + failed,
                            "bFunSqlSaveCertData()");
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

int iFunCheckIsStudentExists(QString &msg, const QString &path, const QString &table,
                             bool createFile) {
    CppSQLite3DB db;
    try {
        if (!QFileInfo::exists(path) && createFile) {
            db.Open(path);
            db.Close();
        }
        if (!QFileInfo::exists(path)) {
            bFunFail(msg, QStringLiteral("Plik nie istnieje: \n") + path,
                     "iFunCheckIsStudentExists");
            return -1;
        }
        db.Open(path);
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
