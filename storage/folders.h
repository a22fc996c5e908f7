#pragma once

#include <QString>

// The program folder: <data location>/Veltra-BR5/<user name>. The run looks
// it up once and keeps it; the log and every file of the program folder are
// named from here. Nothing here writes messages or the log (storage/paths.h
// does, for callers).

inline const char *const kTmpFileName = "data_tmp.sqtmp";
// A class file being opened is staged beside the working copy under this suffix.
inline const char *const kStagedSuffix = ".otwierany";
inline const char *const kSettingsFileName = "ustawienia.sqset";
inline const char *const kCalibFileName = "bruma_kalibracja.sqset";
inline const char *const kLogFileName = "logs.sqdb";
inline const char *const kCatalogFileName = "pliki_kat.sqset";

// The user name with Polish letters replaced by plain ones (Ż becomes z).
QString strFunReplacePolishLetters(const QString &name);
QString strFunGetUserName();

// One look-up of the program folder, making what is missing.
struct structFolderLookup {
    QString path;      // the program folder, empty on failure
    QString failedDir; // the folder that could not be made
    int error = 0;     // its errno
    bool noDataLocation = false;
};
structFolderLookup lookupProgramFolder();

// The program folder once found (looked up on the first call), or empty when
// it cannot be had.
QString strFunKnownProgramDir();
// Forgets it: the next use looks again (a test that moves the data location).
void vFunForgetProgramFolders();
