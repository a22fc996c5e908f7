#pragma once

#include "printing/painters.h"

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QStringList>
#include <functional>

class QWidget;

// A field whose text does not fit where it prints: the preview marks it in
// red (the paper never shows the mark).
struct PreviewMark {
    int side = 1;
    QRect rect; // page units
    QString text;
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
    // The fields of the last preview whose text does not fit.
    QList<PreviewMark> previewMarks;
    // Shows the preview: both images and whether the second side exists.
    std::function<void(const QImage &, const QImage &, bool twoSides)> showPreview;

    PrintEngine();

    void vFunResetPages();
    // editor: the window whose components hold the texts; type 0-5.
    void vFunRenderDocument(const QWidget *editor, bool printing, int type, int sides);

    // The calibration table of a document type (empty for an unknown type).
    static QString strFunCalibTable(int type, bool printWithoutDots);
    // The backdrop files of a document type, side 1 and side 2.
    static QStringList backdropFiles(int type);

private:
    struct Backdrop {
        QImage image;
        QDateTime modified;
        qint64 size = 0;
    };
    // A backdrop picture of the program folder, decoded once per version of the file.
    QImage backdrop(const QString &path);
    void drawRow(const QWidget *editor, int type, const structCalibData &row);
    void drawText(const QWidget *editor, const structCalibData &row, int side);
    void drawMemoLine(const QWidget *editor, const structCalibData &row, int side);
    void closeSurfaces();
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

    QPainter *m_painter1 = nullptr;
    QPainter *m_painter2 = nullptr;
    QString m_memo;
    QHash<QString, QStringList> m_memoLines; // each memo's lines, once per rendering
    int m_memoLine = 0;
    QString m_msg;
    QHash<QString, Backdrop> m_backdrops;
};

// The text of an editor component as it prints: a label's caption, an edit's
// or drop-down's text, or (index >= 0) a memo's displayed line.
QString strFunComponentText(const QWidget *component, int line = -1);
// All lines of a component (a memo's displayed lines; one line otherwise).
QStringList strFunComponentLines(const QWidget *component);
// Replays a page picture stretched into a rectangle of a device (image,
// printer or PDF), whatever the device's resolution.
void vFunDrawPage(QPainter &painter, const QPicture &page, const QRectF &target);
