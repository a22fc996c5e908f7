#include "dialogs/tfdrukujklase.h"
#include "printfixture.h"
#include "storage/settings.h"
#include "support/classfile.h"
#include "support/noprinters.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

// The whole-class print from the window's side: the choice of document and
// pupils, the print dialog into a PDF file, the progress window's "Anuluj",
// and pupils that could not be read named at the end.
class TestDrukujKlase : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void choiceOfDocumentAndPupils();
    void choiceByKeyboard();
    void noPupilTicked();
    void wholeClassIntoPdf();
    void cancelPrintsNothing();
    void unreadablePupilNamedAtTheEnd();

private:
    // Answers the modal windows as they come: the choice with "Dalej", the
    // print dialog with "Drukuj" (into a PDF file); then, if given, acts on
    // the progress window at its first step.
    void answerModals(const std::function<void(TFPostepKlasy *)> &onProgress = {});
    structOpenClass openClass() const;
    QStringList ticked() const;

    std::unique_ptr<PrintFixture> f;
    std::unique_ptr<QTemporaryDir> m_dir;
    TFDrukujKlase *m_choice = nullptr;
    QString m_class;
    QString m_pdf;
};

void TestDrukujKlase::init() {
    f = std::make_unique<PrintFixture>();
    // The check before printing has tests of its own.
    f->prompts.printAnyway = true;
    m_dir = std::make_unique<QTemporaryDir>();
    m_class = m_dir->filePath("klasa.sqbr5");
    m_pdf = m_dir->filePath("klasa.pdf");
    writeClassFile(m_class, {{"01", "Agrest", "Ewa"}, {"02", "Buk", "Jan"}, {"03", "Cis", "Adam"}});
    m_choice = new TFDrukujKlase(f->owner.get());
}

void TestDrukujKlase::cleanup() {
    f.reset();
    m_dir.reset();
}

structOpenClass TestDrukujKlase::openClass() const {
    structOpenClass open;
    open.classFile = m_class;
    open.className = QStringLiteral("3b");
    open.pupils = {{"Agrest Ewa", "PESEL01"}, {"Buk Jan", "PESEL02"}, {"Cis Adam", "PESEL03"}};
    open.documentLabel = QString::fromUtf8("MEN-I/1/2 świad. klasa 1");
    return open;
}

QStringList TestDrukujKlase::ticked() const {
    QStringList names;
    for (const structStudentEntry &p : m_choice->chosenPupils())
        names << p.name;
    return names;
}

void TestDrukujKlase::answerModals(const std::function<void(TFPostepKlasy *)> &onProgress) {
    f->prompts.fileNames.enqueue(m_pdf);
    auto *poll = new QTimer(m_choice);
    poll->setInterval(5);
    connect(poll, &QTimer::timeout, poll, [this, poll, onProgress] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal == m_choice) {
            m_choice->DalejButton->click();
        } else if (modal == f->dialog) {
            poll->stop();
            if (onProgress) {
                // At the first step the progress window is up.
                QTimer::singleShot(
                    0, [this, onProgress] { onProgress(f->dialog->findChild<TFPostepKlasy *>()); });
            }
            f->dialog->DrukujButton->click();
        }
    });
    poll->start();
}

void TestDrukujKlase::choiceOfDocumentAndPupils() {
    const structOpenClass open = openClass();
    m_choice->setClass(open.pupils, QString::fromUtf8("MEN-I/37/2 arkusz str. 1"));
    QStringList documents, expected;
    for (int i = 0; i < m_choice->DokumentComboBox->count(); ++i)
        documents << m_choice->DokumentComboBox->itemText(i);
    for (const DocumentInfo *row : treeRows())
        if (row)
            expected << row->labelText();
    QCOMPARE(documents.size(), 13);
    QCOMPARE(documents, expected);
    QCOMPARE(m_choice->chosenDocument()->labelText(),
             QString::fromUtf8("MEN-I/37/2 arkusz str. 1"));
    QCOMPARE(ticked(), (QStringList{"Agrest Ewa", "Buk Jan", "Cis Adam"}));
    QCOMPARE(m_choice->LiczbaLabel->text(), QStringLiteral("zaznaczono 3 z 3"));
    // The order of the backs is a question for two-sided documents only.
    QLabel *hint = m_choice->findChild<QLabel *>("OdwrocKolejnoscLabel");
    QVERIFY(!m_choice->cbOdwrocKolejnosc->isEnabled());
    QVERIFY(!hint->isEnabled());
    m_choice->DokumentComboBox->setCurrentIndex(0);
    QVERIFY(m_choice->cbOdwrocKolejnosc->isEnabled());
    QVERIFY(hint->isEnabled());
    QVERIFY(!hint->text().isEmpty());

    m_choice->OdznaczButton->click();
    QCOMPARE(ticked(), QStringList());
    QCOMPARE(m_choice->LiczbaLabel->text(), QStringLiteral("zaznaczono 0 z 3"));
    m_choice->UczniowieListWidget->item(1)->setCheckState(Qt::Checked);
    QCOMPARE(ticked(), QStringList{"Buk Jan"});
    QCOMPARE(m_choice->LiczbaLabel->text(), QStringLiteral("zaznaczono 1 z 3"));
    m_choice->ZaznaczButton->click();
    QCOMPARE(ticked().size(), 3);

    // A pupil node selected in the tree names no document: the first one.
    m_choice->setClass(open.pupils, QString());
    QCOMPARE(m_choice->DokumentComboBox->currentIndex(), 0);
}

void TestDrukujKlase::choiceByKeyboard() {
    m_choice->setClass(openClass().pupils, QString::fromUtf8("MEN-I/1/2 świad. klasa 1"));
    m_choice->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_choice));
    // Space unticks the pupil in focus, Return goes on.
    m_choice->UczniowieListWidget->setFocus();
    m_choice->UczniowieListWidget->setCurrentRow(2);
    QTest::keyClick(m_choice->UczniowieListWidget, Qt::Key_Space);
    QCOMPARE(ticked(), (QStringList{"Agrest Ewa", "Buk Jan"}));
    QTest::keyClick(m_choice->UczniowieListWidget, Qt::Key_Return);
    QCOMPARE(m_choice->result(), int(QDialog::Accepted));
    QVERIFY(!m_choice->isVisible());
    // The reverse order is kept for the next class.
    m_choice->setClass(openClass().pupils, QString());
    m_choice->cbOdwrocKolejnosc->setChecked(true);
    m_choice->show();
    QTest::keyClick(m_choice, Qt::Key_Return);
    m_choice->setClass(openClass().pupils, QString());
    QVERIFY(m_choice->cbOdwrocKolejnosc->isChecked());
    m_choice->show();
    QTest::keyClick(m_choice, Qt::Key_Escape);
    QCOMPARE(m_choice->result(), int(QDialog::Rejected));
    QVERIFY(!m_choice->isVisible());
}

void TestDrukujKlase::noPupilTicked() {
    m_choice->setClass(openClass().pupils, QString());
    m_choice->show();
    m_choice->OdznaczButton->click();
    m_choice->DalejButton->click();
    QCOMPARE(f->prompts.asked.size(), 1);
    QCOMPARE(f->prompts.asked[0].caption, QStringLiteral("Brak wyboru"));
    QCOMPARE(f->prompts.asked[0].text, QString::fromUtf8("Zaznacz co najmniej jednego ucznia."));
    QVERIFY(m_choice->isVisible());
}

void TestDrukujKlase::wholeClassIntoPdf() {
    answerModals();
    structOpenClass open = openClass();
    // Buk is left out.
    QTimer::singleShot(
        0, [this] { m_choice->UczniowieListWidget->item(1)->setCheckState(Qt::Unchecked); });
    QVERIFY(bFunPrintWholeClass(*m_choice, *f->dialog, open));
    QCOMPARE(pdfPageOwners(m_pdf, {"Agrest", "Buk", "Cis"}),
             (QStringList{"Agrest 1", "Agrest 2", "Cis 1", "Cis 2"}));
    QCOMPARE(f->prompts.asked.size(), 1); // the file name, nothing else
    QCOMPARE(QFileInfo(f->prompts.asked[0].proposed).fileName(),
             QStringLiteral("3b - MEN-I-1-2 klasa 1.pdf"));
    QVERIFY(!f->dialog->isVisible());
    QVERIFY(!f->dialog->printOrder);
    QString msg, lastSet;
    QVERIFY(bFunSqlGetSettingsText(msg, "last_margin_set", lastSet));
    QCOMPARE(lastSet, f->dialog->MarginesyComboBox->currentText());
    QVERIFY(!lastSet.isEmpty());
}

void TestDrukujKlase::cancelPrintsNothing() {
    bool cancelled = false;
    answerModals([&](TFPostepKlasy *progress) {
        QVERIFY(progress && progress->isVisible());
        QCOMPARE(progress->UczenLabel->text(), QStringLiteral("Agrest Ewa"));
        progress->AnulujButton->click();
        cancelled = true;
    });
    QVERIFY(!bFunPrintWholeClass(*m_choice, *f->dialog, openClass()));
    QVERIFY(cancelled);
    QVERIFY(!QFile::exists(m_pdf));
    QVERIFY(!f->dialog->isVisible());
    QCOMPARE(f->prompts.messages(), QStringList());
    QString msg, lastSet;
    QVERIFY(bFunSqlGetSettingsText(msg, "last_margin_set", lastSet));
    QCOMPARE(lastSet, QString());
}

void TestDrukujKlase::unreadablePupilNamedAtTheEnd() {
    addUnreadablePupil(m_class, "04", "Dab");
    structOpenClass open = openClass();
    open.pupils.insert(1, {"Dab ", "PESEL04"});
    answerModals();
    QVERIFY(bFunPrintWholeClass(*m_choice, *f->dialog, open));
    QCOMPARE(pdfPageCount(m_pdf), 6);
    const QStringList said = f->prompts.messages();
    QCOMPARE(said.size(), 1);
    QCOMPARE(f->prompts.asked.last().caption, QStringLiteral("Drukowanie"));
    QVERIFY2(said[0].startsWith(QString::fromUtf8(
                 "Nie udało się wczytać danych tych uczniów, ich dokumenty nie zostały "
                 "wydrukowane:\nDab (Tablica nie istnieje: PESEL04)\n")),
             qPrintable(said[0]));
}

SW_TEST_MAIN_WITHOUT_PRINTERS(TestDrukujKlase)

#include "tst_drukujklase.moc"
