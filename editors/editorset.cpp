#include "editors/editorset.h"

#include "editors/editor.h"
#include "editors/tfdaneucznia.h"

const QList<EditorInfo> &boundWindowTable() {
    static const QList<EditorInfo> table = {
        {"TFDaneUcznia", "Dane ucznia", "DANE UCZNIA"},
        {"TFKlasa1", "Świadectwo ukończenia klasy 1 szkoły podstawowej",
         "SWIADECTWO UKONCZENIA KLASY 1 SZKOLY PODST."},
        {"TFKlasa2", "Świadectwo ukończenia klasy 2 szkoły podstawowej",
         "SWIADECTWO UKONCZENIA KLASY 2 SZKOLY PODST."},
        {"TFKlasa3", "Świadectwo ukończenia klasy 3 szkoły podstawowej",
         "SWIADECTWO UKONCZENIA KLASY 3 SZKOLY PODST."},
        {"TFArkuszStr1Kl1", "Arkusz ocen str.1 - klasa I",
         "ARKUSZ OCEN STR 1 SZKOLA PODSTAWOWA 1-3 NOWA"},
        {"TFArkuszStr2Kl1", "Arkusz - wkładka str 2",
         "ARKUSZ OCEN STR 2 SZKOLA PODSTAWOWA 1-3 NOWA"},
        {"TFArkuszStr3Kl1", "Arkusz - wkładka str 3",
         "ARKUSZ OCEN STR 3 SZKOLA PODSTAWOWA 1-3 NOWA"},
        {"TFArkuszStr4Kl1", "Arkusz - wkładka str 4",
         "ARKUSZ OCEN STR 4 SZKOLA PODSTAWOWA 1-3 NOWA"},
        {"TFArkuszStr5Kl1", "Arkusz - wkładka str 5",
         "ARKUSZ OCEN STR 5 SZKOLA PODSTAWOWA 1-3 NOWA"},
        {"TFWywiadowka", "Wywiadówka", "WYWIADOWKA OPISOWA SZKOLY PODST."},
        {"TFArkuszStr1b", "MEN-I/37b/2      Arkusz ocen str. 1",
         "ARKUSZ OCEN STR 1b SZKOLA PODSTAWOWA 1-3 MEN-I/37b/2"},
        {"TFArkuszStr2bKl1", "Arkusz ocen - klasa 1",
         "ARKUSZ OCEN STR 2b SZKOLA PODSTAWOWA 1-3 MEN-I/37b/2"},
        {"TFArkuszStr3bKl2", "Arkusz ocen - klasa 2",
         "ARKUSZ OCEN STR 3b SZKOLA PODSTAWOWA 1-3 MEN-I/37b/2"},
        {"TFArkuszStr4bKl3", "Arkusz ocen - klasa 3",
         "ARKUSZ OCEN STR 4b SZKOLA PODSTAWOWA 1-3 MEN-I/37b/2"},
    };
    return table;
}

TFEditor *createBoundWindow(const EditorInfo &info, QWidget *parent) {
    if (qstrcmp(info.className, "TFDaneUcznia") == 0)
        return new TFDaneUcznia(parent);
    return new TFEditor(QString::fromLatin1(info.className), QString::fromUtf8(info.caption),
                        QString::fromUtf8(info.documentId), parent);
}
