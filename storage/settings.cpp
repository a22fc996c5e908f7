#include "storage/settings.h"

#include "storage/cppsqlite3.h"
#include "storage/log.h"
#include "storage/paths.h"

#include <QFileInfo>

bool bFunSqlSettingWriteValue(QString &msg, const QString &key, int value) {
    const QString path = strFunGetDataFilePath(msg, QString::fromLatin1(kSettingsFileName));
    if (path.isEmpty())
        return false;
    if (!QFileInfo::exists(path)) {
        msg = QStringLiteral("Plik nie istnieje.\n\n") + path;
        vFunWriteLog(msg, QStringLiteral("bFunSqlSettingWriteValue()"));
        return false;
    }
    CppSQLite3DB db;
    try {
        db.Open(path);
        const QString number = QString::number(value);
        int changed = db.Execute(QStringLiteral("update `settings` set `int_value`='") + number +
                                 QStringLiteral("' where `name`='") + key + QStringLiteral("'"));
        if (changed == 0)
            changed =
                db.Execute(QStringLiteral("insert into `settings`(`name`, `int_value`) values( '") +
                           key + QStringLiteral("', '") + number + QStringLiteral("')"));
        db.Close();
        return changed != 0;
    } catch (const CppSQLite3Exception &e) {
        msg = QStringLiteral("SQLite exception: ") + strFunSqlErrorText(e);
        return false;
    }
}

bool bFunSqlGetSettingsValue(QString &msg, const QString &key, int &value) {
    const QString path = strFunGetDataFilePath(msg, QString::fromLatin1(kSettingsFileName));
    if (path.isEmpty())
        return false;
    if (!QFileInfo::exists(path)) {
        msg = QStringLiteral("Plik nie istnieje:\n") + path;
        vFunWriteLog(msg, QStringLiteral("bFunSqlGetSettingsValue()"));
        return false;
    }
    CppSQLite3DB db;
    try {
        db.Open(path);
        CppSQLite3Query q = db.Query(QStringLiteral("select * from `settings` where `name`='") +
                                     key + QStringLiteral("'"));
        const int read = q.IntOr(QStringLiteral("int_value"), 0);
        q.Release();
        db.Close();
        value = read;
        return true;
    } catch (const CppSQLite3Exception &e) {
        msg = QStringLiteral("SqlException:\n\n") + strFunSqlErrorText(e);
        vFunWriteLog(msg, QStringLiteral("bFunSqlGetSettingsValue()"));
        return false;
    }
}
