#include "document/fieldnames.h"
#include "pageimage.h"
#include "printing/testprint.h"
#include "support/testenv.h"

#include <QtTest>

// The pages and the scales of a test print, without a printer.
class TestTestPrint : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void shortNames_data();
    void shortNames();
    void outlinesOfTheVariableFields_data();
    void outlinesOfTheVariableFields();
    void scalesStartWhereThePrinterCanPrint_data();
    void scalesStartWhereThePrinterCanPrint();

private:
    std::unique_ptr<TestEnv> m_env;
};

void TestTestPrint::init() {
    m_env = std::make_unique<TestEnv>();
    m_env->installShipped("bruma_kalibracja.sqset");
}

void TestTestPrint::cleanup() {
    m_env.reset();
}

void TestTestPrint::shortNames_data() {
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("shown");
    QTest::newRow("edit") << "ZMIENNA_ImieNazwisko_STR1_DATA_EDIT"
                          << "ImieNazwisko";
    QTest::newRow("one-sided") << "ZMIENNA_KsiegaUczenNr_DATA_EDIT"
                               << "KsiegaUczenNr";
    QTest::newRow("drop-down") << "ZMIENNA_ReligiaOcena_STR2_DATA_COMBOBOX"
                               << "ReligiaOcena";
    QTest::newRow("memo line") << "ZMIENNA_Zachowanie_STR2_DATA_MEMO03"
                               << "Zachowanie 03";
}

void TestTestPrint::shortNames() {
    QFETCH(QString, row);
    QFETCH(QString, shown);
    QCOMPARE(strFunTestFieldName(row), shown);
}

void TestTestPrint::outlinesOfTheVariableFields_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("window");
    QTest::newRow("certificate") << "klasa_1_3"
                                 << "TFKlasa1";
    QTest::newRow("report") << "wywiadowka"
                            << "TFWywiadowka";
    QTest::newRow("MEN-I/37/2 page 1") << "arkusz_str1"
                                       << "TFArkuszStr1Kl1";
}

// Every variable field is outlined on its side, exactly along its row; the
// form's texts, dotted lines and graphics are not drawn; a cross marks each
// corner of the page.
void TestTestPrint::outlinesOfTheVariableFields() {
    QFETCH(QString, table);
    QFETCH(QString, window);
    const DocumentInfo &doc = *documentByClass(window);
    QString msg;
    CalibList rows;
    QVERIFY2(bFunCalibLoadData(msg, m_env->programFile("bruma_kalibracja.sqset"), table, rows),
             qPrintable(msg));
    PagePicture page1, page2;
    vFunRenderTestPages(rows, doc, page1, page2);
    const QImage pages[] = {pageImage(page1), pageImage(page2)};
    QCOMPARE(page2.isEmpty(), doc.sides == 1);
    int outlined = 0;
    for (const structCalibData &r : rows) {
        const QImage &page = pages[doc.sides == 2 && r.name.contains("_STR2_") ? 1 : 0];
        const QRect rect(QPoint(r.x1, r.y1), QPoint(r.x2, r.y2));
        if (r.name.startsWith("ZMIENNA_") && fieldKind(r.name) != FieldKind::None) {
            // The outline's ink on all four edges of the row, and none just
            // below its top (the name stands clear of the outline).
            const int cx = (r.x1 + r.x2) / 2, cy = (r.y1 + r.y2) / 2;
            auto dark = [&](int x, int y) { return qGray(page.pixel(x, y)) < 128; };
            QVERIFY2(dark(r.x1, cy) && dark(r.x2, cy) && dark(cx, r.y1) && dark(cx, r.y2) &&
                         !dark(cx, r.y1 + 1),
                     qPrintable(r.name));
            ++outlined;
        } else if (r.name.startsWith("GRAFIKA: ORZELEK")) {
            QCOMPARE(inkBox(page, rect), QRect());
        }
    }
    QVERIFY(outlined > 10);
    for (int side = 0; side < doc.sides; ++side) {
        // The crosses' arms end at the page's edges.
        QCOMPARE(inkBox(pages[side], QRect(0, 0, 40, 40)), QRect(0, 0, 30, 30));
        QCOMPARE(inkBox(pages[side], QRect(kPageWidth - 40, kPageHeight - 40, 40, 40)),
                 QRect(kPageWidth - 30, kPageHeight - 30, 30, 30));
    }
}

void TestTestPrint::scalesStartWhereThePrinterCanPrint_data() {
    QTest::addColumn<QPointF>("corner"); // the paper's corner on the painter, dots
    QTest::addColumn<QRectF>("printable");
    QTest::newRow("full page") << QPointF(0, 0) << QRectF(0, 0, 210, 297);
    QTest::newRow("printer margins") << QPointF(-32, -45) << QRectF(3.2, 4.5, 202.6, 288);
}

// At 10 dots per millimetre: a mark every millimetre from where the printer
// can print, the long ones every 10 mm, nothing outside the printable area.
void TestTestPrint::scalesStartWhereThePrinterCanPrint() {
    QFETCH(QPointF, corner);
    QFETCH(QRectF, printable);
    QImage img(2100, 2970, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        p.translate(-corner); // the image is the whole sheet
        structPaperArea paper;
        paper.corner = corner;
        paper.dotsPerMmX = paper.dotsPerMmY = 10;
        paper.printable = printable;
        vFunDrawScales(p, paper, QStringLiteral("Wydruk próbny"));
    }
    const int left = int(std::ceil(printable.left() * 10)), top = int(printable.top() * 10);
    QCOMPARE(inkBox(img, QRect(0, 0, left, 2970)), QRect());
    QCOMPARE(inkBox(img, QRect(0, 0, 2100, top)), QRect());
    // The top scale: a column of ink at every whole millimetre, as long as
    // its kind of mark.
    auto columnLength = [&](int x) {
        int n = 0;
        for (int y = top; y < top + 53; ++y) // above the labels
            n += qGray(img.pixel(x, y)) < 128 ? 1 : 0;
        return n;
    };
    const int first = int(std::ceil(printable.left()));
    QCOMPARE(columnLength(first * 10), first % 10 == 0 ? 50 : first % 5 == 0 ? 35 : 20);
    QCOMPARE(columnLength(100), 50);
    QCOMPARE(columnLength(150), 35);
    QCOMPARE(columnLength(170), 20);
    QCOMPARE(columnLength(175), 0); // between the marks
    // Labelled under the long marks: "10" stands under 10 mm.
    const QRect label = inkBox(img, QRect(80, top + 52, 40, 40));
    QVERIFY(!label.isEmpty());
    QVERIFY(qAbs(label.center().x() - 100) <= 3);
    // The left scale starts below the top scale's labels: its first mark is
    // the first whole millimetre there.
    const int below = int(std::ceil(printable.top() + kScaleTopBand)) * 10;
    const QRect firstMark = inkBox(img, QRect(left + 17, top + 53, 1, below + 5 - top - 53));
    QVERIFY(qAbs(firstMark.top() + firstMark.height() / 2.0 - below) <= 0.5);
    QVERIFY(!inkBox(img, QRect(left, 2000 - 1, 50, 3)).isEmpty()); // the 200 mm mark
}

QTEST_MAIN(TestTestPrint)
#include "tst_testprint.moc"
