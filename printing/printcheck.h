#pragma once

#include "document/certfile.h"
#include "document/documents.h"
#include "printing/printengine.h"

#include <QList>
#include <QString>

// What would come out wrong on a numbered form, said before it is printed:
// one check for the print dialog, whole-class printing and the command line.
struct structPrintFinding {
    QString pupil;     // as the tree shows the pupil
    QString document;  // the document's label
    QString field;     // what the form calls the field; empty: the whole document
    QString problem;   // in plain Polish
    QString component; // the field's name in the records, where there is one
    // "Nowak Jan – MEN-I/1/2 świad. klasa 1 – zachowanie: …"
    QString text() const;
};

// Whether a document holds anything of its own: a value typed into it, not
// what it takes from the pupil's data nor the default of an emptied one.
bool bFunDocumentStarted(const DocumentInfo &doc, const SqlDataList &records);

// The findings of a pupil's document just rendered for paper by the engine:
// text over its field (more lines than rows, a line wider than its field),
// a document with nothing stored, a pupil without a PESEL (its boxes stay
// empty), a started certificate without its number or date of issue.
QList<structPrintFinding> listFunCheckDocument(const QString &pupil, const DocumentInfo &doc,
                                               const SqlDataList &records,
                                               const QList<PreviewMark> &overflows);

// The findings as one text: a line each, and what to do.
QString strFunFindingsText(const QList<structPrintFinding> &findings);
