#pragma once

#include <QString>

// Makes sure every folder and file that the catalogue "pliki_kat.sqset" of the
// installation folder lists exists in the program folder, copying files from
// the installation folder. A file flagged `update` replaces the user's copy
// once. False after the first failure, with the message in the buffer.
bool bFunCheckFilesDir(QString &msg);

// Where a read-only catalogue's replaced flagged files are remembered.
inline const char *const kCatalogStateFileName = "pliki_kat_stan.sqset";
