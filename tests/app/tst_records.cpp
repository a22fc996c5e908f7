#include "apptest.h"

#include "editors/binding.h"
#include "editors/documenteditors.h"
#include "editors/fields.h"
#include "editors/tfdaneucznia.h"
#include "storage/codec.h"
#include "storage/cppsqlite3.h"
#include "storage/namelists.h"
#include "support/hosttools.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTreeWidget>
#include <QtTest>

// A pupil's record across the fourteen bound windows and the pupil dialog.
class TestRecords : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void everyEditorRoundTrips();
    void storedTableReadsAsCp1250WithTheNamesOfTheForms();
    void memoLinesKeepStoredOrder();
    void pupilDialogChecks_data();
    void pupilDialogChecks();
    void peselQuestion_data();
    void peselQuestion();
    void peselFillsAndPointsOut();
    void pupilWithoutAPesel();
    void capitalisation_data();
    void capitalisation();
    void addingAnExistingPesel();
    void changingThePeselMovesThePupil();
    void changingToAnotherPupilsPeselAsks();
    void failedSaveKeepsThePupil();
    void cancelledPupilDialogIsReloaded();
    void clearAllEditorsAndKeptTexts();
    void townsAndProvincesAreRemembered();

private:
    TFDaneUcznia *pupil() const { return f->windows.daneUcznia; }
    void typePupil(const QString &surname, const QString &first, int gender, const QString &pesel);
    SqlDataList tableRows(const QString &table) const;
    QTreeWidgetItem *nodeOf(const QString &table) const;

    std::unique_ptr<AppFixture> f;
};

void TestRecords::init() {
    f = std::make_unique<AppFixture>();
    QVERIFY(f->start()->StartUpChecks());
    f->prompts.clear();
    writeFile(f->tmp(), QByteArray()); // a new class, as the pupil dialog starts it
}

void TestRecords::cleanup() {
    f.reset();
}

void TestRecords::typePupil(const QString &surname, const QString &first, int gender,
                            const QString &pesel) {
    pupil()->findChild<QLineEdit *>("Nazwisko_DATA_EDIT")->setText(surname);
    pupil()->findChild<QLineEdit *>("Imie_DATA_EDIT")->setText(first);
    pupil()->findChild<QComboBox *>("Plec_DATA_COMBOBOX")->setCurrentIndex(gender);
    pupil()->findChild<QLineEdit *>("Pesel_DATA_EDIT")->setText(pesel);
}

SqlDataList TestRecords::tableRows(const QString &table) const {
    SqlDataList rows;
    QString msg;
    bFunLoadCertData(msg, f->tmp(), table, rows);
    return rows;
}

QTreeWidgetItem *TestRecords::nodeOf(const QString &table) const {
    QTreeWidget *tree = f->g()->TreeView;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (tree->topLevelItem(i)->data(0, Qt::UserRole).toString() == table)
            return tree->topLevelItem(i);
    return nullptr;
}

void TestRecords::everyEditorRoundTrips() {
    TFGlowna *g = f->g();
    g->ClearAllEditors();
    typePupil("Żak", "Jan", 1, "14210512349");
    // Every bound component of every editor gets a value of its own.
    int n = 0;
    for (TFEditor *e : f->windows.boundWindows()) {
        for (QWidget *w : e->components()) {
            const QString value = QStringLiteral("w%1 zażółć 'gęślą' \"jaźń\"").arg(++n);
            if (w->objectName() == "Pesel_DATA_EDIT" || w->objectName() == "Plec_DATA_COMBOBOX" ||
                w->objectName() == "Imie_DATA_EDIT" || w->objectName() == "Nazwisko_DATA_EDIT")
                continue;
            if (auto *edit = qobject_cast<QLineEdit *>(w))
                edit->setText(value.left(edit->maxLength()));
            else if (auto *combo = qobject_cast<QComboBox *>(w))
                combo->setCurrentText(value);
            else if (auto *memo = qobject_cast<MemoEdit *>(w)) {
                memo->clear();
                QStringList lines{value, QString(), QStringLiteral("koniec %1").arg(n)};
                for (const QString &line : lines.mid(0, memo->lineLimit()))
                    memo->appendPlainText(line);
            }
        }
    }
    // What the editors hold once the pupil data is copied in is what must come back.
    SqlDataList expected;
    for (TFEditor *e : f->windows.boundWindows())
        e->CollectFields(expected);
    for (TFEditor *e : f->windows.boundWindows())
        e->ApplyFields(expected);
    expected.clear();
    for (TFEditor *e : f->windows.boundWindows())
        e->CollectFields(expected);
    QVERIFY(expected.size() > 250);

    QVERIFY(g->SaveStudentRecord());
    g->ClearAllEditors();
    QVERIFY(g->LoadStudentRecord("PESEL14210512349"));
    SqlDataList actual;
    for (TFEditor *e : f->windows.boundWindows())
        e->CollectFields(actual);
    QCOMPARE(actual.size(), expected.size());
    for (int i = 0; i < actual.size(); ++i) {
        QCOMPARE(actual[i].id, expected[i].id);
        QCOMPARE(actual[i].comp_name, expected[i].comp_name);
        QCOMPARE(actual[i].value, expected[i].value);
    }
    // The stored rows are the collected records, in order.
    const SqlDataList rows = tableRows("PESEL14210512349");
    QCOMPARE(rows.size(), expected.size());
    QCOMPARE(rows.first().id, QStringLiteral("DANE UCZNIA"));
    QCOMPARE(rows.first().comp_name, QStringLiteral("Imie_DATA_EDIT"));
    QCOMPARE(rows.last().id,
             QStringLiteral("ARKUSZ OCEN STR 4b SZKOLA PODSTAWOWA 1-3 MEN-I/37b/2"));
    QVERIFY(g->documentPath().isEmpty()); // still a new, unsaved class
    QCOMPARE(g->TreeView->topLevelItemCount(), 1);
    QCOMPARE(g->TreeView->topLevelItem(0)->text(0), QStringLiteral("Żak Jan"));
}

void TestRecords::storedTableReadsAsCp1250WithTheNamesOfTheForms() {
    TFGlowna *g = f->g();
    g->ClearAllEditors();
    typePupil("Żak", "Jan", 1, "14210512349");
    f->windows.editor("TFKlasa1")->setFieldText("ZMIENNA_SzkolaWoj_STR1_DATA_EDIT", "śląskie");
    QVERIFY(g->SaveStudentRecord());
    const HostToolRun sqlite =
        runHostTool("sqlite3",
                    {hostPath(f->tmp()), "select hex(value) from PESEL14210512349 where "
                                         "comp_name='ZMIENNA_SzkolaWoj_STR1_DATA_EDIT';"
                                         "select count(distinct id) from PESEL14210512349;"
                                         "select name from sqlite_master;"},
                    10000);
    QVERIFY(sqlite.finished);
    const QStringList out =
        QString::fromLatin1(sqlite.standardOutput).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(out, QStringList({"9C6CB9736B6965", "14", "PESEL14210512349"}));
    QStringList ids, names;
    for (const structSqlData &r : tableRows("PESEL14210512349")) {
        if (!ids.contains(r.id))
            ids << r.id;
        names << r.comp_name;
    }
    QCOMPARE(ids, QStringList({"DANE UCZNIA", "SWIADECTWO UKONCZENIA KLASY 1 SZKOLY PODST.",
                               "SWIADECTWO UKONCZENIA KLASY 2 SZKOLY PODST.",
                               "SWIADECTWO UKONCZENIA KLASY 3 SZKOLY PODST.",
                               "ARKUSZ OCEN STR 1 SZKOLA PODSTAWOWA 1-3 NOWA",
                               "ARKUSZ OCEN STR 2 SZKOLA PODSTAWOWA 1-3 NOWA",
                               "ARKUSZ OCEN STR 3 SZKOLA PODSTAWOWA 1-3 NOWA",
                               "ARKUSZ OCEN STR 4 SZKOLA PODSTAWOWA 1-3 NOWA",
                               "ARKUSZ OCEN STR 5 SZKOLA PODSTAWOWA 1-3 NOWA",
                               "WYWIADOWKA OPISOWA SZKOLY PODST.",
                               "ARKUSZ OCEN STR 1b SZKOLA PODSTAWOWA 1-3 MEN-I/37b/2",
                               "ARKUSZ OCEN STR 2b SZKOLA PODSTAWOWA 1-3 MEN-I/37b/2",
                               "ARKUSZ OCEN STR 3b SZKOLA PODSTAWOWA 1-3 MEN-I/37b/2",
                               "ARKUSZ OCEN STR 4b SZKOLA PODSTAWOWA 1-3 MEN-I/37b/2"}));
    for (const char *name :
         {"Pesel_DATA_EDIT", "ZMIENNA_PromocjiE_STR1_DATA_EDIT", "ZMIENNA_Pesel11_DATA_EDIT",
          "ZMIENNA_InformacjaOPrzedluzeniuOkNauki2_DATA_EDIT", "ZMIENNA_Str_DATA_EDIT",
          "ZMIENNA_Nieusprawiedliwione_STR1_DATA_EDIT", "ZMIENNA_ReligiaOcena_STR2_DATA_COMBOBOX"})
        QVERIFY2(names.contains(name), name);
    // A fresh certificate reads "promocję"; empty memos write no rows.
    QVERIFY(!names.contains("ZMIENNA_Zachowanie_STR2_DATA_MEMO01"));
    for (const structSqlData &r : tableRows("PESEL14210512349"))
        if (r.comp_name == "ZMIENNA_PromocjiE_STR1_DATA_EDIT")
            QCOMPARE(r.value, QStringLiteral("ę"));
}

void TestRecords::memoLinesKeepStoredOrder() {
    TFEditor *cert = f->windows.editor("TFKlasa1");
    const QString id = cert->documentId();
    cert->ApplyFields({{id, "ZMIENNA_Zachowanie_STR2_DATA_MEMO02", "druga"},
                       {id, "ZMIENNA_Zachowanie_STR2_DATA_MEMO01", "pierwsza"},
                       {"INNY DOKUMENT", "ZMIENNA_Zachowanie_STR2_DATA_MEMO03", "obca"},
                       {id, "ZMIENNA_NieMaTakiego_STR2_DATA_EDIT", "brak"}});
    QCOMPARE(cert->fieldText("ZMIENNA_Zachowanie_STR2_DATA_MEMO"),
             QStringLiteral("druga\npierwsza"));
}

void TestRecords::pupilDialogChecks_data() {
    QTest::addColumn<QString>("surname");
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("gender");
    QTest::addColumn<QString>("pesel");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no surname") << ""
                                << "Jan" << 1 << "14210512349"
                                << "Nazwisko ucznia jest wymagane"
                                << "Nazwisko_DATA_EDIT";
    QTest::newRow("surname of blanks") << "   "
                                       << "Zofia" << 0 << "15230512348"
                                       << "Nazwisko ucznia jest wymagane"
                                       << "Nazwisko_DATA_EDIT";
    QTest::newRow("no first name") << "Żak"
                                   << "" << 1 << "14210512349"
                                   << "Imię ucznia jest wymagane"
                                   << "Imie_DATA_EDIT";
    QTest::newRow("no gender") << "Żak"
                               << "Jan" << -1 << "14210512349"
                               << "Płeć ucznia jest wymagana"
                               << "Plec_DATA_COMBOBOX";
    // A number that cannot be a PESEL is asked about; unanswered (No) keeps
    // the dialog open at the PESEL (the answers: peselQuestion below).
    QTest::newRow("PESEL of 10") << "Żak"
                                 << "Jan" << 1 << "0123456789"
                                 << "Numer PESEL wygląda na błędny (ma 10 cyfr zamiast 11). "
                                    "Zapisać mimo to ?"
                                 << "Pesel_DATA_EDIT";
    QTest::newRow("eleven letters are asked about")
        << "Żak"
        << "Jan" << 0 << "abcdefghijk"
        << "Numer PESEL wygląda na błędny (zawiera znak „a”, a powinny być same cyfry). "
           "Zapisać mimo to ?"
        << "Pesel_DATA_EDIT";
    QTest::newRow("a right PESEL passes") << "Żak"
                                          << "Jan" << 0 << "14210512349"
                                          << ""
                                          << "";
}

void TestRecords::pupilDialogChecks() {
    QFETCH(QString, surname);
    QFETCH(QString, first);
    QFETCH(int, gender);
    QFETCH(QString, pesel);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    f->g()->ClearAllEditors();
    QFile::remove(f->tmp());
    pupil()->setAddMode();
    pupil()->show();
    typePupil(surname, first, gender, pesel);
    pupil()->OKButtonClick();
    if (message.isEmpty()) {
        QVERIFY(f->prompts.messages().isEmpty());
        QVERIFY(!pupil()->isVisible());
        QCOMPARE(f->g()->TreeView->topLevelItemCount(), 1);
        return;
    }
    QCOMPARE(f->prompts.messages(), QStringList{message});
    const bool peselQuestion = focus == QLatin1String("Pesel_DATA_EDIT");
    QCOMPARE(f->prompts.asked[0].caption,
             peselQuestion ? QStringLiteral("Numer PESEL") : QStringLiteral("Brak danych"));
    QCOMPARE(f->prompts.asked[0].buttons,
             peselQuestion ? Prompts::Buttons::YesNoDefaultNo : Prompts::Buttons::Ok);
    QCOMPARE(f->prompts.asked[0].icon, Prompts::Icon::Warning);
    QVERIFY(pupil()->isVisible());
    QCOMPARE(pupil()->focusWidget()->objectName(), focus);
    QVERIFY(!QFileInfo::exists(f->tmp()));
    pupil()->hide();
}

void TestRecords::peselQuestion_data() {
    QTest::addColumn<QString>("typed");  // typed key by key into the PESEL field
    QTest::addColumn<int>("answer");     // -1: unanswered (No), 0 No, 1 Yes
    QTest::addColumn<QString>("reason"); // empty: no question
    QTest::addColumn<QString>("table");  // empty: nothing saved
    QTest::newRow("good") << "15230512348" << -1 << ""
                          << "PESEL15230512348";
    QTest::newRow("wrong check digit, Nie")
        << "15230512349" << 0
        << "ostatnia cyfra, kontrolna, nie zgadza się z pozostałymi – sprawdź, czy żadna cyfra "
           "nie jest przestawiona"
        << "";
    QTest::newRow("letter O and a blank, Tak")
        << "1322O50123 " << 1 << "zawiera znak „O”, a powinny być same cyfry"
        << "PESEL1322O50123";
    QTest::newRow("a blank inside, unanswered") << "132205 1233" << -1 << "zawiera odstęp"
                                                << "";
    QTest::newRow("a date that does not exist")
        << "15223012340" << 0 << "zapisana w nim data urodzenia, 30.02.2015, nie istnieje"
        << "";
    QTest::newRow("no such month")
        << "15330512340" << 0 << "cyfry miesiąca urodzenia, 33, nie oznaczają żadnego miesiąca"
        << "";
    QTest::newRow("ten digits, Tak") << "1523051234" << 1 << "ma 10 cyfr zamiast 11"
                                     << "PESEL1523051234";
}

void TestRecords::peselQuestion() {
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(QString, reason);
    QFETCH(QString, table);
    f->g()->ClearAllEditors();
    pupil()->setAddMode();
    pupil()->show();
    typePupil(QString::fromUtf8("Żaba"), "Zofia", 0, QString());
    auto *pesel = pupil()->findChild<QLineEdit *>("Pesel_DATA_EDIT");
    pesel->setFocus();
    QTest::keyClicks(pesel, typed);
    if (answer >= 0)
        f->prompts.answers.enqueue(answer ? Prompts::Answer::Yes : Prompts::Answer::No);
    QTest::keyClick(pupil(), Qt::Key_Return);
    if (reason.isEmpty()) {
        QVERIFY(f->prompts.asked.isEmpty());
    } else {
        QCOMPARE(f->prompts.messages(),
                 QStringList{QString::fromUtf8("Numer PESEL wygląda na błędny (") + reason +
                             QString::fromUtf8("). Zapisać mimo to ?")});
        QCOMPARE(f->prompts.asked[0].buttons, Prompts::Buttons::YesNoDefaultNo);
    }
    QStringList tables;
    QString msg;
    QVERIFY(bFunGetTableList(msg, f->tmp(), tables));
    QCOMPARE(tables, table.isEmpty() ? QStringList() : QStringList{table});
    QCOMPARE(pupil()->isVisible(), table.isEmpty());
    if (table.isEmpty()) {
        QCOMPARE(pupil()->focusWidget(), pesel);
        pupil()->hide();
    }
}

void TestRecords::peselFillsAndPointsOut() {
    f->g()->ClearAllEditors();
    pupil()->setAddMode();
    pupil()->show();
    typePupil(QString::fromUtf8("  Żaba "), " Zofia  ", -1, QString());
    auto *day = pupil()->findChild<QLineEdit *>("UrodzonyDnia_DATA_EDIT");
    auto *year = pupil()->findChild<QComboBox *>("UrodzonyRok_DATA_COMBOBOX");
    auto *gender = pupil()->findChild<QComboBox *>("Plec_DATA_COMBOBOX");
    day->clear();
    year->setCurrentText(QString());
    // Typing a right PESEL fills what is empty: the date and the gender.
    auto *pesel = pupil()->findChild<QLineEdit *>("Pesel_DATA_EDIT");
    QTest::keyClicks(pesel, "15230512348");
    QCOMPARE(day->text(), QStringLiteral("5 marca"));
    QCOMPARE(year->currentText(), QStringLiteral("2015 r."));
    QCOMPARE(gender->currentText(), QStringLiteral("kobieta"));
    QVERIFY(pupil()->peselNote()->isHidden());
    // What she chose otherwise stays, and is pointed out before OK.
    gender->setCurrentIndex(1);
    vFunSetWidgetText(day, QStringLiteral("7 marca"));
    QVERIFY(pupil()->peselNote()->isVisibleTo(pupil()));
    QCOMPARE(pupil()->peselNote()->text(),
             QString::fromUtf8("Nie zgadza się z numerem PESEL: płeć (według numeru: kobieta), "
                               "dzień urodzenia (według numeru: 5 marca). Sprawdź, co jest "
                               "błędne; zapisane zostanie to, co jest w polach."));
    // Retyping the PESEL leaves her entries as they are.
    QTest::keyClick(pesel, Qt::Key_Backspace);
    QTest::keyClicks(pesel, "8");
    QCOMPARE(day->text(), QStringLiteral("7 marca"));
    QCOMPARE(gender->currentText(), QString::fromUtf8("mężczyzna"));
    QTest::keyClick(pupil(), Qt::Key_Return);
    QVERIFY(f->prompts.asked.isEmpty());
    QVERIFY(!pupil()->isVisible());
    // Names are saved without the blanks around them.
    QCOMPARE(f->g()->students().first().name, QString::fromUtf8("Żaba Zofia"));
    bool kept = false;
    for (const structSqlData &r : tableRows("PESEL15230512348"))
        kept |= r.comp_name == "UrodzonyDnia_DATA_EDIT" && r.value == "7 marca";
    QVERIFY(kept);
}

void TestRecords::pupilWithoutAPesel() {
    TFGlowna *g = f->g();
    makeClassFile(f->tmp(), {{"_BRAK_2", QString::fromUtf8("Żak"), "Ewa"}});
    g->bFunLoadStudentList();
    g->TreeView->setCurrentItem(nodeOf("PESEL_BRAK_2"));
    g->TreeViewClick();
    // The placeholder is no number: the field is empty and the note says
    // that the PESEL is still needed.
    auto *pesel = pupil()->findChild<QLineEdit *>("Pesel_DATA_EDIT");
    pupil()->setEditMode("PESEL_BRAK_2");
    pupil()->show();
    QCOMPARE(pesel->text(), QString());
    QVERIFY(pupil()->peselNote()->isVisibleTo(pupil()));
    QVERIFY(pupil()->peselNote()->text().startsWith(
        QString::fromUtf8("Ten uczeń nie ma jeszcze numeru PESEL")));
    QCOMPARE(pupil()->pesel(), QStringLiteral("_BRAK_2"));
    // OK without a number keeps her under the placeholder.
    pupil()->findChild<QComboBox *>("Plec_DATA_COMBOBOX")->setCurrentIndex(0);
    pupil()->OKButtonClick();
    QVERIFY2(f->prompts.asked.isEmpty(), qPrintable(f->prompts.messages().join('|')));
    QStringList tables;
    QString msg;
    QVERIFY(bFunGetTableList(msg, f->tmp(), tables));
    QCOMPARE(tables, QStringList{"PESEL_BRAK_2"});
    bool placeholder = false;
    for (const structSqlData &r : tableRows("PESEL_BRAK_2"))
        placeholder |= r.comp_name == "Pesel_DATA_EDIT" && r.value == "_BRAK_2";
    QVERIFY(placeholder);
    // A new pupil without a PESEL takes the first free placeholder.
    g->ClearAllEditors();
    pupil()->setAddMode();
    pupil()->show();
    typePupil("Lis", "Ola", 0, QString());
    QVERIFY(pupil()->peselNote()->isVisibleTo(pupil()));
    pupil()->OKButtonClick();
    QVERIFY(f->prompts.asked.isEmpty());
    tables.clear();
    QVERIFY(bFunGetTableList(msg, f->tmp(), tables));
    tables.sort();
    QCOMPARE(tables, QStringList({"PESEL_BRAK_1", "PESEL_BRAK_2"}));
    // Her number, once typed, moves her out of the placeholder.
    g->TreeView->setCurrentItem(nodeOf("PESEL_BRAK_2"));
    g->TreeViewClick();
    pupil()->setEditMode("PESEL_BRAK_2");
    pupil()->show();
    QTest::keyClicks(pesel, "15230512348");
    pupil()->OKButtonClick();
    tables.clear();
    QVERIFY(bFunGetTableList(msg, f->tmp(), tables));
    tables.sort();
    QCOMPARE(tables, QStringList({"PESEL15230512348", "PESEL_BRAK_1"}));
}

void TestRecords::capitalisation_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    QTest::newRow("ascii") << "abc"
                           << "Abc";
    QTest::newRow("Polish letter stays") << "łukasz"
                                         << "łukasz";
    QTest::newRow("capital stays") << "Ala"
                                   << "Ala";
    QTest::newRow("digit stays") << "3b"
                                 << "3b";
}

void TestRecords::capitalisation() {
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    f->g()->ClearAllEditors();
    pupil()->setAddMode();
    typePupil(typed, typed + "x", 0, "14210512349");
    pupil()->OKButtonClick();
    QCOMPARE(pupil()->surname(), saved);
    QCOMPARE(pupil()->firstName(), saved + "x");
    QCOMPARE(f->g()->students().first().name, saved + " " + saved + "x");
}

void TestRecords::addingAnExistingPesel() {
    TFGlowna *g = f->g();
    g->ClearAllEditors();
    typePupil("Agrest", "Adam", 1, "14210512349");
    QVERIFY(g->SaveStudentRecord());
    const QByteArray before = readFile(f->tmp());
    g->ClearAllEditors();
    pupil()->setAddMode();
    pupil()->show();
    typePupil("Inny", "Ktoś", 0, "14210512349");
    f->prompts.answers.enqueue(Prompts::Answer::No);
    pupil()->OKButtonClick();
    // The question names the pupil whose data would be replaced.
    QCOMPARE(f->prompts.asked.last().text,
             QString::fromUtf8(
                 "Uczeń o tym numerze PESEL już istnieje, czy chcesz nadpisać dane tego ucznia ?"
                 "\n\nAgrest Adam (PESEL 14210512349)"));
    QCOMPARE(f->prompts.asked.last().caption, QStringLiteral("Zapis"));
    QVERIFY(pupil()->isVisible());
    QCOMPARE(readFile(f->tmp()), before);
    f->prompts.answers.enqueue(Prompts::Answer::Yes);
    pupil()->OKButtonClick();
    QVERIFY(!pupil()->isVisible());
    QCOMPARE(g->students().size(), 1);
    QCOMPARE(g->students().first().name, QStringLiteral("Inny Ktoś"));
}

void TestRecords::changingThePeselMovesThePupil() {
    TFGlowna *g = f->g();
    g->ClearAllEditors();
    typePupil("Agrest", "Adam", 1, "14210512349");
    f->windows.editor("TFKlasa1")->setFieldText("ZMIENNA_Klasa_STR1_DATA_EDIT", "pierwszej");
    QVERIFY(g->SaveStudentRecord());
    pupil()->setEditMode("PESEL14210512349");
    pupil()->findChild<QLineEdit *>("Pesel_DATA_EDIT")->setText("16240900097");
    pupil()->OKButtonClick();
    QVERIFY(f->prompts.asked.isEmpty());
    QStringList tables;
    QString msg;
    QVERIFY(bFunGetTableList(msg, f->tmp(), tables));
    QCOMPARE(tables, QStringList{"PESEL16240900097"});
    bool found = false;
    for (const structSqlData &r : tableRows("PESEL16240900097"))
        found |= r.comp_name == "ZMIENNA_Klasa_STR1_DATA_EDIT" && r.value == "pierwszej";
    QVERIFY(found);
}

void TestRecords::changingToAnotherPupilsPeselAsks() {
    TFGlowna *g = f->g();
    makeClassFile(f->tmp(), {{"11111111111", "Agrest", "Adam"}, {"14211202221", "Bąk", "Bartosz"}});
    g->bFunLoadStudentList();
    g->TreeView->setCurrentItem(nodeOf("PESEL11111111111"));
    g->TreeViewClick();
    const QByteArray before = readFile(f->tmp());
    pupil()->setEditMode("PESEL11111111111");
    pupil()->show();
    pupil()->findChild<QComboBox *>("Plec_DATA_COMBOBOX")->setCurrentIndex(1);
    pupil()->findChild<QLineEdit *>("Pesel_DATA_EDIT")->setText("14211202221");
    f->prompts.answers.enqueue(Prompts::Answer::No);
    pupil()->OKButtonClick();
    QCOMPARE(f->prompts.asked.last().caption, QStringLiteral("Zapis"));
    QCOMPARE(readFile(f->tmp()), before); // nothing written
    QVERIFY(pupil()->isVisible());
    pupil()->hide();
}

void TestRecords::failedSaveKeepsThePupil() {
    TFGlowna *g = f->g();
    g->ClearAllEditors();
    typePupil("Agrest", "Adam", 1, "14210512349");
    QVERIFY(g->SaveStudentRecord());
    const SqlDataList before = tableRows("PESEL14210512349");
    SqlDataList records{{"DANE UCZNIA", "Nazwisko_DATA_EDIT", "Nowe"},
                        {"DANE UCZNIA", "Imie_DATA_EDIT", "Dane"}};
    int steps = 0;
    QString msg;
    // The disk fills up after the first row.
    const bool ok = bFunReplaceCertData(
        msg, f->tmp(), "PESEL14210512349", records,
        [&] {
            if (++steps == 1)
                throw CppSQLite3Exception(13, "disk full");
        },
        "PESEL14210512349");
    QVERIFY(!ok);
    QCOMPARE(msg, QString::fromUtf8("SQLite exception: Brak miejsca na dysku. Zwolnij miejsce i "
                                    "spróbuj ponownie.\nSQLITE_FULL"));
    const SqlDataList after = tableRows("PESEL14210512349");
    QCOMPARE(after.size(), before.size());
    QCOMPARE(after.first().value, before.first().value);
}

void TestRecords::cancelledPupilDialogIsReloaded() {
    TFGlowna *g = f->g();
    makeClassFile(f->tmp(), {{"11111111111", "Agrest", "Adam"}});
    g->bFunLoadStudentList();
    g->TreeView->setCurrentItem(nodeOf("PESEL11111111111")->child(0));
    g->TreeViewClick();
    QVERIFY2(f->prompts.messages().isEmpty(), qPrintable(f->prompts.messages().join('|')));
    QCOMPARE(g->selectedPupilTable(), QStringLiteral("PESEL11111111111"));
    QCOMPARE(pupil()->pesel(), QStringLiteral("11111111111"));
    QTimer::singleShot(0, [this] {
        pupil()->findChild<QLineEdit *>("Pesel_DATA_EDIT")->setText("16240900097");
        pupil()->findChild<QLineEdit *>("Nazwisko_DATA_EDIT")->setText("Zmienione");
        f->prompts.answers.enqueue(Prompts::Answer::Yes); // throw the changes away
        pupil()->reject();
    });
    g->EdytujDaneUczniaToolButtonClick();
    QCOMPARE(pupil()->pesel(), QStringLiteral("11111111111"));
    QCOMPARE(pupil()->surname(), QStringLiteral("Agrest"));
    // A save from a document editor now goes to the pupil's own table.
    QVERIFY(g->SaveStudentRecord());
    QStringList tables;
    QString msg;
    bFunGetTableList(msg, f->tmp(), tables);
    QCOMPARE(tables, QStringList{"PESEL11111111111"});
}

void TestRecords::clearAllEditorsAndKeptTexts() {
    TFGlowna *g = f->g();
    typePupil("Agrest", "Adam", 1, "14210512349");
    pupil()->findChild<QComboBox *>("UrodzonyRok_DATA_COMBOBOX")->setCurrentText("2001 r.");
    pupil()->findChild<QComboBox *>("UrodzonyMiasto_DATA_COMBOBOX")->setCurrentText("Kraków");
    pupil()->findChild<QComboBox *>("UrodzonyWoj_DATA_COMBOBOX")->setCurrentText("małopolskie");
    pupil()->findChild<QLineEdit *>("UrodzonyDnia_DATA_EDIT")->setText("2 maja");
    f->windows.editor("TFArkuszStr3Kl1")->setFieldText("ZMIENNA_Uchwala_DATA_MEMO", "x");
    g->ClearAllEditors();
    for (const char *cert : {"TFKlasa1", "TFKlasa2", "TFKlasa3"})
        QCOMPARE(f->windows.editor(cert)->fieldText("ZMIENNA_PromocjiE_STR1_DATA_EDIT"),
                 QString::fromUtf8("ę"));
    QCOMPARE(f->windows.editor("TFArkuszStr3Kl1")->fieldText("ZMIENNA_Uchwala_DATA_MEMO"),
             QString());
    QCOMPARE(pupil()->surname(), QString());
    QCOMPARE(pupil()->birthDay(), QString());
    QCOMPARE(pupil()->findChild<QComboBox *>("Plec_DATA_COMBOBOX")->currentIndex(), -1);
    QCOMPARE(pupil()->birthYear(), QStringLiteral("2001 r."));
    QCOMPARE(pupil()->birthTown(), QStringLiteral("Kraków"));
    QCOMPARE(pupil()->findChild<QComboBox *>("UrodzonyWoj_DATA_COMBOBOX")->currentText(),
             QStringLiteral("małopolskie"));
}

void TestRecords::townsAndProvincesAreRemembered() {
    f->g()->ClearAllEditors();
    pupil()->show();
    pupil()->findChild<QComboBox *>("UrodzonyMiasto_DATA_COMBOBOX")->setCurrentText("O'Brien Town");
    pupil()->findChild<QComboBox *>("UrodzonyWoj_DATA_COMBOBOX")->setCurrentText("śląskie");
    pupil()->OKButtonClick(); // the surname is missing: still remembered
    pupil()->OKButtonClick();
    QString msg;
    QStringList towns, provinces;
    QVERIFY(bFunStudentDataLoadCityList(msg, towns));
    QVERIFY(bFunStudentDataLoadProvinceList(msg, provinces));
    QCOMPARE(towns, QStringList{"O'Brien Town"});
    QCOMPARE(provinces.count("śląskie"), 1);
    QCOMPARE(provinces.size(), 16);
    pupil()->hide();
    pupil()->show(); // the lists are filled on showing, the typed text stays
    auto *town = pupil()->findChild<QComboBox *>("UrodzonyMiasto_DATA_COMBOBOX");
    QCOMPARE(town->count(), 1);
    QCOMPARE(town->currentText(), QStringLiteral("O'Brien Town"));
    QCOMPARE(pupil()->findChild<QComboBox *>("UrodzonyWoj_DATA_COMBOBOX")->itemText(0),
             QStringLiteral("dolnośląskie"));
    pupil()->hide();
}

QTEST_MAIN(TestRecords)
#include "tst_records.moc"
