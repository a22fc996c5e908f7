#include "printing/printcheck.h"

#include "document/formlayout.h"
#include "document/pupilcopies.h"

QString structPrintFinding::text() const {
    QString out = pupil.trimmed() + QString::fromUtf8(" – ") + document;
    if (!field.isEmpty())
        out += QString::fromUtf8(" – ") + field;
    return out + QStringLiteral(": ") + problem;
}

QList<structPrintFinding> listFunCheckDocument(const QString &pupil, const DocumentInfo &doc,
                                               const SqlDataList &records,
                                               const QList<PreviewMark> &overflows) {
    QList<structPrintFinding> out;
    const QString label = doc.labelText();
    bool filled = false;
    for (const structSqlData &r : records)
        filled |= r.id == doc.id() && !r.value.trimmed().isEmpty();
    if (!filled)
        out.append({pupil, label, QString(),
                    QString::fromUtf8("dokument nie został wypełniony (na druku byłyby tylko "
                                      "dane ucznia i przekreślone pola)")});
    const bool printsPesel =
        doc.kind == DocumentKind::Certificate || doc.kind == DocumentKind::TitlePage;
    if (printsPesel && bFunIsPlaceholderPesel(structPupilData::fromRecords(records).pesel))
        out.append({pupil, label, QStringLiteral("numer PESEL"),
                    QString::fromUtf8("uczeń nie ma numeru PESEL – kratki zostaną puste. Wpisz "
                                      "numer w danych ucznia (Uczniowie › Edytuj dane)")});
    const FormLayout &layout = formLayout(QString::fromLatin1(doc.layout));
    for (const PreviewMark &m : overflows)
        out.append({pupil, label,
                    strFunFieldCaption(layout, QString::fromLatin1(doc.variant), m.component),
                    m.text});
    return out;
}

QString strFunFindingsText(const QList<structPrintFinding> &findings) {
    QStringList lines;
    for (const structPrintFinding &f : findings)
        lines << QStringLiteral("• ") + f.text();
    return QString::fromUtf8("Na druku coś wyszłoby źle:\n\n") + lines.join(QLatin1Char('\n')) +
           QString::fromUtf8("\n\nPopraw to przed drukowaniem („Wróć”) albo drukuj mimo to.");
}
