#include "apptest.h"

#include "app/startup.h"
#include "storage/cppsqlite3.h"
#include "storage/settings.h"

#include <QCheckBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <thread>

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void allWindowsExistOnceInOrder();
    void firstStartPreparesEverythingAndNoticeComesOnce();
    void optionsAreLoadedFromSettings();
    void startUpFailures_data();
    void startUpFailures();
    void closeSequence_data();
    void closeSequence();
    void commandLine_data();
    void commandLine();
    void theWindowShowsWhatTheStartOpens_data();
    void theWindowShowsWhatTheStartOpens();
    void singleInstance();
    void aSecondStartHandsOverItsFile();
};

void TestStartup::allWindowsExistOnceInOrder() {
    AppFixture f;
    f.start();
    QStringList names;
    for (QWidget *w : f.windows.all)
        names << w->objectName();
    QCOMPARE(
        names,
        QStringList(
            {"TFGlowna",         "TFDaneUcznia",    "TFKalibracja",    "TFDaneSzkoly",
             "TFDrukuj",         "TFWait",          "TFOProgramie",    "TFLogi",
             "TFAktualizacja",   "TFArkuszStr1Kl1", "TFArkuszStr5Kl1", "TFKlasa2",
             "TFArkuszStr4bKl3", "TFArkuszStr3Kl1", "TFArkuszStr4Kl1", "TFSzablonOcenyOpisowej",
             "TFWywiadowka",     "TFArkuszStr1b",   "TFArkuszStr2Kl1", "TFArkuszStr2bKl1",
             "TFArkuszStr3bKl2", "TFKlasa3",        "TFKlasa1",        "TFSQLImport"}));
    // Save/load order: pupil data first, then the document-id table.
    QStringList bound;
    for (TFEditor *e : f.windows.boundWindows())
        bound << e->objectName();
    QCOMPARE(bound,
             QStringList({"TFDaneUcznia", "TFKlasa1", "TFKlasa2", "TFKlasa3", "TFArkuszStr1Kl1",
                          "TFArkuszStr2Kl1", "TFArkuszStr3Kl1", "TFArkuszStr4Kl1",
                          "TFArkuszStr5Kl1", "TFWywiadowka", "TFArkuszStr1b", "TFArkuszStr2bKl1",
                          "TFArkuszStr3bKl2", "TFArkuszStr4bKl3"}));
    QCOMPARE(f.windows.editor("TFKlasa2")->documentId(),
             QStringLiteral("SWIADECTWO UKONCZENIA KLASY 2 SZKOLY PODST."));
    QCOMPARE(f.windows.editor("TFArkuszStr1b")->windowTitle(),
             QStringLiteral("MEN-I/37b/2      Arkusz ocen str. 1"));
}

void TestStartup::firstStartPreparesEverythingAndNoticeComesOnce() {
    AppFixture f;
    writeFile(f.tmp(), "leftover working copy");
    TFGlowna *g = f.start();
    QVERIFY(g->StartUpChecks());
    QCOMPARE(
        g->windowTitle(),
        QString::fromUtf8("Drukowanie świadectw dla Szkoły Podstawowej klasy 1-3, wersja: 1.6.2"));
    QVERIFY(QFileInfo(f.env.programFile("ocena_opisowa/szablony_zachowanie")).isDir());
    QVERIFY(QFileInfo::exists(f.env.programFile("ustawienia.sqset")));
    QVERIFY(!QFileInfo::exists(f.tmp()));
    QVERIFY(!g->DataChanged);
    QVERIFY(!g->CloseWithoutAsking);
    QCOMPARE(f.prompts.asked.size(), 1);
    QCOMPARE(f.prompts.asked[0].caption, QString());
    QCOMPARE(f.prompts.asked[0].icon, Prompts::Icon::Warning);
    QVERIFY(f.prompts.asked[0].text.startsWith(QStringLiteral("UWAGA !!!\n\nNastąpiła zmiana")));
    int alert = -1;
    QString msg;
    QVERIFY(bFunSqlGetSettingsValue(msg, QStringLiteral("import_alert"), alert));
    QCOMPARE(alert, 0);
    // The pop-up entries that need a selection are off with an empty tree.
    QVERIFY(!g->findChild<QAction *>("Edytujdaneucznia1")->isEnabled());
    QVERIFY(!g->findChild<QAction *>("Drukujwybraneswiadectwo2")->isEnabled());

    f.prompts.clear();
    QVERIFY(f.start()->StartUpChecks());
    QVERIFY(f.prompts.asked.isEmpty());
}

void TestStartup::optionsAreLoadedFromSettings() {
    AppFixture f;
    QVERIFY(f.start()->StartUpChecks());
    QString msg;
    bFunSqlSettingWriteValue(msg, QStringLiteral("strike_empty_fields"), 0);
    bFunSqlSettingWriteValue(msg, QStringLiteral("print_without_dots"), 1);
    TFGlowna *g = f.start();
    QVERIFY(g->WykreskujPusteCheckBox->isChecked()); // as designed until loaded
    QVERIFY(g->StartUpChecks());
    QVERIFY(!g->WykreskujPusteCheckBox->isChecked());
    QVERIFY(g->PrintNoDotsCheckBox->isChecked());
    QVERIFY(!g->cbWordWrap->isChecked());
    // Clicking stores the option at once.
    g->cbWordWrap->click();
    int value = 0;
    QVERIFY(bFunSqlGetSettingsValue(msg, QStringLiteral("word_wrap"), value));
    QCOMPARE(value, 1);
}

void TestStartup::startUpFailures_data() {
    QTest::addColumn<QString>("broken");
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("wholeStart"); // the program's start, window shown first
    for (bool whole : {false, true}) {
        const char *road = whole ? ", whole start" : ", checks";
        QTest::addRow("no catalogue%s", road)
            << "pliki_kat.sqset"
            << "Błąd podczas próby sprawdzenia wymaganych plików / katalogów.\n\n"
               "Błąd podczas próby sprawdzenia wymaganych plików / katalogów.\nPlik nie istnieje: "
            << whole;
        QTest::addRow("no settings%s", road)
            << "ustawienia.sqset"
            << "Błąd podczas próby odczytania ustawień.\n\nPlik nie istnieje:\n"
            << whole;
    }
}

void TestStartup::startUpFailures() {
    QFETCH(QString, broken);
    QFETCH(QString, start);
    QFETCH(bool, wholeStart);
    AppFixture f;
    if (broken == QLatin1String("ustawienia.sqset")) {
        // A catalogue that does not bring the settings file.
        QFile::remove(f.install.filePath("pliki_kat.sqset"));
        writeFile(f.install.filePath("pliki_kat.sqset"), QByteArray());
        CppSQLite3DB db;
        db.Open(f.install.filePath("pliki_kat.sqset"));
        db.Execute("create table `dir`( name TEXT ); create table `files`( name TEXT, `update` "
                   "INTEGER );");
    } else {
        QFile::remove(f.install.filePath(broken));
    }
    if (wholeStart) {
        // The window is up before the checks: the reason shows over it,
        // and the window goes with the message.
        bool shownOverWindow = false;
        f.prompts.onMessage = [&](const ScriptedPrompts::Asked &) {
            shownOverWindow = f.windows.glowna && f.windows.glowna->isVisible();
        };
        bool toldShown = false;
        QVERIFY(!startProgram(f.windows, QString(), [&] { toldShown = true; }));
        f.owner.reset(f.windows.glowna);
        QVERIFY(shownOverWindow);
        QVERIFY(!f.windows.glowna->isVisible());
        QVERIFY(!toldShown);
    } else {
        TFGlowna *g = f.start();
        g->DataChanged = true;
        QVERIFY(!g->StartUpChecks());
        QVERIFY(g->CloseWithoutAsking);
    }
    QCOMPARE(f.prompts.asked.size(), 1); // one message, no close questions
    QCOMPARE(f.prompts.asked[0].caption, QStringLiteral("Błąd"));
    QCOMPARE(f.prompts.asked[0].icon, Prompts::Icon::Error);
    QVERIFY2(f.prompts.asked[0].text.startsWith(start), qPrintable(f.prompts.asked[0].text));
}

void TestStartup::closeSequence_data() {
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("withoutAsking");
    QTest::addColumn<QList<int>>("answers"); // 1 Yes, 0 No
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<bool>("closes");
    const QString save = QStringLiteral("Czy chcesz zapisać zmiany ?");
    const QString quit = QStringLiteral("Czy na pewno chcesz zakończyć pracę ?");
    QTest::newRow("unchanged, yes") << false << false << QList<int>{1} << QStringList{quit} << true;
    QTest::newRow("unchanged, no keeps running")
        << false << false << QList<int>{0} << QStringList{quit} << false;
    QTest::newRow("changed: no, yes")
        << true << false << QList<int>{0, 1} << QStringList{save, quit} << true;
    QTest::newRow("changed: no, no")
        << true << false << QList<int>{0, 0} << QStringList{save, quit} << false;
    QTest::newRow("without asking") << true << true << QList<int>{} << QStringList{} << true;
}

void TestStartup::closeSequence() {
    QFETCH(bool, changed);
    QFETCH(bool, withoutAsking);
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, questions);
    QFETCH(bool, closes);
    AppFixture f;
    TFGlowna *g = f.start();
    QVERIFY(g->StartUpChecks());
    f.prompts.clear();
    g->DataChanged = changed;
    g->CloseWithoutAsking = withoutAsking;
    for (int a : answers)
        f.prompts.answers.enqueue(a ? Prompts::Answer::Yes : Prompts::Answer::No);
    g->show();
    QCOMPARE(g->close(), closes);
    QCOMPARE(f.prompts.messages(), questions);
    if (!questions.isEmpty()) {
        QCOMPARE(f.prompts.asked.last().caption, QStringLiteral("Koniec"));
        QCOMPARE(f.prompts.asked.last().icon, Prompts::Icon::Question);
    }
    if (changed && !withoutAsking) {
        QCOMPARE(f.prompts.asked.first().caption, QString());
        QCOMPARE(f.prompts.asked.first().icon, Prompts::Icon::None);
    }
}

void TestStartup::commandLine_data() {
    QTest::addColumn<QString>("text"); // %D = the folder of the class file
    QTest::addColumn<bool>("opens");
    QTest::newRow("valid path") << "%D/klasa 3b.sqbr5" << true;
    QTest::newRow("quoted path") << "\"%D/klasa 3b.sqbr5\"" << false;
    QTest::newRow("five characters") << "a.sqb" << false;
    QTest::newRow("missing file") << "%D/brak.sqbr5" << false;
    QTest::newRow("empty") << "" << false;
}

void TestStartup::commandLine() {
    QFETCH(QString, text);
    QFETCH(bool, opens);
    AppFixture f;
    QTemporaryDir docs;
    makeClassFile(docs.filePath("klasa 3b.sqbr5"),
                  {{"01", "Żaba", "Zofia"}, {"02", "Agrest", "Adam"}});
    makeClassFile(QDir::current().filePath("a.sqb"), {});
    text.replace("%D", docs.path());
    TFGlowna *g = f.start();
    QVERIFY(g->StartUpChecks());
    g->openCommandLineDocument(text);
    QFile::remove(QDir::current().filePath("a.sqb"));
    QCOMPARE(g->documentPath(), opens ? text : QString());
    QCOMPARE(g->TreeView->topLevelItemCount(), opens ? 2 : 0);
    if (opens) {
        QCOMPARE(g->TreeView->topLevelItem(0)->text(0), QStringLiteral("Agrest Adam"));
        QCOMPARE(g->TreeView->topLevelItem(0)->childCount(), 15);
    }
    // The arguments after the program name are joined by single blanks.
    QCOMPARE(commandLineText({"swiadectwa", "/home/a/klasa", "3b.sqbr5"}),
             QStringLiteral("/home/a/klasa 3b.sqbr5"));
}

void TestStartup::theWindowShowsWhatTheStartOpens_data() {
    QTest::addColumn<QString>("text"); // %D = the folder of the class file
    QTest::addColumn<bool>("opens");
    QTest::newRow("a class named") << "%D/klasa.sqbr5" << true;
    QTest::newRow("nothing named") << "" << false;
    QTest::newRow("a file that is not there") << "%D/brak.sqbr5" << false;
}

// The first paint shows what she will work with: the first steps when no
// class opens, never the first steps and then the class named on the
// command line.
void TestStartup::theWindowShowsWhatTheStartOpens() {
    QFETCH(QString, text);
    QFETCH(bool, opens);
    AppFixture f;
    QTemporaryDir docs;
    makeClassFile(docs.filePath("klasa.sqbr5"), {{"01", "Żaba", "Zofia"}});
    text.replace("%D", docs.path());

    struct ShowWatch : QObject {
        bool stepsShown = false;
        bool eventFilter(QObject *o, QEvent *e) override {
            if (e->type() == QEvent::Show && o->objectName() == QLatin1String("FirstStepsPage"))
                stepsShown = true;
            return false;
        }
    } watch;
    qApp->installEventFilter(&watch);
    bool told = false;
    const bool started = startProgram(f.windows, text, [&] { told = true; });
    f.owner.reset(f.windows.glowna);
    qApp->removeEventFilter(&watch);
    QVERIFY(started);
    QVERIFY(told);
    TFGlowna *g = f.windows.glowna;
    QVERIFY(g->isVisible());
    QCOMPARE(g->TreeView->topLevelItemCount(), opens ? 1 : 0);
    QCOMPARE(watch.stepsShown, !opens);
    QCOMPARE(g->findChild<QWidget *>(QStringLiteral("FirstStepsPage"))->isVisible(), !opens);
}

void TestStartup::singleInstance() {
    TestEnv env;
    auto first = lockSingleInstance();
    QVERIFY(first);
    QVERIFY(!lockSingleInstance()); // a second copy is refused
    first.reset();
    auto again = lockSingleInstance();
    QVERIFY(again);
    again.reset();
#ifdef Q_OS_WIN
    QSKIP("under Wine a lock naming a process that is gone is not found stale "
          "(not yet tried on Windows itself)");
#endif
    // A lock left by a copy that crashed does not block the next start.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    writeFile(runtime + "/VELTRA-BR5.lock",
              "999999\nswiadectwa\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    QVERIFY(lockSingleInstance());
}

void TestStartup::aSecondStartHandsOverItsFile() {
    // This process is the running copy: the lock, the hand-over socket and a
    // main window with unsaved work. The program started a second time with
    // a file hands it over and ends; the file opens after the save question.
    AppFixture f;
    QTemporaryDir docs;
    const QString file = docs.filePath("klasa 3b.sqbr5");
    makeClassFile(file, {{"01", QString::fromUtf8("Żaba"), "Zofia"}});
    TFGlowna *g = f.start();
    QVERIFY(g->StartUpChecks());
    f.prompts.clear();
    g->DataChanged = true;
    auto lock = lockSingleInstance();
    QVERIFY(lock);
    auto server = std::make_unique<InstanceServer>();
    QVERIFY(server->listen());
    connect(server.get(), &InstanceServer::fileHandedOver, g, &TFGlowna::openHandedOverFile);
    f.prompts.answers.enqueue(Prompts::Answer::No); // do not save the work open now

    QProcess second;
    second.setWorkingDirectory(docs.path()); // a relative path is made whole
    second.start(QCoreApplication::applicationDirPath() + QStringLiteral("/swiadectwa"),
                 {QStringLiteral("klasa"), QStringLiteral("3b.sqbr5")});
    QVERIFY(second.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 20000);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QTRY_COMPARE(g->documentPath(), file);
    QCOMPARE(f.prompts.messages(), QStringList{QStringLiteral("Czy chcesz zapisać zmiany ?")});
    QCOMPARE(g->TreeView->topLevelItemCount(), 1);
    QCOMPARE(g->TreeView->topLevelItem(0)->text(0), QString::fromUtf8("Żaba Zofia"));

    // "Anuluj" on the save question keeps the work open now.
    g->DataChanged = true;
    f.prompts.clear();
    f.prompts.answers.enqueue(Prompts::Answer::Cancel);
    const QString other = docs.filePath("inna.sqbr5");
    makeClassFile(other, {{"02", "Agrest", "Adam"}});
    bool handed = false;
    std::thread client([&] { handed = bFunHandOverFile(other); });
    QTRY_VERIFY(f.prompts.messages().size() == 1);
    client.join();
    QVERIFY(handed);
    QCOMPARE(g->documentPath(), file);

    // With no copy listening, nothing takes the file.
    server.reset();
    QVERIFY(!bFunHandOverFile(other, 500));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
