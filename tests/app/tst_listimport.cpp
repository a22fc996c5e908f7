#include "apptest.h"

#include "dialogs/tfimportlisty.h"
#include "dialogs/tfpomoc.h"
#include "editors/tfdaneucznia.h"
#include "storage/codec.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

namespace {

const char *const kExisting = "16221798712"; // Stary Adam, in the class
const QString kCert1 = QStringLiteral("SWIADECTWO UKONCZENIA KLASY 1 SZKOLY PODST.");

} // namespace

// "Plik › Importuj listę uczniów…": list files as registers and spreadsheets
// write them, into the open class's working copy.
class TestListImport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void importsFiles_data();
    void importsFiles();
    void recordsAreThoseOfThePupilDialog();
    void keyboardRoad();
    void escapeImportsNothing();
    void windowIsNamedAndHasHelp();

private:
    TFGlowna *g() const { return f->g(); }
    SqlDataList rows(const QString &table) const {
        SqlDataList out;
        QString msg;
        bFunLoadCertData(msg, f->tmp(), table, out);
        return out;
    }
    QString value(const QString &table, const QString &id, const QString &name) const {
        for (const structSqlData &r : rows(table))
            if (r.id == id && r.comp_name == name)
                return r.value;
        return QStringLiteral("<none>");
    }
    QString writeList(const QByteArray &bytes) {
        const QString path = docs->filePath("lista.csv");
        writeFile(path, bytes);
        return path;
    }

    std::unique_ptr<AppFixture> f;
    std::unique_ptr<QTemporaryDir> docs;
    QString classFile;
};

void TestListImport::init() {
    f = std::make_unique<AppFixture>();
    docs = std::make_unique<QTemporaryDir>();
    classFile = docs->filePath("klasa.sqbr5");
    QVERIFY(f->start()->StartUpChecks());
    writeFile(classFile, QByteArray());
    QString msg;
    // Her own entries: a town in the pupil data and a certificate's class.
    QVERIFY(bFunSaveCertData(
        msg, classFile, QStringLiteral("PESEL") + kExisting,
        {{"DANE UCZNIA", "Nazwisko_DATA_EDIT", "Stary"},
         {"DANE UCZNIA", "Imie_DATA_EDIT", "Adam"},
         {"DANE UCZNIA", "Plec_DATA_COMBOBOX", QString::fromUtf8("mężczyzna")},
         {"DANE UCZNIA", "UrodzonyMiasto_DATA_COMBOBOX", QString::fromUtf8("Kraków")},
         {"DANE UCZNIA", "Pesel_DATA_EDIT", kExisting},
         {kCert1, "ZMIENNA_Klasa_STR1_DATA_EDIT", "1a"}}));
    g()->openCommandLineDocument(classFile);
    QVERIFY(!bool(g()->session().unsaved));
    f->prompts.clear();
}

void TestListImport::cleanup() {
    f.reset();
    docs.reset();
}

void TestListImport::importsFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("update");
    QTest::addColumn<bool>("tickDoubtful");
    QTest::addColumn<QStringList>("tables");   // of the working copy, sorted
    QTest::addColumn<QStringList>("expected"); // "PESEL|field=value" of "DANE UCZNIA"
    QTest::addColumn<QList<int>>("counts");    // added, updated, skipped

    QTest::newRow("register, UTF-8 with BOM and semicolons")
        << QByteArray("\xEF\xBB\xBF"
                      "Lp.;Nazwisko;Imiona;PESEL;Data urodzenia;Miejsce urodzenia;"
                      "Województwo;Płeć;Nr w dzienniku\r\n"
                      "1;Żółw;Łucja;17230512342;2017-03-05;Łódź;łódzkie;K;1\r\n"
                      "2;Nowak;Jan;16312205671;;Gdańsk;pomorskie;;2\r\n")
        << false << false << QStringList{"PESEL16221798712", "PESEL16312205671", "PESEL17230512342"}
        << QStringList{QString::fromUtf8("17230512342|Nazwisko_DATA_EDIT=Żółw"),
                       QString::fromUtf8("17230512342|Imie_DATA_EDIT=Łucja"),
                       "17230512342|Plec_DATA_COMBOBOX=kobieta",
                       "17230512342|UrodzonyDnia_DATA_EDIT=5 marca",
                       "17230512342|UrodzonyRok_DATA_COMBOBOX=2017 r.",
                       QString::fromUtf8("17230512342|UrodzonyMiasto_DATA_COMBOBOX=Łódź"),
                       QString::fromUtf8("17230512342|UrodzonyWoj_DATA_COMBOBOX=łódzkie"),
                       "17230512342|NrDziennika_DATA_EDIT=1",
                       QString::fromUtf8("16312205671|Plec_DATA_COMBOBOX=mężczyzna"),
                       "16312205671|UrodzonyDnia_DATA_EDIT=22 listopada",
                       "16312205671|UrodzonyRok_DATA_COMBOBOX=2016 r."}
        << QList<int>{2, 0, 0};
    QTest::newRow("code page 1250, missing PESEL left out")
        << cp1250::encode(QString::fromUtf8("NAZWISKO;IMIE;PESEL;DATA UR.\r\n"
                                            "Źdźbło;Żaneta;17213044442;30.01.2017\r\n"
                                            "Bez;Numeru;;05.03.2017\r\n"))
        << false << false << QStringList{"PESEL16221798712", "PESEL17213044442"}
        << QStringList{QString::fromUtf8("17213044442|Nazwisko_DATA_EDIT=Źdźbło"),
                       "17213044442|UrodzonyDnia_DATA_EDIT=30 stycznia",
                       "17213044442|Plec_DATA_COMBOBOX=kobieta"}
        << QList<int>{1, 0, 0};
    QTest::newRow("tabs, missing and bad PESEL ticked")
        << QByteArray("Nazwisko\tImię\tPESEL\tPłeć\n"
                      "Bez\tNumeru\t\tdziewczynka\n"
                      "Zły\tNumer\t17230512343\tM\n\n")
        << false << true << QStringList{"PESEL16221798712", "PESEL17230512343", "PESEL_BRAK_1"}
        << QStringList{"_BRAK_1|Pesel_DATA_EDIT=_BRAK_1", "_BRAK_1|Plec_DATA_COMBOBOX=kobieta",
                       "17230512343|Pesel_DATA_EDIT=17230512343",
                       QString::fromUtf8("17230512343|Plec_DATA_COMBOBOX=mężczyzna")}
        << QList<int>{2, 0, 0};
    QTest::newRow("spreadsheet quoting with commas")
        << QByteArray(
               "\"Imię\",\"Nazwisko\",\"Miejsce urodzenia\",\"PESEL\"\r\n"
               "\"Anna\",\"Kowalska-Nowak\",\"Nowy Sącz, \"\"Zdrój\"\"\",\"18301500152\"\r\n")
        << false << false << QStringList{"PESEL16221798712", "PESEL18301500152"}
        << QStringList{"18301500152|Nazwisko_DATA_EDIT=Kowalska-Nowak",
                       QString::fromUtf8(
                           "18301500152|UrodzonyMiasto_DATA_COMBOBOX=Nowy Sącz, \"Zdrój\""),
                       QString::fromUtf8("18301500152|Plec_DATA_COMBOBOX=mężczyzna")}
        << QList<int>{1, 0, 0};
    const QByteArray duplicate("Nazwisko;Imię;PESEL;Miejsce urodzenia;Nr w dzienniku\n"
                               "Starszy;Adam;16221798712;;12\n");
    QTest::newRow("a pupil of the class, skipped")
        << duplicate << false << false << QStringList{"PESEL16221798712"}
        << QStringList{"16221798712|Nazwisko_DATA_EDIT=Stary",
                       "16221798712|NrDziennika_DATA_EDIT=<none>",
                       QString::fromUtf8("16221798712|UrodzonyMiasto_DATA_COMBOBOX=Kraków")}
        << QList<int>{0, 0, 1};
    QTest::newRow("a pupil of the class, updated")
        << duplicate << true << false << QStringList{"PESEL16221798712"}
        << QStringList{"16221798712|Nazwisko_DATA_EDIT=Starszy",
                       "16221798712|NrDziennika_DATA_EDIT=12",
                       QString::fromUtf8("16221798712|UrodzonyMiasto_DATA_COMBOBOX=Kraków"),
                       "16221798712|UrodzonyDnia_DATA_EDIT=17 lutego"}
        << QList<int>{0, 1, 0};
}

void TestListImport::importsFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, update);
    QFETCH(bool, tickDoubtful);
    QFETCH(QStringList, tables);
    QFETCH(QStringList, expected);
    QFETCH(QList<int>, counts);

    TFImportListy preview(g());
    preview.setList(pupilListFromBytes(bytes), pupilTables(f->tmp()), "lista.csv");
    for (int r = 0; r < preview.pupils().size(); ++r)
        if (preview.pupils()[r].doubtful && tickDoubtful)
            preview.setTicked(r, true);
    (update ? preview.UaktualnijRadio : preview.PominRadio)->setChecked(true);
    const auto result = g()->importPupilList(preview.chosenPupils(), preview.updateExisting());
    QCOMPARE((QList<int>{result.added, result.updated, result.skipped}), counts);
    QVERIFY(result.failed.isEmpty());

    QStringList got = pupilTables(f->tmp());
    got.sort();
    QCOMPARE(got, tables);
    for (const QString &e : expected) {
        const QString pesel = e.section('|', 0, 0);
        const QString name = e.section('|', 1).section('=', 0, 0);
        const QString want = e.section('=', 1);
        QCOMPARE(value("PESEL" + pesel, "DANE UCZNIA", name), want);
    }
    // Her certificate of the pupil already in the class stays as it was.
    QCOMPARE(value(QStringLiteral("PESEL") + kExisting, kCert1, "ZMIENNA_Klasa_STR1_DATA_EDIT"),
             QStringLiteral("1a"));
    // Unsaved changes when something came in; her file is untouched either way.
    QCOMPARE(bool(g()->session().unsaved), result.added + result.updated > 0);
    QCOMPARE(pupilTables(classFile), QStringList{QStringLiteral("PESEL") + kExisting});
    QCOMPARE(g()->TreeView->topLevelItemCount(), tables.size());
}

// A list's row is stored exactly as the same data typed into the pupil
// dialog: every document's row, the blank defaults, the pupil's fields.
void TestListImport::recordsAreThoseOfThePupilDialog() {
    TFImportListy preview(g());
    preview.setList(
        pupilListFromBytes(QString::fromUtf8("Nazwisko;Imię;PESEL;Data urodzenia;Miejsce urodzenia;"
                                             "Województwo;Nr w dzienniku\n"
                                             "Nowak;Jan;16312205671;22.11.2016;Łódź;łódzkie;5\n")
                               .toUtf8()),
        pupilTables(f->tmp()), "lista.csv");
    g()->importPupilList(preview.chosenPupils(), false);
    const SqlDataList imported = rows("PESEL16312205671");
    QVERIFY2(imported.size() > 200, qPrintable(QString::number(imported.size())));

    QVERIFY(g()->session().deletePupil("PESEL16312205671").ok);
    g()->ClearAllEditors();
    TFDaneUcznia *dialog = f->windows.daneUcznia;
    dialog->findChild<QLineEdit *>("Nazwisko_DATA_EDIT")->setText("Nowak");
    dialog->findChild<QLineEdit *>("Imie_DATA_EDIT")->setText("Jan");
    dialog->findChild<QComboBox *>("Plec_DATA_COMBOBOX")->setCurrentIndex(1);
    dialog->findChild<QLineEdit *>("UrodzonyDnia_DATA_EDIT")->setText("22 listopada");
    dialog->findChild<QComboBox *>("UrodzonyRok_DATA_COMBOBOX")->setCurrentText("2016 r.");
    dialog->findChild<QComboBox *>("UrodzonyMiasto_DATA_COMBOBOX")
        ->setCurrentText(QString::fromUtf8("Łódź"));
    dialog->findChild<QComboBox *>("UrodzonyWoj_DATA_COMBOBOX")
        ->setCurrentText(QString::fromUtf8("łódzkie"));
    dialog->findChild<QLineEdit *>("NrDziennika_DATA_EDIT")->setText("5");
    dialog->findChild<QLineEdit *>("Pesel_DATA_EDIT")->setText("16312205671");
    QVERIFY(g()->SaveStudentRecord());
    const SqlDataList typed = rows("PESEL16312205671");
    QCOMPARE(imported.size(), typed.size());
    for (qsizetype i = 0; i < typed.size(); ++i) {
        QCOMPARE(imported[i].id, typed[i].id);
        QCOMPARE(imported[i].comp_name, typed[i].comp_name);
        QCOMPARE(imported[i].value, typed[i].value);
    }
}

// Alt+P, L opens the file, the preview takes the keys: Down, Space ticks the
// row without a PESEL, Tab and Down choose "uaktualnij", Return is OK.
void TestListImport::keyboardRoad() {
    f->prompts.fileNames.enqueue(
        writeList("Nazwisko;Imię;PESEL;Płeć\nNowak;Jan;16312205671;\nBez;Numeru;;K\n"
                  "Starszy;Adam;16221798712;\n"));
    g()->show();
    QVERIFY(QTest::qWaitForWindowActive(g()));
    bool seen = false;
    QTimer::singleShot(0, this, [&] {
        QMenu *file = g()->findChild<QMenu *>("Plik1");
        QTRY_VERIFY(file->isVisible());
        QTest::keyClick(file, Qt::Key_L);
    });
    auto *poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [&, poll] {
        auto *d = qobject_cast<TFImportListy *>(QApplication::activeModalWidget());
        if (!d)
            return;
        poll->stop();
        poll->deleteLater();
        seen = true;
        QCOMPARE(QApplication::focusWidget(), d->PodgladTable);
        QVERIFY(!d->isTicked(1));
        QTest::keyClick(d->PodgladTable, Qt::Key_Down);
        QTest::keyClick(d->PodgladTable, Qt::Key_Space);
        QVERIFY(d->isTicked(1));
        QTest::keyClick(d->PodgladTable, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), d->PominRadio);
        QTest::keyClick(d->PominRadio, Qt::Key_Down);
        QVERIFY(d->UaktualnijRadio->isChecked());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    poll->start(20);
    QTest::keyClick(g(), Qt::Key_P, Qt::AltModifier);
    QTRY_VERIFY(seen);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QStringList got = pupilTables(f->tmp());
    got.sort();
    QCOMPARE(got, QStringList({"PESEL16221798712", "PESEL16312205671", "PESEL_BRAK_1"}));
    QCOMPARE(value("PESEL16221798712", "DANE UCZNIA", "Nazwisko_DATA_EDIT"), "Starszy");
    QVERIFY(bool(g()->session().unsaved));
    QCOMPARE(f->prompts.asked.size(), 2); // the file, then the summary
    QVERIFY(f->prompts.asked.last().text.contains(QString::fromUtf8("Dodano uczniów: 2.")));
    QVERIFY(f->prompts.asked.last().text.contains(QString::fromUtf8("Uaktualniono uczniów: 1.")));
    QVERIFY(f->prompts.asked.last().text.contains("Zapisz"));
}

void TestListImport::escapeImportsNothing() {
    f->prompts.fileNames.enqueue(writeList("Nazwisko;Imię;PESEL\nNowak;Jan;16312205671\n"));
    bool seen = false;
    QTimer::singleShot(0, this, [&] {
        auto *d = qobject_cast<TFImportListy *>(QApplication::activeModalWidget());
        QVERIFY(d);
        seen = true;
        QTest::keyClick(d->PodgladTable, Qt::Key_Escape);
    });
    g()->findChild<QAction *>("ImportujListe1")->trigger();
    QVERIFY(seen);
    QCOMPARE(pupilTables(f->tmp()), QStringList{QStringLiteral("PESEL") + kExisting});
    QVERIFY(!bool(g()->session().unsaved));
    QCOMPARE(f->prompts.asked.size(), 1); // the file dialog alone
}

void TestListImport::windowIsNamedAndHasHelp() {
    TFImportListy preview(g());
    preview.setList(pupilListFromBytes("Nazwisko;Imię;Uwagi\nNowak;Jan;x\n"), {}, "lista.csv");
    QStringList unnamed;
    for (QWidget *w : preview.findChildren<QWidget *>()) {
        const bool input = qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractButton *>(w) ||
                           qobject_cast<QTableWidget *>(w);
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
        if (input && !w->objectName().startsWith("qt_") &&
            (!a || a->text(QAccessible::Name).trimmed().isEmpty()))
            unnamed << w->objectName() + '/' + w->metaObject()->className();
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    QCOMPARE(preview.columnCombo(2)->currentText(), QString::fromUtf8("(pomiń)"));

    preview.show();
    QVERIFY(QTest::qWaitForWindowActive(&preview));
    QString shown;
    auto *poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [&, poll] {
        auto *help = qobject_cast<TFPomoc *>(QApplication::activeModalWidget());
        if (!help)
            return;
        poll->stop();
        poll->deleteLater();
        shown = help->section();
        help->CloseButton->click();
    });
    poll->start(20);
    QTest::keyClick(&preview, Qt::Key_F1);
    QCOMPARE(shown, QString::fromLatin1(kHelpPupilList));
}

QTEST_MAIN(TestListImport)
#include "tst_listimport.moc"
