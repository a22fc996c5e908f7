#pragma once

#include "document/certfile.h"
#include "document/documents.h"
#include "printing/printcheck.h"
#include "printing/printjob.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// One document for every chosen pupil of a class, without windows: each
// pupil's records read from the class file, rendered for paper, and put on
// paper in the order the sheets need, or into one PDF file. The window and
// the command line both print through here.

// The three print options of the main window.
struct structRenderOptions {
    bool printWithoutDots = false; // "Wyłącz kropki"
    bool strikeEmptyFields = true; // "Wykresuj puste pola"
    bool clipTextFields = false;   // "Ogranicz pola tekstowe"
};

// A pupil's document rendered for paper.
struct structPupilPages {
    QString pupil; // as the tree shows the pupil
    PagePicture page1, page2;
};

// A pupil left out, and why.
struct structPupilFailure {
    QString pupil;
    QString reason;
};

// The jobs of a whole class and, per job, whose sheet each one is.
struct structClassJobs {
    QList<structPrintJob> jobs;
    QList<QStringList> pupils;
};

// The order of the sheets on paper (order.sides, order.printer,
// order.duplex and the margins decide):
// - into a PDF file, or on a printer printing both sides: one job, pupil
//   after pupil, side 1 then side 2;
// - a one-sided document: one job, pupil after pupil;
// - a two-sided document otherwise: one job of every front, then one job of
//   every back, in the order of the fronts so that the backs land on their
//   own fronts when the printed stack is turned over and put back; with
//   reverseBacks in the opposite order, for printers that stack the other way.
// The sheets point into pages, which must outlive the result.
structClassJobs structFunClassJobs(const structPrintOrder &order,
                                   const QList<structPupilPages> &pages, bool reverseBacks);

struct structClassRequest {
    QString classFile; // read only
    const DocumentInfo *document = nullptr;
    StudentList pupils; // in the order they print; names as shown to the user
    structRenderOptions options;
    structPrintOrder order;
    bool reverseBacks = false;
};

struct structClassCallbacks {
    // Before each pupil is rendered and before each sheet is drawn: the
    // step done so far, the steps in all, and the pupil. False cancels.
    std::function<bool(int done, int total, const QString &pupil)> progress;
    // Between the fronts and the backs of a printer without duplex: the
    // stack is put back into the tray. False stops before the backs.
    std::function<bool()> turnOver;
};

struct structClassOutcome {
    structPrintResult print;
    QList<structPrintFinding> findings; // what came out wrong, printed all the same
    QList<structPupilFailure> failures; // pupils left out
    QStringList notices;                // what the renderer said, each once
    int pupilsPrinted = 0;
    int pages = 0;
    bool cancelled = false;
};

// Renders the document of every pupil of the request and prints it. A pupil
// whose records cannot be read is left out and named in the outcome; the
// others print. False with the message filled when nothing could be printed
// (calibration, printer, file, no pupil readable); false with cancelled set
// (message empty) when a callback stopped it. Logged under
// "bFunPrintClass()".
bool bFunPrintClass(QString &msg, const structClassRequest &request,
                    const structClassCallbacks &callbacks, structClassOutcome &outcome);

// What would print wrong for the pupils of the request (the check before
// printing a class; it prints nothing).
QList<structPrintFinding> listFunCheckClass(const structClassRequest &request);

// The check of one stored document: rendered for paper with the options,
// then listFunCheckDocument. The whole-class print and the class check
// both use it.
QList<structPrintFinding> listFunCheckStored(const QString &pupil, const DocumentInfo &doc,
                                             const SqlDataList &records,
                                             const structRenderOptions &options);

// The class check: a pupil's document is not started, filled, or would
// print wrong.
enum class DocumentState { NotStarted, Filled, PrintsWrong };

struct structCheckCell {
    const DocumentInfo *document = nullptr;
    DocumentState state = DocumentState::NotStarted;
    QList<structPrintFinding> findings; // of a started document
};

struct structCheckRow {
    structStudentEntry pupil;
    QString unreadable;           // why the pupil's records could not be read; no cells then
    QList<structCheckCell> cells; // one per document of the tree, in its order
};

// Every pupil (in the given order) against every document of the tree.
QList<structCheckRow> listFunCheckClassTable(const QString &classFile, const StudentList &pupils,
                                             const structRenderOptions &options);
