#pragma once

#include "document/certfile.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// A list of pupils as e-registers and spreadsheets export it (CSV or TSV)
// read into the pupil dialog's fields.

// A table read from a list file: the header row and the rows under it.
struct structPupilListTable {
    QStringList header;
    QList<QStringList> rows;
    QList<int> lines; // the file's line on which each row starts (1: the header)
    QChar separator;  // ';', ',' or '\t'
    bool cp1250 = false;
    bool utf16 = false;
};

// The bytes decoded (UTF-8 with or without its BOM, UTF-16 with its BOM,
// otherwise code page 1250), the separator found by what splits the header row alike in the rows
// under it, the fields split as RFC 4180 quotes them (separators, doubled
// quotes and line breaks inside quotes), CRLF or LF, empty lines skipped.
structPupilListTable pupilListFromBytes(const QByteArray &bytes);

// What a column of the list holds, by the pupil dialog's fields.
enum class ListColumn {
    Ignored,
    Surname,
    FirstName,
    Pesel,
    BirthDate, // the dialog's day and month, and year
    BirthTown,
    Province,
    Gender,
    Number, // "nr ucznia na świadectwie", the register's number
};
inline constexpr ListColumn kListColumns[] = {
    ListColumn::Ignored,  ListColumn::Surname,   ListColumn::FirstName,
    ListColumn::Pesel,    ListColumn::BirthDate, ListColumn::BirthTown,
    ListColumn::Province, ListColumn::Gender,    ListColumn::Number};
// How the choice of a column is named to her.
QString strFunListColumnLabel(ListColumn column);

// The columns matched by their headers (case, Polish letters, blanks and
// dots aside; "Imiona", "Data ur.", "Nr w dzienniku"…); a column matched
// twice counts once, the first time.
QList<ListColumn> listColumnsFromHeader(const QStringList &header);

// A birth date as lists write it: "2017-03-05", "05.03.2017", "5.3.2017",
// "05/03/2017", "5 marca 2017", a time of day after it; an invalid date otherwise.
QDate dateFromListText(const QString &text);

// "kobieta" / "mężczyzna" from what a list writes ("K", "M", "dziewczynka",
// "chłopiec"…); empty when it says neither.
QString strFunGenderFromListText(const QString &text);

// One row of the list as the pupil dialog would hold it.
struct structListPupil {
    int line = 0;            // the file's line
    SqlDataList records;     // the pupil dialog's fields ("DANE UCZNIA")
    QString pesel;           // empty: none in the list
    bool importable = false; // with a name and a gender, as the dialog requires
    bool doubtful = false;   // bad or missing PESEL: imported only when ticked
    bool inClass = false;    // the class has a pupil of this PESEL
    QStringList notes;       // why it is marked, in plain Polish
    // Ticked at first: importable and not doubtful.
    bool tickedAtFirst() const { return importable && !doubtful; }
    QString field(const char *name) const;
};

// The rows of the table as pupils. classTables: the pupil tables the class
// has (a PESEL among them is marked inClass).
QList<structListPupil> pupilsFromList(const structPupilListTable &table,
                                      const QList<ListColumn> &columns,
                                      const QStringList &classTables);

// The pupil dialog's fields of a stored pupil with the list's non-empty
// values over them (an update keeps what the list does not say).
SqlDataList pupilFieldsUpdated(const SqlDataList &stored, const SqlDataList &fromList);
