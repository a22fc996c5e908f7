#include "editorsfixture.h"

#include "editors/binding.h"
#include "editors/fields.h"
#include "editors/spellcheck.h"
#include "storage/codec.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTextBlock>
#include <QtTest>

// Spell-checking of the memos and the phrase library's text fields, with the
// Polish dictionary of the system (hunspell-pl) or a small one of the test.
class TestSpelling : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void flagsUnknownWordsButNotNamesOrNumbers_data();
    void flagsUnknownWordsButNotNamesOrNumbers();
    void typedTextIsCheckedOnceTheWordIsFinished();
    void contextMenuCorrects_data();
    void contextMenuCorrects();
    void shiftF10OpensTheContextMenu_data();
    void shiftF10OpensTheContextMenu();
    void onlyCorrectionsThatFitAndCp1250CanStore();
    void addedWordSurvivesARestartIgnoredDoesNot();
    void aPersonalListThatCannotBeWrittenIsReported();
    void switchedOffRemovesEveryUnderline();
    void withoutTheDictionaryTheMemosWorkAsBefore();

private:
    MemoEdit *field(const QString &which) const;
    void loadDictionary(const QString &folder = QString());

    std::unique_ptr<EditorsFixture> f;
};

namespace {

// Every word of the memo that is underlined.
QStringList flagged(const QPlainTextEdit *memo) {
    QStringList out;
    for (QTextBlock b = memo->document()->begin(); b.isValid(); b = b.next()) {
        for (const QTextLayout::FormatRange &r : b.layout()->formats()) {
            if (r.format.underlineStyle() == QTextCharFormat::WaveUnderline)
                out << b.text().mid(r.start, r.length);
        }
    }
    return out;
}

// Types text as the keyboard does, Polish letters included.
void type(QWidget *w, const QString &text) {
    for (QChar ch : text) {
        if (ch == QLatin1Char('\n'))
            QTest::keyClick(w, Qt::Key_Return);
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

// Opens the memo's context menu on the word at document position pos, by the
// mouse or from the keyboard (caret in the word), lets use() work with it
// and closes it.
void withContextMenu(MemoEdit *memo, int pos, bool keyboard,
                     const std::function<void(QMenu *)> &use) {
    bool opened = false;
    QTimer::singleShot(0, memo, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        opened = true;
        use(menu);
        menu->close();
    });
    QTextCursor at(memo->document());
    at.setPosition(pos);
    if (keyboard) {
        memo->setTextCursor(at);
        const QPoint p = memo->cursorRect().center();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, p, memo->mapToGlobal(p));
        QApplication::sendEvent(memo, &event);
    } else {
        memo->moveCursor(QTextCursor::End); // the caret elsewhere: the pointer counts
        const QPoint p = memo->cursorRect(at).center() + QPoint(3, 0);
        QContextMenuEvent event(QContextMenuEvent::Mouse, p, memo->viewport()->mapToGlobal(p));
        QApplication::sendEvent(memo->viewport(), &event);
    }
    QVERIFY(opened);
}

QStringList suggestionTexts(QMenu *menu) {
    QStringList out;
    for (QAction *a : menu->actions()) {
        if (a->objectName() == QLatin1String("SpellSuggestion"))
            out << a->text();
    }
    return out;
}

QAction *actionNamed(QMenu *menu, const QString &name, const QString &text = QString()) {
    for (QAction *a : menu->actions()) {
        if (a->objectName() == name && (text.isEmpty() || a->text() == text))
            return a;
    }
    return nullptr;
}

} // namespace

void TestSpelling::init() {
    f = std::make_unique<EditorsFixture>();
}

void TestSpelling::cleanup() {
    f.reset();
}

void TestSpelling::loadDictionary(const QString &folder) {
    SpellChecker &checker = f->speller;
    checker.setDictionaryFolder(folder);
    checker.load();
    checker.waitForLoad();
    QCOMPARE(checker.state(), SpellChecker::State::Ready);
}

MemoEdit *TestSpelling::field(const QString &which) const {
    if (which == QLatin1String("phrase library"))
        return f->library->preview(1);
    return f->editor("TFKlasa1")
        ->findChild<MemoEdit *>(QStringLiteral("ZMIENNA_ObowiazkoweEdu_STR2_DATA_MEMO"));
}

void TestSpelling::flagsUnknownWordsButNotNamesOrNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("a misspelt word") << "Ala ma kota, ktury biega." << QStringList{"ktury"};
    QTest::newRow("Polish letters") << QString::fromUtf8("Uczeń pięknie czyta, źdźbłowato pisze.")
                                    << QStringList{QString::fromUtf8("źdźbłowato")};
    QTest::newRow("a name inside a sentence")
        << QString::fromUtf8("Chętnie pomaga Brzęczyszczykiewiczem i Ktury.") << QStringList{};
    QTest::newRow("an unknown word starting a sentence")
        << QString::fromUtf8("Pisze ładnie. Ktury czyta! Ktura liczy?")
        << QStringList{"Ktury", "Ktura"};
    QTest::newRow("numbers and class names")
        << QString::fromUtf8("Uczeń klasy 3a, sala 12b, 2024r.") << QStringList{};
    QTest::newRow("words in capitals") << "Pisze w zeszycie MENX i SPQRZ." << QStringList{};
    QTest::newRow("a sentence going on in the next line")
        << QString::fromUtf8("Bawi się z\nKtury i ktura.\nKtury czyta.")
        << QStringList{"ktura", "Ktury"};
    QTest::newRow("nothing wrong")
        << QString::fromUtf8("Jest koleżeński i chętnie pomaga innym.") << QStringList{};
}

void TestSpelling::flagsUnknownWordsButNotNamesOrNumbers() {
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    loadDictionary();
    // Text the program puts in (a loaded pupil) and text the teacher types.
    for (MemoEdit *memo : {field("certificate"), field("phrase library")}) {
        memo->setPlainText(text);
        QCOMPARE(flagged(memo), expected);
    }
    MemoEdit *memo = field("certificate");
    memo->clear();
    type(memo, text);
    QCOMPARE(memoText(memo), text);
    QCOMPARE(flagged(memo), expected);
}

void TestSpelling::typedTextIsCheckedOnceTheWordIsFinished() {
    loadDictionary();
    MemoEdit *memo = field("certificate");
    type(memo, QStringLiteral("Ala ma ktur"));
    QCOMPARE(flagged(memo), QStringList()); // still being typed
    type(memo, QStringLiteral("y"));
    QCOMPARE(flagged(memo), QStringList());
    type(memo, QStringLiteral(" "));
    QCOMPARE(flagged(memo), QStringList{"ktury"});
    // Leaving an unfinished word by a click or an arrow key checks it too.
    type(memo, QStringLiteral("kotta"));
    QCOMPARE(flagged(memo), QStringList{"ktury"});
    QTest::keyClick(memo, Qt::Key_Home);
    QCOMPARE(flagged(memo), (QStringList{"ktury", "kotta"}));
}

void TestSpelling::contextMenuCorrects_data() {
    QTest::addColumn<QString>("which");
    QTest::addColumn<bool>("keyboard");
    QTest::newRow("certificate, mouse") << "certificate" << false;
    QTest::newRow("certificate, keyboard") << "certificate" << true;
    QTest::newRow("phrase library, mouse") << "phrase library" << false;
    QTest::newRow("phrase library, keyboard") << "phrase library" << true;
}

void TestSpelling::contextMenuCorrects() {
    QFETCH(QString, which);
    QFETCH(bool, keyboard);
    loadDictionary();
    MemoEdit *memo = field(which);
    memo->setPlainText(QStringLiteral("Ala ma kota, ktury biega."));
    const int word = int(memoText(memo).indexOf(QLatin1String("ktury")));
    QStringList offered;
    QStringList standard;
    withContextMenu(memo, word + 2, keyboard, [&](QMenu *menu) {
        offered = suggestionTexts(menu);
        QVERIFY(actionNamed(menu, QStringLiteral("SpellAddWord"),
                            QString::fromUtf8("Dodaj do "
                                              "słownika")));
        QVERIFY(actionNamed(menu, QStringLiteral("SpellIgnoreWord"), QStringLiteral("Ignoruj")));
        for (QAction *a : menu->actions()) {
            if (!a->isSeparator() && !a->objectName().startsWith(QLatin1String("Spell")))
                standard << a->text();
        }
        actionNamed(menu, QStringLiteral("SpellSuggestion"), QString::fromUtf8("który"))->trigger();
    });
    QCOMPARE(offered.value(0), QString::fromUtf8("który"));
    QCOMPARE(offered.size(), 5); // the dictionary has more; five are offered
    QVERIFY2(standard.size() >= 5, qPrintable(standard.join('|'))); // cut, copy, paste...
    QCOMPARE(memoText(memo), QString::fromUtf8("Ala ma kota, który biega."));
    QCOMPARE(flagged(memo), QStringList());
    // The correction is one step of undo.
    memo->undo();
    QCOMPARE(memoText(memo), QStringLiteral("Ala ma kota, ktury biega."));

    // A correct word gets the plain menu.
    withContextMenu(memo, 1, keyboard, [&](QMenu *menu) {
        QVERIFY(suggestionTexts(menu).isEmpty());
        QVERIFY(!actionNamed(menu, QStringLiteral("SpellAddWord")));
    });
}

void TestSpelling::shiftF10OpensTheContextMenu_data() {
    QTest::addColumn<QString>("which");
    QTest::newRow("certificate memo") << "certificate";
    QTest::newRow("phrase library") << "phrase library";
    QTest::newRow("certificate line edit") << "ZMIENNA_SzkolaMiasto_STR1_DATA_EDIT";
    QTest::newRow("pupil surname") << "Nazwisko_DATA_EDIT";
}

void TestSpelling::shiftF10OpensTheContextMenu() {
    QFETCH(QString, which);
    loadDictionary();
    vFunInstallKeyboardContextMenu();
    const QString text = QStringLiteral("Ala ma kota, ktury biega.");
    QWidget *w = nullptr;
    if (which.endsWith(QLatin1String("_EDIT"))) {
        QWidget *window = which.startsWith(QLatin1String("Nazwisko"))
                              ? static_cast<QWidget *>(f->pupil)
                              : static_cast<QWidget *>(f->editor("TFKlasa1"));
        auto *edit = window->findChild<QLineEdit *>(which);
        edit->setText(QStringLiteral("Ala"));
        w = edit;
    } else {
        MemoEdit *memo = field(which);
        memo->setPlainText(text);
        QTextCursor at(memo->document());
        at.setPosition(int(text.indexOf(QLatin1String("ktury"))) + 2);
        memo->setTextCursor(at);
        w = memo;
    }
    // The menu is the one the mouse and the Menu key open: in a memo it
    // offers corrections of the word at the caret.
    QMenu *menu = nullptr;
    QStringList offered;
    QTimer::singleShot(0, w, [&] {
        menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (menu) {
            offered = suggestionTexts(menu);
            menu->close();
        }
    });
    QTest::keyClick(w, Qt::Key_F10, Qt::ShiftModifier);
    if (!menu) { // a line edit's menu does not wait
        menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QVERIFY(!menu->actions().isEmpty());
        menu->close();
    }
    QVERIFY(menu);
    if (qobject_cast<MemoEdit *>(w))
        QCOMPARE(offered.value(0), QString::fromUtf8("który"));
}

void TestSpelling::onlyCorrectionsThatFitAndCp1250CanStore() {
    // A dictionary of the test, in UTF-8: "ktūry" has a letter code page
    // 1250 lacks, so the class file could not keep it.
    QTemporaryDir dir;
    writeFile(dir.filePath("pl_PL.aff"), "SET UTF-8\nTRY aeiouyktrsó\n");
    writeFile(dir.filePath("pl_PL.dic"),
              QString::fromUtf8("5\nktūry\nktóry\nkury\nkot\nma\n").toUtf8());
    loadDictionary(dir.path());
    QCOMPARE(f->speller.suggestions(QStringLiteral("ktury")).contains(QString::fromUtf8("ktūry")),
             false);

    // A field full to its last character takes no longer correction.
    MemoEdit *memo = field("certificate");
    memo->setPlainText(QStringLiteral("kot ma ktury"));
    memo->setMaxChars(12);
    withContextMenu(memo, 9, false, [](QMenu *menu) {
        const QStringList offered = suggestionTexts(menu);
        QVERIFY2(offered.contains(QString::fromUtf8("który")), qPrintable(offered.join('|')));
        QVERIFY2(offered.contains(QStringLiteral("kury")), qPrintable(offered.join('|')));
        QVERIFY(!offered.contains(QString::fromUtf8("ktūry")));
        QVERIFY(actionNamed(menu, QStringLiteral("SpellSuggestion"), QString::fromUtf8("który"))
                    ->isEnabled()); // as long as the word
    });
    memo->setPlainText(QStringLiteral("kot ma ktry"));
    memo->setMaxChars(11);
    withContextMenu(memo, 8, false, [](QMenu *menu) {
        QVERIFY(!actionNamed(menu, QStringLiteral("SpellSuggestion"), QString::fromUtf8("który"))
                     ->isEnabled()); // one letter longer than the room left
        QVERIFY(actionNamed(menu, QStringLiteral("SpellSuggestion"), QStringLiteral("kury"))
                    ->isEnabled());
    });
}

void TestSpelling::addedWordSurvivesARestartIgnoredDoesNot() {
    loadDictionary();
    MemoEdit *memo = field("certificate");
    const QString text = QString::fromUtf8("Źdźbłowato pisze, ktury czyta.");
    memo->setPlainText(text);
    QCOMPARE(flagged(memo), (QStringList{QString::fromUtf8("Źdźbłowato"), "ktury"}));
    // Added at the start of a sentence: known in small letters too.
    withContextMenu(memo, 2, false, [](QMenu *menu) {
        actionNamed(menu, QStringLiteral("SpellAddWord"))->trigger();
    });
    withContextMenu(memo, int(text.indexOf(QLatin1String("ktury"))) + 1, true, [](QMenu *menu) {
        actionNamed(menu, QStringLiteral("SpellIgnoreWord"))->trigger();
    });
    QCOMPARE(flagged(memo), QStringList());
    MemoEdit *other = field("phrase library");
    other->setPlainText(QString::fromUtf8("Pisze źdźbłowato, ktury czyta."));
    QCOMPARE(flagged(other), QStringList());

    // The list is the program folder's, UTF-8, one word a line.
    const QString list = f->env.programFile(SpellChecker::personalListFileName());
    QCOMPARE(readFile(list), QString::fromUtf8("źdźbłowato\n").toUtf8());

    // A new start knows the added word, not the ignored one.
    f->speller.unload();
    QCOMPARE(flagged(memo), QStringList()); // nothing shows while loading
    loadDictionary();
    QCOMPARE(flagged(memo), QStringList{"ktury"});
    QCOMPARE(flagged(other), QStringList{"ktury"});
}

void TestSpelling::aPersonalListThatCannotBeWrittenIsReported() {
    loadDictionary();
    // A folder where the list should be: the file cannot be written.
    QDir().mkpath(f->env.programFile(SpellChecker::personalListFileName()));
    MemoEdit *memo = field("certificate");
    memo->setPlainText(QStringLiteral("Ala ma ktury."));
    withContextMenu(memo, 8, false, [](QMenu *menu) {
        actionNamed(menu, QStringLiteral("SpellAddWord"))->trigger();
    });
    QCOMPARE(f->prompts.asked.size(), 1);
    QCOMPARE(f->prompts.asked[0].caption, QStringLiteral("Błąd"));
    QVERIFY2(f->prompts.asked[0].text.startsWith(
                 QString::fromUtf8("Nie udało się zapisać słowa w słowniku osobistym")),
             qPrintable(f->prompts.asked[0].text));
    QVERIFY(f->prompts.asked[0].text.contains(QString::fromUtf8("Kod błędu")));
    // The word is taken for this run all the same.
    QCOMPARE(flagged(memo), QStringList());
}

void TestSpelling::switchedOffRemovesEveryUnderline() {
    loadDictionary();
    MemoEdit *memo = field("certificate");
    MemoEdit *other = field("phrase library");
    memo->setPlainText(QStringLiteral("Ala ma ktury.\nKtura biega."));
    other->setPlainText(QStringLiteral("Ktory ma kota."));
    QCOMPARE(flagged(memo).size() + flagged(other).size(), 3);
    f->speller.setEnabled(false);
    QCOMPARE(flagged(memo), QStringList());
    QCOMPARE(flagged(other), QStringList());
    memo->moveCursor(QTextCursor::End);
    type(memo, QStringLiteral(" ktura zzz "));
    QCOMPARE(flagged(memo), QStringList());
    withContextMenu(memo, 8, false, [](QMenu *menu) {
        QVERIFY(!actionNamed(menu, QStringLiteral("SpellAddWord")));
    });
    f->speller.setEnabled(true);
    QCOMPARE(flagged(memo), (QStringList{"ktury", "Ktura", "ktura", "zzz"}));
}

void TestSpelling::withoutTheDictionaryTheMemosWorkAsBefore() {
    QTemporaryDir empty;
    SpellChecker &checker = f->speller;
    checker.setDictionaryFolder(empty.path());
    QSignalSpy unavailable(&checker, &SpellChecker::unavailable);
    checker.load();
    checker.load(); // said once
    QCOMPARE(checker.state(), SpellChecker::State::Unavailable);
    QCOMPARE(unavailable.size(), 1);
    MemoEdit *memo = field("certificate");
    type(memo, QStringLiteral("Ala ma ktury."));
    QCOMPARE(memoText(memo), QStringLiteral("Ala ma ktury."));
    QCOMPARE(flagged(memo), QStringList());
    withContextMenu(memo, 8, false, [](QMenu *menu) {
        QVERIFY(suggestionTexts(menu).isEmpty());
        QVERIFY(!actionNamed(menu, QStringLiteral("SpellAddWord")));
        QVERIFY(menu->actions().size() >= 5); // the usual editing commands
    });
}

QTEST_MAIN(TestSpelling)
#include "tst_spelling.moc"
