#include "dialogs/tfdrukujklase.h"
#include "printfixture.h"
#include "storage/settings.h"
#include "support/classfile.h"
#include "support/privatecups.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <unistd.h>

// The print dialog against a real spooler: a CUPS scheduler of the test's
// own with a duplex queue, a one-sided queue and queues that fail in the
// ways a teacher's printer does. What the jobs asked for is read back with
// ipptool; where the ink landed, from the documents in the spool folder.
class TestSpooler : public QObject {
    Q_OBJECT
public:
    explicit TestSpooler(int port) : m_cups(port) {}

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void printersListedAndStateKept();
    void printerSetupChoosesThePrinter();
    void waysToPrint_data();
    void waysToPrint();
    void secondSideTurned();
    void spooledLanding();
    void testPrintScalesStartWhereThePrinterPrints();
    void printerNotAcceptingJobs();
    void printerGone();
    void jobRefused();
    void stoppedQueueHoldsTheJob();
    void wholeClass_data();
    void wholeClass();
    void wholeClassStoppedBeforeTheBacks();
    void duplexChoiceRememberedPerPrinter();
    void stoppedAtTheTurnOver_data();
    void stoppedAtTheTurnOver();

private:
    QString ppd(const char *name) const {
        return QStringLiteral(SW_TEST_DATA "/") + QString::fromLatin1(name);
    }
    // Prints the rendered document on a printer with a duplex entry (-1:
    // none chosen); the job ids, or none when it failed.
    QList<int> print(const QString &printer, int duplex, bool rotate = false);
    QStringList errors() const;
    // What the spooler holds of a job: the queue, the sides, A4, portrait,
    // no scaling.
    void checkJob(int job, const QString &printer, const QString &sides);
    // Prints the grade-1 certificates of a class of three through the
    // choice and the print dialog; true when it printed.
    bool printClass(const QString &printer, int duplex, bool reverseBacks);

    PrivateCups m_cups;
    std::unique_ptr<PrintFixture> f;
    int m_jobsAtTurnOver = -1;
    QList<int> m_jobsAtMessage; // jobs in the spooler when each message came
    qsizetype m_jobsBefore = 0;
};

void TestSpooler::initTestCase() {
    if (::geteuid() != 0)
        QSKIP("the private scheduler runs its filters as the lp user: run as root");
    QVERIFY2(QFile::exists("/usr/sbin/cupsd"), "cupsd is missing: ./scripts/deps.sh installs it");
    QString why;
    QVERIFY2(m_cups.start(why), qPrintable(why));
    QVERIFY2(m_cups.addQueue("Dwustronna", ppd("dwustronna.ppd"), why), qPrintable(why));
    QVERIFY2(m_cups.addQueue("Jednostronna", ppd("jednostronna.ppd"), why), qPrintable(why));
    QVERIFY2(m_cups.addQueue("Odrzucajaca", ppd("jednostronna.ppd"), why), qPrintable(why));
    QVERIFY(m_cups.run("cupsreject", {"-r", "Brak papieru", "Odrzucajaca"}));
    QVERIFY2(m_cups.addQueue("Wstrzymana", ppd("jednostronna.ppd"), why), qPrintable(why));
    QVERIFY(m_cups.run("cupsdisable", {"Wstrzymana"}));
    QVERIFY2(m_cups.addQueue("Zakazana", ppd("jednostronna.ppd"), why,
                             {"-u", "deny:" + qEnvironmentVariable("USER", "root")}),
             qPrintable(why));
}

void TestSpooler::cleanupTestCase() {
    m_cups.stop();
}

void TestSpooler::init() {
    f = std::make_unique<PrintFixture>();
    // The check before printing has tests of its own.
    f->prompts.printAnyway = true;
    m_jobsAtTurnOver = -1;
    m_jobsAtMessage.clear();
    m_jobsBefore = m_cups.jobDocuments().size();
    f->prompts.onMessage = [this](const ScriptedPrompts::Asked &a) {
        m_jobsAtMessage << int(m_cups.jobDocuments().size() - m_jobsBefore);
        if (a.caption == QLatin1String("Alert"))
            m_jobsAtTurnOver = int(m_cups.jobDocuments().size() - m_jobsBefore);
    };
}

void TestSpooler::cleanup() {
    f.reset();
}

QList<int> TestSpooler::print(const QString &printer, int duplex, bool rotate) {
    TFDrukuj *d = f->dialog;
    d->show();
    f->selectPrinter("Dwustronna");
    if (duplex >= 0)
        d->DuplexComboBox->setCurrentIndex(duplex);
    d->cbRotateSecondPage->setChecked(rotate);
    f->selectPrinter(printer);
    QTest::mouseClick(d->DrukujButton, Qt::LeftButton);
    return d->lastResult.jobIds;
}

void TestSpooler::checkJob(int job, const QString &printer, const QString &sides) {
    const QMap<QString, QString> a = m_cups.jobAttributes(job);
    QVERIFY2(a.value("job-printer-uri").endsWith("/printers/" + printer),
             qPrintable(a.value("job-printer-uri")));
    QCOMPARE(a.value("sides"), sides);
    QCOMPARE(a.value("media"), QStringLiteral("A4"));
    QCOMPARE(a.value("orientation-requested"), QStringLiteral("portrait"));
    QCOMPARE(a.value("print-scaling"), QStringLiteral("none"));
}

QStringList TestSpooler::errors() const {
    QStringList out;
    for (const ScriptedPrompts::Asked &a : f->prompts.asked)
        if (a.caption == QString::fromUtf8("Błąd"))
            out << a.text;
    return out;
}

void TestSpooler::printersListedAndStateKept() {
    // The user's default printer is selected at the first showing.
    qputenv("LPDEST", "Jednostronna");
    TFDrukuj *d = f->dialog;
    d->show();
    qunsetenv("LPDEST");
    QStringList items;
    for (int i = 0; i < d->DrukarkiComboBox->count(); ++i)
        items << d->DrukarkiComboBox->itemText(i);
    QCOMPARE(items, QPrinterInfo::availablePrinterNames() + QStringList{"Plik PDF"});
    QVERIFY(items.contains("Dwustronna"));
    QCOMPARE(d->DrukarkiComboBox->currentText(), QStringLiteral("Jednostronna"));
    QVERIFY(!d->DuplexComboBox->isEnabled());

    // The printer, the duplex choice and the rotation stay for the next
    // showing; the edits show the set again.
    f->selectPrinter("Dwustronna");
    QVERIFY(d->DuplexComboBox->isEnabled());
    QVERIFY(d->cbRotateSecondPage->isEnabled());
    d->DuplexComboBox->setCurrentIndex(2);
    d->cbRotateSecondPage->setChecked(true);
    f->click(8);
    QCOMPARE(d->Strona2LewyEdit->text(), QStringLiteral("1"));
    QTest::mouseClick(d->AnulujButton, Qt::LeftButton);
    d->show();
    QCOMPARE(d->DrukarkiComboBox->currentText(), QStringLiteral("Dwustronna"));
    QCOMPARE(d->DuplexComboBox->currentText(), QStringLiteral("Duplex poziomo"));
    QVERIFY(d->cbRotateSecondPage->isChecked());
    QCOMPARE(d->Strona2LewyEdit->text(), QStringLiteral("0"));
    QCOMPARE(errors(), QStringList());
}

// The duplex box always holds a choice: both sides on a printer that can,
// then the one last printed with on that printer, in a later session too.
void TestSpooler::duplexChoiceRememberedPerPrinter() {
    TFDrukuj *d = f->dialog;
    f->renderSampleCertificate();
    d->show();
    f->selectPrinter("Dwustronna");
    QCOMPARE(d->DuplexComboBox->currentText(), QStringLiteral("Duplex pionowo"));
    QCOMPARE(print("Dwustronna", 2).size(), 1);
    // Another printer and back (as at a later start): the choice is read
    // from the settings, not left as the box had it.
    d->DuplexComboBox->setCurrentIndex(0);
    f->dialog->show();
    f->selectPrinter("Jednostronna");
    QCOMPARE(f->dialog->DuplexComboBox->currentText(), QString::fromUtf8("Wyłączony"));
    f->selectPrinter("Dwustronna");
    QCOMPARE(f->dialog->DuplexComboBox->currentText(), QStringLiteral("Duplex poziomo"));
}

void TestSpooler::printerSetupChoosesThePrinter() {
    TFDrukuj *d = f->dialog;
    d->show();
    f->selectPrinter("Dwustronna");
    QString shownOn;
    d->printerSetup = [&](QPrinter &printer) {
        shownOn = printer.printerName();
        printer.setPrinterName("Jednostronna");
        return true;
    };
    QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
    QCOMPARE(shownOn, QStringLiteral("Dwustronna"));
    QCOMPARE(d->DrukarkiComboBox->currentText(), QStringLiteral("Jednostronna"));
    QVERIFY(!d->DuplexComboBox->isEnabled());
    QVERIFY(!d->cbRotateSecondPage->isEnabled());
}

void TestSpooler::waysToPrint_data() {
    QTest::addColumn<QString>("printer");
    QTest::addColumn<int>("duplex");
    QTest::addColumn<int>("sides");
    QTest::addColumn<QStringList>("jobSides"); // per job
    QTest::addColumn<QList<int>>("jobPages");
    QTest::addColumn<bool>("turnOver");
    const QString one = QStringLiteral("one-sided");
    QTest::newRow("Duplex pionowo")
        << "Dwustronna" << 1 << 2 << QStringList{"two-sided-long-edge"} << QList<int>{2} << false;
    QTest::newRow("Duplex poziomo")
        << "Dwustronna" << 2 << 2 << QStringList{"two-sided-short-edge"} << QList<int>{2} << false;
    QTest::newRow("Wyłączony") << "Dwustronna" << 0 << 2 << QStringList{one, one}
                               << QList<int>{1, 1} << true;
    // Nothing chosen: a printer that prints both sides does.
    QTest::newRow("no duplex chosen")
        << "Dwustronna" << -1 << 2 << QStringList{"two-sided-long-edge"} << QList<int>{2} << false;
    QTest::newRow("one-sided printer")
        << "Jednostronna" << 1 << 2 << QStringList{one, one} << QList<int>{1, 1} << true;
    QTest::newRow("one-sided document")
        << "Dwustronna" << 1 << 1 << QStringList{one} << QList<int>{1} << false;
}

void TestSpooler::waysToPrint() {
    QFETCH(QString, printer);
    QFETCH(int, duplex);
    QFETCH(int, sides);
    QFETCH(QStringList, jobSides);
    QFETCH(QList<int>, jobPages);
    QFETCH(bool, turnOver);
    f->renderSampleCertificate(sides);
    f->prompts.answers.enqueue(Prompts::Answer::Ok); // the sheet is turned over
    const QList<int> jobs = print(printer, duplex);
    QCOMPARE(errors(), QStringList());
    QVERIFY(!f->dialog->isVisible());
    if (printer == QLatin1String("Jednostronna")) {
        QVERIFY(!f->dialog->DuplexComboBox->isEnabled());
        QVERIFY(!f->dialog->cbRotateSecondPage->isEnabled());
        QCOMPARE(f->dialog->DuplexComboBox->currentText(), QString::fromUtf8("Wyłączony"));
    }
    QCOMPARE(jobs.size(), jobSides.size());
    QCOMPARE(m_cups.jobDocuments().size() - m_jobsBefore, jobSides.size());
    for (int i = 0; i < jobs.size(); ++i) {
        checkJob(jobs[i], printer, jobSides[i]);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(pdfPageCount(m_cups.jobDocument(jobs[i])), jobPages[i]);
    }
    // The turn-over message comes after the first job has reached the spooler.
    QCOMPARE(m_jobsAtTurnOver, turnOver ? 1 : -1);
    if (turnOver) {
        const auto alert = std::find_if(f->prompts.asked.begin(), f->prompts.asked.end(),
                                        [](const auto &a) { return a.caption == "Alert"; });
        QCOMPARE(alert->text, QString::fromUtf8("Gdy zakończy się drukowanie pierwszej strony, "
                                                "proszę odwrócić \n świadectwo i nacisnąć OK"));
        QCOMPARE(alert->icon, Prompts::Icon::Warning);
        QCOMPARE(alert->buttons, Prompts::Buttons::OkCancel); // she can stop before side 2
    }
}

void TestSpooler::stoppedAtTheTurnOver_data() {
    QTest::addColumn<bool>("wholeClass");
    QTest::addColumn<bool>("remove");
    QTest::newRow("one document, side 1 removed") << false << true;
    QTest::newRow("one document, side 1 kept") << false << false;
    QTest::newRow("whole class, fronts removed") << true << true;
    QTest::newRow("whole class, fronts kept") << true << false;
}

// "Anuluj" at the turn-over question: nothing more is sent, she is told what
// reached the printer and may take it back from the queue; the status bar
// says it, in place of an earlier print's notice.
void TestSpooler::stoppedAtTheTurnOver() {
    QFETCH(bool, wholeClass);
    QFETCH(bool, remove);
    QStringList notices;
    connect(f->dialog, &TFDrukuj::printDone, this, [&](const QString &s) { notices << s; });
    f->prompts.answers.enqueue(Prompts::Answer::Cancel); // at the turn-over
    f->prompts.answers.enqueue(remove ? Prompts::Answer::Yes : Prompts::Answer::No);
    QList<int> jobs;
    if (wholeClass) {
        QVERIFY(!printClass("Jednostronna", -1, false));
        jobs = f->dialog->lastResult.jobIds;
    } else {
        f->renderSampleCertificate();
        jobs = print("Jednostronna", -1);
    }
    QCOMPARE(jobs.size(), 1);
    QCOMPARE(m_cups.jobDocuments().size() - m_jobsBefore, 1); // no backs
    const QList<ScriptedPrompts::Asked> &asked = f->prompts.asked;
    QVERIFY(asked.size() >= 2);
    QCOMPARE(asked[asked.size() - 2].caption, QStringLiteral("Alert"));
    const ScriptedPrompts::Asked &question = asked.last();
    QCOMPARE(question.caption, QStringLiteral("Drukowanie"));
    QVERIFY2(question.text.contains(QStringLiteral("zadanie nr %1").arg(jobs[0])),
             qPrintable(question.text));
    const QString state = m_cups.jobAttributes(jobs[0]).value("job-state");
    QCOMPARE(state.contains("canceled") || state == "7", remove);
    QCOMPARE(notices.size(), 1);
    QVERIFY2(notices[0].startsWith(QString::fromUtf8("Drukowanie przerwano")),
             qPrintable(notices[0]));
    QVERIFY(notices[0].contains(remove ? QString::fromUtf8("usunięto je z kolejki")
                                       : QString::fromUtf8("zostały w jej kolejce")));
    QCOMPARE(errors(), QStringList());
    QVERIFY(!f->dialog->isVisible());
}

void TestSpooler::secondSideTurned() {
    f->renderSampleCertificate();
    const QList<int> plain = print("Dwustronna", 1, false);
    QCOMPARE(plain.size(), 1);
    const QList<int> turned = print("Dwustronna", 1, true);
    QCOMPARE(turned.size(), 1);
    const QString plainPdf = m_cups.jobDocument(plain[0]);
    const QString turnedPdf = m_cups.jobDocument(turned[0]);
    const QString work = f->env.dataHome();
    // Side 1 is not touched.
    QCOMPARE(rasterPdfPage(turnedPdf, 1, 50, work), rasterPdfPage(plainPdf, 1, 50, work));

    // What side 2 has near the top left comes out near the bottom right: a
    // point (x, y) of the page at (879 - x, 1299 - y), here in millimetres.
    const int dpi = 150;
    const double cx = 879 * 210 / 885.0, cy = 1299 * 297 / 1314.0;
    auto turn = [&](const QRectF &r) {
        return QRectF(QPointF(cx - r.right(), cy - r.bottom()),
                      QPointF(cx - r.left(), cy - r.top()));
    };
    const QRectF topLeft(0, 0, 105, 148);
    const QImage before = rasterPdfPage(plainPdf, 2, dpi, work);
    const QImage after = rasterPdfPage(turnedPdf, 2, dpi, work);
    const QRectF mark = pixelsToMm(greyInk(before, mmToPixels(topLeft, dpi)), dpi);
    QVERIFY(!mark.isEmpty());
    const QRectF seen = pixelsToMm(greyInk(after, mmToPixels(turn(topLeft), dpi)), dpi);
    const QRectF expected = turn(mark);
    const QString what = mmText(seen) + " / " + mmText(expected);
    QVERIFY2(qAbs(seen.left() - expected.left()) < 0.35, qPrintable(what));
    QVERIFY2(qAbs(seen.top() - expected.top()) < 0.35, qPrintable(what));
    QVERIFY2(qAbs(seen.right() - expected.right()) < 0.35, qPrintable(what));
    QVERIFY2(qAbs(seen.bottom() - expected.bottom()) < 0.35, qPrintable(what));
}

void TestSpooler::spooledLanding() {
    f->renderSampleCertificate();
    const structCalibData pesel = f->row("ZMIENNA_NrPesel_STR1_DATA_EDIT");
    const structCalibData religion = f->row("ZMIENNA_ReligiaOcena_STR2_DATA_COMBOBOX");
    const QList<int> jobs = print("Dwustronna", 1);
    QCOMPARE(jobs.size(), 1);
    const QList<int> shipped{0, 0, 210, 297};
    const QString work = f->env.dataHome();
    const QRectF before = checkFieldLanding(m_cups.jobDocument(jobs[0]), 1, f->engine.ctx.page1,
                                            pesel, shipped, work);
    if (QTest::currentTestFailed())
        return;
    checkFieldLanding(m_cups.jobDocument(jobs[0]), 2, f->engine.ctx.page2, religion, shipped, work);
    if (QTest::currentTestFailed())
        return;

    f->dialog->show();
    f->click(4, 5); // side 1 five millimetres to the right
    QTest::mouseClick(f->dialog->DrukujButton, Qt::LeftButton);
    const QList<int> moved = f->dialog->lastResult.jobIds;
    QCOMPARE(moved.size(), 1);
    const QRectF after = checkFieldLanding(m_cups.jobDocument(moved[0]), 1, f->engine.ctx.page1,
                                           pesel, {5, 0, 215, 297}, work);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(qAbs(after.left() - before.left() - 5.0) <= 0.1,
             qPrintable(mmText(before) + " -> " + mmText(after)));
    QVERIFY(qAbs(after.top() - before.top()) <= 0.1);
}

// The printer's driver leaves 12 points (4.2 mm) along each edge: the test
// print's scales start at the first whole millimetre it can print.
void TestSpooler::testPrintScalesStartWhereThePrinterPrints() {
    const QMarginsF unprintable = marginsFunUnprintable("Dwustronna");
    QVERIFY2(qAbs(unprintable.left() - 12 * 25.4 / 72) < 0.05 &&
                 qAbs(unprintable.top() - 12 * 25.4 / 72) < 0.05,
             qPrintable(QStringLiteral("%1 %2").arg(unprintable.left()).arg(unprintable.top())));
    f->renderSampleCertificate();
    // The page well inside the sheet: its corner crosses stay clear of the scales.
    f->addMarginSet({"Szkoła", 20, 20, 190, 277, 20, 20, 190, 277});
    TFDrukuj *d = f->dialog;
    d->show();
    d->MarginesyComboBox->setCurrentText(QString::fromUtf8("Szkoła"));
    f->selectPrinter("Dwustronna");
    d->DuplexComboBox->setCurrentIndex(1);
    QTest::mouseClick(d->TestPrintButton, Qt::LeftButton);
    QCOMPARE(errors(), QStringList());
    QVERIFY(d->isVisible());
    const QList<int> jobs = d->lastResult.jobIds;
    QCOMPARE(jobs.size(), 1); // both sides in one two-sided job
    const QImage raster = rasterPdfPage(m_cups.jobDocument(jobs[0]), 1, 600, f->env.dataHome());
    const QRectF corner = pixelsToMm(greyInk(raster, mmToPixels(QRectF(0, 0, 12, 12), 600)), 600);
    // The 5 mm mark, 0.2 mm wide, hanging from the printable area's top.
    QVERIFY2(qAbs(corner.left() - 4.9) <= 0.2 && qAbs(corner.top() - unprintable.top()) <= 0.2,
             qPrintable(mmText(corner)));
}

void TestSpooler::printerNotAcceptingJobs() {
    f->renderSampleCertificate();
    const QList<int> jobs = print("Odrzucajaca", -1);
    const QString expected =
        QString::fromUtf8("Błąd otwarcia ustawień drukarki.\n"
                          "Drukarka: Odrzucajaca\n"
                          "Powód: drukarka nie przyjmuje zadań (Brak papieru)\n"
                          "Wybierz inną drukarkę albo sprawdź tę w "
                          "ustawieniach drukarek systemu.");
    // When chosen, and again when printing; nothing printed, the dialog stays.
    QCOMPARE(errors(), (QStringList{expected, expected}));
    QVERIFY(jobs.isEmpty());
    QCOMPARE(m_cups.jobDocuments().size(), m_jobsBefore);
    QVERIFY(f->dialog->isVisible());
    const auto log = logRows(f->env.programDir());
    QCOMPARE(log.size(), 2);
    QCOMPARE(log[1].fun, QStringLiteral("vFunUstawDrukarke()"));
    QCOMPARE(log[1].info, expected);
}

void TestSpooler::printerGone() {
    QString why;
    QVERIFY2(m_cups.addQueue("Znikajaca", ppd("jednostronna.ppd"), why), qPrintable(why));
    f->renderSampleCertificate();
    f->dialog->show();
    f->selectPrinter("Znikajaca");
    QVERIFY(m_cups.run("lpadmin", {"-x", "Znikajaca"}));
    QTest::mouseClick(f->dialog->DrukujButton, Qt::LeftButton);
    const QStringList e = errors();
    QCOMPARE(e.size(), 1);
    QVERIFY2(e[0].startsWith(QString::fromUtf8("Błąd otwarcia ustawień drukarki.\n"
                                               "Drukarka: Znikajaca\n"
                                               "Powód: drukarka nie jest znana systemowi "
                                               "drukowania")),
             qPrintable(e[0]));
    QVERIFY(f->dialog->lastResult.jobIds.isEmpty());
    QCOMPARE(m_cups.jobDocuments().size(), m_jobsBefore);
    QVERIFY(f->dialog->isVisible());
}

void TestSpooler::jobRefused() {
    f->renderSampleCertificate();
    const QList<int> jobs = print("Zakazana", -1);
    const QStringList e = errors();
    QCOMPARE(e.size(), 1); // nothing said when it was chosen: it answers
    QVERIFY2(e[0].startsWith(QString::fromUtf8("Drukarka „Zakazana” nie przyjęła wydruku.\n"
                                               "Powód: brak uprawnień do drukowania na tej "
                                               "drukarce")),
             qPrintable(e[0]));
    QVERIFY(jobs.isEmpty());
    QVERIFY(!f->dialog->lastResult.spoolerMessage.isEmpty());
    QCOMPARE(m_jobsAtTurnOver, -1); // the first side failed: no turning over
    QVERIFY(f->dialog->isVisible());
    QString msg, lastSet;
    QVERIFY(bFunSqlGetSettingsText(msg, "last_margin_set", lastSet));
    QCOMPARE(lastSet, QString()); // not printed
    QCOMPARE(logRows(f->env.programDir()).last().fun, QStringLiteral("bFunPrintDocument()"));
}

void TestSpooler::stoppedQueueHoldsTheJob() {
    f->renderSampleCertificate(1);
    const QList<int> jobs = print("Wstrzymana", -1);
    QCOMPARE(errors(), QStringList());
    QCOMPARE(jobs.size(), 1);
    QCOMPARE(f->prompts.messages(),
             QStringList{QString::fromUtf8("Drukarka „Wstrzymana” jest wstrzymana. Wydruk "
                                           "(zadanie nr %1) czeka w jej kolejce i zostanie "
                                           "wydrukowany, gdy drukarka zostanie wznowiona.")
                             .arg(jobs[0])});
    QCOMPARE(m_cups.jobAttributes(jobs[0]).value("job-state"), QStringLiteral("pending"));
    QVERIFY(!f->dialog->isVisible());
}

bool TestSpooler::printClass(const QString &printer, int duplex, bool reverseBacks) {
    QTemporaryDir dir;
    structOpenClass open;
    open.classFile = dir.filePath("klasa.sqbr5");
    writeClassFile(open.classFile,
                   {{"01", "Agrest", "Ewa"}, {"02", "Buk", "Jan"}, {"03", "Cis", "Adam"}});
    open.className = QStringLiteral("3b");
    open.pupils = {{"Agrest Ewa", "PESEL01"}, {"Buk Jan", "PESEL02"}, {"Cis Adam", "PESEL03"}};
    open.documentLabel = QString::fromUtf8("MEN-I/1/2 świad. klasa 1");
    TFDrukujKlase choice(f->owner.get());
    QTimer poll;
    poll.setInterval(5);
    connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal == &choice) {
            choice.cbOdwrocKolejnosc->setChecked(reverseBacks);
            choice.DalejButton->click();
        } else if (modal == f->dialog) {
            poll.stop();
            f->selectPrinter(printer);
            if (duplex >= 0)
                f->dialog->DuplexComboBox->setCurrentIndex(duplex);
            f->dialog->DrukujButton->click();
        }
    });
    poll.start();
    return bFunPrintWholeClass(choice, *f->dialog, open);
}

void TestSpooler::wholeClass_data() {
    QTest::addColumn<QString>("printer");
    QTest::addColumn<int>("duplex");
    QTest::addColumn<bool>("reverseBacks");
    QTest::addColumn<QStringList>("jobSides");
    QTest::addColumn<QList<QStringList>>("jobPages"); // whose side each page is
    const QString one = QStringLiteral("one-sided");
    const QStringList fronts{"Agrest 1", "Buk 1", "Cis 1"};
    QTest::newRow("duplex printer")
        << "Dwustronna" << 1 << true << QStringList{"two-sided-long-edge"}
        << QList<QStringList>{{"Agrest 1", "Agrest 2", "Buk 1", "Buk 2", "Cis 1", "Cis 2"}};
    QTest::newRow("one-sided printer")
        << "Jednostronna" << -1 << false << QStringList{one, one}
        << QList<QStringList>{fronts, {"Agrest 2", "Buk 2", "Cis 2"}};
    QTest::newRow("one-sided printer, backs reversed")
        << "Jednostronna" << -1 << true << QStringList{one, one}
        << QList<QStringList>{fronts, {"Cis 2", "Buk 2", "Agrest 2"}};
    QTest::newRow("duplex off") << "Dwustronna" << 0 << false << QStringList{one, one}
                                << QList<QStringList>{fronts, {"Agrest 2", "Buk 2", "Cis 2"}};
}

void TestSpooler::wholeClass() {
    QFETCH(QString, printer);
    QFETCH(int, duplex);
    QFETCH(bool, reverseBacks);
    QFETCH(QStringList, jobSides);
    QFETCH(QList<QStringList>, jobPages);
    f->prompts.answers.enqueue(Prompts::Answer::Ok); // the stack is back in the tray
    QVERIFY(printClass(printer, duplex, reverseBacks));
    QCOMPARE(errors(), QStringList());
    QVERIFY(!f->dialog->isVisible());
    const QList<int> jobs = f->dialog->lastResult.jobIds;
    QCOMPARE(jobs.size(), jobSides.size());
    QCOMPARE(m_cups.jobDocuments().size() - m_jobsBefore, jobSides.size());
    for (int i = 0; i < jobs.size(); ++i) {
        checkJob(jobs[i], printer, jobSides[i]);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(pdfPageOwners(m_cups.jobDocument(jobs[i]), {"Agrest", "Buk", "Cis"}), jobPages[i]);
    }
    // Two jobs: the turn-over question after the fronts reached the spooler.
    if (jobs.size() == 2) {
        QCOMPARE(m_jobsAtMessage, QList<int>{1});
        const ScriptedPrompts::Asked &alert = f->prompts.asked.last();
        QCOMPARE(alert.caption, QStringLiteral("Alert"));
        QCOMPARE(alert.buttons, Prompts::Buttons::OkCancel);
        QVERIFY2(alert.text.contains(QString::fromUtf8("cały plik wydrukowanych kartek")),
                 qPrintable(alert.text));
    } else {
        QCOMPARE(f->prompts.messages(), QStringList());
    }
}

void TestSpooler::wholeClassStoppedBeforeTheBacks() {
    // "Anuluj" at the turn-over question: the fronts are printed, no backs.
    QVERIFY(!printClass("Jednostronna", -1, false));
    // The turn-over question, then whether to take the fronts back.
    QCOMPARE(m_jobsAtMessage, (QList<int>{1, 1}));
    QCOMPARE(f->prompts.asked[f->prompts.asked.size() - 2].caption, QStringLiteral("Alert"));
    const QStringList documents = m_cups.jobDocuments().mid(m_jobsBefore);
    QCOMPARE(documents.size(), 1);
    QCOMPARE(pdfPageOwners(documents[0], {"Agrest", "Buk", "Cis"}),
             (QStringList{"Agrest 1", "Buk 1", "Cis 1"}));
    QCOMPARE(errors(), QStringList());
    QVERIFY(!f->dialog->isVisible());
}

int main(int argc, char **argv) {
    // Every client of this process talks to the private scheduler.
    const int port = freeLoopbackPort();
    useCupsServer(port);
    QApplication app(argc, argv);
    TestSpooler test(port);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_spooler.moc"
