#include "printing/preview.h"

#include "printing/printengine.h"
#include "storage/paths.h"

#include <QFileInfo>
#include <QPainter>

namespace {

void drawMarks(QPainter &painter, const QList<PreviewMark> &marks, const QRectF &target, int side) {
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

} // namespace

void PreviewComposer::compose(const RenderedPages &pages, const QList<PreviewMark> &marks,
                              const DocumentInfo &doc, double scale, QImage &image1,
                              QImage &image2) {
    QString scratch;
    const QStringList backdrops = doc.backdrops();
    QImage *images[] = {&image1, &image2};
    for (int i = 0; i < backdrops.size() && i < 2; ++i) {
        const QString file =
            strFunGetDataFilePath(scratch, QStringLiteral("grafika/") + backdrops[i]);
        const QImage loaded = backdrop(file, scale);
        if (!loaded.isNull())
            *images[i] = loaded;
    }
    // The pages are drawn straight over copies of the blank form's pictures.
    const QRectF target(QPointF(74, 74) * scale, QPointF(957, 1388) * scale);
    for (int i = 0; i < doc.sides && i < 2; ++i) {
        if (images[i]->isNull())
            continue;
        QPainter painter(images[i]);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        vFunDrawPage(painter, i == 0 ? pages.page1 : pages.page2, target);
        drawMarks(painter, marks, target, i + 1);
    }
}

QImage PreviewComposer::backdrop(const QString &path, double scale) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return QImage();
    // Decoding a page-sized bitmap costs more than drawing the page: keep it
    // while the file stays the same.
    Backdrop &cached = m_backdrops[path];
    if (cached.modified != info.lastModified() || cached.size != info.size() ||
        cached.image.isNull()) {
        QImage loaded;
        if (!loaded.load(path))
            return QImage();
        cached = {loaded.convertToFormat(QImage::Format_RGB32), info.lastModified(), info.size(),
                  QImage(), 1.0};
    }
    if (qFuzzyCompare(scale, 1.0))
        return cached.image;
    if (cached.scaled.isNull() || !qFuzzyCompare(cached.scaledBy, scale)) {
        cached.scaled = cached.image.scaled(cached.image.size() * scale, Qt::IgnoreAspectRatio,
                                            Qt::SmoothTransformation);
        cached.scaledBy = scale;
    }
    return cached.scaled;
}
