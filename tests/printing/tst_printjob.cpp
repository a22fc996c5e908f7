#include "pageimage.h"
#include "printing/printjob.h"
#include "support/noprinters.h"
#include "support/pdfraster.h"
#include "support/testenv.h"

#include <QPrinter>
#include <QtTest>

// Printing without windows: the device rectangle, where a page lands on
// real PDF output, the turned second side, PDF files, and a spooler that
// cannot be reached.
class TestPrintJob : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void deviceRect_data();
    void deviceRect();
    void landsFromThePaperCorner_data();
    void landsFromThePaperCorner();
    void secondPageTurns();
    void pdfFileHoldsEverySide_data();
    void pdfFileHoldsEverySide();
    void firstLineKeepsItsWidth();
    void pdfFileReplacedWhole();
    void pdfFileNotWritable();
    void unreachableSpooler();
    void proposedFileName_data();
    void proposedFileName();

private:
    std::unique_ptr<TestEnv> m_env;
};

// A page with one black rectangle on it, in page units.
static PagePicture markPage(const QRect &mark) {
    PagePicture page;
    page.fillRect(mark, Qt::black);
    return page;
}

void TestPrintJob::init() {
    m_env = std::make_unique<TestEnv>();
    QDir().mkpath(m_env->programDir());
}

void TestPrintJob::cleanup() {
    m_env.reset();
}

void TestPrintJob::deviceRect_data() {
    QTest::addColumn<QList<int>>("mm");     // left, top, right, bottom
    QTest::addColumn<QList<int>>("device"); // dpiX, dpiY, offX, offY
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("600 dpi with an offset")
        << QList<int>{20, 15, 195, 282} << QList<int>{600, 600, 100, 120}
        << QList<int>{372, 234, 4506, 6541};
    // 127 mm is exactly 5 inches: no rounding down to 2999.
    QTest::newRow("exact product") << QList<int>{127, 127, 127, 127} << QList<int>{600, 600, 0, 0}
                                   << QList<int>{3000, 3000, 3000, 3000};
    QTest::newRow("whole A4 at 1200 dpi")
        << QList<int>{0, 0, 210, 297} << QList<int>{1200, 1200, 0, 0}
        << QList<int>{0, 0, 9921, 14031};
    QTest::newRow("resolutions differ") << QList<int>{10, 10, 20, 20} << QList<int>{300, 600, 0, 0}
                                        << QList<int>{118, 236, 236, 472};
    // A negative edge keeps its sign; the fraction is dropped towards zero.
    QTest::newRow("negative edge") << QList<int>{-1, -1, 10, 10} << QList<int>{600, 600, 0, 0}
                                   << QList<int>{-23, -23, 236, 236};
}

void TestPrintJob::deviceRect() {
    QFETCH(QList<int>, mm);
    QFETCH(QList<int>, device);
    QFETCH(QList<int>, expected);
    const structDeviceRect r =
        rectFunDeviceRect(mm[0], mm[1], mm[2], mm[3], device[0], device[1], device[2], device[3]);
    QCOMPARE((QList<int>{r.left, r.top, r.right, r.bottom}), expected);
}

void TestPrintJob::landsFromThePaperCorner_data() {
    QTest::addColumn<bool>("fullPage");
    QTest::addColumn<int>("resolution");
    QTest::newRow("full page, 1200 dpi") << true << 1200;
    QTest::newRow("printable area, 1200 dpi") << false << 1200;
    QTest::newRow("printable area, 300 dpi") << false << 300;
}

void TestPrintJob::landsFromThePaperCorner() {
    QFETCH(bool, fullPage);
    QFETCH(int, resolution);
    const QString pdf = m_env->dataHome() + "/strona.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setResolution(resolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    // Margins as a printer's unprintable edges would give them.
    printer.setPageMargins(QMarginsF(12.7, 10, 6, 8), QPageLayout::Millimeter);
    printer.setFullPage(fullPage);
    const PagePicture page = markPage(QRect(100, 100, 50, 40));
    QString msg;
    QVERIFY(bFunDrawSheets(msg, printer, pdf, {{&page, 20, 15, 195, 282}}));

    const QImage raster = rasterPdfPage(pdf, 1, 600, m_env->dataHome());
    QVERIFY(!raster.isNull());
    const QRectF ink = pixelsToMm(greyInk(raster), 600);
    // Page unit u of the 885 x 1314 page lands at L + u (R - L) / 885 mm.
    const double sx = (195 - 20) / 885.0, sy = (282 - 15) / 1314.0;
    const QRectF expected(QPointF(20 + 100 * sx, 15 + 100 * sy),
                          QPointF(20 + 150 * sx, 15 + 140 * sy));
    const QString seen = QStringLiteral("ink %1,%2 - %3,%4 mm")
                             .arg(ink.left())
                             .arg(ink.top())
                             .arg(ink.right())
                             .arg(ink.bottom());
    QVERIFY2(qAbs(ink.left() - expected.left()) < 0.1, qPrintable(seen));
    QVERIFY2(qAbs(ink.top() - expected.top()) < 0.1, qPrintable(seen));
    QVERIFY2(qAbs(ink.right() - expected.right()) < 0.1, qPrintable(seen));
    QVERIFY2(qAbs(ink.bottom() - expected.bottom()) < 0.1, qPrintable(seen));
}

void TestPrintJob::secondPageTurns() {
    PagePicture page = markPage(QRect(100, 200, 40, 30));
    vFunRotateSecondPage(page);
    // (x, y) goes to (879 - x, 1299 - y): the mark's far corner (140, 230)
    // becomes the near corner (739, 1069).
    QCOMPARE(inkBox(pageImage(page)), QRect(739, 1069, 40, 30));
    // Turned twice, it is back where it was.
    vFunRotateSecondPage(page);
    QCOMPARE(inkBox(pageImage(page)), QRect(100, 200, 40, 30));
}

void TestPrintJob::pdfFileHoldsEverySide_data() {
    QTest::addColumn<int>("sides");
    QTest::addColumn<int>("duplex");
    QTest::newRow("two sides") << 2 << int(Duplex::Off);
    QTest::newRow("two sides, duplex chosen") << 2 << int(Duplex::LongEdge);
    QTest::newRow("one side") << 1 << int(Duplex::Off);
}

void TestPrintJob::pdfFileHoldsEverySide() {
    QFETCH(int, sides);
    QFETCH(int, duplex);
    const PagePicture page1 = markPage(QRect(100, 100, 50, 50));
    const PagePicture page2 = markPage(QRect(600, 1000, 50, 50));
    structPrintOrder order;
    order.pdfFile = m_env->dataHome() + "/Agrest Ewa - MEN-I-1-2 klasa 1.pdf";
    order.sides = sides;
    order.duplex = Duplex(duplex);
    order.rotateSecondPage = true; // not for a file: it is not turned
    order.margins = {QString(), 0, 0, 210, 297, 0, 0, 210, 297};
    int turnOvers = 0;
    structPrintResult result;
    QString msg;
    QVERIFY2(bFunPrintDocument(
                 msg, order, page1, page2,
                 [&] {
                     ++turnOvers;
                     return true;
                 },
                 result),
             qPrintable(msg));
    QCOMPARE(turnOvers, 0);
    QVERIFY(result.jobIds.isEmpty());
    QCOMPARE(pdfPageCount(order.pdfFile), sides);
    if (sides == 2) {
        const QImage second = rasterPdfPage(order.pdfFile, 2, 100, m_env->dataHome());
        const QRectF ink = pixelsToMm(greyInk(second), 100);
        QVERIFY2(qAbs(ink.left() - 600 * 210 / 885.0) < 0.6,
                 qPrintable(QString::number(ink.left())));
        QVERIFY(qAbs(ink.top() - 1000 * 297 / 1314.0) < 0.6);
    }
}

// A page whose first step is a line in the usual pen (an empty field's
// strike, a frame) prints it as wide as every later line, not as a hairline.
void TestPrintJob::firstLineKeepsItsWidth() {
    PagePicture page;
    page.setPen(QPen(Qt::black, 1));
    page.drawLine(100, 300, 700, 300);
    page.setPen(QPen(Qt::red, 1));
    page.setPen(QPen(Qt::black, 1));
    page.drawLine(100, 600, 700, 600);
    structPrintOrder order;
    order.pdfFile = m_env->dataHome() + "/linie.pdf";
    order.margins = {QString(), 0, 0, 210, 297, 0, 0, 210, 297};
    structPrintResult result;
    QString msg;
    QVERIFY2(bFunPrintDocument(msg, order, page, page, {}, result), qPrintable(msg));
    const QImage raster = rasterPdfPage(order.pdfFile, 1, 600, m_env->dataHome());
    // One unit of 297 / 1314 mm: 0.23 mm, about 5 pixels at 600 dpi.
    const double mmPerUnit = 297 / 1314.0;
    for (int y : {300, 600}) {
        const QRect band = mmToPixels(QRectF(50, y * mmPerUnit - 2, 20, 4), 600);
        const QRectF ink = pixelsToMm(greyInk(raster, band), 600);
        QVERIFY2(qAbs(ink.height() - mmPerUnit) < 0.1,
                 qPrintable(QStringLiteral("line at %1: %2 mm").arg(y).arg(ink.height())));
    }
}

void TestPrintJob::pdfFileReplacedWhole() {
    const QString file = m_env->dataHome() + "/wydruk.pdf";
    writeFile(file, "stara zawartość");
    const PagePicture page = markPage(QRect(100, 100, 50, 50));
    structPrintOrder order;
    order.pdfFile = file;
    order.margins = {QString(), 0, 0, 210, 297, 0, 0, 210, 297};
    structPrintResult result;
    QString msg;
    QVERIFY(bFunPrintDocument(msg, order, page, page, {}, result));
    QVERIFY(readFile(file).startsWith("%PDF"));
    QCOMPARE(pdfPageCount(file), 1);
    // Nothing is left beside it.
    QCOMPARE(QDir(m_env->dataHome()).entryList({"wydruk*"}, QDir::Files),
             QStringList{"wydruk.pdf"});
}

void TestPrintJob::pdfFileNotWritable() {
    // A folder that is a file: refused even to root.
    const QString notAFolder = m_env->dataHome() + "/plik";
    writeFile(notAFolder, "x");
    const PagePicture page = markPage(QRect(100, 100, 50, 50));
    structPrintOrder order;
    order.pdfFile = notAFolder + "/wydruk.pdf";
    structPrintResult result;
    QString msg;
    QVERIFY(!bFunPrintDocument(msg, order, page, page, {}, result));
    QVERIFY2(msg.startsWith(QString::fromUtf8("Nie udało się zapisać pliku PDF:\n") +
                            order.pdfFile + QString::fromUtf8("\nPowód: ")),
             qPrintable(msg));
    QVERIFY(msg.size() > msg.indexOf(QString::fromUtf8("Powód: ")) + 7); // a reason is given
    const auto log = logRows(m_env->programDir());
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0].fun, QStringLiteral("bFunPrintDocument()"));
    QCOMPARE(log[0].info, msg);
}

void TestPrintJob::unreachableSpooler() {
#ifdef Q_OS_WIN
    // The spooler is the system's own: it knows no printer of that name.
    const QString reason = QString::fromUtf8("drukarka nie jest znana systemowi drukowania");
#else
    // CUPS_SERVER points at a port where nothing listens (see main).
    const QString reason = QString::fromUtf8("brak połączenia z systemem drukowania");
#endif
    QString msg;
    bool stopped = true;
    QVERIFY(!bFunCheckPrinter(msg, "Biuro", stopped));
    QVERIFY(!stopped);
    QVERIFY2(msg.startsWith(QString::fromUtf8("Błąd otwarcia ustawień drukarki.\nDrukarka: Biuro\n"
                                              "Powód: ") +
                            reason),
             qPrintable(msg));
    QVERIFY(!bFunCanPrintTwoSided("Biuro"));

    const PagePicture page = markPage(QRect(100, 100, 50, 50));
    structPrintOrder order;
    order.printer = "Biuro";
    order.sides = 2;
    order.margins = {QString(), 0, 0, 210, 297, 0, 0, 210, 297};
    int turnOvers = 0;
    structPrintResult result;
    QVERIFY(!bFunPrintDocument(
        msg, order, page, page,
        [&] {
            ++turnOvers;
            return true;
        },
        result));
    QVERIFY2(msg.startsWith(QString::fromUtf8("Drukarka „Biuro” nie przyjęła wydruku.\nPowód: ")),
             qPrintable(msg));
    QCOMPARE(turnOvers, 0); // the first side failed: no turning over
    QVERIFY(result.jobIds.isEmpty());
    QVERIFY(!result.spoolerMessage.isEmpty());
    const auto log = logRows(m_env->programDir());
    QCOMPARE(log.size(), 2);
    QCOMPARE(log[0].fun, QStringLiteral("vFunUstawDrukarke()"));
    QCOMPARE(log[1].fun, QStringLiteral("bFunPrintDocument()"));
}

void TestPrintJob::proposedFileName_data() {
    QTest::addColumn<QString>("pupil");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("expected");
    QTest::newRow("certificate") << "Agrest Ewa" << QString::fromUtf8("MEN-I/1/2 świad. klasa 1")
                                 << "Agrest Ewa - MEN-I-1-2 klasa 1.pdf";
    QTest::newRow("report") << QString::fromUtf8("Bąk Bartosz") << QString::fromUtf8("wywiadówka")
                            << QString::fromUtf8("Bąk Bartosz - wywiadówka.pdf");
    QTest::newRow("record sheet") << "Cis Celina"
                                  << "MEN-I/37b/2 arkusz klasa 2"
                                  << "Cis Celina - MEN-I-37b-2 arkusz klasa 2.pdf";
    QTest::newRow("no pupil") << ""
                              << "MEN-I/37/2 arkusz str. 1"
                              << "MEN-I-37-2 arkusz str. 1.pdf";
    QTest::newRow("characters other systems refuse") << "Kos: \"Jan\""
                                                     << "a/b"
                                                     << "Kos- -Jan- - a-b.pdf";
    QTest::newRow("nothing") << ""
                             << ""
                             << "wydruk.pdf";
}

void TestPrintJob::proposedFileName() {
    QFETCH(QString, pupil);
    QFETCH(QString, label);
    QFETCH(QString, expected);
    QCOMPARE(strFunPdfFileName(pupil, label), expected);
}

SW_TEST_MAIN_WITHOUT_PRINTERS(TestPrintJob)

#include "tst_printjob.moc"
