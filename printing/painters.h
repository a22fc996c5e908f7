#pragma once

#include "printing/calibstore.h"

#include <QPicture>
#include <QString>
#include <functional>

class QPainter;

// What the painters read besides the row: the options of the main window,
// the printing and calibrating flags, and, while calibrating, the selected
// object and a way to bring it into view in the preview.
struct structPrintContext {
    QString *msg = nullptr;
    QPicture page1;
    QPicture page2;
    QPainter *surface1 = nullptr;
    QPainter *surface2 = nullptr;
    bool calibrating = false;

    bool printing = false;
    bool printWithoutDots = false; // "Wyłącz kropki"
    bool strikeEmptyFields = true; // "Wykresuj puste pola"
    bool clipTextFields = false;   // "Ogranicz pola tekstowe"
    QString selectedObject;        // the calibration editor's choice
    // Called before an outline: the tab to show (-1: leave) and the vertical
    // positions of the two scroll boxes (-1: leave).
    std::function<void(int tab, int scroll1, int scroll2)> bringIntoView;
};

// Page units: 885 x 1314, text measured at 96 units per inch.
constexpr int kPageWidth = 885;
constexpr int kPageHeight = 1314;
// The pixel size of a font of this many points on the page.
int iFunPointsToUnits(int points);

// The width of a text as the text painter draws it in a row's font, in page units.
int iFunTextFieldWidth(const structCalibData &row, const QString &text);

void vFunDrawTextField(structPrintContext &ctx, const QString &text, const structCalibData &row,
                       QPainter *surface, int side, const QString &objectName);
void vFunDrawJustifiedText(structPrintContext &ctx, QPainter *surface, int left, int top, int right,
                           int bottom, const QString &text);
void vFunDrawDottedLine(structPrintContext &ctx, const structCalibData &row, QPainter *surface,
                        int side, const QString &rowName);
// kind 0: the emblem, 1: the stamp place with "m.p."; drawn only when printing.
void vFunGraphicDrawMark(structPrintContext &ctx, int kind, const structCalibData &row,
                         QPainter *surface, const QString &rowName);
void vFunDrawFrame(structPrintContext &ctx, QPainter *surface, const structCalibData &row);
