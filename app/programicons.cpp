#include "app/programicons.h"

#include <QDir>
#include <QFileInfo>

namespace {

// One folder a size, as the build makes them: 16x16, 24x24, ...
QFileInfoList sizeFolders() {
    return QDir(QStringLiteral(":/icons")).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
}

} // namespace

QIcon programIcon(const QString &name) {
    QIcon icon;
    for (const QFileInfo &folder : sizeFolders()) {
        const int size = folder.fileName().section(QLatin1Char('x'), 0, 0).toInt();
        const QString file = folder.filePath() + QLatin1Char('/') + name + QStringLiteral(".png");
        if (size > 0 && QFileInfo::exists(file))
            icon.addFile(file, QSize(size, size));
    }
    return icon;
}

QIcon themedIcon(const QString &name) {
    return QIcon::fromTheme(name, programIcon(name));
}

QStringList programIconNames() {
    QStringList names;
    for (const QFileInfo &folder : sizeFolders()) {
        for (const QFileInfo &f :
             QDir(folder.filePath()).entryInfoList({QStringLiteral("*.png")}, QDir::Files)) {
            if (!names.contains(f.completeBaseName()))
                names.append(f.completeBaseName());
        }
    }
    return names;
}
