#include "document/dictionaryfiles.h"

#include <QFile>

// Debian's hunspell-pl.
QString strFunSystemDictionaryFolder() {
    return QStringLiteral("/usr/share/hunspell");
}

QByteArray hunspellPath(const QString &path) {
    return QFile::encodeName(path);
}
