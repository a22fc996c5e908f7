#pragma once

#include "document/prompts.h"
#include "printing/calibstore.h"
#include "printing/pagepicture.h"

#include <QString>
#include <functional>

// What the painters read besides the row: the options of the main window,
// the printing and calibrating flags, and, while calibrating, the selected
// object and a way to bring it into view in the preview.
struct structPrintContext {
    QString *msg = nullptr;
    PagePicture page1;
    PagePicture page2;
    PagePicture *surface1 = nullptr;
    PagePicture *surface2 = nullptr;
    bool calibrating = false;

    bool printing = false;
    bool printWithoutDots = false; // "Wyłącz kropki"
    bool strikeEmptyFields = true; // "Wykresuj puste pola"
    bool clipTextFields = false;   // "Ogranicz pola tekstowe"
    QString selectedObject;        // the calibration editor's choice
    // Called before an outline: the tab to show (-1: leave) and the vertical
    // positions of the two scroll boxes (-1: leave).
    std::function<void(int tab, int scroll1, int scroll2)> bringIntoView;
    // A failure for the user (the renderer shows nothing itself): the caller
    // shows it as a message with this caption and icon.
    std::function<void(const QString &caption, const QString &text, Prompts::Icon icon)> report;
};
// How far above a dotted row's line y2 its dots are centred, in page units.
constexpr int kDotsCentreAbove = 3;

// The pixel size of a font of this many points on the page.
int iFunPointsToUnits(int points);

// Where the text painter puts the baseline of a text's first line in a row:
// the text's cell ends font_size / 4 units above the row's line y2.
qreal rFunTextBaseline(const structCalibData &row);

// The width of a text as the text painter draws it in a row's font, in page units.
int iFunTextFieldWidth(const structCalibData &row, const QString &text);

void vFunDrawTextField(structPrintContext &ctx, const QString &text, const structCalibData &row,
                       PagePicture *surface, int side, const QString &objectName);
void vFunDrawJustifiedText(structPrintContext &ctx, PagePicture *surface, int left, int top,
                           int right, int bottom, const QString &text);
void vFunDrawDottedLine(structPrintContext &ctx, const structCalibData &row, PagePicture *surface,
                        int side, const QString &rowName);
// kind 0: the emblem, 1: the stamp place with "m.p."; drawn only when printing.
void vFunGraphicDrawMark(structPrintContext &ctx, int kind, const structCalibData &row,
                         PagePicture *surface, const QString &rowName);
void vFunDrawFrame(structPrintContext &ctx, PagePicture *surface, const structCalibData &row);
