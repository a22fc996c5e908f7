#include "storage/settings.h"
#include "storage/sqltext.h"

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

namespace {

// The settings file, or the empty text with the failure reported.
QString settingsFile(QString &msg, const char *funName) {
    const QString path = strFunGetDataFilePath(msg, QString::fromLatin1(kSettingsFileName));
    if (path.isEmpty())
        return path;
    if (!QFileInfo::exists(path)) {
        bFunFail(msg, QStringLiteral("Plik nie istnieje:\n") + path, funName);
        return QString();
    }
    return path;
}

QString quoted(const QString &text) {
    return QLatin1Char('\'') + strFunSqlEscape(text) + QLatin1Char('\'');
}

} // namespace

bool bFunSqlSettingWriteText(QString &msg, const QString &key, const QString &value) {
    const QString path = settingsFile(msg, "bFunSqlSettingWriteText()");
    if (path.isEmpty())
        return false;
    CppSQLite3DB db;
    try {
        db.Open(path);
        int changed = db.Execute(QStringLiteral("update `settings` set `text_value`=") +
                                 quoted(value) + QStringLiteral(" where `name`=") + quoted(key));
        if (changed == 0)
            changed = db.Execute(
                QStringLiteral("insert into `settings`(`name`, `text_value`) values( ") +
                quoted(key) + QStringLiteral(", ") + quoted(value) + QStringLiteral(" )"));
        db.Close();
        if (changed == 0)
            return bFunFail(msg, QString::fromUtf8("Błąd zapisu ustawienia ") + key,
                            "bFunSqlSettingWriteText()");
        return true;
    } catch (const CppSQLite3Exception &e) {
        return bFunFail(msg, QStringLiteral("SqlException:\n\n") + strFunSqlErrorText(e),
                        "bFunSqlSettingWriteText()");
    }
}

bool bFunSqlGetSettingsText(QString &msg, const QString &key, QString &value) {
    const QString path = settingsFile(msg, "bFunSqlGetSettingsText()");
    if (path.isEmpty())
        return false;
    CppSQLite3DB db;
    try {
        db.Open(path);
        CppSQLite3Query q = db.Query(
            QStringLiteral("select `text_value` from `settings` where `name`=") + quoted(key));
        const QString read = q.AtEnd() ? QString() : q.TextOr(0, QString());
        q.Release();
        db.Close();
        value = read;
        return true;
    } catch (const CppSQLite3Exception &e) {
        return bFunFail(msg, QStringLiteral("SqlException:\n\n") + strFunSqlErrorText(e),
                        "bFunSqlGetSettingsText()");
    }
}
