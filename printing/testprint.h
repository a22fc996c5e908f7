#pragma once

#include "document/documents.h"
#include "printing/calibstore.h"
#include "printing/pagepicture.h"
#include "printing/printjob.h"

#include <QString>

// A test print lays the print over a blank form: instead of a pupil's texts
// each side shows the outline of every variable field with its short name
// and a cross at each corner of the page (all placed by the margin set, like
// a real print), and millimetre scales drawn on the sheet itself, from which
// the teacher reads how far the print lies from the form's lines.

// The short name a field's outline carries: "ImieNazwisko", a memo's line
// "Zachowanie 03".
QString strFunTestFieldName(const QString &rowName);

// The test pages of a document from the calibration rows it prints with.
void vFunRenderTestPages(const CalibList &rows, const DocumentInfo &doc, PagePicture &page1,
                         PagePicture &page2);

// Scales along the top and the left edge of the sheet, a mark every
// millimetre from where the printer can print, labelled every 10 mm with the
// distance from the paper's edge; the caption near the bottom edge.
void vFunDrawScales(QPainter &painter, const structPaperArea &paper, const QString &caption);

// Sizes of the scales, in millimetres.
constexpr double kScaleTickWidth = 0.2;
constexpr double kScaleShortTick = 2.0; // every millimetre
constexpr double kScaleHalfTick = 3.5;  // every 5 mm
constexpr double kScaleLongTick = 5.0;  // every 10 mm, labelled
// The left scale starts below the top scale and its labels.
constexpr double kScaleTopBand = 9.0;
