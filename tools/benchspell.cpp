// benchspell [RUNS]
// Times the spell-checking of a memo as the teacher types: a certificate's
// education memo filled to its 12 lines in one paragraph (the worst case:
// every key press checks the whole paragraph again).
//  - what start-up spends on the dictionary (the load itself runs on a
//    thread of its own) and how long that thread takes;
//  - the check of the whole memo after a key press, with the words seen
//    before (as while typing) and the first check after loading;
//  - a whole key press (a letter deleted, then typed again) with
//    spell-checking on and off.
// Prints medians.
#include "app/tfglowna.h"
#include "app/windowfactory.h"
#include "benchsupport.h"
#include "editors/binding.h"
#include "editors/editor.h"
#include "editors/fields.h"
#include "editors/spellcheck.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTextBlock>

#include <cstdio>

namespace {

double elapsedMs(const QElapsedTimer &t) {
    return t.nsecsElapsed() / 1e6;
}

const char *const kPhrases[] = {
    "Uczeń bardzo dobrze czyta ze zrozumieniem i chętnie recytuje wiersze.",
    "Pisze starannie i poprawnie, zna zasady ortografii, ale czasem myli ktury z który.",
    "Sprawnie liczy w zakresie stu, rozwiązuje zadania tekstowe z treścią.",
    "Razem z Kasią Brzęczyszczykiewicz przygotował projekt o przyrodzie w klasie 3a.",
    "Interesuje się przyrodą, zna pory roku i dba o środowisko naturalne.",
    "Lubi zajęcia plastyczne i muzyczne, jego prace są estetyczne i pomysłowe.",
    "Na zajęciach ruchowych jest sprawny i przestrzega zasad gry fair play.",
    "Chętnie pomaga kolegom, jest koleżeński i dba o porządek w swojej ławce.",
};

// Fills the memo with one paragraph up to its line limit.
void fillMemo(MemoEdit *memo) {
    memo->setWordWrap(true); // as "Automatyczne zwijanie wierszy" shows it
    memo->clear();
    for (int i = 0; memo->lineCount() < memo->lineLimit() && i < 100; ++i) {
        memo->moveCursor(QTextCursor::End);
        const QString phrase = QString::fromUtf8(kPhrases[i % std::size(kPhrases)]);
        if (memo->insertLimited((i ? QStringLiteral(" ") : QString()) + phrase) > 0)
            break;
    }
}

// A letter deleted and typed again (so a full memo stays full).
double keyPressMs(MemoEdit *memo, int at) {
    QTextCursor c = memo->textCursor();
    c.setPosition(at);
    memo->setTextCursor(c);
    const QString letter = memoText(memo).mid(at - 1, 1);
    QElapsedTimer t;
    t.start();
    QTest::keyClick(memo, Qt::Key_Backspace);
    QTest::sendKeyEvent(QTest::Click, memo, Qt::Key_unknown, letter, Qt::NoModifier);
    return elapsedMs(t) / 2;
}

} // namespace

int main(int argc, char **argv) {
    BenchEnvironment env;
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    ProgramWindows windows = createProgramWindows();
    std::unique_ptr<TFGlowna> owner(windows.glowna);
    SpellChecker &checker = *windows.glowna->spellChecker();
    if (!windows.glowna->StartUpChecks())
        return 1;
    windows.glowna->CloseWithoutAsking = true;
    checker.waitForLoad();
    if (checker.state() != SpellChecker::State::Ready) {
        std::printf("no dictionary in %s\n", qPrintable(checker.dictionaryFolder()));
        return 1;
    }

    // Start-up: the call made on the start-up path, and the loading thread.
    QList<double> calls, loads;
    for (int i = 0; i < std::max(3, runs / 40); ++i) {
        checker.unload();
        QElapsedTimer t;
        t.start();
        checker.load();
        calls << elapsedMs(t);
        checker.waitForLoad();
        loads << elapsedMs(t);
    }

    TFEditor *cert = windows.editor(QStringLiteral("TFKlasa1"));
    auto *memo =
        cert->findChild<MemoEdit *>(QStringLiteral("ZMIENNA_ObowiazkoweEdu_STR2_DATA_MEMO"));
    fillMemo(memo);
    const QString text = memoText(memo);
    const int words = int(wordsToCheck(text, true).size());
    SpellHighlighter *spell = memo->spellHighlighter();
    const QTextBlock block = memo->document()->firstBlock();

    // The first check after loading: no word seen before.
    QList<double> cold;
    for (int i = 0; i < std::max(3, runs / 40); ++i) {
        checker.unload();
        checker.load();
        checker.waitForLoad();
        QElapsedTimer t;
        t.start();
        spell->rehighlightBlock(block);
        cold << elapsedMs(t);
    }
    // As after a key press: the paragraph checked again.
    QList<double> warm;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        spell->rehighlightBlock(block);
        warm << elapsedMs(t);
    }
    // Whole key presses in the middle of the memo, checking on and off.
    QList<double> pressOn, pressOff;
    const int middle = int(text.size()) / 2;
    for (int i = 0; i < runs; ++i) {
        checker.setEnabled(true);
        pressOn << keyPressMs(memo, middle);
        checker.setEnabled(false);
        pressOff << keyPressMs(memo, middle);
    }
    checker.setEnabled(true);
    if (memoText(memo) != text)
        std::printf("warning: the memo changed\n");

    std::printf("memo: %d lines, %d characters, %d words to check\n", memo->lineCount(),
                int(text.size()), words);
    std::printf("medians over %d runs\n", runs);
    std::printf("%-46s %8.3f ms\n", "start-up path (load() call)", median(calls));
    std::printf("%-46s %8.1f ms\n", "dictionary load (own thread)", median(loads));
    std::printf("%-46s %8.3f ms\n", "check after a key press (words seen before)", median(warm));
    std::printf("%-46s %8.3f ms\n", "first check after loading (no word seen)", median(cold));
    std::printf("%-46s %8.3f ms\n", "whole key press, spell-checking on", median(pressOn));
    std::printf("%-46s %8.3f ms\n", "whole key press, spell-checking off", median(pressOff));
    return 0;
}
