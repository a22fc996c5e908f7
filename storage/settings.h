#pragma once

#include <QString>

// Named integer options in the table `settings` of "ustawienia.sqset" in the
// program folder. Neither call creates the file.
bool bFunSqlSettingWriteValue(QString &msg, const QString &key, int value);
// The value is written only on success; a key without a row reads as 0.
bool bFunSqlGetSettingsValue(QString &msg, const QString &key, int &value);

// Named text options in the column `text_value` of the table `settings` of
// "ustawienia.sqset" in the program folder (the integer options live beside
// them in `int_value`). Neither call creates the file.
bool bFunSqlSettingWriteText(QString &msg, const QString &key, const QString &value);
// The value is written only on success; a key without a row reads as empty.
bool bFunSqlGetSettingsText(QString &msg, const QString &key, QString &value);
