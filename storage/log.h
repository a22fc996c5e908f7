#pragma once

#include <QDateTime>
#include <QString>

// The program log, "logs.sqdb": the table `error` of (UTC time, failing
// operation, message) rows.
class LogStore {
public:
    // The log of the program folder; no path when the folder cannot be had
    // (the look-up is not logged: there would be nowhere to log it).
    static LogStore inProgramFolder();
    explicit LogStore(const QString &path) : m_path(path) {}

    const QString &path() const { return m_path; }
    // Appends one entry, making the table on first use. Never throws and
    // never shows anything: an entry that cannot be written is dropped.
    void append(const QString &msg, const QString &funName) const;

private:
    QString m_path;
};

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
