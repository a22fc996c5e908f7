#include "apptest.h"

#include "dialogs/tfsqlimport.h"
#include "editors/tfdaneucznia.h"
#include "support/eventcounter.h"
#include "support/legacyfile.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QtTest>

namespace {

const QString kCert1 = QStringLiteral("SWIADECTWO UKONCZENIA KLASY 1 SZKOLY PODST.");

} // namespace

// "Plik" - "Importuj" from the main window, through the prompts.
class TestImport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void importThroughTheMenu();
    void unsavedChanges_data();
    void unsavedChanges();
    void importedClassIsSavedUnderANewName();
    void failuresChangeNothing_data();
    void failuresChangeNothing();
    void placeholderPupilKeepsToItsOwnTable();

private:
    TFGlowna *g() const { return f->g(); }
    void openClass() {
        makeClassFile(classFile, {{"01234567890", "Stary", "Piotr"}});
        g()->openCommandLineDocument(classFile);
    }
    void triggerImport() { g()->findChild<QAction *>("Importuj1")->trigger(); }
    QStringList treeNames() const {
        QStringList names;
        for (int i = 0; i < g()->TreeView->topLevelItemCount(); ++i)
            names << g()->TreeView->topLevelItem(i)->text(0);
        return names;
    }
    QStringList tables(const QString &path) const {
        QStringList out;
        QString msg;
        bFunGetTableList(msg, path, out);
        return out;
    }

    std::unique_ptr<AppFixture> f;
    std::unique_ptr<QTemporaryDir> docs;
    QString classFile;
    QString legacyFile;
};

void TestImport::init() {
    f = std::make_unique<AppFixture>();
    docs = std::make_unique<QTemporaryDir>();
    classFile = docs->filePath("klasa.sqbr5");
    legacyFile = docs->filePath("stara klasa.br5");
    QVERIFY(f->start()->StartUpChecks());
    f->prompts.clear();
    writeFile(legacyFile,
              legacyBytes(legacyBlock("Nowak", "Anna", "22222222222",
                                      legacyDocument(kCert1, {"<ZMIENNA_Klasa_STR1_DATA_EDIT>1"})) +
                          legacyBlock("Żak", "Ewa", QString()) +
                          legacyBlock("Bąk", "Jan", "33333333333")));
}

void TestImport::cleanup() {
    f.reset();
    docs.reset();
}

void TestImport::importThroughTheMenu() {
    openClass();
    const QByteArray classBytes = readFile(classFile);
    g()->TreeView->setCurrentItem(g()->TreeView->topLevelItem(0));
    g()->TreeViewClick();
    QCOMPARE(f->windows.daneUcznia->surname(), QStringLiteral("Stary"));
    EventCounter shows(f->windows.sqlImport, QEvent::Show);
    f->prompts.fileNames.enqueue(legacyFile);
    triggerImport();

    const auto &asked = f->prompts.asked;
    QCOMPARE(asked.size(), 2); // no save question: nothing was changed
    QCOMPARE(asked[0].kind, QStringLiteral("open"));
    QCOMPARE(asked[0].caption, QStringLiteral("Import danych"));
    QCOMPARE(asked[0].text, QStringLiteral("SP 1-3 (*.br5)"));
    QCOMPARE(asked[1].caption, QStringLiteral("Import danych"));
    QCOMPARE(asked[1].icon, Prompts::Icon::Warning);
    QVERIFY2(asked[1].text.startsWith(QString::fromUtf8("Zaimportowano uczniów: 3.")),
             qPrintable(asked[1].text));
    QVERIFY(asked[1].text.contains(
        QString::fromUtf8("- Żak Ewa (brak numeru PESEL), w pliku jako PESEL_BRAK_1")));

    // The window was up during the import and is gone now.
    QCOMPARE(shows.count, 1);
    QVERIFY(!f->windows.sqlImport->isVisible());
    QCOMPARE(f->windows.sqlImport->InfoLabel->text(),
             QString::fromUtf8("importuje świadectwa dla PESEL33333333333"));

    QCOMPARE(treeNames(), QStringList({"Bąk Jan", "Nowak Anna", "Żak Ewa"}));
    QCOMPARE(tables(f->tmp()),
             QStringList({"PESEL22222222222", "PESEL_BRAK_1", "PESEL33333333333"}));
    // A new class without a file; nothing of the old pupil stays.
    QCOMPARE(g()->documentPath(), QString());
    QVERIFY(g()->DataChanged);
    QCOMPARE(f->windows.daneUcznia->surname(), QString());
    QCOMPARE(readFile(classFile), classBytes);
}

void TestImport::unsavedChanges_data() {
    QTest::addColumn<bool>("named");     // the class came from a file
    QTest::addColumn<int>("answer");     // to "Czy chcesz zapisać zmiany ?"
    QTest::addColumn<bool>("breakSave"); // the save cannot copy the working copy
    QTest::addColumn<bool>("imported");
    QTest::addColumn<bool>("classSaved"); // the class file holds the change

    const int yes = int(Prompts::Answer::Yes);
    const int no = int(Prompts::Answer::No);
    QTest::newRow("no: changes dropped") << true << no << false << true << false;
    QTest::newRow("yes: saved, then imported") << true << yes << false << true << true;
    QTest::newRow("yes: save fails, stop") << true << yes << true << false << false;
    QTest::newRow("yes: new class, name cancelled, stop")
        << false << yes << false << false << false;
}

void TestImport::unsavedChanges() {
    QFETCH(bool, named);
    QFETCH(int, answer);
    QFETCH(bool, breakSave);
    QFETCH(bool, imported);
    QFETCH(bool, classSaved);

    makeClassFile(classFile, {{"01234567890", "Stary", "Piotr"}});
    if (named)
        g()->openCommandLineDocument(classFile);
    else
        makeClassFile(f->tmp(), {{"01234567890", "Stary", "Piotr"}});
    g()->bFunLoadStudentList();
    QString msg;
    QVERIFY(
        bFunSaveCertData(msg, f->tmp(), "PESEL05", {{"DANE UCZNIA", "Imie_DATA_EDIT", "Nowy"}}));
    g()->DataChanged = true;
    if (breakSave)
        QFile::remove(f->tmp());
    const QByteArray classBefore = readFile(classFile);
    const QByteArray copyBefore = readFile(f->tmp());

    f->prompts.answers.enqueue(Prompts::Answer(answer));
    f->prompts.fileNames.enqueue(legacyFile); // the import's file, unless a save dialog takes it
    if (!named)
        f->prompts.fileNames.prepend(QString()); // the save dialog is cancelled
    triggerImport();

    const auto &first = f->prompts.asked.first();
    QCOMPARE(first.kind, QStringLiteral("message"));
    QCOMPARE(first.text, QStringLiteral("Czy chcesz zapisać zmiany ?"));
    QCOMPARE(first.buttons, Prompts::Buttons::YesNoCancel);
    bool openAsked = false;
    for (const auto &a : f->prompts.asked)
        openAsked |= a.kind == QLatin1String("open");
    QCOMPARE(openAsked, imported);
    QCOMPARE(tables(classFile).contains("PESEL05"), classSaved);
    if (!classSaved)
        QCOMPARE(readFile(classFile), classBefore);
    if (imported) {
        QCOMPARE(tables(f->tmp()).size(), 3);
        QCOMPARE(g()->documentPath(), QString());
        QVERIFY(g()->DataChanged);
    } else {
        // Stopped: the class as it was, still marked unsaved.
        QCOMPARE(readFile(f->tmp()), copyBefore);
        QVERIFY(g()->DataChanged);
        QCOMPARE(g()->documentPath(), named ? classFile : QString());
    }
}

void TestImport::importedClassIsSavedUnderANewName() {
    openClass();
    const QByteArray classBytes = readFile(classFile);
    f->prompts.fileNames.enqueue(legacyFile);
    triggerImport();
    f->prompts.clear();

    // Closing asks to save (the answers: do not save, do not quit).
    g()->close();
    QCOMPARE(f->prompts.messages(),
             QStringList({"Czy chcesz zapisać zmiany ?", "Czy na pewno chcesz zakończyć pracę ?"}));
    f->prompts.clear();

    // "Zapisz" asks for a name; cancelling writes nothing anywhere.
    g()->findChild<QAction *>("Zapisz1")->trigger();
    QCOMPARE(f->prompts.asked.size(), 1);
    QCOMPARE(f->prompts.asked[0].kind, QStringLiteral("save"));
    QCOMPARE(f->prompts.asked[0].caption, QStringLiteral("Zapisz"));
    QCOMPARE(readFile(classFile), classBytes);

    const QString newFile = docs->filePath("zaimportowana.sqbr5");
    f->prompts.fileNames.enqueue(newFile);
    g()->Zapisz1Click();
    QCOMPARE(g()->documentPath(), newFile);
    QCOMPARE(tables(newFile),
             QStringList({"PESEL22222222222", "PESEL_BRAK_1", "PESEL33333333333"}));
    QCOMPARE(readFile(classFile), classBytes);
}

void TestImport::failuresChangeNothing_data() {
    QTest::addColumn<QString>("file"); // "" cancels the dialog
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text"); // the message starts with it

    QTest::newRow("cancelled") << "" << QByteArray() << QString() << QString();
    QTest::newRow("wrong file") << "notatki.br5" << QByteArray("Lista zakupów\r\nchleb\r\n")
                                << "Brak danych"
                                << QString::fromUtf8("W pliku nie znaleziono danych uczniów.");
    QTest::newRow("missing file") << "brak.br5" << QByteArray() << QString::fromUtf8("Błąd")
                                  << QString::fromUtf8("Plik źródłowy nie istnieje: \n");
}

void TestImport::failuresChangeNothing() {
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    openClass();
    g()->DataChanged = false;
    const QByteArray copyBefore = readFile(f->tmp());
    const QStringList treeBefore = treeNames();
    const QString path = file.isEmpty() ? QString() : docs->filePath(file);
    if (!bytes.isEmpty())
        writeFile(path, bytes);
    f->prompts.fileNames.enqueue(path);
    triggerImport();

    QCOMPARE(f->prompts.asked.size(), caption.isEmpty() ? 1 : 2);
    if (!caption.isEmpty()) {
        const auto &shown = f->prompts.asked.last();
        QCOMPARE(shown.caption, caption);
        QVERIFY2(shown.text.startsWith(text), qPrintable(shown.text));
        QVERIFY(shown.text.endsWith(QString::fromUtf8(
            "Dane nie zostały zaimportowane; otwarte dane pozostały bez zmian.")));
    }
    QCOMPARE(readFile(f->tmp()), copyBefore);
    QCOMPARE(treeNames(), treeBefore);
    QCOMPARE(g()->documentPath(), classFile);
    QVERIFY(!g()->DataChanged);
    QVERIFY(!f->windows.sqlImport->isVisible());
}

void TestImport::placeholderPupilKeepsToItsOwnTable() {
    // Two pupils with one PESEL: the second is stored as PESEL_BRAK_1.
    writeFile(
        legacyFile,
        legacyBytes(legacyBlock("Nowak", "Anna", "22222222222",
                                legacyDocument(kCert1, {"<ZMIENNA_Klasa_STR1_DATA_EDIT>a"})) +
                    legacyBlock("Nowak", "Beata", "22222222222",
                                legacyDocument(kCert1, {"<ZMIENNA_Klasa_STR1_DATA_EDIT>b"}))));
    f->prompts.fileNames.enqueue(legacyFile);
    triggerImport();
    const QByteArrayList firstBefore = rawColumn(f->tmp(), "select value from PESEL22222222222");

    QTreeWidgetItem *beata = nullptr;
    for (int i = 0; i < g()->TreeView->topLevelItemCount(); ++i) {
        if (g()->TreeView->topLevelItem(i)->text(0) == "Nowak Beata")
            beata = g()->TreeView->topLevelItem(i);
    }
    QVERIFY(beata);
    g()->TreeView->setCurrentItem(beata->child(0));
    g()->TreeViewClick();
    // The pupil dialog shows the placeholder, and a document saved from an
    // editor goes back to the pupil's own table, not over her namesake.
    TFDaneUcznia *pupil = f->windows.daneUcznia;
    QCOMPARE(pupil->pesel(), QStringLiteral("_BRAK_1"));
    f->windows.editor("TFKlasa1")->setFieldText("ZMIENNA_Klasa_STR1_DATA_EDIT", "druga");
    QVERIFY(g()->SaveStudentRecord());
    QCOMPARE(rawColumn(f->tmp(), "select value from PESEL22222222222"), firstBefore);
    QVERIFY(rawColumn(f->tmp(), "select value from PESEL_BRAK_1").contains("druga"));

    // Entering her real PESEL moves her to a table of that name.
    f->prompts.clear();
    pupil->setEditMode("PESEL_BRAK_1");
    pupil->findChild<QComboBox *>("Plec_DATA_COMBOBOX")->setCurrentIndex(0);
    pupil->findChild<QLineEdit *>("Pesel_DATA_EDIT")->setText("15230400049");
    pupil->OKButtonClick();
    QVERIFY(f->prompts.asked.isEmpty());
    QCOMPARE(tables(f->tmp()), QStringList({"PESEL22222222222", "PESEL15230400049"}));
    QVERIFY(rawColumn(f->tmp(), "select value from PESEL15230400049").contains("druga"));
}

QTEST_MAIN(TestImport)
#include "tst_import.moc"
