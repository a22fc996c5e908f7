// benchclass [RUNS] [PUPILS]...
// Times a PDF of the grade-1 certificates (both sides, every field filled)
// of a class, as the command line makes it (swiadectwa --pdf, a process from
// start to end) and as the window makes it (bFunPrintClass, in process),
// against the limit: benchpdfbare, a bare Qt program writing the same page
// pictures, already rendered, with QPdfWriter (no reading, no rendering).
// The PDFs are rasterised and must match the limit's within anti-aliasing,
// or the benchmark fails. Runs are interleaved; medians are printed with the
// limit and the ratio, for each class size (35 and 300 pupils unless given),
// then how time and size grow with the class.
#include "app/tfglowna.h"
#include "app/windowfactory.h"
#include "barepdf.h"
#include "benchsupport.h"
#include "document/certfile.h"
#include "document/classsession.h"
#include "editors/editor.h"
#include "printing/classprint.h"
#include "printing/printengine.h"
#include "storage/paths.h"

#include <QApplication>
#include <QBuffer>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QProcess>

#include <algorithm>
#include <cstdio>

namespace {

// One page of a PDF in grey at 100 dpi (pdftoppm); null when it cannot be read.
QImage raster(const QString &pdf, int page, const QString &prefix) {
    QProcess p;
    p.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-gray"),
             QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
             QString::number(page), QStringLiteral("-singlefile"), pdf, prefix});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QImage();
    QImage img(prefix + QStringLiteral(".pgm"));
    QFile::remove(prefix + QStringLiteral(".pgm"));
    return img.convertToFormat(QImage::Format_Grayscale8);
}

// Pixels of two rasters further apart than anti-aliasing puts them (more
// than a quarter of the grey scale); -1 when the sizes differ.
int pixelsApart(const QImage &a, const QImage &b) {
    if (a.size() != b.size())
        return -1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar *pa = a.constScanLine(y), *pb = b.constScanLine(y);
        for (int x = 0; x < a.width(); ++x)
            n += std::abs(pa[x] - pb[x]) > 64;
    }
    return n;
}

// Whether the first two and the last two pages of a PDF match the limit's.
bool matches(const QString &pdf, const QString &limit, int pages, const QString &work) {
    for (int page : {1, 2, pages - 1, pages}) {
        const QImage a = raster(pdf, page, work + QStringLiteral("/a"));
        const QImage b = raster(limit, page, work + QStringLiteral("/b"));
        const int apart = pixelsApart(a, b);
        if (a.isNull() || b.isNull() || apart != 0) {
            std::fprintf(stderr, "%s page %d does not match the limit's: %d pixels apart\n",
                         qPrintable(QFileInfo(pdf).fileName()), page, apart);
            return false;
        }
    }
    return true;
}

double runProcess(const QString &program, const QStringList &args) {
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program),
                     p.readAllStandardError().constData());
        return -1;
    }
    return t.nsecsElapsed() / 1e6;
}

struct ClassFigures {
    int pupils = 0;
    double commandLine = 0, inProcess = 0, bareProcess = 0, bareInProcess = 0;
    qint64 size = 0, bareSize = 0;
};

void printRow(const char *what, double ms, int pupils, double limit, const char *limitName) {
    std::printf("  %-38s %8.1f ms %7.2f ms/pupil   limit %-22s %8.1f ms   ratio %.2f\n", what, ms,
                ms / pupils, limitName, limit, ms / limit);
}

} // namespace

int main(int argc, char **argv) {
    BenchEnvironment env;
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 9;
    QList<int> counts;
    for (int i = 2; i < argc; ++i)
        counts << std::max(2, atoi(argv[i]));
    if (counts.isEmpty())
        counts = {35, 300};

    ProgramWindows windows = createProgramWindows();
    std::unique_ptr<TFGlowna> owner(windows.glowna);
    if (!windows.glowna->StartUpChecks())
        return 1;
    const QString bin = QCoreApplication::applicationDirPath();
    const QString program = bin + QStringLiteral("/swiadectwa");
    const QString bare = bin + QStringLiteral("/benchpdfbare");
    for (const QString &p : {program, bare}) {
        if (!QFileInfo::exists(p)) {
            std::fprintf(stderr, "%s is not built\n", qPrintable(p));
            return 1;
        }
    }

    // Every document filled in, as a pupil's records.
    SqlDataList records;
    for (TFEditor *e : windows.boundWindows()) {
        e->FillSampleFields();
        e->CollectFields(records);
    }
    const DocumentInfo *document = documentByLabel(QString::fromUtf8("MEN-I/1/2 świad. klasa 1"));

    QList<ClassFigures> figures;
    for (const int count : counts) {
        // A class file of pupils who differ by name.
        const QString classFile = env.home.filePath(QStringLiteral("klasa%1.sqbr5").arg(count));
        QFile(classFile).open(QIODevice::WriteOnly);
        StudentList pupils;
        QString msg;
        for (int i = 0; i < count; ++i) {
            SqlDataList pupil = records;
            bool numbered = false;
            for (structSqlData &r : pupil) {
                if (r.comp_name == QLatin1String("Nazwisko_DATA_EDIT"))
                    r.value = QStringLiteral("Uczeń %1").arg(i);
                if (r.comp_name == QLatin1String("NrDziennika_DATA_EDIT")) {
                    r.value = QStringLiteral("%1/2027").arg(i + 1);
                    numbered = true;
                }
            }
            // A certificate number, as a class ready to print has.
            if (!numbered)
                pupil.append({QString::fromLatin1(kPupilDataId),
                              QStringLiteral("NrDziennika_DATA_EDIT"),
                              QStringLiteral("%1/2027").arg(i + 1)});
            const QString table = QStringLiteral("PESEL%1").arg(10000000000LL + i);
            if (!bFunSaveCertData(msg, classFile, table, pupil)) {
                std::fprintf(stderr, "%s\n", qPrintable(msg));
                return 1;
            }
        }
        // In the tree's order, as the command line prints them.
        if (!bFunGetStudentsList(msg, classFile, pupils)) {
            std::fprintf(stderr, "%s\n", qPrintable(msg));
            return 1;
        }
        pupils = pupilsInTreeOrder(pupils);

        // The limit's pages: each pupil read and rendered once, outside the clock.
        QList<PagePicture> pages;
        {
            PrintEngine engine;
            const structRenderOptions options;
            engine.ctx.printWithoutDots = options.printWithoutDots;
            engine.ctx.strikeEmptyFields = options.strikeEmptyFields;
            engine.ctx.clipTextFields = options.clipTextFields;
            for (const structStudentEntry &pupil : pupils) {
                SqlDataList own;
                if (!bFunLoadCertData(msg, classFile, pupil.table, own)) {
                    std::fprintf(stderr, "%s\n", qPrintable(msg));
                    return 1;
                }
                engine.vFunRenderDocument(RecordFieldSource(*document, own), *document, true);
                pages << engine.ctx.page1 << engine.ctx.page2;
            }
        }
        const QString pagesFile = env.home.filePath(QStringLiteral("strony%1.bin").arg(count));
        {
            QFile f(pagesFile);
            f.open(QIODevice::WriteOnly);
            QDataStream out(&f);
            out << pages;
        }

        structClassRequest request;
        request.classFile = classFile;
        request.document = document;
        request.pupils = pupils;
        request.order.pdfFile = env.home.filePath(QStringLiteral("okno%1.pdf").arg(count));
        request.order.margins = {QString(), 0, 0, 210, 297, 0, 0, 210, 297};
        const QString commandPdf = env.home.filePath(QStringLiteral("wiersz%1.pdf").arg(count));
        const QString barePdf = env.home.filePath(QStringLiteral("limit%1.pdf").arg(count));
        const QStringList commandArgs = {QStringLiteral("--pdf"), commandPdf,
                                         QStringLiteral("--dokument"), document->labelText(),
                                         classFile};

        // Interleaved, so that a busy moment of the machine hits every column.
        QList<double> commandLine, inProcess, bareProcess, bareInProcess;
        const int classRuns = count > 100 ? std::max(1, runs / 3) : runs;
        for (int run = 0; run < classRuns; ++run) {
            const double c = runProcess(program, commandArgs);
            const double b = runProcess(bare, {pagesFile, barePdf});
            if (c < 0 || b < 0)
                return 1;
            commandLine << c;
            bareProcess << b;

            QElapsedTimer t;
            t.start();
            structClassOutcome outcome;
            if (!bFunPrintClass(msg, request, {}, outcome)) {
                std::fprintf(stderr, "%s\n", qPrintable(msg));
                return 1;
            }
            inProcess << t.nsecsElapsed() / 1e6;

            t.restart();
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QFile file(env.home.filePath(QStringLiteral("limit-w-procesie.pdf")));
            if (!bareWritePdf(buffer, pages) || !file.open(QIODevice::WriteOnly) ||
                file.write(bytes) != bytes.size())
                return 1;
            file.close();
            bareInProcess << t.nsecsElapsed() / 1e6;
        }

        // The same pages, or the figures mean nothing.
        const int pageCount = int(pages.size());
        if (!matches(commandPdf, barePdf, pageCount, env.home.path()) ||
            !matches(request.order.pdfFile, barePdf, pageCount, env.home.path()))
            return 1;

        ClassFigures f;
        f.pupils = count;
        f.commandLine = median(commandLine);
        f.inProcess = median(inProcess);
        f.bareProcess = median(bareProcess);
        f.bareInProcess = median(bareInProcess);
        f.size = QFileInfo(commandPdf).size();
        f.bareSize = QFileInfo(barePdf).size();
        figures << f;

        std::printf("PDF of %d two-sided certificates (%d pages), medians of %d interleaved runs; "
                    "the first two and the last two pages match the limit's at 100 dpi:\n",
                    count, pageCount, classRuns);
        printRow("command line (swiadectwa --pdf)", f.commandLine, count, f.bareProcess,
                 "benchpdfbare process");
        printRow("in process (bFunPrintClass)", f.inProcess, count, f.bareInProcess,
                 "QPdfWriter in process");
        std::printf("  %-38s %8.1f KB %7.2f KB/pupil   limit %-22s %8.1f KB   ratio %.2f\n", "size",
                    f.size / 1024.0, f.size / 1024.0 / count, "benchpdfbare", f.bareSize / 1024.0,
                    double(f.size) / f.bareSize);
    }

    // Linear: a pupil more costs the same in a large class as in a small one.
    if (figures.size() >= 2) {
        const ClassFigures &a = figures.first(), &b = figures.last();
        const int more = b.pupils - a.pupils;
        auto perPupil = [&](double small, double large) { return (large - small) / more; };
        std::printf("From %d to %d pupils, per pupil (ratio of the large class to the small):\n",
                    a.pupils, b.pupils);
        std::printf("  command line  %.2f ms/pupil at %d, %.2f at %d (%.2f); each pupil more "
                    "%.2f ms\n",
                    a.commandLine / a.pupils, a.pupils, b.commandLine / b.pupils, b.pupils,
                    (b.commandLine / b.pupils) / (a.commandLine / a.pupils),
                    perPupil(a.commandLine, b.commandLine));
        std::printf("  in process    %.2f ms/pupil at %d, %.2f at %d (%.2f); each pupil more "
                    "%.2f ms\n",
                    a.inProcess / a.pupils, a.pupils, b.inProcess / b.pupils, b.pupils,
                    (b.inProcess / b.pupils) / (a.inProcess / a.pupils),
                    perPupil(a.inProcess, b.inProcess));
        std::printf("  size          %.2f KB/pupil at %d, %.2f at %d (%.2f); each pupil more "
                    "%.2f KB\n",
                    a.size / 1024.0 / a.pupils, a.pupils, b.size / 1024.0 / b.pupils, b.pupils,
                    (double(b.size) / b.pupils) / (double(a.size) / a.pupils),
                    perPupil(a.size, b.size) / 1024.0);
    }
    return 0;
}
