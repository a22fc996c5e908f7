#include "storage/textsettings.h"

#include "storage/cppsqlite3.h"
#include "storage/log.h"
#include "storage/paths.h"
#include "storage/sqltext.h"

#include <QFileInfo>

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
        return bFunFail(msg, QStringLiteral("SqlException:\n\n") + strFunCodeName(e),
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
        return bFunFail(msg, QStringLiteral("SqlException:\n\n") + strFunCodeName(e),
                        "bFunSqlGetSettingsText()");
    }
}
