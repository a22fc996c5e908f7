#include "storage/log.h"

#include "storage/clock.h"
#include "storage/cppsqlite3.h"
#include "storage/folders.h"
#include "storage/sqlrun.h"

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

LogStore LogStore::inProgramFolder() {
    const QString folder = strFunKnownProgramDir();
    return LogStore(folder.isEmpty() ? QString()
                                     : folder + QLatin1Char('/') + QLatin1String(kLogFileName));
}

void LogStore::append(const QString &msg, const QString &funName) const {
    if (m_path.isEmpty())
        return;
    const QString when = strFunFormatLogTime(currentDateTime());
    QString ignored;
    // The log is the last resort: a failure to write it is not reported.
    bFunWithDatabase(ignored, m_path, {""}, [&](CppSQLite3DB &db) {
        if (!db.HasTable(QStringLiteral("error")))
            db.Execute(
                QStringLiteral("create table `error`( datetime TEXT, fun TEXT, info TEXT )"));
        db.Execute(QStringLiteral("insert into `error`( datetime, fun, info ) values( ?, ?, ? )"),
                   {when, funName, msg});
        return true;
    });
}

void vFunWriteLog(const QString &msg, const QString &funName) {
    LogStore::inProgramFolder().append(msg, funName);
}

bool bFunFail(QString &msg, const QString &text, const char *funName) {
    msg = text;
    if (funName)
        vFunWriteLog(msg, QString::fromLatin1(funName));
    return false;
}
