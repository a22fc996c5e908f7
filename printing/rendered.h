#pragma once

#include "printing/calibstore.h"
#include "printing/pagepicture.h"

#include <QList>
#include <QRect>
#include <QString>

// A field whose text does not fit where it prints: the preview marks it in
// red (the paper never shows the mark).
struct PreviewMark {
    int side = 1;
    QRect rect; // page units
    QString text;
    QString component; // the field
    bool operator==(const PreviewMark &o) const {
        return side == o.side && rect == o.rect && text == o.text && component == o.component;
    }
};

// How a document is drawn: for paper or for the screen, and the options of
// the main window (or the calibration editor's choice).
struct RenderOptions {
    bool printing = false;
    bool withoutDots = false;      // "Wyłącz kropki"
    bool strikeEmptyFields = true; // "Wykresuj puste pola"
    bool clipTextFields = false;   // "Ogranicz pola tekstowe"
    bool calibrating = false;      // outlines of the layout's rows
    QString selectedObject;        // the row outlined in red while calibrating
};

// One rendering: what the preview shows and the printer prints. A value:
// whoever holds it prints exactly what was drawn for it.
struct RenderedPages {
    bool ok = false;
    int sides = 1;
    PagePicture page1, page2;
    // Fields whose text does not fit where it prints.
    QList<PreviewMark> overflows;
    // The calibration rows the pages were drawn with.
    CalibList rows;
};
