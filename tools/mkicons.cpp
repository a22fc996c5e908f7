// mkicons [--pixels] SVG OUT_DIR SIZE...
// An icon as PNG pictures of the given sizes, drawn from its SVG
// (OUT_DIR/<size>x<size>/<name>.png), for desktops that want bitmaps; with
// --pixels as pixel files (<name>.px, printing/pixelfile.h) for the
// program's resources: it reads neither SVG nor PNG for its icons.
#include "printing/pixelfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments();
    const bool pixels = args.size() > 1 && args[1] == QLatin1String("--pixels");
    if (pixels)
        args.removeAt(1);
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: mkicons [--pixels] SVG OUT_DIR SIZE...\n");
        return 2;
    }
    QSvgRenderer svg(args[1]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "mkicons: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    for (int i = 3; i < args.size(); ++i) {
        const int size = args[i].toInt();
        QImage icon(size, size, QImage::Format_ARGB32);
        icon.fill(Qt::transparent);
        QPainter p(&icon);
        p.setRenderHint(QPainter::Antialiasing);
        svg.render(&p, QRectF(0, 0, size, size));
        p.end();
        const QString folder = args[2] + QStringLiteral("/%1x%1").arg(size);
        const QString name =
            QFileInfo(args[1]).completeBaseName() + QLatin1String(pixels ? ".px" : ".png");
        const QString path = folder + QLatin1Char('/') + name;
        bool written = QDir().mkpath(folder);
        if (written && pixels) {
            const QByteArray bytes = pixelfile::encode(icon);
            QFile out(path);
            written =
                out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.flush();
        } else if (written) {
            written = icon.save(path);
        }
        if (!written) {
            std::fprintf(stderr, "mkicons: cannot write into %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
