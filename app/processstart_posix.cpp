#include "app/processstart.h"

#include <QString>

#include <csignal>

void vFunPrepareProcess() {
    std::signal(SIGXFSZ, SIG_IGN);
}

QStringList programArguments(int argc, char **argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}
