#include "storage/settings.h"

#include "storage/cppsqlite3.h"
#include "storage/log.h"
#include "storage/sqlrun.h"

#include <QFileInfo>

SettingsStore SettingsStore::inProgramFolder() {
    return SettingsStore(DataFilePath::inProgramFolder(QString::fromLatin1(kSettingsFileName)));
}

SettingsStore SettingsStore::shipped() {
    return SettingsStore(DataFilePath::inInstallation(QString::fromLatin1(kSettingsFileName)));
}

namespace {

// The file exists; otherwise the failure is reported with the message's
// first words.
bool present(QString &msg, const DataFilePath &file, const char *missing, const char *funName) {
    if (!file.found(msg))
        return false;
    if (QFileInfo::exists(file.path()))
        return true;
    return bFunFail(msg, QString::fromUtf8(missing) + file.path(), funName);
}

// Updates the key's row, or adds one when there is none; returns the changed
// rows.
int upsert(CppSQLite3DB &db, const char *column, const QString &key, const QString &value) {
    const QString c = QLatin1String(column);
    const int changed = db.Execute(
        QStringLiteral("update `settings` set `%1`=? where `name`=?").arg(c), {value, key});
    if (changed != 0)
        return changed;
    return db.Execute(QStringLiteral("insert into `settings`(`name`, `%1`) values( ?, ? )").arg(c),
                      {key, value});
}

} // namespace

bool SettingsStore::writeInt(QString &msg, const QString &key, int value) const {
    if (!present(msg, m_file, "Plik nie istnieje.\n\n", "bFunSqlSettingWriteValue()"))
        return false;
    // A failure here was never logged: the caller tells it.
    return bFunWithDatabase(msg, path(), {"SQLite exception: "}, [&](CppSQLite3DB &db) {
        return upsert(db, "int_value", key, QString::number(value)) != 0;
    });
}

bool SettingsStore::readInt(QString &msg, const QString &key, int &value) const {
    QHash<QString, int> values;
    if (!readInts(msg, {key}, values))
        return false;
    value = values.value(key);
    return true;
}

bool SettingsStore::readInts(QString &msg, const QStringList &keys,
                             QHash<QString, int> &values) const {
    if (!present(msg, m_file, "Plik nie istnieje:\n", "bFunSqlGetSettingsValue()"))
        return false;
    return bFunWithDatabase(
        msg, path(), {"SqlException:\n\n", "bFunSqlGetSettingsValue()"}, [&](CppSQLite3DB &db) {
            QHash<QString, int> read;
            for (const QString &key : keys) {
                CppSQLite3Query q =
                    db.Query(QStringLiteral("select * from `settings` where `name`=?"), {key});
                read.insert(key, q.IntOr(QStringLiteral("int_value"), 0));
                q.Release();
            }
            values = read;
            return true;
        });
}

bool SettingsStore::writeText(QString &msg, const QString &key, const QString &value) const {
    const char *const fun = "bFunSqlSettingWriteText()";
    if (!present(msg, m_file, "Plik nie istnieje:\n", fun))
        return false;
    return bFunWithDatabase(msg, path(), {"SqlException:\n\n", fun}, [&](CppSQLite3DB &db) {
        if (upsert(db, "text_value", key, value) != 0)
            return true;
        return bFunFail(msg, QString::fromUtf8("Błąd zapisu ustawienia ") + key, fun);
    });
}

bool SettingsStore::readText(QString &msg, const QString &key, QString &value) const {
    const char *const fun = "bFunSqlGetSettingsText()";
    if (!present(msg, m_file, "Plik nie istnieje:\n", fun))
        return false;
    return bFunWithDatabase(msg, path(), {"SqlException:\n\n", fun}, [&](CppSQLite3DB &db) {
        CppSQLite3Query q =
            db.Query(QStringLiteral("select `text_value` from `settings` where `name`=?"), {key});
        const QString read = q.AtEnd() ? QString() : q.TextOr(0, QString());
        q.Release();
        value = read;
        return true;
    });
}

bool bFunSqlSettingWriteValue(QString &msg, const QString &key, int value) {
    return SettingsStore::inProgramFolder().writeInt(msg, key, value);
}

bool bFunSqlGetSettingsValue(QString &msg, const QString &key, int &value) {
    return SettingsStore::inProgramFolder().readInt(msg, key, value);
}

bool bFunSqlSettingWriteText(QString &msg, const QString &key, const QString &value) {
    return SettingsStore::inProgramFolder().writeText(msg, key, value);
}

bool bFunSqlGetSettingsText(QString &msg, const QString &key, QString &value) {
    return SettingsStore::inProgramFolder().readText(msg, key, value);
}
