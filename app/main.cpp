#include "app/commandline.h"
#include "app/startup.h"
#include "app/version.h"

#include <QStringList>

#include <csignal>
#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
    // A file past the size the system allows is a failed write to report,
    // not a reason to end the program with her work in it.
    std::signal(SIGXFSZ, SIG_IGN);
    // Answered before anything else: no display, no window, no single-instance lock.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("swiadectwa %d.%d.%d\n", kVersionMajor, kVersionMinor, kVersionBuild);
        return 0;
    }
    // Options are for the command line, which needs neither a display nor
    // the lock of the window program.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (bFunIsCommandLine(arguments))
        return runCommandLine(argc, argv);
    return runProgram(argc, argv);
}
