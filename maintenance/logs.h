#pragma once

#include <QList>
#include <QString>

#include "maintenance/mailer.h"
#include "storage/log.h"

// One entry of the program log as the log viewer holds it.
struct structLogData {
    QString datetime; // at most kLogDateTimeWidth characters
    QString fun;      // at most kLogFunWidth characters
    QString info;
};
// The widths of the log writer's two short columns; longer values written by
// something else are cut to them.
constexpr int kLogDateTimeWidth = 19;
constexpr int kLogFunWidth = 51;

// The maker's support address, where the log is sent.
inline const char *const kSupportMailAddress = "pomoc@veltra-br5.pl";

// Every entry of the table `error` of "logs.sqdb", in the order written.
// False without a word when there is no log file; false with the message in
// the buffer (and logged) when the file cannot be read.
bool bFunSqlGetLogsData(QString &msg, const LogStore &log, QList<structLogData> &list);
// The same for the log of the program folder.
bool bFunSqlGetLogsData(QString &msg, QList<structLogData> &list);
