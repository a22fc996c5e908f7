#include "maintenance/updatepackage.h"

#include "document/prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

const char *const kUpdatePackagePath = "/veltra/bruma/program/2014/swiadectwa-setup.exe";
const char *const kUpdateSavedPackage = "aktualizacja/swiadectwa-setup.exe";

bool bFunHandOverPackage(const QString &path) {
    // Started by the shell, not as a child process: an installer that asks
    // for administrator rights gets the system's question instead of a
    // refusal. The program then ends so that the installer can replace it.
    return QFileInfo(path).isFile() && prompts().openExternal(QUrl::fromLocalFile(path));
}

QString strFunHandOverFailedText(const QString &path) {
    return QString::fromUtf8("Nie udało się uruchomić instalatora nowej wersji.\n\n"
                             "Pobrany instalator:\n%1\n\nAby zainstalować nową wersję, zamknij "
                             "program i uruchom ten plik (na przykład dwukrotnym kliknięciem w "
                             "folderze %2).")
        .arg(QDir::toNativeSeparators(path),
             QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
}
