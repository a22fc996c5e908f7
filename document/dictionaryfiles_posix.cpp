#include "document/dictionaryfiles.h"

// Debian's hunspell-pl.
QString strFunSystemDictionaryFolder() {
    return QStringLiteral("/usr/share/hunspell");
}
