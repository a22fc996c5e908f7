#include "app/startup.h"

#include "storage/folders.h"

#include <QDir>

// The temporary folder is the user's own (under AppData\Local); the lock
// does not belong in the profile folder she sees.
QString strFunInstanceFolder() {
    return QDir::tempPath();
}

// A local server on Windows is a named pipe: a name, not a path. Pipes are
// seen by every user of the machine, so the name carries the user's.
QString strFunInstanceSocketName() {
    QString user = strFunGetUserName();
    user.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return QStringLiteral("VELTRA-BR5-") + user;
}
