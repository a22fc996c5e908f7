#pragma once

#include "printing/printengine.h"

#include <QImage>
#include <QPainter>

// A page picture replayed 1:1 into an image of the page's size: one pixel is
// one page unit, so positions can be read off in page units.
inline QImage pageImage(const PagePicture &page) {
    QImage img(kPageWidth, kPageHeight, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    vFunDrawPage(p, page, QRectF(0, 0, kPageWidth, kPageHeight));
    return img;
}

// The bounding box of everything darker than light grey inside an area.
inline QRect inkBox(const QImage &img, const QRect &area = QRect(0, 0, kPageWidth, kPageHeight)) {
    QRect box;
    const QRect a = area.intersected(img.rect());
    for (int y = a.top(); y <= a.bottom(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = a.left(); x <= a.right(); ++x) {
            if (qGray(line[x]) < 160)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

inline bool hasRed(const QImage &img) {
    for (int y = 0; y < img.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (qRed(line[x]) > 200 && qGreen(line[x]) < 80)
                return true;
    }
    return false;
}

// A document's texts given by the test: fields, fixed texts and memo lines.
class MapSource : public FieldSource {
public:
    QHash<QString, QString> texts;
    QHash<QString, QStringList> memos;
    bool hasComponent(const QString &name) const override {
        return texts.contains(name) || memos.contains(name);
    }
    QString text(const QString &name) const override { return texts.value(name); }
    QStringList lines(const QString &memo) const override {
        return memos.contains(memo) ? memos.value(memo) : QStringList{texts.value(memo)};
    }
};

// The documents by the print engine's old layout numbers: 0 certificate,
// 1 report, 2 / 4 title pages, 3 / 5 results pages; any other number a
// document that prints nothing.
inline const DocumentInfo &documentOfType(int type) {
    static const char *const classes[] = {"TFKlasa1",        "TFWywiadowka",  "TFArkuszStr1Kl1",
                                          "TFArkuszStr2Kl1", "TFArkuszStr1b", "TFArkuszStr2bKl1"};
    if (type < 0 || type > 5)
        return pupilDataDocument();
    return *documentByClass(QString::fromLatin1(classes[type]));
}

inline structCalibData calibRow(const QString &name, int x1, int y1, int x2, int y2, int size = 12,
                                int align = 0,
                                const QString &face = QStringLiteral("Liberation Serif")) {
    structCalibData r;
    r.name = name;
    r.x1 = x1;
    r.y1 = y1;
    r.x2 = x2;
    r.y2 = y2;
    r.font_name = face;
    r.font_size = size;
    r.font_align = align;
    return r;
}
