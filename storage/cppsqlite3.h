#pragma once

#include <QString>

#include <QStringList>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;
struct structStatementGuard;

// A thin object layer over SQLite. Every failure raises CppSQLite3Exception;
// statements and column texts are code page 1250 on the SQLite side and
// Unicode on ours.

constexpr int CPPSQLITE_ERROR = 1000;

// Name of an SQLite result code (or of CPPSQLITE_ERROR): the only part of a
// database error that the program shows or logs.
const char *CodeName(int code);

class CppSQLite3Exception {
public:
    // The message is "<name>[<code>]: <detail>". When freeDetail is set the
    // detail was allocated by SQLite and is released here.
    CppSQLite3Exception(int code, char *detail, bool freeDetail);
    CppSQLite3Exception(int code, const char *detail);
    CppSQLite3Exception(const CppSQLite3Exception &other);
    CppSQLite3Exception &operator=(const CppSQLite3Exception &) = delete;
    virtual ~CppSQLite3Exception();

    int ErrorCode() const { return m_code; }
    const char *ErrorMessage() const { return m_message; }

private:
    int m_code;
    char *m_message = nullptr;
};

// What went wrong in plain Polish, then the name of the code for support.
QString strFunSqlErrorText(const CppSQLite3Exception &e);

class CppSQLite3Query {
public:
    CppSQLite3Query() = default;
    CppSQLite3Query(sqlite3 *db, sqlite3_stmt *stmt, bool atEnd);
    // A cursor owns its statement alone: moving hands it over.
    CppSQLite3Query(CppSQLite3Query &&other) noexcept;
    CppSQLite3Query &operator=(CppSQLite3Query &&other) noexcept;
    CppSQLite3Query(const CppSQLite3Query &) = delete;
    CppSQLite3Query &operator=(const CppSQLite3Query &) = delete;
    ~CppSQLite3Query();

    bool AtEnd() const;
    void Next();
    void Release();

    int ColumnCount() const;
    int ColumnIndex(const QString &name) const;
    int ColumnType(int index) const;
    // Null for an SQL NULL or when the cursor stands after the last row.
    QString ColumnText(const QString &name) const;
    QString ColumnText(int index) const;

    int IntOr(int index, int nullValue) const;
    int IntOr(const QString &name, int nullValue) const;
    QString TextOr(int index, const QString &nullValue) const;
    QString TextOr(const QString &name, const QString &nullValue) const;

private:
    void checkStatement() const;
    // Whether the current row holds a value for the column; throws for a
    // column the statement does not have.
    bool holdsValue(int index) const;
    void takeFrom(CppSQLite3Query &other) noexcept;

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    bool m_atEnd = true;
    int m_columns = 0;
    bool m_owns = false;
};

// What a file of unknown origin (a class file mailed by a colleague) may make
// SQLite do. A class file's longest value, a memo, is a few kilobytes.
constexpr int kUntrustedValueBytes = 4 * 1024 * 1024;
constexpr int kUntrustedSqlBytes = 1024 * 1024;
// The work of one statement, in virtual machine steps and in time; listing
// or saving a pupil takes well under a thousandth of either.
constexpr long long kUntrustedStatementSteps = 200'000'000;
constexpr int kUntrustedStatementMs = 5000;

// A compiled statement run many times with new values: the values are bound
// (as code page 1250), never spliced into the text.
class CppSQLite3Statement {
public:
    CppSQLite3Statement(sqlite3 *db, sqlite3_stmt *stmt, structStatementGuard *guard = nullptr)
        : m_db(db), m_stmt(stmt), m_guard(guard) {}
    CppSQLite3Statement(const CppSQLite3Statement &) = delete;
    CppSQLite3Statement &operator=(const CppSQLite3Statement &) = delete;
    ~CppSQLite3Statement();

    // Parameters count from 1.
    void Bind(int param, const QString &text);
    // Runs the statement once and makes it ready for the next values;
    // returns the changed rows.
    int Execute();

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_stmt;
    structStatementGuard *m_guard;
};

class CppSQLite3DB;
// The text of one column of every row a query returns, in order (NULL reads
// as the empty text).
QStringList strFunQueryColumn(CppSQLite3DB &db, const QString &sql, const QString &column);
// The same with the query's "?" parameters bound to the values.
QStringList strFunQueryColumn(CppSQLite3DB &db, const QString &sql, const QString &column,
                              const QStringList &values);

class CppSQLite3DB {
public:
    CppSQLite3DB();
    CppSQLite3DB(const CppSQLite3DB &) = delete;
    CppSQLite3DB &operator=(const CppSQLite3DB &) = delete;
    ~CppSQLite3DB();

    // Opens or creates the file; the path is a native file name.
    void Open(const QString &path);
    // Opens a file of unknown origin the way SQLite advises for such files:
    // defensive mode, an untrusted schema, no views and no triggers run,
    // values and statements limited in length, and each statement stopped
    // (SQLITE_INTERRUPT) after the bounds of work above. readOnly opens
    // without ever writing to the file.
    void OpenUntrusted(const QString &path, bool readOnly = false);
    void Close();
    bool IsOpen() const { return m_db != nullptr; }

    // Runs the whole text (several statements too); returns the changed rows.
    int Execute(const QString &sql);
    // Runs one statement with its "?" parameters bound to the values, in
    // order, as text (code page 1250): a value is stored exactly as the same
    // text between quotes would be, column affinity included; a value
    // holding a NUL character fails (SQLITE_ERROR) as that text did. Returns
    // the changed rows.
    int Execute(const QString &sql, const QStringList &values);
    // Compiles the first statement and steps once: the cursor stands on the
    // first row, or at its end when there is none.
    CppSQLite3Query Query(const QString &sql);
    CppSQLite3Query Query(const QString &sql, const QStringList &values);
    int QueryInt(const QString &sql, int nullValue = 0);
    int QueryInt(const QString &sql, const QStringList &values, int nullValue = 0);
    // Compiles one statement with "?" parameters for repeated use.
    std::unique_ptr<CppSQLite3Statement> Compile(const QString &sql);
    // Case-sensitive test for a table of that exact name.
    bool HasTable(const QString &name);

    void SetBusyTimeout(int ms);

private:
    void checkOpen() const;
    void openWith(const QString &path, int flags);
    // A new statement gets the whole budget of work again.
    void arm();
    // Compiles one statement; throws on an error or an empty text.
    sqlite3_stmt *prepare(const QString &sql);
    // Compiles one statement and binds the values to its parameters.
    sqlite3_stmt *prepare(const QString &sql, const QStringList &values);
    CppSQLite3Query firstRow(sqlite3_stmt *stmt);

    sqlite3 *m_db = nullptr;
    int m_busyTimeoutMs = 60000;
    std::unique_ptr<structStatementGuard> m_guard; // only for an untrusted file
};
