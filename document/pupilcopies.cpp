#include "document/pupilcopies.h"

#include <QRegularExpression>

namespace {

const char *const kBoy = "mężczyzna";

QString field(const SqlDataList &records, const char *name) {
    const QString id = QString::fromLatin1(kPupilDataId);
    for (const structSqlData &r : records) {
        if (r.id == id && r.comp_name == QLatin1String(name))
            return r.value;
    }
    return QString();
}

// The year without the "r." that the pupil dialog stores after it: the title
// page prints its own "r." after the year.
QString yearAlone(const QString &year) {
    static const QRegularExpression suffix(QStringLiteral("\\s*r\\.?\\s*$"));
    return QString(year).remove(suffix).trimmed();
}

} // namespace

bool bFunIsPlaceholderPesel(const QString &pesel) {
    return pesel.startsWith(QLatin1String("_BRAK"));
}

QString strFunTidyPupilName(const QString &name) {
    QString text = name.simplified();
    if (!text.isEmpty() && text[0] >= QLatin1Char('a') && text[0] <= QLatin1Char('z'))
        text[0] = text[0].toUpper();
    return text;
}

bool structPupilData::isBoy() const {
    return gender == QString::fromUtf8(kBoy);
}

structPupilData structPupilData::fromRecords(const SqlDataList &records) {
    structPupilData p;
    p.firstName = field(records, "Imie_DATA_EDIT");
    p.surname = field(records, "Nazwisko_DATA_EDIT");
    p.gender = field(records, "Plec_DATA_COMBOBOX");
    p.birthDay = field(records, "UrodzonyDnia_DATA_EDIT");
    p.birthYear = field(records, "UrodzonyRok_DATA_COMBOBOX");
    p.birthTown = field(records, "UrodzonyMiasto_DATA_COMBOBOX");
    p.certificateNumber = field(records, "NrDziennika_DATA_EDIT");
    p.pesel = field(records, "Pesel_DATA_EDIT");
    return p;
}

FieldValues pupilCopiesFor(const DocumentInfo &doc, const structPupilData &p,
                           const std::function<QString(const QString &)> &current) {
    FieldValues out;
    auto set = [&out](const char *name, const QString &value) {
        out.append({QString::fromLatin1(name), value});
    };
    const QString fullName = p.firstName + QLatin1Char(' ') + p.surname;
    // A pupil imported without a PESEL is stored under a placeholder: it is
    // no number, and its boxes on the documents stay empty.
    const QString pesel = bFunIsPlaceholderPesel(p.pesel) ? QString() : p.pesel;
    switch (doc.kind) {
    case DocumentKind::Certificate: {
        const QString ending = p.isBoy() ? QString() : QStringLiteral("a");
        set("ZMIENNA_ImieNazwisko_STR1_DATA_EDIT", fullName);
        set("ZMIENNA_DataUrodzenia_STR1_DATA_EDIT", p.birthDay + QLatin1Char(' ') + p.birthYear);
        set("ZMIENNA_MiejsceUrodzenia_STR1_DATA_EDIT", p.birthTown);
        set("ZMIENNA_UczeszczalA_STR1_DATA_EDIT", ending);
        set("ZMIENNA_OtrzymalA_STR1_DATA_EDIT", ending);
        set("ZMIENNA_SwiadectwoNr_STR1_DATA_EDIT", p.certificateNumber);
        set("ZMIENNA_NrPesel_STR1_DATA_EDIT", pesel);
        break;
    }
    case DocumentKind::TitlePage: {
        const QString ending = p.isBoy() ? QStringLiteral("y") : QStringLiteral("a");
        set("ZMIENNA_ImieNazwisko_DATA_EDIT", fullName);
        for (const char *name : {"ZMIENNA_UrodzonyA_DATA_EDIT", "ZMIENNA_PrzyjetyA_DATA_EDIT",
                                 "ZMIENNA_WpisanyA_DATA_EDIT"})
            set(name, ending);
        set("ZMIENNA_UrodzonyDnia_DATA_EDIT", p.birthDay);
        set("ZMIENNA_UrodzonyRok_DATA_EDIT", yearAlone(p.birthYear));
        // A place typed into the sheet (a locative form, say) stays.
        const QString town = QStringLiteral("ZMIENNA_UrodzonyMiasto_DATA_EDIT");
        if (!current || current(town).isEmpty())
            out.append({town, p.birthTown});
        for (int i = 0; i < 11; ++i)
            out.append({QStringLiteral("ZMIENNA_Pesel%1_DATA_EDIT").arg(i + 1), pesel.mid(i, 1)});
        break;
    }
    case DocumentKind::Report:
        set("ZMIENNA_ImieNazwisko_STR1_DATA_EDIT", fullName);
        break;
    case DocumentKind::ResultsPage:
    case DocumentKind::PupilData:
        break;
    }
    return out;
}

FieldValues blankDefaultsFor(const DocumentInfo &doc) {
    if (doc.kind == DocumentKind::Certificate)
        return {{QStringLiteral("ZMIENNA_PromocjiE_STR1_DATA_EDIT"), QString::fromUtf8("ę")}};
    return {};
}

QString strFunFixedText(const DocumentInfo &doc, const QString &name, const QString &caption) {
    if (doc.kind == DocumentKind::ResultsPage && doc.page > 0 &&
        name == QLatin1String("STALY_Str_DATA_LABEL"))
        return QStringLiteral("str. %1").arg(doc.page);
    return caption;
}
