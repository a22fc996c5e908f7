#include "document/templatestore.h"

#include "storage/cppsqlite3.h"
#include "storage/log.h"
#include "storage/paths.h"
#include "storage/sqltext.h"

#include <QFileInfo>

QString strFunGetTemplateFilePath(QString &msg) {
    const QString path = strFunGetDataFilePath(msg, QString::fromLatin1(kTemplateFileName));
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;
    try {
        CppSQLite3DB db;
        db.Open(path);
        db.Close();
    } catch (const CppSQLite3Exception &e) {
        msg = QStringLiteral("SqlException\n") + strFunSqlErrorText(e);
        vFunWriteLog(msg, QStringLiteral("strFunGetTemplateFilePath()"));
    }
    return path;
}

bool bFunSqlTemplateReadData(QString &msg, const QString &path, const QString &table,
                             SqlDataList &records) {
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        msg = QStringLiteral("Plik nie istnieje.\n") + path;
        vFunWriteLog(msg, QStringLiteral("bFunSqlTemplateReadData()"));
        return false;
    }
    records.clear();
    CppSQLite3DB db;
    try {
        db.Open(path);
        if (db.HasTable(table)) {
            CppSQLite3Query q = db.Query(QStringLiteral("select * from ") + strFunSqlName(table));
            while (!q.AtEnd()) {
                records.append({q.TextOr(QStringLiteral("id"), QString()),
                                q.TextOr(QStringLiteral("comp_name"), QString()),
                                q.TextOr(QStringLiteral("value"), QString())});
                q.Next();
            }
        }
        db.Close();
        return true;
    } catch (const CppSQLite3Exception &e) {
        return bFunFail(msg, QStringLiteral("SqlException\n") + strFunSqlErrorText(e),
                        "bFunSqlTemplateReadData()");
    }
}

bool bFunSqlTemplateWriteData(QString &msg, const QString &path, const QString &table,
                              const SqlDataList &records) {
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        msg = QStringLiteral("Plik nie istnieje.\n\n") + path;
        vFunWriteLog(msg, QStringLiteral("bFunSqlTemplateWriteData()"));
        return false;
    }
    CppSQLite3DB db;
    try {
        db.Open(path);
        db.Execute(QStringLiteral("begin transaction;"));
        if (db.HasTable(table))
            db.Execute(QStringLiteral("drop table ") + strFunSqlName(table));
        db.Execute(QStringLiteral("create table ") + strFunSqlName(table) +
                   QStringLiteral("( id TEXT, comp_name TEXT, value TEXT )"));
        for (const structSqlData &r : records) {
            db.Execute(QStringLiteral("insert into ") + strFunSqlName(table) +
                       QStringLiteral("( `id`, `comp_name`, `value` ) values( '") +
                       strFunSqlEscape(r.id) + QStringLiteral("', '") +
                       strFunSqlEscape(r.comp_name) + QStringLiteral("', '") +
                       strFunSqlEscape(r.value) + QStringLiteral("')"));
        }
        db.Execute(QStringLiteral("commit transaction;"));
        db.Close();
        return true;
    } catch (const CppSQLite3Exception &e) {
        // Closing rolls back: the previous template stays.
        return bFunFail(msg, QStringLiteral("SqlException\n") + strFunSqlErrorText(e),
                        "bFunSqlWriteTemplateData()");
    }
}
