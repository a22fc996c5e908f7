#pragma once

#include "app/windows.h"

// Creates the main window and every other window of the program, once, in
// their fixed order, and wires them together; the main window owns them.
ProgramWindows createProgramWindows();

// The same in two steps, so that the main window shows before the others
// are built: first the main window alone, then the others.
ProgramWindows createMainWindow();
void createOtherWindows(ProgramWindows &windows);
