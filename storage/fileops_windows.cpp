#include "storage/fileops.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <string>

#include <shlobj.h>
#include <windows.h>

namespace {

// The nearest errno to a Win32 error: callers and messages know errno only.
int errnoFromWin32(DWORD code) {
    switch (code) {
    case ERROR_SUCCESS:
        return 0;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return ENOENT;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return EEXIST;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_NOT_SAME_DEVICE:
        return EXDEV;
    case ERROR_DIR_NOT_EMPTY:
        return ENOTEMPTY;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
        return EINVAL;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    default:
        return EIO;
    }
}

int lastError() {
    return errnoFromWin32(::GetLastError());
}

std::wstring wide(const QString &path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

HANDLE handleOf(qintptr h) {
    return reinterpret_cast<HANDLE>(h);
}

// 100-nanosecond ticks since 1601 to nanoseconds since 1970.
qint64 unixNanoseconds(LARGE_INTEGER t) {
    return (t.QuadPart - 116444736000000000LL) * 100;
}

qint64 unixNanoseconds(FILETIME t) {
    LARGE_INTEGER v;
    v.LowPart = t.dwLowDateTime;
    v.HighPart = LONG(t.dwHighDateTime);
    return unixNanoseconds(v);
}

int fill(HANDLE h, FsInfo &info) {
    BY_HANDLE_FILE_INFORMATION file{};
    if (!::GetFileInformationByHandle(h, &file))
        return lastError();
    const DWORD attributes = file.dwFileAttributes;
    info.kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FsKind::Dir
                : (attributes & FILE_ATTRIBUTE_DEVICE)  ? FsKind::Other
                                                        : FsKind::File;
    info.size = qint64((quint64(file.nFileSizeHigh) << 32) | file.nFileSizeLow);
    info.modifiedNs = unixNanoseconds(file.ftLastWriteTime);
    info.modified = info.modifiedNs / 1000000000;
    info.changedNs = info.modifiedNs;
    FILE_BASIC_INFO basic{};
    if (::GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic))
        info.changedNs = unixNanoseconds(basic.ChangeTime);
    info.permissions = 0;
    info.ownedByMe = true;
    info.ownerWritable = info.anyoneWritable = (attributes & FILE_ATTRIBUTE_READONLY) == 0;
    info.device = file.dwVolumeSerialNumber;
    info.fileId = (quint64(file.nFileIndexHigh) << 32) | file.nFileIndexLow;
    return 0;
}

// A file made and removed at once tells whether the folder takes new files.
int checkFolderWritable(const std::wstring &folder) {
    wchar_t name[MAX_PATH + 1] = {};
    if (!::GetTempFileNameW(folder.c_str(), L"zap", 0, name))
        return lastError();
    ::DeleteFileW(name);
    return 0;
}

} // namespace

bool bFsSameVersion(const FsInfo &a, const FsInfo &b) {
    return a.fileId == b.fileId && a.device == b.device && a.size == b.size &&
           a.modifiedNs == b.modifiedNs && a.changedNs == b.changedNs;
}

int iFsStat(const QString &path, FsInfo &info, bool followLinks) {
    // Backup semantics open folders too; asking for attributes only leaves
    // files that others hold open readable.
    const HANDLE h = ::CreateFileW(
        wide(path).c_str(), FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return lastError();
    const int err = fill(h, info);
    // Opened as itself, a symbolic link or junction is a link; other reparse
    // points (cloud placeholders, deduplicated files) are plain files.
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!err && !followLinks &&
        ::GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof tag) &&
        (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
        (tag.ReparseTag == IO_REPARSE_TAG_SYMLINK || tag.ReparseTag == IO_REPARSE_TAG_MOUNT_POINT))
        info.kind = FsKind::Link;
    ::CloseHandle(h);
    return err;
}

int iFsRemove(const QString &path) {
    const std::wstring name = wide(path);
    if (::DeleteFileW(name.c_str()))
        return 0;
    const DWORD code = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    // As unlink says of a folder.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return EISDIR;
    // A read-only file is removed as on POSIX, where its folder decides.
    if (code == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_READONLY) &&
        ::SetFileAttributesW(name.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY))) {
        if (::DeleteFileW(name.c_str()))
            return 0;
        const int err = lastError();
        ::SetFileAttributesW(name.c_str(), attributes);
        return err;
    }
    return errnoFromWin32(code);
}

int iFsReplace(const QString &from, const QString &to) {
    const std::wstring source = wide(from);
    const std::wstring target = wide(to);
    // A virus scanner or the search indexer holds a file just written for a
    // moment: the rename is tried again briefly before it counts as failed.
    for (int attempt = 0;; ++attempt) {
        if (::MoveFileExW(source.c_str(), target.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 0;
        const DWORD code = ::GetLastError();
        const bool held = code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
                          code == ERROR_ACCESS_DENIED;
        if (!held || attempt == 5)
            return errnoFromWin32(code);
        ::Sleep(100);
    }
}

int iFsMakeDir(const QString &path) {
    return ::CreateDirectoryW(wide(path).c_str(), nullptr) ? 0 : lastError();
}

int iFsCheckWritable(const QString &path) {
    const std::wstring name = wide(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return lastError();
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return checkFolderWritable(name);
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return EACCES;
    const HANDLE h = ::CreateFileW(name.c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return lastError();
    ::CloseHandle(h);
    return 0;
}

int iFsMakeWritable(const QString &path) {
    const std::wstring name = wide(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return lastError();
    if (!(attributes & FILE_ATTRIBUTE_READONLY))
        return 0;
    return ::SetFileAttributesW(name.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY))
               ? 0
               : lastError();
}

QString strFsResolveLinks(const QString &path) {
    return path;
}

QStringList strFsListFiles(const QString &folder) {
    QStringList names;
    WIN32_FIND_DATAW found{};
    const HANDLE h = ::FindFirstFileExW(wide(folder + QStringLiteral("/*")).c_str(),
                                        FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names << QString::fromWCharArray(found.cFileName);
    } while (::FindNextFileW(h, &found));
    ::FindClose(h);
    return names;
}

unsigned uFsNewFilePermissions() {
    return 0;
}

bool bFsRunsAsAdministrator() {
    return false;
}

QString strFsLoginName() {
    wchar_t name[257] = {};
    DWORD size = sizeof name / sizeof name[0];
    if (!::GetUserNameW(name, &size))
        return QString();
    return QString::fromWCharArray(name);
}

bool bFsProcessGone(qint64 pid) {
    if (pid <= 0 || pid > qint64(MAXDWORD))
        return false;
    const HANDLE h = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!h)
        return ::GetLastError() == ERROR_INVALID_PARAMETER;
    DWORD code = 0;
    const bool gone = ::GetExitCodeProcess(h, &code) && code != STILL_ACTIVE;
    ::CloseHandle(h);
    return gone;
}

QString strFsDataBaseFolder(int &error) {
    error = 0;
    const QString override = qEnvironmentVariable("XDG_DATA_HOME");
    if (!override.isEmpty())
        return QDir::fromNativeSeparators(override);
    wchar_t path[MAX_PATH + 1] = {};
    const HRESULT rc =
        ::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_DEFAULT, path);
    if (FAILED(rc) || !path[0]) {
        error = ENOENT;
        return QString();
    }
    return QDir::fromNativeSeparators(QString::fromWCharArray(path));
}

FsFile::~FsFile() {
    if (isOpen())
        ::CloseHandle(handleOf(m_handle));
}

int FsFile::openRead(const QString &path) {
    const HANDLE h = ::CreateFileW(wide(path).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return lastError();
    m_handle = reinterpret_cast<qintptr>(h);
    return 0;
}

int FsFile::create(const QString &path, bool exclusive) {
    const HANDLE h =
        ::CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                      exclusive ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return lastError();
    m_handle = reinterpret_cast<qintptr>(h);
    return 0;
}

int FsFile::createUnique(QString &path) {
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    if (!path.endsWith(QLatin1String("XXXXXX")))
        return EINVAL;
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString name = path;
        for (qsizetype i = name.size() - 6; i < name.size(); ++i)
            name[i] = QLatin1Char(letters[QRandomGenerator::global()->bounded(62)]);
        const int err = create(name, true);
        if (err == 0) {
            path = name;
            return 0;
        }
        if (err != EEXIST)
            return err;
    }
    return EEXIST;
}

int FsFile::read(char *buffer, qint64 size, qint64 &got) {
    DWORD n = 0;
    got = 0;
    if (!::ReadFile(handleOf(m_handle), buffer, DWORD(qMin<qint64>(size, 1 << 30)), &n, nullptr))
        return ::GetLastError() == ERROR_BROKEN_PIPE ? 0 : lastError();
    got = n;
    return 0;
}

int FsFile::writeAll(const char *data, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        DWORD put = 0;
        if (!::WriteFile(handleOf(m_handle), data + done, DWORD(qMin<qint64>(size - done, 1 << 30)),
                         &put, nullptr))
            return lastError();
        done += put;
    }
    return 0;
}

int FsFile::info(FsInfo &out) const {
    return fill(handleOf(m_handle), out);
}

int FsFile::setPermissions(unsigned) {
    return 0;
}

int FsFile::sync() {
    return ::FlushFileBuffers(handleOf(m_handle)) ? 0 : lastError();
}

int FsFile::close() {
    const HANDLE h = handleOf(m_handle);
    m_handle = -1;
    return ::CloseHandle(h) ? 0 : lastError();
}
