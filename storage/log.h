#pragma once

#include <QDateTime>
#include <QString>

// Appends one entry (UTC time, failing operation, message) to the table
// `error` of "logs.sqdb" in the program folder. Never throws and never shows
// anything: an entry that cannot be written is dropped.
void vFunWriteLog(const QString &msg, const QString &funName);

// The failure convention in one call: the message replaces the buffer's
// text, is logged under the operation's name (when one is given), and false
// is returned for the caller to pass on.
bool bFunFail(QString &msg, const QString &text, const char *funName);

// "year.month.day hour:minute:second" of the moment in UTC, no leading zeros.
QString strFunFormatLogTime(const QDateTime &moment);
