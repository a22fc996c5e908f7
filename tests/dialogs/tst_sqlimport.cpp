#include "dialogs/tfsqlimport.h"
#include "support/eventcounter.h"
#include "support/legacyfile.h"
#include "support/testenv.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QtTest>

// The import window: its texts, and that it paints while the import holds
// the event loop.
class TestSqlImport : public QObject {
    Q_OBJECT
private slots:
    void looksAsExpected();
    void barFollowsTheRange();
    void paintsWithoutTheEventLoop();
    void followsARealImport();
};

void TestSqlImport::looksAsExpected() {
    TFSQLImport w;
    QCOMPARE(w.objectName(), QStringLiteral("TFSQLImport"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Import danych"));
    QCOMPARE(w.Label1->text(), QStringLiteral("Operacja:"));
    QCOMPARE(w.InfoLabel->objectName(), QStringLiteral("InfoLabel"));
    QCOMPARE(w.ProgressBar->objectName(), QStringLiteral("ProgressBar"));
    w.InfoLabel->setText("stare");
    w.start();
    QVERIFY(w.isVisible());
    QVERIFY(!w.isModal());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QCOMPARE(w.InfoLabel->text(), QString());
}

void TestSqlImport::barFollowsTheRange() {
    TFSQLImport w;
    w.start();
    w.setRange(3);
    QCOMPARE(w.ProgressBar->minimum(), 0);
    QCOMPARE(w.ProgressBar->maximum(), 3);
    QCOMPARE(w.ProgressBar->value(), 0);
    w.step();
    w.step();
    QCOMPARE(w.ProgressBar->value(), 2);
    // Nothing to write is an empty bar, not a busy one.
    w.setRange(0);
    QVERIFY(w.ProgressBar->maximum() > 0);
    QCOMPARE(w.ProgressBar->value(), 0);
}

void TestSqlImport::paintsWithoutTheEventLoop() {
    TFSQLImport w;
    w.start();
    EventCounter label(w.InfoLabel, QEvent::Paint);
    EventCounter bar(w.ProgressBar, QEvent::Paint);
    // No event loop runs in here: every paint comes from the window itself,
    // at most every few dozen milliseconds however fast the calls come.
    w.setOperation("importuje dane ucznia...");
    w.setRange(1000);
    for (int i = 0; i < 1000; ++i)
        w.step();
    QCOMPARE(w.ProgressBar->value(), 1000);
    QVERIFY2(label.count <= 1, qPrintable(QString::number(label.count)));
    const int before = label.count;
    QTest::qSleep(60);
    w.setOperation(QString::fromUtf8("importuje świadectwa dla PESEL1"));
    QCOMPARE(label.count, before + 1);
    QCOMPARE(bar.count, label.count);
}

void TestSqlImport::followsARealImport() {
    TestEnv env;
    QTemporaryDir docs;
    const QString source = docs.filePath("klasa.br5");
    QStringList fields;
    for (int i = 0; i < 200; ++i)
        fields << QStringLiteral("<P%1_DATA_EDIT>%1").arg(i);
    writeFile(source, legacyBytes(legacyBlock("A", "a", "1", legacyDocument("X", fields)) +
                                  legacyBlock("B", "b", "2", legacyDocument("X", fields))));
    QDir().mkpath(env.programDir());
    TFSQLImport w;
    w.start();
    QString msg;
    QVERIFY(bFunImportDataFromFile(msg, env.programFile("data_tmp.sqtmp"), source, &w));
    QCOMPARE(w.InfoLabel->text(), QString::fromUtf8("importuje świadectwa dla PESEL2"));
    QCOMPARE(w.ProgressBar->maximum(), 200);
    QCOMPARE(w.ProgressBar->value(), 200);
}

QTEST_MAIN(TestSqlImport)
#include "tst_sqlimport.moc"
