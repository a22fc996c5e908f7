#include "editors/binding.h"
#include "editors/editorset.h"
#include "editors/fields.h"
#include "editors/layouteditor.h"
#include "editors/tfdaneucznia.h"
#include "pageimage.h"
#include "support/scriptedprompts.h"
#include "support/testenv.h"

#include <QLabel>
#include <QtTest>

// The shipped calibration against the editors it prints.
class TestShippedLayouts : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void everyFieldHasItsRows_data();
    void everyFieldHasItsRows();
    void sampleTextsLandInTheirFields_data();
    void sampleTextsLandInTheirFields();
    void partsOfThePageKeepApart_data();
    void partsOfThePageKeepApart();

private:
    LayoutEditor *editor(const QString &name) const;
    static void addRows();

    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<QWidget> m_owner;
    QList<TFEditor *> m_editors;
};

void TestShippedLayouts::init() {
    m_env = std::make_unique<TestEnv>();
    m_env->installShipped("bruma_kalibracja.sqset");
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_owner = std::make_unique<QWidget>();
    TFDaneUcznia *pupil = nullptr;
    for (const DocumentInfo &info : documentTable()) {
        TFEditor *e = createBoundWindow(info, pupil, m_owner.get());
        if (!pupil)
            pupil = static_cast<TFDaneUcznia *>(e);
        m_editors << e;
    }
}

void TestShippedLayouts::cleanup() {
    m_owner.reset();
    m_editors.clear();
    m_prompts.reset();
    m_env.reset();
}

LayoutEditor *TestShippedLayouts::editor(const QString &name) const {
    for (TFEditor *e : m_editors)
        if (e->objectName() == name)
            return qobject_cast<LayoutEditor *>(e);
    return nullptr;
}

void TestShippedLayouts::addRows() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("tables");
    QTest::newRow("certificate") << "TFKlasa1" << 0 << QStringList{"klasa_1_3", "klasa_1_3_bk"};
    QTest::newRow("report") << "TFWywiadowka" << 1 << QStringList{"wywiadowka"};
    QTest::newRow("MEN-I/37/2 page 1") << "TFArkuszStr1Kl1" << 2 << QStringList{"arkusz_str1"};
    QTest::newRow("MEN-I/37/2 page 2") << "TFArkuszStr2Kl1" << 3 << QStringList{"arkusz_str2_5"};
    QTest::newRow("MEN-I/37b/2 title") << "TFArkuszStr1b" << 4 << QStringList{"arkusz_str1b"};
    QTest::newRow("MEN-I/37b/2 grade 1")
        << "TFArkuszStr2bKl1" << 5 << QStringList{"arkusz_str2b_5b"};
}

void TestShippedLayouts::everyFieldHasItsRows_data() {
    addRows();
}

void TestShippedLayouts::everyFieldHasItsRows() {
    QFETCH(QString, window);
    QFETCH(QStringList, tables);
    LayoutEditor *e = editor(window);
    for (const QString &table : tables) {
        QString msg;
        CalibList rows;
        QVERIFY2(bFunCalibLoadData(msg, m_env->programFile("bruma_kalibracja.sqset"), table, rows),
                 qPrintable(msg));
        QStringList names;
        for (const structCalibData &r : rows) {
            names << r.name;
            QVERIFY2(r.x1 >= 0 && r.y1 >= 0 && r.x2 <= kPageWidth && r.y2 <= kPageHeight &&
                         r.x1 < r.x2 && r.y1 < r.y2,
                     qPrintable(table + ": " + r.name));
        }
        for (QWidget *w : e->components()) {
            const QString name = w->objectName();
            if (fieldKind(name) == FieldKind::Memo) {
                const int limit = static_cast<MemoEdit *>(w)->lineLimit();
                for (int i = 1; i <= limit; ++i)
                    QVERIFY2(names.contains(name + QString::asprintf("%02d", i)),
                             qPrintable(table + ": " + name));
                // Line rows of one memo follow each other, first line first.
                const int first = int(names.indexOf(name + "01"));
                QCOMPARE(names.value(first + limit - 1), name + QString::asprintf("%02d", limit));
            } else if (fieldKind(name) != FieldKind::None) {
                QVERIFY2(names.contains(name), qPrintable(table + ": " + name));
            }
        }
        if (table.startsWith("klasa")) {
            QVERIFY(names.contains("GRAFIKA: ORZELEK"));
            QVERIFY(names.contains("GRAFIKA: PIECZATKA"));
            QCOMPARE(names.filter("_LINIA_Z_KROPEK").isEmpty(), table == "klasa_1_3_bk");
            QVERIFY(names.filter("STALY_").isEmpty()); // the form is pre-printed
        } else {
            QVERIFY(!names.filter("STALY_").isEmpty()); // printed whole on plain paper
        }
        if (table.startsWith("arkusz"))
            QVERIFY(!names.filter("GRAFIKA: RAMKA").isEmpty());
    }
}

void TestShippedLayouts::sampleTextsLandInTheirFields_data() {
    addRows();
}

void TestShippedLayouts::sampleTextsLandInTheirFields() {
    QFETCH(QString, window);
    LayoutEditor *e = editor(window);
    QVERIFY(e->hasSampleFields());
    e->FillSampleFields();
    PrintEngine engine;
    engine.ctx.strikeEmptyFields = false;
    engine.vFunRenderDocument(WidgetFieldSource(e), *documentByClass(window), true);
    const QImage pages[] = {pageImage(engine.ctx.page1), pageImage(engine.ctx.page2)};
    int checked = 0;
    QString memo;
    int line = 0;
    for (const structCalibData &r : engine.calibList) {
        QString component = r.name;
        int index = -1;
        if (r.name.contains("_DATA_MEMO")) {
            component = r.name.left(r.name.size() - 2);
            line = component == memo ? line + 1 : 0;
            memo = component;
            index = line;
        }
        if (fieldKind(component) == FieldKind::None)
            continue;
        const QWidget *w = e->findChild<QWidget *>(component);
        QVERIFY(w);
        const QString text =
            index < 0 ? strFunWidgetText(w) : WidgetFieldSource(e).lines(component).value(index);
        if (text.trimmed().isEmpty())
            continue;
        const QImage &page = pages[r.name.contains("_STR2_") ? 1 : 0];
        const QRect field(QPoint(r.x1 - 2, r.y1 - 2), QPoint(r.x2 + 2, r.y2 + 2));
        // Some ink inside, none in the band just above the field.
        QVERIFY2(!inkBox(page, field).isEmpty(), qPrintable(r.name + ": " + text));
        ++checked;
    }
    QVERIFY(checked > 10);
}

void TestShippedLayouts::partsOfThePageKeepApart_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("table");
    QTest::newRow("report") << "TFWywiadowka"
                            << "wywiadowka";
    QTest::newRow("MEN-I/37/2 page 1") << "TFArkuszStr1Kl1"
                                       << "arkusz_str1";
    QTest::newRow("MEN-I/37/2 page 2") << "TFArkuszStr2Kl1"
                                       << "arkusz_str2_5";
    QTest::newRow("MEN-I/37b/2 title") << "TFArkuszStr1b"
                                       << "arkusz_str1b";
    QTest::newRow("MEN-I/37b/2 grade 1") << "TFArkuszStr2bKl1"
                                         << "arkusz_str2b_5b";
}

// On a page printed whole, the form's texts, the field texts, the dotted
// lines and the frames are drawn each on a picture of its own; no two may put
// ink on the same spot (a text crossed by dots, a line running into a frame).
void TestShippedLayouts::partsOfThePageKeepApart() {
    QFETCH(QString, window);
    QFETCH(QString, table);
    LayoutEditor *e = editor(window);
    e->FillSampleFields();
    QString msg;
    CalibList rows;
    QVERIFY2(bFunCalibLoadData(msg, m_env->programFile("bruma_kalibracja.sqset"), table, rows),
             qPrintable(msg));
    enum Part { Texts, Fields, Dots, Frames };
    QImage images[4];
    for (QImage &img : images) {
        img = QImage(kPageWidth, kPageHeight, QImage::Format_RGB32);
        img.fill(Qt::white);
    }
    structPrintContext ctx;
    ctx.strikeEmptyFields = false;
    // Which row drew each spot of each picture (an index into names).
    QStringList names{QString()};
    QList<QList<qint16>> owners(4, QList<qint16>(kPageWidth * kPageHeight, 0));
    QString memo;
    int line = 0;
    for (const structCalibData &r : rows) {
        QString text, name = r.name;
        Part part = Fields;
        if (r.name.contains("_LINIA_Z_KROPEK")) {
            part = Dots;
        } else if (r.name.startsWith("GRAFIKA: RAMKA")) {
            part = Frames;
        } else if (r.name.contains("_DATA_MEMO")) {
            name = r.name.left(r.name.size() - 2);
            line = name == memo ? line + 1 : 0;
            memo = name;
            text = WidgetFieldSource(e).lines(name).value(line);
        } else if (const QWidget *w = e->findChild<QWidget *>(r.name)) {
            part = r.name.startsWith("STALY_") ? Texts : Fields;
            text = strFunWidgetText(w);
        } else {
            continue;
        }
        QImage &img = images[part];
        const QImage before = img.copy();
        names << name;
        PagePicture row;
        if (part == Dots)
            vFunDrawDottedLine(ctx, r, &row, 1, r.name);
        else if (part == Frames)
            vFunDrawFrame(ctx, &row, r);
        else
            vFunDrawTextField(ctx, text, r, &row, 1, name);
        {
            QPainter p(&img);
            vFunDrawPage(p, row, QRectF(0, 0, kPageWidth, kPageHeight));
        }
        // What this row drew lies in a band around its base line.
        for (int y = std::max(0, r.y1 - 60); y < std::min(kPageHeight, r.y2 + 30); ++y) {
            const auto *now = reinterpret_cast<const QRgb *>(img.constScanLine(y));
            const auto *was = reinterpret_cast<const QRgb *>(before.constScanLine(y));
            for (int x = 0; x < kPageWidth; ++x)
                if (now[x] != was[x])
                    owners[part][y * kPageWidth + x] = qint16(names.size() - 1);
        }
    }
    const QList<QPair<Part, Part>> apart = {
        {Texts, Dots}, {Texts, Fields}, {Texts, Frames}, {Fields, Frames}};
    for (const auto &[a, b] : apart) {
        for (int y = 0; y < kPageHeight; ++y) {
            const auto *first = reinterpret_cast<const QRgb *>(images[a].constScanLine(y));
            const auto *second = reinterpret_cast<const QRgb *>(images[b].constScanLine(y));
            for (int x = 0; x < kPageWidth; ++x) {
                if (qGray(first[x]) < 128 && qGray(second[x]) < 128)
                    QFAIL(qPrintable(QStringLiteral("%1 and %2 at (%3, %4)")
                                         .arg(names[owners[a][y * kPageWidth + x]],
                                              names[owners[b][y * kPageWidth + x]])
                                         .arg(x)
                                         .arg(y)));
            }
        }
    }
}

QTEST_MAIN(TestShippedLayouts)
#include "tst_shippedlayouts.moc"
