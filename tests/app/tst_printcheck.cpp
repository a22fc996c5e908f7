#include "apptest.h"
#include "dialogs/tfdrukuj.h"
#include "dialogs/tfdrukujklase.h"
#include "support/classfile.h"
#include "support/noprinters.h"
#include "support/pdfraster.h"

#include <QComboBox>
#include <QProcess>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

// What would come out wrong on a numbered form is said before it is used:
// one check through the print dialog, the whole-class dialog and the command
// line.
class TestPrintCheck : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void checkedOnEveryRoad_data();
    void checkedOnEveryRoad();
    void placeholderPeselNeverPrints();

private:
    std::unique_ptr<AppFixture> f;
    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

const QString kCertificate = QString::fromUtf8("MEN-I/1/2 świad. klasa 1");

// A class of one pupil whose grade-1 certificate holds the records given
// (those with an id of their own go to that document).
QString classWith(const QString &dir, const QString &pesel, const SqlDataList &certificate) {
    const QString path = dir + QStringLiteral("/klasa.sqbr5");
    QFile::remove(path);
    writeFile(path, QByteArray());
    const QString id = QString::fromLatin1(kPupilDataId);
    SqlDataList records{{id, "Nazwisko_DATA_EDIT", "Agrest"},
                        {id, "Imie_DATA_EDIT", "Ewa"},
                        {id, "Plec_DATA_COMBOBOX", "kobieta"},
                        {id, "Pesel_DATA_EDIT", pesel}};
    const QString doc = documentByLabel(kCertificate)->id();
    for (structSqlData r : certificate) {
        if (r.id.isEmpty())
            r.id = doc;
        records << r;
    }
    QString msg;
    bFunSaveCertData(msg, path, QStringLiteral("PESEL") + pesel, records);
    return path;
}

} // namespace

void TestPrintCheck::init() {
    f = std::make_unique<AppFixture>();
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestPrintCheck::cleanup() {
    f.reset();
    m_dir.reset();
}

void TestPrintCheck::checkedOnEveryRoad_data() {
    QTest::addColumn<QString>("pesel");
    QTest::addColumn<SqlDataList>("certificate");
    QTest::addColumn<QString>("finding"); // empty: a clean document
    QTest::addColumn<QString>("road");
    QTest::addColumn<bool>("printAnyway");
    // Class, number and date of issue: nothing missing.
    const SqlDataList clean{{"", "ZMIENNA_Klasa_STR1_DATA_EDIT", "pierwszej"},
                            {"", "ZMIENNA_MiejscowoscDnia_STR1_DATA_EDIT", "26 czerwca"},
                            {"", "ZMIENNA_MiejscowoscRok_STR1_DATA_EDIT", "2027"},
                            {kPupilDataId, "NrDziennika_DATA_EDIT", "1/2027"}};
    SqlDataList memo = clean;
    for (int i = 1; i <= 9; ++i)
        memo.append(
            {"", QStringLiteral("ZMIENNA_Zachowanie_STR2_DATA_MEMO%1").arg(i, 2, 10, QChar('0')),
             QStringLiteral("wiersz %1").arg(i)});
    const SqlDataList wide =
        clean + SqlDataList{{"", "ZMIENNA_DodatkoweEdu1_STR2_DATA_EDIT", QString(80, QChar('W'))}};
    const SqlDataList noNumber = clean.mid(0, 3);
    const SqlDataList noDate = clean.mid(0, 2) + clean.mid(3);
    const struct {
        const char *name;
        QString pesel;
        SqlDataList certificate;
        QString finding;
    } cases[] = {
        {"overflowing memo", "13230512345", memo, QString::fromUtf8("9 z 7 wierszy")},
        {"too wide a line", "13230512345", wide, QString::fromUtf8("wychodzi poza pole")},
        {"never filled in", "13230512345", {}, QString::fromUtf8("nie został wypełniony")},
        {"placeholder PESEL", "_BRAK_1", clean, QString::fromUtf8("nie ma numeru PESEL")},
        {"no certificate number", "13230512345", noNumber,
         QString::fromUtf8("brak numeru świadectwa")},
        {"no date of issue", "13230512345", noDate, QString::fromUtf8("brak daty wydania")},
        {"clean", "13230512345", clean, QString()},
    };
    for (const auto &c : cases) {
        for (const char *road : {"print dialog", "whole class", "command line"}) {
            QTest::addRow("%s, %s", c.name, road)
                << c.pesel << c.certificate << c.finding << road << false;
        }
        if (!c.finding.isEmpty())
            QTest::addRow("%s, print dialog, printed anyway", c.name)
                << c.pesel << c.certificate << c.finding << "print dialog" << true;
    }
}

void TestPrintCheck::checkedOnEveryRoad() {
    QFETCH(QString, pesel);
    QFETCH(SqlDataList, certificate);
    QFETCH(QString, finding);
    QFETCH(QString, road);
    QFETCH(bool, printAnyway);
    const QString classFile = classWith(m_dir->path(), pesel, certificate);
    const QString pdf = m_dir->filePath("wydruk.pdf");
    if (road == "command line") {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        program.setProcessEnvironment(env);
        program.start(QCoreApplication::applicationDirPath() + "/swiadectwa",
                      {"--pdf", pdf, "--dokument", kCertificate, classFile});
        QVERIFY(program.waitForFinished(60000));
        const QString err = QString::fromUtf8(program.readAllStandardError());
        // Printed all the same, and said, with a status of its own.
        QCOMPARE(program.exitCode(), finding.isEmpty() ? 0 : 3);
        QCOMPARE(pdfPageCount(pdf), 2);
        if (finding.isEmpty())
            QCOMPARE(err, QString());
        else
            QVERIFY2(err.startsWith("Uwaga: Agrest Ewa") && err.contains(finding), qPrintable(err));
        return;
    }
    TFGlowna *g = f->start();
    QVERIFY(g->StartUpChecks());
    g->openCommandLineDocument(classFile);
    f->prompts.clear();
    f->prompts.fileNames.enqueue(pdf);
    if (!finding.isEmpty())
        f->prompts.answers.enqueue(printAnyway ? Prompts::Answer::Yes : Prompts::Answer::No);
    // Drukuj in the print dialog; when it stays open ("Wróć"), Anuluj.
    auto pressPrint = [this] {
        TFDrukuj *d = f->windows.drukuj;
        d->DrukujButton->click();
        if (d->isVisible())
            d->AnulujButton->click();
    };
    if (road == "print dialog") {
        g->TreeView->setCurrentItem(g->TreeView->topLevelItem(0)->child(0));
        g->TreeViewClick();
        QTimer::singleShot(0, pressPrint);
        g->DrukujToolButtonClick();
    } else {
        QTimer::singleShot(0, [&] {
            auto *choice = qobject_cast<TFDrukujKlase *>(QApplication::activeModalWidget());
            QVERIFY(choice);
            QTimer::singleShot(0, pressPrint);
            choice->DokumentComboBox->setCurrentText(kCertificate);
            choice->DalejButton->click();
        });
        g->DrukujDlaKlasyClick();
    }
    QList<ScriptedPrompts::Asked> checks;
    for (const ScriptedPrompts::Asked &a : f->prompts.asked)
        if (a.buttons == Prompts::Buttons::PrintAnywayBack)
            checks << a;
    if (finding.isEmpty()) {
        QVERIFY(checks.isEmpty());
        QCOMPARE(pdfPageCount(pdf), 2);
        return;
    }
    QCOMPARE(checks.size(), 1);
    QCOMPARE(checks[0].caption, QString::fromUtf8("Sprawdzenie przed drukowaniem"));
    QVERIFY2(checks[0].text.contains(QString::fromUtf8("Agrest Ewa – ") + kCertificate) &&
                 checks[0].text.contains(finding),
             qPrintable(checks[0].text));
    // "Wróć" (the default) spends no form; "Drukuj mimo to" prints.
    QCOMPARE(pdfPageCount(pdf), printAnyway ? 2 : -1);
}

// A pupil imported without a PESEL: the placeholder never reaches a page.
void TestPrintCheck::placeholderPeselNeverPrints() {
    const QString classFile =
        classWith(m_dir->path(), "_BRAK_1", {{"", "ZMIENNA_Klasa_STR1_DATA_EDIT", "pierwszej"}});
    for (const char *label : {"MEN-I/1/2 świad. klasa 1", "MEN-I/37/2 arkusz str. 1"}) {
        const DocumentInfo &doc = *documentByLabel(QString::fromUtf8(label));
        QString msg;
        SqlDataList records;
        QVERIFY(bFunLoadCertData(msg, classFile, "PESEL_BRAK_1", records));
        PrintEngine engine;
        engine.ctx.report = [](const QString &, const QString &, Prompts::Icon) {};
        engine.vFunRenderDocument(RecordFieldSource(doc, records), doc, true);
        for (const PagePicture *page : {&engine.ctx.page1, &engine.ctx.page2})
            for (const PagePicture::TextRun &run : page->textRuns())
                QVERIFY2(!run.text.contains("BRAK") && !run.text.contains('_'),
                         qPrintable(run.text));
    }
}

SW_TEST_MAIN_WITHOUT_PRINTERS(TestPrintCheck)

#include "tst_printcheck.moc"
