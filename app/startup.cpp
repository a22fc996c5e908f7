#include "app/startup.h"

#include "app/programicons.h"
#include "app/programstyle.h"
#include "app/qtprompts.h"
#include "app/tfglowna.h"
#include "app/version.h"
#include "app/windowfactory.h"
#include "document/prompts.h"
#include "editors/fields.h"
#include "printing/bundledfonts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QScreen>
#include <QTimer>
#include <QTranslator>

namespace {

const QByteArray kAcknowledged = QByteArrayLiteral("ok\n");

} // namespace

InstanceServer::InstanceServer(QObject *parent)
    : QObject(parent), m_server(new QLocalServer(this)) {
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine())
                    return;
                const QString path = QString::fromUtf8(socket->readLine()).trimmed();
                socket->write(kAcknowledged);
                socket->flush();
                // Opened once the second start has its answer: the save
                // question may wait for her.
                if (!path.isEmpty())
                    QTimer::singleShot(0, this, [this, path] { emit fileHandedOver(path); });
            });
        }
    });
}

bool InstanceServer::listen() {
    // The lock is held: a socket left by a copy that crashed is stale.
    QLocalServer::removeServer(strFunInstanceSocketName());
    return m_server->listen(strFunInstanceSocketName());
}

bool bFunHandOverFile(const QString &absolutePath, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(strFunInstanceSocketName());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(absolutePath.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    QByteArray answer;
    QElapsedTimer timer;
    timer.start();
    while (!answer.endsWith('\n') && timer.elapsed() < timeoutMs) {
        if (!socket.waitForReadyRead(int(timeoutMs - timer.elapsed())))
            break;
        answer += socket.readAll();
    }
    return answer == kAcknowledged;
}

QString strFunInstanceLockPath() {
    return strFunInstanceFolder() + QStringLiteral("/VELTRA-BR5.lock");
}

std::unique_ptr<QLockFile> lockSingleInstance() {
    auto lock = std::make_unique<QLockFile>(strFunInstanceLockPath());
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
        return lock;
    if (lock->error() == QLockFile::LockFailedError)
        return nullptr;
    // The lock cannot be made at all (no runtime folder): run as the first copy.
    return lock;
}

QString commandLineText(const QStringList &arguments) {
    return arguments.mid(1).join(QLatin1Char(' '));
}

bool startProgram(ProgramWindows &windows, const QString &commandLine,
                  const std::function<void()> &shown) {
    windows = createProgramWindows();
    TFGlowna *g = windows.glowna;
    // The check of the program folder (a first start copies its files
    // there), her settings, the offer of unsaved work, then the class named
    // on the command line.
    auto checksAndOpen = [g, &commandLine] {
        if (!g->StartUpChecks())
            return false;
        g->openCommandLineDocument(commandLine);
        return true;
    };
    // A class named on the command line opens before the window shows: the
    // first steps would flash before it. Otherwise she sees the window at
    // once, and the checks follow its first paint. The other windows are
    // built when first used.
    const bool named = !commandLine.isEmpty();
    if (named && !checksAndOpen())
        return false;
    // Without a window manager "maximised" means nothing: fill the screen.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        g->setGeometry(screen->availableGeometry());
    g->showMaximized();
    QCoreApplication::processEvents();
    if (!named && !checksAndOpen())
        return false;
    if (shown)
        shown();
    return true;
}

int runProgram(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("swiadectwa"));
    QApplication::setApplicationDisplayName(QString::fromUtf8(kProductName));
    QApplication::setStyle(new ProgramStyle);
    QApplication::setWindowIcon(programIcon(QStringLiteral("swiadectwa")));
    iFunRegisterBundledFonts();

    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Polish), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    QtPrompts qtPrompts;
    setPrompts(&qtPrompts);

    vFunInstallKeyboardContextMenu();

    const QString commandLine = commandLineText(QApplication::arguments());
    const std::unique_ptr<QLockFile> lock = lockSingleInstance();
    if (!lock) {
        // A file named to a second start goes to the copy that runs.
        const QFileInfo file(commandLine);
        if (commandLine.isEmpty() || !file.isFile()) {
            showMessage(nullptr, QStringLiteral("Kopia"),
                        QString::fromUtf8("Ten program jest już uruchomiony."),
                        Prompts::Icon::Error);
            return 0;
        }
        if (bFunHandOverFile(file.absoluteFilePath()))
            return 0;
        showMessage(
            nullptr, QStringLiteral("Kopia"),
            QString::fromUtf8("Ten program jest już uruchomiony, ale nie odebrał pliku:\n") +
                file.absoluteFilePath() +
                QString::fromUtf8("\n\nOtwórz go w uruchomionym programie poleceniem "
                                  "Plik › Otwórz plik."),
            Prompts::Icon::Error);
        return 1;
    }

    ProgramWindows windows;
    const bool started = startProgram(windows, commandLine);
    std::unique_ptr<TFGlowna> owner(windows.glowna);
    if (!started)
        return 0;
    InstanceServer server;
    QObject::connect(&server, &InstanceServer::fileHandedOver, windows.glowna,
                     &TFGlowna::openHandedOverFile);
    server.listen();
    const int rc = QApplication::exec();
    setPrompts(nullptr);
    return rc;
}
