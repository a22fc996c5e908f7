#include "printing/classprint.h"
#include "support/classfile.h"
#include "support/pdfraster.h"
#include "support/testenv.h"

#include <QGuiApplication>
#include <QtTest>

// A whole class without windows: the order of the sheets for every way of
// printing, a PDF of the class read back page by page, a pupil that cannot
// be read, and stopping midway.
class TestClassPrint : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void sheetOrder_data();
    void sheetOrder();
    void pdfPupilAfterPupil_data();
    void pdfPupilAfterPupil();
    void unreadablePupilNamed();
    void noPupilReadable();
    void cancelWritesNothing_data();
    void cancelWritesNothing();

private:
    structClassRequest request(const DocumentInfo *doc) const;
    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_class;
};

void TestClassPrint::init() {
    m_env = std::make_unique<TestEnv>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_env->installShipped(QStringLiteral("bruma_kalibracja.sqset"));
    QDir().mkpath(m_env->programFile(QStringLiteral("grafika")));
    for (const char *name : {"grafika/orzel.pic", "grafika/m_p.bmp"})
        m_env->installShipped(QString::fromLatin1(name));
    m_class = m_dir->filePath(QStringLiteral("klasa.sqbr5"));
    writeClassFile(m_class, {{"03", "Cis", "Adam"}, {"01", "Agrest", "Ewa"}, {"02", "Buk", "Jan"}});
}

void TestClassPrint::cleanup() {
    m_env.reset();
    m_dir.reset();
}

structClassRequest TestClassPrint::request(const DocumentInfo *doc) const {
    structClassRequest r;
    r.classFile = m_class;
    r.document = doc;
    r.pupils = {{QStringLiteral("Agrest Ewa"), QStringLiteral("PESEL01")},
                {QStringLiteral("Buk Jan"), QStringLiteral("PESEL02")},
                {QStringLiteral("Cis Adam"), QStringLiteral("PESEL03")}};
    r.order.pdfFile = m_dir->filePath(QStringLiteral("klasa.pdf"));
    r.order.margins = {QStringLiteral("cała strona"), 0, 0, 210, 297, 0, 0, 210, 297};
    return r;
}

void TestClassPrint::sheetOrder_data() {
    QTest::addColumn<QString>("printer"); // empty: a PDF file
    QTest::addColumn<int>("sides");
    QTest::addColumn<int>("duplex");
    QTest::addColumn<bool>("reverse");
    QTest::addColumn<QStringList>("jobs"); // per job: its sheets, and how it prints
    QTest::newRow("PDF") << "" << 2 << 0 << true << QStringList{"A1 A2 B1 B2 C1 C2 / off"};
    QTest::newRow("duplex") << "Dwustronna" << 2 << 1 << true
                            << QStringList{"A1 A2 B1 B2 C1 C2 / long"};
    QTest::newRow("duplex short edge")
        << "Dwustronna" << 2 << 2 << false << QStringList{"A1 A2 B1 B2 C1 C2 / short"};
    QTest::newRow("two passes") << "Jednostronna" << 2 << 0 << false
                                << QStringList{"A1 B1 C1 / off", "A2 B2 C2 / off"};
    QTest::newRow("two passes, backs reversed")
        << "Jednostronna" << 2 << 0 << true << QStringList{"A1 B1 C1 / off", "C2 B2 A2 / off"};
    QTest::newRow("one-sided document on a duplex printer")
        << "Dwustronna" << 1 << 1 << true << QStringList{"A1 B1 C1 / off"};
}

void TestClassPrint::sheetOrder() {
    QFETCH(QString, printer);
    QFETCH(int, sides);
    QFETCH(int, duplex);
    QFETCH(bool, reverse);
    QFETCH(QStringList, jobs);
    QList<structPupilPages> pages(3);
    for (int i = 0; i < 3; ++i)
        pages[i].pupil = QString(QChar('A' + i));
    structPrintOrder order;
    order.printer = printer;
    order.sides = sides;
    order.duplex = Duplex(duplex);
    order.margins = {QString(), 1, 2, 3, 4, 5, 6, 7, 8};
    const structClassJobs out = structFunClassJobs(order, pages, reverse);
    QCOMPARE(out.pupils.size(), out.jobs.size());
    QStringList seen;
    for (int j = 0; j < out.jobs.size(); ++j) {
        QStringList sheets, owners;
        for (const structSheet &sheet : out.jobs[j].sheets) {
            const QList<int> edges{sheet.left, sheet.top, sheet.right, sheet.bottom};
            QString name = QStringLiteral("?");
            for (const structPupilPages &p : pages) {
                // Each side in the rectangle of its own side of the sheet.
                if (sheet.page == &p.page1 && edges == QList<int>{1, 2, 3, 4})
                    name = p.pupil + '1';
                if (sheet.page == &p.page2 && edges == QList<int>{5, 6, 7, 8})
                    name = p.pupil + '2';
            }
            sheets << name;
            owners << name.left(1);
        }
        QCOMPARE(out.pupils[j], owners);
        const char *const how[] = {"off", "long", "short"};
        seen << sheets.join(' ') + " / " + how[int(out.jobs[j].duplex)];
    }
    QCOMPARE(seen, jobs);
}

void TestClassPrint::pdfPupilAfterPupil_data() {
    QTest::addColumn<QString>("document");
    QTest::addColumn<QStringList>("pages");
    QTest::newRow("certificate, both sides")
        << QString::fromUtf8("MEN-I/1/2 świad. klasa 1")
        << QStringList{"Agrest 1", "Agrest 2", "Buk 1", "Buk 2", "Cis 1", "Cis 2"};
    QTest::newRow("one-sided report")
        << QString::fromUtf8("wywiadówka") << QStringList{"Agrest 1", "Buk 1", "Cis 1"};
    QTest::newRow("record sheet title page") << QString::fromUtf8("MEN-I/37/2 arkusz str. 1")
                                             << QStringList{"Agrest 1", "Buk 1", "Cis 1"};
}

void TestClassPrint::pdfPupilAfterPupil() {
    QFETCH(QString, document);
    QFETCH(QStringList, pages);
    const structClassRequest r = request(documentByLabel(document));
    QList<int> steps;
    structClassCallbacks callbacks;
    callbacks.progress = [&](int done, int total, const QString &) {
        steps << done << total;
        return true;
    };
    structClassOutcome outcome;
    QString msg;
    QVERIFY2(bFunPrintClass(msg, r, callbacks, outcome), qPrintable(msg));
    QCOMPARE(pdfPageOwners(r.order.pdfFile, {"Agrest", "Buk", "Cis"}), pages);
    QCOMPARE(outcome.pupilsPrinted, 3);
    QCOMPARE(outcome.pages, pages.size());
    QVERIFY(outcome.failures.isEmpty());
    QVERIFY(!outcome.cancelled);
    // A step for each pupil rendered and for each sheet drawn, in order.
    const int total = 3 + int(pages.size());
    QCOMPARE(steps.size(), 2 * total);
    for (int i = 0; i < total; ++i) {
        QCOMPARE(steps[2 * i], i);
        QCOMPARE(steps[2 * i + 1], i < 3 ? 3 * (1 + r.document->sides) : total);
    }
}

void TestClassPrint::unreadablePupilNamed() {
    addUnreadablePupil(m_class, "04", "Dab");
    structClassRequest r = request(documentByLabel(QString::fromUtf8("MEN-I/1/2 świad. klasa 1")));
    r.pupils.insert(1, {QStringLiteral("Dab "), QStringLiteral("PESEL04")});
    structClassOutcome outcome;
    QString msg;
    QVERIFY2(bFunPrintClass(msg, r, {}, outcome), qPrintable(msg));
    QCOMPARE(outcome.failures.size(), 1);
    QCOMPARE(outcome.failures[0].pupil, QStringLiteral("Dab "));
    QVERIFY2(outcome.failures[0].reason.contains("PESEL04"),
             qPrintable(outcome.failures[0].reason));
    QCOMPARE(pdfPageOwners(r.order.pdfFile, {"Agrest", "Buk", "Cis", "Dab"}),
             (QStringList{"Agrest 1", "Agrest 2", "Buk 1", "Buk 2", "Cis 1", "Cis 2"}));
    QCOMPARE(outcome.pupilsPrinted, 3);
}

void TestClassPrint::noPupilReadable() {
    addUnreadablePupil(m_class, "04", "Dab");
    structClassRequest r = request(documentByLabel(QString::fromUtf8("wywiadówka")));
    r.pupils = {{QStringLiteral("Dab "), QStringLiteral("PESEL04")},
                {QStringLiteral("Zniknal "), QStringLiteral("PESEL99")}};
    structClassOutcome outcome;
    QString msg;
    QVERIFY(!bFunPrintClass(msg, r, {}, outcome));
    QCOMPARE(msg, QString::fromUtf8("Nie udało się wczytać danych żadnego z wybranych uczniów:\n"
                                    "Dab\nZniknal\nNic nie zostało wydrukowane."));
    QVERIFY(!outcome.cancelled);
    QVERIFY(!QFile::exists(r.order.pdfFile));
    QCOMPARE(logRows(m_env->programDir()).last().fun, QStringLiteral("bFunPrintClass()"));
}

void TestClassPrint::cancelWritesNothing_data() {
    QTest::addColumn<int>("stopAt");
    QTest::newRow("before the first pupil") << 0;
    QTest::newRow("while rendering") << 2;
    QTest::newRow("while drawing the sheets") << 5;
    QTest::newRow("at the last sheet") << 8;
}

void TestClassPrint::cancelWritesNothing() {
    QFETCH(int, stopAt);
    const structClassRequest r =
        request(documentByLabel(QString::fromUtf8("MEN-I/1/2 świad. klasa 1")));
    // A file of the same name from before stays as it was.
    writeFile(r.order.pdfFile, "poprzedni wydruk");
    int last = -1;
    structClassCallbacks callbacks;
    callbacks.progress = [&](int done, int, const QString &) {
        last = done;
        return done < stopAt;
    };
    structClassOutcome outcome;
    QString msg = QStringLiteral("stale");
    QVERIFY(!bFunPrintClass(msg, r, callbacks, outcome));
    QVERIFY(outcome.cancelled);
    QCOMPARE(msg, QString());
    QCOMPARE(last, stopAt); // nothing went on after the stop
    QCOMPARE(readFile(r.order.pdfFile), QByteArray("poprzedni wydruk"));
    QVERIFY(outcome.print.jobIds.isEmpty());
}

QTEST_MAIN(TestClassPrint)
#include "tst_classprint.moc"
