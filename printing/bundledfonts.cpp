#include "printing/bundledfonts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>

int iFunRegisterFontsIn(const QString &folder) {
    int registered = 0;
    const QStringList files =
        QDir(folder).entryList({QStringLiteral("*.ttf"), QStringLiteral("*.otf")},
                               QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : files) {
        if (QFontDatabase::addApplicationFont(folder + QLatin1Char('/') + name) >= 0)
            ++registered;
    }
    return registered;
}

int iFunRegisterBundledFonts() {
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/fonts");
    return QDir(folder).exists() ? iFunRegisterFontsIn(folder) : 0;
}
