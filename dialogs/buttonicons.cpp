#include "dialogs/buttonicons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// A triangle pointing along (dx, dy) with its tip at (x, y).
void arrowHead(QPainterPath &path, qreal x, qreal y, int dx, int dy) {
    const qreal len = 6, half = 4.5;
    const QPointF tip(x, y);
    const QPointF back(x - dx * len, y - dy * len);
    const QPointF across(-dy * half, dx * half);
    path.moveTo(tip);
    path.lineTo(back + across);
    path.lineTo(back - across);
    path.closeSubpath();
}

} // namespace

// Every picture is one of three shapes drawn along the x axis, turned.
QIcon buttonIcon(ButtonPicture picture, const QColor &color) {
    QPainterPath path;
    int degrees = 0;
    switch (picture) {
    case ButtonPicture::Up:
    case ButtonPicture::Down:
    case ButtonPicture::Left:
    case ButtonPicture::Right:
        arrowHead(path, 17, 10, 1, 0);
        path.addRect(3, 8, 8, 4);
        degrees = picture == ButtonPicture::Down   ? 90
                  : picture == ButtonPicture::Left ? 180
                  : picture == ButtonPicture::Up   ? 270
                                                   : 0;
        break;
    case ButtonPicture::Wider:
    case ButtonPicture::Taller:
        arrowHead(path, 1, 10, -1, 0);
        arrowHead(path, 19, 10, 1, 0);
        path.addRect(6, 9, 8, 2);
        degrees = picture == ButtonPicture::Taller ? 90 : 0;
        break;
    case ButtonPicture::Narrower:
    case ButtonPicture::Shorter:
        arrowHead(path, 9, 10, 1, 0);
        arrowHead(path, 11, 10, -1, 0);
        path.addRect(1, 9, 3, 2);
        path.addRect(16, 9, 3, 2);
        degrees = picture == ButtonPicture::Shorter ? 90 : 0;
        break;
    }
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(10, 10);
    p.rotate(degrees);
    p.translate(-10, -10);
    p.fillPath(path, color);
    return QIcon(pixmap);
}
