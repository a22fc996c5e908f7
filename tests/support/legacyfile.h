#pragma once

#include "storage/codec.h"

#include <QByteArray>
#include <QStringList>

// Small class files of the older program, written as it wrote them.

// One document: its header, the field lines ("<name>value") and its closing.
inline QStringList legacyDocument(const QString &id, const QStringList &fieldLines) {
    return QStringList{QLatin1Char('<') + id + QLatin1Char('>')} + fieldLines +
           QStringList{QStringLiteral("</") + id + QLatin1Char('>')};
}

// One pupil block; a null PESEL writes no PESEL line.
inline QStringList legacyBlock(const QString &surname, const QString &first, const QString &pesel,
                               const QStringList &documentLines = {}) {
    QStringList lines{QStringLiteral("<DANE SWIADECTW DLA: ") + surname + QLatin1Char(' ') + first +
                          QLatin1Char('>'),
                      QStringLiteral("<DANE UCZNIA SZKOLY PODSTAWOWEJ 1-3>"),
                      QStringLiteral("<Nazwisko_DATA_EDIT>") + surname,
                      QStringLiteral("<Imie_DATA_EDIT>") + first};
    if (!pesel.isNull())
        lines << QStringLiteral("<Pesel_DATA_EDIT>") + pesel;
    lines << QStringLiteral("</DANE UCZNIA SZKOLY PODSTAWOWEJ 1-3>");
    lines += documentLines;
    lines << QStringLiteral("</KONIEC DANYCH SWIADECTW>");
    return lines;
}

// The lines as code page 1250 bytes, each ended by eol.
inline QByteArray legacyBytes(const QStringList &lines, const QByteArray &eol = "\r\n") {
    QByteArray out;
    for (const QString &line : lines)
        out += cp1250::encode(line) + eol;
    return out;
}
