#include "printing/preview.h"

#include <QPainter>
#include <QtTest>

// A side of the preview draws its grey picture of the blank form in colour,
// only within the part it is asked for, every grey kept as it is.
class TestPreviewSide : public QObject {
    Q_OBJECT
private slots:
    void greyPartsKeepTheirGreys_data();
    void greyPartsKeepTheirGreys();
};

void TestPreviewSide::greyPartsKeepTheirGreys_data() {
    QTest::addColumn<QRect>("exposed");
    // Parts narrower, as wide and wider than the conversion's steps of 16,
    // at odd places and running past the picture.
    QTest::newRow("whole") << QRect(0, 0, 53, 7);
    QTest::newRow("one pixel") << QRect(20, 3, 1, 1);
    QTest::newRow("15 wide at an odd column") << QRect(3, 1, 15, 4);
    QTest::newRow("16 wide") << QRect(16, 0, 16, 7);
    QTest::newRow("33 wide") << QRect(7, 2, 33, 3);
    QTest::newRow("past the right and lower edges") << QRect(40, 5, 30, 30);
}

void TestPreviewSide::greyPartsKeepTheirGreys() {
    QFETCH(QRect, exposed);
    PreviewSide side;
    side.base = QImage(53, 7, QImage::Format_Grayscale8);
    // Every grey from black to white appears, black and white included.
    for (int y = 0; y < side.base.height(); ++y) {
        for (int x = 0; x < side.base.width(); ++x)
            side.base.scanLine(y)[x] = uchar(std::min(255, (y * 53 + x) * 255 / 370));
    }
    QImage canvas(side.base.size(), QImage::Format_RGB32);
    const QRgb untouched = qRgb(200, 0, 100);
    canvas.fill(untouched);
    {
        QPainter painter(&canvas);
        side.paint(painter, exposed);
    }
    const QRect drawn = exposed.intersected(side.base.rect());
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const int g = side.base.constScanLine(y)[x];
            const QRgb expected = drawn.contains(x, y) ? qRgb(g, g, g) : untouched;
            if (canvas.pixel(x, y) != expected)
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) is %3, not %4")
                                     .arg(x)
                                     .arg(y)
                                     .arg(canvas.pixel(x, y), 8, 16)
                                     .arg(expected, 8, 16)));
        }
    }
}

QTEST_MAIN(TestPreviewSide)
#include "tst_previewside.moc"
