#include "storage/log.h"

#include "storage/clock.h"
#include "storage/cppsqlite3.h"
#include "storage/paths.h"
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
    // Finding the program folder can fail and log that failure: the nested
    // call is dropped instead of looking the folder up again forever.
    static thread_local bool writing = false;
    if (writing)
        return;
    writing = true;
    try {
        QString scratch;
        const QString path = strFunGetDataFilePath(scratch, QString::fromLatin1(kLogFileName));
        if (!path.isEmpty()) {
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
        }
    } catch (...) {
        // The log is the last resort: a failure to write it is not reported.
    }
    writing = false;
}

bool bFunFail(QString &msg, const QString &text, const char *funName) {
    msg = text;
    if (funName)
        vFunWriteLog(msg, QString::fromLatin1(funName));
    return false;
}
