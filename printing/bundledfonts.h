#pragma once

#include <QString>

// Fonts shipped beside the program: where a system lacks the faces the
// layouts map to (strFunInstalledFace), the installer puts their files in a
// `fonts` folder beside the executable. Registered with the application,
// they measure and print as the installed ones do elsewhere.

// Registers every font file (.ttf, .otf) of the folder; returns how many
// were taken. Other files, and font files that cannot be read, are left.
int iFunRegisterFontsIn(const QString &folder);

// The `fonts` folder beside the executable, when there is one (none on
// Linux, which uses the system's fonts). Needs the application object.
int iFunRegisterBundledFonts();
