#pragma once

#include "support/hosttools.h"

#include <climits>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>

// Reading printed output back: PDF pages rasterised by pdftoppm, ink found
// in millimetres from the paper's corner.

constexpr double kMmPerInch = 25.4;

// The number of pages of a PDF (pdfinfo), -1 when it cannot be read.
inline int pdfPageCount(const QString &pdf) {
    const HostToolRun p = runHostTool(QStringLiteral("pdfinfo"), {hostPath(pdf)}, 20000);
    if (!p.finished || p.exitCode != 0)
        return -1;
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"),
                                   QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = pages.match(QString::fromLocal8Bit(p.standardOutput));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// One page (1-based) of a PDF in grey at dpi; a null image on failure.
inline QImage rasterPdfPage(const QString &pdf, int page, int dpi, const QString &workDir) {
    const QString prefix = workDir + QStringLiteral("/raster");
    const HostToolRun p = runHostTool(
        QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"), QStringLiteral("-f"),
         QString::number(page), QStringLiteral("-l"), QString::number(page),
         QStringLiteral("-singlefile"), hostPath(pdf), hostPath(prefix)});
    if (!p.finished || p.exitCode != 0)
        return QImage();
    // A 600-dpi sheet is larger than Qt's default image allocation limit.
    QImageReader::setAllocationLimit(0);
    QImage img(prefix + QStringLiteral(".pgm"));
    QFile::remove(prefix + QStringLiteral(".pgm"));
    return img.convertToFormat(QImage::Format_Grayscale8);
}

// The box of the dark pixels of a grey image inside an area (the whole
// image when the area is empty), in pixels.
inline QRect greyInk(const QImage &grey, const QRect &area = QRect()) {
    const QRect a = area.isEmpty() ? grey.rect() : area.intersected(grey.rect());
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = a.top(); y <= a.bottom(); ++y) {
        const uchar *line = grey.constScanLine(y);
        for (int x = a.left(); x <= a.right(); ++x) {
            if (line[x] < 128) {
                left = qMin(left, x);
                right = qMax(right, x);
                top = qMin(top, y);
                bottom = qMax(bottom, y);
            }
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// A pixel box of a raster at dpi as millimetres: the outer edges of the pixels.
inline QRectF pixelsToMm(const QRect &px, int dpi) {
    const double k = kMmPerInch / dpi;
    return QRectF(px.left() * k, px.top() * k, (px.width()) * k, (px.height()) * k);
}

inline QRect mmToPixels(const QRectF &mm, int dpi) {
    const double k = dpi / kMmPerInch;
    return QRect(QPoint(int(mm.left() * k), int(mm.top() * k)),
                 QPoint(int(mm.right() * k), int(mm.bottom() * k)));
}
