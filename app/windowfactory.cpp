#include "app/windowfactory.h"

#include "app/programicons.h"
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

ProgramWindows createProgramWindows() {
    ProgramWindows w;
    auto *owner = new TFGlowna;
    w.glowna = owner;
    w.set = std::make_shared<WindowSet>();
    w.context = std::make_shared<EditorContext>();
    // The makers belong to the set: they reach it and the context without
    // owning them.
    WindowSet *set = w.set.get();
    EditorContext *context = w.context.get();
    std::weak_ptr<WindowSet> weakSet = w.set;
    // Every memo of the program checks its words with the main window's checker.
    auto add = [&](std::function<QWidget *()> make, const DocumentInfo *doc = nullptr) {
        set->add(
            [owner, make] {
                QWidget *window = make();
                vFunSetSpellChecker(window, owner->spellChecker());
                return window;
            },
            doc);
        return set->count() - 1;
    };
    int pupil = -1;
    auto bound = [&](const char *name) {
        const DocumentInfo *info = documentByClass(QString::fromLatin1(name));
        return add(
            [set, context, owner, info, pupilIndex = pupil] {
                // Document editors copy the pupil's data from the pupil
                // dialog, which comes first.
                auto *pupilDialog = static_cast<TFDaneUcznia *>(set->build(pupilIndex));
                TFEditor *e = createBoundWindow(*info, pupilDialog, owner);
                e->setContext(context);
                return e;
            },
            info);
    };
    // A bound window that other windows reach, built and holding the pupil.
    auto reach = [weakSet](const char *name) {
        return WindowRef<TFEditor>([weakSet, name]() -> TFEditor * {
            const std::shared_ptr<WindowSet> s = weakSet.lock();
            const DocumentInfo *info = documentByClass(QString::fromLatin1(name));
            return s && info ? s->bound(*info) : nullptr;
        });
    };
    const QList<WindowRef<TFEditor>> certificates{reach("TFKlasa1"), reach("TFKlasa2"),
                                                  reach("TFKlasa3")};

    add([owner] { return owner; });
    w.daneUcznia = {w.set, pupil = bound("TFDaneUcznia")};
    w.kalibracja = {w.set, add([owner] { return new TFKalibracja(owner); })};
    w.daneSzkoly = {w.set, add([owner, certificates, reach] {
                        auto *school = new TFDaneSzkoly(owner);
                        school->setSources(certificates +
                                           QList<WindowRef<TFEditor>>{reach("TFArkuszStr1Kl1"),
                                                                      reach("TFArkuszStr1b")});
                        return school;
                    })};
    w.drukuj = {w.set, add([owner] {
                    auto *print = new TFDrukuj(owner);
                    // The teacher learns where a print went, a PDF file above all.
                    QObject::connect(print, &TFDrukuj::printDone, owner,
                                     &TFGlowna::showStatusNotice);
                    return print;
                })};
    w.wait = {w.set, add([owner] { return new TFWait(owner); })};
    w.oProgramie = {w.set, add([owner] { return new TFOProgramie(owner); })};
    w.logi = {w.set, add([owner] {
                  auto *logs = new TFLogi(owner);
                  // The same envelope as the main window's "Wyślij wiadomość".
                  logs->BitBtn2->setIcon(themedIcon(QStringLiteral("mail-send")));
                  return logs;
              })};
    w.aktualizacja = {w.set, add([owner] { return new TFAktualizacja(owner); })};
    bound("TFArkuszStr1Kl1");
    bound("TFArkuszStr5Kl1");
    bound("TFKlasa2");
    bound("TFArkuszStr4bKl3");
    bound("TFArkuszStr3Kl1");
    bound("TFArkuszStr4Kl1");
    w.szablonOcenyOpisowej = {w.set, add([owner, certificates] {
                                  auto *phrases = new TFSzablonOcenyOpisowej(owner);
                                  phrases->setCertificates(certificates);
                                  return phrases;
                              })};
    bound("TFWywiadowka");
    bound("TFArkuszStr1b");
    bound("TFArkuszStr2Kl1");
    bound("TFArkuszStr2bKl1");
    bound("TFArkuszStr3bKl2");
    bound("TFKlasa3");
    bound("TFKlasa1");
    w.sqlImport = {w.set, add([owner] { return new TFSQLImport(owner); })};
    w.all = AllWindows(w.set);

    WindowSlot<QDialog> school = w.daneSzkoly, phrases = w.szablonOcenyOpisowej;
    context->schoolTemplate =
        WindowRef<TFDaneSzkoly>([school] { return static_cast<TFDaneSzkoly *>(school.get()); });
    context->phraseLibrary = WindowRef<TFSzablonOcenyOpisowej>(
        [phrases] { return static_cast<TFSzablonOcenyOpisowej *>(phrases.get()); });
    context->certificates = certificates;
    owner->attachWindows(w);
    return w;
}
