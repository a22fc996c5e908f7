#include "app/startup.h"

#include "app/qtprompts.h"
#include "app/tfglowna.h"
#include "app/version.h"
#include "app/windowfactory.h"
#include "document/prompts.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QScreen>
#include <QStandardPaths>
#include <QTranslator>

std::unique_ptr<QLockFile> lockSingleInstance() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    auto lock = std::make_unique<QLockFile>(dir + QStringLiteral("/VELTRA-BR5.lock"));
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
    windows = createMainWindow();
    if (!windows.glowna->StartUpChecks())
        return false;
    windows.glowna->openCommandLineDocument(commandLine);
    // Without a window manager "maximised" means nothing: fill the screen.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        windows.glowna->setGeometry(screen->availableGeometry());
    windows.glowna->showMaximized();
    // The teacher sees the window at once; the other windows are built
    // before the first command can reach them.
    QCoreApplication::processEvents();
    if (shown)
        shown();
    createOtherWindows(windows);
    return true;
}

int runProgram(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("swiadectwa"));
    QApplication::setApplicationDisplayName(QString::fromUtf8(kProductName));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/swiadectwa.svg")));

    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Polish), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    QtPrompts qtPrompts;
    setPrompts(&qtPrompts);

    const std::unique_ptr<QLockFile> lock = lockSingleInstance();
    if (!lock) {
        showMessage(nullptr, QStringLiteral("Kopia"),
                    QString::fromUtf8("Ten program jest już uruchomiony."), Prompts::Icon::Error);
        return 0;
    }

    ProgramWindows windows;
    const bool started = startProgram(windows, commandLineText(QApplication::arguments()));
    std::unique_ptr<TFGlowna> owner(windows.glowna);
    if (!started)
        return 0;
    const int rc = QApplication::exec();
    setPrompts(nullptr);
    return rc;
}
