#include "editors/phrasefiles.h"

#include "storage/codec.h"
#include "storage/paths.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int iFunReadTextLines(const QString &path, QStringList &lines) {
    std::FILE *f = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!f)
        return errno;
    QByteArray bytes;
    char buffer[8192];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, qsizetype(got));
    const int err = std::ferror(f) ? EIO : 0;
    std::fclose(f);
    if (err)
        return err;
    lines.clear();
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArray line = bytes.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        lines << cp1250::decode(line);
        start = end + 1;
    }
    return 0;
}

int iFunWriteTextLines(const QString &path, const QStringList &lines) {
    std::FILE *f = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!f)
        return errno;
    int err = 0;
    for (const QString &line : lines) {
        const QByteArray bytes = cp1250::encode(line) + "\r\n";
        if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f) != size_t(bytes.size())) {
            err = errno ? errno : EIO;
            break;
        }
    }
    if (std::fclose(f) != 0 && !err)
        err = errno;
    return err;
}

int iFunCreateEmptyFile(const QString &path) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

int iFunDeleteFile(const QString &path) {
    return ::unlink(QFile::encodeName(path).constData()) == 0 ? 0 : errno;
}

int iFunRenameFile(const QString &from, const QString &to) {
    const QByteArray src = QFile::encodeName(from);
    const QByteArray dst = QFile::encodeName(to);
    struct stat st {};
    if (::lstat(dst.constData(), &st) == 0)
        return EEXIST;
    return ::rename(src.constData(), dst.constData()) == 0 ? 0 : errno;
}

QStringList strFunListFiles(const QString &folder) {
    QStringList names;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        struct stat st {};
        if (::stat(QFile::encodeName(folder + QLatin1Char('/') + name).constData(), &st) == 0 &&
            !S_ISDIR(st.st_mode))
            names << name;
    }
    ::closedir(dir);
    return names;
}

PhraseLibrary PhraseLibrary::inProgramFolder() {
    QString msg;
    return PhraseLibrary(strFunGetProgramDir(msg));
}

QString PhraseLibrary::folder(const QString &relative) const {
    return m_root.isEmpty() ? QString() : m_root + QLatin1Char('/') + relative;
}

QString PhraseLibrary::file(const QString &relative, const QString &name) const {
    return folder(relative) + QLatin1Char('/') + name;
}
