#include "document/documents.h"

namespace {

using K = DocumentKind;

const char *const kCertificateCalib = "klasa_1_3";
const char *const kCertificateCalibNoDots = "klasa_1_3_bk";

} // namespace

QStringList DocumentInfo::backdrops() const {
    QStringList out;
    for (const char *file : {backdrop1, backdrop2}) {
        if (file)
            out << QString::fromLatin1(file);
    }
    return out;
}

const QList<DocumentInfo> &documentTable() {
    static const QList<DocumentInfo> table = {
        {"", "TFDaneUcznia", "Dane ucznia", "DANE UCZNIA", K::PupilData, "", "", 0, 0, 0, nullptr,
         nullptr, nullptr, nullptr},
        {"MEN-I/1/2 świad. klasa 1", "TFKlasa1", "Świadectwo ukończenia klasy 1 szkoły podstawowej",
         "SWIADECTWO UKONCZENIA KLASY 1 SZKOLY PODST.", K::Certificate, "klasa", "", 0, 1, 2,
         kCertificateCalib, kCertificateCalibNoDots, "sw_str1_prw.png", "sw_str2_prw.png"},
        {"MEN-I/1/2 świad. klasa 2", "TFKlasa2", "Świadectwo ukończenia klasy 2 szkoły podstawowej",
         "SWIADECTWO UKONCZENIA KLASY 2 SZKOLY PODST.", K::Certificate, "klasa", "", 0, 2, 2,
         kCertificateCalib, kCertificateCalibNoDots, "sw_str1_prw.png", "sw_str2_prw.png"},
        {"MEN-I/1/2 świad. klasa 3", "TFKlasa3", "Świadectwo ukończenia klasy 3 szkoły podstawowej",
         "SWIADECTWO UKONCZENIA KLASY 3 SZKOLY PODST.", K::Certificate, "klasa", "", 0, 3, 2,
         kCertificateCalib, kCertificateCalibNoDots, "sw_str1_prw.png", "sw_str2_prw.png"},
        {"MEN-I/37/2 arkusz str. 1", "TFArkuszStr1Kl1", "Arkusz ocen str.1 - klasa I",
         "ARKUSZ OCEN STR 1 SZKOLA PODSTAWOWA 1-3 NOWA", K::TitlePage, "arkusz_str1", "", 1, 0, 1,
         "arkusz_str1", "arkusz_str1", "arkusz_prw.png", nullptr},
        {"MEN-I/37/2 arkusz str. 2", "TFArkuszStr2Kl1", "Arkusz - wkładka str 2",
         "ARKUSZ OCEN STR 2 SZKOLA PODSTAWOWA 1-3 NOWA", K::ResultsPage, "arkusz_wyniki", "a", 2, 0,
         1, "arkusz_str2_5", "arkusz_str2_5", "arkusz_prw.png", nullptr},
        {"MEN-I/37/2 arkusz str. 3", "TFArkuszStr3Kl1", "Arkusz - wkładka str 3",
         "ARKUSZ OCEN STR 3 SZKOLA PODSTAWOWA 1-3 NOWA", K::ResultsPage, "arkusz_wyniki", "a", 3, 0,
         1, "arkusz_str2_5", "arkusz_str2_5", "arkusz_prw.png", nullptr},
        {"MEN-I/37/2 arkusz str. 4", "TFArkuszStr4Kl1", "Arkusz - wkładka str 4",
         "ARKUSZ OCEN STR 4 SZKOLA PODSTAWOWA 1-3 NOWA", K::ResultsPage, "arkusz_wyniki", "a", 4, 0,
         1, "arkusz_str2_5", "arkusz_str2_5", "arkusz_prw.png", nullptr},
        {"MEN-I/37/2 arkusz str. 5", "TFArkuszStr5Kl1", "Arkusz - wkładka str 5",
         "ARKUSZ OCEN STR 5 SZKOLA PODSTAWOWA 1-3 NOWA", K::ResultsPage, "arkusz_wyniki", "a", 5, 0,
         1, "arkusz_str2_5", "arkusz_str2_5", "arkusz_prw.png", nullptr},
        {"wywiadówka", "TFWywiadowka", "Wywiadówka", "WYWIADOWKA OPISOWA SZKOLY PODST.", K::Report,
         "wywiadowka", "", 1, 0, 1, "wywiadowka", "wywiadowka", "wywiadowka_prw.png", nullptr},
        {"MEN-I/37b/2 arkusz str. tytułowa", "TFArkuszStr1b", "MEN-I/37b/2      Arkusz ocen str. 1",
         "ARKUSZ OCEN STR 1b SZKOLA PODSTAWOWA 1-3 MEN-I/37b/2", K::TitlePage, "arkusz_str1b", "",
         1, 0, 1, "arkusz_str1b", "arkusz_str1b", "arkusz_prw.png", nullptr},
        {"MEN-I/37b/2 arkusz klasa 1", "TFArkuszStr2bKl1", "Arkusz ocen - klasa 1",
         "ARKUSZ OCEN STR 2b SZKOLA PODSTAWOWA 1-3 MEN-I/37b/2", K::ResultsPage, "arkusz_wyniki",
         "b", 0, 1, 1, "arkusz_str2b_5b", "arkusz_str2b_5b", "arkusz_prw.png", nullptr},
        {"MEN-I/37b/2 arkusz klasa 2", "TFArkuszStr3bKl2", "Arkusz ocen - klasa 2",
         "ARKUSZ OCEN STR 3b SZKOLA PODSTAWOWA 1-3 MEN-I/37b/2", K::ResultsPage, "arkusz_wyniki",
         "b", 0, 2, 1, "arkusz_str2b_5b", "arkusz_str2b_5b", "arkusz_prw.png", nullptr},
        {"MEN-I/37b/2 arkusz klasa 3", "TFArkuszStr4bKl3", "Arkusz ocen - klasa 3",
         "ARKUSZ OCEN STR 4b SZKOLA PODSTAWOWA 1-3 MEN-I/37b/2", K::ResultsPage, "arkusz_wyniki",
         "b", 0, 3, 1, "arkusz_str2b_5b", "arkusz_str2b_5b", "arkusz_prw.png", nullptr},
    };
    return table;
}

const QList<const DocumentInfo *> &treeRows() {
    static const QList<const DocumentInfo *> rows = [] {
        const char *const order[] = {"TFKlasa1",
                                     "TFKlasa2",
                                     "TFKlasa3",
                                     "TFWywiadowka",
                                     nullptr,
                                     "TFArkuszStr1b",
                                     "TFArkuszStr2bKl1",
                                     "TFArkuszStr3bKl2",
                                     "TFArkuszStr4bKl3",
                                     nullptr,
                                     "TFArkuszStr1Kl1",
                                     "TFArkuszStr2Kl1",
                                     "TFArkuszStr3Kl1",
                                     "TFArkuszStr4Kl1",
                                     "TFArkuszStr5Kl1"};
        QList<const DocumentInfo *> out;
        for (const char *name : order)
            out << (name ? documentByClass(QString::fromLatin1(name)) : nullptr);
        return out;
    }();
    return rows;
}

const DocumentInfo *documentByLabel(const QString &label) {
    if (label.isEmpty())
        return nullptr;
    for (const DocumentInfo &d : documentTable()) {
        if (d.kind != DocumentKind::PupilData && label == d.labelText())
            return &d;
    }
    return nullptr;
}

const DocumentInfo *documentByClass(const QString &className) {
    for (const DocumentInfo &d : documentTable()) {
        if (className == QLatin1String(d.className))
            return &d;
    }
    return nullptr;
}

const DocumentInfo &pupilDataDocument() {
    return documentTable().first();
}

const QList<PrintedForm> &printedForms() {
    static const QList<PrintedForm> forms = {
        {kCertificateCalib, "klasa", "", "Times New Roman", 12, false, true, false, true},
        {kCertificateCalibNoDots, "klasa", "", "Times New Roman", 12, false, false, false, true},
        {"wywiadowka", "wywiadowka", "", "Arial", 11, true, true, false, false},
        {"arkusz_str1", "arkusz_str1", "", "Arial", 10, true, true, true, false},
        {"arkusz_str2_5", "arkusz_wyniki", "a", "Arial", 10, true, true, true, false},
        {"arkusz_str1b", "arkusz_str1b", "", "Arial", 10, true, true, true, false},
        {"arkusz_str2b_5b", "arkusz_wyniki", "b", "Arial", 10, true, true, true, false},
    };
    return forms;
}
