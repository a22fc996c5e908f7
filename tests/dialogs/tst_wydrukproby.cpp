#include "dialogs/tfkorekta.h"
#include "printfixture.h"
#include "printing/testprint.h"
#include "storage/settings.h"
#include "support/hosttools.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

// The test print of the print dialog, read back from a PDF rasterised at
// 600 dpi: where its scales, outlines and corner crosses land on the sheet,
// and how a correction in millimetres moves them.
class TestWydrukProbny : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void scalesAndOutlinesLandWhereTheyClaim();
    void correctionMovesOneSide();
    void correctionRefused_data();
    void correctionRefused();
    void testPrintIsAnnounced();
    void needsARenderedDocument();

private:
    // Prints the test print into a PDF file; its path.
    QString testPrint(const QString &name);
    // Fills the correction dialog when it opens, then presses OK (or
    // Return) and, when it stays open, Anuluj.
    void answerCorrection(const QStringList &amounts, bool byKeyboard = false);
    QList<int> margin(int side) const;

    std::unique_ptr<PrintFixture> f;
    bool correctionStayedOpen = false;
};

namespace {

constexpr int kDpi = 600;

// The centre, in mm, of the run of dark pixels nearest to `expected` along a
// row (horizontal) or a column of the raster, within `window` mm of it.
double runCentre(const QImage &raster, bool horizontal, double at, double expected,
                 double window = 1.0) {
    const double k = kDpi / kMmPerInch;
    const int fixed = int(at * k);
    const int from = std::max(0, int((expected - window) * k));
    const int to =
        std::min(int((expected + window) * k), (horizontal ? raster.width() : raster.height()) - 1);
    auto dark = [&](int i) {
        return horizontal ? qGray(raster.pixel(i, fixed)) < 128
                          : qGray(raster.pixel(fixed, i)) < 128;
    };
    double best = -1000;
    for (int i = from; i <= to; ++i) {
        if (!dark(i))
            continue;
        int end = i;
        while (end + 1 <= to && dark(end + 1))
            ++end;
        const double centre = (i + end + 1) / 2.0 / k;
        if (qAbs(centre - expected) < qAbs(best - expected))
            best = centre;
        i = end;
    }
    return best;
}

struct Word {
    QString text;
    QRectF mm;
};

// The words of a PDF page with their boxes in mm (pdftotext -bbox).
QList<Word> pdfWords(const QString &pdf, int page) {
    const HostToolRun p = runHostTool(
        "pdftotext",
        {"-bbox", "-f", QString::number(page), "-l", QString::number(page), hostPath(pdf), "-"},
        20000);
    const QString html = QString::fromUtf8(p.standardOutput);
    QList<Word> out;
    const QRegularExpression word(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">"
        "([^<]*)</word>");
    const double k = kMmPerInch / 72;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out.append({m.captured(5),
                    QRectF(QPointF(m.captured(1).toDouble() * k, m.captured(2).toDouble() * k),
                           QPointF(m.captured(3).toDouble() * k, m.captured(4).toDouble() * k))});
    }
    return out;
}

// A row's four edges on the sheet, in mm, for a side stretched onto margin.
QRectF rowMm(const structCalibData &r, const QList<int> &m) {
    return unitsToMm(QRectF(QPointF(r.x1, r.y1), QPointF(r.x2, r.y2)), m[0], m[1], m[2], m[3]);
}

// The outline of a field as printed, each edge measured where it crosses
// the middle of the field.
QRectF outlineMm(const QImage &raster, const QRectF &expected) {
    const QPointF c = expected.center();
    return QRectF(QPointF(runCentre(raster, true, c.y(), expected.left()),
                          runCentre(raster, false, c.x(), expected.top())),
                  QPointF(runCentre(raster, true, c.y(), expected.right()),
                          runCentre(raster, false, c.x(), expected.bottom())));
}

bool near(const QRectF &a, const QRectF &b, double tolerance) {
    return qAbs(a.left() - b.left()) <= tolerance && qAbs(a.top() - b.top()) <= tolerance &&
           qAbs(a.right() - b.right()) <= tolerance && qAbs(a.bottom() - b.bottom()) <= tolerance;
}

} // namespace

void TestWydrukProbny::init() {
    f = std::make_unique<PrintFixture>();
    f->addMarginSet({"Szkoła", 10, 12, 200, 285, 11, 13, 201, 286});
    f->renderSampleCertificate();
    f->dialog->show();
    f->dialog->MarginesyComboBox->setCurrentText(QString::fromUtf8("Szkoła"));
    QCOMPARE(margin(1), (QList<int>{10, 12, 200, 285}));
    correctionStayedOpen = false;
}

void TestWydrukProbny::cleanup() {
    f.reset();
}

// left, top, right, bottom
QList<int> TestWydrukProbny::margin(int side) const {
    const structMarginData m = f->dialog->edges();
    return side == 1 ? QList<int>{m.Page1X1, m.Page1Y1, m.Page1X2, m.Page1Y2}
                     : QList<int>{m.Page2X1, m.Page2Y1, m.Page2X2, m.Page2Y2};
}

QString TestWydrukProbny::testPrint(const QString &name) {
    const QString pdf = f->env.dataHome() + '/' + name;
    f->prompts.fileNames.enqueue(pdf);
    QTest::mouseClick(f->dialog->TestPrintButton, Qt::LeftButton);
    return pdf;
}

void TestWydrukProbny::answerCorrection(const QStringList &amounts, bool byKeyboard) {
    QTimer::singleShot(0, this, [this, amounts, byKeyboard] {
        TFKorekta *k = f->dialog->korekta;
        QVERIFY(k->isVisible());
        const QList<QLineEdit *> edits{k->Strona1PrawoEdit, k->Strona1DolEdit, k->Strona2PrawoEdit,
                                       k->Strona2DolEdit};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(edits[i]->text(), QStringLiteral("0"));
            edits[i]->setText(amounts[i]);
        }
        if (byKeyboard)
            QTest::keyClick(edits[3], Qt::Key_Return);
        else
            QTest::mouseClick(k->OKButton, Qt::LeftButton);
        correctionStayedOpen = k->isVisible();
        if (correctionStayedOpen)
            QTest::mouseClick(k->AnulujButton, Qt::LeftButton);
    });
    QTest::mouseClick(f->dialog->KorektaButton, Qt::LeftButton);
}

void TestWydrukProbny::scalesAndOutlinesLandWhereTheyClaim() {
    const QString pdf = testPrint("proba.pdf");
    QCOMPARE(QFileInfo(f->prompts.asked.last().proposed).fileName(),
             QString::fromUtf8("wydruk próbny - MEN-I-1-2 klasa 1.pdf"));
    QCOMPARE(f->prompts.messages(), QStringList());
    QCOMPARE(pdfPageCount(pdf), 2);
    // The dialog stays open for a correction; the set is not remembered.
    QVERIFY(f->dialog->isVisible());
    QString msg, stored;
    bFunSqlGetSettingsText(msg, "last_margin_set", stored);
    QVERIFY(stored.isEmpty());

    const QImage page1 = rasterPdfPage(pdf, 1, kDpi, f->env.dataHome());
    QVERIFY(!page1.isNull());
    // The top scale: along a line 4.5 mm from the top only the long marks
    // reach; the 0 and 100 mm marks are 100 mm apart and where they claim.
    const double zero = runCentre(page1, true, 4.5, 0.0);
    const double hundred = runCentre(page1, true, 4.5, 100.0);
    QVERIFY2(qAbs(zero) <= 0.2, qPrintable(QString::number(zero)));
    QVERIFY2(qAbs(hundred - 100) <= 0.2, qPrintable(QString::number(hundred)));
    QVERIFY2(qAbs(hundred - zero - 100) <= 0.2, qPrintable(QString::number(hundred - zero)));
    // Shorter marks every 5 mm and every millimetre.
    QCOMPARE(runCentre(page1, true, 4.5, 105.0, 0.5), -1000.0);
    QVERIFY(qAbs(runCentre(page1, true, 3.0, 105.0, 0.5) - 105) <= 0.2);
    QVERIFY(qAbs(runCentre(page1, true, 1.5, 107.0, 0.5) - 107) <= 0.2);
    // Each long mark is labelled with its distance from the paper's edge.
    QStringList labels;
    for (const Word &w : pdfWords(pdf, 1)) {
        // The labels at the paper's edges stand beside their marks.
        if (w.mm.bottom() > 10 || w.mm.left() < 1 || w.mm.right() > 209)
            continue;
        labels << w.text;
        QVERIFY2(qAbs(w.mm.center().x() - w.text.toInt()) <= 0.6,
                 qPrintable(w.text + " at " + QString::number(w.mm.center().x())));
        QVERIFY(w.mm.top() > kScaleLongTick);
    }
    QVERIFY2(labels.contains("100") && labels.contains("10") && labels.contains("200"),
             qPrintable(labels.join(' ')));

    // A field's outline where its row and the margin set put it.
    const structCalibData name = f->row("ZMIENNA_ImieNazwisko_STR1_DATA_EDIT");
    const QRectF want = rowMm(name, margin(1));
    const QRectF seen = outlineMm(page1, want);
    QVERIFY2(near(seen, want, 0.2), qPrintable(mmText(seen) + " / " + mmText(want)));
    // The cross at the page's top left corner: its arms end at the corner.
    const double unit = (margin(1)[2] - margin(1)[0]) / double(kPageWidth);
    QVERIFY(qAbs(runCentre(page1, true, 12 + 5 * unit, 10 + 15 * unit) - (10 + 15 * unit)) <= 0.2);
    const QRect arm = greyInk(page1, mmToPixels(QRectF(8, 12 + 14 * unit, 4, 2 * unit), kDpi));
    QVERIFY2(qAbs(pixelsToMm(arm, kDpi).left() - 10) <= 0.2,
             qPrintable(mmText(pixelsToMm(arm, kDpi))));

    // Side 2 on its own page, by its own rectangle.
    const QImage page2 = rasterPdfPage(pdf, 2, kDpi, f->env.dataHome());
    const structCalibData religion = f->row("ZMIENNA_ReligiaOcena_STR2_DATA_COMBOBOX");
    const QRectF want2 = rowMm(religion, margin(2));
    const QRectF seen2 = outlineMm(page2, want2);
    QVERIFY2(near(seen2, want2, 0.2), qPrintable(mmText(seen2) + " / " + mmText(want2)));
}

void TestWydrukProbny::correctionMovesOneSide() {
    const structCalibData name = f->row("ZMIENNA_ImieNazwisko_STR1_DATA_EDIT");
    const structCalibData religion = f->row("ZMIENNA_ReligiaOcena_STR2_DATA_COMBOBOX");
    const QString before = testPrint("przed.pdf");
    QCOMPARE(pdfPageCount(before), 2);
    const QRectF name1 =
        outlineMm(rasterPdfPage(before, 1, kDpi, f->env.dataHome()), rowMm(name, margin(1)));
    const QRectF religion1 =
        outlineMm(rasterPdfPage(before, 2, kDpi, f->env.dataHome()), rowMm(religion, margin(2)));

    answerCorrection({"3", "-2", "0", ""}, true);
    QVERIFY(!correctionStayedOpen);
    QCOMPARE(margin(1), (QList<int>{13, 10, 203, 283}));
    QCOMPARE(margin(2), (QList<int>{11, 13, 201, 286}));
    QCOMPARE(f->prompts.messages(), QStringList());

    const QString after = testPrint("po.pdf");
    const QRectF name2 =
        outlineMm(rasterPdfPage(after, 1, kDpi, f->env.dataHome()), rowMm(name, margin(1)));
    const QRectF religion2 =
        outlineMm(rasterPdfPage(after, 2, kDpi, f->env.dataHome()), rowMm(religion, margin(2)));
    QVERIFY2(near(name2, name1.translated(3, -2), 0.2),
             qPrintable(mmText(name2) + " / " + mmText(name1)));
    QVERIFY2(near(religion2, religion1, 0.2),
             qPrintable(mmText(religion2) + " / " + mmText(religion1)));
    // Saved as a new set, it is there for the next sheet.
    f->prompts.inputs.enqueue(QString::fromUtf8("Szkoła poprawione"));
    QTest::mouseClick(f->dialog->SaveNewButton, Qt::LeftButton);
    MarginList sets;
    QString msg;
    QVERIFY(bFunMarginReadData(msg, f->settingsFile(), sets));
    QCOMPARE(sets.last().name, QString::fromUtf8("Szkoła poprawione"));
    QCOMPARE((QList<int>{sets.last().Page1X1, sets.last().Page1Y1, sets.last().Page1X2,
                         sets.last().Page1Y2}),
             (QList<int>{13, 10, 203, 283}));
}

void TestWydrukProbny::correctionRefused_data() {
    QTest::addColumn<QString>("set");
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<QString>("message");
    const QString szkola = QString::fromUtf8("Szkoła");
    QTest::newRow("fraction") << szkola << QStringList{"1,5", "0", "0", "0"}
                              << QString::fromUtf8("„Strona 1: o ile mm w prawo”: wpisz liczbę "
                                                   "całkowitą milimetrów od -297 do 297, np. 3 "
                                                   "albo -2 (a nie „1,5”).\nNic nie zostało "
                                                   "zmienione.");
    QTest::newRow("word") << szkola << QStringList{"0", "0", "0", "dwa"}
                          << QString::fromUtf8("„Strona 2: o ile mm w dół”: wpisz liczbę "
                                               "całkowitą milimetrów od -297 do 297, np. 3 albo "
                                               "-2 (a nie „dwa”).\nNic nie zostało zmienione.");
    QTest::newRow("off the paper") << szkola << QStringList{"0", "400", "0", "0"}
                                   << QString::fromUtf8("„Strona 1: o ile mm w dół”: wpisz liczbę "
                                                        "całkowitą milimetrów od -297 do 297, np. "
                                                        "3 albo -2 (a nie „400”).\nNic nie "
                                                        "zostało zmienione.");
    // The arrows' rule: the print's top left corner stays on the sheet.
    QTest::newRow("past the sheet on the left")
        << szkola << QStringList{"-11", "0", "0", "0"}
        << QString::fromUtf8("Strona 1: nie można przesunąć wydruku w lewo o 11 mm, bo lewy górny "
                             "róg wydruku wyszedłby poza kartkę.\nMożna najwyżej o 10 mm.\nNic "
                             "nie zostało zmienione.");
    QTest::newRow("past the sheet at the top of side 2")
        << szkola << QStringList{"0", "0", "0", "-14"}
        << QString::fromUtf8("Strona 2: nie można przesunąć wydruku w górę o 14 mm, bo lewy górny "
                             "róg wydruku wyszedłby poza kartkę.\nMożna najwyżej o 13 mm.\nNic "
                             "nie zostało zmienione.");
    QTest::newRow("already at the edge")
        << "Standardowe" << QStringList{"-1", "0", "0", "0"}
        << QString::fromUtf8("Strona 1: nie można przesunąć wydruku w lewo o 1 mm, bo lewy górny "
                             "róg wydruku wyszedłby poza kartkę.\nWydruk jest już na brzegu "
                             "kartki.\nNic nie zostało zmienione.");
}

void TestWydrukProbny::correctionRefused() {
    QFETCH(QString, set);
    QFETCH(QStringList, amounts);
    QFETCH(QString, message);
    f->dialog->MarginesyComboBox->setCurrentText(set);
    const structMarginData before = f->dialog->edges();
    answerCorrection(amounts);
    QVERIFY(correctionStayedOpen);
    QCOMPARE(f->prompts.messages(), QStringList{message});
    const structMarginData after = f->dialog->edges();
    QCOMPARE((QList<int>{after.Page1X1, after.Page1Y1, after.Page2X1, after.Page2Y2}),
             (QList<int>{before.Page1X1, before.Page1Y1, before.Page2X1, before.Page2Y2}));
}

// A test print leaves its own notice for the status bar, in place of the
// last print's.
void TestWydrukProbny::testPrintIsAnnounced() {
    QStringList notices;
    connect(f->dialog, &TFDrukuj::printDone, this, [&](const QString &s) { notices << s; });
    f->dialog->show();
    const QString pdf = testPrint("probny.pdf");
    QCOMPARE(notices, QStringList{QString::fromUtf8("Zapisano wydruk próbny: ") + pdf});
    QVERIFY(f->dialog->isVisible()); // it stays open for the correction
}

void TestWydrukProbny::needsARenderedDocument() {
    f->dialog->setPages(RenderedPages()); // nothing rendered
    testPrint("nic.pdf");
    QCOMPARE(f->prompts.asked.size(), 1);
    QCOMPARE(f->prompts.asked[0].caption, QStringLiteral("Brak wyboru"));
    QVERIFY(!QFileInfo::exists(f->env.dataHome() + "/nic.pdf"));
}

QTEST_MAIN(TestWydrukProbny)
#include "tst_wydrukproby.moc"
