#pragma once

#include <QDateTime>
#include <QString>

// Appends one entry (UTC time, failing operation, message) to the table
// `error` of "logs.sqdb" in the program folder. Never throws and never shows
// anything: an entry that cannot be written is dropped.
void vFunWriteLog(const QString &msg, const QString &funName);

// "year.month.day hour:minute:second" of the moment in UTC, no leading zeros.
QString strFunFormatLogTime(const QDateTime &moment);
