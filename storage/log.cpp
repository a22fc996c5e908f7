#include "storage/log.h"

#include "storage/clock.h"
#include "storage/cppsqlite3.h"
#include "storage/folders.h"
#include "storage/sqltext.h"

QString strFunFormatLogTime(const QDateTime &moment) {
    const QDateTime utc = moment.toUTC();
    const QDate d = utc.date();
    const QTime t = utc.time();
    return QStringLiteral("%1.%2.%3 %4:%5:%6")
        .arg(d.year())
        .arg(d.month())
        .arg(d.day())
        .arg(t.hour())
        .arg(t.minute())
        .arg(t.second());
}

void vFunWriteLog(const QString &msg, const QString &funName) {
    // The log lives in the program folder: when that cannot be had there is
    // nowhere to write, and the entry is dropped.
    const QString folder = strFunKnownProgramDir();
    if (folder.isEmpty())
        return;
    try {
        const QString path = folder + QLatin1Char('/') + QLatin1String(kLogFileName);
        const QString when = strFunFormatLogTime(currentDateTime());
        CppSQLite3DB db;
        db.Open(path);
        if (!db.HasTable(QStringLiteral("error")))
            db.Execute(
                QStringLiteral("create table `error`( datetime TEXT, fun TEXT, info TEXT )"));
        CppSQLite3Query q =
            db.Query(QStringLiteral("insert into `error`( datetime, fun, info ) values( '") +
                     strFunSqlEscape(when) + QStringLiteral("', '") + strFunSqlEscape(funName) +
                     QStringLiteral("', '") + strFunSqlEscape(msg) + QStringLiteral("' )"));
        q.Release();
        db.Close();
    } catch (...) {
        // The log is the last resort: a failure to write it is not reported.
    }
}

bool bFunFail(QString &msg, const QString &text, const char *funName) {
    msg = text;
    if (funName)
        vFunWriteLog(msg, QString::fromLatin1(funName));
    return false;
}
