#include "storage/fileops.h"

#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray native(const QString &path) {
    return QFile::encodeName(path);
}

qint64 nanoseconds(const timespec &t) {
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

void fill(const struct stat &st, FsInfo &info) {
    info.kind = S_ISREG(st.st_mode)   ? FsKind::File
                : S_ISDIR(st.st_mode) ? FsKind::Dir
                : S_ISLNK(st.st_mode) ? FsKind::Link
                                      : FsKind::Other;
    info.size = qint64(st.st_size);
    info.modified = qint64(st.st_mtime);
    info.permissions = unsigned(st.st_mode & 07777);
    info.ownedByMe = st.st_uid == ::geteuid();
    info.ownerWritable = (st.st_mode & S_IWUSR) != 0;
    info.anyoneWritable = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    info.device = quint64(st.st_dev);
    info.fileId = quint64(st.st_ino);
    info.modifiedNs = nanoseconds(st.st_mtim);
    info.changedNs = nanoseconds(st.st_ctim);
}

int result(int rc) {
    return rc == 0 ? 0 : errno;
}

} // namespace

bool bFsSameVersion(const FsInfo &a, const FsInfo &b) {
    return a.fileId == b.fileId && a.device == b.device && a.size == b.size &&
           a.modifiedNs == b.modifiedNs && a.changedNs == b.changedNs;
}

int iFsStat(const QString &path, FsInfo &info, bool followLinks) {
    struct stat st {};
    const QByteArray name = native(path);
    if ((followLinks ? ::stat(name.constData(), &st) : ::lstat(name.constData(), &st)) != 0)
        return errno;
    fill(st, info);
    return 0;
}

int iFsRemove(const QString &path) {
    return result(::unlink(native(path).constData()));
}

int iFsReplace(const QString &from, const QString &to) {
    return result(::rename(native(from).constData(), native(to).constData()));
}

int iFsMakeDir(const QString &path) {
    return result(::mkdir(native(path).constData(), 0777));
}

int iFsCheckWritable(const QString &path) {
    return result(::access(native(path).constData(), W_OK));
}

int iFsMakeWritable(const QString &path) {
    const QByteArray name = native(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return errno;
    return result(::chmod(name.constData(), (st.st_mode & 07777) | S_IRUSR | S_IWUSR));
}

QString strFsResolveLinks(const QString &start) {
    QByteArray path = native(start);
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            break;
        QByteArray link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.constData(), link.data(), size_t(link.size()));
        if (n <= 0)
            break;
        link.truncate(int(n));
        if (!link.startsWith('/'))
            link = path.left(path.lastIndexOf('/') + 1) + link;
        path = link;
    }
    return QFile::decodeName(path);
}

QStringList strFsListFiles(const QString &folder) {
    QStringList names;
    DIR *dir = ::opendir(native(folder).constData());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        struct stat st {};
        if (::stat(native(folder + QLatin1Char('/') + name).constData(), &st) == 0 &&
            !S_ISDIR(st.st_mode))
            names << name;
    }
    ::closedir(dir);
    return names;
}

unsigned uFsNewFilePermissions() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return unsigned(0666 & ~mask);
}

bool bFsRunsAsAdministrator() {
    return ::geteuid() == 0;
}

QString strFsLoginName() {
    if (const passwd *pw = ::getpwuid(::getuid()))
        return QString::fromLocal8Bit(pw->pw_name);
    return QString();
}

bool bFsProcessGone(qint64 pid) {
    // kill with signal 0 only asks.
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

QString strFsDataBaseFolder(int &error) {
    errno = 0;
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    error = base.isEmpty() ? errno : 0;
    return base;
}

FsFile::~FsFile() {
    if (isOpen())
        ::close(int(m_handle));
}

int FsFile::openRead(const QString &path) {
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    m_handle = fd;
    return 0;
}

int FsFile::create(const QString &path, bool exclusive) {
    const int fd = ::open(native(path).constData(),
                          O_WRONLY | O_CREAT | O_CLOEXEC | (exclusive ? O_EXCL : O_TRUNC), 0666);
    if (fd < 0)
        return errno;
    m_handle = fd;
    return 0;
}

int FsFile::createUnique(QString &path) {
    QByteArray name = native(path);
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return errno;
    path = QFile::decodeName(name);
    m_handle = fd;
    return 0;
}

int FsFile::read(char *buffer, qint64 size, qint64 &got) {
    for (;;) {
        const ssize_t n = ::read(int(m_handle), buffer, size_t(size));
        if (n >= 0) {
            got = n;
            return 0;
        }
        if (errno != EINTR)
            return errno;
    }
}

int FsFile::writeAll(const char *data, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        const ssize_t put = ::write(int(m_handle), data + done, size_t(size - done));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += put;
    }
    return 0;
}

int FsFile::info(FsInfo &out) const {
    struct stat st {};
    if (::fstat(int(m_handle), &st) != 0)
        return errno;
    fill(st, out);
    return 0;
}

int FsFile::setPermissions(unsigned permissions) {
    return result(::fchmod(int(m_handle), mode_t(permissions & 07777)));
}

int FsFile::sync() {
    return result(::fsync(int(m_handle)));
}

int FsFile::close() {
    const int fd = int(m_handle);
    m_handle = -1;
    return result(::close(fd));
}
