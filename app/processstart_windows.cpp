#include "app/processstart.h"

#include <QString>

#include <windows.h>

#include <shellapi.h>

// Windows stops no process for a large file: a full disk is a failed write.
void vFunPrepareProcess() {}

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
