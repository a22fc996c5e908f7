#include "hosttools.h"

#include <QDir>
#include <QFile>

#include <windows.h>

QString hostTool(const QString &name) {
    const QString linux = QStringLiteral("Z:/usr/bin/") + name;
    return QFile::exists(linux) ? linux : name;
}

// Wine's kernel32 knows where a Windows path is on the Linux side.
QString hostPath(const QString &path) {
    using ToUnix = char *(CDECL *)(LPCWSTR);
    static const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void *>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return path;
    const std::wstring wide = QDir::toNativeSeparators(path).toStdWString();
    char *unix = toUnix(wide.c_str());
    if (!unix)
        return path;
    const QString result = QString::fromUtf8(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}
