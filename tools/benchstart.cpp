// benchstart [RUNS [MEMORY_RUNS]]
// benchstart --prepare DIR: prepares the program folder of XDG_DATA_HOME and
//   a class in DIR, then a child can be profiled by hand:
//   benchstart --child start|memory [CLASS_FILE], benchbare start|memory
// The start of the program as the teacher meets it, measured from outside
// against a bare Qt main window with one menu started the same way (benchbare,
// a program linking nothing but Qt Widgets):
//  - process start to the first paint of the main window;
//  - process start to every window of the program built;
//  - the peak memory (VmHWM) after visiting every document of 35 pupils
//    in the tree, against the bare window's after its first paint.
// Starts alternate so that both sides meet the same warm caches. Prints
// medians, the limits and the ratios against their goals.
#include "app/startup.h"
#include "app/tfglowna.h"
#include "app/windowfactory.h"
#include "benchsupport.h"
#include "document/certfile.h"
#include "editors/editor.h"
#include "firstpaint.h"
#include "storage/paths.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const int kPupils = 35;

// Selects every document of every pupil in the tree, each painted before
// the next, as a teacher going through the class does.
void visitEveryDocument(TFGlowna *g) {
    QTreeWidget *tree = g->TreeView;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *pupil = tree->topLevelItem(i);
        for (int j = 0; j < pupil->childCount(); ++j) {
            if (!documentByLabel(pupil->child(j)->text(0)))
                continue;
            tree->setCurrentItem(pupil->child(j));
            QCoreApplication::processEvents();
        }
    }
}

// what: "start" (painted, then every window built) or "memory" (painted,
// every document visited, the peak memory).
int child(int argc, char **argv, const char *what) {
    const bool memory = std::strcmp(what, "memory") == 0;
    FirstPaint::install([memory](QMainWindow *window) {
        auto *g = qobject_cast<TFGlowna *>(window);
        if (!g)
            std::_Exit(2);
        if (memory) {
            visitEveryDocument(g);
            std::printf("vmhwm %ld\n", peakMemoryKb());
        } else {
            int n = 0;
            for (QWidget *w : g->windows().all)
                n += w ? 1 : 0;
            if (n < 2)
                std::_Exit(2);
        }
        say("built");
        // The lock goes as at a normal end: the next start is not one after a crash.
        QFile::remove(strFunInstanceLockPath());
        std::_Exit(0);
    });
    return runProgram(argc, argv); // the class file, when given, opens
}

struct Timed {
    double painted = 0, built = 0;
    long peakKb = 0;
};

// A child from its process start: the program (this file in its child
// mode) or the bare window (benchbare beside it).
Timed timedChild(const char *mode, const char *what, const QString &classFile = QString()) {
    QProcess child;
    const bool bare = std::strcmp(mode, "bare") == 0;
    QStringList args{QString::fromLatin1(what)};
    if (!bare)
        args.prepend(QStringLiteral("--child"));
    if (!classFile.isEmpty())
        args << classFile;
    const QString program =
        bare ? QCoreApplication::applicationDirPath() + QStringLiteral("/benchbare")
             : QCoreApplication::applicationFilePath();
    Timed out;
    QByteArray said;
    QElapsedTimer t;
    t.start();
    child.start(program, args);
    while (out.built == 0 && child.waitForReadyRead(120000)) {
        said += child.readAllStandardOutput();
        const double now = t.nsecsElapsed() / 1e6;
        if (out.painted == 0 && said.contains("painted\n"))
            out.painted = now;
        if (said.contains("built\n"))
            out.built = now;
    }
    child.waitForFinished(120000);
    const qsizetype at = said.indexOf("vmhwm ");
    if (at >= 0)
        out.peakKb = said.mid(at + 6, said.indexOf('\n', at) - at - 6).toLong();
    if (out.built == 0) {
        std::fprintf(stderr, "the child (%s %s) did not finish: %s\n", mode, what,
                     child.readAllStandardError().constData());
        std::exit(1);
    }
    return out;
}

// A class of kPupils pupils, each with every document filled in as the
// calibration samples fill it.
QString makeClass(const QString &dir) {
    ProgramWindows windows = createProgramWindows();
    std::unique_ptr<TFGlowna> owner(windows.glowna);
    windows.glowna->StartUpChecks();
    SqlDataList records;
    for (TFEditor *e : windows.boundWindows()) {
        e->FillSampleFields();
        e->CollectFields(records);
    }
    const QString path = dir + QStringLiteral("/klasa.sqbr5");
    QFile(path).open(QIODevice::WriteOnly);
    QString msg;
    for (int i = 0; i < kPupils; ++i) {
        const QString pesel = QString::number(15210100000LL + i * 10);
        SqlDataList pupil = records;
        for (structSqlData &r : pupil) {
            if (r.comp_name == QLatin1String("Nazwisko_DATA_EDIT"))
                r.value = QStringLiteral("Uczeń %1").arg(i, 2, 10, QLatin1Char('0'));
            else if (r.comp_name == QLatin1String("Pesel_DATA_EDIT"))
                r.value = pesel;
        }
        bFunReplaceCertData(msg, path, QStringLiteral("PESEL") + pesel, pupil);
    }
    windows.glowna->CloseWithoutAsking = true;
    return path;
}

void report(const char *what, double ours, const char *unit, double limit, double goal) {
    const double ratio = limit > 0 ? ours / limit : 0.0;
    std::printf("%-34s %9.1f %s   limit (bare window) %9.1f %s   ratio %5.2f   goal <= %.1f  %s\n",
                what, ours, unit, limit, unit, ratio, goal, ratio <= goal ? "ok" : "ABOVE");
}

} // namespace

int main(int argc, char **argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--child") == 0) {
        // The class file (memory runs) is the program's command-line document.
        char *childArgv[] = {argv[0], argc > 3 ? argv[3] : nullptr, nullptr};
        int childArgc = argc > 3 ? 2 : 1;
        return child(childArgc, childArgv, argv[2]);
    }
    if (argc == 3 && std::strcmp(argv[1], "--prepare") == 0) {
        QApplication app(argc, argv);
        std::printf("%s\n", qPrintable(makeClass(QString::fromLocal8Bit(argv[2]))));
        return 0;
    }
    BenchEnvironment env;
    // The single-instance lock and its socket stay in a folder of their own.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    const int memoryRuns = argc > 2 ? std::max(1, atoi(argv[2])) : 3;

    // The class, made first, also prepares the program folder: no start
    // meets the notices of a first start.
    QTemporaryDir work;
    const QString classFile = makeClass(work.path());
    timedChild("program", "start");
    QList<double> painted, built, barePainted;
    for (int i = 0; i < runs; ++i) {
        barePainted << timedChild("bare", "start").painted;
        const Timed t = timedChild("program", "start");
        painted << t.painted;
        built << t.built;
    }

    QList<double> peak, barePeak;
    for (int i = 0; i < memoryRuns; ++i) {
        barePeak << timedChild("bare", "memory").peakKb / 1024.0;
        peak << timedChild("program", "memory", classFile).peakKb / 1024.0;
    }

    std::printf("medians over %d starts and %d memory runs each (%s)\n", runs, memoryRuns,
                qPrintable(QGuiApplication::platformName()));
    std::printf("the limit: benchbare, a Qt main window with one menu in a program linking only "
                "Qt Widgets\n");
    report("start -> first paint", median(painted), "ms", median(barePainted), 1.5);
    report("start -> every window built", median(built), "ms", median(barePainted), 2.5);
    char what[64];
    std::snprintf(what, sizeof what, "peak memory, %d pupils visited", kPupils);
    report(what, median(peak), "MB", median(barePeak), 2.5);
    return 0;
}
