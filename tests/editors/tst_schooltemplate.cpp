#include "editorsfixture.h"

#include "document/templatestore.h"
#include "editors/copies.h"
#include "editors/documenteditors.h"
#include "editors/fields.h"
#include "storage/clock.h"
#include "storage/settings.h"

#include <QComboBox>
#include <QtTest>

class TestSchoolTemplate : public QObject {
    Q_OBJECT
private slots:
    void init() { f = std::make_unique<EditorsFixture>(); }
    void cleanup() {
        f.reset();
        setClockForTests({});
    }
    void firstShowingProposesYearsAndStopsTheInvitation();
    void templateRoundTrip();
    void failedWriteKeepsPreviousTemplate();
    void certificateReceivesFifteenFields();
    void titlePagesReceiveSixFields_data();
    void titlePagesReceiveSixFields();
    void emptyCertificateEmptiesTemplateFields();
    void resultsPageFromCertificate_data();
    void resultsPageFromCertificate();
    void resultsPageNeedsAChoice();

private:
    void saveTemplate(const QList<QPair<QString, QString>> &values);
    std::unique_ptr<EditorsFixture> f;
};

void TestSchoolTemplate::saveTemplate(const QList<QPair<QString, QString>> &values) {
    f->school->ClearFields();
    for (const auto &v : values)
        f->school->setFieldText(v.first, v.second);
    f->school->OKButtonClick();
}

void TestSchoolTemplate::firstShowingProposesYearsAndStopsTheInvitation() {
    setClockForTests([] { return QDateTime(QDate(2011, 6, 15), QTime(10, 0), Qt::UTC); });
    f->school->DocTypeComboBox->setCurrentIndex(3);
    f->school->show();
    QCOMPARE(f->school->fieldText("ZMIENNA_RokSzkolny1_DATA_EDIT"), QStringLiteral("2010"));
    QCOMPARE(f->school->fieldText("ZMIENNA_RokSzkolny2_DATA_EDIT"), QStringLiteral("2011"));
    QCOMPARE(f->school->fieldText("ZMIENNA_Klasa_DATA_EDIT"), QString());
    QCOMPARE(f->school->DocTypeComboBox->currentIndex(), 0);
    QVERIFY(f->prompts.asked.isEmpty());
    QVERIFY(QFileInfo::exists(f->env.programFile("szablony.sqset")));
    int value = 1;
    QString msg;
    QVERIFY(bFunSqlGetSettingsValue(msg, "create_school_data_template", value));
    QCOMPARE(value, 0);
    f->school->reject();
    // A stored year is shown as stored, however old.
    saveTemplate({{"ZMIENNA_RokSzkolny1_DATA_EDIT", "1999"}});
    f->school->show();
    QCOMPARE(f->school->fieldText("ZMIENNA_RokSzkolny1_DATA_EDIT"), QStringLiteral("1999"));
    QCOMPARE(f->school->fieldText("ZMIENNA_RokSzkolny2_DATA_EDIT"), QStringLiteral("2011"));
    f->school->reject();
}

void TestSchoolTemplate::templateRoundTrip() {
    saveTemplate({{"ZMIENNA_SzkolyPodstawowej1_DATA_EDIT", "Szkoła Podstawowa nr 5"},
                  {"ZMIENNA_SzkolaImienia1_DATA_EDIT", "Marii Konopnickiej 'Rota'"},
                  {"ZMIENNA_SzkolaMiasto_DATA_EDIT", "Łodzi"},
                  {"ZMIENNA_NazwaSzkoly3_DATA_EDIT", "it's ąęśćżźółń"}});
    const QString path = f->env.programFile("szablony.sqset");
    QCOMPARE(rawColumn(path, "select count(*) from school_data where id='DANE SZKOLY'"),
             QByteArrayList{"21"});
    QCOMPARE(rawColumn(path, "select comp_name from school_data").first(),
             QByteArray("ZMIENNA_SzkolaWoj_DATA_EDIT"));
    QCOMPARE(
        rawColumn(path,
                  "select value from school_data where comp_name='ZMIENNA_SzkolaMiasto_DATA_EDIT'"),
        QByteArrayList{"\xA3odzi"});
    f->school->ClearAndLoad();
    QCOMPARE(f->school->fieldText("ZMIENNA_SzkolaImienia1_DATA_EDIT"),
             QStringLiteral("Marii Konopnickiej 'Rota'"));
    QCOMPARE(f->school->fieldText("ZMIENNA_NazwaSzkoly3_DATA_EDIT"),
             QStringLiteral("it's ąęśćżźółń"));
    QCOMPARE(f->school->fieldText("ZMIENNA_Klasa_DATA_EDIT"), QString());
    QVERIFY(f->prompts.asked.isEmpty());
}

void TestSchoolTemplate::failedWriteKeepsPreviousTemplate() {
    saveTemplate({{"ZMIENNA_SzkolaMiasto_DATA_EDIT", "Kraków"}});
    QString msg;
    const QString path = strFunGetTemplateFilePath(msg);
    // A value the database cannot take ends the write half-way.
    SqlDataList records{{"DANE SZKOLY", "ZMIENNA_SzkolaMiasto_DATA_EDIT", "Gdańsk"},
                        {"DANE SZKOLY", "ZMIENNA_Klasa_DATA_EDIT", QString("a") + QChar(0) + "b"}};
    QVERIFY(!bFunSqlTemplateWriteData(msg, path, "school_data", records));
    QVERIFY(msg.startsWith("SqlException\n"));
    SqlDataList now;
    QVERIFY(bFunSqlTemplateReadData(msg, path, "school_data", now));
    QCOMPARE(now.size(), 21);
    f->school->ClearAndLoad();
    QCOMPARE(f->school->fieldText("ZMIENNA_SzkolaMiasto_DATA_EDIT"), QStringLiteral("Kraków"));
    // A missing file is reported, not created, by the reader.
    QVERIFY(!bFunSqlTemplateReadData(msg, f->env.programFile("brak.sqset"), "school_data", now));
    QCOMPARE(msg, QStringLiteral("Plik nie istnieje.\n") + f->env.programFile("brak.sqset"));
}

void TestSchoolTemplate::certificateReceivesFifteenFields() {
    QList<QPair<QString, QString>> values;
    int n = 0;
    for (const auto &p : certificateTemplateFields())
        values << qMakePair(QString::fromLatin1(p.second), QStringLiteral("t%1").arg(++n));
    values.removeAt(2); // the class stays empty in the template
    saveTemplate(values);
    auto *cert = static_cast<TFKlasa *>(f->editor("TFKlasa2"));
    cert->setFieldText("ZMIENNA_Klasa_STR1_DATA_EDIT", "stara klasa");
    cert->bntSchoolTemplateClick();
    n = 0;
    for (const auto &p : certificateTemplateFields()) {
        ++n;
        QCOMPARE(cert->fieldText(QString::fromLatin1(p.first)),
                 n == 3 ? QString() : QStringLiteral("t%1").arg(n));
    }
    QCOMPARE(certificateTemplateFields().size(), 15);
}

void TestSchoolTemplate::titlePagesReceiveSixFields_data() {
    QTest::addColumn<QString>("page");
    QTest::newRow("MEN-I/37/2") << "TFArkuszStr1Kl1";
    QTest::newRow("MEN-I/37b/2") << "TFArkuszStr1b";
}

void TestSchoolTemplate::titlePagesReceiveSixFields() {
    QFETCH(QString, page);
    QList<QPair<QString, QString>> values;
    for (const char *name : titlePageTemplateFields())
        values << qMakePair(QString::fromLatin1(name), QString::fromLatin1(name).mid(8, 12));
    values.removeLast();
    saveTemplate(values);
    auto *title = static_cast<TFArkuszStr1 *>(f->editor(page.toLatin1().constData()));
    title->setFieldText("ZMIENNA_SzkolaNiepublicznaPodNr_DATA_EDIT", "stary numer");
    title->setFieldText("ZMIENNA_AdresZamieszkaniaUcznia_DATA_EDIT", "zostaje");
    title->WczytajSzablonButtonClick();
    QCOMPARE(title->fieldText("ZMIENNA_NazwaSzkoly1_DATA_EDIT"), QStringLiteral("NazwaSzkoly1"));
    QCOMPARE(title->fieldText("ZMIENNA_SzkolaNiepublicznaProwadzonaPrzez2_DATA_EDIT"),
             QStringLiteral("SzkolaNiepub"));
    QCOMPARE(title->fieldText("ZMIENNA_SzkolaNiepublicznaPodNr_DATA_EDIT"), QString());
    QCOMPARE(title->fieldText("ZMIENNA_AdresZamieszkaniaUcznia_DATA_EDIT"),
             QStringLiteral("zostaje"));
    // And back: the template takes the six fields from the chosen page.
    title->setFieldText("ZMIENNA_NazwaSzkoly2_DATA_EDIT", "z arkusza");
    f->school->DocTypeComboBox->setCurrentIndex(page == "TFArkuszStr1b" ? 4 : 3);
    f->school->LoadTemplateButtonClick();
    QCOMPARE(f->school->fieldText("ZMIENNA_NazwaSzkoly2_DATA_EDIT"), QStringLiteral("z arkusza"));
}

void TestSchoolTemplate::emptyCertificateEmptiesTemplateFields() {
    QList<QPair<QString, QString>> values;
    for (const auto &p : certificateTemplateFields())
        values << qMakePair(QString::fromLatin1(p.second), QStringLiteral("x"));
    saveTemplate(values);
    f->school->ClearAndLoad();
    f->editor("TFKlasa1")->setFieldText("ZMIENNA_Klasa_STR1_DATA_EDIT", "pierwszej");
    f->school->DocTypeComboBox->setCurrentIndex(1); // "Klasa 2", never filled in
    f->school->LoadTemplateButtonClick();
    for (const auto &p : certificateTemplateFields())
        QCOMPARE(f->school->fieldText(QString::fromLatin1(p.second)), QString());
    f->school->DocTypeComboBox->setCurrentIndex(0);
    f->school->LoadTemplateButtonClick();
    QCOMPARE(f->school->fieldText("ZMIENNA_Klasa_DATA_EDIT"), QStringLiteral("pierwszej"));
}

void TestSchoolTemplate::resultsPageFromCertificate_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("choice"); // index in the certificate list; -1: a MEN-I/37b/2 page
    QTest::newRow("MEN-I/37/2 page 4, grade 2 chosen") << "TFArkuszStr4Kl1" << 1;
    QTest::newRow("MEN-I/37b/2 grade 2 page") << "TFArkuszStr3bKl2" << -1;
}

void TestSchoolTemplate::resultsPageFromCertificate() {
    QFETCH(QString, page);
    QFETCH(int, choice);
    TFEditor *cert = f->editor("TFKlasa2");
    cert->setFieldText("ZMIENNA_RokSzkolny1_STR1_DATA_EDIT", "2010");
    cert->setFieldText("ZMIENNA_RokSzkolny2_STR1_DATA_EDIT", "2011");
    cert->setFieldText("ZMIENNA_Klasa_STR1_DATA_EDIT", "drugiej");
    cert->setFieldText("ZMIENNA_ReligiaOcena_STR2_DATA_COMBOBOX", "bardzo dobry");
    cert->setFieldText("ZMIENNA_Zachowanie_STR2_DATA_MEMO", "Jest uprzejmy.\nPomaga innym.");
    cert->setFieldText("ZMIENNA_DodatkoweEdu1_STR2_DATA_EDIT", "język angielski");
    cert->setFieldText("ZMIENNA_DodatkoweEdu3_STR2_DATA_EDIT", "informatyka");
    f->editor("TFKlasa1")->setFieldText("ZMIENNA_Klasa_STR1_DATA_EDIT", "pierwszej");
    auto *results = static_cast<TFArkuszWyniki *>(f->editor(page.toLatin1().constData()));
    results->setFieldText("ZMIENNA_Uchwala_DATA_MEMO", "zostaje");
    results->setFieldText("ZMIENNA_SzczegolneOs_DATA_MEMO", "stare osiągnięcie");
    if (choice >= 0)
        results->SwiadectwoComboBox->setCurrentIndex(choice);
    results->WczytajDaneZSwiadectwaButtonClick();
    QCOMPARE(results->fieldText("ZMIENNA_RokSzkolny_DATA_EDIT"), QStringLiteral("2010 / 2011"));
    QCOMPARE(results->fieldText("ZMIENNA_Klasa_DATA_EDIT"), QStringLiteral("drugiej"));
    QCOMPARE(results->fieldText("ZMIENNA_Religia_DATA_EDIT"), QStringLiteral("bardzo dobry"));
    QCOMPARE(results->fieldText("ZMIENNA_Zachowanie_DATA_MEMO"),
             QStringLiteral("Jest uprzejmy.\nPomaga innym."));
    QCOMPARE(results->fieldText("ZMIENNA_DodEduMemo_DATA_MEMO"),
             QStringLiteral("język angielski\ninformatyka"));
    QCOMPARE(results->fieldText("ZMIENNA_SzczegolneOs_DATA_MEMO"), QString());
    QCOMPARE(results->fieldText("ZMIENNA_Uchwala_DATA_MEMO"), QStringLiteral("zostaje"));
    QVERIFY(f->prompts.asked.isEmpty());
}

void TestSchoolTemplate::resultsPageNeedsAChoice() {
    auto *results = static_cast<TFArkuszWyniki *>(f->editor("TFArkuszStr2Kl1"));
    results->SwiadectwoComboBox->setCurrentIndex(-1);
    results->setFieldText("ZMIENNA_Klasa_DATA_EDIT", "bez zmian");
    results->WczytajDaneZSwiadectwaButtonClick();
    QCOMPARE(f->prompts.asked.size(), 1);
    QCOMPARE(f->prompts.asked[0].caption, QStringLiteral("Brak Wyboru"));
    QCOMPARE(f->prompts.asked[0].text,
             QString::fromUtf8("Aby wczytać dane proszę wybrać typ świadectwa oraz\n"
                               "kolumnę arkusza gdzie dane mają zostać wczytane."));
    QCOMPARE(results->fieldText("ZMIENNA_Klasa_DATA_EDIT"), QStringLiteral("bez zmian"));
    // A long education text is cut to the page's limit after the copy.
    QStringList lines;
    for (int i = 1; i <= 12; ++i)
        lines << QStringLiteral("linia %1").arg(i);
    f->editor("TFKlasa1")
        ->setFieldText("ZMIENNA_Zachowanie_STR2_DATA_MEMO", lines.mid(0, 7).join('\n'));
    results->SwiadectwoComboBox->setCurrentIndex(0);
    results->WczytajDaneZSwiadectwaButtonClick();
    QCOMPARE(results->fieldText("ZMIENNA_Zachowanie_DATA_MEMO"), lines.mid(0, 7).join('\n'));
    QCOMPARE(results->fieldText("ZMIENNA_RokSzkolny_DATA_EDIT"), QStringLiteral(" / "));
}

QTEST_MAIN(TestSchoolTemplate)
#include "tst_schooltemplate.moc"
