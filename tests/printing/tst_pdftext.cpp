// A certificate printed into a PDF keeps its text: the pupil's name can be
// found in the file, the file stays small, every text lands where text
// drawn as glyph outlines (the way pages were once recorded) lands, and the
// dots of its dotted lines are those of the preview.
#include "pageimage.h"
#include "printing/printjob.h"
#include "support/hosttools.h"
#include "support/pdfraster.h"
#include "support/scriptedprompts.h"
#include "support/testenv.h"

#include <QPainterPath>
#include <QProcess>
#include <QtTest>
#include <cmath>

namespace {

// Both sides of the rendered document into a PDF file through "Plik PDF",
// with the shipped margin set.
bool printToPdf(const PrintEngine &engine, const QString &file, structPrintOrder &order) {
    order.pdfFile = file;
    order.sides = 2;
    order.margins = {QStringLiteral("Standardowe"), 0, 0, 210, 297, 0, 0, 210, 297};
    QString msg;
    structPrintResult result;
    const bool printed =
        bFunPrintDocument(msg, order, engine.ctx.page1, engine.ctx.page2, {}, result);
    if (!printed)
        qWarning("%s", qPrintable(msg));
    return printed;
}

// A program folder with the calibration and the pictures a certificate prints.
void installPrintFiles(TestEnv &env) {
    env.installShipped(QStringLiteral("bruma_kalibracja.sqset"));
    QDir().mkpath(env.programFile(QStringLiteral("grafika")));
    for (const char *picture : {"orzel.pic", "m_p.bmp"})
        QFile::copy(QCoreApplication::applicationDirPath() + "/grafika/" + picture,
                    env.programFile(QStringLiteral("grafika/")) + picture);
}

// A pupil's grade-1 certificate as a teacher fills it in.
SqlDataList filledCertificate(const DocumentInfo &doc) {
    const QString id = doc.id();
    return {
        {QStringLiteral("DANE UCZNIA"), QStringLiteral("Imie_DATA_EDIT"), QStringLiteral("Ewa")},
        {QStringLiteral("DANE UCZNIA"), QStringLiteral("Nazwisko_DATA_EDIT"),
         QString::fromUtf8("Żabińska")},
        {QStringLiteral("DANE UCZNIA"), QStringLiteral("Plec_DATA_COMBOBOX"),
         QStringLiteral("kobieta")},
        {QStringLiteral("DANE UCZNIA"), QStringLiteral("Pesel_DATA_EDIT"),
         QStringLiteral("14300112345")},
        {id, QStringLiteral("ZMIENNA_Klasa_STR1_DATA_EDIT"), QStringLiteral("pierwszej")},
        {id, QStringLiteral("ZMIENNA_SzkolaMiasto_STR1_DATA_EDIT"), QString::fromUtf8("Łodzi")},
        {id, QStringLiteral("ZMIENNA_Zachowanie_STR2_DATA_MEMO01"),
         QString::fromUtf8("Ewa jest koleżeńska i uczynna.")},
        {id, QStringLiteral("ZMIENNA_ReligiaOcena_STR2_DATA_COMBOBOX"),
         QString::fromUtf8("bardzo dobry")}};
}

} // namespace

class TestPdfText : public QObject {
    Q_OBJECT
private slots:
    void certificateKeepsItsText();
    void dottedLinesStayInTheirRows();
    void dottedCertificateStaysSmallWithRoundDots();
};

void TestPdfText::certificateKeepsItsText() {
    TestEnv env;
    ScriptedPrompts prompts;
    installPrintFiles(env);
    const DocumentInfo &doc = *documentByClass(QStringLiteral("TFKlasa1"));
    const SqlDataList records = filledCertificate(doc);
    PrintEngine engine;
    engine.ctx.printWithoutDots = true; // the ink of a field is its text alone
    engine.ctx.strikeEmptyFields = false;
    engine.vFunRenderDocument(RecordFieldSource(doc, records), doc, true);

    structPrintOrder order;
    QVERIFY(printToPdf(engine, env.dataHome() + QStringLiteral("/swiadectwo.pdf"), order));

    // Real text in embedded fonts: the pupil's name and her memo can be found.
    const HostToolRun text = runHostTool(QStringLiteral("pdftotext"),
                                         {hostPath(order.pdfFile), QStringLiteral("-")}, 20000);
    QVERIFY(text.finished);
    const QString found = QString::fromUtf8(text.standardOutput);
    QVERIFY2(found.contains(QString::fromUtf8("Ewa Żabińska")), qPrintable(found));
    QVERIFY(found.contains(QString::fromUtf8("koleżeńska")));
    const qint64 size = QFileInfo(order.pdfFile).size();
    QVERIFY2(size <= 150 * 1024, qPrintable(QString::number(size)));

    // Every text of side 1 lands where its glyph outlines land, within 0.1 mm
    // at 600 dpi (page unit u lies at u * 210 / 885 mm across, u * 297 / 1314 down).
    const QImage raster = rasterPdfPage(order.pdfFile, 1, 600, env.dataHome());
    QVERIFY(!raster.isNull());
    const QList<PagePicture::TextRun> runs = engine.ctx.page1.textRuns();
    auto toMm = [](const QRectF &units) {
        return QRectF(
            QPointF(units.left() * 210 / kPageWidth, units.top() * 297 / kPageHeight),
            QPointF(units.right() * 210 / kPageWidth, units.bottom() * 297 / kPageHeight));
    };
    int checked = 0;
    for (const PagePicture::TextRun &run : runs) {
        QPainterPath outline;
        outline.addText(run.baseline, run.font, run.text);
        const QRectF glyphs = toMm(outline.boundingRect());
        // Only texts with nothing else of the page near them.
        const QRectF area = glyphs.adjusted(-1.5, -1.5, 1.5, 1.5);
        bool alone = true;
        for (const PagePicture::TextRun &other : runs) {
            if (&other != &run && toMm(other.box()).intersects(area))
                alone = false;
        }
        if (!alone)
            continue;
        const QRectF ink = pixelsToMm(greyInk(raster, mmToPixels(area, 600)), 600);
        const QString seen = QStringLiteral("%1: ink %2,%3-%4,%5 outline %6,%7-%8,%9 mm")
                                 .arg(run.text)
                                 .arg(ink.left())
                                 .arg(ink.top())
                                 .arg(ink.right())
                                 .arg(ink.bottom())
                                 .arg(glyphs.left())
                                 .arg(glyphs.top())
                                 .arg(glyphs.right())
                                 .arg(glyphs.bottom());
        QVERIFY2(qAbs(ink.left() - glyphs.left()) <= 0.1, qPrintable(seen));
        QVERIFY2(qAbs(ink.right() - glyphs.right()) <= 0.1, qPrintable(seen));
        QVERIFY2(qAbs(ink.top() - glyphs.top()) <= 0.1, qPrintable(seen));
        QVERIFY2(qAbs(ink.bottom() - glyphs.bottom()) <= 0.1, qPrintable(seen));
        ++checked;
    }
    qInfo("pdf %lld bytes, %d texts measured", size, checked);
    QVERIFY(checked >= 4);
}

void TestPdfText::dottedLinesStayInTheirRows() {
    TestEnv env;
    ScriptedPrompts prompts;
    env.installShipped(QStringLiteral("bruma_kalibracja.sqset"));
    const DocumentInfo &doc = *documentByClass(QStringLiteral("TFKlasa1"));
    PrintEngine engine;
    engine.ctx.strikeEmptyFields = false;
    engine.vFunRenderDocument(RecordFieldSource(doc, {}), doc, true);
    structPrintOrder order;
    QVERIFY(printToPdf(engine, env.dataHome() + QStringLiteral("/kropki.pdf"), order));
    // An empty certificate prints its dotted lines alone: each row's dots
    // stay between its x1 and x2, where the preview shows them, one every
    // 6 units (1.4 mm).
    const QImage raster = rasterPdfPage(order.pdfFile, 1, 300, env.dataHome());
    QVERIFY(!raster.isNull());
    int checked = 0;
    for (const structCalibData &row : engine.calibList) {
        if (!row.name.contains(QLatin1String("_STR1_LINIA_Z_KROPEK")) || row.x2 - row.x1 < 60)
            continue;
        const double left = row.x1 * 210.0 / kPageWidth, right = row.x2 * 210.0 / kPageWidth;
        const double top = (row.y2 - 14) * 297.0 / kPageHeight,
                     bottom = (row.y2 + 3) * 297.0 / kPageHeight;
        // The band of the row, wider than the row by 20 mm on each side.
        const QRect band =
            mmToPixels(QRectF(QPointF(left - 20, top), QPointF(right + 20, bottom)), 300);
        const QRectF ink = pixelsToMm(greyInk(raster, band), 300);
        // Only rows whose band no other row's dots reach.
        bool alone = !ink.isEmpty();
        for (const structCalibData &other : engine.calibList) {
            if (&other == &row || !other.name.contains(QLatin1String("_STR1_LINIA_Z_KROPEK")))
                continue;
            const QRectF otherMm(
                QPointF(other.x1 * 210.0 / kPageWidth, (other.y2 - 14) * 297.0 / kPageHeight),
                QPointF(other.x2 * 210.0 / kPageWidth, (other.y2 + 3) * 297.0 / kPageHeight));
            if (otherMm.intersects(QRectF(QPointF(left - 20, top), QPointF(right + 20, bottom))))
                alone = false;
        }
        if (!alone)
            continue;
        const QString seen = QStringLiteral("%1: dots %2-%3 mm, row %4-%5 mm")
                                 .arg(row.name)
                                 .arg(ink.left())
                                 .arg(ink.right())
                                 .arg(left)
                                 .arg(right);
        // The last dot starts before x2 and may end up to a dot's glyph past it.
        QVERIFY2(ink.left() >= left - 0.3 && ink.right() <= right + 1.0, qPrintable(seen));
        // Dots across the row, not a few spread thin.
        int dots = 0;
        bool inDot = false;
        const QRect px = mmToPixels(ink, 300);
        for (int x = px.left(); x <= px.right(); ++x) {
            const bool dark = !greyInk(raster, QRect(x, band.top(), 1, band.height())).isEmpty();
            dots += dark && !inDot;
            inDot = dark;
        }
        const int expected = (row.x2 - row.x1 + 5) / 6;
        QVERIFY2(qAbs(dots - expected) <= 1,
                 qPrintable(seen + QStringLiteral(", %1 dots for %2").arg(dots).arg(expected)));
        ++checked;
    }
    QVERIFY(checked >= 5);
}

void TestPdfText::dottedCertificateStaysSmallWithRoundDots() {
    TestEnv env;
    ScriptedPrompts prompts;
    installPrintFiles(env);
    const DocumentInfo &doc = *documentByClass(QStringLiteral("TFKlasa1"));

    // Both sides filled in, dotted and with the empty fields struck through:
    // a few hundred rows of dots are a few hundred strokes, not thousands of
    // curves.
    PrintEngine filled;
    filled.vFunRenderDocument(RecordFieldSource(doc, filledCertificate(doc)), doc, true);
    structPrintOrder order;
    QVERIFY(printToPdf(filled, env.dataHome() + QStringLiteral("/swiadectwo.pdf"), order));
    const qint64 size = QFileInfo(order.pdfFile).size();
    QVERIFY2(size <= 40 * 1024, qPrintable(QString::number(size)));

    // The dots of the paper are the dots of the preview: round, the same
    // size, at the same centres. The PDF's raster is compared at 600 dpi with
    // the page replayed into an image, row by row, in a band around each row.
    PrintEngine empty;
    empty.ctx.strikeEmptyFields = false;
    empty.vFunRenderDocument(RecordFieldSource(doc, {}), doc, true);
    QVERIFY(printToPdf(empty, env.dataHome() + QStringLiteral("/kropki.pdf"), order));
    // Where bFunDrawSheets puts a page of the paper at 1200 dpi, at 600 dpi.
    const QRectF paper = rectFunDeviceRect(0, 0, 210, 297, 1200, 1200, 0, 0).rect();
    const QRectF target(paper.topLeft() / 2, paper.size() / 2);
    const QTransform toPixels =
        QTransform::fromScale(target.width() / kPageWidth, target.height() / kPageHeight);
    int rows = 0;
    for (int side = 1; side <= 2; ++side) {
        const PagePicture &page = side == 1 ? empty.ctx.page1 : empty.ctx.page2;
        const QImage pdf = rasterPdfPage(order.pdfFile, side, 600, env.dataHome());
        QVERIFY(!pdf.isNull());
        QImage preview(pdf.size(), QImage::Format_Grayscale8);
        preview.fill(Qt::white);
        {
            QPainter p(&preview);
            p.setRenderHint(QPainter::Antialiasing);
            vFunDrawPage(p, page, target);
        }
        for (const PagePicture::DotRow &row : page.dotRows()) {
            const qreal r = row.diameter / 2 + 1;
            const QRect band = toPixels
                                   .mapRect(QRectF(row.firstCentre.x() - r, row.firstCentre.y() - r,
                                                   row.step * (row.count - 1) + 2 * r, 2 * r))
                                   .toAlignedRect()
                                   .intersected(pdf.rect());
            // Pixels of ink in either raster, and those ink in one, paper in
            // the other: a dot moved, missing, square or of another size. Not
            // half a dot's worth of them in a row.
            const double dotPixels =
                M_PI / 4 * row.diameter * row.diameter * toPixels.m11() * toPixels.m22();
            int ink = 0, apart = 0;
            for (int y = band.top(); y <= band.bottom(); ++y) {
                const uchar *a = pdf.constScanLine(y), *b = preview.constScanLine(y);
                for (int x = band.left(); x <= band.right(); ++x) {
                    ink += a[x] < 128 || b[x] < 128;
                    apart += (a[x] < 64 && b[x] > 192) || (b[x] < 64 && a[x] > 192);
                }
            }
            QVERIFY2(ink > 0 && apart <= dotPixels / 2,
                     qPrintable(QStringLiteral("side %1, row at %2,%3 of %4 dots: %5 of %6 ink "
                                               "pixels apart, %7 a dot")
                                    .arg(side)
                                    .arg(row.firstCentre.x())
                                    .arg(row.firstCentre.y())
                                    .arg(row.count)
                                    .arg(apart)
                                    .arg(ink)
                                    .arg(dotPixels)));
            ++rows;
        }
    }
    qInfo("pdf of the filled certificate %lld bytes, %d rows of dots compared", size, rows);
    QVERIFY(rows >= 20);
}

QTEST_MAIN(TestPdfText)
#include "tst_pdftext.moc"
