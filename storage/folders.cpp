#include "storage/folders.h"

#include "storage/fileops.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <optional>

namespace {

std::optional<QString> &known() {
    static std::optional<QString> folder;
    return folder;
}

bool makeDir(const QString &path, structFolderLookup &out) {
    if (QFileInfo(path).isDir())
        return true;
    const int err = iFsMakeDir(path);
    if (err == 0)
        return true;
    // Another run may have made it meanwhile.
    if (err == EEXIST && QFileInfo(path).isDir())
        return true;
    out.error = err;
    out.failedDir = path;
    return false;
}

} // namespace

QString strFunReplacePolishLetters(const QString &name) {
    static const struct {
        char16_t from;
        char to;
    } table[] = {
        {u'Ą', 'A'}, {u'ą', 'a'}, {u'Ć', 'C'}, {u'ć', 'c'}, {u'Ę', 'E'}, {u'ę', 'e'},
        {u'Ł', 'L'}, {u'ł', 'l'}, {u'Ń', 'N'}, {u'ń', 'n'}, {u'Ó', 'O'}, {u'ó', 'o'},
        {u'Ś', 'S'}, {u'ś', 's'}, {u'Ź', 'Z'}, {u'ź', 'z'}, {u'Ż', 'z'}, {u'ż', 'z'},
    };
    QString out = name;
    for (const auto &row : table)
        out.replace(QChar(row.from), QChar::fromLatin1(row.to));
    return out;
}

QString strFunGetUserName() {
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty())
        name = strFsLoginName();
    return name.left(254);
}

structFolderLookup lookupProgramFolder() {
    structFolderLookup out;
    const QString base = strFsDataBaseFolder(out.error);
    if (base.isEmpty()) {
        out.noDataLocation = true;
        return out;
    }
    // The data location itself (~/.local/share) may not exist on a fresh account.
    if (!QFileInfo(base).isDir() && !QDir().mkpath(base)) {
        out.error = errno;
        out.failedDir = base;
        return out;
    }
    QString path = QDir::cleanPath(base) + QStringLiteral("/Veltra-BR5");
    if (!makeDir(path, out))
        return out;
    path += QLatin1Char('/') + strFunReplacePolishLetters(strFunGetUserName());
    if (!makeDir(path, out))
        return out;
    out.path = path;
    return out;
}

QString strFunKnownProgramDir() {
    if (!known()) {
        const structFolderLookup found = lookupProgramFolder();
        if (found.path.isEmpty())
            return QString();
        known() = found.path;
    }
    return *known();
}

void vFunForgetProgramFolders() {
    known().reset();
}
