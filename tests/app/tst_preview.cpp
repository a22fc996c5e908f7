// The preview fits the screen: fitted to the width or to the whole page, or
// at a size of the teacher's own between 25 % and 200 %, by buttons, Ctrl and
// the wheel or Ctrl+plus / Ctrl+minus, remembered for the next start; the
// text is drawn afresh at the settled size, and a calibrated object's outline
// stays on its object at any zoom.
#include "apptest.h"

#include "printing/calibstore.h"

#include <QAbstractButton>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

class TestPreview : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void modesGiveTheirScale_data();
    void modesGiveTheirScale();
    void wheelAndKeysStepTheZoom();
    void zoomIsRemembered();
    void outlineStaysOnItsObject_data();
    void outlineStaysOnItsObject();
    void eachPartPaintedIsThePicture_data();
    void eachPartPaintedIsThePicture();

private:
    TFGlowna *showClass(const QSize &size);
    std::unique_ptr<AppFixture> f;
    std::unique_ptr<QTemporaryDir> docs;
};

void TestPreview::init() {
    f = std::make_unique<AppFixture>();
    docs = std::make_unique<QTemporaryDir>();
}

void TestPreview::cleanup() {
    f.reset();
    docs.reset();
}

void TestPreview::eachPartPaintedIsThePicture_data() {
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QRect>("part");
    QTest::newRow("100 %, the top corner") << 1.0 << QRect(0, 0, 400, 300);
    QTest::newRow("100 %, the name's line") << 1.0 << QRect(120, 250, 700, 160);
    QTest::newRow("100 %, low on the page") << 1.0 << QRect(60, 1000, 600, 200);
    QTest::newRow("75 %, a strip across") << 0.75 << QRect(0, 401, 773, 37);
}

// The page draws only the part it is asked to paint (scrolling, a covered
// corner shown again): each part is exactly that part of the whole picture.
void TestPreview::eachPartPaintedIsThePicture() {
    QFETCH(double, zoom);
    QFETCH(QRect, part);
    TFGlowna *g = showClass(QSize(1100, 800));
    QVERIFY(g);
    g->setPreviewZoom(zoom);
    QTRY_COMPARE(g->Image1->pictureSize().width(), qRound(1031 * zoom));
    for (PreviewPage *page : {g->Image1, g->Image2}) {
        const QImage whole = page->picture();
        const QImage expected = whole.copy(part);
        QSet<QRgb> shades; // the part holds a drawing, not one blank colour
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x)
                shades.insert(expected.pixel(x, y));
        QVERIFY(shades.size() > 2);
        const QImage painted = page->grab(part).toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(painted, expected);
    }
}

TFGlowna *TestPreview::showClass(const QSize &size) {
    TFGlowna *g = f->start();
    if (!g->StartUpChecks())
        return nullptr;
    const QString file = docs->filePath("klasa.sqbr5");
    makeClassFile(file, {{"11111111111", "Agrest", "Ewa", "kobieta"}});
    g->openCommandLineDocument(file);
    g->resize(size);
    g->show();
    QCoreApplication::processEvents();
    g->TreeView->setCurrentItem(g->TreeView->topLevelItem(0)->child(0));
    return g;
}

void TestPreview::modesGiveTheirScale_data() {
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QString>("button");
    QTest::newRow("1366 x 768, width") << QSize(1366, 768) << "ZoomFitWidth";
    QTest::newRow("1366 x 768, whole page") << QSize(1366, 768) << "ZoomWholePage";
    QTest::newRow("1024 x 700, width") << QSize(1024, 700) << "ZoomFitWidth";
    QTest::newRow("1024 x 700, 100 %") << QSize(1024, 700) << "ZoomActualSize";
}

void TestPreview::modesGiveTheirScale() {
    QFETCH(QSize, window);
    QFETCH(QString, button);
    TFGlowna *g = showClass(window);
    QVERIFY(g);
    g->findChild<QAbstractButton *>(button)->click();
    // Drawn afresh at the settled size, not stretched.
    QTRY_VERIFY(!g->Image1->isStretched() &&
                g->Image1->pictureSize().width() == qRound(1031 * g->previewZoom()));
    QCOMPARE(g->Image1->pictureSize().height(), qRound(1462 * g->previewZoom()));
    const QSize room = g->ScrollBox1->viewport()->size();
    const double width = (room.width() - 4) / 1031.0;
    const double expected = button == "ZoomFitWidth" ? width
                            : button == "ZoomWholePage"
                                ? std::min(width, (room.height() - 4) / 1462.0)
                                : 1.0;
    QVERIFY2(qAbs(g->previewZoom() - expected) < 0.001,
             qPrintable(QString::number(g->previewZoom())));
    // The whole page fits without scrolling; the width fits without a
    // horizontal scroll bar.
    if (button == "ZoomWholePage")
        QVERIFY(g->Image1->height() <= room.height());
    if (button != "ZoomActualSize")
        QVERIFY(g->Image1->width() <= room.width());
}

void TestPreview::wheelAndKeysStepTheZoom() {
    TFGlowna *g = showClass(QSize(1100, 800));
    QVERIFY(g);
    g->findChild<QAbstractButton *>("ZoomActualSize")->click();
    QWidget *viewport = g->ScrollBox1->viewport();
    const QPointF at(50, 50);
    QWheelEvent up(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &up);
    QVERIFY(qAbs(g->previewZoom() - 1.1) < 0.001);
    QCOMPARE(g->ScrollBox1->verticalScrollBar()->value(), 0); // zoomed, not scrolled
    // The picture follows at once, stretched, until the zoom settles.
    QCOMPARE(g->Image1->width(), qRound(1031 * 1.1));
    QTest::keyClick(g, Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(g, Qt::Key_Minus, Qt::ControlModifier);
    QVERIFY(qAbs(g->previewZoom() - 1.0 / 1.1) < 0.001);
    for (int i = 0; i < 30; ++i)
        QTest::keyClick(g, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(g->previewZoom(), 0.25);
    for (int i = 0; i < 30; ++i)
        QTest::keyClick(g, Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(g->previewZoom(), 2.0);
    QTest::keyClick(g, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(g->previewZoom(), 1.0);
    QTRY_COMPARE(g->Image1->pictureSize().width(), 1031);
}

void TestPreview::zoomIsRemembered() {
    TFGlowna *g = showClass(QSize(1100, 800));
    QVERIFY(g);
    g->setPreviewZoom(1.5);
    QTRY_COMPARE(g->Image1->pictureSize().width(), qRound(1031 * 1.5)); // settled, so stored
    g->findChild<QAbstractButton *>("ZoomWholePage")->click();
    QTRY_VERIFY(g->Image1->pictureSize().width() < 1031);
    g = showClass(QSize(1100, 800)); // the next start
    QVERIFY(g);
    QCOMPARE(g->zoomMode(), TFGlowna::ZoomMode::WholePage);
    g->setPreviewZoom(1.5);
    QTRY_COMPARE(g->Image1->pictureSize().width(), qRound(1031 * 1.5));
    g = showClass(QSize(1100, 800));
    QCOMPARE(g->zoomMode(), TFGlowna::ZoomMode::Custom);
    QCOMPARE(g->previewZoom(), 1.5);
}

void TestPreview::outlineStaysOnItsObject_data() {
    QTest::addColumn<double>("zoom");
    QTest::newRow("50 %") << 0.5;
    QTest::newRow("150 %") << 1.5;
}

void TestPreview::outlineStaysOnItsObject() {
    QFETCH(double, zoom);
    TFGlowna *g = showClass(QSize(1100, 800));
    QVERIFY(g);
    g->setPreviewZoom(zoom);
    QTRY_COMPARE(g->Image1->pictureSize().width(), qRound(1031 * zoom));
    // The calibration editor's choice: the pupil's name on side 1.
    const QString object = QStringLiteral("ZMIENNA_ImieNazwisko_STR1_DATA_EDIT");
    QString msg;
    CalibList rows;
    QVERIFY(
        bFunCalibLoadData(msg, f->env.programFile("bruma_kalibracja.sqset"), "klasa_1_3", rows));
    structCalibData row;
    for (const structCalibData &r : rows)
        if (r.name == object)
            row = r;
    g->engine().ctx.calibrating = true;
    g->engine().ctx.selectedObject = object;
    g->TreeViewClick();
    const QImage shown = g->Image1->picture();
    QRect red;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb c = shown.pixel(x, y);
            if (qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80)
                red |= QRect(x, y, 1, 1);
        }
    QVERIFY(!red.isEmpty());
    // Page unit u lies at (74 + u * 883 / 885) * zoom across and (74 + u) * zoom down.
    const QRectF object_(QPointF((74 + row.x1 * 883.0 / 885) * zoom, (74 + row.y1) * zoom),
                         QPointF((74 + row.x2 * 883.0 / 885) * zoom, (74 + row.y2) * zoom));
    const QString seen = QStringLiteral("red %1,%2 %3x%4; object %5,%6 - %7,%8")
                             .arg(red.x())
                             .arg(red.y())
                             .arg(red.width())
                             .arg(red.height())
                             .arg(object_.left())
                             .arg(object_.top())
                             .arg(object_.right())
                             .arg(object_.bottom());
    QVERIFY2(qAbs(red.left() - object_.left()) <= 3 && qAbs(red.right() - object_.right()) <= 3,
             qPrintable(seen));
    QVERIFY2(red.bottom() <= object_.bottom() + 3 && red.top() >= object_.top() - 3,
             qPrintable(seen));
    // It was brought into view at the zoomed position.
    const int expectedScroll =
        std::min(int(row.y2 * 2 / 3 * zoom), g->ScrollBox1->verticalScrollBar()->maximum());
    QCOMPARE(g->ScrollBox1->verticalScrollBar()->value(), expectedScroll);
    g->engine().ctx.calibrating = false;
}

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
