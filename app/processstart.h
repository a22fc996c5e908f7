#pragma once

#include <QStringList>

// What differs between platforms before Qt starts (processstart_posix.cpp,
// processstart_windows.cpp).

// A file past the size the system allows is a failed write to report, not a
// reason to end the program with her work in it.
void vFunPrepareProcess();
// The arguments after the program's name, as typed (Polish letters in a file
// name included).
QStringList programArguments(int argc, char **argv);
