// Golden cases of the renderer, without windows: a folder per case under
// cases/ holds a small class file as SQL text (class.sql), which document of
// which pupil to render (case.txt) and the expected texts with their boxes
// in page units (expected.txt). Each case is rendered from the pupil's
// records and must give the expected texts where they are expected; the same
// pupil loaded into the editor windows must render the very same page.
// SW_WRITE_GOLDEN=1 writes expected.txt afresh (after a deliberate change).
#include "editors/binding.h"
#include "editors/editorcontext.h"
#include "editors/editorset.h"
#include "editors/tfdaneucznia.h"
#include "pageimage.h"
#include "storage/cppsqlite3.h"
#include "support/scriptedprompts.h"
#include "support/testenv.h"

#include <QDir>
#include <QtTest>

namespace {

struct Line {
    int side = 1;
    QRectF box;
    QString text;
};

QList<Line> renderedLines(const PrintEngine &engine) {
    QList<Line> lines;
    for (int side = 1; side <= 2; ++side) {
        const PagePicture &page = side == 1 ? engine.ctx.page1 : engine.ctx.page2;
        for (const PagePicture::TextRun &run : page.textRuns())
            lines.append({side, run.box(), run.text});
    }
    return lines;
}

QString format(const Line &l) {
    return QStringLiteral("%1|%2|%3|%4|%5|%6")
        .arg(l.side)
        .arg(l.box.left(), 0, 'f', 1)
        .arg(l.box.top(), 0, 'f', 1)
        .arg(l.box.width(), 0, 'f', 1)
        .arg(l.box.height(), 0, 'f', 1)
        .arg(l.text);
}

Line parse(const QString &text) {
    const QStringList cells = text.split(QLatin1Char('|'));
    Line l;
    l.side = cells.value(0).toInt();
    l.box = QRectF(cells.value(1).toDouble(), cells.value(2).toDouble(), cells.value(3).toDouble(),
                   cells.value(4).toDouble());
    l.text = cells.mid(5).join(QLatin1Char('|'));
    return l;
}

QMap<QString, QString> readCase(const QString &path) {
    QMap<QString, QString> out;
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    for (const QByteArray &line : f.readAll().split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            out.insert(QString::fromUtf8(line.left(eq)).trimmed(),
                       QString::fromUtf8(line.mid(eq + 1)).trimmed());
    }
    return out;
}

} // namespace

class TestGoldens : public QObject {
    Q_OBJECT
private slots:
    void cases_data();
    void cases();
};

void TestGoldens::cases_data() {
    QTest::addColumn<QString>("folder");
    const QDir cases(QStringLiteral(SW_CASES_DIR));
    for (const QString &name : cases.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        QTest::newRow(qPrintable(name)) << cases.filePath(name);
}

void TestGoldens::cases() {
    QFETCH(QString, folder);
    TestEnv env;
    ScriptedPrompts prompts;
    env.installShipped(QStringLiteral("bruma_kalibracja.sqset"));

    // The class file from its SQL text (the layer stores it as CP1250).
    const QString classFile = env.dataHome() + QStringLiteral("/klasa.sqbr5");
    {
        QFile sql(folder + QStringLiteral("/class.sql"));
        QVERIFY(sql.open(QIODevice::ReadOnly));
        CppSQLite3DB db;
        db.Open(classFile);
        db.Execute(QString::fromUtf8(sql.readAll()));
    }
    const QMap<QString, QString> setup = readCase(folder + QStringLiteral("/case.txt"));
    const DocumentInfo *doc = documentByClass(setup.value(QStringLiteral("document")));
    QVERIFY(doc);
    QString msg;
    SqlDataList records;
    QVERIFY2(bFunLoadCertData(msg, classFile, setup.value(QStringLiteral("table")), records),
             qPrintable(msg));

    PrintEngine engine;
    engine.vFunRenderDocument(RecordFieldSource(*doc, records), *doc, true);
    const QList<Line> fromRecords = renderedLines(engine);
    QVERIFY(fromRecords.size() >= 8);

    const QString expectedFile = folder + QStringLiteral("/expected.txt");
    if (qEnvironmentVariableIsSet("SW_WRITE_GOLDEN")) {
        QFile out(expectedFile);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        for (const Line &l : fromRecords)
            out.write(format(l).toUtf8() + '\n');
    }
    QFile in(expectedFile);
    QVERIFY2(in.open(QIODevice::ReadOnly), qPrintable(expectedFile));
    QList<Line> expected;
    for (const QByteArray &line : in.readAll().split('\n')) {
        if (!line.isEmpty())
            expected.append(parse(QString::fromUtf8(line)));
    }
    QCOMPARE(fromRecords.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        const Line &got = fromRecords[i];
        const Line &want = expected[i];
        const QString where =
            QStringLiteral("line %1: %2 / expected %3").arg(i + 1).arg(format(got), format(want));
        QVERIFY2(got.side == want.side && got.text == want.text, qPrintable(where));
        // A tenth of a unit of rounding, and as much again for a font
        // engine of another build.
        for (const auto &[a, b] :
             {std::pair{got.box.left(), want.box.left()}, std::pair{got.box.top(), want.box.top()},
              std::pair{got.box.width(), want.box.width()},
              std::pair{got.box.height(), want.box.height()}})
            QVERIFY2(qAbs(a - b) <= 0.2, qPrintable(where));
    }

    // The same pupil through the editor windows: the same page, line by line.
    QWidget owner;
    QList<TFEditor *> windows;
    TFDaneUcznia *pupil = nullptr;
    for (const DocumentInfo &info : documentTable()) {
        TFEditor *e = createBoundWindow(info, pupil, &owner);
        if (!pupil)
            pupil = static_cast<TFDaneUcznia *>(e);
        windows << e;
    }
    for (TFEditor *e : windows)
        e->ApplyFields(records);
    TFEditor *editor = nullptr;
    for (TFEditor *e : windows)
        if (e->objectName() == QLatin1String(doc->className))
            editor = e;
    QVERIFY(editor);
    PrintEngine throughWindows;
    throughWindows.vFunRenderDocument(WidgetFieldSource(editor), *doc, true);
    const QList<Line> fromWindows = renderedLines(throughWindows);
    QCOMPARE(fromWindows.size(), fromRecords.size());
    for (int i = 0; i < fromRecords.size(); ++i) {
        QCOMPARE(fromWindows[i].text, fromRecords[i].text);
        QCOMPARE(fromWindows[i].box, fromRecords[i].box);
    }
    QVERIFY(throughWindows.ctx.page1 == engine.ctx.page1);
    QVERIFY(throughWindows.ctx.page2 == engine.ctx.page2);
}

QTEST_MAIN(TestGoldens)
#include "tst_goldens.moc"
