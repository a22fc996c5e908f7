#include "maintenance/logs.h"

#include "storage/cppsqlite3.h"
#include "storage/log.h"
#include "storage/sqlrun.h"

#include <QFileInfo>

bool bFunSqlGetLogsData(QString &msg, QList<structLogData> &list) {
    return bFunSqlGetLogsData(msg, LogStore::inProgramFolder(), list);
}

bool bFunSqlGetLogsData(QString &msg, const LogStore &log, QList<structLogData> &list) {
    if (log.path().isEmpty() || !QFileInfo(log.path()).isFile())
        return false;
    return bFunWithDatabase(
        msg, log.path(), {"Sql exception: ", "bFunSqlGetLogsData()"}, [&](CppSQLite3DB &db) {
            CppSQLite3Query q = db.Query(QStringLiteral("select * from `error`"));
            const QString none;
            for (; !q.AtEnd(); q.Next()) {
                list.append({q.TextOr(QStringLiteral("datetime"), none).left(kLogDateTimeWidth),
                             q.TextOr(QStringLiteral("fun"), none).left(kLogFunWidth),
                             q.TextOr(QStringLiteral("info"), none)});
            }
            q.Release();
            return true;
        });
}
