#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// The Polish personal number of a pupil, which also keys the pupil's table.

// What a PESEL says, or why it cannot be right.
struct structPeselCheck {
    bool valid = false;
    // Plain Polish, for "Numer PESEL wygląda na błędny (…)": empty when valid.
    QString reason;
    // From a number whose date and check digit are right.
    QDate birthDate;
    bool boy = false;
};

// Eleven digits, a date that exists (the century in the month: +80 for the
// 1800s, +0, +20, +40, +60 for the 1900s to the 2100s), the check digit.
structPeselCheck peselCheck(const QString &pesel);

// A pupil without a PESEL is stored under a placeholder "_BRAK_<n>" in the
// PESEL field (table "PESEL_BRAK_<n>"), as the legacy import stores them.
inline const char *const kPeselPlaceholderPrefix = "_BRAK_";
bool bFunIsPeselPlaceholder(const QString &pesel);
// The first placeholder whose table is not among these tables.
QString strFunFreePeselPlaceholder(const QStringList &tables);

// The birth date as the pupil data hold it: "5 marca" and "2015 r.".
QString strFunBirthDayText(const QDate &date);
QString strFunBirthYearText(const QDate &date);
