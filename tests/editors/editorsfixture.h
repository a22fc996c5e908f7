#pragma once

#include "document/spellchecker.h"
#include "editors/editorcontext.h"
#include "editors/editorset.h"
#include "editors/fields.h"
#include "editors/tfdaneszkoly.h"
#include "editors/tfdaneucznia.h"
#include "editors/tfszablonocenyopisowej.h"
#include "support/scriptedprompts.h"
#include "support/testenv.h"

#include <QWidget>
#include <memory>

// The bound windows, the school template and the phrase library, joined as
// the program joins them, over a program folder with the shipped data.
struct EditorsFixture {
    TestEnv env;
    ScriptedPrompts prompts;
    SpellChecker speller; // outlives the windows' memos
    std::unique_ptr<QWidget> owner = std::make_unique<QWidget>();
    TFDaneUcznia *pupil = nullptr;
    TFDaneSzkoly *school = nullptr;
    TFSzablonOcenyOpisowej *library = nullptr;
    QList<TFEditor *> editors;

    EditorsFixture() {
        env.installShipped("ustawienia.sqset");
        for (const char *dir :
             {"ocena_opisowa/kategorie_zachowanie", "ocena_opisowa/kategorie_edukacyjne",
              "ocena_opisowa/szablony_zachowanie", "ocena_opisowa/szablony_edukacyjne"})
            QDir().mkpath(env.programFile(dir));
        for (const DocumentInfo &info : documentTable()) {
            TFEditor *e = createBoundWindow(info, pupil, owner.get());
            if (!pupil)
                pupil = static_cast<TFDaneUcznia *>(e);
            editors << e;
        }
        school = new TFDaneSzkoly(owner.get());
        library = new TFSzablonOcenyOpisowej(owner.get());
        const QList<WindowRef<TFEditor>> certificates{editor("TFKlasa1"), editor("TFKlasa2"),
                                                      editor("TFKlasa3")};
        context.schoolTemplate = school;
        context.phraseLibrary = library;
        context.certificates = certificates;
        for (TFEditor *e : editors)
            e->setContext(&context);
        school->setSources(certificates + QList<WindowRef<TFEditor>>{editor("TFArkuszStr1Kl1"),
                                                                     editor("TFArkuszStr1b")});
        library->setCertificates(certificates);
        vFunSetSpellChecker(owner.get(), &speller);
    }

    EditorContext context;

    TFEditor *editor(const char *name) const {
        for (TFEditor *e : editors)
            if (e->objectName() == QLatin1String(name))
                return e;
        return nullptr;
    }
};
