#include "app/startup.h"

#include "storage/folders.h"

#include <QCryptographicHash>
#include <QDir>

// The temporary folder is the user's own (under AppData\Local); the lock
// does not belong in the profile folder she sees.
QString strFunInstanceFolder() {
    return QDir::tempPath();
}

// A local server on Windows is a named pipe: a name, not a path, seen by
// every user of the machine. The name carries the user's and the lock's
// folder (paths there ignore case), so that it belongs to the lock as the
// socket file does on Linux.
QString strFunInstanceSocketName() {
    QString user = strFunGetUserName();
    user.replace(QLatin1Char('\\'), QLatin1Char('_'));
    const QByteArray folder =
        QCryptographicHash::hash(QDir::cleanPath(strFunInstanceFolder()).toLower().toUtf8(),
                                 QCryptographicHash::Sha1)
            .toHex()
            .left(12);
    return QStringLiteral("VELTRA-BR5-") + user + QLatin1Char('-') + QString::fromLatin1(folder);
}
