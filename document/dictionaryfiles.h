#pragma once

#include <QString>

// Where the Polish dictionary is: one implementation per platform
// (dictionaryfiles_posix.cpp, _windows.cpp).

// The folder of pl_PL.aff and pl_PL.dic the system or the installation has.
QString strFunSystemDictionaryFolder();
