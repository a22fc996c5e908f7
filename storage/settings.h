#pragma once

#include "storage/paths.h"

#include <QHash>
#include <QString>
#include <QStringList>

// The settings file "ustawienia.sqset" of the program folder: named integer
// options in the column `int_value` of the table `settings`, named text
// options beside them in `text_value` (the margin sets and the town and
// province lists live in the same file). No operation creates the file.
class SettingsStore {
public:
    // The file of the program folder, looked up now.
    static SettingsStore inProgramFolder();
    // The file as the installation ships it.
    static SettingsStore shipped();
    explicit SettingsStore(const DataFilePath &file) : m_file(file) {}

    const DataFilePath &file() const { return m_file; }
    const QString &path() const { return m_file.path(); }

    // The value is written only on success; a key without a row reads as 0.
    bool readInt(QString &msg, const QString &key, int &value) const;
    // The value of every key, read through one opening of the file (a start
    // reads several); written only on success.
    bool readInts(QString &msg, const QStringList &keys, QHash<QString, int> &values) const;
    bool writeInt(QString &msg, const QString &key, int value) const;
    // The value is written only on success; a key without a row reads as empty.
    bool readText(QString &msg, const QString &key, QString &value) const;
    bool writeText(QString &msg, const QString &key, const QString &value) const;

private:
    DataFilePath m_file;
};

// The same operations on the program folder's settings file.
bool bFunSqlSettingWriteValue(QString &msg, const QString &key, int value);
bool bFunSqlGetSettingsValue(QString &msg, const QString &key, int &value);
bool bFunSqlSettingWriteText(QString &msg, const QString &key, const QString &value);
bool bFunSqlGetSettingsText(QString &msg, const QString &key, QString &value);
