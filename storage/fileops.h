#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// The one place the program's layers reach the operating system's file
// system: storage/fileops_posix.cpp and storage/fileops_windows.cpp. Paths are
// QStrings (on Windows they go to the wide-character API, so Polish letters
// survive); every operation that can fail returns 0 or an errno value.

enum class FsKind { File, Dir, Link, Other };

// What one look at a file tells.
struct FsInfo {
    FsKind kind = FsKind::Other;
    qint64 size = 0;
    // Seconds since 1970 of the last change of the content.
    qint64 modified = 0;
    // Permissions a copy of the file is given (opaque; nothing on Windows).
    unsigned permissions = 0;
    // POSIX: the owner, the owner's write bit, any write bit. Windows: always
    // mine; both writable flags say the file has no read-only attribute.
    bool ownedByMe = true;
    bool ownerWritable = true;
    bool anyoneWritable = true;
    // The file and its version: equal for the same file left unchanged.
    quint64 device = 0, fileId = 0;
    qint64 modifiedNs = 0, changedNs = 0;
};

// True when both looks saw the same file, unchanged.
bool bFsSameVersion(const FsInfo &a, const FsInfo &b);

// followLinks false looks at a symbolic link itself (lstat).
int iFsStat(const QString &path, FsInfo &info, bool followLinks = true);
int iFsRemove(const QString &path);
// Renames a file over another, which is replaced whole or not at all.
int iFsReplace(const QString &from, const QString &to);
// One folder; EEXIST when something of that name exists.
int iFsMakeDir(const QString &path);
// The file can be opened for writing (a folder: a file can be made in it).
int iFsCheckWritable(const QString &path);
// Gives the owner read and write permission (Windows: clears read-only).
int iFsMakeWritable(const QString &path);
// The file a path names once its symbolic links are followed; a dangling
// link names the file it would point to. On Windows a path is its own target.
QString strFsResolveLinks(const QString &path);
// Names in a folder that are not folders (following links); unreadable: none.
QStringList strFsListFiles(const QString &folder);
// Permissions a new file gets (POSIX: 0666 less the umask).
unsigned uFsNewFilePermissions();
// The run may replace files of other users (POSIX root; never on Windows).
bool bFsRunsAsAdministrator();
// The login name of the user running the program, empty when unknown.
QString strFsLoginName();
// True when no process of that id runs.
bool bFsProcessGone(qint64 pid);
// The folder below which the program folder lives: POSIX the generic data
// location (~/.local/share, XDG_DATA_HOME); Windows the machine's common
// application data (C:\ProgramData), or XDG_DATA_HOME when set, which is how
// tests point it at a folder of their own on both. Empty with error set when
// there is none.
QString strFsDataBaseFolder(int &error);

// An open file.
class FsFile {
public:
    FsFile() = default;
    ~FsFile(); // closes, errors ignored
    FsFile(const FsFile &) = delete;
    FsFile &operator=(const FsFile &) = delete;

    bool isOpen() const { return m_handle != -1; }
    int openRead(const QString &path);
    // For writing, made when missing: emptied, or EEXIST when exclusive and
    // the file exists.
    int create(const QString &path, bool exclusive);
    // A new file named by path with its last six characters ("XXXXXX")
    // replaced; path receives the name.
    int createUnique(QString &path);
    // got is 0 at the end of the file.
    int read(char *buffer, qint64 size, qint64 &got);
    int writeAll(const char *data, qint64 size);
    int info(FsInfo &out) const;
    int setPermissions(unsigned permissions);
    // Waits until the content is on the disk.
    int sync();
    int close();

private:
    qintptr m_handle = -1;
};
