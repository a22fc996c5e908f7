#include "printing/testprint.h"

#include "document/fieldnames.h"
#include "printing/pagefont.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

// A field of the document: a variable text, an edit, a drop-down or a line
// of a memo (not the dotted line under it).
bool isVariableField(const QString &rowName) {
    return rowName.startsWith(QLatin1String("ZMIENNA_")) && fieldKind(rowName) != FieldKind::None;
}

// The side a row prints on, 0 when the engine never prints it.
int sideOf(const DocumentInfo &doc, const QString &rowName) {
    if (doc.sides != 2)
        return 1;
    if (rowName.contains(QLatin1String("_STR1_")))
        return 1;
    return rowName.contains(QLatin1String("_STR2_")) ? 2 : 0;
}

QFont labelFont(double pixels) {
    QFont font = pageFont(QStringLiteral("Arial"));
    font.setPixelSize(std::max(1, int(pixels)));
    return font;
}

// A field's outline, its short name inside, as small as it must be to fit.
void drawField(PagePicture &page, const structCalibData &row) {
    const QRectF r(QPointF(row.x1, row.y1), QPointF(row.x2, row.y2));
    page.setPen(QPen(Qt::black, 1));
    page.drawRect(r);
    const QString name = strFunTestFieldName(row.name);
    double pixels = std::min(11.0, r.height() - 4);
    const double width = QFontMetricsF(labelFont(pixels)).horizontalAdvance(name);
    if (width > r.width() - 4)
        pixels = std::max(5.0, pixels * (r.width() - 4) / width);
    const QFont font = labelFont(pixels);
    page.save();
    page.setClipRect(r.adjusted(1, 1, -1, -1));
    page.setFont(font);
    page.drawText(QPointF(r.left() + 2, r.top() + 2 + QFontMetricsF(font).ascent()), name);
    page.restore();
}

// A cross at each corner of the page: its arms end exactly at the page's edges.
void drawCorners(PagePicture &page) {
    const int arm = 15;
    page.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::FlatCap));
    for (int cx : {arm, kPageWidth - arm})
        for (int cy : {arm, kPageHeight - arm}) {
            page.drawLine(cx - arm, cy, cx + arm, cy);
            page.drawLine(cx, cy - arm, cx, cy + arm);
        }
}

} // namespace

QString strFunTestFieldName(const QString &rowName) {
    QString name = rowName;
    QString line;
    if (fieldKind(name) == FieldKind::Memo && !name.endsWith(QLatin1String("_DATA_MEMO"))) {
        line = name.right(2);
        name = strFunMemoOfRecord(name);
    }
    if (name.startsWith(QLatin1String("ZMIENNA_")))
        name = name.mid(8);
    for (const char *part :
         {"_DATA_EDIT", "_DATA_COMBOBOX", "_DATA_MEMO", "_STR1", "_STR2", "_DATA_LABEL"})
        name.remove(QLatin1String(part));
    return line.isEmpty() ? name : name + QLatin1Char(' ') + line;
}

void vFunRenderTestPages(const CalibList &rows, const DocumentInfo &doc, PagePicture &page1,
                         PagePicture &page2) {
    page1.clear();
    page2.clear();
    for (const structCalibData &row : rows) {
        if (!isVariableField(row.name))
            continue;
        const int side = sideOf(doc, row.name);
        if (side > 0)
            drawField(side == 1 ? page1 : page2, row);
    }
    drawCorners(page1);
    if (doc.sides == 2)
        drawCorners(page2);
}

void vFunDrawScales(QPainter &painter, const structPaperArea &paper, const QString &caption) {
    const QRectF &area = paper.printable;
    // Millimetres of the paper to device dots.
    auto X = [&](double mm) { return paper.corner.x() + mm * paper.dotsPerMmX; };
    auto Y = [&](double mm) { return paper.corner.y() + mm * paper.dotsPerMmY; };
    auto tick = [](int mm) {
        return mm % 10 == 0 ? kScaleLongTick : mm % 5 == 0 ? kScaleHalfTick : kScaleShortTick;
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Nothing beyond what the printer can print: a mark cut by the edge
    // would be read wrongly.
    painter.setClipRect(
        QRectF(QPointF(X(area.left()), Y(area.top())), QPointF(X(area.right()), Y(area.bottom()))));
    QFont font = pageFont(QStringLiteral("Arial"));
    font.setPointSizeF(7);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetricsF fm(font, painter.device());
    const double half = kScaleTickWidth / 2;

    // Along the top edge, the marks hang down from where printing starts.
    for (int mm = int(std::ceil(area.left())); mm <= int(std::floor(area.right())); ++mm) {
        const double length = tick(mm);
        painter.fillRect(QRectF(QPointF(X(mm - half), Y(area.top())),
                                QPointF(X(mm + half), Y(area.top() + length))),
                         Qt::black);
        if (mm % 10 != 0)
            continue;
        const QString label = QString::number(mm);
        const double width = fm.horizontalAdvance(label);
        // Centred under its mark, but never cut by the printable edge.
        double left = X(mm) - width / 2;
        left = std::max(left, X(area.left()));
        left = std::min(left, X(area.right()) - width);
        painter.drawText(QPointF(left, Y(area.top() + kScaleLongTick + 0.5) + fm.ascent()), label);
    }
    // Along the left edge, below the top scale.
    const double firstY = area.top() + kScaleTopBand;
    for (int mm = int(std::ceil(firstY)); mm <= int(std::floor(area.bottom())); ++mm) {
        const double length = tick(mm);
        painter.fillRect(QRectF(QPointF(X(area.left()), Y(mm - half)),
                                QPointF(X(area.left() + length), Y(mm + half))),
                         Qt::black);
        if (mm % 10 != 0)
            continue;
        painter.drawText(QPointF(X(area.left() + kScaleLongTick + 0.5),
                                 Y(mm) + (fm.ascent() - fm.descent()) / 2),
                         QString::number(mm));
    }
    if (!caption.isEmpty())
        painter.drawText(QPointF(X(area.left() + 15), Y(area.bottom() - 3)), caption);
    painter.restore();
}
