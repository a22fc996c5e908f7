#include "maintenance/mailer.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

// xdg-email refuses a missing attachment, so one is named only when it exists.
// Waits until xdg-email ends, keeping the event loop running.
bool bFunSendLogMail(QString &msg, const QString &subject, const QString &address,
                     const QString &text, const QString &attachPath) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (tool.isEmpty()) {
        msg = QString::fromUtf8("Nie znaleziono programu xdg-email (pakiet xdg-utils).");
        return false;
    }
    QStringList args{QStringLiteral("--subject"), subject, QStringLiteral("--body"), text};
    if (QFileInfo(attachPath).isFile())
        args << QStringLiteral("--attach") << attachPath;
    args << address;

    QProcess process;
    process.setProgram(tool);
    process.setArguments(args);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&] {
        if (process.state() == QProcess::NotRunning)
            loop.quit();
    });
    process.start();
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    if (process.error() == QProcess::FailedToStart) {
        msg = QString::fromUtf8("Nie udało się uruchomić programu xdg-email.");
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit) {
        msg = QString::fromUtf8("Program xdg-email został przerwany.");
        return false;
    }
    if (process.exitCode() != 0) {
        // 3: xdg-email found no mail program on this desktop.
        msg = (process.exitCode() == 3
                   ? QString::fromUtf8("Nie znaleziono programu pocztowego (xdg-email, kod %1).")
                   : QString::fromUtf8("Program pocztowy zgłosił błąd (xdg-email, kod %1)."))
                  .arg(process.exitCode());
        return false;
    }
    return true;
}
