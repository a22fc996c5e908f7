#pragma once

#include "document/documents.h"
#include "document/fieldsource.h"
#include "printing/painters.h"

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QStringList>
#include <functional>

class QPainter;

// A field whose text does not fit where it prints: the preview marks it in
// red (the paper never shows the mark).
struct PreviewMark {
    int side = 1;
    QRect rect; // page units
    QString text;
    QString component; // the field
};

// Renders one filled-in document into the two page pictures, for the preview
// (over pictures of the blank form) or for paper.
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
    // Draws the document with the texts of the field source: for paper into
    // the page pictures only, for the preview also over the pictures of the
    // blank form. A failure is reported through ctx.report.
    void vFunRenderDocument(const FieldSource &source, const DocumentInfo &doc, bool printing);

private:
    struct Backdrop {
        QImage image;
        QDateTime modified;
        qint64 size = 0;
        QImage scaled; // at scaledBy
        double scaledBy = 1.0;
    };
    // A backdrop picture of the program folder, decoded once per version of the file.
    QImage backdrop(const QString &path, double scale);
    void drawRow(const FieldSource &source, const DocumentInfo &doc, const structCalibData &row);
    void drawText(const FieldSource &source, const structCalibData &row, int side);
    void drawMemoLine(const FieldSource &source, const structCalibData &row, int side);
    void report(const QString &caption, const QString &text, Prompts::Icon icon);
    // Notes where a bound field prints and whether its text fits there.
    void noteField(const QString &component, const structCalibData &row, int side,
                   const QString &text, bool memoRow);
    void collectMarks();
    void drawMarks(QPainter &painter, const QRectF &target, int side) const;

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
    QHash<QString, Backdrop> m_backdrops;
};

// A field's text as it prints: a stored tab is a blank, not words run together.
QString strFunPrintable(QString text);
// The one replay routine of the preview, the printer and a PDF: a page
// picture stretched into a rectangle of the device, whatever its resolution.
void vFunDrawPage(QPainter &painter, const PagePicture &page, const QRectF &target);
