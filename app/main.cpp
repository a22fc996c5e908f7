#include "app/commandline.h"
#include "app/processstart.h"
#include "app/startup.h"
#include "app/version.h"

#include <QStringList>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
    vFunPrepareProcess();
    // Answered before anything else: no display, no window, no single-instance lock.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("swiadectwa %d.%d.%d\n", kVersionMajor, kVersionMinor, kVersionBuild);
        return 0;
    }
    // Options are for the command line, which needs neither a display nor
    // the lock of the window program.
    if (bFunIsCommandLine(programArguments(argc, argv)))
        return runCommandLine(argc, argv);
    return runProgram(argc, argv);
}
