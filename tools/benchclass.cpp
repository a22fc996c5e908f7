// benchclass [RUNS] [PUPILS]
// Times a PDF of the grade-1 certificates (both sides, every field filled)
// of a class of 35 pupils, as the window and the command line make it: each
// pupil read from the class file, rendered and drawn into one PDF file.
// Prints the median, and the share of reading and rendering in it; then the
// same by the command line, a process of its own from start to end.
#include "app/tfglowna.h"
#include "app/windowfactory.h"
#include "benchsupport.h"
#include "document/certfile.h"
#include "editors/editor.h"
#include "printing/classprint.h"
#include "storage/paths.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <cstdio>

int main(int argc, char **argv) {
    BenchEnvironment env;
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 9;
    const int count = argc > 2 ? std::max(1, atoi(argv[2])) : 35;

    ProgramWindows windows = createProgramWindows();
    std::unique_ptr<TFGlowna> owner(windows.glowna);
    if (!windows.glowna->StartUpChecks())
        return 1;

    // A class file of pupils with every document filled in.
    SqlDataList records;
    for (TFEditor *e : windows.boundWindows()) {
        e->FillSampleFields();
        e->CollectFields(records);
    }
    const QString classFile = env.home.filePath(QStringLiteral("klasa.sqbr5"));
    QFile(classFile).open(QIODevice::WriteOnly);
    StudentList pupils;
    QString msg;
    for (int i = 0; i < count; ++i) {
        SqlDataList pupil = records;
        for (structSqlData &r : pupil) {
            if (r.comp_name == QLatin1String("Nazwisko_DATA_EDIT"))
                r.value = QStringLiteral("Uczeń %1").arg(i);
        }
        const QString table = QStringLiteral("PESEL%1").arg(10000000000LL + i);
        bFunSaveCertData(msg, classFile, table, pupil);
        pupils.append({QStringLiteral("Uczeń %1").arg(i), table});
    }

    structClassRequest request;
    request.classFile = classFile;
    request.document = documentByLabel(QString::fromUtf8("MEN-I/1/2 świad. klasa 1"));
    request.pupils = pupils;
    request.order.pdfFile = env.home.filePath(QStringLiteral("klasa.pdf"));
    request.order.margins = {QString(), 0, 0, 210, 297, 0, 0, 210, 297};
    QList<double> whole, rendering;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer t, sinceStart;
        t.start();
        double rendered = 0;
        structClassCallbacks callbacks;
        // The first sheet is drawn when every pupil is rendered.
        callbacks.progress = [&](int done, int, const QString &) {
            if (done == count)
                rendered = t.nsecsElapsed() / 1e6;
            return true;
        };
        structClassOutcome outcome;
        if (!bFunPrintClass(msg, request, callbacks, outcome)) {
            std::fprintf(stderr, "%s\n", qPrintable(msg));
            return 1;
        }
        whole << t.nsecsElapsed() / 1e6;
        rendering << rendered;
    }
    std::printf("PDF of %d two-sided certificates (%d pages, %.1f MB): median %.0f ms over %d "
                "runs (reading and rendering %.0f ms, drawing and writing the PDF the rest)\n",
                count, count * 2, QFileInfo(request.order.pdfFile).size() / 1e6, median(whole),
                runs, median(rendering));

    // The command line, started as a script starts it (program folder ready).
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/swiadectwa");
    if (!QFileInfo::exists(program))
        return 0;
    QList<double> processes;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer t;
        t.start();
        QProcess p;
        p.start(program, {QStringLiteral("--pdf"), request.order.pdfFile,
                          QStringLiteral("--dokument"), request.document->labelText(), classFile});
        if (!p.waitForFinished(60000) || p.exitCode() != 0) {
            std::fprintf(stderr, "%s\n", p.readAllStandardError().constData());
            return 1;
        }
        processes << t.nsecsElapsed() / 1e6;
    }
    std::printf("the same by the command line (swiadectwa --pdf): median %.0f ms over %d runs\n",
                median(processes), runs);
    return 0;
}
