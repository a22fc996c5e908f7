#include "app/startup.h"

QString strFunInstanceSocketName() {
    return strFunInstanceFolder() + QStringLiteral("/VELTRA-BR5.sock");
}
