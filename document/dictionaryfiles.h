#pragma once

#include <QByteArray>
#include <QString>

// Where the Polish dictionary is and how its paths reach Hunspell: one
// implementation per platform (dictionaryfiles_posix.cpp, _windows.cpp).

// The folder of pl_PL.aff and pl_PL.dic the system or the installation has.
QString strFunSystemDictionaryFolder();
// A file name for Hunspell, which opens its files itself: POSIX the file
// system's bytes; Windows the absolute path as UTF-8 behind the long-path
// prefix "\\?\", which Hunspell opens by its wide-character name.
QByteArray hunspellPath(const QString &path);
