#include "app/previewpage.h"

#include <QPaintEvent>
#include <QPainter>

PreviewPage::PreviewPage(QWidget *parent) : QWidget(parent) {
    // Every shown pixel is drawn here: nothing behind it needs painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewPage::setSide(PreviewSide side) {
    m_side = std::move(side);
    update();
}

void PreviewPage::clear() {
    m_side = PreviewSide();
    update();
}

void PreviewPage::setStretched(bool on) {
    m_stretched = on;
    update();
}

QSize PreviewPage::sizeHint() const {
    return m_side.isNull() ? QSize(0, 0) : m_side.size();
}

void PreviewPage::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    const QRect area = event->rect();
    const QSize drawn = m_side.size();
    if (m_side.isNull() || drawn.isEmpty()) {
        painter.fillRect(area, palette().window());
        return;
    }
    if (m_stretched && size() != drawn) {
        // A zoom in progress: the picture follows, smoothly scaled, until the
        // side is drawn again at the settled size.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.scale(double(width()) / drawn.width(), double(height()) / drawn.height());
        const QRect exposed = painter.transform()
                                  .inverted()
                                  .mapRect(QRectF(area))
                                  .toAlignedRect()
                                  .intersected(QRect(QPoint(0, 0), drawn));
        m_side.paint(painter, exposed);
        return;
    }
    const QRect exposed = area.intersected(QRect(QPoint(0, 0), drawn));
    if (exposed != area) {
        QRegion outside(area);
        outside -= exposed;
        for (const QRect &r : outside)
            painter.fillRect(r, palette().window());
    }
    if (!exposed.isEmpty())
        m_side.paint(painter, exposed);
}
