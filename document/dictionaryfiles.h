#pragma once

#include <QByteArray>
#include <QString>

// Where the Polish dictionary is and how its paths reach Hunspell: one
// implementation per platform (dictionaryfiles_posix.cpp, _windows.cpp).

// The folder of pl_PL.aff and pl_PL.dic the system or the installation has.
QString strFunSystemDictionaryFolder();
// A file path as Hunspell opens it.
QByteArray hunspellPath(const QString &path);
