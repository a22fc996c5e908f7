#pragma once

#include "document/certfile.h"
#include "document/classsession.h"
#include "document/documents.h"

#include <QHash>
#include <QList>
#include <QString>

// Fields that are the same for every pupil of a class (school year, class,
// school, place and date of issue) and the certificate numbers, written into
// every pupil's records at once through the class session: the class then
// has unsaved changes and her file changes only at "Zapisz".

struct structFillField {
    QString id;           // the records' id: the document's, or the pupil data's
    QString component;    // the field's name in the records
    QString caption;      // what the form calls it
    QString fromTemplate; // its value in the school template
};

// The shared fields of a document, in the order of its form, with their
// values in the school template's records.
QList<structFillField> listFunClassFields(const DocumentInfo &doc,
                                          const SqlDataList &schoolTemplate);
// The certificate number (the pupil's data: every certificate prints it).
structFillField structFunCertificateNumberField();

// The number of the pupil step places after first: the first run of digits
// counts up keeping its width, the rest stays ("12/2027", 1 -> "13/2027";
// "009" -> "010"). Empty when first has no digits.
QString strFunSequenceNumber(const QString &first, int step);

struct structFillRequest {
    QList<QPair<structFillField, QString>> values; // an empty value is left out
    bool numbers = false;
    QString firstNumber;    // of the first pupil in the tree's order
    bool overwrite = false; // also fields that hold a value
};

struct structFillChange {
    QString pupil; // as the tree names the pupil
    QString table;
    structFillField field;
    QString oldValue;
    QString newValue;
};

// Every pupil's records read from a class file (a pupil that cannot be read
// is named in unreadable and left out).
QHash<QString, SqlDataList> hashFunClassRecords(const QString &classFile, const StudentList &pupils,
                                                QStringList *unreadable = nullptr);

// What the request changes, pupil after pupil in the given (tree) order. The
// n-th pupil's number is the n-th of the sequence, whether or not it changes,
// so that a skipped pupil keeps its place.
QList<structFillChange> listFunPlanClassFill(const StudentList &pupils,
                                             const QHash<QString, SqlDataList> &records,
                                             const structFillRequest &request);

// A pupil's records with the changes of its table: a value replaced where it
// stands, a missing field added at the end; every other row as it was.
SqlDataList listFunWithChanges(const SqlDataList &records, const QList<structFillChange> &changes);

// Writes the changes pupil by pupil through the session (each pupil in one
// transaction, read afresh from the working copy). Stops at the first pupil
// that fails; the outcome says which.
ClassFileOutcome applyClassFill(ClassSession &session, const QList<structFillChange> &changes);
