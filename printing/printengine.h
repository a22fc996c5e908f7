#pragma once

#include "document/documents.h"
#include "document/fieldsource.h"
#include "printing/painters.h"
#include "printing/preview.h"
#include "printing/rendered.h"

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QStringList>
#include <functional>

class QPainter;

// Renders one filled-in document into the two page pictures, for the preview
// (over pictures of the blank form) or for paper. Each user (the main
// window, the calibration editor, whole-class printing, the command line)
// has an engine of its own.
class PrintEngine {
public:
    structPrintContext ctx;
    CalibList calibList;
    // The number of sides of the last rendering, for the print dialog.
    int sides = 1;
    // The preview images as last drawn (backdrop with the page over it).
    QImage image1, image2;
    // The preview's size against the backdrop pictures (1.0: 1031 x 1462).
    // The page is replayed at that size, so its text stays sharp.
    double previewScale = 1.0;
    // The fields of the last preview whose text does not fit.
    QList<PreviewMark> previewMarks;
    // The same of the last rendering, for paper too (the check before printing).
    QList<PreviewMark> overflows;
    // Shows the preview: both images and whether the second side exists.
    std::function<void(const QImage &, const QImage &, bool twoSides)> showPreview;

    PrintEngine();

    void vFunResetPages();
    // The options the engine draws with now (its context's).
    RenderOptions options() const;
    // Draws the document with these options and returns the pages; the
    // engine keeps them as its last rendering too.
    RenderedPages render(const FieldSource &source, const DocumentInfo &doc,
                         const RenderOptions &options);
    // The last rendering as a value.
    RenderedPages pages() const;
    // Draws the document with the texts of the field source: for paper into
    // the page pictures only, for the preview also over the pictures of the
    // blank form. A failure is reported through ctx.report.
    void vFunRenderDocument(const FieldSource &source, const DocumentInfo &doc, bool printing);

private:
    bool renderPages(const FieldSource &source, const DocumentInfo &doc, bool printing);
    void drawRow(const FieldSource &source, const DocumentInfo &doc, const structCalibData &row);
    void drawText(const FieldSource &source, const structCalibData &row, int side);
    void drawMemoLine(const FieldSource &source, const structCalibData &row, int side);
    void report(const QString &caption, const QString &text, Prompts::Icon icon);
    // Notes where a bound field prints and whether its text fits there.
    void noteField(const QString &component, const structCalibData &row, int side,
                   const QString &text, bool memoRow);
    void collectMarks();

    struct FieldSpan {
        int side = 1;
        QRect rect;
        int rows = 0;
        bool tooWide = false;
    };
    QHash<QString, FieldSpan> m_fields;
    QStringList m_fieldOrder;

    QString m_memo;
    QHash<QString, QStringList> m_memoLines; // each memo's lines, once per rendering
    int m_memoLine = 0;
    QString m_msg;
    bool m_ok = false;
    PreviewComposer m_preview;
};

// A field's text as it prints: a stored tab is a blank, not words run together.
QString strFunPrintable(QString text);
// The one replay routine of the preview, the printer and a PDF: a page
// picture stretched into a rectangle of the device, whatever its resolution.
void vFunDrawPage(QPainter &painter, const PagePicture &page, const QRectF &target);
