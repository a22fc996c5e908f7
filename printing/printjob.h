#pragma once

#include "printing/calibstore.h"
#include "printing/pagepicture.h"

#include <QList>
#include <QMarginsF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>

class QPagedPaintDevice;
class QPainter;

// Putting the rendered page pictures on paper or into a PDF file, without
// windows. Every page goes through the one replay routine (vFunDrawPage).

// A rectangle of device dots, edges as the margin sets give them.
struct structDeviceRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    QRectF rect() const { return QRectF(left, top, right - left, bottom - top); }
};

// Millimetres measured from the paper's corner to dots of a device whose
// painter starts at its printable area (offX, offY dots from the paper's
// corner): whole dots, the fraction dropped.
structDeviceRect rectFunDeviceRect(int leftMm, int topMm, int rightMm, int bottomMm, int dpiX,
                                   int dpiY, int offX, int offY);

// A sheet as the painter of its device sees it, for what is drawn in
// millimetres of the paper rather than stretched with the page.
struct structPaperArea {
    QPointF corner; // the paper's top left corner, in device dots
    double dotsPerMmX = 0, dotsPerMmY = 0;
    QRectF printable; // where the printer can print, mm from the paper's corner
    int side = 1;
};
// Drawn on a sheet after its page (the scales of a test print).
using PaperOverlay = std::function<void(QPainter &, const structPaperArea &)>;

// One side of the sheet: a page picture and the paper rectangle, in
// millimetres, into which it is stretched.
struct structSheet {
    const PagePicture *page = nullptr;
    int left = 0, top = 0, right = 0, bottom = 0;
    int side = 1;
    PaperOverlay overlay = {};
    QMarginsF unprintable = {}; // mm along each edge that the printer cannot reach
};

// Called before sheet i is drawn; false stops the drawing (cancelled).
using SheetStep = std::function<bool(int sheet)>;

// Draws the sheets on a paged device that is set up (a PDF writer or a
// printer, its painter starting at the paper's corner or at its printable
// area), one page each. where names it in a message. False with the message
// filled when it cannot start; false with the message empty when step
// stopped it.
bool bFunDrawSheets(QString &msg, QPagedPaintDevice &device, const QString &where,
                    const QList<structSheet> &sheets, const SheetStep &step = {});

// Turns a page picture by 180 degrees: a point (x, y) of the standard page
// goes to (879 - x, 1299 - y).
void vFunRotateSecondPage(PagePicture &page);

enum class Duplex { Off, LongEdge, ShortEdge };

struct structPrintOrder {
    QString printer; // a spooler queue; empty when printing into pdfFile
    QString pdfFile;
    QString title;
    int sides = 1;
    Duplex duplex = Duplex::Off; // only for a printer that prints both sides
    bool rotateSecondPage = false;
    structMarginData margins;
    PaperOverlay overlay; // drawn on every sheet in paper millimetres
    // Class files a PDF must never replace (the open one, the one printed
    // from), besides every database and every file of the program's folders.
    QStringList protectedFiles;
};

// Why a PDF may not be written to this path, or the empty text when it may:
// it is a folder, one of the class files, a file of the program folder or of
// the installation folder (the working copy, settings, calibration) or any
// SQLite database, however it is named (links followed, relative paths
// resolved).
QString strFunPdfTargetRefusal(const QString &target, const QStringList &classFiles);

struct structPrintResult {
    QList<int> jobIds;      // as the spooler numbered them
    QString spoolerMessage; // the spooler's last answer on a refusal
    bool held = false;      // the queue is stopped: the jobs wait in it
};

// Prints one rendered document: on a two-sided printer with duplex in one
// job of two pages; a one-sided document in one job; a two-sided document
// otherwise in two jobs with turnOver() between them (false stops before the
// second: false with the message empty, result naming the job sent); into a
// PDF file as one file of all pages. Fails (message filled, logged) when the
// spooler refuses a job or the file cannot be written; never reports that as
// printed.
bool bFunPrintDocument(QString &msg, const structPrintOrder &order, const PagePicture &page1,
                       const PagePicture &page2, const std::function<bool()> &turnOver,
                       structPrintResult &result);

// Removes jobs from a printer's queue (a print stopped halfway); false with
// the spooler's reason when one could not be removed.
bool bFunCancelJobs(QString &msg, const QString &printer, const QList<int> &jobIds);

// One job for the spooler: its sheets in order and how it prints them.
struct structPrintJob {
    QList<structSheet> sheets;
    Duplex duplex = Duplex::Off;
};

// What a run of several jobs reports as it goes: before job j (j > 0) is
// sent, between(j) may stop the run; before each sheet, step(job, sheet).
struct structJobCallbacks {
    std::function<bool(int job)> between;
    std::function<bool(int job, int sheet)> step;
};

// Prints the jobs in order, each one job of the spooler; into a PDF file
// every job's sheets go into one file, replaced whole or not at all. fun
// names the operation in the log. False with the message filled on a
// failure; false with cancelled set (and the message empty) when a callback
// stopped it: nothing more is sent, and no PDF file is written.
bool bFunPrintJobs(QString &msg, const structPrintOrder &order, const QList<structPrintJob> &jobs,
                   const structJobCallbacks &callbacks, const char *fun, structPrintResult &result,
                   bool &cancelled);

// Whether the spooler knows the printer and takes jobs; stopped tells that
// it holds them. The failure is logged under the print dialog's printer set-up.
bool bFunCheckPrinter(QString &msg, const QString &printer, bool &stopped);

// Whether the spooler's printer can print on both sides of the sheet.
bool bFunCanPrintTwoSided(const QString &printer);

// The edges of A4 paper, in millimetres, that the printer cannot reach
// (as its driver states them; none when it states nothing).
QMarginsF marginsFunUnprintable(const QString &printer);

// The file name proposed for a document printed into PDF, e.g.
// "Agrest Ewa - MEN-I-1-2 klasa 1.pdf".
QString strFunPdfFileName(const QString &pupil, const QString &documentLabel);
