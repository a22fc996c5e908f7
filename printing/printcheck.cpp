#include "printing/printcheck.h"

#include "document/formlayout.h"
#include "document/pupilcopies.h"

QString structPrintFinding::text() const {
    QString out = pupil.trimmed() + QString::fromUtf8(" – ") + document;
    if (!field.isEmpty())
        out += QString::fromUtf8(" – ") + field;
    return out + QStringLiteral(": ") + problem;
}

bool bFunDocumentStarted(const DocumentInfo &doc, const SqlDataList &records) {
    // The editors store the copied fields too (the name, the endings).
    QStringList copied;
    for (const auto &[name, value] : pupilCopiesFor(doc, structPupilData(), {}))
        copied << name;
    const FieldValues defaults = blankDefaultsFor(doc);
    const QString id = doc.id();
    for (const structSqlData &r : records) {
        if (r.id != id || r.value.trimmed().isEmpty() || copied.contains(r.comp_name))
            continue;
        if (defaults.contains({r.comp_name, r.value}))
            continue;
        return true;
    }
    return false;
}

QList<structPrintFinding> listFunCheckDocument(const QString &pupil, const DocumentInfo &doc,
                                               const SqlDataList &records,
                                               const QList<PreviewMark> &overflows) {
    QList<structPrintFinding> out;
    const QString label = doc.labelText();
    const bool started = bFunDocumentStarted(doc, records);
    if (!started)
        out.append({pupil, label, QString(),
                    QString::fromUtf8("dokument nie został wypełniony (na druku byłyby tylko "
                                      "dane ucznia i przekreślone pola)"),
                    QString()});
    const bool printsPesel =
        doc.kind == DocumentKind::Certificate || doc.kind == DocumentKind::TitlePage;
    if (printsPesel && bFunIsPlaceholderPesel(structPupilData::fromRecords(records).pesel))
        out.append({pupil, label, QStringLiteral("numer PESEL"),
                    QString::fromUtf8("uczeń nie ma numeru PESEL – kratki zostaną puste. Wpisz "
                                      "numer w danych ucznia (Uczniowie › Edytuj dane)"),
                    QString::fromLatin1("Pesel_DATA_EDIT")});
    if (started && doc.isCertificate()) {
        if (structPupilData::fromRecords(records).certificateNumber.trimmed().isEmpty())
            out.append({pupil, label, QString::fromUtf8("numer świadectwa"),
                        QString::fromUtf8("brak numeru świadectwa. Wpisz go w danych ucznia albo "
                                          "wszystkim naraz (Świadectwa › Uzupełnij dla całej "
                                          "klasy)"),
                        QString()});
        auto value = [&](const char *name) {
            for (const structSqlData &r : records)
                if (r.id == doc.id() && r.comp_name == QLatin1String(name))
                    return r.value.trimmed();
            return QString();
        };
        const char *const day = "ZMIENNA_MiejscowoscDnia_STR1_DATA_EDIT";
        const char *const year = "ZMIENNA_MiejscowoscRok_STR1_DATA_EDIT";
        const char *const missing = value(day).isEmpty()    ? day
                                    : value(year).isEmpty() ? year
                                                            : nullptr;
        if (missing)
            out.append({pupil, label, QString::fromUtf8("data wydania"),
                        QString::fromUtf8("brak daty wydania świadectwa (dzień i rok pod "
                                          "świadectwem). Wpisz ją w świadectwie albo wszystkim "
                                          "naraz (Świadectwa › Uzupełnij dla całej klasy)"),
                        QString::fromLatin1(missing)});
    }
    const FormLayout &layout = formLayout(QString::fromLatin1(doc.layout));
    for (const PreviewMark &m : overflows)
        out.append({pupil, label,
                    strFunFieldCaption(layout, QString::fromLatin1(doc.variant), m.component),
                    m.text, m.component});
    return out;
}

QString strFunFindingsText(const QList<structPrintFinding> &findings) {
    QStringList lines;
    for (const structPrintFinding &f : findings)
        lines << QStringLiteral("• ") + f.text();
    return QString::fromUtf8("Na druku coś wyszłoby źle:\n\n") + lines.join(QLatin1Char('\n')) +
           QString::fromUtf8("\n\nPopraw to przed drukowaniem („Wróć”) albo drukuj mimo to.");
}
