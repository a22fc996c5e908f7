#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Every document a pupil has, in one table: where it stands in the tree,
// which window edits it, what its records are called in the class file,
// which form layout draws it, how many sides it prints and which
// calibration table and preview backdrops belong to it. The tree, the
// editors, the print engine, the data build and the tests all read it here.

enum class DocumentKind {
    PupilData,   // the pupil dialog: not a printed document
    Certificate, // MEN-I/1/2, two sides, printed onto a blank form
    Report,      // the parent-meeting report
    TitlePage,   // record-sheet title page, printed whole
    ResultsPage, // record-sheet yearly results page, printed whole
};

struct DocumentInfo {
    const char *label;      // the tree's text (UTF-8); empty for the pupil data
    const char *className;  // the editor window
    const char *caption;    // the editor's caption (UTF-8)
    const char *documentId; // the `id` of its records
    DocumentKind kind;
    const char *layout;  // form layout (data/layouts/<layout>.layout)
    const char *variant; // layout rows of a variant: "a" MEN-I/37/2, "b" MEN-I/37b/2
    int page;            // a MEN-I/37/2 page number
    int grade;           // a certificate's grade, or a MEN-I/37b/2 grade page's
    int sides;
    const char *calibTable;       // the rows it prints with
    const char *calibTableNoDots; // ... when "Wyłącz kropki" is on
    const char *backdrop1;        // preview pictures of the blank form
    const char *backdrop2;

    QString labelText() const { return QString::fromUtf8(label); }
    QString id() const { return QString::fromUtf8(documentId); }
    QString calibrationTable(bool withoutDots) const {
        return QString::fromLatin1(withoutDots ? calibTableNoDots : calibTable);
    }
    QStringList backdrops() const;
    bool isCertificate() const { return kind == DocumentKind::Certificate; }
};

// The pupil data and the thirteen documents, in the order in which a pupil's
// record is saved and loaded (the pupil data first).
const QList<DocumentInfo> &documentTable();

// The fifteen rows under every pupil in the tree: documents, and spacers
// (null) between the groups.
const QList<const DocumentInfo *> &treeRows();

const DocumentInfo *documentByLabel(const QString &label);
const DocumentInfo *documentByClass(const QString &className);
const DocumentInfo &pupilDataDocument();

// A printed form as the data build draws it: one calibration table.
struct PrintedForm {
    const char *calibTable;
    const char *layout;
    const char *variant;
    const char *font; // face of the printed fields
    int fieldSize;    // points
    bool labels;      // the page is printed whole: fixed texts too
    bool dots;        // dotted lines under the fields
    bool frames;      // frames around the parts of the page
    bool marks;       // emblem and stamp place
};
const QList<PrintedForm> &printedForms();
