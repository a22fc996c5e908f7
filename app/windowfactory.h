#pragma once

#include "app/windows.h"

// Creates the main window and the set of the other windows of the program,
// each built when first used, in their fixed order, and wires them
// together; the main window owns them.
ProgramWindows createProgramWindows();
