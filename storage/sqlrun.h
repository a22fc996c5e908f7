#pragma once

#include <QString>

#include <functional>

class CppSQLite3DB;
class CppSQLite3Exception;

// How a failure of the SQLite layer is told: the first words of the message
// (the reason and the code's name follow) and the operation the message is
// logged under (none: not logged).
struct SqlReport {
    const char *prefix;
    const char *funName = nullptr;
};

// Puts prefix + the exception's reason into msg and logs it; returns false.
bool bFunSqlFail(QString &msg, const CppSQLite3Exception &e, const SqlReport &report);

// Runs work on a database already open; work returns false after reporting
// its own refusal, an exception of the SQLite layer becomes the report's
// message (and its code goes to code, when given).
bool bFunSqlRun(QString &msg, const SqlReport &report, const std::function<bool()> &work,
                int *code = nullptr);

enum class DbOpen {
    Trusted,   // a file of the program's own
    Untrusted, // a file from elsewhere (CppSQLite3DB::OpenUntrusted)
};

// Opens the file, runs work on it and closes it. work returns false after
// reporting its own refusal (message, log); an exception of the SQLite layer,
// from the opening to the closing, becomes the report's message. code, when
// given, receives that exception's code.
bool bFunWithDatabase(QString &msg, const QString &path, const SqlReport &report,
                      const std::function<bool(CppSQLite3DB &)> &work,
                      DbOpen mode = DbOpen::Trusted, int *code = nullptr);

// Runs work in one transaction of an open database: committed when work
// succeeds, rolled back otherwise, so a failure leaves the file as it was.
// work refuses by returning false: a refusal it states in refusal becomes
// the message and is logged under the report's name; with refusal left empty
// the work has reported itself (a callee's message is in msg already). An
// exception of the SQLite layer (begin, work, commit) becomes the report's
// message. immediate takes the write lock at the start, so a busy file is
// waited for rather than failing midway.
bool bFunInTransaction(QString &msg, CppSQLite3DB &db, const SqlReport &report,
                       const std::function<bool(QString &refusal)> &work, int *code = nullptr,
                       bool immediate = false);
