#include "printing/pagepicture.h"
#include "support/pdfraster.h"

#include <QPainter>
#include <QPdfWriter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

// The program prints the emblem from the vector picture the data build makes
// of its SVG, without the SVG module. The picture must land where the SVG
// drawn into the same rectangle lands, on an image and in a PDF.
class TestEmblem : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void sameInkAsTheSvg_data();
    void sameInkAsTheSvg();
    void staysVectorInPdf_data();
    void staysVectorInPdf();

private:
    QString m_picture, m_svg;
};

namespace {

QImage blank(qreal scale) {
    QImage img(qRound(kPageWidth * scale), qRound(kPageHeight * scale), QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

QImage svgDrawn(const QString &svg, const QRectF &rect, qreal scale) {
    QImage img = blank(scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    QSvgRenderer(svg).render(&p, rect);
    return img;
}

QImage pictureDrawn(const QString &picture, const QRectF &rect, qreal scale) {
    PagePicture page;
    page.drawVectorPicture(rect, picture);
    QImage img = blank(scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    page.replay(p, img.rect());
    return img;
}

// Pixels whose grey differs by more than a quarter of the scale.
int differingPixels(const QImage &a, const QImage &b) {
    const QImage ga = a.convertToFormat(QImage::Format_Grayscale8);
    const QImage gb = b.convertToFormat(QImage::Format_Grayscale8);
    int count = 0;
    for (int y = 0; y < ga.height(); ++y) {
        const uchar *la = ga.constScanLine(y), *lb = gb.constScanLine(y);
        for (int x = 0; x < ga.width(); ++x)
            count += qAbs(int(la[x]) - int(lb[x])) > 64;
    }
    return count;
}

int inkPixels(const QImage &img) {
    const QImage g = img.convertToFormat(QImage::Format_Grayscale8);
    int count = 0;
    for (int y = 0; y < g.height(); ++y) {
        const uchar *line = g.constScanLine(y);
        for (int x = 0; x < g.width(); ++x)
            count += line[x] < 128;
    }
    return count;
}

} // namespace

void TestEmblem::initTestCase() {
    m_picture = QCoreApplication::applicationDirPath() + QStringLiteral("/grafika/orzel.pic");
    m_svg = QStringLiteral(SW_EMBLEM_SVG);
    QVERIFY(QFile::exists(m_picture));
    QVERIFY(QSvgRenderer(m_svg).isValid());
}

void TestEmblem::sameInkAsTheSvg_data() {
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<qreal>("scale");
    // The shipped place on the certificate, and places of other shapes: the
    // picture is stretched as the SVG was, not kept at its own proportions.
    QTest::newRow("certificate") << QRectF(QPointF(392, 134), QPointF(490, 261)) << 1.0;
    QTest::newRow("certificate, 300 dpi") << QRectF(QPointF(392, 134), QPointF(490, 261)) << 3.125;
    QTest::newRow("wide") << QRectF(100, 300, 400, 90) << 1.0;
    QTest::newRow("tall") << QRectF(600, 200, 70, 500) << 1.0;
    QTest::newRow("small") << QRectF(20.5, 40.25, 23, 31) << 2.0;
}

void TestEmblem::sameInkAsTheSvg() {
    QFETCH(QRectF, rect);
    QFETCH(qreal, scale);
    const QImage svg = svgDrawn(m_svg, rect, scale);
    const QImage picture = pictureDrawn(m_picture, rect, scale);
    const QRect svgInk = greyInk(svg.convertToFormat(QImage::Format_Grayscale8));
    const QRect pictureInk = greyInk(picture.convertToFormat(QImage::Format_Grayscale8));
    QVERIFY(!svgInk.isEmpty());
    QCOMPARE(pictureInk, svgInk);
    const int differing = differingPixels(svg, picture);
    QVERIFY2(
        differing * 100 <= inkPixels(svg),
        qPrintable(
            QStringLiteral("%1 pixels differ of %2 inked").arg(differing).arg(inkPixels(svg))));
}

void TestEmblem::staysVectorInPdf_data() {
    QTest::addColumn<int>("resolution");
    QTest::newRow("72 dpi") << 72;
    QTest::newRow("1200 dpi, as printed") << 1200;
}

void TestEmblem::staysVectorInPdf() {
    QFETCH(int, resolution);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("emblem.pdf"));
    const QRectF rect(QPointF(392, 134), QPointF(490, 261));
    {
        // One point a page unit: a page unit is a pixel at 72 dpi.
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QSizeF(kPageWidth, kPageHeight), QPageSize::Point));
        writer.setPageMargins(QMarginsF());
        writer.setResolution(resolution);
        QPainter p(&writer);
        PagePicture page;
        page.drawVectorPicture(rect, m_picture);
        page.replay(p, QRectF(0, 0, writer.width(), writer.height()));
    }
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY2(!bytes.contains("/Subtype /Image"), "the emblem went into the PDF as a bitmap");

    const int dpi = 144;
    const QImage raster = rasterPdfPage(pdf, 1, dpi, dir.path());
    QVERIFY(!raster.isNull());
    const QRect pdfInk = greyInk(raster);
    const QRect svgInk =
        greyInk(svgDrawn(m_svg, rect, dpi / 72.0).convertToFormat(QImage::Format_Grayscale8));
    QVERIFY(!svgInk.isEmpty());
    // The rasterisers differ in their anti-aliasing by a pixel at most.
    for (int d : {pdfInk.left() - svgInk.left(), pdfInk.top() - svgInk.top(),
                  pdfInk.right() - svgInk.right(), pdfInk.bottom() - svgInk.bottom()})
        QVERIFY2(qAbs(d) <= 1, qPrintable(QStringLiteral("PDF ink %1,%2 %3x%4, SVG %5,%6 %7x%8")
                                              .arg(pdfInk.x())
                                              .arg(pdfInk.y())
                                              .arg(pdfInk.width())
                                              .arg(pdfInk.height())
                                              .arg(svgInk.x())
                                              .arg(svgInk.y())
                                              .arg(svgInk.width())
                                              .arg(svgInk.height())));
}

QTEST_MAIN(TestEmblem)
#include "tst_emblem.moc"
