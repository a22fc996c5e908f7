#pragma once

#include "document/documents.h"
#include "printing/rendered.h"

#include <QImage>

#include <array>

class QPainter;

// The red marks of fields whose text does not fit, over a side drawn into target.
void vFunDrawPreviewMarks(QPainter &painter, const QList<PreviewMark> &marks, const QRectF &target,
                          int side);

// One side of a preview: the picture it goes over (the shared blank form
// with its dots, or a finished picture) and what is drawn over it. Nothing is
// copied: a window draws it as it paints, only the part it shows.
struct PreviewSide {
    QImage base;
    PagePicture page;
    PagePicture::Layers layers = PagePicture::Layers::WithoutDots;
    QRectF target;
    QList<PreviewMark> marks; // every side's; this side's are drawn
    int side = 1;

    bool isNull() const { return base.isNull(); }
    QSize size() const { return base.size(); }
    // Draws the part `exposed` (in the picture's pixels) at the painter's origin.
    void paint(QPainter &painter, const QRect &exposed) const;
    // The whole side as one colour picture, in spare's memory when nobody
    // else holds it.
    QImage image(QImage spare = QImage()) const;
};

// The screen's view of a rendering: its pages drawn over pictures of the
// blank form at a scale, with the fields that do not fit marked in red (the
// paper never shows the marks).
//
// The pictures of the blank form with a layout's dots drawn over them are
// the same for every pupil: they are made once per picture, scale and dots
// and shared by every composer of the program (a few at a time). A side
// draws the pupil's texts over one as it is painted; a finished picture
// copies it first.
class PreviewComposer {
public:
    // The sides of a rendering over the shared pictures of the blank form.
    // A side whose picture of the form cannot be read goes whole over
    // `previous` (what was shown there), and `complete` turns false.
    std::array<PreviewSide, 2> sides(const RenderedPages &pages, const QList<PreviewMark> &marks,
                                     const DocumentInfo &doc, double scale,
                                     const std::array<QImage, 2> &previous,
                                     bool *complete = nullptr);

    // Draws both sides into finished pictures image1 and image2 (the
    // calibration window's samples). A side whose picture of the blank form
    // cannot be read keeps what its image held.
    void compose(const RenderedPages &pages, const QList<PreviewMark> &marks,
                 const DocumentInfo &doc, double scale, QImage &image1, QImage &image2);

    // Forgets the shared pictures (tests, and after the files changed).
    static void clearSharedPictures();
};
