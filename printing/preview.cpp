#include "printing/preview.h"

#include "printing/printengine.h"
#include "storage/paths.h"

#include <QDateTime>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void vFunDrawPreviewMarks(QPainter &painter, const QList<PreviewMark> &marks, const QRectF &target,
                          int side) {
    const QColor red(200, 0, 0);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(13);
    font.setBold(true);
    const QFontMetricsF fm(font);
    const qreal sx = target.width() / kPageWidth, sy = target.height() / kPageHeight;
    painter.save();
    painter.setFont(font);
    for (const PreviewMark &mark : marks) {
        if (mark.side != side)
            continue;
        const QRectF field(target.left() + mark.rect.left() * sx,
                           target.top() + mark.rect.top() * sy, mark.rect.width() * sx,
                           mark.rect.height() * sy);
        painter.setPen(QPen(red, 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(field.adjusted(-3, -3, 3, 3));
        // The words stand inside the field's own frame, at its foot, cut to
        // its width: they cover no other field's text and stay on the page.
        const qreal height = std::min(field.height(), fm.height() + 2);
        const QRectF line(field.left(), field.bottom() - height, field.width(), height);
        const QString words =
            fm.elidedText(mark.text, Qt::ElideRight, std::max<qreal>(0, line.width() - 8));
        painter.save();
        painter.setClipRect(line);
        // A light veil under the words: what the field holds there still shows.
        painter.fillRect(line, QColor(255, 255, 255, 190));
        painter.setPen(red);
        painter.drawText(line.adjusted(4, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter, words);
        painter.restore();
    }
    painter.restore();
}

namespace {

// A picture of the blank form at a scale, with a page's dots drawn over it.
// One byte a pixel when the form is grey, as every shipped form is: black
// dots on grey come out exactly as in colour, in a quarter of the memory.
struct BasePicture {
    QString file;
    QDateTime modified;
    qint64 size = 0;
    double scale = 1.0;
    size_t dots = 0;
    QImage image;
};

// Most recently used first. Eight cover the sides of a pupil's first
// documents: walking through them by keys decodes nothing again.
QList<BasePicture> &basePictures() {
    static QList<BasePicture> pictures;
    return pictures;
}
constexpr int kKeptPictures = 8;

QImage decodedBackdrop(const QString &path, double scale) {
    QImage loaded;
    if (!loaded.load(path))
        return QImage();
    loaded = loaded.convertToFormat(QImage::Format_RGB32);
    if (!qFuzzyCompare(scale, 1.0))
        loaded =
            loaded.scaled(loaded.size() * scale, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return loaded.allGray() ? loaded.convertToFormat(QImage::Format_Grayscale8) : loaded;
}

// The blank form of a file with the page's dots, made when first needed.
QImage basePicture(const QString &file, double scale, const PagePicture &page,
                   const QRectF &target) {
    const QFileInfo info(file);
    if (file.isEmpty() || !info.exists())
        return QImage();
    const size_t dots = page.dotsKey();
    QList<BasePicture> &pictures = basePictures();
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        const BasePicture &p = pictures[i];
        if (p.file == file && qFuzzyCompare(p.scale, scale) && p.dots == dots &&
            p.modified == info.lastModified() && p.size == info.size()) {
            pictures.move(i, 0);
            return pictures.first().image;
        }
    }
    // The picture that would be dropped goes first: the peak of memory holds
    // one picture fewer while the next is decoded.
    while (pictures.size() >= kKeptPictures)
        pictures.removeLast();
    QImage image = decodedBackdrop(file, scale);
    if (image.isNull())
        return QImage();
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        page.replay(painter, target, PagePicture::Layers::DotsOnly);
    }
    pictures.prepend({file, info.lastModified(), info.size(), scale, dots, image});
    while (pictures.size() > kKeptPictures)
        pictures.removeLast();
    return image;
}

// A finished preview: moving back to a document shown a moment ago (the
// keys in the tree) draws nothing again.
struct Composed {
    QStringList backdrops;
    double scale = 1.0;
    PagePicture page1, page2;
    QList<PreviewMark> marks;
    QList<QString> files;
    QList<QDateTime> modified;
    QImage image1, image2;
};
QList<Composed> &composedPictures() {
    static QList<Composed> pictures;
    return pictures;
}
constexpr int kKeptComposed = 2;

} // namespace

void PreviewComposer::clearSharedPictures() {
    basePictures().clear();
    composedPictures().clear();
}

namespace {

// A row of grey pixels as opaque RGB32. The compiler's own vectors for the
// plain loop multiply each pixel out; spreading the bytes is five times
// faster, and a paint converts half a million pixels.
void greyRowToRgb32(const uchar *from, QRgb *to, int n) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i opaque = _mm_set1_epi8(char(0xff));
    for (; x + 16 <= n; x += 16) {
        const __m128i grey = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from + x));
        // Bytes g g and g ff, interleaved as words: g g g ff, one pixel.
        const __m128i twiceLow = _mm_unpacklo_epi8(grey, grey);
        const __m128i twiceHigh = _mm_unpackhi_epi8(grey, grey);
        const __m128i alphaLow = _mm_unpacklo_epi8(grey, opaque);
        const __m128i alphaHigh = _mm_unpackhi_epi8(grey, opaque);
        auto *out = reinterpret_cast<__m128i *>(to + x);
        _mm_storeu_si128(out, _mm_unpacklo_epi16(twiceLow, alphaLow));
        _mm_storeu_si128(out + 1, _mm_unpackhi_epi16(twiceLow, alphaLow));
        _mm_storeu_si128(out + 2, _mm_unpacklo_epi16(twiceHigh, alphaHigh));
        _mm_storeu_si128(out + 3, _mm_unpackhi_epi16(twiceHigh, alphaHigh));
    }
#endif
    for (; x < n; ++x)
        to[x] = 0xff000000u | uint(from[x]) * 0x010101u;
}

} // namespace

void PreviewSide::paint(QPainter &painter, const QRect &exposed) const {
    painter.save();
    painter.setClipRect(exposed);
    if (base.format() == QImage::Format_Grayscale8 && exposed.isValid()) {
        // Qt converts a grey picture through its thread pool, which costs a
        // two-core machine more than these few rows of one thread.
        const QRect part = exposed.intersected(base.rect());
        QImage colour(part.size(), QImage::Format_RGB32);
        for (int y = 0; y < part.height(); ++y) {
            greyRowToRgb32(base.constScanLine(part.top() + y) + part.left(),
                           reinterpret_cast<QRgb *>(colour.scanLine(y)), part.width());
        }
        painter.drawImage(part.topLeft(), colour);
    } else {
        painter.drawImage(exposed.topLeft(), base, exposed);
    }
    if (!page.isEmpty() || !marks.isEmpty()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        page.replay(painter, target, layers);
        vFunDrawPreviewMarks(painter, marks, target, side);
    }
    painter.restore();
}

QImage PreviewSide::image(QImage spare) const {
    QImage out;
    if (spare.isDetached() && spare.size() == base.size() && spare.format() == QImage::Format_RGB32)
        out = std::move(spare);
    else
        out = QImage(base.size(), QImage::Format_RGB32);
    // The blank forms carry no transparency: the whole side covers out.
    QPainter painter(&out);
    paint(painter, base.rect());
    return out;
}

std::array<PreviewSide, 2> PreviewComposer::sides(const RenderedPages &pages,
                                                  const QList<PreviewMark> &marks,
                                                  const DocumentInfo &doc, double scale,
                                                  const std::array<QImage, 2> &previous,
                                                  bool *complete) {
    QString scratch;
    const QStringList backdrops = doc.backdrops();
    const PagePicture *pictures[] = {&pages.page1, &pages.page2};
    const QRectF target(QPointF(74, 74) * scale, QPointF(957, 1388) * scale);
    std::array<PreviewSide, 2> out;
    bool all = true;
    for (int i = 0; i < doc.sides && i < 2; ++i) {
        PreviewSide &s = out[size_t(i)];
        if (i < backdrops.size())
            s.base = basePicture(
                strFunGetDataFilePath(scratch, QStringLiteral("grafika/") + backdrops[i]), scale,
                *pictures[i], target);
        s.layers = PagePicture::Layers::WithoutDots;
        // Without a picture of the form the page goes whole over what was shown.
        if (s.base.isNull()) {
            all = false;
            s.base = previous[size_t(i)];
            s.layers = PagePicture::Layers::All;
        }
        s.side = i + 1;
        s.target = target;
        const bool marked = std::any_of(marks.begin(), marks.end(),
                                        [i](const PreviewMark &m) { return m.side == i + 1; });
        // Only dots and no marks: the shared picture is shown as it is.
        if (!pictures[i]->onlyDots() || marked || s.layers == PagePicture::Layers::All) {
            s.page = *pictures[i];
            if (marked)
                s.marks = marks;
        }
    }
    if (complete)
        *complete = all;
    return out;
}

void PreviewComposer::compose(const RenderedPages &pages, const QList<PreviewMark> &marks,
                              const DocumentInfo &doc, double scale, QImage &image1,
                              QImage &image2) {
    QString scratch;
    const QStringList backdrops = doc.backdrops();
    QList<QString> files;
    QList<QDateTime> modified;
    for (const QString &b : backdrops) {
        files << strFunGetDataFilePath(scratch, QStringLiteral("grafika/") + b);
        modified << QFileInfo(files.last()).lastModified();
    }
    QList<Composed> &composed = composedPictures();
    for (qsizetype i = 0; i < composed.size(); ++i) {
        const Composed &c = composed[i];
        if (c.backdrops == backdrops && qFuzzyCompare(c.scale, scale) && c.files == files &&
            c.modified == modified && c.marks == marks && c.page1 == pages.page1 &&
            (doc.sides < 2 || c.page2 == pages.page2) && !c.image1.isNull()) {
            image1 = c.image1;
            if (doc.sides > 1)
                image2 = c.image2;
            composed.move(i, 0);
            return;
        }
    }
    // The oldest kept picture would be dropped at the end: it goes now, and
    // its memory, when nobody else holds it, takes this one's copies.
    QImage spare[2];
    if (composed.size() >= kKeptComposed) {
        spare[0] = std::move(composed.last().image1);
        spare[1] = std::move(composed.last().image2);
        composed.removeLast();
    }
    bool complete = true;
    const std::array<PreviewSide, 2> made =
        sides(pages, marks, doc, scale, {image1, image2}, &complete);
    QImage *images[] = {&image1, &image2};
    for (int i = 0; i < doc.sides && i < 2; ++i) {
        const PreviewSide &s = made[size_t(i)];
        if (s.isNull())
            continue;
        *images[i] = s.page.isEmpty() && s.marks.isEmpty() ? s.base : s.image(std::move(spare[i]));
        spare[i] = QImage();
    }
    if (!complete)
        return;
    composed.prepend({backdrops, scale, pages.page1, doc.sides > 1 ? pages.page2 : PagePicture(),
                      marks, files, modified, image1, doc.sides > 1 ? image2 : QImage()});
    while (composed.size() > kKeptComposed)
        composed.removeLast();
}
