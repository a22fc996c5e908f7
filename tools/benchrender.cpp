// benchrender [RUNS]
// Times what the teacher waits for, each next to the limit of the platform
// measured in the same run:
//  - start-up to the shown main window, against a bare Qt main window;
//  - a click in the pupil tree to the drawn preview of a certificate, against
//    a bare drawing of the same pupil's texts over the same backdrops;
//  - a pupil save, against the sqlite3 tool running the same statements;
//  - the rendering of each document alone.
// Prints medians and ratios.
#include "app/startup.h"
#include "app/tfglowna.h"
#include "app/windowfactory.h"
#include "benchsupport.h"
#include "document/certfile.h"
#include "document/fieldsource.h"
#include "editors/editor.h"
#include "printing/calibstore.h"
#include "storage/codec.h"
#include "storage/paths.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sqlite3.h>

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
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--start"),
                                                          QString::fromLatin1(mode)});
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

// The limit of a click: one pupil read with a single query, its texts drawn
// where the calibration puts them, straight over copies of the backdrops.
double bareClick(const QString &classFile, const QString &table, const CalibList &rows,
                 const QImage &backdrop1, const QImage &backdrop2) {
    QElapsedTimer t;
    t.start();
    QHash<QString, QString> values;
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(classFile).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *stmt = nullptr;
    const QByteArray sql = "select comp_name, value from `" + table.toLatin1() + "`";
    sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        values.insert(
            cp1250::decode(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0))),
            cp1250::decode(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1))));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    QImage pages[] = {backdrop1.copy(), backdrop2.copy()};
    QPainter painters[2];
    for (int i = 0; i < 2; ++i) {
        painters[i].begin(&pages[i]);
        painters[i].setRenderHint(QPainter::Antialiasing);
        painters[i].translate(74, 74);
        painters[i].scale(883.0 / 885.0, 1.0);
    }
    for (const structCalibData &r : rows) {
        const QString text = values.value(r.name);
        if (text.isEmpty())
            continue;
        QPainter &p = painters[r.name.contains(QLatin1String("_STR2_")) ? 1 : 0];
        QFont font(r.font_name);
        font.setPixelSize(r.font_size * 96 / 72);
        p.setFont(font);
        p.drawText(QPointF(r.x1, r.y2 - 5), text);
    }
    for (QPainter &p : painters)
        p.end();
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

    // Click to preview, and its limit.
    QTreeWidgetItem *pupil = g->TreeView->topLevelItem(15);
    const QString table = pupil->data(0, Qt::UserRole).toString();
    QList<double> clicks, bare;
    CalibList rows;
    bFunCalibLoadData(msg, strFunGetDataFilePath(msg, QString::fromLatin1(kCalibFileName)),
                      QStringLiteral("klasa_1_3"), rows);
    const QImage backdrop1(strFunGetDataFilePath(msg, QStringLiteral("grafika/sw_str1_prw.bmp")));
    const QImage backdrop2(strFunGetDataFilePath(msg, QStringLiteral("grafika/sw_str2_prw.bmp")));
    for (int i = 0; i < runs; ++i) {
        // From another pupil's report to this pupil's certificate.
        g->TreeView->setCurrentItem(g->TreeView->topLevelItem(14)->child(3));
        QElapsedTimer t;
        t.start();
        g->TreeView->setCurrentItem(pupil->child(1));
        clicks << elapsedMs(t);
        bare << bareClick(tmp, table,
                          rows, backdrop1.convertToFormat(QImage::Format_RGB32),
                          backdrop2.convertToFormat(QImage::Format_RGB32));
    }

    // A pupil save, and the sqlite3 tool on the same statements.
    QList<double> saves, tool;
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
    for (int i = 0; i < std::max(5, runs / 2); ++i) {
        QElapsedTimer t;
        t.start();
        bFunReplaceCertData(msg, tmp, QStringLiteral("PESEL99999999999"), records);
        saves << elapsedMs(t);
        QProcess sqlite;
        sqlite.setStandardInputFile(sqlFile);
        t.restart();
        sqlite.start(QStringLiteral("sqlite3"), {tmp});
        sqlite.waitForFinished(30000);
        tool << elapsedMs(t);
    }

    std::printf("medians over %d runs\n", runs);
    report("start-up", median(starts), "bare Qt main window", median(bareStarts));
    report("start-up", median(starts), "bare Qt main window with a menu", median(menuStarts));
    report("click-to-preview", median(clicks), "bare drawing of the same texts", median(bare));
    std::printf("%-24s (%d rows)\n", "pupil save", rowCount);
    report("pupil save", median(saves), "sqlite3 tool, same statements", median(tool));

    for (const DocumentInfo *row : treeRows()) {
        if (!row)
            continue;
        const RecordFieldSource source(*row, records);
        QList<double> renders;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer t;
            t.start();
            g->engine().vFunRenderDocument(source, *row, true);
            renders << elapsedMs(t);
        }
        std::printf("render %-34s (%3zd rows): median %.2f ms\n", row->label,
                    size_t(g->engine().calibList.size()), median(renders));
    }
    return 0;
}
