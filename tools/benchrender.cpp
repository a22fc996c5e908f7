// benchrender [RUNS]
// Times what a click in the pupil tree costs: load a pupil of a 30-pupil
// class into every editor, render the certificate's two sides and draw them
// over the backdrops; then a rendering of each layout alone. Prints medians.
#include "app/tfglowna.h"
#include "benchsupport.h"
#include "document/certfile.h"
#include "document/fieldsource.h"
#include "editors/editor.h"
#include "storage/paths.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>

int main(int argc, char **argv) {
    BenchEnvironment env;
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 25;

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

    QTreeWidgetItem *node = g->TreeView->topLevelItem(15)->child(1);
    QList<double> clicks;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        g->TreeView->setCurrentItem(node);
        g->TreeViewClick();
        clicks << t.nsecsElapsed() / 1e6;
    }
    std::printf("click-to-preview of a certificate (30-pupil class): median %.1f ms over %d runs\n",
                median(clicks), runs);

    for (const DocumentInfo *row : treeRows()) {
        if (!row)
            continue;
        const RecordFieldSource source(*row, records);
        QList<double> renders;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer t;
            t.start();
            g->engine().vFunRenderDocument(source, *row, true);
            renders << t.nsecsElapsed() / 1e6;
        }
        std::printf("render %-34s (%zd rows): median %.2f ms\n", row->label,
                    size_t(g->engine().calibList.size()), median(renders));
    }
    return 0;
}
