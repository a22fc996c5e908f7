#include "apptest.h"
#include "dialogs/tfdrukuj.h"
#include "support/noprinters.h"
#include "support/pdfraster.h"

#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

// The print command of the main window: the selected document rendered for
// paper and put into a PDF file through the print dialog.
class TestPrintCommand : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void printsTheSelectedDocument_data();
    void printsTheSelectedDocument();

private:
    std::unique_ptr<AppFixture> f;
    std::unique_ptr<QTemporaryDir> docs;
};

void TestPrintCommand::init() {
    f = std::make_unique<AppFixture>();
    // The check before printing has tests of its own.
    f->prompts.printAnyway = true;
    docs = std::make_unique<QTemporaryDir>();
    QVERIFY(f->start()->StartUpChecks());
    f->prompts.clear();
}

void TestPrintCommand::cleanup() {
    f.reset();
    docs.reset();
}

void TestPrintCommand::printsTheSelectedDocument_data() {
    QTest::addColumn<int>("child");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("pages");
    QTest::newRow("certificate") << 0 << "Agrest Ewa - MEN-I-1-2 klasa 1.pdf" << 2;
    QTest::newRow("report") << 3 << QString::fromUtf8("Agrest Ewa - wywiadówka.pdf") << 1;
    QTest::newRow("record sheet") << 14 << "Agrest Ewa - MEN-I-37-2 arkusz str. 5.pdf" << 1;
}

void TestPrintCommand::printsTheSelectedDocument() {
    QFETCH(int, child);
    QFETCH(QString, fileName);
    QFETCH(int, pages);
    const QString classFile = docs->filePath("klasa.sqbr5");
    makeClassFile(classFile, {{"01", "Agrest", "Ewa"}});
    TFGlowna *g = f->g();
    g->openCommandLineDocument(classFile);
    g->TreeView->setCurrentItem(g->TreeView->topLevelItem(0)->child(child));
    g->TreeViewClick();

    const QString pdf = docs->filePath("wydruk.pdf");
    f->prompts.fileNames.enqueue(pdf);
    QTimer::singleShot(0, [] {
        if (auto *d = qobject_cast<TFDrukuj *>(QApplication::activeModalWidget()))
            d->DrukujButton->click();
    });
    g->DrukujToolButtonClick();
    QCOMPARE(f->prompts.asked.size(), 1);
    QCOMPARE(QFileInfo(f->prompts.asked[0].proposed).fileName(), fileName);
    QCOMPARE(pdfPageCount(pdf), pages);
    QVERIFY(!f->windows.drukuj->isVisible());
    QVERIFY(!g->engine().ctx.printing);
    // The teacher is told where the file went.
    QCOMPARE(g->statusNotice(), QString::fromUtf8("Zapisano plik PDF: ") + pdf);
}

SW_TEST_MAIN_WITHOUT_PRINTERS(TestPrintCommand)

#include "tst_printcommand.moc"
