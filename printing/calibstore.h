#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "storage/paths.h"

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

// The calibration file "bruma_kalibracja.sqset": one table per layout, a row
// per printed object.
class CalibrationStore {
public:
    // The working file of the program folder, the original of the
    // installation folder.
    static CalibrationStore inProgramFolder();
    explicit CalibrationStore(const DataFilePath &working,
                              const DataFilePath &shipped = DataFilePath())
        : m_working(working), m_shipped(shipped) {}

    const QString &path() const { return m_working.path(); }
    // The layouts (tables) of the file; a missing file is made empty.
    bool layouts(QString &msg, QStringList &tables) const;
    // Every row of the layout, in table order; the list is kept on failure.
    bool load(QString &msg, const QString &table, CalibList &list) const;
    // Rewrites every row of the row's name; a name without a row fails.
    bool update(QString &msg, const QString &table, const structCalibData &row) const;
    // Puts the original file in place of the working one, whole or not at
    // all; the failure is logged and its message names both files.
    bool restoreOriginal(QString &msg) const;

private:
    bool readLayout(QString &msg, const QString &table, CalibList &list) const;

    DataFilePath m_working;
    DataFilePath m_shipped;
};

// The margin sets: the table `margin` of the settings file.
class MarginSetStore {
public:
    // The settings file of the program folder, its original in the
    // installation folder.
    static MarginSetStore inProgramFolder();
    explicit MarginSetStore(const DataFilePath &working,
                            const DataFilePath &shipped = DataFilePath())
        : m_working(working), m_shipped(shipped) {}

    const QString &path() const { return m_working.path(); }
    // Every set in stored order; of two sets of one name the later counts.
    bool read(QString &msg, MarginList &list) const;
    bool add(QString &msg, const structMarginData &set) const;
    // Removes every set of the name; none of it is a failure.
    bool remove(QString &msg, const QString &name) const;
    // The original sets replace the working ones in one transaction.
    bool restoreOriginal(QString &msg) const;

private:
    DataFilePath m_working;
    DataFilePath m_shipped;
};

// The same operations through paths.
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
