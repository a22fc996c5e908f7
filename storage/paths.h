#pragma once

#include "storage/folders.h"

#include <QString>

// Program folder: <data location>/Veltra-BR5/<user name>, made on demand.
// Installation folder: the folder of the executable, with the shipped data.
//
// Every operation that can fail takes the caller's message buffer: on failure
// it replaces the buffer's text with its Polish message, logs it and returns
// false (or the empty text).

// Looks the program folder up (and makes it), with the failure convention.
QString strFunGetMainDirPath(QString &msg);
// The program folder the run found once (looked up on first use).
QString strFunGetProgramDir(QString &msg);
QString strFunGetExeDirPath(QString &msg);
bool bFunCreateDir(QString &msg, const QString &path);
QString strFunGetTmpFilePath(QString &msg);
bool bFunDeleteTmpFile(QString &msg);
// Copies through a file beside the target (".zapis-<name>-XXXXXX"), so the
// target is replaced whole or not at all; a temporary left by a copy that was
// killed midway is removed by the next copy onto the same target. error, when
// given, receives the errno of a failure (0 on success).
bool bFunCopyFile(QString &msg, const QString &source, const QString &target, bool failIfExists,
                  int *error = nullptr);
// Writes the bytes as the whole content of a file, through a temporary file
// beside the file a link names, synced and renamed over it: the file holds
// every byte or is left as it was. Returns 0 or the errno that stopped it.
int iFunWriteWholeFile(const QString &target, const QByteArray &bytes);
// The file a path names once its symbolic links are followed (the path
// itself when it is no link).
QString strFunResolvedLinkTarget(const QString &path);
// Gives the owner read and write permission; false for a missing file.
bool bFunClearFileAttributes(QString &msg, const QString &path);

// A file of the program folder, or of the installation folder when
// fromInstallation is set. Empty when the program folder cannot be had: then
// the buffer holds the lookup's message and the caller must not go on.
QString strFunGetDataFilePath(QString &msg, const QString &fileName, bool fromInstallation = false);

// A data file named once: its path, or why the program folder could not be
// had. Stores hold one, so no caller looks their files up itself.
class DataFilePath {
public:
    // The file in the program folder (looked up now; a failure is logged
    // once, here) or in the installation folder.
    static DataFilePath inProgramFolder(const QString &fileName);
    static DataFilePath inInstallation(const QString &fileName);
    explicit DataFilePath(const QString &path = QString()) : m_path(path) {}

    // Empty when the program folder cannot be had.
    const QString &path() const { return m_path; }
    // False with the look-up's message when the program folder could not be
    // had (a path given as such counts as found, empty or not).
    bool found(QString &msg) const;

private:
    QString m_path;
    QString m_lookupError;
};

// Tests point the installation folder elsewhere; an empty path restores it.
void vFunSetExeDirPathForTests(const QString &path);

// Temporary copies of pupil data (a class file read by the command line, a
// rendered print) go into a folder of this template for QTemporaryDir:
// "<temp>/swiadectwa-<pid>-XXXXXX". The pid tells a later start whether
// the run that made it is gone.
QString strFunRunTempDirTemplate();
// Removes the folders of that template left by runs of this user that are
// gone (killed midway). A folder of a running process stays. Returns the
// number of folders removed.
int iFunRemoveStaleRunTemporaries();
// Removes the staged copy of a class file being opened
// ("data_tmp.sqtmp.otwierany") and its journals, left by a window that was
// killed midway.
void vFunRemoveStagedCopy();
