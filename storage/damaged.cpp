#include "storage/damaged.h"

#include "storage/errortext.h"
#include "storage/fileops.h"
#include "storage/log.h"
#include "storage/paths.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <sqlite3.h>

namespace {

bool damagedCode(int code) {
    code &= 0xff;
    return code == SQLITE_NOTADB || code == SQLITE_CORRUPT;
}

} // namespace

bool bFunIsDamagedDatabase(const QString &path) {
    if (!QFileInfo(path).isFile())
        return false;
    sqlite3 *db = nullptr;
    const QByteArray native = path.toUtf8(); // SQLite takes UTF-8 names
    int rc = sqlite3_open_v2(native.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    bool damaged = damagedCode(rc);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db, 2000);
        sqlite3_stmt *stmt = nullptr;
        rc = sqlite3_prepare_v2(db, "pragma quick_check", -1, &stmt, nullptr);
        if (rc == SQLITE_OK) {
            rc = sqlite3_step(stmt);
            if (rc == SQLITE_ROW) {
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
                damaged = !text || qstrcmp(text, "ok") != 0;
            } else {
                damaged = damagedCode(rc);
            }
        } else {
            damaged = damagedCode(rc);
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return damaged;
}

bool bFunRepairDamagedFile(QString &msg, const QString &fileName, bool restoreShipped,
                           QString &notice) {
    notice.clear();
    QString lookup;
    const QString path = strFunGetDataFilePath(lookup, fileName);
    if (path.isEmpty() || !bFunIsDamagedDatabase(path))
        return false;
    QString aside = path + QStringLiteral(".uszkodzony");
    for (int i = 2; QFileInfo::exists(aside); ++i)
        aside = path + QStringLiteral(".uszkodzony-%1").arg(i);
    if (const int err = iFsReplace(path, aside)) {
        return bFunFail(msg,
                        QString::fromUtf8("Plik danych programu jest uszkodzony:\n") + path +
                            QString::fromUtf8("\nNie udało się go przenieść.\n") +
                            strFunErrnoCode(err),
                        "bFunRepairDamagedFile()");
    }
    if (restoreShipped) {
        const QString shipped = strFunGetDataFilePath(lookup, fileName, true);
        if (!bFunCopyFile(msg, shipped, path, false))
            return false;
    }
    notice = QString::fromUtf8("Plik danych programu był uszkodzony:\n") + path +
             QString::fromUtf8("\n\nPrzeniesiono go do pliku:\n") + aside +
             (restoreShipped
                  ? QString::fromUtf8("\n\nW jego miejsce przywrócono oryginalny plik programu.")
                  : QString::fromUtf8("\n\nProgram zaczyna z pustym plikiem."));
    vFunWriteLog(notice, QStringLiteral("bFunRepairDamagedFile()"));
    return true;
}
