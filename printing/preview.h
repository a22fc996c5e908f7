#pragma once

#include "document/documents.h"
#include "printing/rendered.h"

#include <QImage>

class QPainter;

// The red marks of fields whose text does not fit, over a side drawn into target.
void vFunDrawPreviewMarks(QPainter &painter, const QList<PreviewMark> &marks, const QRectF &target,
                          int side);

// The screen's view of a rendering: its pages drawn over pictures of the
// blank form at a scale, with the fields that do not fit marked in red (the
// paper never shows the marks).
//
// The pictures of the blank form with a layout's dots drawn over them are
// the same for every pupil: they are made once per picture, scale and dots
// and shared by every composer of the program (a few at a time), and each
// composition only copies one and draws the pupil's texts over it.
class PreviewComposer {
public:
    // Draws both sides into image1 and image2. A side whose picture of the
    // blank form cannot be read keeps what its image held.
    void compose(const RenderedPages &pages, const QList<PreviewMark> &marks,
                 const DocumentInfo &doc, double scale, QImage &image1, QImage &image2);

    // Forgets the shared pictures (tests, and after the files changed).
    static void clearSharedPictures();
};
