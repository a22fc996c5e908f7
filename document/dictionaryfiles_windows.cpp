#include "document/dictionaryfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

// The installer puts the dictionary into "dict" beside the program.
QString strFunSystemDictionaryFolder() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/dict");
}

QByteArray hunspellPath(const QString &path) {
    QString full = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (full.startsWith(QLatin1String("\\\\?\\")))
        return full.toUtf8();
    if (full.startsWith(QLatin1String("\\\\")))
        full = QStringLiteral("UNC\\") + full.mid(2);
    return "\\\\?\\" + full.toUtf8();
}
