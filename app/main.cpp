#include "app/startup.h"
#include "app/version.h"

#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
    // Answered before anything else: no display, no window, no single-instance lock.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("swiadectwa %d.%d.%d\n", kVersionMajor, kVersionMinor, kVersionBuild);
        return 0;
    }
    return runProgram(argc, argv);
}
