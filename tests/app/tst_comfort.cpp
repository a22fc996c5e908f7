#include "apptest.h"

#include "document/spellchecker.h"
#include "editors/fields.h"
#include "storage/settings.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QToolButton>
#include <QtTest>

// The first start that explains itself and the spell-checking switch of the
// main window.
class TestComfort : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void firstStepsShowWhileNoClassIsOpen_data();
    void firstStepsShowWhileNoClassIsOpen();
    void firstStepsShowTheToolButtons();
    void spellCheckingSwitchIsKeptAsASetting();
    void withoutTheDictionaryTheStatusBarSaysSoOnce();
    void licenceFileMatchesTheAboutBox();

private:
    MemoEdit *certificateMemo() const {
        return f->windows.editor(QStringLiteral("TFKlasa1"))
            ->findChild<MemoEdit *>(QStringLiteral("ZMIENNA_Zachowanie_STR2_DATA_MEMO"));
    }
    QAction *spellAction() const {
        return f->g()->findChild<QAction *>(QStringLiteral("Sprawdzaniepisowni1"));
    }

    std::unique_ptr<AppFixture> f;
    std::unique_ptr<QTemporaryDir> docs;
};

namespace {

int underlines(const QPlainTextEdit *memo) {
    int n = 0;
    for (QTextBlock b = memo->document()->begin(); b.isValid(); b = b.next()) {
        for (const QTextLayout::FormatRange &r : b.layout()->formats())
            n += r.format.underlineStyle() == QTextCharFormat::WaveUnderline ? 1 : 0;
    }
    return n;
}

bool showsFirstSteps(TFGlowna *g) {
    QWidget *steps = g->findChild<QWidget *>(QStringLiteral("FirstStepsPage"));
    return steps && !steps->isHidden() && g->PageControl->isHidden() && !g->isClassOpen();
}

int settingValue(const char *key) {
    QString msg;
    int value = -1;
    bFunSqlGetSettingsValue(msg, QString::fromLatin1(key), value);
    return value;
}

} // namespace

void TestComfort::init() {
    f = std::make_unique<AppFixture>();
    docs = std::make_unique<QTemporaryDir>();
}

void TestComfort::cleanup() {
    f.reset();
    docs.reset();
}

void TestComfort::firstStepsShowWhileNoClassIsOpen_data() {
    QTest::addColumn<QString>("road");
    QTest::addColumn<bool>("classOpen");
    QTest::newRow("started without a file") << "none" << false;
    QTest::newRow("a class file on the command line") << "command line" << true;
    QTest::newRow("Nowy plik tool button") << "new button" << true;
    QTest::newRow("the picture of Nowy plik in the steps") << "new picture" << true;
    QTest::newRow("Ctrl+N") << "new key" << true;
    QTest::newRow("Otwórz plik") << "open" << true;
    QTest::newRow("a file that is no class file") << "not a class" << false;
}

void TestComfort::firstStepsShowWhileNoClassIsOpen() {
    QFETCH(QString, road);
    QFETCH(bool, classOpen);
    const QString classFile = docs->filePath(QStringLiteral("klasa.sqbr5"));
    makeClassFile(classFile, {{"01", "Agrest", "Adam"}});
    const QString notAClass = docs->filePath(QStringLiteral("notatki.sqbr5"));
    writeFile(notAClass, "to nie jest plik klasy, tylko notatki nauczyciela");

    TFGlowna *g = f->start();
    QVERIFY(g->StartUpChecks());
    QVERIFY(showsFirstSteps(g));
    if (road == QLatin1String("none")) {
        g->openCommandLineDocument(QString());
    } else if (road == QLatin1String("command line")) {
        g->openCommandLineDocument(classFile);
    } else if (road == QLatin1String("new button")) {
        g->findChild<QToolButton *>(QStringLiteral("NowyPlikToolButton"))->click();
    } else if (road == QLatin1String("new picture")) {
        g->findChild<QToolButton *>(QStringLiteral("FirstSteps_NowyPlikToolButton"))->click();
    } else if (road == QLatin1String("new key")) {
        g->show();
        QVERIFY(QTest::qWaitForWindowActive(g));
        QTest::keyClick(g, Qt::Key_N, Qt::ControlModifier);
    } else if (road == QLatin1String("open")) {
        f->prompts.fileNames.enqueue(classFile);
        g->OtworzPlikToolButtonClick();
    } else {
        g->openCommandLineDocument(notAClass);
    }
    QCOMPARE(showsFirstSteps(g), !classOpen);
    QCOMPARE(g->PageControl->isHidden(), !classOpen);
    if (classOpen && road != QLatin1String("command line") && road != QLatin1String("open"))
        QVERIFY(!g->Image1->isEmpty()); // New shows the empty certificate

    // A file that fails to open afterwards leaves the class that was open.
    if (classOpen) {
        g->openCommandLineDocument(notAClass);
        QVERIFY(!showsFirstSteps(g));
    }
}

void TestComfort::firstStepsShowTheToolButtons() {
    TFGlowna *g = f->start();
    QVERIFY(g->StartUpChecks());
    auto *page = g->findChild<QWidget *>(QStringLiteral("FirstStepsPage"));
    QVERIFY(page);
    const struct {
        const char *text;
        QStringList buttons;
    } steps[] = {
        {"Utwórz nowy plik klasy", {"NowyPlikToolButton", "OtworzPlikToolButton"}},
        {"Dodaj ucznia", {"DodajUczniaToolButton"}},
        {"Wybierz dokument w drzewie", {"EdytujSwiadectwoToolButton", "DrukujToolButton"}},
    };
    int row = 1;
    for (const auto &step : steps) {
        auto *label = page->findChild<QLabel *>(QStringLiteral("FirstStepsText%1").arg(row++));
        QVERIFY(label);
        QVERIFY2(label->text().contains(QString::fromUtf8(step.text)), qPrintable(label->text()));
        for (const QString &name : step.buttons) {
            auto *real = g->findChild<QToolButton *>(name);
            auto *picture = page->findChild<QToolButton *>(QStringLiteral("FirstSteps_") + name);
            QVERIFY2(picture, qPrintable(name));
            QCOMPARE(picture->icon().cacheKey(), real->icon().cacheKey());
            QCOMPARE(picture->toolTip(), real->toolTip());
            QCOMPARE(picture->accessibleName(), real->toolTip());
        }
    }
    QCOMPARE(page->findChildren<QToolButton *>().size(), 5);
}

void TestComfort::spellCheckingSwitchIsKeptAsASetting() {
    TFGlowna *g = f->start();
    QVERIFY(g->StartUpChecks());
    // The dictionary is read when words first wait to be checked, not at the start.
    QCOMPARE(g->spellChecker()->state(), SpellChecker::State::NotLoaded);
    // In the "Ustawienia" menu, on unless turned off.
    auto *menu = g->menuBar()->findChild<QMenu *>(QStringLiteral("Ustawienia1"));
    QVERIFY(menu->actions().contains(spellAction()));
    QCOMPARE(spellAction()->text(), QStringLiteral("&Sprawdzanie pisowni"));
    QVERIFY(spellAction()->isCheckable());
    QVERIFY(spellAction()->isChecked());
    MemoEdit *memo = certificateMemo();
    QCOMPARE(g->spellChecker()->state(), SpellChecker::State::NotLoaded);
    memo->setPlainText(QStringLiteral("Ala ma kota, ktury biega."));
    QCOMPARE(g->spellChecker()->state(), SpellChecker::State::Loading);
    g->spellChecker()->waitForLoad();
    QCOMPARE(underlines(memo), 1);

    spellAction()->trigger();
    QCOMPARE(settingValue("spell_check_off"), 1);
    QCOMPARE(underlines(memo), 0);
    QCOMPARE(g->statusNotice(), QString());

    // The next start keeps it off and does not load the dictionary.
    g = f->start();
    QVERIFY(g->StartUpChecks());
    QVERIFY(!spellAction()->isChecked());
    QCOMPARE(g->spellChecker()->state(), SpellChecker::State::NotLoaded);
    certificateMemo()->setPlainText(QStringLiteral("Ala ma kota, ktury biega."));
    QCOMPARE(underlines(certificateMemo()), 0);

    // Turned on again, the dictionary loads and the words are checked.
    spellAction()->trigger();
    QCOMPARE(settingValue("spell_check_off"), 0);
    g->spellChecker()->waitForLoad();
    QCOMPARE(underlines(certificateMemo()), 1);
}

void TestComfort::withoutTheDictionaryTheStatusBarSaysSoOnce() {
    QTemporaryDir empty;
    TFGlowna *g = f->start();
    g->spellChecker()->setDictionaryFolder(empty.path());
    QVERIFY(g->StartUpChecks());
    const QString notice = QString::fromUtf8(
        "Sprawdzanie pisowni jest niedostępne: brak słownika polskiego (pakiet hunspell-pl).");
    QCOMPARE(g->statusNotice(), notice);
    for (const ScriptedPrompts::Asked &a : f->prompts.asked) // no message box about it
        QVERIFY2(!a.text.contains(QString::fromUtf8("pisowni")), qPrintable(a.text));
    // Switching it off and on again says nothing more.
    g->showStatusNotice(QString());
    spellAction()->trigger();
    spellAction()->trigger();
    QCOMPARE(g->statusNotice(), QString());
    // The editors work as before.
    MemoEdit *memo = certificateMemo();
    QTest::keyClicks(memo, "Ala ma kota, ktury biega.");
    QCOMPARE(memo->toPlainText(), QStringLiteral("Ala ma kota, ktury biega."));
    QCOMPARE(underlines(memo), 0);
}

void TestComfort::licenceFileMatchesTheAboutBox() {
    f->start();
    auto *about = f->windows.oProgramie->findChild<QLabel *>(QStringLiteral("AboutLabel"));
    QVERIFY(about->text().contains(
        QString::fromUtf8("GNU General Public License, wersja 3 lub nowsza")));
    const QString licence = QString::fromUtf8(readFile(QStringLiteral(SW_SOURCE_DIR "/LICENSE")));
    QVERIFY(licence.simplified().startsWith(
        QStringLiteral("GNU GENERAL PUBLIC LICENSE Version 3, 29 June 2007")));
}

QTEST_MAIN(TestComfort)
#include "tst_comfort.moc"
