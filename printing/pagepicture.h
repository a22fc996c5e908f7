#pragma once

#include <QFont>
#include <QImage>
#include <QList>
#include <QPen>
#include <QRectF>
#include <QString>

class QDataStream;
class QPainter;

// Page units: 885 x 1314, text measured at 96 units per inch.
constexpr int kPageWidth = 885;
constexpr int kPageHeight = 1314;

// A vector picture file (QPicture) drawn by the page is recorded in a square
// of this many units a side that stands for the whole of its source drawing;
// a replay stretches the square onto the target rectangle.
constexpr qreal kVectorPictureBox = 1000;

// One page as a list of drawing steps in page units, replayed onto any
// device: the preview image, a PDF file, a printer. Text stays text, placed
// at its baseline, so it lands exactly at any resolution and can be found in
// a PDF. The drawing calls follow a painter's, with its font, pen, clip and
// save / restore.
class PagePicture {
public:
    void setFont(const QFont &font) { m_state.font = font; }
    const QFont &font() const { return m_state.font; }
    void setPen(const QPen &pen) { m_state.pen = pen; }
    const QPen &pen() const { return m_state.pen; }
    // The fill of rectangles is always none: a page has outlines and text.
    void setBrush(Qt::BrushStyle) {}
    void save();
    void restore();
    // Until the matching restore: nothing is drawn outside the rectangle.
    void setClipRect(const QRectF &rect);

    void drawLine(const QLineF &line);
    void drawLine(int x1, int y1, int x2, int y2) { drawLine(QLineF(x1, y1, x2, y2)); }
    void drawRect(const QRectF &rect);
    void fillRect(const QRectF &rect, const QColor &color);
    // Text in the present font and the pen's colour, its baseline starting at the point.
    void drawText(const QPointF &baseline, const QString &text);
    // A row of round dots in the pen's colour: the first centred on the
    // point, count of them, step apart to the right.
    void drawDots(const QPointF &firstCentre, int count, qreal step, qreal diameter);
    void drawImage(const QRectF &target, const QImage &image);
    // A vector picture file (QPicture, see kVectorPictureBox), read and
    // drawn at replay; vectors stay vectors in a PDF.
    void drawVectorPicture(const QRectF &target, const QString &path);

    // A run of text as drawn: its font, where its baseline starts, the text.
    struct TextRun {
        QFont font;
        QPointF baseline;
        QString text;
        // The box of the run in page units: its advance, ascent and descent.
        QRectF box() const;
    };
    QList<TextRun> textRuns() const;

    // A row of dots as drawn: the first dot's centre, how many, how far
    // apart, how wide each.
    struct DotRow {
        QPointF firstCentre;
        int count = 0;
        qreal step = 0, diameter = 0;
    };
    QList<DotRow> dotRows() const;

    bool isEmpty() const { return m_steps.isEmpty(); }
    int size() const { return int(m_steps.size()); }
    void clear();

    // The page turned by half a turn: (x, y) of this page goes to
    // (879 - x, 1299 - y), as a second side printed upside down.
    PagePicture rotatedHalfTurn() const;
    // Pictures equal to one in kept become that one (the others are added):
    // pages read back from a file then hold each picture once, as drawn pages
    // do, and a PDF embeds it once.
    void shareImages(QList<QImage> &kept);

    // Which steps a replay draws: the dots are the same for every pupil of
    // a layout, so the preview draws them once and the rest per pupil.
    enum class Layers { All, WithoutDots, DotsOnly };
    // Replays the page stretched into a rectangle of the painter's device,
    // whatever its resolution.
    void replay(QPainter &painter, const QRectF &target, Layers layers = Layers::All) const;
    // Equal for two pages that draw the same dots (places, sizes, colour, clip).
    size_t dotsKey() const;
    // Nothing but dots (an empty document over its blank form).
    bool onlyDots() const;

    bool operator==(const PagePicture &other) const;
    bool operator!=(const PagePicture &other) const { return !(*this == other); }

    // The drawing steps as bytes, for a program of its own to replay (the
    // bare PDF writer the whole-class benchmark measures against).
    friend QDataStream &operator<<(QDataStream &out, const PagePicture &page);
    friend QDataStream &operator>>(QDataStream &in, PagePicture &page);

private:
    enum class Kind { Line, Rect, Fill, Text, Dots, Image, VectorPicture };
    struct Step {
        Kind kind;
        QRectF rect;  // the line runs from its top left to its bottom right
        QPointF at;   // a text's baseline start
        QString text; // a text, or a vector picture file
        QFont font;
        QPen pen;
        QColor color;
        QImage image;
        QRectF clip; // empty: none
        bool operator==(const Step &o) const;
    };
    struct State {
        // An installed face, not the machine's default: dots and the stamp's
        // caption drawn before any text take their size from it.
        QFont font{QStringLiteral("Liberation Sans")};
        QPen pen{Qt::black, 1};
        QRectF clip;
    };
    Step step(Kind kind) const;

    QList<Step> m_steps;
    State m_state;
    QList<State> m_saved;
    bool m_halfTurn = false;
};
