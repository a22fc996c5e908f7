#include "storage/cppsqlite3.h"

#include "storage/codec.h"

#include <QElapsedTimer>
#include <QFile>
#include <sqlite3.h>

// The bound of work of the statement running on an untrusted connection.
struct structStatementGuard {
    long long ticks = 0;
    QElapsedTimer timer;

    void arm() {
        ticks = 0;
        timer.start();
    }
};

namespace {

constexpr int kStepsPerTick = 1000;

int progressHandler(void *context) {
    auto *guard = static_cast<structStatementGuard *>(context);
    ++guard->ticks;
    // A non-zero answer interrupts the statement.
    return guard->ticks * kStepsPerTick > kUntrustedStatementSteps ||
           guard->timer.elapsed() > kUntrustedStatementMs;
}

void armGuard(structStatementGuard *guard) {
    if (guard)
        guard->arm();
}

} // namespace

const char *CodeName(int code) {
    switch (code) {
    case SQLITE_OK:
        return "SQLITE_OK";
    case SQLITE_ERROR:
        return "SQLITE_ERROR";
    case SQLITE_INTERNAL:
        return "SQLITE_INTERNAL";
    case SQLITE_PERM:
        return "SQLITE_PERM";
    case SQLITE_ABORT:
        return "SQLITE_ABORT";
    case SQLITE_BUSY:
        return "SQLITE_BUSY";
    case SQLITE_LOCKED:
        return "SQLITE_LOCKED";
    case SQLITE_NOMEM:
        return "SQLITE_NOMEM";
    case SQLITE_READONLY:
        return "SQLITE_READONLY";
    case SQLITE_INTERRUPT:
        return "SQLITE_INTERRUPT";
    case SQLITE_IOERR:
        return "SQLITE_IOERR";
    case SQLITE_CORRUPT:
        return "SQLITE_CORRUPT";
    case SQLITE_NOTFOUND:
        return "SQLITE_NOTFOUND";
    case SQLITE_FULL:
        return "SQLITE_FULL";
    case SQLITE_CANTOPEN:
        return "SQLITE_CANTOPEN";
    case SQLITE_PROTOCOL:
        return "SQLITE_PROTOCOL";
    case SQLITE_EMPTY:
        return "SQLITE_EMPTY";
    case SQLITE_SCHEMA:
        return "SQLITE_SCHEMA";
    case SQLITE_TOOBIG:
        return "SQLITE_TOOBIG";
    case SQLITE_CONSTRAINT:
        return "SQLITE_CONSTRAINT";
    case SQLITE_MISMATCH:
        return "SQLITE_MISMATCH";
    case SQLITE_MISUSE:
        return "SQLITE_MISUSE";
    case SQLITE_NOLFS:
        return "SQLITE_NOLFS";
    case SQLITE_AUTH:
        return "SQLITE_AUTH";
    case SQLITE_FORMAT:
        return "SQLITE_FORMAT";
    case SQLITE_RANGE:
        return "SQLITE_RANGE";
    case SQLITE_ROW:
        return "SQLITE_ROW";
    case SQLITE_DONE:
        return "SQLITE_DONE";
    case CPPSQLITE_ERROR:
        return "CPPSQLITE_ERROR";
    default:
        return "UNKNOWN_ERROR";
    }
}

// ---------------------------------------------------------------------------

CppSQLite3Exception::CppSQLite3Exception(int code, char *detail, bool freeDetail) : m_code(code) {
    m_message = sqlite3_mprintf("%s[%d]: %s", CodeName(code), code, detail ? detail : "");
    if (freeDetail && detail)
        sqlite3_free(detail);
}

CppSQLite3Exception::CppSQLite3Exception(int code, const char *detail)
    : CppSQLite3Exception(code, const_cast<char *>(detail), false) {}

CppSQLite3Exception::CppSQLite3Exception(const CppSQLite3Exception &other) : m_code(other.m_code) {
    if (other.m_message)
        m_message = sqlite3_mprintf("%s", other.m_message);
}

CppSQLite3Exception::~CppSQLite3Exception() {
    if (m_message)
        sqlite3_free(m_message);
}

// ---------------------------------------------------------------------------

CppSQLite3Query::CppSQLite3Query(sqlite3 *db, sqlite3_stmt *stmt, bool atEnd)
    : m_db(db), m_stmt(stmt), m_atEnd(atEnd), m_columns(sqlite3_column_count(stmt)), m_owns(true) {}

void CppSQLite3Query::takeFrom(CppSQLite3Query &other) noexcept {
    m_db = other.m_db;
    m_stmt = other.m_stmt;
    m_atEnd = other.m_atEnd;
    m_columns = other.m_columns;
    m_owns = other.m_owns;
    other.m_stmt = nullptr;
    other.m_owns = false;
}

CppSQLite3Query::CppSQLite3Query(CppSQLite3Query &&other) noexcept {
    takeFrom(other);
}

CppSQLite3Query &CppSQLite3Query::operator=(CppSQLite3Query &&other) noexcept {
    if (this != &other) {
        try {
            Release();
        } catch (...) {
        }
        takeFrom(other);
    }
    return *this;
}

CppSQLite3Query::~CppSQLite3Query() {
    try {
        Release();
    } catch (...) {
    }
}

void CppSQLite3Query::checkStatement() const {
    if (!m_stmt)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, "Null Virtual Machine pointer");
}

bool CppSQLite3Query::AtEnd() const {
    checkStatement();
    return m_atEnd;
}

void CppSQLite3Query::Next() {
    checkStatement();
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_DONE) {
        m_atEnd = true;
    } else if (rc != SQLITE_ROW) {
        const int frc = sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw CppSQLite3Exception(frc, sqlite3_errmsg(m_db));
    }
}

void CppSQLite3Query::Release() {
    if (m_stmt && m_owns) {
        const int rc = sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        if (rc != SQLITE_OK)
            throw CppSQLite3Exception(rc, sqlite3_errmsg(m_db));
    }
}

int CppSQLite3Query::ColumnCount() const {
    checkStatement();
    return m_columns;
}

int CppSQLite3Query::ColumnIndex(const QString &name) const {
    checkStatement();
    if (!name.isNull()) {
        const QByteArray wanted = cp1250::encode(name);
        for (int i = 0; i < m_columns; ++i) {
            const char *col = sqlite3_column_name(m_stmt, i);
            if (col && wanted == col)
                return i;
        }
    }
    throw CppSQLite3Exception(CPPSQLITE_ERROR, "Invalid field name requested");
}

bool CppSQLite3Query::holdsValue(int index) const {
    checkStatement();
    if (index < 0 || index > m_columns - 1)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, "Invalid field index requested");
    // After the last row the statement holds no values: every column reads as NULL.
    return !m_atEnd;
}

int CppSQLite3Query::ColumnType(int index) const {
    return holdsValue(index) ? sqlite3_column_type(m_stmt, index) : SQLITE_NULL;
}

QString CppSQLite3Query::ColumnText(int index) const {
    return TextOr(index, QString());
}

QString CppSQLite3Query::ColumnText(const QString &name) const {
    return ColumnText(ColumnIndex(name));
}

int CppSQLite3Query::IntOr(int index, int nullValue) const {
    if (ColumnType(index) == SQLITE_NULL)
        return nullValue;
    return sqlite3_column_int(m_stmt, index);
}

int CppSQLite3Query::IntOr(const QString &name, int nullValue) const {
    return IntOr(ColumnIndex(name), nullValue);
}

QString CppSQLite3Query::TextOr(int index, const QString &nullValue) const {
    if (!holdsValue(index))
        return nullValue;
    // Asked once per value: a pupil's load reads over a thousand of them.
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, index));
    if (!text) {
        // No text: a NULL, an empty blob, or a value SQLite had no memory for.
        if (sqlite3_column_type(m_stmt, index) == SQLITE_NULL)
            return nullValue;
        return QString();
    }
    QString out = cp1250::decode(text, sqlite3_column_bytes(m_stmt, index));
    if (out.isNull())
        out = QLatin1String("");
    return out;
}

QString CppSQLite3Query::TextOr(const QString &name, const QString &nullValue) const {
    return TextOr(ColumnIndex(name), nullValue);
}

// ---------------------------------------------------------------------------

CppSQLite3DB::CppSQLite3DB() = default;

CppSQLite3DB::~CppSQLite3DB() {
    try {
        Close();
    } catch (...) {
    }
}

void CppSQLite3DB::Open(const QString &path) {
    openWith(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

void CppSQLite3DB::OpenUntrusted(const QString &path, bool readOnly) {
    openWith(path, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    // Before the first statement reads the schema: nothing of the file runs
    // with more trust than the file deserves.
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_limit(m_db, SQLITE_LIMIT_LENGTH, kUntrustedValueBytes);
    sqlite3_limit(m_db, SQLITE_LIMIT_SQL_LENGTH, kUntrustedSqlBytes);
    sqlite3_limit(m_db, SQLITE_LIMIT_ATTACHED, 0);
    m_guard = std::make_unique<structStatementGuard>();
    m_guard->arm();
    sqlite3_progress_handler(m_db, kStepsPerTick, progressHandler, m_guard.get());
}

void CppSQLite3DB::arm() {
    armGuard(m_guard.get());
}

void CppSQLite3DB::openWith(const QString &path, int flags) {
    if (m_db)
        Close();
    // SQLite takes UTF-8 names on every system (not the ANSI code page).
    const QByteArray name = path.toUtf8();
    // A connection lives in one function of one thread: without its own
    // lock every value read costs no lock and unlock.
    const int rc = sqlite3_open_v2(name.constData(), &m_db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const CppSQLite3Exception error(rc, m_db ? sqlite3_errmsg(m_db) : "");
        // sqlite3_open hands back a handle even on failure; it must be closed.
        if (m_db)
            sqlite3_close(m_db);
        m_db = nullptr;
        throw error;
    }
    sqlite3_busy_timeout(m_db, m_busyTimeoutMs);
}

void CppSQLite3DB::Close() {
    if (!m_db)
        return;
    if (sqlite3_close(m_db) != SQLITE_OK)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, "Unable to close database");
    m_db = nullptr;
    m_guard.reset();
}

void CppSQLite3DB::SetBusyTimeout(int ms) {
    m_busyTimeoutMs = ms;
    if (m_db)
        sqlite3_busy_timeout(m_db, ms);
}

void CppSQLite3DB::checkOpen() const {
    if (!m_db)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, "Database not open");
}

int CppSQLite3DB::Execute(const QString &sql) {
    checkOpen();
    const QByteArray text = cp1250::encode(sql);
    arm();
    char *error = nullptr;
    const int rc = sqlite3_exec(m_db, text.constData(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK)
        throw CppSQLite3Exception(rc, error, true);
    return sqlite3_changes(m_db);
}

sqlite3_stmt *CppSQLite3DB::prepare(const QString &sql) {
    checkOpen();
    const QByteArray text = cp1250::encode(sql);
    arm();
    sqlite3_stmt *stmt = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, text.constData(), -1, &stmt, nullptr);
    if (rc != SQLITE_OK)
        throw CppSQLite3Exception(rc, sqlite3_errmsg(m_db));
    if (!stmt) // an empty text or a comment only compiles to nothing
        throw CppSQLite3Exception(CPPSQLITE_ERROR, "Null Virtual Machine pointer");
    return stmt;
}

sqlite3_stmt *CppSQLite3DB::prepare(const QString &sql, const QStringList &values) {
    sqlite3_stmt *stmt = prepare(sql);
    for (int i = 0; i < values.size(); ++i) {
        const QByteArray bytes = cp1250::encode(values[i]);
        // Spliced into the text a NUL ended the statement, which then failed
        // to compile: such a value is refused the same way, not stored.
        if (bytes.contains('\0')) {
            sqlite3_finalize(stmt);
            throw CppSQLite3Exception(SQLITE_ERROR, "unrecognized token");
        }
        const int rc =
            sqlite3_bind_text(stmt, i + 1, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(stmt);
            throw CppSQLite3Exception(rc, sqlite3_errmsg(m_db));
        }
    }
    return stmt;
}

int CppSQLite3DB::Execute(const QString &sql, const QStringList &values) {
    CppSQLite3Query q = Query(sql, values);
    q.Release();
    return sqlite3_changes(m_db);
}

std::unique_ptr<CppSQLite3Statement> CppSQLite3DB::Compile(const QString &sql) {
    sqlite3_stmt *stmt = prepare(sql);
    return std::make_unique<CppSQLite3Statement>(m_db, stmt, m_guard.get());
}

CppSQLite3Statement::~CppSQLite3Statement() {
    sqlite3_finalize(m_stmt);
}

void CppSQLite3Statement::Bind(int param, const QString &text) {
    const QByteArray bytes = cp1250::encode(text);
    const int rc =
        sqlite3_bind_text(m_stmt, param, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK)
        throw CppSQLite3Exception(rc, sqlite3_errmsg(m_db));
}

int CppSQLite3Statement::Execute() {
    armGuard(m_guard);
    const int rc = sqlite3_step(m_stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
        const int code = sqlite3_reset(m_stmt);
        throw CppSQLite3Exception(code ? code : rc, sqlite3_errmsg(m_db));
    }
    sqlite3_reset(m_stmt);
    return sqlite3_changes(m_db);
}

CppSQLite3Query CppSQLite3DB::firstRow(sqlite3_stmt *stmt) {
    const int step = sqlite3_step(stmt);
    if (step == SQLITE_DONE)
        return CppSQLite3Query(m_db, stmt, true);
    if (step == SQLITE_ROW)
        return CppSQLite3Query(m_db, stmt, false);
    const int frc = sqlite3_finalize(stmt);
    throw CppSQLite3Exception(frc, sqlite3_errmsg(m_db));
}

CppSQLite3Query CppSQLite3DB::Query(const QString &sql) {
    return firstRow(prepare(sql));
}

CppSQLite3Query CppSQLite3DB::Query(const QString &sql, const QStringList &values) {
    return firstRow(prepare(sql, values));
}

int CppSQLite3DB::QueryInt(const QString &sql, int nullValue) {
    return QueryInt(sql, QStringList(), nullValue);
}

int CppSQLite3DB::QueryInt(const QString &sql, const QStringList &values, int nullValue) {
    CppSQLite3Query q = Query(sql, values);
    if (q.AtEnd() || q.ColumnCount() < 1)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, "Invalid scalar query");
    return q.IntOr(0, nullValue);
}

bool CppSQLite3DB::HasTable(const QString &name) {
    return QueryInt(QStringLiteral("select count(*) from sqlite_master where type='table' and "
                                   "name=?"),
                    {name}, 0) > 0;
}

QStringList strFunQueryColumn(CppSQLite3DB &db, const QString &sql, const QString &column) {
    return strFunQueryColumn(db, sql, column, QStringList());
}

QStringList strFunQueryColumn(CppSQLite3DB &db, const QString &sql, const QString &column,
                              const QStringList &parameters) {
    QStringList values;
    CppSQLite3Query q = db.Query(sql, parameters);
    while (!q.AtEnd()) {
        values << q.TextOr(column, QString());
        q.Next();
    }
    q.Release();
    return values;
}
