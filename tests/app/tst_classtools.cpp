#include "apptest.h"
#include "dialogs/tfsprawdzklase.h"
#include "dialogs/tfuzupelnijklase.h"
#include "document/templatestore.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

// The whole class at once from the main window: the shared fields and
// numbers written into every pupil (unsaved until "Zapisz"), and the check
// of every pupil's documents with the road from a cell to its editor.
class TestClassTools : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void fillFromTheMenuByKeyboard();
    void checkTableShowsEachKind();
    void checkCellOpensTheEditorAtTheField();
    void everyControlIsNamed();

private:
    QString classFile() const { return m_dir->filePath(QStringLiteral("klasa.sqbr5")); }
    TFGlowna *openClass();
    std::unique_ptr<AppFixture> f;
    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

const QString kData = QString::fromLatin1(kPupilDataId);
const char *const kWide = "ZMIENNA_DodatkoweEdu1_STR2_DATA_EDIT";

QString certificateId() {
    return documentByClass(QStringLiteral("TFKlasa1"))->id();
}

// One pupil of each kind, in the tree's order: the certificate not started;
// filled; a text too long for its field; no PESEL (the import's
// placeholder); no certificate number.
void writeCheckClass(const QString &path) {
    writeFile(path, QByteArray());
    const QString cert = certificateId();
    const SqlDataList filled{{cert, "ZMIENNA_Klasa_STR1_DATA_EDIT", "pierwszej"},
                             {cert, "ZMIENNA_MiejscowoscDnia_STR1_DATA_EDIT", "26 czerwca"},
                             {cert, "ZMIENNA_MiejscowoscRok_STR1_DATA_EDIT", "2027"}};
    const struct {
        const char *pesel, *surname, *first, *number;
        SqlDataList certificate;
    } pupils[] = {
        {"17210512342", "Adamek", "Anna", "1/2027", {}},
        {"17220612345", "Bielak", "Bartek", "2/2027", filled},
        {"17230712348", "Cichy", "Cezary", "3/2027",
         filled + SqlDataList{{cert, kWide, QString(80, QChar('W'))}}},
        {"_BRAK_1", "Dudek", "Daria", "4/2027", filled},
        {"17250912344", "Ekiert", "Ewa", "", filled},
    };
    for (const auto &p : pupils) {
        SqlDataList records{{kData, "Nazwisko_DATA_EDIT", p.surname},
                            {kData, "Imie_DATA_EDIT", p.first},
                            {kData, "Plec_DATA_COMBOBOX", "kobieta"},
                            {kData, "Pesel_DATA_EDIT", p.pesel},
                            {kData, "NrDziennika_DATA_EDIT", p.number}};
        records << p.certificate;
        QString msg;
        QVERIFY2(bFunSaveCertData(msg, path, QStringLiteral("PESEL") + p.pesel, records),
                 qPrintable(msg));
    }
}

QString valueIn(const QString &path, const QString &table, const QString &id,
                const QString &component) {
    SqlDataList records;
    QString msg;
    bFunLoadCertData(msg, path, table, records);
    for (const structSqlData &r : records)
        if (r.id == id && r.comp_name == component)
            return r.value;
    return QString();
}

QString findingsText(const QList<structPrintFinding> &findings) {
    QStringList out;
    for (const structPrintFinding &f : findings)
        out << f.text();
    return out.join(QLatin1Char('\n'));
}

} // namespace

void TestClassTools::init() {
    f = std::make_unique<AppFixture>();
    m_dir = std::make_unique<QTemporaryDir>();
    writeCheckClass(classFile());
}

void TestClassTools::cleanup() {
    f.reset();
    m_dir.reset();
}

TFGlowna *TestClassTools::openClass() {
    TFGlowna *g = f->start();
    if (!g->StartUpChecks())
        return nullptr;
    g->openCommandLineDocument(classFile());
    f->prompts.clear();
    return g;
}

// The menu, the school template's values, a number typed, Return: every
// pupil changed in the working copy at once, her file untouched, the class
// unsaved. Escape changes nothing.
void TestClassTools::fillFromTheMenuByKeyboard() {
    QString msg;
    QVERIFY(TemplateStore::inProgramFolder(msg).write(
        msg, QString::fromLatin1(kTemplateTable),
        {{"DANE SZKOLY", "ZMIENNA_RokSzkolny1_DATA_EDIT", "2026"},
         {"DANE SZKOLY", "ZMIENNA_RokSzkolny2_DATA_EDIT", "2027"},
         {"DANE SZKOLY", "ZMIENNA_Klasa_DATA_EDIT", "1b"}}));
    TFGlowna *g = openClass();
    QVERIFY(g);
    QVERIFY(!g->DataChanged);
    const QByteArray herFile = readFile(classFile());
    QAction *fill = g->findChild<QAction *>("Uzupelnijdlaklasy1");
    QVERIFY(fill);
    QVERIFY(fill->text().contains(QString::fromUtf8("&Uzupełnij")));

    QString document, classValue;
    bool classTicked = false;
    int rows = -1;
    QStringList numberRow;
    QTimer::singleShot(0, [&] {
        auto *d = qobject_cast<TFUzupelnijKlase *>(QApplication::activeModalWidget());
        if (!d)
            return;
        document = d->DokumentComboBox->currentText();
        classValue = d->fieldEdit("ZMIENNA_Klasa_STR1_DATA_EDIT")->text();
        classTicked = d->fieldBox("ZMIENNA_Klasa_STR1_DATA_EDIT")->isChecked();
        d->NumerEdit->setFocus();
        QTest::keyClicks(d->NumerEdit, "12/2027");
        rows = d->PodgladTable->rowCount();
        for (int r = 0; r < rows; ++r)
            if (d->PodgladTable->item(r, 1)->text() == QString::fromUtf8("numer świadectwa"))
                for (int c = 0; c < 4; ++c)
                    numberRow << d->PodgladTable->item(r, c)->text();
        QTest::keyClick(d->NumerEdit, Qt::Key_Return);
    });
    fill->trigger();
    QCOMPARE(document, QString::fromUtf8("MEN-I/1/2 świad. klasa 1"));
    QCOMPARE(classValue, "1b");
    QVERIFY(classTicked);
    // Adamek: class and both years; the others both years; Ekiert her number.
    QCOMPARE(rows, 12);
    QCOMPARE(numberRow,
             (QStringList{"Ekiert Ewa", QString::fromUtf8("numer świadectwa"), "", "16/2027"}));

    QVERIFY(g->DataChanged);
    QVERIFY(g->isWindowModified());
    QCOMPARE(readFile(classFile()), herFile);
    const QString cert = certificateId();
    QCOMPARE(valueIn(f->tmp(), "PESEL17250912344", kData, "NrDziennika_DATA_EDIT"), "16/2027");
    QCOMPARE(valueIn(f->tmp(), "PESEL17220612345", kData, "NrDziennika_DATA_EDIT"), "2/2027");
    QCOMPARE(valueIn(f->tmp(), "PESEL17210512342", cert, "ZMIENNA_Klasa_STR1_DATA_EDIT"), "1b");
    QCOMPARE(valueIn(f->tmp(), "PESEL17220612345", cert, "ZMIENNA_Klasa_STR1_DATA_EDIT"),
             "pierwszej");
    QCOMPARE(valueIn(f->tmp(), "PESEL17230712348", cert, "ZMIENNA_RokSzkolny2_STR1_DATA_EDIT"),
             "2027");

    // Escape: nothing, even with "Zastąp" ticked.
    const QByteArray working = readFile(f->tmp());
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto *d = qobject_cast<TFUzupelnijKlase *>(QApplication::activeModalWidget());
        if (!d)
            return;
        shown = true;
        d->cbZastap->setChecked(true);
        d->fieldEdit("ZMIENNA_Klasa_STR1_DATA_EDIT")->setFocus();
        QTest::keyClick(d->fieldEdit("ZMIENNA_Klasa_STR1_DATA_EDIT"), Qt::Key_Escape);
    });
    fill->trigger();
    QVERIFY(shown);
    QCOMPARE(readFile(f->tmp()), working);
}

// One pupil of each kind gives one state of each kind, and the table says
// what the whole-class print says before printing: one check.
void TestClassTools::checkTableShowsEachKind() {
    TFGlowna *g = openClass();
    QVERIFY(g);
    const StudentList pupils = g->session().pupilsInOrder();
    QCOMPARE(pupils.size(), 5);
    const QList<structCheckRow> rows =
        listFunCheckClassTable(f->tmp(), pupils, structRenderOptions());
    QCOMPARE(rows.size(), 5);
    const DocumentInfo *cert = documentByClass("TFKlasa1");
    QCOMPARE(rows[0].cells[0].document, cert);
    const struct {
        DocumentState state;
        const char *finding;
    } expected[] = {
        {DocumentState::NotStarted, nullptr},
        {DocumentState::Filled, nullptr},
        {DocumentState::PrintsWrong, "wychodzi poza pole"},
        {DocumentState::PrintsWrong, "nie ma numeru PESEL"},
        {DocumentState::PrintsWrong, "brak numeru świadectwa"},
    };
    for (int i = 0; i < 5; ++i) {
        const structCheckCell &cell = rows[i].cells[0];
        QVERIFY2(cell.state == expected[i].state, qPrintable(rows[i].pupil.name));
        if (expected[i].finding)
            QVERIFY2(findingsText(cell.findings).contains(QString::fromUtf8(expected[i].finding)),
                     qPrintable(findingsText(cell.findings)));
        else
            QVERIFY2(cell.findings.isEmpty(), qPrintable(findingsText(cell.findings)));
        // Every other document: nothing typed in yet.
        for (int c = 1; c < rows[i].cells.size(); ++c)
            QVERIFY(rows[i].cells[c].state == DocumentState::NotStarted);
    }
    // A started certificate without the date of issue is said too.
    QVERIFY(findingsText(listFunCheckDocument(
                             "X", *cert, {{cert->id(), "ZMIENNA_Klasa_STR1_DATA_EDIT", "1"}}, {}))
                .contains(QString::fromUtf8("brak daty wydania")));

    structClassRequest request;
    request.classFile = f->tmp();
    request.document = cert;
    request.pupils = pupils.mid(1);
    QList<structPrintFinding> table;
    for (const structCheckRow &row : rows.mid(1))
        table += row.cells[0].findings;
    QCOMPARE(findingsText(listFunCheckClass(request)), findingsText(table));
}

// "Świadectwa › Sprawdź klasę", arrows to the pupil whose text is too long,
// Enter: the certificate's editor with the cursor in that field; corrected
// and saved, the table shows the certificate filled. Escape closes.
void TestClassTools::checkCellOpensTheEditorAtTheField() {
    TFGlowna *g = openClass();
    QVERIFY(g);
    QAction *check = g->findChild<QAction *>("Sprawdzklase1");
    QVERIFY(check);
    QVERIFY(check->text().contains(QString::fromUtf8("&Sprawdź")));
    QStringList cells;
    QString editorName, focused, before, after;
    bool closed = false;
    QTimer::singleShot(0, [&] {
        auto *d = qobject_cast<TFSprawdzKlase *>(QApplication::activeModalWidget());
        if (!d)
            return;
        for (int r = 0; r < d->KlasaTable->rowCount(); ++r)
            cells << d->KlasaTable->item(r, 0)->text();
        d->KlasaTable->setFocus();
        d->KlasaTable->setCurrentCell(0, 0);
        QTest::keyClick(d->KlasaTable, Qt::Key_Down);
        QTest::keyClick(d->KlasaTable, Qt::Key_Down);
        before = d->UwagiLabel->text();
        QTimer::singleShot(0, [&] {
            auto *editor = qobject_cast<TFEditor *>(QApplication::activeModalWidget());
            if (!editor)
                return;
            editorName = editor->objectName();
            if (editor->focusWidget())
                focused = editor->focusWidget()->objectName();
            editor->setFieldText(kWide, QString::fromUtf8("koło plastyczne"));
            if (auto *ok = editor->findChild<QPushButton *>("btnOK"))
                ok->click();
        });
        QTest::keyClick(d->KlasaTable, Qt::Key_Return);
        after = d->KlasaTable->item(2, 0)->text();
        QTest::keyClick(d->KlasaTable, Qt::Key_Escape);
        closed = !d->isVisible();
    });
    check->trigger();
    QCOMPARE(cells,
             (QStringList{QString::fromUtf8("nie rozpoczęty"), QString::fromUtf8("wypełniony"),
                          QString::fromUtf8("do poprawy: dodatkowe edu 1"),
                          QString::fromUtf8("do poprawy: numer PESEL"),
                          QString::fromUtf8("do poprawy: numer świadectwa")}));
    QVERIFY2(before.startsWith("Cichy Cezary") && before.contains("wychodzi poza pole"),
             qPrintable(before));
    QCOMPARE(editorName, "TFKlasa1");
    QCOMPARE(focused, kWide);
    QCOMPARE(after, QString::fromUtf8("wypełniony"));
    QVERIFY(closed);
    QVERIFY(g->DataChanged);
    QCOMPARE(valueIn(f->tmp(), "PESEL17230712348", certificateId(), kWide),
             QString::fromUtf8("koło plastyczne"));
}

// Every input of the two windows has a name a screen reader reads out.
void TestClassTools::everyControlIsNamed() {
    TFGlowna *g = openClass();
    QVERIFY(g);
    QStringList unnamed;
    auto look = [&unnamed](QWidget *window) {
        for (QWidget *w : window->findChildren<QWidget *>()) {
            if (w->objectName().startsWith("qt_") || !w->isVisibleTo(window) ||
                !(w->focusPolicy() & Qt::TabFocus))
                continue;
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
            if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
                unnamed << window->objectName() + "/" + w->objectName();
        }
    };
    QTimer::singleShot(0, [&] {
        if (QWidget *d = QApplication::activeModalWidget()) {
            look(d);
            d->close();
        }
    });
    g->UzupelnijDlaKlasyClick();
    QTimer::singleShot(0, [&] {
        if (QWidget *d = QApplication::activeModalWidget()) {
            look(d);
            d->close();
        }
    });
    g->SprawdzKlaseClick();
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
}

QTEST_MAIN(TestClassTools)
#include "tst_classtools.moc"
