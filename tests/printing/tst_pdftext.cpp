// A certificate printed into a PDF keeps its text: the pupil's name can be
// found in the file, the file stays small, and every text lands where text
// drawn as glyph outlines (the way pages were once recorded) lands.
#include "pageimage.h"
#include "printing/printjob.h"
#include "support/pdfraster.h"
#include "support/scriptedprompts.h"
#include "support/testenv.h"

#include <QPainterPath>
#include <QProcess>
#include <QtTest>

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

} // namespace

class TestPdfText : public QObject {
    Q_OBJECT
private slots:
    void certificateKeepsItsText();
    void dottedLinesStayInTheirRows();
};

void TestPdfText::certificateKeepsItsText() {
    TestEnv env;
    ScriptedPrompts prompts;
    env.installShipped(QStringLiteral("bruma_kalibracja.sqset"));
    QDir().mkpath(env.programFile(QStringLiteral("grafika")));
    for (const char *picture : {"orzel.svg", "m_p.bmp"})
        QFile::copy(QCoreApplication::applicationDirPath() + "/grafika/" + picture,
                    env.programFile(QStringLiteral("grafika/")) + picture);

    const DocumentInfo &doc = *documentByClass(QStringLiteral("TFKlasa1"));
    const QString id = doc.id();
    const SqlDataList records{
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
    PrintEngine engine;
    engine.ctx.printWithoutDots = true; // the ink of a field is its text alone
    engine.ctx.strikeEmptyFields = false;
    engine.vFunRenderDocument(RecordFieldSource(doc, records), doc, true);

    structPrintOrder order;
    QVERIFY(printToPdf(engine, env.dataHome() + QStringLiteral("/swiadectwo.pdf"), order));

    // Real text in embedded fonts: the pupil's name and her memo can be found.
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {order.pdfFile, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(20000));
    const QString found = QString::fromUtf8(text.readAllStandardOutput());
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

QTEST_MAIN(TestPdfText)
#include "tst_pdftext.moc"
