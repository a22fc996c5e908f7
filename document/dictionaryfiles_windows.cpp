#include "document/dictionaryfiles.h"

#include <QCoreApplication>

// The installer puts the dictionary into "dict" beside the program.
QString strFunSystemDictionaryFolder() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/dict");
}
