#include "editors/editorset.h"

#include "editors/documenteditors.h"
#include "editors/tfdaneucznia.h"

const QList<EditorInfo> &boundWindowTable() {
    static const QList<EditorInfo> table = {
        {"TFDaneUcznia", "Dane ucznia", "DANE UCZNIA", "", "", 0, 0},
        {"TFKlasa1", "Świadectwo ukończenia klasy 1 szkoły podstawowej",
         "SWIADECTWO UKONCZENIA KLASY 1 SZKOLY PODST.", "certificate", "", 0, 1},
        {"TFKlasa2", "Świadectwo ukończenia klasy 2 szkoły podstawowej",
         "SWIADECTWO UKONCZENIA KLASY 2 SZKOLY PODST.", "certificate", "", 0, 2},
        {"TFKlasa3", "Świadectwo ukończenia klasy 3 szkoły podstawowej",
         "SWIADECTWO UKONCZENIA KLASY 3 SZKOLY PODST.", "certificate", "", 0, 3},
        {"TFArkuszStr1Kl1", "Arkusz ocen str.1 - klasa I",
         "ARKUSZ OCEN STR 1 SZKOLA PODSTAWOWA 1-3 NOWA", "title", "a", 1, 0},
        {"TFArkuszStr2Kl1", "Arkusz - wkładka str 2",
         "ARKUSZ OCEN STR 2 SZKOLA PODSTAWOWA 1-3 NOWA", "results", "a", 2, 0},
        {"TFArkuszStr3Kl1", "Arkusz - wkładka str 3",
         "ARKUSZ OCEN STR 3 SZKOLA PODSTAWOWA 1-3 NOWA", "results", "a", 3, 0},
        {"TFArkuszStr4Kl1", "Arkusz - wkładka str 4",
         "ARKUSZ OCEN STR 4 SZKOLA PODSTAWOWA 1-3 NOWA", "results", "a", 4, 0},
        {"TFArkuszStr5Kl1", "Arkusz - wkładka str 5",
         "ARKUSZ OCEN STR 5 SZKOLA PODSTAWOWA 1-3 NOWA", "results", "a", 5, 0},
        {"TFWywiadowka", "Wywiadówka", "WYWIADOWKA OPISOWA SZKOLY PODST.", "report", "", 1, 0},
        {"TFArkuszStr1b", "MEN-I/37b/2      Arkusz ocen str. 1",
         "ARKUSZ OCEN STR 1b SZKOLA PODSTAWOWA 1-3 MEN-I/37b/2", "title", "b", 1, 0},
        {"TFArkuszStr2bKl1", "Arkusz ocen - klasa 1",
         "ARKUSZ OCEN STR 2b SZKOLA PODSTAWOWA 1-3 MEN-I/37b/2", "results", "b", 0, 1},
        {"TFArkuszStr3bKl2", "Arkusz ocen - klasa 2",
         "ARKUSZ OCEN STR 3b SZKOLA PODSTAWOWA 1-3 MEN-I/37b/2", "results", "b", 0, 2},
        {"TFArkuszStr4bKl3", "Arkusz ocen - klasa 3",
         "ARKUSZ OCEN STR 4b SZKOLA PODSTAWOWA 1-3 MEN-I/37b/2", "results", "b", 0, 3},
    };
    return table;
}

TFEditor *createBoundWindow(const EditorInfo &info, TFDaneUcznia *pupil, QWidget *parent) {
    const QString name = QString::fromLatin1(info.className);
    const QString caption = QString::fromUtf8(info.caption);
    const QString id = QString::fromUtf8(info.documentId);
    const QString family = QString::fromLatin1(info.family);
    const QString variant = QString::fromLatin1(info.variant);
    if (family == QLatin1String("certificate"))
        return new TFKlasa(info.grade, name, caption, id, pupil, parent);
    if (family == QLatin1String("title"))
        return new TFArkuszStr1(variant, name, caption, id, pupil, parent);
    if (family == QLatin1String("results"))
        return new TFArkuszWyniki(variant, info.page, info.grade, name, caption, id, pupil, parent);
    if (family == QLatin1String("report"))
        return new TFWywiadowka(name, caption, id, pupil, parent);
    return new TFDaneUcznia(parent);
}
