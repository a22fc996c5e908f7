#include "maintenance/updatepackage.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

const char *const kUpdatePackagePath = "/veltra/bruma/program/2014/swiadectwa-setup.exe";
const char *const kUpdateSavedPackage = "aktualizacja/swiadectwa-setup.exe";

bool bFunHandOverPackage(const QString &path) {
    // The installer runs on its own: the program ends so that it can replace
    // the program's files.
    return QFileInfo(path).isFile() &&
           QProcess::startDetached(path, {}, QFileInfo(path).absolutePath());
}

QString strFunHandOverFailedText(const QString &path) {
    return QString::fromUtf8("Nie udało się uruchomić instalatora nowej wersji.\n\n"
                             "Pobrany instalator:\n%1\n\nAby zainstalować nową wersję, zamknij "
                             "program i uruchom ten plik (na przykład dwukrotnym kliknięciem w "
                             "folderze %2).")
        .arg(QDir::toNativeSeparators(path),
             QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
}
