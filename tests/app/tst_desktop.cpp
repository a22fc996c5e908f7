#include "apptest.h"
#include "storage/settings.h"

#include <QCheckBox>
#include <QMenu>
#include <QtTest>

// What a Linux desktop expects of the main window: the file and its unsaved
// state in the title, every option within reach however narrow the window.
class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void titleNamesTheFileAndItsChanges();
    void printOptionsAlsoInTheMenu_data();
    void printOptionsAlsoInTheMenu();

private:
    std::unique_ptr<AppFixture> f;
    std::unique_ptr<QTemporaryDir> docs;
};

void TestDesktop::init() {
    f = std::make_unique<AppFixture>();
    docs = std::make_unique<QTemporaryDir>();
    QVERIFY(f->start()->StartUpChecks());
    f->prompts.clear();
}

void TestDesktop::cleanup() {
    f.reset();
    docs.reset();
}

void TestDesktop::titleNamesTheFileAndItsChanges() {
    TFGlowna *g = f->g();
    const QString caption = QString::fromUtf8("Drukowanie świadectw dla Szkoły Podstawowej klasy "
                                              "1-3, wersja: ");
    QVERIFY(g->windowTitle().startsWith(caption));
    const QString file = docs->filePath("klasa-3a.sqbr5");
    makeClassFile(file, {{"01", "Agrest", "Adam"}});
    g->openCommandLineDocument(file);
    QVERIFY(g->windowTitle().startsWith(QString::fromUtf8("klasa-3a.sqbr5[*] — ") + caption));
    QVERIFY(!g->isWindowModified());
    g->DataChanged = true;
    QVERIFY(g->isWindowModified());
    g->Zapisz1Click();
    QVERIFY(!g->isWindowModified());
    // A new class, not saved yet.
    g->NowyPlikToolButtonClick();
    QVERIFY(g->windowTitle().startsWith(QString::fromUtf8("Nowa klasa[*] — ") + caption));
}

void TestDesktop::printOptionsAlsoInTheMenu_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("key");
    QTest::newRow("strike empty fields") << "WykreskujPuste1"
                                         << "WykreskujPusteCheckBox"
                                         << "strike_empty_fields";
    QTest::newRow("without dots") << "PrintNoDots1"
                                  << "PrintNoDotsCheckBox"
                                  << "print_without_dots";
    QTest::newRow("clip text fields") << "WordWrap1"
                                      << "cbWordWrap"
                                      << "word_wrap";
}

// On a 1024-pixel screen at a large scale the tool bar hides its last check
// boxes behind "»": the Ustawienia menu has them too, and both stay one.
void TestDesktop::printOptionsAlsoInTheMenu() {
    QFETCH(QString, action);
    QFETCH(QString, box);
    QFETCH(QString, key);
    TFGlowna *g = f->g();
    QMenu *settings = g->findChild<QMenu *>("Ustawienia1");
    QAction *a = g->findChild<QAction *>(action);
    auto *check = g->findChild<QCheckBox *>(box);
    QVERIFY(a && check && settings->actions().contains(a));
    QVERIFY(a->isCheckable());
    QCOMPARE(a->isChecked(), check->isChecked());
    const bool before = check->isChecked();
    a->trigger();
    QCOMPARE(check->isChecked(), !before);
    QString msg;
    int stored = -1;
    QVERIFY(bFunSqlGetSettingsValue(msg, key, stored));
    QCOMPARE(stored != 0, !before);
    check->click();
    QCOMPARE(a->isChecked(), before);
    QVERIFY(bFunSqlGetSettingsValue(msg, key, stored));
    QCOMPARE(stored != 0, before);
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
