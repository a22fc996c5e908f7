#include "storage/sqlrun.h"

#include "storage/cppsqlite3.h"
#include "storage/log.h"

bool bFunSqlFail(QString &msg, const CppSQLite3Exception &e, const SqlReport &report) {
    return bFunFail(msg, QString::fromUtf8(report.prefix) + strFunSqlErrorText(e), report.funName);
}

bool bFunSqlRun(QString &msg, const SqlReport &report, const std::function<bool()> &work,
                int *code) {
    try {
        return work();
    } catch (const CppSQLite3Exception &e) {
        if (code)
            *code = e.ErrorCode();
        return bFunSqlFail(msg, e, report);
    }
}

bool bFunWithDatabase(QString &msg, const QString &path, const SqlReport &report,
                      const std::function<bool(CppSQLite3DB &)> &work, DbOpen mode, int *code) {
    CppSQLite3DB db; // closed by its destructor however work ends
    return bFunSqlRun(
        msg, report,
        [&] {
            if (mode == DbOpen::Untrusted)
                db.OpenUntrusted(path);
            else
                db.Open(path);
            if (!work(db))
                return false;
            db.Close();
            return true;
        },
        code);
}

namespace {

// After a failure SQLite may have rolled back on its own already: then the
// rollback has nothing to do and its complaint is no news.
void rollBack(CppSQLite3DB &db) {
    try {
        db.Execute(QStringLiteral("rollback transaction;"));
    } catch (const CppSQLite3Exception &) {
    }
}

} // namespace

bool bFunInTransaction(QString &msg, CppSQLite3DB &db, const SqlReport &report,
                       const std::function<bool(QString &refusal)> &work, int *code,
                       bool immediate) {
    const bool begun = bFunSqlRun(
        msg, report,
        [&] {
            db.Execute(immediate ? QStringLiteral("begin immediate transaction;")
                                 : QStringLiteral("begin transaction;"));
            return true;
        },
        code);
    if (!begun)
        return false;
    QString refusal;
    const bool done = bFunSqlRun(
        msg, report,
        [&] {
            if (!work(refusal))
                return false;
            db.Execute(QStringLiteral("commit transaction;"));
            return true;
        },
        code);
    if (done)
        return true;
    rollBack(db);
    if (!refusal.isEmpty())
        bFunFail(msg, refusal, report.funName);
    return false;
}
