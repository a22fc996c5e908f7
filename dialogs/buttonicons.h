#pragma once

#include <QColor>
#include <QIcon>

// The pictures of the small moving and sizing buttons of the print dialog
// and the calibration editor: arrows and pairs of arrows.
enum class ButtonPicture { Up, Down, Left, Right, Wider, Narrower, Taller, Shorter };

QIcon buttonIcon(ButtonPicture picture, const QColor &color);
