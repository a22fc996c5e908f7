#pragma once

#include <QFont>
#include <QString>

// The font of text on a page, for a face a layout or calibration names. Its
// hinting is fixed (vertical only, what Debian's fontconfig gives), so a word
// is as wide on every system and lands where it does on Linux: Qt's own
// default on Windows hints fully and rounds each advance.
QFont pageFont(const QString &face);
