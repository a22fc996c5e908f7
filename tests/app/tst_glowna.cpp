#include "apptest.h"

#include "storage/settings.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

class TestGlowna : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void treeSortsFoldedAndStable();
    void pupilsHaveFifteenChildren();
    void selectedTextAndPopupState_data();
    void selectedTextAndPopupState();
    void samePupilNamesStayTwoPupils();
    void deleteAsksAndRefusesWithoutSelection();
    void openSaveThroughWorkingCopy();
    void saveWithoutDocumentWritesEmptyFile();
    void saveAsOverwriteQuestion();
    void failedSaveKeepsPreviousFile();
    void newFileYesThenCancelKeepsDocument();
    void newFileStartsEmptyDocument();
    void openingNonClassFileOpensNothing();
    void editDocumentCommand();
    void printNeedsADocument();
    void helpAndWebPages();
    void aSpacerRowShowsNoDocument();
    void wheelScrollsBothPages();
    void previewFollowsTheOptions();

private:
    TFGlowna *openClass(const QList<QStringList> &pupils);
    QTreeWidgetItem *node(int pupil, int child = -1) const;
    void select(QTreeWidgetItem *item);

    std::unique_ptr<AppFixture> f;
    std::unique_ptr<QTemporaryDir> docs;
    QString classFile;
};

void TestGlowna::init() {
    f = std::make_unique<AppFixture>();
    docs = std::make_unique<QTemporaryDir>();
    classFile = docs->filePath("klasa.sqbr5");
    QVERIFY(f->start()->StartUpChecks());
    f->prompts.clear();
}

void TestGlowna::cleanup() {
    f.reset();
    docs.reset();
}

TFGlowna *TestGlowna::openClass(const QList<QStringList> &pupils) {
    makeClassFile(classFile, pupils);
    f->g()->openCommandLineDocument(classFile);
    return f->g();
}

QTreeWidgetItem *TestGlowna::node(int pupil, int child) const {
    QTreeWidgetItem *p = f->g()->TreeView->topLevelItem(pupil);
    return child < 0 ? p : p->child(child);
}

void TestGlowna::select(QTreeWidgetItem *item) {
    f->g()->TreeView->setCurrentItem(item);
    f->g()->TreeViewClick();
}

void TestGlowna::treeSortsFoldedAndStable() {
    TFGlowna *g = openClass({{"01", "Zamek", "Zenon"},
                             {"02", "Żaba", "Zofia"},
                             {"03", "Agrest", "Adam"},
                             {"04", "Mazur", "Maria"},
                             {"05", "Łąka", "Łucja"},
                             {"06", "Kowalski", "Jan"},
                             {"07", "agrest", "adam"},
                             {"08", "Lis", "Ewa"}});
    QStringList names;
    for (int i = 0; i < g->TreeView->topLevelItemCount(); ++i)
        names << g->TreeView->topLevelItem(i)->text(0);
    // Equal keys (Agrest / agrest) keep the file's order.
    QCOMPARE(names, QStringList({"Agrest Adam", "agrest adam", "Kowalski Jan", "Łąka Łucja",
                                 "Lis Ewa", "Mazur Maria", "Żaba Zofia", "Zamek Zenon"}));
    QCOMPARE(pupilSortKey(QStringLiteral("Łąka żółw")), QByteArray("LAKA ZOLW"));
    QCOMPARE(g->documentPath(), classFile);
}

void TestGlowna::pupilsHaveFifteenChildren() {
    openClass({{"01", "Agrest", "Adam"}});
    QTreeWidgetItem *p = node(0);
    QCOMPARE(p->childCount(), 15);
    QCOMPARE(p->child(0)->text(0), QString::fromUtf8("MEN-I/1/2 świad. klasa 1"));
    QCOMPARE(p->child(3)->text(0), QString::fromUtf8("wywiadówka"));
    QCOMPARE(p->child(4)->text(0), QString());
    QCOMPARE(p->child(5)->text(0), QString::fromUtf8("MEN-I/37b/2 arkusz str. tytułowa"));
    QCOMPARE(p->child(9)->text(0), QString());
    QCOMPARE(p->child(14)->text(0), QString::fromUtf8("MEN-I/37/2 arkusz str. 5"));
    QVERIFY(!p->isExpanded());
    QVERIFY(!f->g()->TreeView->currentItem() || !f->g()->TreeView->currentItem()->isSelected());
}

void TestGlowna::selectedTextAndPopupState_data() {
    QTest::addColumn<int>("child"); // -2 nothing, -1 the pupil node
    QTest::addColumn<QString>("pupil");
    QTest::addColumn<QString>("document");
    QTest::addColumn<int>("twoTabs"); // -1: preview untouched
    QTest::newRow("nothing") << -2 << ""
                             << "" << -1;
    QTest::newRow("pupil node") << -1 << "Agrest Adam"
                                << "" << -1;
    QTest::newRow("certificate") << 1 << "Agrest Adam"
                                 << "MEN-I/1/2 świad. klasa 2" << 1;
    QTest::newRow("report") << 3 << "Agrest Adam"
                            << "wywiadówka" << 0;
    QTest::newRow("spacer") << 4 << "Agrest Adam"
                            << "" << -1;
}

void TestGlowna::selectedTextAndPopupState() {
    QFETCH(int, child);
    QFETCH(QString, pupil);
    QFETCH(QString, document);
    QFETCH(int, twoTabs);
    TFGlowna *g = openClass({{"01", "Agrest", "Adam"}});
    if (child > -2)
        select(node(0, child));
    g->vFunUpdatePopupMenu();
    QCOMPARE(g->strFunGetSelectedText(TFGlowna::Selected::Pupil), pupil);
    QCOMPARE(g->strFunGetSelectedText(TFGlowna::Selected::Document), document);
    QCOMPARE(g->findChild<QAction *>("Edytujdaneucznia1")->isEnabled(), !pupil.isEmpty());
    QCOMPARE(g->findChild<QAction *>("Usundaneucznia1")->isEnabled(), !pupil.isEmpty());
    QCOMPARE(g->findChild<QAction *>("Edytujwybraneswiadectwo2")->isEnabled(), !document.isEmpty());
    QCOMPARE(g->findChild<QAction *>("Drukujwybraneswiadectwo2")->isEnabled(), !document.isEmpty());
    if (twoTabs >= 0)
        QCOMPARE(g->PageControl->isTabVisible(1), twoTabs == 1);
}

void TestGlowna::samePupilNamesStayTwoPupils() {
    TFGlowna *g = openClass({{"11111111111", "Nowak", "Jan"}, {"22222222222", "Nowak", "Jan"}});
    select(node(1, 0));
    QCOMPARE(g->selectedPupilTable(), QStringLiteral("PESEL22222222222"));
    select(node(0, 0));
    QCOMPARE(g->selectedPupilTable(), QStringLiteral("PESEL11111111111"));
    select(node(1));
    f->prompts.answers.enqueue(Prompts::Answer::Yes);
    g->UsunUczniaToolButtonClick();
    QCOMPARE(
        f->prompts.asked.last().text,
        QString::fromUtf8("Czy na pewno chcesz skasować dane ucznia: \nNowak Jan (22222222222)"));
    QStringList tables;
    QString msg;
    QVERIFY(bFunGetTableList(msg, f->tmp(), tables));
    QCOMPARE(tables, QStringList{"PESEL11111111111"});
    QCOMPARE(g->TreeView->topLevelItemCount(), 1);
}

void TestGlowna::deleteAsksAndRefusesWithoutSelection() {
    TFGlowna *g = openClass({{"01", "Agrest", "Adam"}});
    g->UsunUczniaToolButtonClick();
    QCOMPARE(f->prompts.asked.last().caption, QStringLiteral("Brak wyboru"));
    QCOMPARE(f->prompts.asked.last().text, QStringLiteral("Nie wybrano ucznia z listy"));
    QVERIFY(!g->DataChanged); // a refused command changes nothing
    select(node(0, 2));
    f->prompts.answers.enqueue(Prompts::Answer::No);
    g->UsunUczniaToolButtonClick();
    QCOMPARE(f->prompts.asked.last().caption, QString::fromUtf8("Usuń"));
    QCOMPARE(f->prompts.asked.last().icon, Prompts::Icon::Warning);
    QCOMPARE(g->TreeView->topLevelItemCount(), 1);
    // "Nie" keeps the pupil, still selected and loaded after the tree is rebuilt.
    QCOMPARE(g->loadedPupilTable(), QStringLiteral("PESEL01"));
    QCOMPARE(g->selectedPupilTable(), QStringLiteral("PESEL01"));
    f->prompts.answers.enqueue(Prompts::Answer::Yes);
    g->UsunUczniaToolButtonClick();
    QCOMPARE(g->TreeView->topLevelItemCount(), 0);
    QCOMPARE(g->loadedPupilTable(), QString());
    g->EdytujDaneUczniaToolButtonClick();
    QCOMPARE(f->prompts.asked.last().text, QStringLiteral("Nie wybrano ucznia z listy"));
}

void TestGlowna::openSaveThroughWorkingCopy() {
    makeClassFile(classFile, {{"01", "Agrest", "Adam"}});
    TFGlowna *g = f->g();
    f->prompts.fileNames.enqueue(classFile);
    g->OtworzPlikToolButtonClick();
    QCOMPARE(f->prompts.asked.last().kind, QStringLiteral("open"));
    QCOMPARE(f->prompts.asked.last().caption, QStringLiteral("Wczytaj plik"));
    QCOMPARE(f->prompts.asked.last().text, QStringLiteral("SP 1-3 (*.sqbr5)"));
    QCOMPARE(g->documentPath(), classFile);
    QCOMPARE(readFile(f->tmp()), readFile(classFile));

    // A change goes to the working copy only, until "Zapisz".
    const QByteArray before = readFile(classFile);
    QString msg;
    QVERIFY(bFunSaveCertData(msg, f->tmp(), "PESEL02",
                             {{"DANE UCZNIA", "Nazwisko_DATA_EDIT", "Żaba"}}));
    QCOMPARE(readFile(classFile), before);
    g->DataChanged = true;
    g->Zapisz1Click();
    QVERIFY(!g->DataChanged);
    QCOMPARE(readFile(classFile), readFile(f->tmp()));
    QVERIFY(f->prompts.messages().isEmpty());
}

void TestGlowna::saveWithoutDocumentWritesEmptyFile() {
    TFGlowna *g = f->g();
    QVERIFY(!QFileInfo::exists(f->tmp()));
    f->prompts.fileNames.enqueue(docs->filePath("pusta"));
    g->Zapisz1Click();
    QCOMPARE(f->prompts.asked.last().kind, QStringLiteral("save"));
    QCOMPARE(f->prompts.asked.last().caption, QStringLiteral("Zapisz"));
    QCOMPARE(f->prompts.asked.last().proposed, QStringLiteral("nowy"));
    const QString written = docs->filePath("pusta.sqbr5");
    QVERIFY(QFileInfo::exists(written));
    QCOMPARE(QFileInfo(written).size(), 0);
    QCOMPARE(g->documentPath(), written);
    // The next dialog proposes the name chosen last.
    f->prompts.fileNames.enqueue(QString());
    g->Zapiszjako1Click();
    QCOMPARE(f->prompts.asked.last().proposed, written);
}

void TestGlowna::saveAsOverwriteQuestion() {
    TFGlowna *g = openClass({{"01", "Agrest", "Adam"}});
    const QString other = docs->filePath("inna.sqbr5");
    writeFile(other, "inna klasa");
    QString msg;
    QVERIFY(bFunSaveCertData(msg, f->tmp(), "PESEL02",
                             {{"DANE UCZNIA", "Nazwisko_DATA_EDIT", "Żaba"}}));
    const QByteArray before = readFile(classFile);
    f->prompts.fileNames.enqueue(other);
    f->prompts.answers.enqueue(Prompts::Answer::No);
    g->Zapiszjako1Click();
    QCOMPARE(
        f->prompts.asked.last().text,
        QString::fromUtf8("Wybrany plik już istnieje.\nCzy chcesz zastąpić istniejący plik ?"));
    QCOMPARE(f->prompts.asked.last().caption, QStringLiteral("Zapisz"));
    QCOMPARE(readFile(other), QByteArray("inna klasa"));
    QCOMPARE(readFile(classFile), before);
    QCOMPARE(g->documentPath(), classFile);

    f->prompts.fileNames.enqueue(other);
    f->prompts.answers.enqueue(Prompts::Answer::Yes);
    g->Zapiszjako1Click();
    QCOMPARE(readFile(other), readFile(f->tmp()));
    QCOMPARE(g->documentPath(), other);
}

void TestGlowna::failedSaveKeepsPreviousFile() {
    TFGlowna *g = openClass({{"01", "Agrest", "Adam"}});
    const QByteArray before = readFile(classFile);
    QFile::remove(f->tmp()); // nothing left to copy back
    g->DataChanged = true;
    g->Zapisz1Click();
    QCOMPARE(readFile(classFile), before);
    QCOMPARE(f->prompts.asked.last().caption, QStringLiteral("Błąd"));
    QVERIFY(f->prompts.asked.last().text.startsWith(
        QString::fromUtf8("Błąd kopiowania pliku z\n") + f->tmp() + QStringLiteral("\ndo:\n") +
        classFile + QString::fromUtf8("\nPlik lub folder nie istnieje.\nKod błędu: 2")));
    QVERIFY(
        f->prompts.asked.last().text.endsWith(QString::fromUtf8("\n\nDane nie zostały zapisane.")));
    QVERIFY(g->DataChanged); // the work is still unsaved, closing will ask
    QVERIFY(QDir(docs->path()).entryList(QDir::Files) ==
            QStringList{"klasa.sqbr5"}); // no temporary left
}

void TestGlowna::newFileYesThenCancelKeepsDocument() {
    TFGlowna *g = f->g();
    makeClassFile(classFile, {{"01", "Agrest", "Adam"}});
    QFile::copy(classFile, f->tmp());
    g->bFunLoadStudentList(); // a new, unsaved class with one pupil
    g->DataChanged = true;
    f->prompts.answers.enqueue(Prompts::Answer::Yes);
    g->NowyPlikToolButtonClick(); // the save dialog is cancelled
    QCOMPARE(f->prompts.asked[0].caption, QStringLiteral("Edycja"));
    QCOMPARE(f->prompts.asked[1].kind, QStringLiteral("save"));
    QCOMPARE(g->TreeView->topLevelItemCount(), 1);
    QVERIFY(QFileInfo::exists(f->tmp()));
}

void TestGlowna::newFileStartsEmptyDocument() {
    TFGlowna *g = openClass({{"01", "Agrest", "Adam"}});
    g->NowyPlikToolButtonClick(); // nothing changed: no question
    QVERIFY(f->prompts.asked.isEmpty());
    QCOMPARE(g->TreeView->topLevelItemCount(), 0);
    QCOMPARE(g->documentPath(), QString());
    QVERIFY(!QFileInfo::exists(f->tmp()));
    QVERIFY(g->PageControl->isTabVisible(1)); // the empty certificate has two sides
}

void TestGlowna::openingNonClassFileOpensNothing() {
    TFGlowna *g = openClass({{"01", "Agrest", "Adam"}});
    const QString text = docs->filePath("notatki.sqbr5");
    writeFile(text, QByteArray("To jest zwykły plik tekstowy, nie baza danych.\n").repeated(40));
    f->prompts.fileNames.enqueue(text);
    g->OtworzPlikToolButtonClick();
    QCOMPARE(f->prompts.messages().size(), 1);
    QCOMPARE(f->prompts.asked.last().caption, QStringLiteral("Błąd"));
    QVERIFY(f->prompts.asked.last().text.startsWith(
        QString::fromUtf8("Nie można otworzyć pliku:\n") + text));
    // The class that was open stays open, its working copy untouched, and
    // no copy of the wrong file is left beside it.
    QCOMPARE(g->documentPath(), classFile);
    QCOMPARE(g->TreeView->topLevelItemCount(), 1);
    QCOMPARE(readFile(f->tmp()), readFile(classFile));
    QVERIFY(!QFileInfo::exists(f->tmp() + ".otwierany"));
}

void TestGlowna::editDocumentCommand() {
    TFGlowna *g = openClass({{"01", "Agrest", "Adam"}, {"02", "Bąk", "Bartosz"}});
    // The template question comes first while no template exists.
    select(node(1));
    g->EdytujSwiadectwoToolButtonClick();
    QCOMPARE(f->prompts.asked[0].caption, QStringLiteral("Szablon"));
    QCOMPARE(f->prompts.asked[1].text, QString::fromUtf8("Nie wybrano świadectwa z listy"));
    QVERIFY(!g->DataChanged); // a refused command changes nothing

    QString msg;
    bFunSqlSettingWriteValue(msg, "create_school_data_template", 0);
    f->prompts.clear();
    select(node(1, 12));
    g->DataChanged = false;
    rejectNextModal(); // "Anuluj" in the editor
    g->EdytujSwiadectwoToolButtonClick();
    QVERIFY(f->prompts.asked.isEmpty());
    QVERIFY(!g->DataChanged);                          // "Anuluj" changed nothing
    QCOMPARE(g->TreeView->currentItem(), node(1, 12)); // selected again
    QCOMPARE(g->strFunGetSelectedText(TFGlowna::Selected::Pupil), QString::fromUtf8("Bąk Bartosz"));

    // Without a settings file the editor is not opened.
    QFile::remove(f->env.programFile("ustawienia.sqset"));
    g->EdytujSwiadectwoToolButtonClick();
    QCOMPARE(f->prompts.asked.last().text,
             QString::fromUtf8("Błąd uzyskania zmiennej z pliku ustawień"));
}

void TestGlowna::printNeedsADocument() {
    TFGlowna *g = openClass({{"01", "Agrest", "Adam"}});
    select(node(0, 4)); // a spacer
    g->DrukujToolButtonClick();
    QCOMPARE(f->prompts.asked.last().text,
             QString::fromUtf8("Zaznacz świadectwo które chciesz wydrukować"));
    QCOMPARE(f->prompts.asked.last().caption, QStringLiteral("Brak wyboru"));
    select(node(0, 10));
    rejectNextModal(); // the print dialog
    g->DrukujToolButtonClick();
    QCOMPARE(f->prompts.asked.size(), 1);
}

void TestGlowna::aSpacerRowShowsNoDocument() {
    TFGlowna *g = openClass({{"01", "Agrest", "Adam"}});
    select(node(0, 1));
    QVERIFY(!g->Image1->isEmpty());
    select(node(0, 4)); // a spacer: the certificate does not stay beside it
    QVERIFY(g->Image1->isEmpty());
    QCOMPARE(g->strFunGetSelectedText(TFGlowna::Selected::Document), QString());
}

void TestGlowna::helpAndWebPages() {
    TFGlowna *g = f->g();
    // Every entry of the help menu says what it opens.
    const QList<QAction *> help = g->findChild<QMenu *>("Pomoc1")->actions();
    QCOMPARE(help.last()->text(),
             QString::fromUtf8("&Dziennik internetowy (strona w przeglądarce)"));
    // The manual opens in a window of the program; the maker's pages in the browser.
    QString shown;
    QTimer::singleShot(0, [&] {
        if (QWidget *window = QApplication::activeModalWidget()) {
            shown = window->objectName();
            window->close();
        }
    });
    g->Instrukcjaobsugi1Click();
    QCOMPARE(shown, QStringLiteral("TFPomoc"));
    g->KontaktButtonClick();
    g->DziennikInternetowy1Click();
    QCOMPARE(f->prompts.opened.size(), 2);
    QCOMPARE(f->prompts.opened[0].scheme(), QStringLiteral("https"));
    QCOMPARE(f->prompts.opened[1].scheme(), QStringLiteral("https"));
}

void TestGlowna::wheelScrollsBothPages() {
    TFGlowna *g = openClass({{"01", "Agrest", "Adam"}}); // the pages show with a class open
    g->resize(1000, 700);
    g->show();
    for (PreviewPage *image : {g->Image1, g->Image2}) {
        PreviewSide page;
        page.base = QImage(1031, 1462, QImage::Format_RGB32);
        page.base.fill(Qt::white);
        image->setSide(page);
        image->adjustSize();
    }
    QApplication::processEvents();
    QWidget *viewport = g->ScrollBox1->viewport();
    const QPointF at(viewport->width() / 2.0, viewport->height() / 2.0);
    QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    QCOMPARE(g->ScrollBox1->verticalScrollBar()->value(), 240);
    g->PageControl->setCurrentIndex(1);
    QApplication::processEvents();
    QCOMPARE(g->ScrollBox2->verticalScrollBar()->value(), 240);
    QApplication::sendEvent(g->ScrollBox2->viewport(), &wheel);
    QCOMPARE(g->ScrollBox2->verticalScrollBar()->value(), 480);
    g->PageControl->setCurrentIndex(0);
    QCOMPARE(g->ScrollBox1->verticalScrollBar()->value(), 480);
}

void TestGlowna::previewFollowsTheOptions() {
    TFGlowna *g = openClass({{"01", "Agrest", "Adam"}});
    select(node(0, 1));
    QVERIFY(!g->Image1->isEmpty());
    QVERIFY(g->PageControl->isTabVisible(1));
    const qsizetype withDots = g->engine().calibList.size();
    g->PrintNoDotsCheckBox->click(); // stored, and the certificate drawn again without dots
    QVERIFY(g->engine().calibList.size() < withDots);
    int value = 0;
    QString msg;
    QVERIFY(bFunSqlGetSettingsValue(msg, "print_without_dots", value));
    QCOMPARE(value, 1);
    g->PageControl->setCurrentIndex(1); // side 2 in front
    select(node(0, 3));                 // the report: one side
    QVERIFY(!g->PageControl->isTabVisible(1));
    QCOMPARE(g->PageControl->currentIndex(), 0);
    QCOMPARE(g->PageControl->currentWidget(), g->ScrollBox1);
    // Printing renders for paper and clears the flag when the dialog closes.
    rejectNextModal();
    g->DrukujToolButtonClick();
    QVERIFY(!g->engine().ctx.printing);
    QVERIFY(f->prompts.messages().isEmpty());
    // "Nowy plik" shows the empty grade-1 certificate.
    g->NowyPlikToolButtonClick();
    QVERIFY(g->PageControl->isTabVisible(1));
}

QTEST_MAIN(TestGlowna)
#include "tst_glowna.moc"
