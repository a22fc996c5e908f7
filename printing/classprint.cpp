#include "printing/classprint.h"

#include "printing/printcheck.h"

#include "document/fieldsource.h"
#include "printing/printengine.h"
#include "storage/log.h"

namespace {

const char *const kClassFun = "bFunPrintClass()";

QStringList tablesOf(const StudentList &pupils) {
    QStringList tables;
    for (const structStudentEntry &pupil : pupils)
        tables << pupil.table;
    return tables;
}

} // namespace

structClassJobs structFunClassJobs(const structPrintOrder &order,
                                   const QList<structPupilPages> &pages, bool reverseBacks) {
    const structMarginData &m = order.margins;
    auto front = [&m](const structPupilPages &p) {
        return structSheet{&p.page1, m.Page1X1, m.Page1Y1, m.Page1X2, m.Page1Y2};
    };
    auto back = [&m](const structPupilPages &p) {
        return structSheet{&p.page2, m.Page2X1, m.Page2Y1, m.Page2X2, m.Page2Y2};
    };
    const bool twoSided = order.sides == 2;
    const bool toPrinter = !order.printer.isEmpty();
    structClassJobs out;
    if (!twoSided || !toPrinter || order.duplex != Duplex::Off) {
        structPrintJob job;
        job.duplex = twoSided && toPrinter ? order.duplex : Duplex::Off;
        QStringList names;
        for (const structPupilPages &p : pages) {
            job.sheets << front(p);
            names << p.pupil;
            if (twoSided) {
                job.sheets << back(p);
                names << p.pupil;
            }
        }
        out.jobs << job;
        out.pupils << names;
        return out;
    }
    // Two passes through a one-sided printer: the fronts, then the backs.
    structPrintJob fronts, backs;
    QStringList frontNames, backNames;
    for (const structPupilPages &p : pages) {
        fronts.sheets << front(p);
        frontNames << p.pupil;
    }
    for (int i = 0; i < pages.size(); ++i) {
        const structPupilPages &p = pages[reverseBacks ? pages.size() - 1 - i : i];
        backs.sheets << back(p);
        backNames << p.pupil;
    }
    out.jobs << fronts << backs;
    out.pupils << frontNames << backNames;
    return out;
}

bool bFunPrintClass(QString &msg, const structClassRequest &request,
                    const structClassCallbacks &callbacks, structClassOutcome &outcome) {
    outcome = structClassOutcome();
    const DocumentInfo &doc = *request.document;
    const int sides = doc.sides;
    const int count = int(request.pupils.size());
    auto progress = [&](int done, int total, const QString &pupil) {
        if (!callbacks.progress || callbacks.progress(done, total, pupil))
            return true;
        outcome.cancelled = true;
        msg.clear();
        return false;
    };

    PrintEngine engine;
    engine.ctx.printWithoutDots = request.options.printWithoutDots;
    engine.ctx.strikeEmptyFields = request.options.strikeEmptyFields;
    engine.ctx.clipTextFields = request.options.clipTextFields;
    QString renderError;
    engine.ctx.report = [&](const QString &, const QString &text, Prompts::Icon icon) {
        if (!outcome.notices.contains(text))
            outcome.notices << text;
        if (icon == Prompts::Icon::Error)
            renderError = text;
    };

    QList<structPupilPages> pages;
    bool stopped = false, uncalibrated = false;
    vFunLoadCertDataOfPupils(
        request.classFile, tablesOf(request.pupils),
        [&](int i, const SqlDataList &records, const QString &why) {
            const structStudentEntry &pupil = request.pupils[i];
            if (!progress(i, count * (1 + sides), pupil.name)) {
                stopped = true;
                return false;
            }
            if (!why.isEmpty()) {
                outcome.failures.append({pupil.name, why});
                return true;
            }
            engine.vFunRenderDocument(RecordFieldSource(doc, records), doc, true);
            outcome.findings += listFunCheckDocument(pupil.name, doc, records, engine.overflows);
            // Without its calibration no pupil's document can print.
            if (engine.calibList.isEmpty()) {
                uncalibrated = true;
                return false;
            }
            pages.append({pupil.name, engine.ctx.page1, engine.ctx.page2});
            return true;
        });
    if (stopped)
        return false;
    if (uncalibrated)
        return bFunFail(msg,
                        renderError.isEmpty()
                            ? QString::fromUtf8("Błąd podczas próby wczytania danych kalibracji.")
                            : renderError,
                        kClassFun);
    if (pages.isEmpty()) {
        QStringList names;
        for (const structPupilFailure &f : outcome.failures)
            names << f.pupil.trimmed();
        return bFunFail(msg,
                        QString::fromUtf8("Nie udało się wczytać danych żadnego z wybranych "
                                          "uczniów:\n") +
                            names.join(QLatin1Char('\n')) +
                            QString::fromUtf8("\nNic nie zostało wydrukowane."),
                        kClassFun);
    }

    structPrintOrder order = request.order;
    order.sides = sides;
    if (sides == 2 && !order.printer.isEmpty() && order.duplex != Duplex::Off &&
        order.rotateSecondPage) {
        for (structPupilPages &p : pages)
            vFunRotateSecondPage(p.page2);
    }
    const structClassJobs jobs = structFunClassJobs(order, pages, request.reverseBacks);
    int sheets = 0;
    QList<int> firstSheet;
    for (const structPrintJob &j : jobs.jobs) {
        firstSheet << sheets;
        sheets += int(j.sheets.size());
    }
    structJobCallbacks steps;
    steps.step = [&](int job, int sheet) {
        return progress(count + firstSheet[job] + sheet, count + sheets, jobs.pupils[job][sheet]);
    };
    steps.between = [&](int) {
        if (!callbacks.turnOver || callbacks.turnOver())
            return true;
        outcome.cancelled = true;
        return false;
    };
    bool cancelled = false;
    const bool printed =
        bFunPrintJobs(msg, order, jobs.jobs, steps, kClassFun, outcome.print, cancelled);
    outcome.cancelled = outcome.cancelled || cancelled;
    if (printed) {
        outcome.pupilsPrinted = int(pages.size());
        outcome.pages = sheets;
    }
    return printed;
}

namespace {

// The engine every check renders with: the options given, and silent (a
// failure shows when the class prints; the check only looks).
void setUpCheckEngine(PrintEngine &engine, const structRenderOptions &options) {
    engine.ctx.printWithoutDots = options.printWithoutDots;
    engine.ctx.strikeEmptyFields = options.strikeEmptyFields;
    engine.ctx.clipTextFields = options.clipTextFields;
    engine.ctx.report = [](const QString &, const QString &, Prompts::Icon) {};
}

QList<structPrintFinding> checkWith(PrintEngine &engine, const QString &pupil,
                                    const DocumentInfo &doc, const SqlDataList &records) {
    engine.vFunRenderDocument(RecordFieldSource(doc, records), doc, true);
    return listFunCheckDocument(pupil, doc, records, engine.overflows);
}

} // namespace

QList<structPrintFinding> listFunCheckStored(const QString &pupil, const DocumentInfo &doc,
                                             const SqlDataList &records,
                                             const structRenderOptions &options) {
    PrintEngine engine;
    setUpCheckEngine(engine, options);
    return checkWith(engine, pupil, doc, records);
}

QList<structPrintFinding> listFunCheckClass(const structClassRequest &request) {
    QList<structPrintFinding> findings;
    if (!request.document)
        return findings;
    PrintEngine engine;
    setUpCheckEngine(engine, request.options);
    const DocumentInfo &doc = *request.document;
    vFunLoadCertDataOfPupils(
        request.classFile, tablesOf(request.pupils),
        [&](int i, const SqlDataList &records, const QString &why) {
            if (why.isEmpty())
                findings += checkWith(engine, request.pupils[i].name, doc, records);
            return true;
        });
    return findings;
}

QList<structCheckRow> listFunCheckClassTable(const QString &classFile, const StudentList &pupils,
                                             const structRenderOptions &options) {
    QList<structCheckRow> rows;
    PrintEngine engine;
    setUpCheckEngine(engine, options);
    for (const structStudentEntry &pupil : pupils) {
        structCheckRow row;
        row.pupil = pupil;
        SqlDataList records;
        if (!bFunLoadCertData(row.unreadable, classFile, pupil.table, records)) {
            if (row.unreadable.isEmpty())
                row.unreadable = QString::fromUtf8("nie udało się odczytać danych ucznia");
            rows << row;
            continue;
        }
        row.unreadable.clear();
        for (const DocumentInfo *doc : treeRows()) {
            if (!doc)
                continue;
            structCheckCell cell;
            cell.document = doc;
            if (bFunDocumentStarted(*doc, records)) {
                cell.findings = checkWith(engine, pupil.name, *doc, records);
                cell.state =
                    cell.findings.isEmpty() ? DocumentState::Filled : DocumentState::PrintsWrong;
            }
            row.cells << cell;
        }
        rows << row;
    }
    return rows;
}
