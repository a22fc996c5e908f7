#include "document/dictionaryfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

// The installer puts the dictionary into "dict" beside the program.
QString strFunSystemDictionaryFolder() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/dict");
}

// Hunspell opens a path that starts with \\?\ as UTF-8 through the wide
// API; any other path goes through the ANSI code page and loses Polish
// letters (a user name such as "Łucja" in the path).
QByteArray hunspellPath(const QString &path) {
    return QByteArrayLiteral("\\\\?\\") +
           QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toUtf8();
}
