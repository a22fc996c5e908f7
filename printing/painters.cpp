#include "printing/painters.h"

#include "document/formlayout.h"
#include "printing/keptfile.h"
#include "printing/pagefont.h"
#include "storage/log.h"
#include "storage/paths.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QHash>
#include <QImage>

#include <cmath>

int iFunPointsToUnits(int points) {
    return int(std::lround(points * 96.0 / 72.0));
}

namespace {

void outline(structPrintContext &ctx, PagePicture *surface, const QRect &r, int tab, int scroll1,
             int scroll2) {
    if (ctx.bringIntoView)
        ctx.bringIntoView(tab, scroll1, scroll2);
    QPen pen = surface->pen();
    // Two screen pixels wide at any zoom of the preview.
    QPen red(Qt::red, 2);
    red.setCosmetic(true);
    surface->setPen(red);
    surface->setBrush(Qt::NoBrush);
    surface->drawRect(r);
    pen.setColor(Qt::black);
    surface->setPen(pen);
}

QFont rowFont(const structCalibData &row) {
    QFont font = pageFont(row.font_name);
    font.setPixelSize(std::max(1, iFunPointsToUnits(row.font_size)));
    font.setBold(row.font_style_bold != 0);
    font.setItalic(row.font_style_italic != 0);
    font.setUnderline(row.font_style_underline != 0);
    font.setStrikeOut(row.font_style_strike != 0);
    return font;
}

// How wide a line is in a font. The same few fonts measure the same texts
// for every pupil (the form's words, grades, school names), and measuring
// shapes the text each time: widths are kept per font, a few thousand.
qreal textAdvance(const QFont &font, const QString &line) {
    static QHash<QFont, QHash<QString, qreal>> widths;
    static int kept = 0;
    if (kept > 8192) {
        widths.clear();
        kept = 0;
    }
    QHash<QString, qreal> &ofFont = widths[font];
    const auto it = ofFont.constFind(line);
    if (it != ofFont.cend())
        return *it;
    ++kept;
    return *ofFont.insert(line, QFontMetricsF(font).horizontalAdvance(line));
}

// Text is drawn transparently, black, with the row's font.
void applyFont(PagePicture *surface, const structCalibData &row) {
    surface->setFont(rowFont(row));
}

// Text is placed at its baseline from the font's exact ascent, so it lands
// where it was measured at any device resolution. Every character prints as
// typed: an "&" is a character, never a shortcut mark.
void drawTextLine(PagePicture *surface, QPointF topLeft, const QString &line) {
    const QFontMetricsF fm(surface->font());
    QString shown = line;
    // A tab prints as the blank it stands for.
    shown.replace(QLatin1Char('\t'), QLatin1Char(' '));
    surface->drawText(QPointF(topLeft.x(), topLeft.y() + fm.ascent()), shown);
}

// Lines of text in a rectangle, top-aligned, left, centred or right.
void drawTextBlock(PagePicture *surface, const QRectF &r, Qt::Alignment align,
                   const QString &text) {
    const QFontMetricsF fm(surface->font());
    qreal top = r.top();
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const qreal width = textAdvance(surface->font(), line);
        qreal left = r.left();
        if (align & Qt::AlignRight)
            left = r.right() - width;
        else if (align & Qt::AlignHCenter)
            left = r.left() + (r.width() - width) / 2;
        drawTextLine(surface, QPointF(left, top), line);
        top += fm.height();
    }
}

} // namespace

qreal rFunTextBaseline(const structCalibData &row) {
    const QFont font = rowFont(row);
    return row.y2 - QFontMetrics(font).height() - row.font_size / 4 + QFontMetricsF(font).ascent();
}

int iFunTextFieldWidth(const structCalibData &row, const QString &text) {
    const QFont font = rowFont(row);
    qreal widest = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, textAdvance(font, line));
    return int(std::ceil(widest));
}

void vFunDrawTextField(structPrintContext &ctx, const QString &text, const structCalibData &row,
                       PagePicture *surface, int side, const QString &objectName) {
    QRect r(QPoint(row.x1, row.y1), QPoint(row.x2 - 1, row.y2 - 1));
    if (!text.isEmpty()) {
        applyFont(surface, row);
        const int cell = QFontMetrics(surface->font()).height();
        r.setTop(row.y2 - cell - row.font_size / 4);
        r.setBottom(row.y2 - 1);
        if (row.font_align == 3) {
            vFunDrawJustifiedText(ctx, surface, row.x1, r.top(), row.x2, row.y2, text);
        } else {
            const Qt::Alignment align = row.font_align == 0   ? Qt::AlignLeft
                                        : row.font_align == 2 ? Qt::AlignRight
                                                              : Qt::AlignHCenter;
            surface->save();
            if (ctx.clipTextFields)
                surface->setClipRect(r);
            drawTextBlock(surface, QRectF(row.x1, r.top(), row.x2 - row.x1, row.y2 - r.top()),
                          align, text);
            surface->restore();
        }
    } else if (ctx.strikeEmptyFields) {
        const int y = row.y2 - (ctx.printWithoutDots ? 15 : 10);
        surface->drawLine(row.x1, y, row.x2, y);
    }
    if (ctx.calibrating && !objectName.isEmpty() && ctx.selectedObject.contains(objectName)) {
        if (row.y2 - r.top() <= 100)
            outline(ctx, surface, r, side - 1, row.y2 * 2 / 3, row.y2 * 2 / 3);
        else
            outline(ctx, surface, QRect(QPoint(row.x1, row.y2 - 20), QPoint(row.x2, row.y2)),
                    side - 1, row.y2 / 2, row.y2 / 2);
    }
}

void vFunDrawJustifiedText(structPrintContext &, PagePicture *surface, int left, int top, int right,
                           int, const QString &text) {
    const QFontMetrics fm(surface->font());
    auto draw = [&](int x, const QString &piece) { drawTextLine(surface, QPointF(x, top), piece); };
    auto width = [&](const QString &piece) { return fm.horizontalAdvance(piece); };
    const int spaces = int(text.count(QLatin1Char(' ')));
    if (spaces < 5) {
        draw(left, text);
        return;
    }
    QString solid = text;
    solid.remove(QLatin1Char(' '));
    const int gap = (right - left - width(solid)) / spaces;
    int x = left;
    QString rest = text;
    for (int i = 0; i < spaces; ++i) {
        const int at = int(rest.indexOf(QLatin1Char(' ')));
        const QString word = rest.left(at);
        draw(x, word);
        x += width(word);
        draw(x, QStringLiteral(" "));
        x += gap;
        rest = rest.mid(at + 1);
    }
    draw(right - width(rest), rest);
}

void vFunDrawDottedLine(structPrintContext &ctx, const structCalibData &row, PagePicture *surface,
                        int side, const QString &rowName) {
    if (ctx.calibrating && ctx.selectedObject == rowName)
        outline(ctx, surface, QRect(QPoint(row.x1, row.y2), QPoint(row.x2, row.y2 + 5)), side - 1,
                row.y2 * 2 / 3, row.y2 * 2 / 3);
    QFont font = surface->font();
    const int size = font.pixelSize();
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setPixelSize(iFunPointsToUnits(14));
    surface->setFont(font);
    // A dot every 6 units from x1 up to x2: round dots of the size of the
    // font's ".", exact in a PDF as on the screen. They hang kDotsCentreAbove
    // units above the row's line, just under the baseline of the text of the
    // same line (whose row ends one unit higher), so the text stands on its
    // own dots and keeps clear of the dots of the line above.
    const int dots = row.x2 > row.x1 ? (row.x2 - row.x1 + 5) / 6 : 0;
    if (dots > 0) {
        // The ink of the font's "." sets the dots' size: once per font.
        static QHash<QFont, QRectF> inks;
        auto it = inks.constFind(font);
        if (it == inks.cend())
            it = inks.insert(font, QFontMetricsF(font).tightBoundingRect(QStringLiteral(".")));
        const QRectF ink = *it;
        const qreal diameter = std::max<qreal>(1.0, (ink.width() + ink.height()) / 2);
        surface->drawDots(QPointF(row.x1 + ink.center().x(), row.y2 - kDotsCentreAbove), dots, 6.0,
                          diameter);
    }
    font.setPixelSize(size > 0 ? size : iFunPointsToUnits(12));
    surface->setFont(font);
}

void vFunGraphicDrawMark(structPrintContext &ctx, int kind, const structCalibData &row,
                         PagePicture *surface, const QString &rowName) {
    const QRect r(QPoint(row.x1, row.y1), QPoint(row.x2, row.y2));
    if (ctx.calibrating && ctx.selectedObject == rowName)
        outline(ctx, surface, r, 0, row.y2 / 2, -1);
    if (!ctx.printing)
        return;
    QString scratch;
    const QString path =
        strFunGetDataFilePath(scratch, kind == 0 ? QStringLiteral("grafika/orzel.pic")
                                                 : QStringLiteral("grafika/m_p.bmp"));
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        QString &msg = ctx.msg ? *ctx.msg : scratch;
        msg = QStringLiteral("Plik nie istnieje.\n\n") + path;
        vFunWriteLog(msg, QStringLiteral("vFunGraphicDrawMark()"));
        if (ctx.report)
            ctx.report(QString::fromUtf8("Bład"), msg, Prompts::Icon::Error);
        return;
    }
    if (kind == 0) {
        surface->drawVectorPicture(QRectF(r), path);
        return;
    }
    QImage stamp;
    bFunKeptFile(path, stamp, [](const QString &file, QImage &image) { return image.load(file); });
    surface->drawImage(QRectF(r), stamp);
    QFont font = surface->font();
    font.setPixelSize(iFunPointsToUnits(12));
    surface->setFont(font);
    const QFontMetricsF fm(font);
    drawTextLine(surface,
                 QPointF(r.center().x() - fm.horizontalAdvance(QStringLiteral("m.p.")) / 2,
                         r.center().y() - fm.height() / 2),
                 QStringLiteral("m.p."));
}

void vFunDrawFrame(structPrintContext &ctx, PagePicture *surface, const structCalibData &row) {
    const QPen pen = surface->pen();
    QPen thin = pen;
    thin.setWidth(1);
    const QRect r(QPoint(row.x1, row.y1), QPoint(row.x2, row.y2));
    surface->setBrush(Qt::NoBrush);
    if (ctx.calibrating && ctx.selectedObject == row.name)
        thin.setColor(Qt::red);
    surface->setPen(thin);
    surface->drawRect(r);
    QPen restored = pen;
    restored.setColor(Qt::black);
    surface->setPen(restored);
}
