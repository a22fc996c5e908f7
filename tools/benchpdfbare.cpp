// benchpdfbare PAGES OUT.pdf
// The limit of benchclass: a bare Qt program (Qt Gui, the page
// picture and nothing of the program else) that reads page pictures already
// rendered and writes them into OUT.pdf.
#include "barepdf.h"

#include <QDataStream>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: benchpdfbare PAGES OUT.pdf\n");
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly))
        return 1;
    QDataStream stream(&in);
    QList<PagePicture> pages;
    stream >> pages;
    // Read back, each page holds its own copy of the stamp: shared again, as
    // the program draws them, the PDF holds it once.
    QList<QImage> kept;
    for (PagePicture &page : pages)
        page.shareImages(kept);
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (stream.status() != QDataStream::Ok || !out.open(QIODevice::WriteOnly) ||
        !bareWritePdf(out, pages))
        return 1;
    return 0;
}
