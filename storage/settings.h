#pragma once

#include <QString>

// Named integer options in the table `settings` of "ustawienia.sqset" in the
// program folder. Neither call creates the file.
bool bFunSqlSettingWriteValue(QString &msg, const QString &key, int value);
// The value is written only on success; a key without a row reads as 0.
bool bFunSqlGetSettingsValue(QString &msg, const QString &key, int &value);
