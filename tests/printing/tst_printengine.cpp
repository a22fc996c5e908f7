#include "pageimage.h"
#include "storage/cppsqlite3.h"
#include "support/hosttools.h"
#include "support/scriptedprompts.h"
#include "support/testenv.h"

#include <QPdfWriter>
#include <QProcess>
#include <QtTest>

// The engine over a small calibration of its own and a document whose texts
// the test gives.
class TestPrintEngine : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void memoLines_data();
    void memoLines();
    void interruptedMemoStartsAgain();
    void schoolEndingException_data();
    void schoolEndingException();
    void certificateTableFollowsTheDotsOption();
    void rowsOfTheWrongKindAreSkipped();
    void failuresLeaveThePreview();
    void previewOverTheBackdrop();
    void renderingsRepeatExactly();
    void sharedDotsFollowThePage();
    void picturesShownAreNeverDrawnOver();
    void pdfAtPrinterResolution();
    void previewMarksWhatDoesNotFit();

private:
    void table(const QString &name, const QList<structCalibData> &rows);
    void edit(const QString &name, const QString &text) { m_source.texts[name] = text; }
    void memo(const QString &name, const QStringList &lines) { m_source.memos[name] = lines; }
    void render(bool printing, int type) {
        m_engine->vFunRenderDocument(m_source, documentOfType(type), printing);
    }

    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    MapSource m_source;
    std::unique_ptr<PrintEngine> m_engine;
};

void TestPrintEngine::init() {
    m_env = std::make_unique<TestEnv>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_source = MapSource();
    m_engine = std::make_unique<PrintEngine>();
    // The caller shows what the renderer reports.
    m_engine->ctx.report = [](const QString &caption, const QString &text, Prompts::Icon icon) {
        showMessage(nullptr, caption, text, icon);
    };
    QDir().mkpath(m_env->programDir());
}

void TestPrintEngine::cleanup() {
    m_engine.reset();
    m_prompts.reset();
    m_env.reset();
}

void TestPrintEngine::table(const QString &name, const QList<structCalibData> &rows) {
    CppSQLite3DB db;
    db.Open(m_env->programFile("bruma_kalibracja.sqset"));
    db.Execute("create table `" + name +
               "`( name TEXT, x1 INTEGER, y1 INTEGER, x2 INTEGER, y2 INTEGER, font_name TEXT, "
               "font_size INTEGER,"
               " font_align INTEGER, font_style_bold INTEGER, font_style_italic INTEGER,"
               " font_style_underline INTEGER, font_style_strike INTEGER )");
    for (const structCalibData &r : rows)
        db.Execute(QStringLiteral(
                       "insert into `%1` values( '%2', %3, %4, %5, %6, '%7', %8, %9, 0, 0, 0, 0 )")
                       .arg(name, r.name)
                       .arg(r.x1)
                       .arg(r.y1)
                       .arg(r.x2)
                       .arg(r.y2)
                       .arg(r.font_name)
                       .arg(r.font_size)
                       .arg(r.font_align));
}

void TestPrintEngine::memoLines_data() {
    QTest::addColumn<int>("lines");
    QTest::newRow("two lines on three rows") << 2;
    QTest::newRow("four lines on three rows") << 4;
}

void TestPrintEngine::memoLines() {
    QFETCH(int, lines);
    QStringList text;
    for (int i = 0; i < lines; ++i)
        text << QStringLiteral("IIIIIIIIII").left(3 + 3 * i); // widths tell the lines apart
    memo("ZMIENNA_Uchwala_DATA_MEMO", text);
    table("arkusz_str2_5", {calibRow("ZMIENNA_Uchwala_DATA_MEMO01", 100, 100, 500, 140),
                            calibRow("ZMIENNA_Uchwala_DATA_MEMO02", 100, 150, 500, 190),
                            calibRow("ZMIENNA_Uchwala_DATA_MEMO03", 100, 200, 500, 240)});
    m_engine->ctx.strikeEmptyFields = true;
    render(true, 3);
    const QImage page = pageImage(m_engine->ctx.page1);
    const QRect first = inkBox(page, QRect(90, 100, 500, 40));
    const QRect second = inkBox(page, QRect(90, 150, 500, 40));
    const QRect third = inkBox(page, QRect(90, 200, 500, 40));
    QVERIFY(second.width() > first.width());
    if (lines == 2) {
        QCOMPARE(third.height(), 1); // the empty third row is struck
        QCOMPARE(third.top(), 230);
    } else {
        QVERIFY(third.width() > second.width());
        QVERIFY(third.height() > 5);
    }
    QVERIFY(inkBox(page, QRect(0, 245, kPageWidth, 800)).isEmpty()); // a fourth line has no row
}

void TestPrintEngine::interruptedMemoStartsAgain() {
    memo("A_DATA_MEMO", {"IIIIIIIIIIIIIIIIIIII", "II"});
    memo("B_DATA_MEMO", {"IIIIIIII"});
    table("wywiadowka", {calibRow("A_DATA_MEMO01", 100, 100, 500, 140),
                         calibRow("B_DATA_MEMO01", 100, 150, 500, 190),
                         calibRow("A_DATA_MEMO02", 100, 200, 500, 240)});
    render(true, 1);
    const QImage page = pageImage(m_engine->ctx.page1);
    QCOMPARE(inkBox(page, QRect(90, 200, 500, 40)).width(),
             inkBox(page, QRect(90, 100, 500, 40)).width());
}

void TestPrintEngine::schoolEndingException_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ink");
    QTest::newRow("empty ending: no mark at all") << "ZMIENNA_SzkolaWE_STR1_DATA_EDIT"
                                                  << "" << false;
    QTest::newRow("ending e prints") << "ZMIENNA_SzkolaWE_STR1_DATA_EDIT"
                                     << "e" << true;
    QTest::newRow("other empty field is struck") << "ZMIENNA_Klasa_STR1_DATA_EDIT"
                                                 << "" << true;
}

void TestPrintEngine::schoolEndingException() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(bool, ink);
    edit(field, text);
    table("klasa_1_3", {calibRow(field, 100, 100, 140, 140)});
    m_engine->ctx.strikeEmptyFields = true;
    render(true, 0);
    QCOMPARE(!inkBox(pageImage(m_engine->ctx.page1)).isEmpty(), ink);
    QCOMPARE(m_engine->sides, 2);
}

void TestPrintEngine::certificateTableFollowsTheDotsOption() {
    edit("ZMIENNA_Klasa_STR1_DATA_EDIT", "druga");
    table("klasa_1_3", {calibRow("ZMIENNA_Klasa_STR1_DATA_EDIT", 100, 100, 400, 140)});
    table("klasa_1_3_bk", {calibRow("ZMIENNA_Klasa_STR1_DATA_EDIT", 100, 600, 400, 640)});
    table("wywiadowka", {calibRow("ZMIENNA_Klasa_STR1_DATA_EDIT", 100, 900, 400, 940)});
    for (bool noDots : {false, true}) {
        m_engine->ctx.printWithoutDots = noDots;
        render(true, 0);
        const QRect ink = inkBox(pageImage(m_engine->ctx.page1));
        QVERIFY(ink.top() > (noDots ? 590 : 90) && ink.bottom() < (noDots ? 640 : 140));
        render(true, 1);
        QVERIFY(inkBox(pageImage(m_engine->ctx.page1)).top() > 890); // the report, either way
    }
    QCOMPARE(documentOfType(3).calibrationTable(false), QStringLiteral("arkusz_str2_5"));
    QCOMPARE(documentOfType(5).calibrationTable(true), QStringLiteral("arkusz_str2b_5b"));
}

void TestPrintEngine::rowsOfTheWrongKindAreSkipped() {
    edit("ZMIENNA_Klasa_DATA_EDIT", "bez strony");
    edit("ZMIENNA_Rok_STR2_DATA_EDIT", "druga strona");
    table("klasa_1_3", {calibRow("ZMIENNA_Klasa_DATA_EDIT", 100, 100, 400, 140),
                        calibRow("ZMIENNA_Rok_STR2_DATA_EDIT", 100, 300, 400, 340),
                        calibRow("ZMIENNA_Brak_STR1_DATA_EDIT", 100, 500, 400, 540)});
    table("arkusz_str1", {calibRow("GRAFIKA: ORZELEK", 100, 100, 300, 300)});
    render(true, 0);
    QVERIFY(inkBox(pageImage(m_engine->ctx.page1)).isEmpty());
    const QRect side2 = inkBox(pageImage(m_engine->ctx.page2));
    QVERIFY(side2.top() > 290 && side2.bottom() < 340);
    render(true, 2);
    QVERIFY(inkBox(pageImage(m_engine->ctx.page1)).isEmpty());
    QVERIFY(m_prompts->asked.isEmpty()); // no emblem sought on a record sheet
}

void TestPrintEngine::failuresLeaveThePreview() {
    QImage shown(10, 10, QImage::Format_RGB32);
    shown.fill(Qt::blue);
    m_engine->image1 = shown;
    int previews = 0;
    m_engine->showPreview = [&](const QImage &, const QImage &, bool) { ++previews; };
    render(false, 6);
    QCOMPARE(m_prompts->asked.last().text, QStringLiteral("Niepoprawny typ świadectwa"));
    QCOMPARE(m_prompts->asked.last().icon, Prompts::Icon::Warning);
    render(false, 4);
    QCOMPARE(m_prompts->asked.last().text,
             QString::fromUtf8("Błąd podczas próby wczytania danych kalibracji.\n\n") +
                 "Plik nie istnieje: \n" + m_env->programFile("bruma_kalibracja.sqset"));
    table("klasa_1_3", {});
    render(false, 4);
    QCOMPARE(m_prompts->asked.last().text,
             QString::fromUtf8("Błąd podczas próby wczytania danych kalibracji.\n\nTablica nie "
                               "istnieje: \narkusz_str1b"));
    QCOMPARE(previews, 0);
    QCOMPARE(m_engine->image1, shown);
}

void TestPrintEngine::previewOverTheBackdrop() {
    QDir().mkpath(m_env->programFile("grafika"));
    for (const char *name : {"sw_str1_prw.png", "sw_str2_prw.png", "arkusz_prw.png"})
        QFile::copy(QCoreApplication::applicationDirPath() + "/grafika/" + name,
                    m_env->programFile("grafika/") + name);
    edit("ZMIENNA_Klasa_STR1_DATA_EDIT", "IIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIII");
    edit("ZMIENNA_Klasa_DATA_EDIT", "IIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIII");
    table("klasa_1_3", {calibRow("ZMIENNA_Klasa_STR1_DATA_EDIT", 440, 1250, 880, 1300)});
    table("arkusz_str2_5", {calibRow("ZMIENNA_Klasa_DATA_EDIT", 440, 1250, 880, 1300)});
    bool twoSides = false;
    m_engine->showPreview = [&](const QImage &, const QImage &, bool two) { twoSides = two; };
    render(false, 0);
    QVERIFY(twoSides);
    QCOMPARE(m_engine->image1.size(), QSize(1031, 1462));
    // Page unit (x, y) lands at 74 + x * 883 / 885 of the backdrop.
    const QRect ink = inkBox(m_engine->image1, QRect(500, 1300, 450, 85));
    QVERIFY2(qAbs(ink.left() - (74 + 440 * 883 / 885)) <= 2,
             qPrintable(QString::number(ink.left())));
    QVERIFY(ink.bottom() <= 74 + 1300 * 1314 / 1314 - 3 + 1);
    // A one-sided page hides side 2; a missing backdrop keeps the last picture.
    QFile::remove(m_env->programFile("grafika/arkusz_prw.png"));
    const QImage before = m_engine->image1;
    render(false, 3);
    QVERIFY(!twoSides);
    QCOMPARE(m_engine->image1.size(), before.size());
    QVERIFY(!inkBox(m_engine->image1, QRect(90, 90, 300, 200))
                 .isEmpty()); // still the certificate's texts
}

// The blank form with a layout's dots is made once and shared; a page with
// other dots (or none) never shows the dots of another.
void TestPrintEngine::sharedDotsFollowThePage() {
    QDir().mkpath(m_env->programFile("grafika"));
    for (const char *name : {"sw_str1_prw.png", "sw_str2_prw.png"})
        QFile::copy(QCoreApplication::applicationDirPath() + "/grafika/" + name,
                    m_env->programFile("grafika/") + name);
    PreviewComposer::clearSharedPictures();
    auto page = [](QList<int> dotRows) {
        RenderedPages pages;
        pages.sides = 2;
        for (int y : dotRows)
            pages.page1.drawDots(QPointF(100, y), 60, 5, 1.5);
        pages.page1.drawText(QPointF(100, 1000), QStringLiteral("Tekst"));
        return pages;
    };
    const DocumentInfo &doc = documentOfType(0);
    const QList<QList<int>> sequence{{400}, {}, {400}, {600}, {400, 600}, {400}};
    for (double scale : {1.0, 0.5}) {
        QImage plain, unused;
        PreviewComposer().compose(page({}), {}, doc, scale, plain, unused);
        // Whether a row of the page shows dots: its band differs from the
        // same page without any.
        auto dotted = [&](const QImage &image, int y) {
            const QRect band =
                QRectF(QPointF(150, 74 + y - 3) * scale, QSizeF(300, 6) * scale).toAlignedRect();
            return image.copy(band) != plain.copy(band);
        };
        PreviewComposer first, second; // two users of the preview share the pictures
        for (int i = 0; i < sequence.size(); ++i) {
            QImage image1, image2;
            (i % 2 ? second : first).compose(page(sequence[i]), {}, doc, scale, image1, image2);
            for (int y : {400, 600})
                QVERIFY2(dotted(image1, y) == sequence[i].contains(y),
                         qPrintable(
                             QStringLiteral("step %1, row %2, scale %3").arg(i).arg(y).arg(scale)));
        }
    }
}

// A new picture may take the memory of one no longer kept, but never of one
// still shown, and it never carries another pupil's texts.
void TestPrintEngine::picturesShownAreNeverDrawnOver() {
    QDir().mkpath(m_env->programFile("grafika"));
    for (const char *name : {"sw_str1_prw.png", "sw_str2_prw.png"})
        QFile::copy(QCoreApplication::applicationDirPath() + "/grafika/" + name,
                    m_env->programFile("grafika/") + name);
    auto page = [](int pupil) {
        RenderedPages pages;
        pages.sides = 2;
        pages.page1.drawDots(QPointF(100, 400), 60, 5, 1.5);
        pages.page1.drawText(QPointF(100, 200 + 40 * pupil), QStringLiteral("Uczeń %1").arg(pupil));
        pages.page2.drawText(QPointF(300, 200 + 40 * pupil), QStringLiteral("Ocena %1").arg(pupil));
        return pages;
    };
    const DocumentInfo &doc = documentOfType(0);
    auto fresh = [&](int pupil) {
        PreviewComposer::clearSharedPictures();
        QImage image1, image2;
        PreviewComposer().compose(page(pupil), {}, doc, 1.0, image1, image2);
        return std::pair{image1.copy(), image2.copy()};
    };
    QList<std::pair<QImage, QImage>> expected;
    for (int pupil = 0; pupil < 6; ++pupil)
        expected << fresh(pupil);
    PreviewComposer::clearSharedPictures();
    PreviewComposer composer;
    QImage shown1, shown2; // what the window shows: the first pupil's picture, held
    composer.compose(page(0), {}, doc, 1.0, shown1, shown2);
    for (int pupil = 1; pupil < 6; ++pupil) {
        QImage image1, image2;
        composer.compose(page(pupil), {}, doc, 1.0, image1, image2);
        QVERIFY2(image1 == expected[pupil].first && image2 == expected[pupil].second,
                 qPrintable(QStringLiteral("pupil %1").arg(pupil)));
    }
    QVERIFY(shown1 == expected[0].first);
    QVERIFY(shown2 == expected[0].second);
}

void TestPrintEngine::renderingsRepeatExactly() {
    edit("ZMIENNA_Klasa_STR1_DATA_EDIT", "trzecia");
    table("klasa_1_3", {calibRow("ZMIENNA_Klasa_STR1_DATA_EDIT", 100, 100, 400, 140)});
    render(true, 0);
    const QImage first = pageImage(m_engine->ctx.page1);
    render(true, 0);
    QCOMPARE(pageImage(m_engine->ctx.page1), first);
    QVERIFY(inkBox(pageImage(m_engine->ctx.page2)).isEmpty());
}

void TestPrintEngine::pdfAtPrinterResolution() {
    edit("ZMIENNA_Klasa_DATA_EDIT", "Klasa");
    table("arkusz_str2_5",
          {calibRow("ZMIENNA_Klasa_DATA_EDIT", 177, 300, 700, 400, 12, 0, "Liberation Sans")});
    render(true, 3);
    // The page stretched over a whole A4 sheet of a 1200-dpi PDF.
    const QString pdf = m_env->dataHome() + "/strona.pdf";
    QPdfWriter writer(pdf);
    writer.setResolution(1200);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    {
        QPainter painter(&writer);
        const QRect sheet(0, 0, writer.width(), writer.height());
        vFunDrawPage(painter, m_engine->ctx.page1, sheet);
    }
    // Text is recorded as outlines, so the PDF is read by rasterising it.
    const HostToolRun raster = runHostTool("pdftoppm",
                                           {"-r", "100", "-png", "-singlefile", hostPath(pdf),
                                            hostPath(m_env->dataHome() + "/strona")},
                                           20000);
    QVERIFY(raster.finished);
    QImage png(m_env->dataHome() + "/strona.png");
    QVERIFY(!png.isNull());
    // At 100 dpi the sheet is 827 x 1169 pixels; page unit u lands at u * 827 / 885.
    QVERIFY(qAbs(png.width() - 827) <= 1);
    const QRect ink = inkBox(png, QRect(0, 0, png.width(), png.height()));
    QVERIFY2(qAbs(ink.left() - 177 * 827 / 885) <= 2, qPrintable(QString::number(ink.left())));
    QVERIFY2(ink.bottom() <= 400 * 1169 / 1314 && ink.bottom() >= 380 * 1169 / 1314,
             qPrintable(QString::number(ink.bottom())));
    QVERIFY(ink.width() < 100); // not 12.5 times too big
}

void TestPrintEngine::previewMarksWhatDoesNotFit() {
    QDir().mkpath(m_env->programFile("grafika"));
    QFile::copy(QCoreApplication::applicationDirPath() + "/grafika/arkusz_prw.png",
                m_env->programFile("grafika/arkusz_prw.png"));
    memo("ZMIENNA_Uchwala_DATA_MEMO", {"raz", "dwa", "trzy", "cztery"});
    edit("ZMIENNA_Klasa_DATA_EDIT", "bardzo długa nazwa klasy, która wychodzi poza pole");
    edit("ZMIENNA_Religia_DATA_EDIT", "dobry");
    edit("ZMIENNA_RokSzkolny_DATA_EDIT", "2010\t2011"); // a stored tab
    edit("STALY_Klasa_DATA_LABEL", "Stały tekst dłuższy niż jego wiersz");
    table("arkusz_str2_5", {calibRow("ZMIENNA_Uchwala_DATA_MEMO01", 100, 100, 500, 140),
                            calibRow("ZMIENNA_Uchwala_DATA_MEMO02", 100, 150, 500, 190),
                            calibRow("ZMIENNA_Uchwala_DATA_MEMO03", 100, 200, 500, 240),
                            calibRow("ZMIENNA_Klasa_DATA_EDIT", 100, 600, 250, 640),
                            calibRow("ZMIENNA_Religia_DATA_EDIT", 100, 800, 250, 840),
                            calibRow("ZMIENNA_RokSzkolny_DATA_EDIT", 100, 1000, 400, 1040),
                            calibRow("STALY_Klasa_DATA_LABEL", 500, 600, 520, 640)});
    // On paper: no mark, the first three lines, the tab as a blank.
    render(true, 3);
    QVERIFY(m_engine->previewMarks.isEmpty());
    const QImage paper = pageImage(m_engine->ctx.page1);
    QVERIFY(!hasRed(paper));
    QCOMPARE(strFunPrintable(m_source.text("ZMIENNA_RokSzkolny_DATA_EDIT")),
             QStringLiteral("2010 2011"));
    // In the preview: the memo with more lines than rows and the line past
    // its field's edge are marked, each once, the fitting field and the
    // form's own text are not.
    render(false, 3);
    QCOMPARE(m_engine->previewMarks.size(), 2);
    const PreviewMark memoMark = m_engine->previewMarks[0];
    QCOMPARE(memoMark.rect, QRect(QPoint(100, 100), QPoint(500, 240)));
    QCOMPARE(memoMark.text,
             QString::fromUtf8(
                 "Tekst nie mieści się w polu: 4 z 3 wierszy. Skróć go, aby wydruk był pełny."));
    QCOMPARE(m_engine->previewMarks[1].rect, QRect(QPoint(100, 600), QPoint(250, 640)));
    QCOMPARE(m_engine->previewMarks[1].text,
             QString::fromUtf8("Tekst wychodzi poza pole. Skróć go, aby wydruk był pełny."));
    // The marks are red on the preview image around their fields, nowhere else.
    auto toImage = [](const QRect &r) {
        return QRect(74 + r.left() * 883 / 885 - 8, 74 + r.top() - 8, r.width() + 16,
                     r.height() + 40);
    };
    QImage shown = m_engine->image1;
    QVERIFY(hasRed(shown.copy(toImage(memoMark.rect))));
    QVERIFY(hasRed(shown.copy(toImage(m_engine->previewMarks[1].rect))));
    QVERIFY(!hasRed(shown.copy(toImage(QRect(QPoint(100, 800), QPoint(250, 840))))));
    QVERIFY(!hasRed(shown.copy(toImage(QRect(QPoint(100, 1000), QPoint(400, 1040))))));
    // Shortened, the text is no longer marked.
    memo("ZMIENNA_Uchwala_DATA_MEMO", {"raz", "dwa"});
    edit("ZMIENNA_Klasa_DATA_EDIT", "druga");
    render(false, 3);
    QVERIFY(m_engine->previewMarks.isEmpty());
    QVERIFY(!hasRed(m_engine->image1));
}

QTEST_MAIN(TestPrintEngine)
#include "tst_printengine.moc"
