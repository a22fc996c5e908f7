#pragma once

#include "document/certfile.h"
#include "document/documents.h"

#include <QList>
#include <QPair>
#include <functional>

// The pupil's own data as the pupil dialog stores it.
// Whether a stored PESEL is the import's placeholder for a pupil without one
// ("_BRAK_1"): no number to print.
bool bFunIsPlaceholderPesel(const QString &pesel);

// A name as the pupil dialog stores it: blanks around and doubled inside go,
// and a small Latin first letter becomes a capital.
QString strFunTidyPupilName(const QString &name);

struct structPupilData {
    QString firstName, surname, gender, birthDay, birthYear, birthTown, certificateNumber, pesel;

    // Anything but "mężczyzna" counts as a girl, as the dialog's choice of two.
    bool isBoy() const;
    static structPupilData fromRecords(const SqlDataList &records);
};

// The fields of a document that show the pupil's data: the name, the "a" /
// "y" endings, the birth date and place, the certificate number, the PESEL
// and its digit boxes. current gives the document's own value of a field
// (a birthplace typed into a title page stays).
using FieldValues = QList<QPair<QString, QString>>;
FieldValues pupilCopiesFor(const DocumentInfo &doc, const structPupilData &pupil,
                           const std::function<QString(const QString &)> &current);

// What an emptied document holds before anything is typed ("ę" of the
// certificate's "promocji" ending).
FieldValues blankDefaultsFor(const DocumentInfo &doc);

// The fixed text of a form that depends on the document (the page number of
// a MEN-I/37/2 results page); otherwise the layout's own caption.
QString strFunFixedText(const DocumentInfo &doc, const QString &name, const QString &caption);
