#pragma once

// The bare PDF writer the whole-class benchmark measures against: page
// pictures already rendered, written with QPdfWriter as the program's PDF
// places them (A4 from the paper's corner, 1200 dpi), one page each, and
// nothing else.
#include "printing/pagepicture.h"

#include <QIODevice>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

inline bool bareWritePdf(QIODevice &out, const QList<PagePicture> &pages) {
    QPdfWriter pdf(&out);
    pdf.setResolution(1200);
    pdf.setCreator(QString::fromUtf8("Świadectwa 1-3"));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    QPainter painter(&pdf);
    // 210 x 297 mm in whole dots, as the program counts them.
    const QRectF paper(0, 0, 2100 * 1200 / 254, 2970 * 1200 / 254);
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0 && !pdf.newPage())
            return false;
        pages[i].replay(painter, paper);
    }
    return painter.end();
}
