#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One printed object of a layout: its rectangle on the 885 x 1314 page and
// the font that prints it.
struct structCalibData {
    QString name;
    int x1 = 0;
    int x2 = 0;
    int y1 = 0;
    int y2 = 0;
    QString font_name;
    int font_size = 0;
    int font_align = 0;
    int font_style_bold = 0;
    int font_style_italic = 0;
    int font_style_underline = 0;
    int font_style_strike = 0;
};
using CalibList = QList<structCalibData>;

// A named set of two paper rectangles, in millimetres.
struct structMarginData {
    QString name;
    int Page1X1 = 0, Page1Y1 = 0, Page1X2 = 0, Page1Y2 = 0;
    int Page2X1 = 0, Page2Y1 = 0, Page2X2 = 0, Page2Y2 = 0;
};
using MarginList = QList<structMarginData>;

bool bFunCalibLoadData(QString &msg, const QString &path, const QString &table, CalibList &list);
bool bFunSqlCalibUpdateValue(QString &msg, const QString &path, const QString &table,
                             const structCalibData &row);
bool bFunCalibLoadCertList(QString &msg, QStringList &tables);

bool bFunMarginReadData(QString &msg, const QString &path, MarginList &list);
bool bFunMarginWriteNewSettings(QString &msg, const QString &path, const structMarginData &set);
bool bFunMarginDeleteSettings(QString &msg, const QString &path, const QString &name);
bool bFunMarginRestoreOriginal(QString &msg, const QString &shippedPath,
                               const QString &workingPath);

// Moves the edges of one side's paper rectangle by whole millimetres (left,
// top, right, bottom), as the arrow and size buttons and the correction do.
// One rule for all of them: the print's top left corner stays on the A4 sheet
// (0-209 mm across, 0-296 mm down) and the rectangle keeps a width and a
// height; an edge already off the sheet may only come back. A move past that
// is refused, the set unchanged, and msg says how far it can go
// ("what" names the move: "przesunąć wydruku w górę", "poszerzyć wydruku").
bool bFunMoveSideEdges(QString &msg, structMarginData &edges, int side, int dLeft, int dTop,
                       int dRight, int dBottom, const QString &what);
