#include "maintenance/filecheck.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QString msg;
    if (!bFunCheckFilesDir(msg)) {
        std::fprintf(stderr, "%s\n", qPrintable(msg));
        return 1;
    }
    std::printf("Folder programu przygotowany. Okno główne jeszcze nie istnieje.\n");
    return 0;
}
