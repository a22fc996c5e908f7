#include "printing/pagepicture.h"

#include "printing/keptfile.h"

#include <QDataStream>
#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>

#include <algorithm>

bool PagePicture::Step::operator==(const Step &o) const {
    return kind == o.kind && rect == o.rect && at == o.at && text == o.text && font == o.font &&
           pen == o.pen && color == o.color && image == o.image && clip == o.clip;
}

void PagePicture::save() {
    m_saved.append(m_state);
}

void PagePicture::restore() {
    if (!m_saved.isEmpty())
        m_state = m_saved.takeLast();
}

void PagePicture::setClipRect(const QRectF &rect) {
    m_state.clip = rect;
}

PagePicture::Step PagePicture::step(Kind kind) const {
    Step s{kind,         QRectF(),    QPointF(),           QString(),
           m_state.font, m_state.pen, m_state.pen.color(), QImage(),
           m_state.clip};
    return s;
}

void PagePicture::drawLine(const QLineF &line) {
    Step s = step(Kind::Line);
    s.rect = QRectF(line.p1(), line.p2());
    m_steps.append(s);
}

void PagePicture::drawRect(const QRectF &rect) {
    Step s = step(Kind::Rect);
    s.rect = rect;
    m_steps.append(s);
}

void PagePicture::fillRect(const QRectF &rect, const QColor &color) {
    Step s = step(Kind::Fill);
    s.rect = rect;
    s.color = color;
    m_steps.append(s);
}

void PagePicture::drawText(const QPointF &baseline, const QString &text) {
    if (text.isEmpty())
        return;
    Step s = step(Kind::Text);
    s.at = baseline;
    s.text = text;
    m_steps.append(s);
}

void PagePicture::drawDots(const QPointF &firstCentre, int count, qreal spacing, qreal diameter) {
    if (count <= 0)
        return;
    Step s = step(Kind::Dots);
    // The row: from the first centre to the last, as tall as a dot.
    s.rect =
        QRectF(firstCentre.x(), firstCentre.y() - diameter / 2, spacing * (count - 1), diameter);
    s.at = QPointF(spacing, diameter);
    m_steps.append(s);
}

void PagePicture::drawImage(const QRectF &target, const QImage &image) {
    Step s = step(Kind::Image);
    s.rect = target;
    s.image = image;
    m_steps.append(s);
}

void PagePicture::drawVectorPicture(const QRectF &target, const QString &path) {
    Step s = step(Kind::VectorPicture);
    s.rect = target;
    s.text = path;
    m_steps.append(s);
}

QRectF PagePicture::TextRun::box() const {
    const QFontMetricsF fm(font);
    return QRectF(baseline.x(), baseline.y() - fm.ascent(), fm.horizontalAdvance(text),
                  fm.ascent() + fm.descent());
}

QList<PagePicture::TextRun> PagePicture::textRuns() const {
    QList<TextRun> runs;
    for (const Step &s : m_steps) {
        if (s.kind == Kind::Text)
            runs.append({s.font, s.at, s.text});
    }
    return runs;
}

QList<PagePicture::DotRow> PagePicture::dotRows() const {
    QList<DotRow> rows;
    for (const Step &s : m_steps) {
        if (s.kind != Kind::Dots)
            continue;
        const qreal step = s.at.x(), diameter = s.at.y();
        rows.append({QPointF(s.rect.left(), s.rect.center().y()),
                     step > 0 ? qRound(s.rect.width() / step) + 1 : 1, step, diameter});
    }
    return rows;
}

void PagePicture::clear() {
    m_steps.clear();
    m_saved.clear();
    m_state = State();
    m_halfTurn = false;
}

PagePicture PagePicture::rotatedHalfTurn() const {
    PagePicture turned = *this;
    turned.m_halfTurn = !m_halfTurn;
    return turned;
}

void PagePicture::shareImages(QList<QImage> &kept) {
    for (Step &s : m_steps) {
        if (s.kind != Kind::Image)
            continue;
        const auto same = std::find(kept.begin(), kept.end(), s.image);
        if (same == kept.end())
            kept.append(s.image);
        else
            s.image = *same;
    }
}

bool PagePicture::operator==(const PagePicture &other) const {
    return m_halfTurn == other.m_halfTurn && m_steps == other.m_steps;
}

QDataStream &operator<<(QDataStream &out, const PagePicture &page) {
    out << page.m_halfTurn << qint32(page.m_steps.size());
    for (const PagePicture::Step &s : page.m_steps)
        out << qint32(s.kind) << s.rect << s.at << s.text << s.font << s.pen << s.color << s.image
            << s.clip;
    return out;
}

QDataStream &operator>>(QDataStream &in, PagePicture &page) {
    page.clear();
    qint32 count = 0;
    in >> page.m_halfTurn >> count;
    for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        qint32 kind = 0;
        PagePicture::Step s = page.step(PagePicture::Kind::Line);
        in >> kind >> s.rect >> s.at >> s.text >> s.font >> s.pen >> s.color >> s.image >> s.clip;
        s.kind = PagePicture::Kind(kind);
        page.m_steps.append(s);
    }
    return in;
}

size_t PagePicture::dotsKey() const {
    size_t key = qHash(m_halfTurn);
    for (const Step &s : m_steps) {
        if (s.kind != Kind::Dots)
            continue;
        for (qreal v : {s.rect.left(), s.rect.top(), s.rect.width(), s.rect.height(), s.at.x(),
                        s.at.y(), s.clip.left(), s.clip.top(), s.clip.width(), s.clip.height()})
            key = qHashMulti(key, v);
        key = qHashMulti(key, s.color.rgba());
    }
    return key;
}

bool PagePicture::onlyDots() const {
    return std::all_of(m_steps.begin(), m_steps.end(),
                       [](const Step &s) { return s.kind == Kind::Dots; });
}

void PagePicture::replay(QPainter &painter, const QRectF &target, Layers layers) const {
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / kPageWidth, target.height() / kPageHeight);
    if (m_halfTurn) {
        painter.translate(879, 1299);
        painter.scale(-1, -1);
    }
    painter.setBrush(Qt::NoBrush);
    // A pen equal to the painter's present one would not be passed on: a PDF
    // then strokes the page's first line with the width it had before the
    // page was stretched (a hairline).
    painter.setPen(Qt::NoPen);
    painter.setBackgroundMode(Qt::TransparentMode);
    const bool pdf = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Pdf;
    QRectF clip;
    for (const Step &s : m_steps) {
        if (layers != Layers::All && (s.kind == Kind::Dots) != (layers == Layers::DotsOnly))
            continue;
        if (s.clip != clip) {
            clip = s.clip;
            if (clip.isNull())
                painter.setClipping(false);
            else
                painter.setClipRect(clip);
        }
        switch (s.kind) {
        case Kind::Line:
            painter.setPen(s.pen);
            painter.drawLine(s.rect.topLeft(), s.rect.bottomRight());
            break;
        case Kind::Rect:
            painter.setPen(s.pen);
            painter.drawRect(s.rect);
            break;
        case Kind::Fill:
            painter.fillRect(s.rect, s.color);
            break;
        case Kind::Text:
            painter.setPen(s.color);
            painter.setFont(s.font);
            painter.drawText(s.at, s.text);
            break;
        case Kind::Dots: {
            const qreal step = s.at.x(), diameter = s.at.y();
            const int count = step > 0 ? qRound(s.rect.width() / step) + 1 : 1;
            if (pdf && s.color.alpha() == 255 && count > 1) {
                // One stroke per row: PDF keeps the dash array and the round
                // caps (a dash of zero length is a round dot), where a path
                // of ellipses costs four curves a dot. The line runs half a
                // step past the last centre so that the last dot is not lost
                // to rounding at the line's end.
                QPen pen(s.color, diameter, Qt::CustomDashLine, Qt::RoundCap);
                pen.setDashPattern({0, step / diameter});
                painter.setPen(pen);
                const QPointF first(s.rect.left(), s.rect.center().y());
                painter.drawLine(first, first + QPointF(s.rect.width() + step / 2, 0));
                break;
            }
            // The raster engine draws no dash of zero length: dots one by one.
            QPainterPath dots;
            for (int i = 0; i < count; ++i)
                dots.addEllipse(QPointF(s.rect.left() + i * step, s.rect.center().y()),
                                diameter / 2, diameter / 2);
            painter.fillPath(dots, s.color);
            break;
        }
        case Kind::Image:
            painter.drawImage(s.rect, s.image);
            break;
        case Kind::VectorPicture: {
            QPicture picture;
            if (!bFunKeptFile(s.text, picture,
                              [](const QString &path, QPicture &p) { return p.load(path); }))
                break;
            // A picture played scales itself by the device's resolution
            // over its own; undone, its units are the page's.
            const qreal dpiX = qreal(picture.logicalDpiX()) / painter.device()->logicalDpiX();
            const qreal dpiY = qreal(picture.logicalDpiY()) / painter.device()->logicalDpiY();
            painter.save();
            painter.translate(s.rect.topLeft());
            painter.scale(s.rect.width() / kVectorPictureBox * dpiX,
                          s.rect.height() / kVectorPictureBox * dpiY);
            painter.drawPicture(QPointF(0, 0), picture);
            painter.restore();
            break;
        }
        }
    }
    painter.restore();
}
