#include "maintenance/filecheck.h"

#include <cerrno>

#include "storage/cppsqlite3.h"
#include "storage/fileops.h"
#include "storage/log.h"
#include "storage/paths.h"
#include "storage/sqlrun.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <sqlite3.h>

namespace {

const char *const kLogName = "bFunCheckFilesDir()";
const SqlReport kReport{"Sql exception: ", kLogName};
constexpr int kCheckLockWaitMs = 120000;

QString relative(const QString &name) {
    QString out = name;
    out.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return out;
}

QByteArray fileHash(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&f);
    return hash.result().toHex();
}

// An installed program's folder belongs to root and the catalogue cannot be
// written there; the owner-write bit also tells so when we run as root.
bool catalogWritable(const QString &path) {
    FsInfo info;
    if (iFsStat(path, info) != 0 || !info.ownerWritable)
        return false;
    return iFsCheckWritable(path) == 0 && iFsCheckWritable(QFileInfo(path).absolutePath()) == 0;
}

// Per-user memory of which flagged files were already replaced, for a
// catalogue that cannot take back its flags. A flagged file counts as done
// for one catalogue and one shipped copy, identified by their hashes, so each
// new release replaces it exactly once.
class ReplacedFiles {
public:
    ReplacedFiles(const QString &path, const QByteArray &catalogHash)
        : m_path(path), m_catalogHash(catalogHash) {}

    bool done(const QString &name, const QByteArray &sourceHash) {
        if (!QFileInfo::exists(m_path))
            return false;
        CppSQLite3DB db;
        db.Open(m_path);
        if (!db.HasTable(QStringLiteral("replaced")))
            return false;
        return db.QueryInt(QStringLiteral("select count(*) from `replaced` where `name`=? and "
                                          "`stamp`=?"),
                           {name, stamp(sourceHash)}) > 0;
    }

    bool remember(QString &msg, const QString &name, const QByteArray &sourceHash) {
        return bFunWithDatabase(msg, m_path, kReport, [&](CppSQLite3DB &db) {
            db.Execute(
                QStringLiteral("create table if not exists `replaced`( name TEXT, stamp TEXT );"));
            return bFunInTransaction(msg, db, kReport, [&](QString &) {
                db.Execute(QStringLiteral("delete from `replaced` where `name`=?"), {name});
                db.Execute(QStringLiteral("insert into `replaced`( name, stamp ) values( ?, ? )"),
                           {name, stamp(sourceHash)});
                return true;
            });
        });
    }

private:
    QString stamp(const QByteArray &sourceHash) const {
        return QString::fromLatin1(m_catalogHash + ':' + sourceHash);
    }

    QString m_path;
    QByteArray m_catalogHash;
};

} // namespace

bool bFunCheckFilesDir(QString &msg) {
    const QString catalog =
        strFunGetExeDirPath(msg) + QLatin1Char('/') + QLatin1String(kCatalogFileName);
    if (!QFileInfo::exists(catalog)) {
        msg = QStringLiteral("Błąd podczas próby sprawdzenia wymaganych plików / katalogów.\n"
                             "Plik nie istnieje: ") +
              catalog;
        vFunWriteLog(msg, QString::fromLatin1(kLogName));
        return false;
    }
    const QString installDir = strFunGetExeDirPath(msg);
    const bool writable = catalogWritable(catalog);

    // Runs started together (a script printing many classes) fill one
    // program folder: one at a time, the others wait.
    const QString programDir = strFunGetProgramDir(msg);
    if (programDir.isEmpty())
        return false;
    QLockFile lock(programDir + QStringLiteral("/pliki_kat.lock"));
    if (!lock.tryLock(kCheckLockWaitMs)) {
        msg = QString::fromUtf8("Błąd podczas próby sprawdzenia wymaganych plików / katalogów.\n"
                                "Inna kopia programu sprawdza je zbyt długo. Spróbuj ponownie "
                                "za chwilę.\nKod: ") +
              QString::number(int(lock.error()));
        vFunWriteLog(msg, QString::fromLatin1(kLogName));
        return false;
    }

    QStringList handled; // catalogue rows whose flag is to be cleared
    return bFunWithDatabase(msg, catalog, kReport, [&](CppSQLite3DB &db) {
        CppSQLite3Query dirs = db.Query(QStringLiteral("select * from `dir`"));
        while (!dirs.AtEnd()) {
            const QString name = relative(dirs.TextOr(QStringLiteral("name"), QString()));
            const QString mainDir = strFunGetProgramDir(msg);
            if (mainDir.isEmpty() || !bFunCreateDir(msg, mainDir + QLatin1Char('/') + name))
                return false;
            dirs.Next();
        }
        dirs.Release();

        const QString mainDirForState = strFunGetProgramDir(msg);
        if (mainDirForState.isEmpty())
            return false;
        ReplacedFiles replaced(mainDirForState + QLatin1Char('/') +
                                   QLatin1String(kCatalogStateFileName),
                               writable ? QByteArray() : fileHash(catalog));

        CppSQLite3Query files = db.Query(QStringLiteral("select * from `files`"));
        while (!files.AtEnd()) {
            const QString stored = files.TextOr(QStringLiteral("name"), QString());
            const int update = files.IntOr(QStringLiteral("update"), 0);
            const QString name = relative(stored);
            const QString mainDir = strFunGetProgramDir(msg);
            if (mainDir.isEmpty())
                return false;
            const QString target = mainDir + QLatin1Char('/') + name;
            const QString source = installDir + QLatin1Char('/') + name;

            if (update != 0 && writable) {
                if (!bFunCopyFile(msg, source, target, false))
                    return false;
            } else if (update != 0) {
                const QByteArray sourceHash = fileHash(source);
                if (!replaced.done(name, sourceHash)) {
                    if (!bFunCopyFile(msg, source, target, false) ||
                        !replaced.remember(msg, name, sourceHash))
                        return false;
                }
            } else if (!QFileInfo::exists(target)) {
                // Another copy of the program started beside this one may
                // have put it there first: that is as good.
                int err = 0;
                if (!bFunCopyFile(msg, source, target, true, &err) && err != EEXIST)
                    return false;
            }
            // Only a flag that is not 0 already is written: the catalogue
            // is shared by every run, and a start that changes nothing
            // writes nothing.
            const int column = files.ColumnIndex(QStringLiteral("update"));
            if (writable && (files.ColumnType(column) == SQLITE_NULL || update != 0))
                handled << stored;
            files.Next();
        }
        files.Release();
        if (handled.isEmpty())
            return true;
        // Taken as a writer from the start, so a busy catalogue is waited
        // for (busy timeout) instead of failing midway.
        return bFunInTransaction(
            msg, db, kReport,
            [&](QString &) {
                for (const QString &name : handled)
                    db.Execute(QStringLiteral("update `files` set `update`='0' where `name`=?"),
                               {name});
                return true;
            },
            nullptr, true);
    });
}
