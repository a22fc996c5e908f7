#include "storage/paths.h"

#include "storage/errortext.h"
#include "storage/fileops.h"
#include "storage/folders.h"
#include "storage/log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <ctime>
#include <functional>

namespace {

QString &exeDirOverride() {
    static QString path;
    return path;
}

// A save that was killed midway leaves its temporary file behind; the name
// says what it is, and a later copy onto the same target removes it once it
// is old enough not to be another program's copy still being written.
QString temporaryPrefix(const QString &target) {
    const int slash = int(target.lastIndexOf(QLatin1Char('/')));
    return target.left(slash + 1) + QStringLiteral(".zapis-") + target.mid(slash + 1) +
           QLatin1Char('-');
}

void removeStaleTemporaries(const QString &target) {
    const QString prefix = temporaryPrefix(target);
    const int slash = int(prefix.lastIndexOf(QLatin1Char('/')));
    const QString dir = slash < 0 ? QStringLiteral(".") : prefix.left(slash);
    const QString namePrefix = prefix.mid(slash + 1);
    const QStringList stale =
        QDir(dir).entryList({namePrefix + QStringLiteral("??????")},
                            QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    const time_t now = ::time(nullptr);
    for (const QString &name : stale) {
        const QString path = dir + QLatin1Char('/') + name;
        FsInfo info;
        if (iFsStat(path, info, false) == 0 && now - info.modified > 600)
            iFsRemove(path);
    }
}

// Writes a file through a temporary one in its folder: fill writes the
// content into the file (0 or an errno); then the temporary is synced and
// renamed over the file. A save through a link replaces the file it points
// to, in that file's folder, and leaves the link. Returns 0 or the errno of
// the step that failed; on failure the file is as it was.
int writeThroughTemporary(const QString &target, unsigned permissions,
                          const std::function<int(FsFile &)> &fill) {
    const QString dst = strFsResolveLinks(target);
    removeStaleTemporaries(dst);
    QString tmp = temporaryPrefix(dst) + QStringLiteral("XXXXXX");
    FsFile out;
    if (const int e = out.createUnique(tmp))
        return e;
    int err = fill(out);
    if (!err)
        err = out.setPermissions(permissions);
    if (!err)
        err = out.sync();
    if (const int e = out.close(); e && !err)
        err = e;
    if (!err)
        err = iFsReplace(tmp, dst);
    if (err)
        iFsRemove(tmp);
    return err;
}

// Copies source to target through a temporary file in the target's folder.
// Returns 0 or the errno of the step that failed.
int copyThroughTemporary(const QString &source, const QString &target, bool failIfExists) {
    FsFile in;
    if (const int e = in.openRead(source))
        return e;
    FsInfo st;
    if (const int e = in.info(st))
        return e;
    if (st.kind != FsKind::File)
        return st.kind == FsKind::Dir ? EISDIR : EINVAL;
    FsInfo existing;
    if (failIfExists && iFsStat(target, existing, false) == 0)
        return EEXIST;
    return writeThroughTemporary(target, st.permissions, [&in](FsFile &out) {
        char buffer[65536];
        for (;;) {
            qint64 got = 0;
            if (const int e = in.read(buffer, sizeof buffer, got))
                return e;
            if (got == 0)
                return 0;
            if (const int e = out.writeAll(buffer, got))
                return e;
        }
    });
}

} // namespace

bool bFunCreateDir(QString &msg, const QString &path) {
    if (QFileInfo(path).isDir())
        return true;
    const int err = iFsMakeDir(path);
    if (err == 0)
        return true;
    // Another run may have made it meanwhile.
    if (err == EEXIST && QFileInfo(path).isDir())
        return true;
    msg = QStringLiteral("Błąd podczas tworzenia katalogu:\n") + path + QLatin1Char('\n') +
          strFunErrnoCode(err);
    vFunWriteLog(msg, QStringLiteral("strFunGetMainDirPath()"));
    return false;
}

QString strFunGetMainDirPath(QString &msg) {
    const structFolderLookup found = lookupProgramFolder();
    if (!found.path.isEmpty())
        return found.path;
    msg = found.noDataLocation
              ? QStringLiteral("Błąd uzyskania ścieżki głównego katalagu.\n") +
                    strFunErrnoCode(found.error)
              : QStringLiteral("Błąd podczas tworzenia katalogu:\n") + found.failedDir +
                    QLatin1Char('\n') + strFunErrnoCode(found.error);
    vFunWriteLog(msg, QStringLiteral("strFunGetMainDirPath()"));
    return QString();
}

QString strFunGetExeDirPath(QString &) {
    if (!exeDirOverride().isEmpty())
        return exeDirOverride();
    return QCoreApplication::applicationDirPath();
}

void vFunSetExeDirPathForTests(const QString &path) {
    exeDirOverride() = path;
}

QString strFunGetProgramDir(QString &msg) {
    const QString known = strFunKnownProgramDir();
    return known.isEmpty() ? strFunGetMainDirPath(msg) : known;
}

QString strFunGetDataFilePath(QString &msg, const QString &fileName, bool fromInstallation) {
    const QString dir = fromInstallation ? strFunGetExeDirPath(msg) : strFunGetProgramDir(msg);
    if (dir.isEmpty())
        return QString();
    return dir + QLatin1Char('/') + fileName;
}

DataFilePath DataFilePath::inProgramFolder(const QString &fileName) {
    DataFilePath file;
    file.m_path = strFunGetDataFilePath(file.m_lookupError, fileName);
    return file;
}

DataFilePath DataFilePath::inInstallation(const QString &fileName) {
    DataFilePath file;
    file.m_path = strFunGetDataFilePath(file.m_lookupError, fileName, true);
    return file;
}

bool DataFilePath::found(QString &msg) const {
    if (m_lookupError.isEmpty())
        return true;
    msg = m_lookupError;
    return false;
}

QString strFunGetTmpFilePath(QString &msg) {
    return strFunGetDataFilePath(msg, QString::fromLatin1(kTmpFileName));
}

bool bFunDeleteTmpFile(QString &msg) {
    const QString path = strFunGetTmpFilePath(msg);
    if (path.isEmpty())
        return false;
    FsInfo info;
    if (iFsStat(path, info, false) != 0)
        return true;
    const int err = iFsRemove(path);
    if (err == 0)
        return true;
    msg = QStringLiteral("Błąd podczas próby kasowania pliku\n") + path + QLatin1Char('\n') +
          strFunErrnoCode(err);
    vFunWriteLog(msg, QStringLiteral("bFunDeleteTmpFile()"));
    return false;
}

bool bFunCopyFile(QString &msg, const QString &source, const QString &target, bool failIfExists,
                  int *error) {
    const int err = copyThroughTemporary(source, target, failIfExists);
    if (error)
        *error = err;
    if (err == 0)
        return true;
    msg = QStringLiteral("Błąd podczas kopiowania pliku.\n\nZ: ") + source +
          QStringLiteral("\ndo: ") + target + QStringLiteral("\n\n") + strFunErrnoCode(err);
    vFunWriteLog(msg, QStringLiteral("bFunCopyFile()"));
    return false;
}

QString strFunResolvedLinkTarget(const QString &path) {
    return strFsResolveLinks(path);
}

int iFunWriteWholeFile(const QString &target, const QByteArray &bytes) {
    // A new file gets the usual permissions; an existing one keeps its own.
    unsigned permissions = uFsNewFilePermissions();
    FsInfo info;
    if (iFsStat(target, info) == 0) {
        if (info.kind != FsKind::File)
            return info.kind == FsKind::Dir ? EISDIR : EINVAL;
        permissions = info.permissions;
    }
    return writeThroughTemporary(target, permissions, [&bytes](FsFile &out) {
        return out.writeAll(bytes.constData(), bytes.size());
    });
}

bool bFunClearFileAttributes(QString &, const QString &path) {
    return iFsMakeWritable(path) == 0;
}

namespace {

const char *const kRunTempPrefix = "swiadectwa-";

bool mine(const QString &path) {
    FsInfo info;
    return iFsStat(path, info, false) == 0 && info.ownedByMe;
}

} // namespace

QString strFunRunTempDirTemplate() {
    return QDir::tempPath() + QLatin1Char('/') + QLatin1String(kRunTempPrefix) +
           QString::number(QCoreApplication::applicationPid()) + QStringLiteral("-XXXXXX");
}

int iFunRemoveStaleRunTemporaries() {
    int removed = 0;
    const QDir temp(QDir::tempPath());
    const QStringList dirs = temp.entryList({QLatin1String(kRunTempPrefix) + QStringLiteral("*-*")},
                                            QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &name : dirs) {
        // "swiadectwa-<pid>-XXXXXX": the folders of older versions carry no
        // pid and are left alone, as are other users' folders.
        const QStringList parts = name.mid(int(qstrlen(kRunTempPrefix))).split(QLatin1Char('-'));
        bool isNumber = false;
        const qint64 pid = parts.value(0).toLongLong(&isNumber);
        const QFileInfo info(temp.filePath(name));
        if (parts.size() != 2 || !isNumber || info.isSymLink() || !mine(info.filePath()) ||
            !bFsProcessGone(pid))
            continue;
        if (QDir(info.filePath()).removeRecursively())
            ++removed;
    }
    return removed;
}

void vFunRemoveStagedCopy() {
    QString msg;
    const QString tmp = strFunGetTmpFilePath(msg);
    if (tmp.isEmpty())
        return;
    for (const char *suffix : {"", "-journal", "-wal", "-shm"})
        iFsRemove(tmp + QLatin1String(kStagedSuffix) + QLatin1String(suffix));
}
