#include "app/programicons.h"

#include <QDir>
#include <QFileInfo>

namespace {

const int kSizes[] = {16, 24, 32, 48, 64};

QString iconFile(int size, const QString &name) {
    return QStringLiteral(":/icons/%1x%1/%2.png").arg(size).arg(name);
}

} // namespace

QIcon programIcon(const QString &name) {
    QIcon icon;
    for (int size : kSizes) {
        const QString file = iconFile(size, name);
        if (QFileInfo::exists(file))
            icon.addFile(file, QSize(size, size));
    }
    return icon;
}

QIcon themedIcon(const QString &name) {
    return QIcon::fromTheme(name, programIcon(name));
}

QStringList programIconNames() {
    QStringList names;
    const QString folder = QStringLiteral(":/icons/%1x%1").arg(kSizes[0]);
    for (const QFileInfo &f : QDir(folder).entryInfoList({QStringLiteral("*.png")}, QDir::Files))
        names.append(f.completeBaseName());
    return names;
}
