#include "maintenance/updatepackage.h"

#include "document/prompts.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

const char *const kUpdatePackagePath = "/veltra/bruma/program/2014/swiadectwa_amd64.deb";
const char *const kUpdateSavedPackage = "aktualizacja/nowy.deb";

bool bFunHandOverPackage(const QString &path) {
    // Opening a package with no installer registered "succeeds" without
    // anything happening: ask first whether one is there.
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (tool.isEmpty())
        return false;
    QProcess query;
    query.start(tool, {QStringLiteral("query"), QStringLiteral("default"),
                       QStringLiteral("application/vnd.debian.binary-package")});
    if (!query.waitForFinished(10000) || query.exitStatus() != QProcess::NormalExit ||
        query.exitCode() != 0 || query.readAllStandardOutput().trimmed().isEmpty())
        return false;
    return prompts().openExternal(QUrl::fromLocalFile(path));
}

QString strFunHandOverFailedText(const QString &path) {
    return QString::fromUtf8("Nie udało się przekazać nowej wersji do instalatora programów.\n\n"
                             "Pobrany pakiet:\n%1\n\nAby go zainstalować, w katalogu %2 wykonaj "
                             "polecenie:\nsudo apt install ./%3")
        .arg(path, QFileInfo(path).absolutePath(), QFileInfo(path).fileName());
}
