#pragma once

#include "document/certfile.h"
#include "document/documents.h"
#include "storage/cppsqlite3.h"
#include "support/hosttools.h"
#include "support/pdfraster.h"
#include "support/testenv.h"

#include <QFile>
#include <QProcess>
#include <QStringList>

// A class file for whole-class printing: each pupil has the pupil data and
// a grade-1 certificate whose side 2 carries "Tyl <surname>" (side 2 has no
// name field of its own), so that every printed page tells whose it is,
// and a text too long for its field.

// Adds pupils (PESEL, surname, first name) to a class file.
inline void addClassPupils(const QString &path, const QList<QStringList> &pupils) {
    const QString certificate = documentByClass(QStringLiteral("TFKlasa1"))->id();
    for (const QStringList &p : pupils) {
        const SqlDataList records{
            {QString::fromLatin1(kPupilDataId), QStringLiteral("Nazwisko_DATA_EDIT"), p[1]},
            {QString::fromLatin1(kPupilDataId), QStringLiteral("Imie_DATA_EDIT"), p[2]},
            {QString::fromLatin1(kPupilDataId), QStringLiteral("Pesel_DATA_EDIT"), p[0]},
            {certificate, QStringLiteral("ZMIENNA_SzczegolneOsiagniecia1_STR2_DATA_EDIT"),
             QStringLiteral("Tyl ") + p[1]},
            // Longer than its field: "Ogranicz pola tekstowe" cuts it.
            {certificate, QStringLiteral("ZMIENNA_DodatkoweEdu1_STR2_DATA_EDIT"),
             QStringLiteral("zajęcia dodatkowe: ") + QString(45, QChar('W'))}};
        QString msg;
        bFunSaveCertData(msg, path, QStringLiteral("PESEL") + p[0], records);
    }
}

// Pupils as PESEL, surname, first name.
inline void writeClassFile(const QString &path, const QList<QStringList> &pupils) {
    writeFile(path, QByteArray());
    addClassPupils(path, pupils);
}

// A pupil listed in the class file whose records cannot be read: a view
// where a table belongs (what a damaged file can hold).
inline void addUnreadablePupil(const QString &path, const QString &pesel, const QString &surname) {
    CppSQLite3DB db;
    db.Open(path);
    db.Execute(QStringLiteral("create view PESEL%1 as select 'DANE UCZNIA' as id, "
                              "'Nazwisko_DATA_EDIT' as comp_name, '%2' as value")
                   .arg(pesel, surname));
    db.Close();
}

// Zeroes the first page of a pupil's table, as a bad sector or a cut copy
// would: the file fails SQLite's check and the pupil cannot be read.
inline void zeroPupilPage(const QString &path, const QString &table) {
    int page = 0, size = 0;
    {
        CppSQLite3DB db;
        db.Open(path);
        page = db.QueryInt(QStringLiteral("select rootpage from sqlite_master where name='") +
                           table + QStringLiteral("'"));
        size = db.QueryInt(QStringLiteral("pragma page_size"));
    }
    QFile file(path);
    if (page > 1 && file.open(QIODevice::ReadWrite) && file.seek(qint64(page - 1) * size))
        file.write(QByteArray(size, '\0'));
}

// The text of one page (1-based) of a PDF, as pdftotext reads it.
inline QString pdfPageText(const QString &pdf, int page) {
    const HostToolRun p = runHostTool(
        QStringLiteral("pdftotext"),
        {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page),
         QStringLiteral("-enc"), QStringLiteral("UTF-8"), hostPath(pdf), QStringLiteral("-")},
        20000);
    if (!p.finished || p.exitCode != 0)
        return QString();
    return QString::fromUtf8(p.standardOutput);
}

// Whose side each page of a PDF is: "Agrest 1" for a page with the
// surname, "Agrest 2" for one with "Tyl Agrest", "?" for neither.
inline QStringList pdfPageOwners(const QString &pdf, const QStringList &surnames) {
    QStringList owners;
    const int pages = pdfPageCount(pdf);
    for (int i = 1; i <= pages; ++i) {
        const QString text = pdfPageText(pdf, i).simplified();
        QString owner = QStringLiteral("?");
        for (const QString &s : surnames) {
            if (text.contains(QStringLiteral("Tyl ") + s))
                owner = s + QStringLiteral(" 2");
            else if (text.contains(s))
                owner = s + QStringLiteral(" 1");
            else
                continue;
            break;
        }
        owners << owner;
    }
    return owners;
}
