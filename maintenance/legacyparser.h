#pragma once

#include "document/certfile.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The class files of the older program (".br5"): plain text in code page
// 1250, lines ending in CR LF or LF, one block per pupil:
//
//   <DANE SWIADECTW DLA: Kowalski Jan>
//   <DANE UCZNIA SZKOLY PODSTAWOWEJ 1-3>
//   <Nazwisko_DATA_EDIT>Kowalski
//   </DANE UCZNIA SZKOLY PODSTAWOWEJ 1-3>
//   <SWIADECTWO UKONCZENIA KLASY 1 SZKOLY PODST.>
//   <ZMIENNA_Zachowanie_STR2_DATA_MEMO>first line
//   <ZMIENNA_Zachowanie_STR2_DATA_MEMO>second line
//   </SWIADECTWO UKONCZENIA KLASY 1 SZKOLY PODST.>
//   </KONIEC DANYCH SWIADECTW>
//
// Reading is kept apart from writing: the whole file is read into pupils
// first, and nothing here touches a database.

// Why a pupil cannot be stored under its own PESEL.
enum class PeselProblem {
    None,
    Missing, // no "Pesel_DATA_EDIT" field in the pupil data
    Empty,   // the field is there but holds nothing
    Taken,   // an earlier pupil of the file has the same table name
};

struct structLegacyPupil {
    QString displayName;   // from the block's start line
    SqlDataList pupilData; // id "DANE UCZNIA"
    SqlDataList documents; // every document, memo lines numbered
    bool hasPeselField = false;
    QString pesel; // value of the last "Pesel_DATA_EDIT" field
    // Set by vFunNameLegacyTables.
    QString table;
    PeselProblem problem = PeselProblem::None;
};
using LegacyPupilList = QList<structLegacyPupil>;

inline const char *const kPlaceholderTablePrefix = "PESEL_BRAK_";

// Appends every pupil block of the file. Never fails: text outside the
// blocks is skipped, and a damaged block ends at the next block's start, so
// one pupil's missing closing line does not swallow the pupils after it.
void vFunParseLegacyFile(const QByteArray &bytes, LegacyPupilList &pupils);

// Gives every pupil a table of its own: "PESEL" + its PESEL, or, when that
// cannot be had (no PESEL, an empty one, or one an earlier pupil took), a
// placeholder "PESEL_BRAK_1", "PESEL_BRAK_2", ... A placeholder pupil's PESEL
// field is set to the placeholder's tail, so that the program's rule "table =
// PESEL + the PESEL field" holds and saving the pupil from any editor writes
// back to its own table, never over another pupil.
void vFunNameLegacyTables(LegacyPupilList &pupils);
