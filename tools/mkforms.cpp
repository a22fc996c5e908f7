// mkforms LAYOUT_DIR CALIB_SQL GRAFIKA_DIR EMBLEM_SVG
// From the form layouts (the editors' own sources, in editor pixels) makes
// everything that must agree with them: the rows of the shipped calibration
// (page units), the preview backdrops of the blank forms, the editors'
// background pictures and the stamp frame. One source, scaled. It also turns
// the emblem's SVG into the vector picture the program prints (orzel.pic):
// the program itself reads no SVG.
#include "document/documents.h"
#include "document/formlayout.h"
#include "printing/formtexts.h"
#include "printing/pagepicture.h"
#include "printing/painters.h"

#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>
#include <QSvgRenderer>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

struct Row {
    QString name;
    int x1, y1, x2, y2;
    QString font;
    int size, align, bold, italic;
};

QString sqlText(const QString &s) {
    QString out = s;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

int pts(double pixels) {
    return std::max(6, int(std::lround(pixels * 72.0 / 96.0)));
}

QString sidePart(const QString &name) {
    if (name.contains(QLatin1String("_STR1_")))
        return QStringLiteral("_STR1");
    if (name.contains(QLatin1String("_STR2_")))
        return QStringLiteral("_STR2");
    return QString();
}

// The base of a field name: "ZMIENNA_Klasa_STR1_DATA_EDIT" -> "ZMIENNA_Klasa".
QString baseName(const QString &name) {
    QString b = name;
    for (const char *suffix : {"_DATA_EDIT", "_DATA_COMBOBOX", "_DATA_MEMO"})
        b.remove(QLatin1String(suffix));
    b.remove(QLatin1String("_STR1"));
    b.remove(QLatin1String("_STR2"));
    return b;
}

// A label's font as the layout gives it, in the editor's pixels.
QFont layoutFont(const LayoutItem &i) {
    QFont font(strFunInstalledFace(i.fontFace));
    font.setPixelSize(std::max(1, i.fontSize));
    font.setBold(i.fontStyle.contains(QLatin1String("bold")));
    font.setItalic(i.fontStyle.contains(QLatin1String("italic")));
    return font;
}

// The face a fixed text prints with.
QString printedFace(const LayoutItem &i) {
    return i.fontFace == QLatin1String("MS Sans Serif") ? QStringLiteral("Arial") : i.fontFace;
}

structCalibData calibRow(const Row &r) {
    structCalibData c;
    c.name = r.name;
    c.x1 = r.x1;
    c.y1 = r.y1;
    c.x2 = r.x2;
    c.y2 = r.y2;
    c.font_name = r.font;
    c.font_size = r.size;
    c.font_align = r.align;
    c.font_style_bold = r.bold;
    c.font_style_italic = r.italic;
    return c;
}

qreal baselineOf(const Row &r) {
    return rFunTextBaseline(calibRow(r));
}

// The largest size, up to the form's, at which the lines of a memo printed
// at this pitch keep clear of each other and of the dots of the line above
// (accents on capitals included): whole record sheets print their memos
// denser than the certificates.
int memoFontSize(const PrintedForm &form, int pitch) {
    const QString face = strFunInstalledFace(QString::fromLatin1(form.font));
    constexpr qreal kClearance = 1.0; // page units between inks
    constexpr qreal kDotRadius = 1.5; // the dots' half height, at most
    for (int size = form.fieldSize; size > 6; --size) {
        Row probe{QString(), 0, 0, 0, 0, QString::fromLatin1(form.font), size, 0, 0, 0};
        // The outlines as paper gets them (a font's hinted box at screen
        // size overstates them by a unit or more).
        QFont font(face);
        font.setPixelSize(iFunPointsToUnits(size) * 100);
        auto ink = [&font](const char *text) {
            QPainterPath path;
            path.addText(0, 0, font, QString::fromUtf8(text));
            const QRectF box = path.boundingRect();
            return QRectF(box.topLeft() / 100, box.size() / 100);
        };
        const qreal accents = ink("ŻÓŹŚĆŃĄĘ").top();
        const qreal descent = ink("gjpyąę,;").bottom();
        const qreal top = baselineOf(probe) + accents; // relative to the row's y2
        // The line above: its text row ends pitch units higher, its dots' row one lower.
        const qreal dotsAbove = -pitch + 1 - kDotsCentreAbove + kDotRadius;
        const qreal inkAbove = baselineOf(probe) - pitch + descent;
        if (top - (form.dots ? std::max(dotsAbove, inkAbove) : inkAbove) >= kClearance)
            return size;
    }
    return 6;
}

// The texts of one printed line share a baseline: a value and an ending
// stand on the line of the form's own words beside them ("Urodzon|a dnia
// … r. w …"). A line is held together by its fields: fields and fixed texts
// whose middles lie within 3 editor pixels of a field's. All of them take
// the baseline of the line's leftmost fixed text, and a field's dots follow
// it. Fixed texts without a field beside them stay where they are.
void alignLines(QList<Row> &rows, QList<Row> &dots, const QList<int> &middles,
                const QList<bool> &isLabel) {
    const int n = int(rows.size());
    std::vector<int> line(n);
    for (int i = 0; i < n; ++i)
        line[i] = i;
    auto root = [&line](int i) {
        while (line[i] != i)
            i = line[i] = line[line[i]];
        return i;
    };
    std::vector<char> onLine(n, 0);
    for (int i = 0; i < n; ++i) {
        if (middles[i] < 0 || isLabel[i])
            continue;
        for (int j = 0; j < n; ++j) {
            if (j != i && middles[j] >= 0 && std::abs(middles[i] - middles[j]) <= 3) {
                line[root(j)] = root(i);
                onLine[i] = onLine[j] = true;
            }
        }
    }
    QHash<int, int> leader; // line -> its leftmost fixed text
    for (int i = 0; i < n; ++i) {
        if (!onLine[i] || !isLabel[i])
            continue;
        const int r = root(i);
        if (!leader.contains(r) || rows[i].x1 < rows[leader[r]].x1)
            leader[r] = i;
    }
    for (int i = 0; i < n; ++i) {
        if (!onLine[i] || !leader.contains(root(i)))
            continue;
        const Row &lead = rows[leader[root(i)]];
        Row &row = rows[i];
        const int moved = int(std::lround(baselineOf(lead) - baselineOf(row)));
        if (moved == 0)
            continue;
        // Only the line moves: the field's place on the form stays.
        row.y2 += moved;
        for (Row &d : dots) {
            if (d.x1 == row.x1 && d.x2 == row.x2 && d.y2 == row.y2 - moved + 1)
                d.y2 += moved;
        }
    }
}

QList<Row> rowsFor(const PrintedForm &form, const FormLayout &l) {
    const LayoutPage &page = l.pages.first();
    const double sx = double(kPageWidth) / page.width;
    const double sy = double(kPageHeight) / page.height;
    auto X = [sx](double v) { return int(std::lround(v * sx)); };
    auto Y = [sy](double v) { return int(std::lround(v * sy)); };
    // The form's own texts keep the proportion to the field texts that the
    // editor shows: a page stretched more one way than the other would
    // otherwise print them far larger than the fields.
    const double textScale = form.fieldSize * 96.0 / 72.0 / kFieldFontPixels;
    const QList<LayoutItem> items = l.itemsFor(QString::fromLatin1(form.variant));
    // Where an ending starts: just after the ink of the word before it on its
    // line, so that the two read as one word. A blank form is the layout
    // scaled, so the layout places it; a word printed with the page prints
    // smaller than the editor shows it, so there the ending follows its ink.
    auto endingLeft = [&](const LayoutItem &ending, const QList<LayoutItem> &all) {
        if (!form.labels)
            return X(ending.left);
        const LayoutItem *word = nullptr;
        for (const LayoutItem &w : all) {
            if (w.kind == QLatin1String("label") && w.page == ending.page &&
                std::abs(w.top - ending.top) <= 6 && w.left < ending.left &&
                (!word || w.left > word->left))
                word = &w;
        }
        if (!word)
            return X(ending.left);
        QFont printed = layoutFont(*word);
        printed.setFamily(strFunInstalledFace(printedFace(*word)));
        printed.setPixelSize(iFunPointsToUnits(pts(word->fontSize * textScale)));
        const double right =
            X(word->left) + QFontMetricsF(printed).tightBoundingRect(word->text).right();
        return int(std::ceil(right)) + 1;
    };
    QList<Row> rows;
    QList<Row> dots;
    // Per row: the middle of its item on the editor's page (-1: not on a
    // line of words), and whether it is a fixed text.
    QList<int> middles;
    QList<bool> isLabel;
    auto noteLine = [&](int middle, bool label) {
        while (middles.size() < rows.size() - 1) {
            middles << -1;
            isLabel << false;
        }
        middles << middle;
        isLabel << label;
    };
    for (const LayoutItem &i : items) {
        const bool bound = i.kind == QLatin1String("edit") || i.kind == QLatin1String("combo");
        if (bound) {
            // An ending joins its word; other narrow fields hold a centred digit.
            const bool ending = i.has("ending");
            const int align = ending ? 0 : i.width < 30 ? 1 : 0;
            const int left = ending ? endingLeft(i, items) : X(i.left);
            const int right = left + X(i.left + i.width) - X(i.left);
            rows.append({i.name, left, Y(i.top), right, Y(i.top + i.height) - 2, form.font,
                         form.fieldSize, align, 0, 0});
            noteLine(i.top + i.height / 2, false);
            if (form.dots)
                dots.append(
                    {baseName(i.name) + sidePart(i.name) + QStringLiteral("_LINIA_Z_KROPEK"), left,
                     Y(i.top), right, Y(i.top + i.height) - 1, QString(), 0, 0, 0, 0});
        } else if (i.kind == QLatin1String("memo")) {
            const double lineHeight = double(i.height) / i.limit;
            int pitch = kPageHeight;
            for (int n = 1; n < i.limit; ++n)
                pitch =
                    std::min(pitch, Y(i.top + (n + 1) * lineHeight) - Y(i.top + n * lineHeight));
            const int size = i.limit > 1 ? memoFontSize(form, pitch) : form.fieldSize;
            for (int n = 0; n < i.limit; ++n) {
                const double top = i.top + n * lineHeight;
                const QString name = i.name + QString::asprintf("%02d", n + 1);
                rows.append({name, X(i.left), Y(top), X(i.left + i.width), Y(top + lineHeight) - 2,
                             form.font, size, 0, 0, 0});
                if (form.dots)
                    dots.append({baseName(i.name) + QString::asprintf("%02d", n + 1) +
                                     sidePart(i.name) + QStringLiteral("_LINIA_Z_KROPEK"),
                                 X(i.left), Y(top), X(i.left + i.width), Y(top + lineHeight) - 1,
                                 QString(), 0, 0, 0, 0});
            }
        } else if (i.kind == QLatin1String("label") && form.labels &&
                   i.name.startsWith(QLatin1String("STALY_"))) {
            const QFont font = layoutFont(i);
            const QFontMetrics fm(font);
            const int width = fm.horizontalAdvance(i.text) + 4;
            rows.append({i.name, X(i.left), Y(i.top), X(i.left + width), Y(i.top + fm.height()),
                         printedFace(i), pts(i.fontSize * textScale), 0, font.bold() ? 1 : 0,
                         font.italic() ? 1 : 0});
            noteLine(i.top + fm.height() / 2, true);
        }
    }
    if (form.labels) {
        while (middles.size() < rows.size()) {
            middles << -1;
            isLabel << false;
        }
        alignLines(rows, dots, middles, isLabel);
    }
    if (form.marks) {
        rows.append({QStringLiteral("GRAFIKA: ORZELEK"), X(318), Y(92), X(398), Y(188), QString(),
                     0, 0, 0, 0});
        rows.append({QStringLiteral("GRAFIKA: PIECZATKA"), X(236), Y(742), X(336), Y(818),
                     QString(), 0, 0, 0, 0});
    }
    if (form.frames) {
        // The outline of the whole page, and the frames the layout gives.
        rows.append({QStringLiteral("GRAFIKA: RAMKA strona"), X(4), Y(4), X(page.width - 4),
                     Y(page.height - 4), QString(), 0, 0, 0, 0});
        for (const LayoutItem &i : l.itemsFor(QString::fromLatin1(form.variant))) {
            if (i.kind == QLatin1String("frame"))
                rows.append({i.name, X(i.left), Y(i.top), X(i.left + i.width), Y(i.top + i.height),
                             QString(), 0, 0, 0, 0});
        }
    }
    return rows + dots;
}

void writeRows(QTextStream &sql, const QString &table, const QList<Row> &rows) {
    for (const Row &r : rows) {
        sql << "insert into `" << table << "` values( " << sqlText(r.name) << ", " << r.x1 << ", "
            << r.y1 << ", " << r.x2 << ", " << r.y2 << ", " << sqlText(r.font) << ", " << r.size
            << ", " << r.align << ", " << r.bold << ", " << r.italic << ", 0, 0 );\n";
    }
}

void drawStampFrame(QPainter &p, const QRectF &r) {
    p.save();
    p.setPen(QPen(QColor(90, 90, 90), std::max(1.0, r.width() / 60.0), Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(r.adjusted(2, 2, -2, -2));
    p.restore();
}

// A preview backdrop: the sheet at (74, 74)-(957, 1388), a grey border around.
QImage backdrop() {
    QImage img(1031, 1462, QImage::Format_RGB32);
    img.fill(QColor(128, 128, 128));
    QPainter p(&img);
    p.fillRect(QRect(QPoint(74, 74), QPoint(956, 1387)), Qt::white);
    return img;
}

// Each picture in the format its name says (PNG for the forms, BMP for the stamp).
bool save(const QImage &img, const QString &path) {
    if (img.save(path))
        return true;
    std::fprintf(stderr, "mkforms: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: mkforms LAYOUT_DIR CALIB_SQL GRAFIKA_DIR EMBLEM_SVG\n");
        return 2;
    }
    auto load = [&](const QString &name, FormLayout &layout) {
        QFile f(args[1] + QLatin1Char('/') + name + QStringLiteral(".layout"));
        QString error;
        if (!f.open(QIODevice::ReadOnly) ||
            !parseLayout(QString::fromUtf8(f.readAll()), layout, error)) {
            std::fprintf(stderr, "mkforms: %s: %s\n", qPrintable(name), qPrintable(error));
            return false;
        }
        return true;
    };

    QFile out(args[2]);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    QTextStream sql(&out);
    sql << "-- Generated from the form layouts; do not edit.\n";
    for (const PrintedForm &form : printedForms()) {
        FormLayout layout;
        if (!load(QString::fromLatin1(form.layout), layout))
            return 1;
        writeRows(sql, QString::fromLatin1(form.calibTable), rowsFor(form, layout));
    }
    sql.flush();

    const QString grafika = args[3];
    const QString emblemSvg = args[4];
    {
        QSvgRenderer emblem(emblemSvg);
        QPicture picture;
        QPainter p(&picture);
        emblem.render(&p, QRectF(0, 0, kVectorPictureBox, kVectorPictureBox));
        p.end();
        if (!emblem.isValid() || !picture.save(grafika + QStringLiteral("/orzel.pic"))) {
            std::fprintf(stderr, "mkforms: cannot make %s/orzel.pic\n", qPrintable(grafika));
            return 1;
        }
    }
    FormLayout klasa;
    if (!load(QStringLiteral("klasa"), klasa))
        return 1;
    const QRectF sheet(QPointF(74, 74), QPointF(957, 1388));
    const double sx = sheet.width() / 716.0, sy = sheet.height() / 1053.0;
    for (int side = 1; side <= 2; ++side) {
        QImage img = backdrop();
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        vFunDrawFormTexts(p, klasa, side, sheet);
        if (side == 1) {
            QSvgRenderer emblem(emblemSvg);
            emblem.render(&p,
                          QRectF(sheet.left() + 318 * sx, sheet.top() + 92 * sy, 80 * sx, 96 * sy));
            const QRectF stamp(sheet.left() + 236 * sx, sheet.top() + 742 * sy, 100 * sx, 76 * sy);
            drawStampFrame(p, stamp);
            p.setFont(QFont(strFunInstalledFace(QStringLiteral("Times New Roman")), 10));
            p.drawText(stamp, Qt::AlignCenter, QStringLiteral("m.p."));
        }
        p.end();
        if (!save(img, grafika + QStringLiteral("/sw_str%1_prw.png").arg(side)))
            return 1;
    }
    if (!save(backdrop(), grafika + QStringLiteral("/wywiadowka_prw.png")) ||
        !save(backdrop(), grafika + QStringLiteral("/arkusz_prw.png")))
        return 1;

    // The editors' pictures of the blank forms, at the editors' own sizes: the
    // frames, the emblem and the stamp place of the printed page scaled back.
    struct EditorPicture {
        const char *layout;
        const char *variant;
        const char *table;
    };
    const EditorPicture pictures[] = {{"klasa", "", "klasa_1_3"},
                                      {"wywiadowka", "", "wywiadowka"},
                                      {"arkusz_str1", "", "arkusz_str1"},
                                      {"arkusz_str1b", "", "arkusz_str1b"},
                                      {"arkusz_wyniki", "a", "arkusz_str2_5"}};
    for (const EditorPicture &ep : pictures) {
        FormLayout layout;
        if (!load(QString::fromLatin1(ep.layout), layout))
            return 1;
        const PrintedForm *form = nullptr;
        for (const PrintedForm &f : printedForms())
            if (QLatin1String(f.calibTable) == QLatin1String(ep.table))
                form = &f;
        const QList<Row> rows = rowsFor(*form, layout);
        for (const LayoutPage &page : layout.pages) {
            QImage img(page.width, page.height, QImage::Format_RGB32);
            img.fill(Qt::white);
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(double(page.width) / kPageWidth, double(page.height) / kPageHeight);
            for (const Row &r : rows) {
                const QRectF rect(QPointF(r.x1, r.y1), QPointF(r.x2, r.y2));
                if (r.name.startsWith(QLatin1String("GRAFIKA: RAMKA"))) {
                    p.setPen(QPen(QColor(110, 110, 110), 1.2));
                    p.drawRect(rect);
                } else if (page.number == 1 && r.name == QLatin1String("GRAFIKA: ORZELEK")) {
                    QSvgRenderer(emblemSvg).render(&p, rect);
                } else if (page.number == 1 && r.name == QLatin1String("GRAFIKA: PIECZATKA")) {
                    drawStampFrame(p, rect);
                }
            }
            p.end();
            if (!save(img, grafika + QStringLiteral("/%1_%2.png")
                                         .arg(QLatin1String(ep.layout))
                                         .arg(page.number)))
                return 1;
        }
    }

    // The stamp frame printed at the stamp place.
    QImage stamp(200, 152, QImage::Format_RGB32);
    stamp.fill(Qt::white);
    {
        QPainter p(&stamp);
        p.setRenderHint(QPainter::Antialiasing);
        drawStampFrame(p, QRectF(0, 0, 200, 152));
    }
    if (!save(stamp, grafika + QStringLiteral("/m_p.bmp")))
        return 1;
    return 0;
}
