#pragma once

#include "document/formlayout.h"

#include <QRectF>

class QPainter;

// The fixed texts of one side of a form as the blank form carries them: the
// layout's labels and signature lines, scaled from the layout's page onto a
// rectangle. The preview backdrops of the pre-printed forms are drawn with it.
void vFunDrawFormTexts(QPainter &painter, const FormLayout &layout, int page, const QRectF &target);
