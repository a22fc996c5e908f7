#include "pageimage.h"
#include "support/scriptedprompts.h"
#include "support/testenv.h"

#include <QFontMetrics>
#include <QtTest>

// Each case paints on a fresh page picture and reads the replayed image.
class TestPainters : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void textSitsOnItsBaseLine();
    void alignments_data();
    void alignments();
    void justification_data();
    void justification();
    void clipping_data();
    void clipping();
    void emptyFields_data();
    void emptyFields();
    void ampersands_data();
    void ampersands();
    void dots();
    void emblemOnlyWhenPrinting();
    void missingEmblemIsReported();
    void outlinesOnlyWhileCalibrating();

private:
    QImage paint(const std::function<void(PagePicture *)> &draw);
    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    structPrintContext ctx;
    QString msg;
};

void TestPainters::init() {
    m_env = std::make_unique<TestEnv>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    ctx = structPrintContext();
    ctx.msg = &msg;
    // The caller shows what the painters report.
    ctx.report = [](const QString &caption, const QString &text, Prompts::Icon icon) {
        showMessage(nullptr, caption, text, icon);
    };
}

void TestPainters::cleanup() {
    m_prompts.reset();
    m_env.reset();
}

QImage TestPainters::paint(const std::function<void(PagePicture *)> &draw) {
    PagePicture page;
    draw(&page);
    return pageImage(page);
}

void TestPainters::textSitsOnItsBaseLine() {
    const structCalibData row = calibRow("ZMIENNA_X_STR1_DATA_EDIT", 100, 350, 600, 400, 12);
    const QImage img =
        paint([&](PagePicture *p) { vFunDrawTextField(ctx, "Ąg żółw", row, p, 1, row.name); });
    QFont font("Liberation Serif");
    font.setPixelSize(16);
    const int cell = QFontMetrics(font).height();
    const QRect ink = inkBox(img);
    QVERIFY(!ink.isEmpty());
    // The cell stands on y2 lifted by 12 / 4 = 3 units.
    QVERIFY2(ink.top() >= 400 - cell - 3 - 1, qPrintable(QString::number(ink.top())));
    QVERIFY2(ink.bottom() <= 400 - 3, qPrintable(QString::number(ink.bottom())));
    QVERIFY(ink.bottom() >= 400 - 3 - QFontMetrics(font).descent() - 2);
    QVERIFY(qAbs(ink.left() - 100) <= 2);
}

void TestPainters::alignments_data() {
    QTest::addColumn<int>("align");
    QTest::addColumn<QString>("edge"); // left, centre, right
    QTest::newRow("0 left") << 0 << "left";
    QTest::newRow("1 centred") << 1 << "centre";
    QTest::newRow("2 right") << 2 << "right";
    QTest::newRow("9 unknown: centred") << 9 << "centre";
}

void TestPainters::alignments() {
    QFETCH(int, align);
    QFETCH(QString, edge);
    const structCalibData row = calibRow("F", 200, 100, 600, 150, 12, align);
    const QImage img =
        paint([&](PagePicture *p) { vFunDrawTextField(ctx, "Klasa", row, p, 1, row.name); });
    const QRect ink = inkBox(img);
    if (edge == "left")
        QVERIFY(qAbs(ink.left() - 200) <= 2);
    else if (edge == "right")
        QVERIFY2(qAbs(ink.right() - 599) <= 2, qPrintable(QString::number(ink.right())));
    else
        QVERIFY2(qAbs(ink.center().x() - 400) <= 3, qPrintable(QString::number(ink.center().x())));
}

void TestPainters::justification_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("justified");
    QTest::newRow("four spaces: left") << "ala ma kota i psa" << 600 << false;
    QTest::newRow("five spaces: spread") << "ala ma kota i psa oraz" << 600 << true;
    QTest::newRow("letters wider than the field") << "ala ma kota i psa oraz rybki" << 60 << true;
}

void TestPainters::justification() {
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(bool, justified);
    const structCalibData row = calibRow("F", 100, 200, 100 + width, 250, 12, 3);
    const QImage img =
        paint([&](PagePicture *p) { vFunDrawTextField(ctx, text, row, p, 1, row.name); });
    const QRect ink = inkBox(img);
    QVERIFY(qAbs(ink.left() - 100) <= 2);
    if (justified)
        QVERIFY2(qAbs(ink.right() - (100 + width)) <= 4, qPrintable(QString::number(ink.right())));
    else
        QVERIFY(ink.right() < 100 + width - 100);
    // Justified text is never clipped.
    ctx.clipTextFields = true;
    const QRect clipped =
        inkBox(paint([&](PagePicture *p) { vFunDrawTextField(ctx, text, row, p, 1, row.name); }));
    QCOMPARE(clipped, ink);
}

void TestPainters::clipping_data() {
    QTest::addColumn<bool>("clip");
    QTest::newRow("on") << true;
    QTest::newRow("off") << false;
}

void TestPainters::clipping() {
    QFETCH(bool, clip);
    ctx.clipTextFields = clip;
    const structCalibData row = calibRow("F", 100, 200, 200, 250, 12, 0);
    const QImage img = paint([&](PagePicture *p) {
        vFunDrawTextField(ctx, "bardzo długi tekst w wąskim polu", row, p, 1, row.name);
    });
    const QRect beyond = inkBox(img, QRect(201, 150, 600, 120));
    QCOMPARE(beyond.isEmpty(), clip);
    QVERIFY(!inkBox(img, QRect(100, 150, 100, 120)).isEmpty());
}

void TestPainters::emptyFields_data() {
    QTest::addColumn<bool>("strike");
    QTest::addColumn<bool>("noDots");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lineY"); // -1: nothing drawn
    QTest::newRow("struck") << true << false << "" << 490;
    QTest::newRow("struck, without dots") << true << true << "" << 485;
    QTest::newRow("option off") << false << false << "" << -1;
    QTest::newRow("a single space is not empty") << true << false << " " << -1;
}

void TestPainters::emptyFields() {
    QFETCH(bool, strike);
    QFETCH(bool, noDots);
    QFETCH(QString, text);
    QFETCH(int, lineY);
    ctx.strikeEmptyFields = strike;
    ctx.printWithoutDots = noDots;
    const structCalibData row = calibRow("F", 100, 450, 300, 500);
    const QRect ink =
        inkBox(paint([&](PagePicture *p) { vFunDrawTextField(ctx, text, row, p, 1, row.name); }));
    if (lineY < 0) {
        QVERIFY(ink.isEmpty());
        return;
    }
    QCOMPARE(ink.top(), lineY);
    QCOMPARE(ink.height(), 1);
    QCOMPARE(ink.left(), 100);
    QVERIFY(ink.right() >= 299);
}

void TestPainters::ampersands_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("between words") << QString::fromUtf8("Zespół Szkół & Przedszkole");
    QTest::newRow("inside a word") << "R&D";
    QTest::newRow("an entity") << "&amp;";
    QTest::newRow("doubled") << "Kowalski && syn";
    QTest::newRow("last") << "A&";
}

// Every character prints as typed: an "&" is never a shortcut mark, and
// the width checks measure what prints.
void TestPainters::ampersands() {
    QFETCH(QString, text);
    const structCalibData row = calibRow("F", 100, 200, 700, 250, 12, 0);
    PagePicture page;
    vFunDrawTextField(ctx, text, row, &page, 1, row.name);
    QCOMPARE(page.textRuns().size(), 1);
    QCOMPARE(page.textRuns().first().text, text);
    QString without = text;
    without.remove('&');
    QVERIFY(iFunTextFieldWidth(row, text) > iFunTextFieldWidth(row, without));
    const QImage shown =
        paint([&](PagePicture *p) { vFunDrawTextField(ctx, text, row, p, 1, row.name); });
    const QImage plain =
        paint([&](PagePicture *p) { vFunDrawTextField(ctx, without, row, p, 1, row.name); });
    // No underline: the ink goes no lower than the text without the marks
    // (an "&" may reach a pixel below the baseline, an underline two or more).
    QVERIFY(inkBox(shown).bottom() <= inkBox(plain).bottom() + 1);
    QVERIFY(inkBox(shown).width() > inkBox(plain).width());
}

void TestPainters::dots() {
    const structCalibData row = calibRow("X_LINIA_Z_KROPEK", 100, 380, 118, 400);
    const QImage img = paint([&](PagePicture *p) { vFunDrawDottedLine(ctx, row, p, 1, row.name); });
    QList<int> starts;
    for (int x = 95; x < 140; ++x) {
        const bool ink = !inkBox(img, QRect(x, 370, 1, 40)).isEmpty();
        const bool before = !inkBox(img, QRect(x - 1, 370, 1, 40)).isEmpty();
        if (ink && !before)
            starts << x;
    }
    QCOMPARE(starts.size(), 3);
    for (int i = 0; i < 3; ++i)
        QVERIFY2(qAbs(starts[i] - (100 + 6 * i) - 1) <= 2, qPrintable(QString::number(starts[i])));
    QVERIFY(inkBox(img, QRect(117, 370, 30, 40)).isEmpty());
    // The dots stand on the base line.
    // The dots hang from y2 - 14 in a 14-point cell: they sit just on the base line.
    QVERIFY2(qAbs(inkBox(img).bottom() - 400) <= 5,
             qPrintable(QString::number(inkBox(img).bottom())));
    // x2 <= x1 draws nothing.
    const structCalibData empty = calibRow("Y_LINIA_Z_KROPEK", 100, 380, 100, 400);
    QVERIFY(inkBox(paint([&](PagePicture *p) {
                vFunDrawDottedLine(ctx, empty, p, 1, empty.name);
            })).isEmpty());
}

void TestPainters::emblemOnlyWhenPrinting() {
    QDir().mkpath(m_env->programFile("grafika"));
    QFile::copy(QCoreApplication::applicationDirPath() + "/grafika/orzel.pic",
                m_env->programFile("grafika/orzel.pic"));
    QFile::copy(QCoreApplication::applicationDirPath() + "/grafika/m_p.bmp",
                m_env->programFile("grafika/m_p.bmp"));
    const structCalibData emblem = calibRow("GRAFIKA: ORZELEK", 390, 110, 490, 230);
    const structCalibData stamp = calibRow("GRAFIKA: PIECZATKA", 300, 900, 420, 1000);
    auto both = [&](PagePicture *p) {
        vFunGraphicDrawMark(ctx, 0, emblem, p, emblem.name);
        vFunGraphicDrawMark(ctx, 1, stamp, p, stamp.name);
    };
    QVERIFY(inkBox(paint(both)).isEmpty());
    ctx.printing = true;
    const QImage printed = paint(both);
    const QRect e = inkBox(printed, QRect(380, 100, 120, 140));
    QVERIFY(!e.isEmpty());
    QVERIFY(QRect(389, 109, 103, 123).contains(e));
    QVERIFY(!inkBox(printed, QRect(340, 935, 40, 30)).isEmpty()); // "m.p."
    QVERIFY(m_prompts->asked.isEmpty());
}

void TestPainters::missingEmblemIsReported() {
    ctx.printing = true;
    const structCalibData emblem = calibRow("GRAFIKA: ORZELEK", 390, 110, 490, 230);
    const QImage img =
        paint([&](PagePicture *p) { vFunGraphicDrawMark(ctx, 0, emblem, p, emblem.name); });
    QVERIFY(inkBox(img).isEmpty());
    QCOMPARE(m_prompts->asked.size(), 1);
    QCOMPARE(m_prompts->asked[0].text,
             "Plik nie istnieje.\n\n" + m_env->programFile("grafika/orzel.pic"));
    QCOMPARE(logRows(m_env->programDir()).last().fun, QStringLiteral("vFunGraphicDrawMark()"));
}

void TestPainters::outlinesOnlyWhileCalibrating() {
    const structCalibData row = calibRow("ZMIENNA_Klasa_STR2_DATA_EDIT", 100, 600, 300, 640);
    QList<QList<int>> views;
    ctx.bringIntoView = [&](int tab, int s1, int s2) { views.append({tab, s1, s2}); };
    ctx.selectedObject = row.name;
    QVERIFY(
        !hasRed(paint([&](PagePicture *p) { vFunDrawTextField(ctx, "x", row, p, 2, row.name); })));
    QVERIFY(views.isEmpty());
    ctx.calibrating = true;
    QVERIFY(
        hasRed(paint([&](PagePicture *p) { vFunDrawTextField(ctx, "x", row, p, 2, row.name); })));
    QCOMPARE(views.size(), 1);
    QCOMPARE(views[0], QList<int>({1, 640 * 2 / 3, 640 * 2 / 3}));
    // A frame turns red itself; the view is not moved.
    const structCalibData frame = calibRow("GRAFIKA: RAMKA 1", 10, 10, 200, 200);
    ctx.selectedObject = frame.name;
    QVERIFY(hasRed(paint([&](PagePicture *p) { vFunDrawFrame(ctx, p, frame); })));
    QCOMPARE(views.size(), 1);
}

QTEST_MAIN(TestPainters)
#include "tst_painters.moc"
