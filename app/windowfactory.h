#pragma once

#include "app/windows.h"

// Creates the main window and every other window of the program, once, in
// their fixed order, and wires them together; the main window owns them.
ProgramWindows createProgramWindows();
