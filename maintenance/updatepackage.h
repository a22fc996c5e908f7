#pragma once

#include <QString>

// The package of a new version as this system installs it: on Linux a Debian
// package opened by the desktop's software installer, on Windows the
// installer program itself, started by the shell. One implementation per
// platform; the download and its signature check are the same for both.

// Its path on the update server, under the base address.
extern const char *const kUpdatePackagePath;
// Where it is saved, under the program folder.
extern const char *const kUpdateSavedPackage;

// Hands a downloaded package to the system's installer. True only when the
// installer took it (on Linux: the desktop has an installer registered for
// Debian packages, asked through xdg-mime, and accepted the file; on Windows:
// the shell started the installer). Both open the file through the prompts
// seam (Prompts::openExternal).
bool bFunHandOverPackage(const QString &path);

// The message shown when the package could not be handed over: what
// happened, where the file is and how to install it by hand.
QString strFunHandOverFailedText(const QString &path);
