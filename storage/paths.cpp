#include "storage/paths.h"

#include "storage/errortext.h"
#include "storage/folders.h"
#include "storage/log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <climits>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString &exeDirOverride() {
    static QString path;
    return path;
}

// A save that was killed midway leaves its temporary file behind; the name
// says what it is, and a later copy onto the same target removes it once it
// is old enough not to be another program's copy still being written.
QByteArray temporaryPrefix(const QByteArray &target) {
    const int slash = target.lastIndexOf('/');
    return target.left(slash + 1) + ".zapis-" + target.mid(slash + 1) + '-';
}

void removeStaleTemporaries(const QByteArray &target) {
    const QByteArray prefix = temporaryPrefix(target);
    const int slash = prefix.lastIndexOf('/');
    const QString dir = slash < 0 ? QStringLiteral(".") : QFile::decodeName(prefix.left(slash));
    const QString namePrefix = QFile::decodeName(prefix.mid(slash + 1));
    const QStringList stale =
        QDir(dir).entryList({namePrefix + QStringLiteral("??????")},
                            QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    const time_t now = ::time(nullptr);
    for (const QString &name : stale) {
        const QByteArray path = QFile::encodeName(dir + QLatin1Char('/') + name);
        struct stat st {};
        if (::lstat(path.constData(), &st) == 0 && now - st.st_mtime > 600)
            ::unlink(path.constData());
    }
}

// The file a path names once its symbolic links are followed: a save through
// a link replaces the file it points to, in that file's folder, and leaves
// the link. A dangling link names the file it would point to.
QByteArray resolvedTarget(QByteArray path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        QByteArray link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.constData(), link.data(), size_t(link.size()));
        if (n <= 0)
            return path;
        link.truncate(int(n));
        if (!link.startsWith('/'))
            link = path.left(path.lastIndexOf('/') + 1) + link;
        path = link;
    }
    return path;
}

// Writes a file through a temporary one in its folder: fill writes the
// content into the descriptor (0 or an errno); then the temporary is synced
// and renamed over the file. Returns 0 or the errno of the step that failed;
// on failure the file is as it was.
int writeThroughTemporary(const QByteArray &target, mode_t mode,
                          const std::function<int(int)> &fill) {
    const QByteArray dst = resolvedTarget(target);
    removeStaleTemporaries(dst);
    QByteArray tmp = temporaryPrefix(dst) + "XXXXXX";
    const int out = ::mkstemp(tmp.data());
    if (out < 0)
        return errno;
    int err = fill(out);
    if (!err && ::fchmod(out, mode & 07777) != 0)
        err = errno;
    if (!err && ::fsync(out) != 0)
        err = errno;
    if (::close(out) != 0 && !err)
        err = errno;
    if (!err && ::rename(tmp.constData(), dst.constData()) != 0)
        err = errno;
    if (err)
        ::unlink(tmp.constData());
    return err;
}

// Every byte written, or the errno that stopped it.
int writeAll(int fd, const char *data, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        const ssize_t put = ::write(fd, data + done, size_t(size - done));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += put;
    }
    return 0;
}

// Copies source to target through a temporary file in the target's folder.
// Returns 0 or the errno of the step that failed.
int copyThroughTemporary(const QString &source, const QString &target, bool failIfExists) {
    const QByteArray src = QFile::encodeName(source);
    const QByteArray dst = QFile::encodeName(target);

    const int in = ::open(src.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return errno;
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(in);
        return err ? err : EINVAL;
    }
    struct stat existing {};
    if (failIfExists && ::lstat(dst.constData(), &existing) == 0) {
        ::close(in);
        return EEXIST;
    }
    const int err = writeThroughTemporary(dst, st.st_mode, [in](int out) {
        char buffer[65536];
        for (;;) {
            const ssize_t got = ::read(in, buffer, sizeof buffer);
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            if (got == 0)
                return 0;
            if (const int e = writeAll(out, buffer, got))
                return e;
        }
    });
    ::close(in);
    return err;
}

} // namespace

bool bFunCreateDir(QString &msg, const QString &path) {
    if (QFileInfo(path).isDir())
        return true;
    if (::mkdir(QFile::encodeName(path).constData(), 0777) == 0)
        return true;
    const int err = errno;
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
    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    if (::lstat(native.constData(), &st) != 0)
        return true;
    if (::unlink(native.constData()) == 0)
        return true;
    const int err = errno;
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
    return QFile::decodeName(resolvedTarget(QFile::encodeName(path)));
}

int iFunWriteWholeFile(const QString &target, const QByteArray &bytes) {
    // A new file gets the usual mode; an existing one keeps its own.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode_t mode = 0666 & ~mask;
    struct stat st {};
    if (::stat(QFile::encodeName(target).constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        mode = st.st_mode;
    }
    return writeThroughTemporary(QFile::encodeName(target), mode, [&bytes](int out) {
        return writeAll(out, bytes.constData(), bytes.size());
    });
}

bool bFunClearFileAttributes(QString &, const QString &path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return false;
    return ::chmod(native.constData(), (st.st_mode & 07777) | S_IRUSR | S_IWUSR) == 0;
}

namespace {

const char *const kRunTempPrefix = "swiadectwa-";

// True when no process of that id runs (kill with signal 0 only asks).
bool processGone(qint64 pid) {
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

} // namespace

QString strFunRunTempDirTemplate() {
    return QDir::tempPath() + QLatin1Char('/') + QLatin1String(kRunTempPrefix) +
           QString::number(::getpid()) + QStringLiteral("-XXXXXX");
}

int iFunRemoveStaleRunTemporaries(bool removeStaged) {
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
        if (parts.size() != 2 || !isNumber || info.isSymLink() || info.ownerId() != ::geteuid() ||
            !processGone(pid))
            continue;
        if (QDir(info.filePath()).removeRecursively())
            ++removed;
    }
    if (removeStaged) {
        QString msg;
        const QString tmp = strFunGetTmpFilePath(msg);
        if (!tmp.isEmpty()) {
            for (const char *suffix : {"", "-journal", "-wal", "-shm"})
                ::unlink(
                    QFile::encodeName(tmp + QLatin1String(kStagedSuffix) + QLatin1String(suffix))
                        .constData());
        }
    }
    return removed;
}
