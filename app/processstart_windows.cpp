#include "app/processstart.h"

#include <QString>

#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>

#include <shellapi.h>

// Windows stops no process for a large file: a full disk is a failed write.
// Messages and --help go out with the line ends they are written with, as on
// Linux (a text-mode stream would add a carriage return to each).
void vFunPrepareProcess() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

// argv is in the ANSI code page there; the wide command line keeps every letter.
QStringList programArguments(int, char **) {
    QStringList arguments;
    int count = 0;
    if (LPWSTR *wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i)
            arguments << QString::fromWCharArray(wide[i]);
        LocalFree(wide);
    }
    return arguments;
}
