// What a teacher must never lose: the pupil she selected is the pupil she
// edits, whatever road led there; Return never empties fields; a failed or
// cancelled save keeps the work; a run that ended abnormally is offered
// back; destructive questions default to "Nie"; the keyboard reaches every
// command.
#include "apptest.h"

#include "app/qtprompts.h"
#include "document/classfile.h"
#include "document/fieldnames.h"
#include "document/formlayout.h"
#include "document/templatestore.h"
#include "editors/tfdaneucznia.h"
#include "storage/damaged.h"
#include "storage/errortext.h"
#include "storage/settings.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <cerrno>
#include <sqlite3.h>

class TestDataSafety : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void everyRoadLoadsTheSelectedPupil_data();
    void everyRoadLoadsTheSelectedPupil();
    void openingAnotherClassUnloadsThePupil();
    void addedPupilIsNotShownWithAnotherPupilsPage();
    void renamedPupilShowsInEveryDocument();
    void samePupilNamesAreToldApart();
    void returnInAnEditorPressesOk_data();
    void returnInAnEditorPressesOk();
    void okIsTheDefaultButtonOfEveryDialog();
    void returnInThePupilDialogSaves();
    void openStopsWhenTheSaveDoesNotHappen();
    void crashedRunIsOfferedBack_data();
    void crashedRunIsOfferedBack();
    void normalCloseLeavesNothingToRecover();
    void unsavedOnlyAfterARealChange_data();
    void unsavedOnlyAfterARealChange();
    void recoveryFromARelativeStart();
    void keptAsideWorkOpensFromTheMenu();
    void destructiveQuestionsDefaultToNo_data();
    void destructiveQuestionsDefaultToNo();
    void qtPromptsDefaultButtons_data();
    void qtPromptsDefaultButtons();
    void cancelOnTheSaveQuestionKeepsTheWork_data();
    void cancelOnTheSaveQuestionKeepsTheWork();
    void leavingAnEditorAsksBeforeTypingIsLost_data();
    void leavingAnEditorAsksBeforeTypingIsLost();
    void staleSaveTemporaryIsRemoved();
    void errorReasonsInPlainPolish_data();
    void errorReasonsInPlainPolish();
    void damagedDataFilesAreSetAside_data();
    void damagedDataFilesAreSetAside();
    void busyFileIsNeverTakenForDamaged();
    void damagedCalibrationDuringWork();
    void legacyFileIsPointedToTheImport();
    void treeHasTheFocusAndKeysWork_data();
    void treeHasTheFocusAndKeysWork();
    void menusHaveAcceleratorsAndShortcuts();
    void captionlessButtonsAreNamed();
    void everyCaptionlessButtonOfEveryWindowIsNamed();
    void helpWithoutABrowserSaysWhere();
    void pupilDialogSaveKeepsTheOtherDocuments_data();
    void pupilDialogSaveKeepsTheOtherDocuments();
    void windowOpenedAfterClicksShowsThatPupil_data();
    void windowOpenedAfterClicksShowsThatPupil();

private:
    TFGlowna *openClass(const QList<QStringList> &pupils, const QString &file = QString());
    QTreeWidgetItem *node(int pupil, int child = -1) const;
    QString pupilSurname() const;
    QStringList tables() const;
    // Moves the tree's selection to a node: by the program, or by keys
    // from where it is (the tree has the focus).
    bool walkTo(QTreeWidgetItem *target, bool keyboard);

    std::unique_ptr<AppFixture> f;
    std::unique_ptr<QTemporaryDir> docs;
    QString classFile;
};

namespace {

const QStringList kAdam{"13220501233", "Agrest", "Adam", QString::fromUtf8("mężczyzna")};
const QStringList kBartosz{"14211202221", QString::fromUtf8("Bąk"), "Bartosz",
                           QString::fromUtf8("mężczyzna")};
const QString kTableA = QStringLiteral("PESEL13220501233");
const QString kTableB = QStringLiteral("PESEL14211202221");

// The checks still waiting for a modal window; a test that ends before its
// window came ends them, so that they do not answer the next test's windows.
QList<QPointer<QTimer>> &pendingModalChecks() {
    static QList<QPointer<QTimer>> pending;
    return pending;
}

// Runs the check on the next modal window as soon as it is shown; the check
// closes it.
void onNextModal(std::function<void(QWidget *)> check) {
    auto *timer = new QTimer;
    pendingModalChecks() << timer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, check] {
        if (QWidget *w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            check(w);
        }
    });
    timer->start();
}

QString storedValue(const QString &path, const QString &table, const QString &name) {
    QString msg;
    SqlDataList records;
    bFunLoadCertData(msg, path, table, records);
    for (const structSqlData &r : records) {
        if (r.comp_name == name)
            return r.value;
    }
    return QString();
}

// A pupil's rows of every document, as a past save left them: every field
// of every layout with a text of its own (memos on two lines), and a row of
// a field the windows no longer have.
SqlDataList everyDocument(const QStringList &pupil, const QString &mark) {
    SqlDataList rows{{"DANE UCZNIA", "Nazwisko_DATA_EDIT", pupil[1]},
                     {"DANE UCZNIA", "Imie_DATA_EDIT", pupil[2]},
                     {"DANE UCZNIA", "Pesel_DATA_EDIT", pupil[0]},
                     {"DANE UCZNIA", "Plec_DATA_COMBOBOX", pupil[3]}};
    int n = 0;
    for (const DocumentInfo &doc : documentTable()) {
        if (doc.kind == DocumentKind::PupilData)
            continue;
        const FormLayout &layout = formLayout(QString::fromLatin1(doc.layout));
        for (const LayoutItem &item : layout.itemsFor(QString::fromLatin1(doc.variant))) {
            const QString value = QStringLiteral("%1 %2  ").arg(mark).arg(++n);
            if (fieldKind(item.name) == FieldKind::Memo) {
                rows.append({doc.id(), strFunMemoRecordName(item.name, 0), value});
                rows.append({doc.id(), strFunMemoRecordName(item.name, 1), mark});
            } else if (fieldKind(item.name) != FieldKind::None) {
                rows.append({doc.id(), item.name, value});
            }
        }
        rows.append({doc.id(), "ZMIENNA_Dawne_DATA_EDIT", mark});
    }
    return rows;
}

SqlDataList rowsOf(const SqlDataList &rows, const QString &id, bool equal = true) {
    SqlDataList out;
    for (const structSqlData &r : rows) {
        if ((r.id == id) == equal)
            out << r;
    }
    return out;
}

QTreeWidgetItem *documentNode(QTreeWidgetItem *pupil, const char *className) {
    for (int i = 0; i < pupil->childCount(); ++i) {
        const DocumentInfo *doc = documentByLabel(pupil->child(i)->text(0));
        if (doc && qstrcmp(doc->className, className) == 0)
            return pupil->child(i);
    }
    return nullptr;
}

} // namespace

bool TestDataSafety::walkTo(QTreeWidgetItem *target, bool keyboard) {
    QTreeWidget *tree = f->g()->TreeView;
    if (!keyboard) {
        tree->setCurrentItem(target);
        return tree->currentItem() == target;
    }
    // Left goes from a document to its pupil and closes a pupil, Right
    // opens one; Down and Up move along.
    QTreeWidgetItem *pupil = target->parent() ? target->parent() : target;
    for (int step = 0; step < 100 && tree->currentItem() != target; ++step) {
        QTreeWidgetItem *at = tree->currentItem();
        const bool samePupil = (at->parent() ? at->parent() : at) == pupil;
        Qt::Key key = Qt::Key_Down;
        if (at->parent())
            key = !samePupil || !target->parent()                         ? Qt::Key_Left
                  : pupil->indexOfChild(at) > pupil->indexOfChild(target) ? Qt::Key_Up
                                                                          : Qt::Key_Down;
        else if (!samePupil)
            key = at->isExpanded()                                                   ? Qt::Key_Left
                  : tree->indexOfTopLevelItem(at) < tree->indexOfTopLevelItem(pupil) ? Qt::Key_Down
                                                                                     : Qt::Key_Up;
        else
            key = at->isExpanded() ? Qt::Key_Down : Qt::Key_Right;
        QTest::keyClick(tree, key);
    }
    return tree->currentItem() == target;
}

void TestDataSafety::init() {
    f = std::make_unique<AppFixture>();
    docs = std::make_unique<QTemporaryDir>();
    classFile = docs->filePath("klasa.sqbr5");
    QVERIFY(f->start()->StartUpChecks());
    QString msg;
    bFunSqlSettingWriteValue(msg, "create_school_data_template", 0);
    f->prompts.clear();
}

void TestDataSafety::cleanup() {
    for (const QPointer<QTimer> &timer : std::as_const(pendingModalChecks()))
        delete timer.data();
    pendingModalChecks().clear();
    f.reset();
    docs.reset();
}

TFGlowna *TestDataSafety::openClass(const QList<QStringList> &pupils, const QString &file) {
    const QString path = file.isEmpty() ? classFile : file;
    makeClassFile(path, pupils);
    f->g()->openCommandLineDocument(path);
    return f->g();
}

QTreeWidgetItem *TestDataSafety::node(int pupil, int child) const {
    QTreeWidgetItem *p = f->g()->TreeView->topLevelItem(pupil);
    return child < 0 ? p : p->child(child);
}

QString TestDataSafety::pupilSurname() const {
    return f->windows.daneUcznia->surname();
}

QStringList TestDataSafety::tables() const {
    return pupilTables(f->tmp());
}

// ---------------------------------------------------------------------------

void TestDataSafety::everyRoadLoadsTheSelectedPupil_data() {
    QTest::addColumn<QString>("road");
    QTest::newRow("arrow key") << "key";
    QTest::newRow("right click") << "right";
    QTest::newRow("program") << "program";
    QTest::newRow("mouse") << "mouse";
}

void TestDataSafety::everyRoadLoadsTheSelectedPupil() {
    QFETCH(QString, road);
    TFGlowna *g = openClass({kAdam, kBartosz});
    g->resize(1000, 700);
    g->show();
    QVERIFY(QTest::qWaitForWindowExposed(g));
    // Pupil A is loaded first, with the mouse.
    QTreeWidget *tree = g->TreeView;
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node(0)).center());
    QCOMPARE(pupilSurname(), QStringLiteral("Agrest"));

    // Then pupil B's "MEN-I/1/2 świad. klasa 2" by the road under test.
    tree->expandItem(node(1));
    QTreeWidgetItem *target = node(1, 1);
    if (road == "key") {
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Down); // B's pupil node
        QTest::keyClick(tree, Qt::Key_Down); // its first document
        QTest::keyClick(tree, Qt::Key_Down); // the second
    } else if (road == "right") {
        const QPoint at = tree->visualItemRect(target).center();
        QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, at);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, at, tree->viewport()->mapToGlobal(at));
        QApplication::sendEvent(tree->viewport(), &menu);
        QVERIFY(g->findChild<QAction *>("Edytujdaneucznia1")->isEnabled());
        g->TreeViewPopupMenu->hide();
    } else if (road == "program") {
        tree->setCurrentItem(target);
    } else {
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(target).center());
    }
    QCOMPARE(tree->currentItem(), target);
    QCOMPARE(g->loadedPupilTable(), kTableB);
    QCOMPARE(pupilSurname(), QString::fromUtf8("Bąk"));
    QVERIFY(!g->Image1->isEmpty()); // B's certificate is previewed

    // OK in the pupil dialog without a change writes B, and only B.
    onNextModal([](QWidget *w) {
        QCOMPARE(w->objectName(), QStringLiteral("TFDaneUcznia"));
        w->findChild<QPushButton *>("OKButton")->click();
    });
    g->EdytujDaneUczniaToolButtonClick();
    QVERIFY(f->prompts.messages().isEmpty()); // no PESEL question
    QCOMPARE(tables(), QStringList({kTableA, kTableB}));
    QCOMPARE(storedValue(f->tmp(), kTableA, "Nazwisko_DATA_EDIT"), QStringLiteral("Agrest"));
    QCOMPARE(storedValue(f->tmp(), kTableB, "Nazwisko_DATA_EDIT"), QString::fromUtf8("Bąk"));
    // After the rebuild B's document is still the selected and loaded one.
    QCOMPARE(g->strFunGetSelectedText(TFGlowna::Selected::Document),
             QString::fromUtf8("MEN-I/1/2 świad. klasa 2"));
    QCOMPARE(g->loadedPupilTable(), kTableB);
}

void TestDataSafety::openingAnotherClassUnloadsThePupil() {
    // Two classes, each with a "Nowak Jan" of its own.
    TFGlowna *g = openClass({{"13220501233", "Nowak", "Jan"}});
    const QString second = docs->filePath("druga.sqbr5");
    makeClassFile(second, {{"14211202221", "Nowak", "Jan"}});
    g->TreeView->setCurrentItem(node(0, 0));
    QCOMPARE(g->loadedPupilTable(), QStringLiteral("PESEL13220501233"));
    QVERIFY(!g->Image1->isEmpty());

    f->prompts.fileNames.enqueue(second);
    g->OtworzPlikToolButtonClick();
    QCOMPARE(g->documentPath(), second);
    QCOMPARE(g->loadedPupilTable(), QString());
    QCOMPARE(pupilSurname(), QString());
    QVERIFY(g->Image1->isEmpty());
    g->EdytujDaneUczniaToolButtonClick();
    QCOMPARE(f->prompts.asked.last().text, QStringLiteral("Nie wybrano ucznia z listy"));
    g->DrukujToolButtonClick();
    QCOMPARE(f->prompts.asked.last().text,
             QString::fromUtf8("Zaznacz świadectwo które chciesz wydrukować"));

    // The keyboard road into the new class loads its own pupil.
    g->TreeView->setFocus();
    QTest::keyClick(g->TreeView, Qt::Key_Down);
    QCOMPARE(g->loadedPupilTable(), QStringLiteral("PESEL14211202221"));
    QCOMPARE(f->windows.daneUcznia->pesel(), QStringLiteral("14211202221"));
}

void TestDataSafety::addedPupilIsNotShownWithAnotherPupilsPage() {
    TFGlowna *g = openClass({kAdam});
    g->TreeView->setCurrentItem(node(0, 0));
    QVERIFY(!g->Image1->isEmpty()); // Adam's certificate
    onNextModal([](QWidget *w) {
        w->findChild<QLineEdit *>("Nazwisko_DATA_EDIT")->setText("Zamek");
        w->findChild<QLineEdit *>("Imie_DATA_EDIT")->setText("Zofia");
        w->findChild<QComboBox *>("Plec_DATA_COMBOBOX")->setCurrentIndex(0);
        w->findChild<QLineEdit *>("Pesel_DATA_EDIT")->setText("14220300037");
        w->findChild<QPushButton *>("OKButton")->click();
    });
    g->DodajUczniaToolButtonClick();
    QCOMPARE(g->loadedPupilTable(), QStringLiteral("PESEL14220300037"));
    QCOMPARE(g->strFunGetSelectedText(TFGlowna::Selected::Pupil), QStringLiteral("Zamek Zofia"));
    QVERIFY(g->Image1->isEmpty()); // not Adam's page beside Zofia
}

void TestDataSafety::renamedPupilShowsInEveryDocument() {
    TFGlowna *g = openClass({kAdam});
    g->TreeView->setCurrentItem(node(0, 0));
    onNextModal([](QWidget *w) {
        w->findChild<QLineEdit *>("Nazwisko_DATA_EDIT")->setText("Zamek");
        w->findChild<QPushButton *>("OKButton")->click();
    });
    g->EdytujDaneUczniaToolButtonClick();
    TFEditor *certificate = f->windows.editor("TFKlasa1");
    QCOMPARE(certificate->fieldText("ZMIENNA_ImieNazwisko_STR1_DATA_EDIT"),
             QStringLiteral("Adam Zamek"));
    QCOMPARE(f->windows.editor("TFArkuszStr1Kl1")->fieldText("ZMIENNA_ImieNazwisko_DATA_EDIT"),
             QStringLiteral("Adam Zamek"));
    QCOMPARE(g->TreeView->currentItem()->parent()->text(0), QStringLiteral("Zamek Adam"));
}

void TestDataSafety::samePupilNamesAreToldApart() {
    TFGlowna *g = openClass(
        {{"13220501233", "Nowak", "Jan"}, {"14211202221", "Nowak", "Jan"}, {"33", "Lis", "Ewa"}});
    QStringList labels;
    for (int i = 0; i < g->TreeView->topLevelItemCount(); ++i)
        labels << g->TreeView->topLevelItem(i)->text(0);
    QCOMPARE(labels,
             QStringList({"Lis Ewa", "Nowak Jan (13220501233)", "Nowak Jan (14211202221)"}));
    g->TreeView->setCurrentItem(node(2));
    f->prompts.answers.enqueue(Prompts::Answer::No);
    g->UsunUczniaToolButtonClick();
    QCOMPARE(
        f->prompts.asked.last().text,
        QString::fromUtf8("Czy na pewno chcesz skasować dane ucznia: \nNowak Jan (14211202221)"));
    // A save moves the first one to the end of the class file; in the tree
    // the two keep their places.
    g->TreeView->setCurrentItem(node(1));
    QVERIFY(g->SaveStudentRecord());
    QCOMPARE(pupilTables(f->tmp()).last(), QStringLiteral("PESEL13220501233"));
    QCOMPARE(node(1)->text(0), QStringLiteral("Nowak Jan (13220501233)"));
    QCOMPARE(node(2)->text(0), QStringLiteral("Nowak Jan (14211202221)"));
}

void TestDataSafety::returnInAnEditorPressesOk_data() {
    QTest::addColumn<bool>("withTemplate");
    QTest::newRow("no school template") << false;
    QTest::newRow("with a school template") << true;
}

void TestDataSafety::returnInAnEditorPressesOk() {
    QFETCH(bool, withTemplate);
    const QString certificate = QStringLiteral("SWIADECTWO UKONCZENIA KLASY 1 SZKOLY PODST.");
    const QString school = QStringLiteral("ZMIENNA_NazwaSzkolyPodstawowej1_STR1_DATA_EDIT");
    const QString year = QStringLiteral("ZMIENNA_RokSzkolny1_STR1_DATA_EDIT");
    makeClassFile(classFile, {kAdam});
    QString msg;
    SqlDataList records;
    QVERIFY(bFunLoadCertData(msg, classFile, kTableA, records));
    records.append({certificate, school, QString::fromUtf8("Szkoła Podstawowa nr 5")});
    QVERIFY(bFunReplaceCertData(msg, classFile, kTableA, records));
    if (withTemplate) {
        const QString path = strFunGetTemplateFilePath(msg);
        QVERIFY(bFunSqlTemplateWriteData(msg, path, kTemplateTable,
                                         {{kTemplateId, school, QStringLiteral("Inna szkoła")}}));
    }
    TFGlowna *g = f->g();
    g->openCommandLineDocument(classFile);
    g->TreeView->setCurrentItem(node(0, 0));

    QString focused;
    onNextModal([&focused](QWidget *w) {
        QWidget *field = w->focusWidget();
        focused = field ? field->objectName() : QString();
        if (!field) {
            w->close();
            return;
        }
        QTest::keyClicks(field, "2025");
        QTest::keyClick(field, Qt::Key_Return);
        if (w->isVisible()) // Return did not close it: do so, so the test goes on
            w->close();
    });
    g->EdytujSwiadectwoToolButtonClick();
    QCOMPARE(focused, year); // the first field that can be typed into
    QCOMPARE(storedValue(f->tmp(), kTableA, year), QStringLiteral("2025"));
    QCOMPARE(storedValue(f->tmp(), kTableA, school), QString::fromUtf8("Szkoła Podstawowa nr 5"));
}

void TestDataSafety::okIsTheDefaultButtonOfEveryDialog() {
    int checked = 0;
    for (QWidget *w : f->windows.all) {
        auto *dialog = qobject_cast<QDialog *>(w);
        QPushButton *ok = nullptr;
        for (const char *name : {"OKButton", "btnOK"}) {
            if (!ok)
                ok = w->findChild<QPushButton *>(QLatin1String(name));
        }
        if (!dialog || !ok)
            continue;
        dialog->show();
        QVERIFY2(ok->isDefault(), qPrintable(w->objectName()));
        for (QPushButton *b : w->findChildren<QPushButton *>()) {
            if (b == ok)
                continue;
            QVERIFY2(!b->isDefault() && !b->autoDefault(),
                     qPrintable(w->objectName() + ": " + b->text()));
        }
        dialog->hide();
        ++checked;
    }
    QVERIFY(checked >= 16); // thirteen editors, pupil data, template, phrase library
}

void TestDataSafety::returnInThePupilDialogSaves() {
    TFGlowna *g = openClass({kAdam});
    onNextModal([](QWidget *w) {
        auto *dialog = static_cast<TFDaneUcznia *>(w);
        if (dialog->focusWidget() != dialog->findChild<QWidget *>("Nazwisko_DATA_EDIT")) {
            dialog->close(); // not where the typing starts: the test fails below
            return;
        }
        dialog->findChild<QLineEdit *>("Nazwisko_DATA_EDIT")->setText("Zamek");
        dialog->findChild<QLineEdit *>("Imie_DATA_EDIT")->setText("Zenon");
        dialog->findChild<QComboBox *>("Plec_DATA_COMBOBOX")->setCurrentIndex(0);
        auto *pesel = dialog->findChild<QLineEdit *>("Pesel_DATA_EDIT");
        pesel->setText("15230512348");
        QTest::keyClick(pesel, Qt::Key_Return);
        if (dialog->isVisible())
            dialog->close();
    });
    g->DodajUczniaToolButtonClick();
    QCOMPARE(tables(), QStringList({kTableA, "PESEL15230512348"}));
    QCOMPARE(g->loadedPupilTable(), QStringLiteral("PESEL15230512348"));
}

void TestDataSafety::openStopsWhenTheSaveDoesNotHappen() {
    TFGlowna *g = f->g();
    // A new class with one pupil, never saved: "Zapisz" asks for a name.
    makeClassFile(f->tmp(), {kAdam});
    g->bFunLoadStudentList();
    g->DataChanged = true;
    makeClassFile(classFile, {{"02", "Bąk", "Bartosz"}});

    f->prompts.answers.enqueue(Prompts::Answer::Yes); // save first
    f->prompts.fileNames.enqueue(QString());          // ... but the save dialog is cancelled
    g->OtworzPlikToolButtonClick();
    QCOMPARE(f->prompts.asked.last().kind, QStringLiteral("save"));
    QCOMPARE(tables(), QStringList{kTableA}); // the working copy is not replaced
    QVERIFY(g->DataChanged);

    // A save that fails (the chosen name is a folder) stops the open as well.
    f->prompts.clear();
    f->prompts.answers.enqueue(Prompts::Answer::Yes);
    const QString folder = docs->filePath("folder.sqbr5");
    QVERIFY(QDir().mkdir(folder));
    f->prompts.fileNames.enqueue(folder);
    f->prompts.answers.enqueue(Prompts::Answer::Yes); // replace "the file"
    g->OtworzPlikToolButtonClick();
    QVERIFY(f->prompts.messages().last().contains(QStringLiteral("Dane nie zostały zapisane.")));
    QVERIFY(!f->prompts.asked.isEmpty());
    QVERIFY(f->prompts.asked.last().kind != QLatin1String("open"));
    QCOMPARE(tables(), QStringList{kTableA});
    QVERIFY(g->DataChanged);
    // "Zapisz" that fails leaves the flag too.
    g->Zapisz1Click();
    QVERIFY(g->DataChanged);
}

void TestDataSafety::crashedRunIsOfferedBack_data() {
    QTest::addColumn<bool>("restore");
    QTest::newRow("Tak: the work comes back") << true;
    QTest::newRow("Nie: the work is kept aside") << false;
}

void TestDataSafety::crashedRunIsOfferedBack() {
    QFETCH(bool, restore);
    TFGlowna *g = openClass({kAdam});
    const QByteArray saved = readFile(classFile);
    QString msg;
    QVERIFY(bFunSaveCertData(msg, f->tmp(), kTableB,
                             {{"DANE UCZNIA", "Nazwisko_DATA_EDIT", QString::fromUtf8("Żaba")}}));
    g->DataChanged = true;
    const QByteArray work = readFile(f->tmp());

    // The run ends without the close sequence (killed, power cut).
    f->prompts.clear();
    g = f->start();
    f->prompts.answers.enqueue(restore ? Prompts::Answer::Yes : Prompts::Answer::No);
    QVERIFY(g->StartUpChecks());
    const QString other = docs->filePath("inna.sqbr5");
    makeClassFile(other, {{"09", "Inny", "Ktoś"}});
    g->openCommandLineDocument(other);

    QCOMPARE(f->prompts.asked[0].caption, QString::fromUtf8("Przywracanie"));
    QCOMPARE(f->prompts.asked[0].text,
             QString::fromUtf8("Znaleziono niezapisane zmiany z poprzedniej pracy programu "
                               "(plik: ") +
                 classFile + QString::fromUtf8("). Czy chcesz je przywrócić ?"));
    QCOMPARE(readFile(classFile), saved); // the class file itself is untouched
    if (restore) {
        QCOMPARE(g->TreeView->topLevelItemCount(), 2);
        QCOMPARE(g->documentPath(), classFile);
        QVERIFY(g->DataChanged);
        QCOMPARE(readFile(f->tmp()), work);
        QVERIFY(g->statusNotice().contains(other)); // not opened over the recovered work
        // Saving now writes the recovered work into its class file.
        g->Zapisz1Click();
        QCOMPARE(pupilTables(classFile), QStringList({kTableA, kTableB}));
        QVERIFY(!QFileInfo::exists(f->env.programFile(kUnsavedMarkerFileName)));
    } else {
        QCOMPARE(f->prompts.asked[1].caption, QString::fromUtf8("Przywracanie"));
        const QString text = f->prompts.asked[1].text;
        const QStringList aside =
            QDir(f->env.programDir()).entryList({"odzyskane-*.sqbr5"}, QDir::Files);
        QCOMPARE(aside.size(), 1);
        const QString asidePath = f->env.programFile(aside[0]);
        QVERIFY2(text.contains(asidePath), qPrintable(text)); // the full path is told
        QCOMPARE(readFile(asidePath), work);
        QVERIFY(!QFileInfo::exists(f->env.programFile(kUnsavedMarkerFileName)));
        QCOMPARE(g->documentPath(), other); // the file asked for opens as usual
    }
}

void TestDataSafety::normalCloseLeavesNothingToRecover() {
    TFGlowna *g = openClass({kAdam});
    g->DataChanged = true;
    QVERIFY(QFileInfo::exists(f->env.programFile(kUnsavedMarkerFileName)));
    f->prompts.answers.enqueue(Prompts::Answer::No);  // do not save
    f->prompts.answers.enqueue(Prompts::Answer::Yes); // quit
    g->close();
    QVERIFY(!QFileInfo::exists(f->env.programFile(kUnsavedMarkerFileName)));
    f->prompts.clear();
    g = f->start();
    QVERIFY(g->StartUpChecks());
    QVERIFY(f->prompts.asked.isEmpty());
    QVERIFY(!QFileInfo::exists(f->tmp()));
}

void TestDataSafety::unsavedOnlyAfterARealChange_data() {
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("changed");
    QTest::newRow("editor cancelled without typing") << "editor cancel" << false;
    QTest::newRow("editor OK without typing") << "editor ok" << false;
    QTest::newRow("pupil dialog OK without a change") << "pupil ok" << false;
    QTest::newRow("Nie to deleting a pupil") << "delete no" << false;
    QTest::newRow("Tak to deleting a pupil") << "delete yes" << true;
    QTest::newRow("pupil dialog with a changed surname") << "save pupil" << true;
}

// The class is marked as changed only by a change of its data, and every
// save that worked clears the mark: no question about changes never made.
void TestDataSafety::unsavedOnlyAfterARealChange() {
    QFETCH(QString, step);
    QFETCH(bool, changed);
    TFGlowna *g = openClass({kAdam, kBartosz});
    QVERIFY(!g->DataChanged);
    QByteArray before = readFile(f->tmp());
    auto pressOk = [](QWidget *w) {
        for (const char *name : {"OKButton", "btnOK"}) {
            if (auto *ok = w->findChild<QPushButton *>(QLatin1String(name))) {
                ok->click();
                return;
            }
        }
        w->close();
    };
    g->TreeView->setCurrentItem(node(0, 0));
    if (step == "editor cancel") {
        onNextModal([](QWidget *w) { w->close(); });
        g->EdytujSwiadectwoToolButtonClick();
    } else if (step == "editor ok" || step == "pupil ok") {
        // Once saved as the program writes it, OK again changes nothing.
        const auto edit = step == "editor ok" ? &TFGlowna::EdytujSwiadectwoToolButtonClick
                                              : &TFGlowna::EdytujDaneUczniaToolButtonClick;
        onNextModal(pressOk);
        (g->*edit)();
        g->Zapisz1Click();
        QVERIFY(!g->DataChanged);
        before = readFile(f->tmp());
        onNextModal(pressOk);
        (g->*edit)();
    } else if (step.startsWith("delete")) {
        f->prompts.answers.enqueue(step == "delete yes" ? Prompts::Answer::Yes
                                                        : Prompts::Answer::No);
        g->UsunUczniaToolButtonClick();
    } else {
        onNextModal([](QWidget *w) {
            w->findChild<QLineEdit *>("Nazwisko_DATA_EDIT")->setText(QString::fromUtf8("Żuk"));
            w->findChild<QPushButton *>("OKButton")->click();
        });
        g->EdytujDaneUczniaToolButtonClick();
        QCOMPARE(storedValue(f->tmp(), kTableA, "Nazwisko_DATA_EDIT"), QString::fromUtf8("Żuk"));
    }
    QCOMPARE(bool(g->DataChanged), changed);
    QCOMPARE(QFileInfo::exists(f->env.programFile(kUnsavedMarkerFileName)), changed);
    if (!changed)
        QCOMPARE(readFile(f->tmp()), before);
    // "Zapisz jako" that worked leaves nothing unsaved: no question at the
    // next "Otwórz plik", no work offered back at the next start.
    f->prompts.clear();
    f->prompts.fileNames.enqueue(docs->filePath("kopia.sqbr5"));
    g->Zapiszjako1Click();
    QVERIFY(QFileInfo::exists(docs->filePath("kopia.sqbr5")));
    QVERIFY(!g->DataChanged);
    QVERIFY(!QFileInfo::exists(f->env.programFile(kUnsavedMarkerFileName)));
    f->prompts.clear();
    g->OtworzPlikToolButtonClick(); // cancelled at the file dialog
    QCOMPARE(f->prompts.asked.size(), 1);
    QCOMPARE(f->prompts.asked[0].kind, QStringLiteral("open"));
}

// A run started in another folder with a relative path: the mark names the
// whole path, so the recovered work saves back into its own file.
void TestDataSafety::recoveryFromARelativeStart() {
    makeClassFile(classFile, {kAdam});
    const QString started = QDir::currentPath();
    QVERIFY(QDir::setCurrent(docs->path()));
    TFGlowna *g = f->g();
    g->openCommandLineDocument("klasa.sqbr5");
    QVERIFY(QDir::setCurrent(started));
    QCOMPARE(g->documentPath(), classFile);
    QString msg;
    QVERIFY(bFunSaveCertData(msg, f->tmp(), kTableB,
                             {{"DANE UCZNIA", "Nazwisko_DATA_EDIT", QString::fromUtf8("Bąk")}}));
    g->DataChanged = true;
    QString marked;
    QVERIFY(bFunFindUnsavedWork(marked));
    QCOMPARE(marked, classFile);

    f->prompts.clear();
    g = f->start();
    f->prompts.answers.enqueue(Prompts::Answer::Yes);
    QVERIFY(g->StartUpChecks());
    QCOMPARE(g->documentPath(), classFile);
    g->Zapisz1Click();
    QVERIFY(!g->DataChanged);
    QCOMPARE(pupilTables(classFile), QStringList({kTableA, kTableB}));
}

// Work kept aside at a start ("Nie") opens from the menu, in the program
// folder, without typing its hidden path.
void TestDataSafety::keptAsideWorkOpensFromTheMenu() {
    TFGlowna *g = openClass({kAdam});
    // With nothing kept aside the command says so and asks nothing else.
    g->OtworzOdzyskanaKopieClick();
    QCOMPARE(f->prompts.asked.size(), 1);
    QVERIFY(f->prompts.asked[0].text.contains(QString::fromUtf8("Nie ma odzyskanych kopii")));
    QString msg;
    QVERIFY(bFunSaveCertData(msg, f->tmp(), kTableB,
                             {{"DANE UCZNIA", "Nazwisko_DATA_EDIT", QString::fromUtf8("Bąk")}}));
    g->DataChanged = true;
    f->prompts.clear();
    g = f->start();
    f->prompts.answers.enqueue(Prompts::Answer::No);
    QVERIFY(g->StartUpChecks());
    QVERIFY(f->prompts.asked[1].text.contains(QString::fromUtf8("Otwórz odzyskaną kopię")));
    const QStringList aside =
        QDir(f->env.programDir()).entryList({"odzyskane-*.sqbr5"}, QDir::Files);
    QCOMPARE(aside.size(), 1);

    f->prompts.clear();
    f->prompts.fileNames.enqueue(f->env.programFile(aside[0]));
    QAction *entry = g->findChild<QAction *>("Otworzodzyskana1");
    QVERIFY(entry);
    entry->trigger();
    QCOMPARE(f->prompts.asked[0].kind, QStringLiteral("open"));
    QCOMPARE(f->prompts.asked[0].proposed, f->env.programDir()); // starts in the program folder
    QCOMPARE(g->documentPath(), f->env.programFile(aside[0]));
    QCOMPARE(g->TreeView->topLevelItemCount(), 2);
}

void TestDataSafety::destructiveQuestionsDefaultToNo_data() {
    QTest::addColumn<QString>("question");
    QTest::newRow("delete a pupil") << "delete";
    QTest::newRow("overwrite a pupil with the same PESEL") << "pesel";
    QTest::newRow("replace an existing file") << "replace";
}

void TestDataSafety::destructiveQuestionsDefaultToNo() {
    QFETCH(QString, question);
    TFGlowna *g = openClass({kAdam, kBartosz});
    g->TreeView->setCurrentItem(node(0));
    if (question == "delete") {
        g->UsunUczniaToolButtonClick();
    } else if (question == "pesel") {
        onNextModal([this](QWidget *w) {
            w->findChild<QLineEdit *>("Pesel_DATA_EDIT")->setText(kBartosz[0]);
            w->findChild<QPushButton *>("OKButton")->click();
            // The clash question went unanswered ("Nie"); leaving the dialog
            // then asks whether to throw the typed PESEL away: "Tak".
            f->prompts.answers.enqueue(Prompts::Answer::Yes);
            if (w->isVisible())
                w->close();
        });
        g->EdytujDaneUczniaToolButtonClick();
    } else {
        const QString other = docs->filePath("inna.sqbr5");
        writeFile(other, "inna klasa");
        f->prompts.fileNames.enqueue(other);
        g->Zapiszjako1Click();
        QCOMPARE(readFile(other), QByteArray("inna klasa"));
    }
    QVERIFY(!f->prompts.asked.isEmpty());
    const Prompts::Buttons asked = question == "pesel"
                                       ? f->prompts.asked.value(f->prompts.asked.size() - 2).buttons
                                       : f->prompts.asked.last().buttons;
    QCOMPARE(asked, Prompts::Buttons::YesNoDefaultNo);
    // The unanswered question meant "Nie": both pupils are still there.
    QCOMPARE(tables(), QStringList({kTableA, kTableB}));
}

void TestDataSafety::qtPromptsDefaultButtons_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("expectedDefault");
    QTest::addColumn<int>("expectedEscape");
    QTest::newRow("ordinary question")
        << int(Prompts::Buttons::YesNo) << int(QMessageBox::Yes) << int(QMessageBox::No);
    QTest::newRow("destructive question")
        << int(Prompts::Buttons::YesNoDefaultNo) << int(QMessageBox::No) << int(QMessageBox::No);
    QTest::newRow("save before leaving the work")
        << int(Prompts::Buttons::YesNoCancel) << int(QMessageBox::Yes) << int(QMessageBox::Cancel);
}

void TestDataSafety::qtPromptsDefaultButtons() {
    QFETCH(int, buttons);
    QFETCH(int, expectedDefault);
    QFETCH(int, expectedEscape);
    QtPrompts real;
    Prompts *previous = setPrompts(&real);
    int defaultButton = -1;
    int escapeButton = -1;
    onNextModal([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        defaultButton = box->standardButton(box->defaultButton());
        escapeButton = box->standardButton(qobject_cast<QAbstractButton *>(box->escapeButton()));
        QTest::keyClick(box, Qt::Key_Escape);
    });
    const Prompts::Answer answer = real.message(nullptr, "Usuń", "Czy na pewno?",
                                                Prompts::Icon::Warning, Prompts::Buttons(buttons));
    setPrompts(previous);
    QCOMPARE(defaultButton, expectedDefault);
    QCOMPARE(escapeButton, expectedEscape);
    QCOMPARE(answer, expectedEscape == int(QMessageBox::Cancel) ? Prompts::Answer::Cancel
                                                                : Prompts::Answer::No);
}

void TestDataSafety::cancelOnTheSaveQuestionKeepsTheWork_data() {
    QTest::addColumn<QString>("road");
    QTest::newRow("closing the program") << "close";
    QTest::newRow("Otwórz plik") << "open";
    QTest::newRow("Nowy plik") << "new";
    QTest::newRow("Importuj") << "import";
}

void TestDataSafety::cancelOnTheSaveQuestionKeepsTheWork() {
    QFETCH(QString, road);
    TFGlowna *g = openClass({kAdam});
    g->show();
    QString msg;
    QVERIFY(bFunSaveCertData(msg, f->tmp(), "PESEL14220300037",
                             {{"DANE UCZNIA", "Nazwisko_DATA_EDIT", "Nowy"}}));
    g->DataChanged = true;
    f->prompts.answers.enqueue(Prompts::Answer::Cancel);
    if (road == "close")
        g->close();
    else if (road == "open")
        g->OtworzPlikToolButtonClick();
    else if (road == "new")
        g->NowyPlikToolButtonClick();
    else
        g->Importuj1Click();
    QCOMPARE(f->prompts.asked.size(), 1); // no quit question, no file dialog
    QCOMPARE(f->prompts.asked[0].text, QStringLiteral("Czy chcesz zapisać zmiany ?"));
    QCOMPARE(f->prompts.asked[0].buttons, Prompts::Buttons::YesNoCancel);
    QVERIFY(g->isVisible());
    QVERIFY(g->DataChanged);
    QCOMPARE(g->documentPath(), classFile);
    QCOMPARE(tables(), QStringList({kTableA, "PESEL14220300037"}));
}

void TestDataSafety::leavingAnEditorAsksBeforeTypingIsLost_data() {
    QTest::addColumn<bool>("typed");
    QTest::addColumn<int>("answer"); // to "throw the changes away?"
    QTest::addColumn<bool>("closes");
    QTest::newRow("nothing typed: Escape closes, nothing asked")
        << false << int(Prompts::Answer::No) << true;
    QTest::newRow("typed, Nie: the editor stays with the text")
        << true << int(Prompts::Answer::No) << false;
    QTest::newRow("typed, Tak: closed, the text thrown away")
        << true << int(Prompts::Answer::Yes) << true;
}

void TestDataSafety::leavingAnEditorAsksBeforeTypingIsLost() {
    QFETCH(bool, typed);
    QFETCH(int, answer);
    QFETCH(bool, closes);
    const QString klasa = QStringLiteral("ZMIENNA_Klasa_STR1_DATA_EDIT");
    TFGlowna *g = openClass({kAdam});
    g->TreeView->setCurrentItem(node(0, 0));
    bool stillOpen = false;
    QString kept;
    onNextModal([&](QWidget *w) {
        if (typed)
            static_cast<TFEditor *>(w)->setFieldText(klasa, QStringLiteral("pierwszej"));
        f->prompts.answers.enqueue(Prompts::Answer(answer));
        QTest::keyClick(w, Qt::Key_Escape);
        stillOpen = w->isVisible();
        kept = static_cast<TFEditor *>(w)->fieldText(klasa);
        if (stillOpen) {
            f->prompts.answers.enqueue(Prompts::Answer::Yes);
            w->close();
        }
    });
    g->EdytujSwiadectwoToolButtonClick();
    QCOMPARE(stillOpen, !closes);
    QCOMPARE(f->prompts.messages().isEmpty(), !typed);
    if (typed) {
        QCOMPARE(f->prompts.asked[0].buttons, Prompts::Buttons::YesNoDefaultNo);
        QVERIFY(f->prompts.asked[0].text.contains(QString::fromUtf8("odrzucić")));
    }
    if (!closes)
        QCOMPARE(kept, QStringLiteral("pierwszej"));
    // Nothing was saved either way.
    QCOMPARE(storedValue(f->tmp(), kTableA, klasa), QString());
}

void TestDataSafety::staleSaveTemporaryIsRemoved() {
    TFGlowna *g = openClass({kAdam});
    // A save that was killed midway left its temporary file beside the class file.
    const QString stale = docs->filePath(".zapis-klasa.sqbr5-Ab12Cd");
    writeFile(stale, "half a file");
    {
        QFile old(stale);
        QVERIFY(old.open(QIODevice::ReadWrite));
        QVERIFY(old.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                QFileDevice::FileModificationTime));
    }
    // A fresh one may be another program's save still being written: it stays.
    const QString fresh = docs->filePath(".zapis-klasa.sqbr5-Xy34Zw");
    writeFile(fresh, "being written");
    const QString teachers = docs->filePath("klasa.sqbr5.kopia");
    writeFile(teachers, "the teacher's own file");
    g->DataChanged = true;
    g->Zapisz1Click();
    QVERIFY(!g->DataChanged);
    QCOMPARE(QDir(docs->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({".zapis-klasa.sqbr5-Xy34Zw", "klasa.sqbr5", "klasa.sqbr5.kopia"}));
}

void TestDataSafety::errorReasonsInPlainPolish_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason");
    QTest::newRow("permission") << EACCES << "Brak uprawnień do zapisu w tym folderze";
    QTest::newRow("disk full") << ENOSPC << "Brak miejsca na dysku.";
    QTest::newRow("read-only medium") << EROFS << "Nośnik jest tylko do odczytu.";
    QTest::newRow("missing") << ENOENT << "Plik lub folder nie istnieje.";
}

void TestDataSafety::errorReasonsInPlainPolish() {
    QFETCH(int, code);
    QFETCH(QString, reason);
    const QString text = strFunErrnoCode(code);
    QVERIFY2(text.startsWith(reason), qPrintable(text));
    QVERIFY(text.endsWith(QStringLiteral("\nKod błędu: %1").arg(code))); // the code stays last
    // A file that is not a database says so before SQLite's code name.
    QVERIFY(strFunSqliteError(SQLITE_NOTADB)
                .startsWith(QString::fromUtf8("Plik nie jest plikiem danych programu")));
    QVERIFY(strFunSqliteError(SQLITE_FULL).endsWith(QStringLiteral("\nSQLITE_FULL")));
}

void TestDataSafety::damagedDataFilesAreSetAside_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("shipped");
    QTest::newRow("settings") << "ustawienia.sqset" << true;
    QTest::newRow("calibration") << "bruma_kalibracja.sqset" << true;
    QTest::newRow("school template") << "szablony.sqset" << false;
}

void TestDataSafety::damagedDataFilesAreSetAside() {
    QFETCH(QString, file);
    QFETCH(bool, shipped);
    const QString path = f->env.programFile(file);
    const QByteArray garbage = QByteArray("To nie jest baza danych. ").repeated(200);
    writeFile(path, garbage);
    TFGlowna *g = f->start();
    QVERIFY(g->StartUpChecks());
    // One notice for the damaged file (restored settings bring the one-time
    // import notice back as well).
    QVERIFY(!f->prompts.asked.isEmpty());
    QCOMPARE(f->prompts.asked[0].caption, QStringLiteral("Uwaga"));
    for (const auto &asked : f->prompts.asked)
        QVERIFY(asked.icon != Prompts::Icon::Error);
    QVERIFY(f->prompts.asked[0].text.contains(path));
    QVERIFY(f->prompts.asked[0].text.contains(path + ".uszkodzony"));
    QCOMPARE(readFile(path + ".uszkodzony"), garbage);
    if (shipped && file == QLatin1String("ustawienia.sqset"))
        QVERIFY(!bFunIsDamagedDatabase(path)); // the shipped one, since written to
    else if (shipped)
        QCOMPARE(readFile(path), readFile(f->install.filePath(file)));
    else
        QVERIFY(!QFileInfo::exists(path));
    // Said once: the next start finds a sound file.
    f->prompts.clear();
    g = f->start();
    QVERIFY(g->StartUpChecks());
    QVERIFY(f->prompts.asked.isEmpty());
    // A selected document still previews with the restored calibration.
    openClass({kAdam});
    g->TreeView->setCurrentItem(node(0, 0));
    QVERIFY(!g->Image1->isEmpty());
}

void TestDataSafety::busyFileIsNeverTakenForDamaged() {
    const QString path = f->env.programFile("ustawienia.sqset");
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db, "begin exclusive; update settings set int_value=int_value;", nullptr,
                          nullptr, nullptr),
             SQLITE_OK);
    QVERIFY(!bFunIsDamagedDatabase(path));
    QString msg, notice;
    QVERIFY(!bFunRepairDamagedFile(msg, "ustawienia.sqset", true, notice));
    QVERIFY(notice.isEmpty());
    sqlite3_exec(db, "rollback", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    QVERIFY(!QFileInfo::exists(path + ".uszkodzony"));
    QVERIFY(!bFunIsDamagedDatabase(f->env.programFile("nie-ma-takiego.sqset")));
}

void TestDataSafety::damagedCalibrationDuringWork() {
    TFGlowna *g = openClass({kAdam});
    const QString path = f->env.programFile("bruma_kalibracja.sqset");
    writeFile(path, QByteArray(4096, 'x'));
    g->TreeView->setCurrentItem(node(0, 3));
    QCOMPARE(f->prompts.messages().size(), 1);
    QVERIFY(f->prompts.messages()[0].contains(path + ".uszkodzony"));
    QVERIFY(!g->Image1->isEmpty());
    g->TreeView->setCurrentItem(node(0, 0));
    QCOMPARE(f->prompts.messages().size(), 1);
}

void TestDataSafety::legacyFileIsPointedToTheImport() {
    TFGlowna *g = openClass({kAdam});
    const QString legacy = docs->filePath("stara klasa.br5");
    writeFile(legacy, "[UCZEN] Kowalski Jan\r\n");
    f->prompts.fileNames.enqueue(legacy);
    g->OtworzPlikToolButtonClick();
    QCOMPARE(f->prompts.messages().size(), 1);
    QVERIFY(f->prompts.messages()[0].contains(QString::fromUtf8("Plik › Importuj")));
    // The class that was open stays open.
    QCOMPARE(g->documentPath(), classFile);
    QCOMPARE(tables(), QStringList{kTableA});
}

void TestDataSafety::treeHasTheFocusAndKeysWork_data() {
    QTest::addColumn<int>("child"); // -1: the pupil node
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected"); // the window or question that follows
    QTest::newRow("Enter on a document") << 0 << int(Qt::Key_Return) << "TFKlasa1";
    QTest::newRow("Enter (keypad) on a report") << 3 << int(Qt::Key_Enter) << "TFWywiadowka";
    QTest::newRow("Enter on a pupil") << -1 << int(Qt::Key_Return) << "TFDaneUcznia";
    QTest::newRow("Delete on a pupil") << -1 << int(Qt::Key_Delete) << "question";
    QTest::newRow("Delete on a document") << 1 << int(Qt::Key_Delete) << "question";
}

void TestDataSafety::treeHasTheFocusAndKeysWork() {
    QFETCH(int, child);
    QFETCH(int, key);
    QFETCH(QString, expected);
    TFGlowna *g = openClass({kAdam});
    g->show();
    QApplication::setActiveWindow(g);
    QVERIFY(QTest::qWaitForWindowActive(g));
    QCOMPARE(QApplication::focusWidget(), g->TreeView);
    g->TreeView->setCurrentItem(node(0, child));
    QString opened;
    onNextModal([&opened](QWidget *w) {
        opened = w->objectName();
        w->close();
    });
    QTest::keyClick(g->TreeView, Qt::Key(key));
    QTRY_VERIFY(!QApplication::activeModalWidget());
    if (expected == "question") {
        QCOMPARE(f->prompts.asked.last().text,
                 QString::fromUtf8("Czy na pewno chcesz skasować dane ucznia: \nAgrest Adam"));
        QCOMPARE(f->prompts.asked.last().buttons, Prompts::Buttons::YesNoDefaultNo);
        QCOMPARE(tables(), QStringList{kTableA});
    } else {
        QCOMPARE(opened, expected);
    }
}

void TestDataSafety::menusHaveAcceleratorsAndShortcuts() {
    TFGlowna *g = f->g();
    auto mnemonic = [](const QString &text) {
        const int at = text.indexOf(QLatin1Char('&'));
        return at < 0 ? QChar() : text.at(at + 1).toLower();
    };
    QList<QChar> titles;
    for (QAction *menuAction : g->menuBar()->actions()) {
        const QChar m = mnemonic(menuAction->text());
        QVERIFY2(!m.isNull() && !titles.contains(m), qPrintable(menuAction->text()));
        titles << m;
        QList<QChar> entries;
        for (QAction *a : menuAction->menu()->actions()) {
            if (a->isSeparator())
                continue;
            const QChar e = mnemonic(a->text());
            QVERIFY2(!e.isNull() && !entries.contains(e), qPrintable(a->text()));
            entries << e;
        }
    }
    QCOMPARE(titles, QList<QChar>({'p', 'u', 'w', 's', 'c'}));
    const struct {
        const char *action;
        const char *keys;
    } shortcuts[] = {{"Nowyplik1", "Ctrl+N"},    {"Otworzplik1", "Ctrl+O"},
                     {"Zapisz1", "Ctrl+S"},      {"Zapiszjako1", "Ctrl+Shift+S"},
                     {"Koniec1", "Ctrl+Q"},      {"Drukujwybraneswiadectwo1", "Ctrl+P"},
                     {"Instrukcjaobsugi1", "F1"}};
    for (const auto &s : shortcuts)
        QCOMPARE(g->findChild<QAction *>(s.action)->shortcut(),
                 QKeySequence(QString::fromLatin1(s.keys)));
}

void TestDataSafety::captionlessButtonsAreNamed() {
    auto *bar = f->g()->findChild<QToolBar *>("ToolBar1");
    const QList<QToolButton *> buttons = bar->findChildren<QToolButton *>();
    int named = 0;
    for (QToolButton *b : buttons) {
        if (b->objectName() == QLatin1String("qt_toolbar_ext_button"))
            continue; // the tool bar's own overflow button
        QVERIFY2(!b->toolTip().isEmpty(), qPrintable(b->objectName()));
        QCOMPARE(b->accessibleName(), b->toolTip());
        ++named;
    }
    QCOMPARE(named, 12);
}

void TestDataSafety::everyCaptionlessButtonOfEveryWindowIsNamed() {
    // The print dialog's arrows, the calibration editor's, the first steps'
    // pictures: each says what it does to a screen reader and in a tooltip.
    QStringList unnamed;
    for (QWidget *window : f->windows.all) {
        for (QAbstractButton *b : window->findChildren<QAbstractButton *>()) {
            // Qt's own (a tab bar's scroll arrows, a tool bar's overflow) aside.
            if (!b->text().isEmpty() || b->objectName().startsWith(QLatin1String("qt_")) ||
                qobject_cast<QTabBar *>(b->parentWidget()))
                continue;
            if (b->toolTip().isEmpty() || b->accessibleName().isEmpty())
                unnamed << window->objectName() + QLatin1Char('/') + b->objectName();
        }
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
}

void TestDataSafety::helpWithoutABrowserSaysWhere() {
    f->prompts.externalOpens = false; // no browser on this desktop
    // The manual needs none: it opens in a window of the program.
    QString shown;
    QTimer::singleShot(0, [&] {
        if (QWidget *help = QApplication::activeModalWidget()) {
            shown = help->objectName();
            help->close();
        }
    });
    f->g()->Instrukcjaobsugi1Click();
    QCOMPARE(shown, QStringLiteral("TFPomoc"));
    QVERIFY(f->prompts.messages().isEmpty());
    // A web page without a browser: the address is told.
    f->g()->KontaktButtonClick();
    QVERIFY(f->prompts.messages().last().contains(QStringLiteral("https://")));
}

void TestDataSafety::pupilDialogSaveKeepsTheOtherDocuments_data() {
    QTest::addColumn<bool>("keyboard");
    QTest::newRow("mouse and tool bar") << false;
    QTest::newRow("keyboard") << true;
}

void TestDataSafety::pupilDialogSaveKeepsTheOtherDocuments() {
    // A pupil renamed in the pupil dialog after going through her documents:
    // the documents keep their rows as stored, byte for byte, whether their
    // windows were ever opened or not; her classmate is not touched.
    QFETCH(bool, keyboard);
    writeFile(classFile, QByteArray());
    QString msg;
    const SqlDataList adam = everyDocument(kAdam, "Adam");
    const SqlDataList bartosz = everyDocument(kBartosz, "Bartosz");
    QVERIFY(bFunSaveCertData(msg, classFile, kTableA, adam));
    QVERIFY(bFunSaveCertData(msg, classFile, kTableB, bartosz));
    TFGlowna *g = f->g();
    g->openCommandLineDocument(classFile);
    g->show();
    QApplication::setActiveWindow(g);
    QVERIFY(QTest::qWaitForWindowActive(g));
    g->TreeView->setCurrentItem(node(1, 2));
    QVERIFY(walkTo(node(0, 0), keyboard));
    for (const char *name : {"TFKlasa1", "TFArkuszStr1Kl1", "TFArkuszStr3Kl1", "TFWywiadowka"})
        QVERIFY(walkTo(documentNode(node(0), name), keyboard));
    // One document opened and left without a change.
    onNextModal([](QWidget *w) { w->close(); });
    if (keyboard)
        QTest::keyClick(g->TreeView, Qt::Key_Return);
    else
        g->findChild<QToolButton *>("EdytujSwiadectwoToolButton")->click();
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QVERIFY(walkTo(node(0), keyboard));

    onNextModal([keyboard](QWidget *w) {
        auto *first = w->findChild<QLineEdit *>("Imie_DATA_EDIT");
        first->setText("Zenon");
        if (keyboard)
            QTest::keyClick(first, Qt::Key_Return);
        else
            w->findChild<QPushButton *>("OKButton")->click();
        if (w->isVisible())
            w->close();
    });
    if (keyboard)
        QTest::keyClick(g->TreeView, Qt::Key_Return);
    else
        g->findChild<QToolButton *>("EdytujDaneUczniaToolButton")->click();
    QTRY_VERIFY(!QApplication::activeModalWidget());

    QCOMPARE(storedValue(f->tmp(), kTableA, "Imie_DATA_EDIT"), QStringLiteral("Zenon"));
    SqlDataList stored;
    QVERIFY(bFunLoadCertData(msg, f->tmp(), kTableA, stored));
    const SqlDataList kept = rowsOf(stored, "DANE UCZNIA", false);
    const SqlDataList before = rowsOf(adam, "DANE UCZNIA", false);
    QCOMPARE(kept.size(), before.size());
    for (int i = 0; i < kept.size(); ++i) {
        QCOMPARE(kept[i].id, before[i].id);
        QCOMPARE(kept[i].comp_name, before[i].comp_name);
        QCOMPARE(kept[i].value, before[i].value);
    }
    stored.clear();
    QVERIFY(bFunLoadCertData(msg, f->tmp(), kTableB, stored));
    QCOMPARE(stored.size(), bartosz.size());
    for (int i = 0; i < stored.size(); ++i)
        QCOMPARE(stored[i].value, bartosz[i].value);
    // The documents take the new name when they are shown.
    QCOMPARE(f->windows.editor("TFKlasa1")->fieldText("ZMIENNA_ImieNazwisko_STR1_DATA_EDIT"),
             QStringLiteral("Zenon Agrest"));
}

void TestDataSafety::windowOpenedAfterClicksShowsThatPupil_data() {
    QTest::addColumn<bool>("keyboard");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("field");
    QTest::newRow("certificate, tool bar") << false << "TFKlasa1"
                                           << "ZMIENNA_Klasa_STR1_DATA_EDIT";
    QTest::newRow("title page, keyboard") << true << "TFArkuszStr1Kl1"
                                          << "ZMIENNA_NazwaSzkoly1_DATA_EDIT";
}

void TestDataSafety::windowOpenedAfterClicksShowsThatPupil() {
    // A click in the tree fills no window; the window opened for the first
    // time afterwards holds the pupil of the last click, with her name.
    QFETCH(bool, keyboard);
    QFETCH(QString, window);
    QFETCH(QString, field);
    writeFile(classFile, QByteArray());
    QString msg;
    const SqlDataList bartosz = everyDocument(kBartosz, "Bartosz");
    QVERIFY(bFunSaveCertData(msg, classFile, kTableA, everyDocument(kAdam, "Adam")));
    QVERIFY(bFunSaveCertData(msg, classFile, kTableB, bartosz));
    TFGlowna *g = f->g();
    g->openCommandLineDocument(classFile);
    g->show();
    QApplication::setActiveWindow(g);
    QVERIFY(QTest::qWaitForWindowActive(g));
    const QByteArray name = window.toLatin1();
    g->TreeView->setCurrentItem(node(0, 1));
    QVERIFY(walkTo(documentNode(node(0), name.constData()), keyboard));
    QVERIFY(walkTo(documentNode(node(1), name.constData()), keyboard));
    QVERIFY(!g->findChild<TFEditor *>(window)); // not built by the clicks

    QString shown, named;
    onNextModal([&](QWidget *w) {
        shown = static_cast<TFEditor *>(w)->fieldText(field);
        named =
            w->findChild<QLineEdit *>(window == "TFKlasa1" ? "ZMIENNA_ImieNazwisko_STR1_DATA_EDIT"
                                                           : "ZMIENNA_ImieNazwisko_DATA_EDIT")
                ->text();
        w->close();
    });
    if (keyboard)
        QTest::keyClick(g->TreeView, Qt::Key_Return);
    else
        g->findChild<QToolButton *>("EdytujSwiadectwoToolButton")->click();
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QString stored;
    for (const structSqlData &r : rowsOf(bartosz, documentByClass(window)->id())) {
        if (r.comp_name == field)
            stored = r.value;
    }
    QCOMPARE(shown, stored);
    QCOMPARE(named, QString::fromUtf8("Bartosz Bąk"));
}

QTEST_MAIN(TestDataSafety)
#include "tst_datasafety.moc"
