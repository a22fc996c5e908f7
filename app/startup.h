#pragma once

#include <QLockFile>
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

// Only one copy of the program runs for a user. Returns the held lock, or
// null when another copy holds it. A copy that crashed leaves a stale lock,
// which is taken over.
std::unique_ptr<QLockFile> lockSingleInstance();
// The lock file that tells a running copy of the program.
QString strFunInstanceLockPath();

// Where the running copy can be found, one implementation per platform.
// The folder of the single-instance lock ("VELTRA-BR5.lock"): the user's
// runtime folder on Linux, the user's temporary folder on Windows (whose
// runtime location is the profile folder itself).
QString strFunInstanceFolder();
// The name the hand-over socket listens on: a socket file "VELTRA-BR5.sock"
// in the instance folder on Linux, a named pipe of the user's own
// ("VELTRA-BR5-<user>") on Windows.
QString strFunInstanceSocketName();

// The running copy's end of the hand-over: a second start names a file on its
// command line; the running copy takes the path, acknowledges it and then
// opens the file (after its usual save question).
class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(QObject *parent = nullptr);
    // False when the socket cannot be made (the program runs on without it).
    bool listen();

signals:
    void fileHandedOver(const QString &path);

private:
    class QLocalServer *m_server;
};

// The second start's end: hands the absolute path to the running copy and
// waits for its acknowledgement. False when no copy took it.
bool bFunHandOverFile(const QString &absolutePath, int timeoutMs = 5000);

// The command-line document: the arguments after the program name joined by
// single blanks.
QString commandLineText(const QStringList &arguments);

struct ProgramWindows;
// The start of the program up to its shown main window: the main window
// (the others are built when first used), the start-up checks, the
// command-line document, the shown window (then shown() is called). False
// when the program must end.
bool startProgram(ProgramWindows &windows, const QString &commandLine,
                  const std::function<void()> &shown = {});

// The program from the application object to the end of the message loop.
int runProgram(int argc, char **argv);
