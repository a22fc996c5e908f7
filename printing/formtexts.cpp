#include "printing/formtexts.h"

#include "printing/pagefont.h"

#include <QPainter>

void vFunDrawFormTexts(QPainter &painter, const FormLayout &layout, int page,
                       const QRectF &target) {
    const LayoutPage &lp = layout.pages.value(page - 1);
    if (lp.width <= 0 || lp.height <= 0)
        return;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / lp.width, target.height() / lp.height);
    painter.setPen(QColor(60, 60, 60));
    for (const LayoutItem &i : layout.items) {
        if (i.page != page || (i.kind != QLatin1String("label") && i.kind != QLatin1String("dots")))
            continue;
        QFont font = pageFont(i.fontFace);
        font.setPixelSize(std::max(1, i.fontSize));
        font.setBold(i.fontStyle.contains(QLatin1String("bold")));
        font.setItalic(i.fontStyle.contains(QLatin1String("italic")));
        painter.setFont(font);
        painter.drawText(QRectF(i.left, i.top, 2000, 200), Qt::AlignLeft | Qt::AlignTop, i.text);
    }
    painter.restore();
}
