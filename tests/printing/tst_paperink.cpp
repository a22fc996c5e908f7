#include "document/documents.h"
#include "document/fieldnames.h"
#include "document/fieldsource.h"
#include "printing/printengine.h"
#include "support/scriptedprompts.h"
#include "support/testenv.h"

#include <QPainter>
#include <QtTest>

// Where the ink of every document lands on paper, every field full: each
// line stands on its own dots and no letter of it (accents on capitals
// included) touches the dots of another line; the values of a line of the
// record sheets and the report share the baseline of the form's words.
class TestPaperInk : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void fullFieldsKeepClearOfOtherDots_data();
    void fullFieldsKeepClearOfOtherDots();
    void withoutDotsNoDocumentHasDots();
    void titlePageLines_data();
    void titlePageLines();

private:
    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

namespace {

// 600 dpi in page units: a page is 885 units across 210 mm.
constexpr double kDotsPerUnit = 600.0 / 25.4 * 210.0 / kPageWidth;
// Where a line's baseline stands above the centres of its own dots, in page
// units (0.4 to 1.0 mm).
constexpr double kBaselineAboveDotsMin = 1.7, kBaselineAboveDotsMax = 4.2;
// A field text: capitals with accents, descenders, an "&".
const QString kFiller = QString::fromUtf8("ŻŹ ŚĆŃÓ gąję & ŁÓDŹ pyżę ");

bool isField(const PagePicture::TextRun &run) {
    return run.text.startsWith(kFiller.left(2));
}

// The longest start of the filler, repeated, that fits the row.
QString fitting(const structCalibData &row) {
    QString text;
    for (int i = 0;; ++i) {
        const QString longer = text + kFiller[i % kFiller.size()];
        if (iFunTextFieldWidth(row, longer.trimmed()) > row.x2 - row.x1 - 2)
            return text.trimmed();
        text = longer;
    }
}

// The document with every field and every line of every memo full.
RecordFieldSource fullDocument(const DocumentInfo &doc, const CalibList &rows) {
    RecordFieldSource source = RecordFieldSource::blank(doc);
    QHash<QString, QStringList> memos;
    for (const structCalibData &row : rows) {
        if (!row.name.startsWith(QLatin1String("ZMIENNA_")))
            continue;
        if (row.name.contains(QLatin1String("_DATA_MEMO")))
            memos[strFunMemoOfRecord(row.name)] << fitting(row);
        else if (fieldKind(row.name) != FieldKind::None)
            source.setText(row.name, fitting(row));
    }
    for (auto it = memos.cbegin(); it != memos.cend(); ++it)
        source.setLines(it.key(), it.value());
    return source;
}

// The ink of one text run, or of the dots, in a crop of the page at 600 dpi.
QImage ink(const QRectF &crop, const std::function<void(PagePicture &)> &draw) {
    QImage img((crop.size() * kDotsPerUnit).toSize(), QImage::Format_Grayscale8);
    img.fill(Qt::white);
    PagePicture picture;
    draw(picture);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(kDotsPerUnit, kDotsPerUnit);
    p.translate(-crop.topLeft());
    vFunDrawPage(p, picture, QRectF(0, 0, kPageWidth, kPageHeight));
    return img;
}

// Pixels dark in both images.
int touching(const QImage &a, const QImage &b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar *pa = a.constScanLine(y), *pb = b.constScanLine(y);
        for (int x = 0; x < a.width(); ++x)
            n += pa[x] < 224 && pb[x] < 224;
    }
    return n;
}

QRectF dotsBox(const PagePicture::DotRow &d) {
    const qreal r = d.diameter / 2;
    return QRectF(d.firstCentre.x() - r, d.firstCentre.y() - r, d.step * (d.count - 1) + 2 * r,
                  2 * r);
}

} // namespace

void TestPaperInk::init() {
    m_env = std::make_unique<TestEnv>();
    m_env->installShipped(QStringLiteral("bruma_kalibracja.sqset"));
    m_prompts = std::make_unique<ScriptedPrompts>();
}

void TestPaperInk::cleanup() {
    m_prompts.reset();
    m_env.reset();
}

void TestPaperInk::fullFieldsKeepClearOfOtherDots_data() {
    QTest::addColumn<QString>("label");
    for (const DocumentInfo &doc : documentTable()) {
        if (doc.label && *doc.label)
            QTest::newRow(doc.label) << doc.labelText();
    }
}

void TestPaperInk::fullFieldsKeepClearOfOtherDots() {
    QFETCH(QString, label);
    const DocumentInfo &doc = *documentByLabel(label);
    PrintEngine engine;
    engine.ctx.report = [](const QString &, const QString &, Prompts::Icon) {};
    QString msg;
    CalibList rows;
    QVERIFY2(bFunCalibLoadData(msg, m_env->programFile("bruma_kalibracja.sqset"),
                               doc.calibrationTable(false), rows),
             qPrintable(msg));
    const RecordFieldSource source = fullDocument(doc, rows);
    engine.vFunRenderDocument(source, doc, true);

    QStringList faults;
    int fields = 0, standing = 0;
    for (const PagePicture *page : {&engine.ctx.page1, &engine.ctx.page2}) {
        const QList<PagePicture::DotRow> dots = page->dotRows();
        for (const PagePicture::TextRun &run : page->textRuns()) {
            const QRectF box = run.box();
            // Its own dots: the row just under its baseline that runs
            // along most of it.
            int own = -1;
            qreal along = 0;
            for (int i = 0; i < dots.size(); ++i) {
                const QRectF d = dotsBox(dots[i]);
                const qreal below = dots[i].firstCentre.y() - run.baseline.y();
                const qreal overlap =
                    std::min(d.right(), box.right()) - std::max(d.left(), box.left());
                if (overlap > along && below > 0 && below < 6) {
                    own = i;
                    along = overlap;
                }
            }
            if (isField(run)) {
                ++fields;
                // Every character as typed, the "&" among them.
                if (!kFiller.repeated(8).startsWith(run.text))
                    faults << run.text + ": not as typed";
                if (own >= 0) {
                    ++standing;
                    const qreal above = dots[own].firstCentre.y() - run.baseline.y();
                    if (above < kBaselineAboveDotsMin || above > kBaselineAboveDotsMax)
                        faults << QStringLiteral("%1 stands %2 units above its dots")
                                      .arg(run.text)
                                      .arg(above);
                }
            }
            const QRectF crop = box.adjusted(-4, -8, 4, 8);
            QList<PagePicture::DotRow> near;
            for (int i = 0; i < dots.size(); ++i) {
                if (i != own && dotsBox(dots[i]).intersects(crop))
                    near << dots[i];
            }
            if (near.isEmpty())
                continue;
            const QImage text = ink(crop, [&](PagePicture &p) {
                p.setFont(run.font);
                p.drawText(run.baseline, run.text);
            });
            const QImage other = ink(crop, [&](PagePicture &p) {
                for (const PagePicture::DotRow &d : near)
                    p.drawDots(d.firstCentre, d.count, d.step, d.diameter);
            });
            if (qEnvironmentVariableIsSet("SW_INK_DEBUG") && touching(text, other)) {
                text.save("/tmp/ink_text.png");
                other.save("/tmp/ink_other.png");
            }
            if (const int n = touching(text, other))
                faults << QStringLiteral("%1 (at %2, %3) touches the dots at %4 in %5 dots")
                              .arg(run.text)
                              .arg(run.baseline.x())
                              .arg(run.baseline.y())
                              .arg(near.first().firstCentre.y())
                              .arg(n);
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    QVERIFY(fields > 0);
    // Every field of a document that prints dots stands on them.
    QCOMPARE(standing, fields);
}

// "Wyłącz kropki" leaves the dots out of every document.
void TestPaperInk::withoutDotsNoDocumentHasDots() {
    for (const DocumentInfo &doc : documentTable()) {
        if (!doc.label || !*doc.label)
            continue;
        PrintEngine engine;
        engine.ctx.report = [](const QString &, const QString &, Prompts::Icon) {};
        engine.ctx.printWithoutDots = true;
        engine.vFunRenderDocument(RecordFieldSource::blank(doc), doc, true);
        QVERIFY2(engine.ctx.page1.dotRows().isEmpty() && engine.ctx.page2.dotRows().isEmpty(),
                 doc.label);
        QVERIFY2(!engine.ctx.page1.isEmpty(), doc.label);
    }
}

void TestPaperInk::titlePageLines_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("gender");
    QTest::addColumn<QString>("ending");
    for (const char *label : {"MEN-I/37/2 arkusz str. 1", "MEN-I/37b/2 arkusz str. tytułowa"}) {
        QTest::addRow("%s, girl", label) << QString::fromUtf8(label) << "kobieta"
                                         << "a";
        QTest::addRow("%s, boy", label) << QString::fromUtf8(label)
                                        << QString::fromUtf8("mężczyzna") << "y";
    }
}

// The birth line of a title page: the year once, followed by the form's own
// "r."; the endings and the values on the baseline of the form's words.
void TestPaperInk::titlePageLines() {
    QFETCH(QString, label);
    QFETCH(QString, gender);
    QFETCH(QString, ending);
    const DocumentInfo &doc = *documentByLabel(label);
    const QString id = QString::fromLatin1(kPupilDataId);
    const SqlDataList records = {{id, "Imie_DATA_EDIT", QString::fromUtf8("Zoé")},
                                 {id, "Nazwisko_DATA_EDIT", QString::fromUtf8("Żak")},
                                 {id, "Plec_DATA_COMBOBOX", gender},
                                 {id, "UrodzonyDnia_DATA_EDIT", "5 marca"},
                                 {id, "UrodzonyRok_DATA_COMBOBOX", "2013 r."},
                                 {id, "UrodzonyMiasto_DATA_COMBOBOX", QString::fromUtf8("Łódź")},
                                 {id, "Pesel_DATA_EDIT", "13230512345"}};
    PrintEngine engine;
    engine.vFunRenderDocument(RecordFieldSource(doc, records), doc, true);
    const QList<PagePicture::TextRun> runs = engine.ctx.page1.textRuns();
    auto find = [&runs](const QString &text) {
        QList<PagePicture::TextRun> found;
        for (const PagePicture::TextRun &r : runs)
            if (r.text == text)
                found << r;
        return found;
    };
    QCOMPARE(find("2013 r.").size(), 0);
    QCOMPARE(find("2013").size(), 1);
    const PagePicture::TextRun year = find("2013").first();
    // One "r." after the year, on its line.
    int yearMarks = 0;
    for (const PagePicture::TextRun &r : find("r."))
        yearMarks += qAbs(r.baseline.y() - year.baseline.y()) < 6;
    QCOMPARE(yearMarks, 1);
    // Every value and ending of a line within 0.2 mm of its words' baseline.
    constexpr double kTolerance = 0.2 / (210.0 / kPageWidth);
    const QList<PagePicture::TextRun> born = find(QString::fromUtf8("Urodzon"));
    QCOMPARE(born.size(), 1);
    const qreal line = born.first().baseline.y();
    for (const QString &value :
         {ending, QStringLiteral("5 marca"), QStringLiteral("2013"), QString::fromUtf8("Łódź")}) {
        const QList<PagePicture::TextRun> found = find(value);
        QVERIFY2(!found.isEmpty(), qPrintable(value));
        QVERIFY2(qAbs(found.first().baseline.y() - line) <= kTolerance,
                 qPrintable(QStringLiteral("%1 at %2, the line at %3")
                                .arg(value)
                                .arg(found.first().baseline.y())
                                .arg(line)));
    }
    for (const QString &word : {QStringLiteral("dnia"), QStringLiteral("w")}) {
        bool onLine = false;
        for (const PagePicture::TextRun &r : find(word))
            onLine |= qAbs(r.baseline.y() - line) <= kTolerance;
        QVERIFY2(onLine, qPrintable(word));
    }
    // The endings of the other lines stand on their own words.
    for (const char *word : {"Przyjęt", "Wpisan"}) {
        const QList<PagePicture::TextRun> words = find(QString::fromUtf8(word));
        if (words.isEmpty())
            continue;
        bool ended = false;
        for (const PagePicture::TextRun &r : find(ending))
            ended |= qAbs(r.baseline.y() - words.first().baseline.y()) <= kTolerance &&
                     qAbs(r.baseline.x() - words.first().box().right()) < 4;
        QVERIFY2(ended, word);
    }
}

QTEST_MAIN(TestPaperInk)
#include "tst_paperink.moc"
