#include "app/startup.h"

#include <QDir>
#include <QStandardPaths>

QString strFunInstanceFolder() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return dir.isEmpty() ? QDir::tempPath() : dir;
}

QString strFunInstanceSocketName() {
    return strFunInstanceFolder() + QStringLiteral("/VELTRA-BR5.sock");
}
