#include "editors/phrasefiles.h"

#include "storage/codec.h"
#include "storage/fileops.h"
#include "storage/paths.h"

#include <QFile>

#include <cerrno>

int iFunReadTextLines(const QString &path, QStringList &lines) {
    FsFile f;
    if (const int err = f.openRead(path))
        return err;
    QByteArray bytes;
    char buffer[8192];
    for (;;) {
        qint64 got = 0;
        if (f.read(buffer, sizeof buffer, got) != 0)
            return EIO;
        if (got == 0)
            break;
        bytes.append(buffer, qsizetype(got));
    }
    f.close();
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
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += cp1250::encode(line) + "\r\n";
    FsFile f;
    if (const int err = f.create(path, false))
        return err;
    const int err = f.writeAll(bytes.constData(), bytes.size());
    const int closed = f.close();
    return err ? err : closed;
}

int iFunCreateEmptyFile(const QString &path) {
    FsFile f;
    if (const int err = f.create(path, true))
        return err;
    f.close();
    return 0;
}

int iFunDeleteFile(const QString &path) {
    return iFsRemove(path);
}

int iFunRenameFile(const QString &from, const QString &to) {
    FsInfo existing;
    if (iFsStat(to, existing, false) == 0)
        return EEXIST;
    return iFsReplace(from, to);
}

QStringList strFunListFiles(const QString &folder) {
    return strFsListFiles(folder);
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
