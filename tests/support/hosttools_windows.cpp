#include "hosttools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <windows.h>

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

namespace {

QByteArray shellQuoted(const QString &s) {
    QByteArray q = s.toUtf8();
    q.replace('\'', "'\\''");
    return '\'' + q + '\'';
}

} // namespace

// Wine starts a Linux program but cannot wait for it (its handle is signalled
// at once): a shell script runs the tool and leaves its status in a file
// when done, which is waited for here.
HostToolRun runHostTool(const QString &name, const QStringList &arguments, int timeoutMs) {
    HostToolRun run;
    QTemporaryDir dir;
    if (!dir.isValid())
        return run;
    const QString script = dir.filePath(QStringLiteral("run.sh"));
    const QString out = dir.filePath(QStringLiteral("out"));
    const QString status = dir.filePath(QStringLiteral("status"));
    QByteArray body = "exec >" + shellQuoted(hostPath(out)) + " 2>/dev/null </dev/null\n";
    body += shellQuoted(name);
    for (const QString &a : arguments)
        body += ' ' + shellQuoted(a);
    body += "\necho $? >" + shellQuoted(hostPath(status) + QStringLiteral(".tmp")) + " && mv " +
            shellQuoted(hostPath(status) + QStringLiteral(".tmp")) + ' ' +
            shellQuoted(hostPath(status)) + '\n';
    QFile f(script);
    if (!f.open(QIODevice::WriteOnly) || f.write(body) != body.size())
        return run;
    f.close();
    std::wstring command = (QStringLiteral("Z:\\bin\\sh ") + hostPath(script)).toStdWString();
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return run;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(status)) {
        if (clock.elapsed() > timeoutMs)
            return run;
        QThread::msleep(20);
    }
    QFile s(status);
    QFile o(out);
    if (!s.open(QIODevice::ReadOnly) || !o.open(QIODevice::ReadOnly))
        return run;
    run.finished = true;
    run.exitCode = s.readAll().trimmed().toInt();
    run.standardOutput = o.readAll();
    return run;
}
