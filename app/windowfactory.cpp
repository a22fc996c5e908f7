#include "app/windowfactory.h"

#include "app/tfglowna.h"
#include "dialogs/tfaktualizacja.h"
#include "dialogs/tfdrukuj.h"
#include "dialogs/tfkalibracja.h"
#include "dialogs/tflogi.h"
#include "dialogs/tfsqlimport.h"
#include "editors/editorcontext.h"
#include "editors/editorset.h"
#include "editors/fields.h"
#include "editors/tfdaneszkoly.h"
#include "editors/tfdaneucznia.h"
#include "editors/tfszablonocenyopisowej.h"

ProgramWindows createMainWindow() {
    ProgramWindows w;
    w.glowna = new TFGlowna;
    w.all << w.glowna;
    return w;
}

void createOtherWindows(ProgramWindows &w) {
    QWidget *owner = w.glowna;
    auto bound = [&](const char *name) {
        for (const DocumentInfo &info : documentTable()) {
            if (qstrcmp(info.className, name) == 0) {
                TFEditor *e = createBoundWindow(info, w.daneUcznia, owner);
                if (qstrcmp(name, "TFDaneUcznia") != 0)
                    w.editors << e;
                w.all << e;
                return e;
            }
        }
        return static_cast<TFEditor *>(nullptr);
    };

    w.daneUcznia = static_cast<TFDaneUcznia *>(bound("TFDaneUcznia"));
    w.kalibracja = new TFKalibracja(owner);
    w.all << w.kalibracja;
    auto *school = new TFDaneSzkoly(owner);
    w.daneSzkoly = school;
    w.all << school;
    w.drukuj = new TFDrukuj(owner);
    // The teacher learns where a print went, a PDF file above all.
    QObject::connect(w.drukuj, &TFDrukuj::printDone, w.glowna, &TFGlowna::showStatusNotice);
    w.all << w.drukuj;
    w.wait = new TFWait(owner);
    w.all << w.wait;
    w.oProgramie = new TFOProgramie(owner);
    w.all << w.oProgramie;
    w.logi = new TFLogi(owner);
    w.all << w.logi;
    w.aktualizacja = new TFAktualizacja(owner);
    w.all << w.aktualizacja;
    bound("TFArkuszStr1Kl1");
    bound("TFArkuszStr5Kl1");
    bound("TFKlasa2");
    bound("TFArkuszStr4bKl3");
    bound("TFArkuszStr3Kl1");
    bound("TFArkuszStr4Kl1");
    auto *phrases = new TFSzablonOcenyOpisowej(owner);
    w.szablonOcenyOpisowej = phrases;
    w.all << phrases;
    bound("TFWywiadowka");
    bound("TFArkuszStr1b");
    bound("TFArkuszStr2Kl1");
    bound("TFArkuszStr2bKl1");
    bound("TFArkuszStr3bKl2");
    bound("TFKlasa3");
    bound("TFKlasa1");
    w.sqlImport = new TFSQLImport(owner);
    w.all << w.sqlImport;

    QList<TFEditor *> certificates{w.editor("TFKlasa1"), w.editor("TFKlasa2"),
                                   w.editor("TFKlasa3")};
    w.context = std::make_shared<EditorContext>();
    w.context->schoolTemplate = school;
    w.context->phraseLibrary = phrases;
    w.context->certificates = certificates;
    for (TFEditor *e : w.boundWindows())
        e->setContext(w.context.get());
    // Every memo of the program checks its words with the main window's checker.
    for (QWidget *window : std::as_const(w.all))
        vFunSetSpellChecker(window, w.glowna->spellChecker());
    school->setSources(certificates +
                       QList<TFEditor *>{w.editor("TFArkuszStr1Kl1"), w.editor("TFArkuszStr1b")});
    phrases->setCertificates(certificates);
    w.glowna->attachWindows(w);
}

ProgramWindows createProgramWindows() {
    ProgramWindows w = createMainWindow();
    createOtherWindows(w);
    return w;
}
