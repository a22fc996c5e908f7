// benchrender [RUNS]
// Times what the teacher waits for, each next to the limit of the platform
// measured in the same run:
//  - start-up to the shown main window, against a bare Qt main window;
//  - a click on a row of the pupil tree (a row in view, pressed with the
//    mouse) to the painted preview of a certificate, against a bare window
//    with the same tree and pages doing the least work for the same output:
//    the pupil read with one statement, the same texts drawn as it paints
//    over the blank forms that carry their dots, the second tab shown for a
//    two-sided document; and against those pages alone, with no tree;
//  - a key in the tree to the painted preview, against a bare window whose
//    tree shows the same two pictures after the same key;
//  - a pupil save, against a program of our own with one prepared insert,
//    and the sqlite3 tool running the same statements;
//  - the preview of each document alone.
// Prints medians and ratios; checks that each measure and its limit made
// the same output (exit status 2 when not).
#include "app/previewpage.h"
#include "app/startup.h"
#include "app/tfglowna.h"
#include "app/windowfactory.h"
#include "benchsupport.h"
#include "document/certfile.h"
#include "document/fieldsource.h"
#include "editors/editor.h"
#include "printing/calibstore.h"
#include "printing/preview.h"
#include "storage/codec.h"
#include "storage/paths.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QProcess>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sqlite3.h>
#include <tuple>

namespace {

double elapsedMs(const QElapsedTimer &t) {
    return t.nsecsElapsed() / 1e6;
}

// A start measured from outside, as the teacher meets it: from starting the
// process to the painted main window. The child says "shown" and ends at once.
double timedStart(const char *mode) {
    QProcess child;
    QElapsedTimer t;
    t.start();
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--start"), QString::fromLatin1(mode)});
    while (child.waitForReadyRead(20000)) {
        if (child.readAll().contains("shown"))
            break;
    }
    const double ms = elapsedMs(t);
    child.waitForFinished(20000);
    return ms;
}

int childStart(const char *mode) {
    auto shown = [] {
        std::fputs("shown\n", stdout);
        std::fflush(stdout);
        std::_Exit(0);
    };
    if (std::strcmp(mode, "bare") == 0 || std::strcmp(mode, "menu") == 0) {
        QMainWindow window;
        window.resize(1100, 800);
        // Any text on a window makes Qt load its fonts first.
        if (std::strcmp(mode, "menu") == 0)
            window.menuBar()->addMenu(QStringLiteral("Plik"));
        window.show();
        QCoreApplication::processEvents();
        shown();
    }
    ProgramWindows windows;
    startProgram(windows, QString(), shown);
    return 1;
}

// Waits until the widget has been painted: its paint event delivered and
// done (the event loop returns after it).
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget *w) : m_widget(w) { w->installEventFilter(this); }
    void arm() { m_seen = false; }
    bool wait() {
        QElapsedTimer limit;
        limit.start();
        while (!m_seen && limit.elapsed() < 5000)
            QCoreApplication::processEvents();
        return m_seen;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == m_widget && event->type() == QEvent::Paint)
            m_seen = true;
        return false;
    }

private:
    QWidget *m_widget;
    bool m_seen = false;
};

// The pupil's rows, as the limit reads them: one prepared statement.
int readRows(const QString &classFile, const QString &table) {
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(classFile).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *stmt = nullptr;
    const QByteArray sql = "select id, comp_name, value from `" + table.toLatin1() + "`";
    sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr);
    SqlDataList rows;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        auto text = [stmt](int i) {
            return cp1250::decode(reinterpret_cast<const char *>(sqlite3_column_text(stmt, i)));
        };
        rows.append({text(0), text(1), text(2)});
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return int(rows.size());
}

// A page of the limit: the blank form with the layout's dots (the same for
// every pupil, made once) and the pupil's texts drawn over it as the widget
// paints, only where it paints.
class BarePage : public QWidget {
public:
    QImage base;
    const PagePicture *page = nullptr;
    QList<PreviewMark> marks;
    QRectF target;
    int side = 1;
    QSize sizeHint() const override { return base.size(); }

protected:
    void paintEvent(QPaintEvent *event) override {
        QPainter p(this);
        if (!page) {
            p.fillRect(event->rect(), palette().window());
            return;
        }
        p.drawImage(event->rect().topLeft(), base, event->rect());
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        page->replay(p, target, PagePicture::Layers::WithoutDots);
        vFunDrawPreviewMarks(p, marks, target, side);
    }
};

// A click as the teacher makes it: on a row she sees (the tree scrolled
// there and painted before the clock starts), timed from the press to the
// painted page; the release follows the paint, as a hand's would.
double clickRow(QTreeWidget *tree, QTreeWidgetItem *row, PaintWatch &watch) {
    if (tree->currentItem() == row)
        return 0.0;
    QWidget *rows = tree->viewport();
    tree->scrollToItem(row);
    QCoreApplication::processEvents();
    const QPointF at = QRectF(tree->visualItemRect(row)).center();
    const QPointF global = rows->mapToGlobal(at);
    watch.arm();
    QElapsedTimer t;
    t.start();
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(rows, &press);
    const bool painted = watch.wait();
    const double ms = elapsedMs(t);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(rows, &release);
    if (!painted || tree->currentItem() != row)
        std::printf("the click on \"%s\" did not show its page\n", qPrintable(row->text(0)));
    return ms;
}

// What a row of the limit's tree shows: the pupil's rows read from its
// table, the pages the program drew for it, over the blank forms of its
// document with the layout's dots (made once per document).
struct BareRow {
    QString table;
    RenderedPages pages;
    std::array<QImage, 2> bases;
    bool twoSides = false;
};

// The same-output limit of a click: a bare window with the program's tree
// (the same rows, expanded and styled alike, in a splitter of the same
// sizes) and two tabs of pages. A click on a row reads the pupil with one
// statement and shows the same page texts over the blank forms that
// already carry the dots, the second tab only for a two-sided document;
// then the window is painted.
struct BareView {
    QMainWindow window;
    QTreeWidget *tree = new QTreeWidget;
    QTabWidget *tabs = new QTabWidget;
    BarePage *page1 = new BarePage;
    BarePage *page2 = new BarePage;
    QHash<const QTreeWidgetItem *, BareRow> rows;
    QString classFile;
    PaintWatch *watch = nullptr;

    BareView(const TFGlowna *g, const QString &file) : classFile(file) {
        tree->setHeaderHidden(true);
        tree->setStyleSheet(g->TreeView->styleSheet());
        for (int i = 0; i < g->TreeView->topLevelItemCount(); ++i)
            tree->addTopLevelItem(g->TreeView->topLevelItem(i)->clone());
        for (int i = 0; i < g->TreeView->topLevelItemCount(); ++i)
            tree->topLevelItem(i)->setExpanded(g->TreeView->topLevelItem(i)->isExpanded());
        for (BarePage *page : {page1, page2}) {
            page->setAttribute(Qt::WA_OpaquePaintEvent);
            auto *area = new QScrollArea;
            area->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            area->setWidget(page);
            tabs->addTab(area,
                         page == page1 ? g->PageControl->tabText(0) : g->PageControl->tabText(1));
        }
        auto *split = new QSplitter;
        split->addWidget(tree);
        split->addWidget(tabs);
        window.setCentralWidget(split);
        // The program's central area, without its menus, tool bar and status line.
        window.resize(g->centralWidget()->size());
        window.show();
        QCoreApplication::processEvents();
        if (auto *programSplit = qobject_cast<QSplitter *>(g->TreeView->parentWidget()))
            split->setSizes(programSplit->sizes());
        QObject::connect(tree, &QTreeWidget::currentItemChanged, [this](QTreeWidgetItem *item) {
            const auto row = rows.constFind(item);
            if (row == rows.cend())
                return;
            readRows(classFile, row->table);
            show(*row);
        });
        watch = new PaintWatch(page1);
    }
    // The pages alone, as an earlier limit timed them: the rows read and the
    // pages shown and painted, with no tree clicked.
    double pagesAlone(QTreeWidgetItem *programRow) {
        const BareRow &row = rows[rowAt(programRow)];
        watch->arm();
        QElapsedTimer t;
        t.start();
        readRows(classFile, row.table);
        show(row);
        watch->wait();
        return elapsedMs(t);
    }
    // The row of the limit's tree at the program's row.
    QTreeWidgetItem *rowAt(QTreeWidgetItem *programRow) const {
        QTreeWidgetItem *parent = programRow->parent();
        QTreeWidget *from = programRow->treeWidget();
        if (!parent)
            return tree->topLevelItem(from->indexOfTopLevelItem(programRow));
        return tree->topLevelItem(from->indexOfTopLevelItem(parent))
            ->child(parent->indexOfChild(programRow));
    }
    void show(const BareRow &row) {
        const RenderedPages &pages = row.pages;
        for (auto [page, side] : {std::pair{page1, 1}, std::pair{page2, 2}}) {
            if (side == 2 && !row.twoSides)
                continue;
            page->base = row.bases[size_t(side - 1)];
            page->page = side == 1 ? &pages.page1 : &pages.page2;
            page->marks = pages.overflows;
            page->target = target;
            page->side = side;
            page->adjustSize();
            page->update();
        }
        if (tabs->isTabVisible(1) != row.twoSides) {
            if (!row.twoSides && tabs->currentIndex() == 1)
                tabs->setCurrentIndex(0);
            tabs->tabBar()->setTabVisible(1, row.twoSides);
        }
    }
    QRectF target;
};

// How many pixels of two pictures differ by more than anti-aliasing does.
qsizetype differingPixels(const QImage &a, const QImage &b) {
    if (a.size() != b.size())
        return std::max<qsizetype>(1, qsizetype(a.width()) * a.height());
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    qsizetype differ = 0;
    for (int row = 0; row < x.height(); ++row) {
        const QRgb *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const QRgb *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const int d = std::max({std::abs(qRed(p[col]) - qRed(q[col])),
                                    std::abs(qGreen(p[col]) - qGreen(q[col])),
                                    std::abs(qBlue(p[col]) - qBlue(q[col]))});
            if (d > 48)
                ++differ;
        }
    }
    return differ;
}

// Same output within anti-aliasing: at most one pixel in a thousand differs.
bool sameOutput(const char *what, const QImage &ours, const QImage &limit) {
    const qsizetype differ = differingPixels(ours, limit);
    const qsizetype all = qsizetype(ours.width()) * ours.height();
    const bool same = !ours.isNull() && differ * 1000 <= all;
    std::printf("%-24s output %s: %lld of %lld pixels differ\n", what,
                same ? "matches its limit" : "DIFFERS FROM ITS LIMIT", (long long)differ,
                (long long)all);
    return same;
}

// A pupil save as the limit does it: one transaction, one prepared insert.
double bareSave(const QString &file, const QString &table, const SqlDataList &records) {
    QElapsedTimer t;
    t.start();
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    auto exec = [db](const QByteArray &sql) {
        sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    };
    exec("begin");
    exec("drop table if exists `" + table.toLatin1() + "`");
    exec(cp1250::encode(strFunCreatePupilTableSql(table)));
    sqlite3_stmt *insert = nullptr;
    const QByteArray sql =
        "insert into `" + table.toLatin1() + "`( id, comp_name, value ) values( ?, ?, ? )";
    sqlite3_prepare_v2(db, sql.constData(), -1, &insert, nullptr);
    for (const structSqlData &r : records) {
        const QByteArray values[] = {cp1250::encode(r.id), cp1250::encode(r.comp_name),
                                     cp1250::encode(r.value)};
        for (int i = 0; i < 3; ++i)
            sqlite3_bind_text(insert, i + 1, values[i].constData(), int(values[i].size()),
                              SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    exec("commit");
    sqlite3_close(db);
    return elapsedMs(t);
}

void report(const char *what, double ours, const char *limitName, double limit) {
    std::printf("%-24s %8.2f ms   %-34s %8.2f ms   ratio %.2f\n", what, ours, limitName, limit,
                limit > 0 ? ours / limit : 0.0);
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 3 && std::strcmp(argv[1], "--start") == 0) {
        QApplication app(argc, argv);
        return childStart(argv[2]);
    }
    BenchEnvironment env;
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 25;

    // Start-up, alternating so that both meet the same warm caches; the
    // first start prepares the program folder.
    timedStart("program");
    QList<double> starts, bareStarts, menuStarts;
    for (int i = 0; i < std::max(5, runs / 2); ++i) {
        bareStarts << timedStart("bare");
        menuStarts << timedStart("menu");
        starts << timedStart("program");
    }

    ProgramWindows windows = createProgramWindows();
    std::unique_ptr<TFGlowna> owner(windows.glowna);
    TFGlowna *g = windows.glowna;
    if (!g->StartUpChecks())
        return 1;

    // A class of 30 pupils, each with every document filled in.
    QString msg;
    const QString tmp = strFunGetTmpFilePath(msg);
    QFile(tmp).open(QIODevice::WriteOnly);
    SqlDataList records;
    for (TFEditor *e : windows.boundWindows()) {
        e->FillSampleFields();
        e->CollectFields(records);
    }
    for (int i = 0; i < 30; ++i) {
        SqlDataList pupil = records;
        for (structSqlData &r : pupil) {
            if (r.comp_name == QLatin1String("Nazwisko_DATA_EDIT"))
                r.value = QStringLiteral("Uczeń %1").arg(i);
        }
        bFunReplaceCertData(msg, tmp, QStringLiteral("PESEL%1").arg(10000000000LL + i), pupil);
    }
    g->bFunLoadStudentList();
    g->setClassOpen(true);

    g->show();
    QCoreApplication::processEvents();

    // Click to preview, timed to the painted picture, and its limit: from
    // one pupil's report to the next pupil's grade-1 certificate (the sample
    // texts fill both of its sides), a different pupil on every click.
    const int pupils = g->TreeView->topLevelItemCount();
    auto pupilNode = [&](int i) { return g->TreeView->topLevelItem(i % pupils); };
    PaintWatch programPaint(g->Image1);
    auto programClick = [&](QTreeWidgetItem *to) {
        return clickRow(g->TreeView, to, programPaint);
    };
    // Each pupil's pages as the program draws them: the limit draws the same.
    const int reportRow = 3, certificate = 0;
    QList<RenderedPages> shown, shownReports;
    for (int i = 0; i < pupils; ++i) {
        programClick(pupilNode(i + 1)->child(reportRow));
        programClick(pupilNode(i)->child(certificate));
        shown << g->engine().pages();
        if (shown.last().page1.textRuns().size() < 20 ||
            shown.last().page2.textRuns().size() < 20) {
            std::printf("the pupils' certificates are not filled in: nothing to measure\n");
            return 1;
        }
    }
    for (int i = 0; i < pupils; ++i) {
        programClick(pupilNode(i)->child(reportRow));
        shownReports << g->engine().pages();
    }
    const double scale = g->previewZoom();
    const QRectF target(QPointF(74, 74) * scale, QPointF(957, 1388) * scale);
    // The blank forms of a document with its layout's dots, made once.
    auto basesOf = [&](const DocumentInfo *doc, const RenderedPages &pages) {
        std::array<QImage, 2> bases;
        for (int i = 0; i < doc->sides && i < 2; ++i) {
            QImage image(strFunGetDataFilePath(msg, "grafika/" + doc->backdrops().value(i)));
            image = image.convertToFormat(QImage::Format_RGB32);
            if (!qFuzzyCompare(scale, 1.0))
                image = image.scaled(image.size() * scale, Qt::IgnoreAspectRatio,
                                     Qt::SmoothTransformation);
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            (i == 0 ? pages.page1 : pages.page2).replay(p, target, PagePicture::Layers::DotsOnly);
            bases[size_t(i)] = image;
        }
        return bases;
    };
    BareView bare(g, tmp);
    bare.target = target;
    const DocumentInfo *certificateDoc = documentByLabel(pupilNode(0)->child(certificate)->text(0));
    const DocumentInfo *reportDoc = documentByLabel(pupilNode(0)->child(reportRow)->text(0));
    const std::array<QImage, 2> certificateBases = basesOf(certificateDoc, shown.first());
    const std::array<QImage, 2> reportBases = basesOf(reportDoc, shownReports.first());
    for (int i = 0; i < pupils; ++i) {
        const QString table = pupilNode(i)->data(0, Qt::UserRole).toString();
        bare.rows.insert(bare.rowAt(pupilNode(i)->child(certificate)),
                         {table, shown[i], certificateBases, certificateDoc->sides == 2});
        bare.rows.insert(bare.rowAt(pupilNode(i)->child(reportRow)),
                         {table, shownReports[i], reportBases, reportDoc->sides == 2});
    }
    auto bareClick = [&](QTreeWidgetItem *to) {
        return clickRow(bare.tree, bare.rowAt(to), *bare.watch);
    };
    QList<double> clicks, bareClicks, pagesAlone;
    for (int i = 0; i < runs; ++i) {
        programClick(pupilNode(i + 1)->child(reportRow));
        clicks << programClick(pupilNode(i)->child(certificate));
        bareClick(pupilNode(i + 1)->child(reportRow));
        pagesAlone << bare.pagesAlone(pupilNode(i)->child(certificate));
        bareClick(pupilNode(i + 2)->child(reportRow));
        bareClicks << bareClick(pupilNode(i)->child(certificate));
    }
    // What each window paints, whole: the pages, and the tree with its row
    // selected (both trees taken through the same last clicks).
    g->TreeView->scrollToTop();
    bare.tree->scrollToTop();
    programClick(pupilNode(1)->child(reportRow));
    programClick(pupilNode(0)->child(certificate));
    bareClick(pupilNode(1)->child(reportRow));
    bareClick(pupilNode(0)->child(certificate));
    bool same = sameOutput("click-to-preview side 1", g->Image1->grab().toImage(),
                           bare.page1->grab().toImage());
    same &= sameOutput("click-to-preview side 2", g->Image2->grab().toImage(),
                       bare.page2->grab().toImage());
    same &= sameOutput("click-to-preview tree", g->TreeView->viewport()->grab().toImage(),
                       bare.tree->viewport()->grab().toImage());
    same &= g->PageControl->isTabVisible(1) && bare.tabs->isTabVisible(1);
    bare.window.hide();

    // A key in the tree to the painted picture: Down through a pupil's first
    // four documents and Up back; the limit is a bare window whose tree
    // shows the same pictures after the same keys.
    QTreeWidgetItem *pupil = pupilNode(15);
    const int rows = 4;
    QList<std::array<QPixmap, 2>> pictures;
    for (int row = 0; row < rows; ++row) {
        programClick(pupil->child(row));
        pictures.append(
            {QPixmap::fromImage(g->Image1->picture()), QPixmap::fromImage(g->Image2->picture())});
    }
    QMainWindow keyWindow;
    auto *keyTree = new QTreeWidget;
    auto *keyParent = new QTreeWidgetItem(keyTree, QStringList{pupil->text(0)});
    for (int row = 0; row < rows; ++row)
        new QTreeWidgetItem(keyParent, QStringList{pupil->child(row)->text(0)});
    keyParent->setExpanded(true);
    auto *keyTabs = new QTabWidget;
    QLabel *keyLabels[2] = {new QLabel, new QLabel};
    for (QLabel *label : keyLabels) {
        auto *area = new QScrollArea;
        area->setWidget(label);
        keyTabs->addTab(area, QString());
    }
    auto *keySplit = new QSplitter;
    keySplit->addWidget(keyTree);
    keySplit->addWidget(keyTabs);
    keyWindow.setCentralWidget(keySplit);
    keyWindow.resize(1100, 800);
    QObject::connect(keyTree, &QTreeWidget::currentItemChanged, [&](QTreeWidgetItem *item) {
        const int row = item && item->parent() ? item->parent()->indexOfChild(item) : -1;
        if (row < 0)
            return;
        for (int side = 0; side < 2; ++side) {
            keyLabels[side]->setPixmap(pictures[row][size_t(side)]);
            keyLabels[side]->adjustSize();
        }
    });
    keyWindow.show();
    keyTree->setCurrentItem(keyParent->child(0));
    QCoreApplication::processEvents();
    PaintWatch barePaint(keyLabels[0]);
    auto pressKey = [](QWidget *target, PaintWatch &watch, int key) {
        watch.arm();
        QElapsedTimer t;
        t.start();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
        watch.wait();
        return elapsedMs(t);
    };
    g->activateWindow();
    g->TreeView->setFocus();
    programClick(pupil->child(0));
    QList<double> keys, bareKeys;
    for (int i = 0; i < std::max(2, runs / 3); ++i) {
        for (int key : {int(Qt::Key_Down), int(Qt::Key_Up)}) {
            for (int step = 1; step < rows; ++step) {
                keys << pressKey(g->TreeView, programPaint, key);
                bareKeys << pressKey(keyTree, barePaint, key);
            }
            if (key == Qt::Key_Down && i == 0)
                same &= sameOutput("key-to-painted", g->Image1->grab().toImage(),
                                   keyLabels[0]->pixmap().toImage());
        }
    }
    same &= g->TreeView->currentItem() == pupil->child(0) &&
            keyTree->currentItem() == keyParent->child(0);
    keyWindow.hide();

    // A pupil save: the store's transaction against a program of our own
    // with one prepared insert, and the sqlite3 tool on the same statements.
    QList<double> saves, bareSaves, tool;
    const int rowCount = int(records.size());
    QTemporaryDir work;
    QString sql = QStringLiteral("begin;\ndrop table if exists `PESEL99999999999`;\n") +
                  strFunCreatePupilTableSql(QStringLiteral("PESEL99999999999")) +
                  QStringLiteral(";\n");
    for (const structSqlData &r : records)
        sql += QStringLiteral("insert into `PESEL99999999999`( id, comp_name, value ) "
                              "values( '%1', '%2', '%3' );\n")
                   .arg(r.id, r.comp_name, QString(r.value).replace('\'', QLatin1String("''")));
    sql += QStringLiteral("commit;\n");
    const QString sqlFile = work.filePath(QStringLiteral("save.sql"));
    {
        QFile f(sqlFile);
        f.open(QIODevice::WriteOnly);
        f.write(cp1250::encode(sql));
    }
    SqlDataList stored, bareStored;
    for (int i = 0; i < std::max(5, runs / 2); ++i) {
        QElapsedTimer t;
        t.start();
        bFunReplaceCertData(msg, tmp, QStringLiteral("PESEL99999999999"), records);
        saves << elapsedMs(t);
        bareSaves << bareSave(tmp, QStringLiteral("PESEL99999999998"), records);
        QProcess sqlite;
        sqlite.setStandardInputFile(sqlFile);
        t.restart();
        sqlite.start(QStringLiteral("sqlite3"), {tmp});
        sqlite.waitForFinished(30000);
        tool << elapsedMs(t);
    }
    bFunReplaceCertData(msg, tmp, QStringLiteral("PESEL99999999999"), records);
    bFunLoadCertData(msg, tmp, QStringLiteral("PESEL99999999999"), stored);
    bFunLoadCertData(msg, tmp, QStringLiteral("PESEL99999999998"), bareStored);
    const bool sameRows =
        stored.size() == records.size() && bareStored.size() == records.size() &&
        std::equal(stored.begin(), stored.end(), bareStored.begin(),
                   [](const structSqlData &a, const structSqlData &b) {
                       return a.id == b.id && a.comp_name == b.comp_name && a.value == b.value;
                   });
    std::printf("%-24s output %s: %d rows\n", "pupil save",
                sameRows ? "matches its limit" : "DIFFERS FROM ITS LIMIT", rowCount);
    same &= sameRows;

    std::printf("medians over %d runs (%s)\n", runs, qPrintable(QGuiApplication::platformName()));
    report("start-up", median(starts), "bare Qt main window", median(bareStarts));
    report("start-up", median(starts), "bare Qt main window with a menu", median(menuStarts));
    report("click-to-preview", median(clicks), "same window, bare", median(bareClicks));
    report("click-to-preview", median(clicks), "pages alone, no tree clicked", median(pagesAlone));
    report("key-to-painted", median(keys), "same pictures, bare window", median(bareKeys));
    report("pupil save", median(saves), "own program, prepared insert", median(bareSaves));
    report("pupil save", median(saves), "sqlite3 tool, same statements", median(tool));

    // Each document drawn for the preview, pictures of the form included.
    for (const DocumentInfo *row : treeRows()) {
        if (!row)
            continue;
        const RecordFieldSource source(*row, records);
        QList<double> renders;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer t;
            t.start();
            g->engine().vFunRenderDocument(source, *row, false);
            renders << elapsedMs(t);
        }
        std::printf("preview of %-34s (%3zd rows): median %.2f ms\n", row->label,
                    size_t(g->engine().calibList.size()), median(renders));
    }
    return same ? 0 : 2;
}
