#include "printing/printjob.h"

#include "printing/printengine.h"
#include "storage/errortext.h"
#include "storage/log.h"
#include "storage/paths.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <cups/cups.h>

#include <cerrno>

namespace {

const char *const kPrintFun = "bFunPrintDocument()";
const char *const kPrinterSetupFun = "vFunUstawDrukarke()";

// What the spooler answered, in the words a teacher reads, with its own text.
QString strFunSpoolerReason(ipp_status_t status, const QString &spoolerText) {
    QString reason;
    switch (status) {
    case IPP_STATUS_ERROR_NOT_FOUND:
        reason = QString::fromUtf8("drukarka nie jest znana systemowi drukowania");
        break;
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
        reason = QString::fromUtf8("drukarka nie przyjmuje zadań");
        break;
    case IPP_STATUS_ERROR_FORBIDDEN:
    case IPP_STATUS_ERROR_NOT_AUTHORIZED:
    case IPP_STATUS_ERROR_NOT_AUTHENTICATED:
        reason = QString::fromUtf8("brak uprawnień do drukowania na tej drukarce");
        break;
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
        reason = QString::fromUtf8("brak połączenia z systemem drukowania");
        break;
    default:
        reason = QString::fromUtf8("system drukowania odmówił");
        break;
    }
    if (!spoolerText.isEmpty())
        reason += QStringLiteral(" (") + spoolerText + QLatin1Char(')');
    return reason;
}

QString strFunLastSpoolerReason() {
    return strFunSpoolerReason(cupsLastError(), QString::fromUtf8(cupsLastErrorString()));
}

struct PrinterState {
    bool known = false;
    bool accepting = false;
    bool stopped = false;
    QString reason; // why it cannot be used
};

PrinterState printerState(const QString &printer) {
    PrinterState st;
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                     "/printers/%s", printer.toUtf8().constData());
    ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char *const wanted[] = {"printer-state", "printer-state-message",
                                         "printer-is-accepting-jobs"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  int(sizeof wanted / sizeof *wanted), nullptr, wanted);
    ipp_t *response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    if (!response || cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
        st.reason = strFunLastSpoolerReason();
        ippDelete(response);
        return st;
    }
    st.known = true;
    ipp_attribute_t *accepting =
        ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    st.accepting = !accepting || ippGetBoolean(accepting, 0);
    ipp_attribute_t *state = ippFindAttribute(response, "printer-state", IPP_TAG_ENUM);
    st.stopped = state && ippGetInteger(state, 0) == IPP_PSTATE_STOPPED;
    ipp_attribute_t *message = ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT);
    const QString said =
        message ? QString::fromUtf8(ippGetString(message, 0, nullptr)).trimmed() : QString();
    if (!st.accepting)
        st.reason = strFunSpoolerReason(IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS, said);
    ippDelete(response);
    return st;
}

// Renders the sheets into a PDF of A4 paper, page size equal to the paper,
// drawn from the paper's corner. The PDF is made in memory: what reaches a
// file is written whole or not at all (iFunWriteWholeFile).
bool bFunRenderPdf(QString &msg, QByteArray &bytes, const QString &path,
                   const QList<structSheet> &sheets, const SheetStep &step) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(1200);
    pdf.setCreator(QString::fromUtf8("Świadectwa 1-3"));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    return bFunDrawSheets(msg, pdf, path, sheets, step);
}

// A file that could not be written whole: the Polish reason, then the code.
QString strFunWriteFailure(int err) {
    const QString reason = strFunErrnoReason(err);
    return (reason.isEmpty() ? QString() : reason + QLatin1Char('\n')) + strFunErrnoCode(err);
}

// One job to the spooler: A4, portrait, the sides asked for, and no scaling,
// so that no filter fits the page to the printable area.
int iFunSubmitJob(const QString &printer, const QString &file, const QString &title,
                  Duplex duplex) {
    const char *sides = duplex == Duplex::LongEdge    ? "two-sided-long-edge"
                        : duplex == Duplex::ShortEdge ? "two-sided-short-edge"
                                                      : "one-sided";
    cups_option_t *options = nullptr;
    int count = 0;
    count = cupsAddOption("sides", sides, count, &options);
    count = cupsAddOption("media", "A4", count, &options);
    count = cupsAddOption("orientation-requested", "3", count, &options);
    count = cupsAddOption("print-scaling", "none", count, &options);
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, printer.toUtf8().constData(),
                                   QFile::encodeName(file).constData(), title.toUtf8().constData(),
                                   count, options);
    cupsFreeOptions(count, options);
    return job;
}

} // namespace

QString strFunPdfTargetRefusal(const QString &target, const QStringList &classFiles) {
    // Where the path really leads: links followed, relative parts resolved.
    auto where = [](const QString &path) {
        const QFileInfo file(strFunResolvedLinkTarget(QFileInfo(path).absoluteFilePath()));
        if (file.exists())
            return file.canonicalFilePath();
        const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
        return (folder.isEmpty() ? file.absolutePath() : folder) + QLatin1Char('/') +
               file.fileName();
    };
    const QString to = where(target);
    const QString head =
        QString::fromUtf8("Nie zapisano pliku PDF:\n") + target + QLatin1Char('\n');
    const QString tail = QString::fromUtf8("\nWybierz inną nazwę pliku PDF (z końcówką .pdf).");
    const QFileInfo info(to);
    if (info.isDir())
        return head + QString::fromUtf8("Wskazano folder, a nie plik.") + tail;
    for (const QString &classFile : classFiles) {
        if (!classFile.isEmpty() && where(classFile) == to)
            return head +
                   QString::fromUtf8("To jest plik klasy z danymi uczniów: plik PDF zastąpiłby "
                                     "te dane.") +
                   tail;
    }
    QString scratch;
    const QStringList dataFolders = {strFunGetProgramDir(scratch), strFunGetExeDirPath(scratch)};
    for (const QString &folder : dataFolders) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (!canonical.isEmpty() && to.startsWith(canonical + QLatin1Char('/')))
            return head +
                   QString::fromUtf8("Ten folder należy do programu (jego ustawienia, kopia "
                                     "robocza otwartej klasy i pliki danych); plik PDF nie może "
                                     "ich zastąpić.") +
                   tail;
    }
    // Any database file, a class file under any name among them.
    QFile existing(to);
    if (existing.open(QIODevice::ReadOnly) &&
        existing.read(16) == QByteArray("SQLite format 3\0", 16))
        return head +
               QString::fromUtf8("Ten plik to baza danych (na przykład plik klasy z danymi "
                                 "uczniów): plik PDF zastąpiłby te dane.") +
               tail;
    return QString();
}

structDeviceRect rectFunDeviceRect(int leftMm, int topMm, int rightMm, int bottomMm, int dpiX,
                                   int dpiY, int offX, int offY) {
    // Integer arithmetic: 127 mm at 600 dpi is exactly 3000 dots, not 2999.
    auto dots = [](int mm, int dpi) { return int(qint64(mm) * 10 * dpi / 254); };
    return {dots(leftMm, dpiX) - offX, dots(topMm, dpiY) - offY, dots(rightMm, dpiX) - offX,
            dots(bottomMm, dpiY) - offY};
}

bool bFunDrawSheets(QString &msg, QPagedPaintDevice &device, const QString &where,
                    const QList<structSheet> &sheets, const SheetStep &step) {
    QPainter painter;
    if (!painter.begin(&device))
        return bFunFail(msg, QString::fromUtf8("Nie udało się rozpocząć wydruku:\n") + where,
                        kPrintFun);
    // The painter starts at the printable area, or at the paper's corner on a
    // full page; either way the offset makes the sheet count from the corner.
    const int dpi = device.logicalDpiX();
    const QPoint offset = device.pageLayout().paintRectPixels(dpi).topLeft();
    for (int i = 0; i < sheets.size(); ++i) {
        if (step && !step(i)) {
            painter.end();
            msg.clear();
            return false;
        }
        if (i > 0 && !device.newPage()) {
            painter.end();
            return bFunFail(msg, QString::fromUtf8("Nie udało się dodać strony wydruku:\n") + where,
                            kPrintFun);
        }
        const structSheet &s = sheets[i];
        const structDeviceRect r =
            rectFunDeviceRect(s.left, s.top, s.right, s.bottom, dpi, dpi, offset.x(), offset.y());
        vFunDrawPage(painter, *s.page, r.rect());
        if (s.overlay) {
            const QSizeF paper = device.pageLayout().fullRect(QPageLayout::Millimeter).size();
            structPaperArea area;
            area.corner = -QPointF(offset);
            area.dotsPerMmX = area.dotsPerMmY = dpi / 25.4;
            area.printable = QRectF(QPointF(0, 0), paper) - s.unprintable;
            area.side = s.side;
            painter.save();
            s.overlay(painter, area);
            painter.restore();
        }
    }
    if (!painter.end())
        return bFunFail(msg, QString::fromUtf8("Nie udało się zakończyć wydruku:\n") + where,
                        kPrintFun);
    return true;
}

void vFunRotateSecondPage(PagePicture &page) {
    page = page.rotatedHalfTurn();
}

bool bFunPrintJobs(QString &msg, const structPrintOrder &order, const QList<structPrintJob> &jobs,
                   const structJobCallbacks &callbacks, const char *fun, structPrintResult &result,
                   bool &cancelled) {
    result = structPrintResult();
    cancelled = false;
    QTemporaryDir work(strFunRunTempDirTemplate());
    if (!work.isValid())
        return bFunFail(msg,
                        QString::fromUtf8("Nie można przygotować wydruku: brak miejsca na plik "
                                          "tymczasowy.\n") +
                            work.errorString(),
                        fun);
    // Renders the sheets of one job into a file; false with cancelled set
    // when the step callback stopped it.
    // where[i]: the job and the sheet within it of the i-th sheet drawn.
    auto render = [&](QByteArray &bytes, const QString &file, const QList<structSheet> &sheets,
                      const QList<QPair<int, int>> &where) {
        SheetStep step;
        if (callbacks.step)
            step = [&](int i) { return callbacks.step(where[i].first, where[i].second); };
        if (bFunRenderPdf(msg, bytes, file, sheets, step))
            return true;
        cancelled = msg.isEmpty();
        return false;
    };

    if (order.printer.isEmpty()) {
        // A PDF file holds every side; it is replaced whole or not at all,
        // and never replaces the teacher's data.
        const QString refusal = strFunPdfTargetRefusal(order.pdfFile, order.protectedFiles);
        if (!refusal.isEmpty())
            return bFunFail(msg, refusal, fun);
        QList<structSheet> sheets;
        QList<QPair<int, int>> where;
        for (int j = 0; j < jobs.size(); ++j) {
            sheets += jobs[j].sheets;
            for (int i = 0; i < jobs[j].sheets.size(); ++i)
                where.append({j, i});
        }
        QByteArray bytes;
        if (!render(bytes, order.pdfFile, sheets, where))
            return false;
        if (const int err = iFunWriteWholeFile(order.pdfFile, bytes))
            return bFunFail(
                msg,
                QString::fromUtf8("Nie udało się zapisać pliku PDF:\n") + order.pdfFile +
                    QString::fromUtf8("\nPowód: ") + strFunWriteFailure(err) +
                    QString::fromUtf8("\nPlik nie został zapisany (poprzedni plik o tej "
                                      "nazwie, jeśli był, pozostał bez zmian). Wybierz "
                                      "inny folder lub inną nazwę pliku."),
                fun);
        return true;
    }

    const QString title = order.title.isEmpty() ? QString::fromUtf8("Świadectwa 1-3") : order.title;
    for (int j = 0; j < jobs.size(); ++j) {
        if (j > 0 && callbacks.between && !callbacks.between(j)) {
            cancelled = true;
            msg.clear();
            return false;
        }
        const QString file = work.filePath(QStringLiteral("zadanie%1.pdf").arg(j + 1));
        QList<QPair<int, int>> where;
        for (int i = 0; i < jobs[j].sheets.size(); ++i)
            where.append({j, i});
        QByteArray bytes;
        if (!render(bytes, order.printer, jobs[j].sheets, where))
            return false;
        if (const int err = iFunWriteWholeFile(file, bytes))
            return bFunFail(msg,
                            QString::fromUtf8("Nie można przygotować wydruku: nie udało się "
                                              "zapisać pliku tymczasowego.\n") +
                                strFunWriteFailure(err) +
                                (result.jobIds.isEmpty()
                                     ? QString::fromUtf8("\nNic nie zostało wysłane do drukarki.")
                                     : QString::fromUtf8("\nPierwsze strony zostały już wysłane "
                                                         "do drukarki, drugie nie.")),
                            fun);
        const int id = iFunSubmitJob(order.printer, file, title, jobs[j].duplex);
        if (id <= 0) {
            result.spoolerMessage = QString::fromUtf8(cupsLastErrorString());
            QString text = QString::fromUtf8("Drukarka „%1” nie przyjęła wydruku.\nPowód: %2")
                               .arg(order.printer, strFunLastSpoolerReason());
            if (result.jobIds.isEmpty())
                text += QString::fromUtf8("\nNic nie zostało wydrukowane.");
            else if (jobs.first().sheets.size() > 1)
                text += QString::fromUtf8("\nPierwsze strony zostały już wysłane do drukarki, "
                                          "drugie nie.");
            else
                text += QString::fromUtf8("\nPierwsza strona została już wysłana do drukarki, "
                                          "druga nie.");
            text += QString::fromUtf8("\nWybierz inną drukarkę albo poproś o pomoc osobę, "
                                      "która zarządza drukarkami.");
            return bFunFail(msg, text, fun);
        }
        result.jobIds << id;
    }
    result.held = printerState(order.printer).stopped;
    return true;
}

bool bFunPrintDocument(QString &msg, const structPrintOrder &order, const PagePicture &page1,
                       const PagePicture &page2, const std::function<bool()> &turnOver,
                       structPrintResult &result) {
    const structMarginData &m = order.margins;
    const QMarginsF unprintable = order.overlay && !order.printer.isEmpty()
                                      ? marginsFunUnprintable(order.printer)
                                      : QMarginsF();
    const structSheet side1{&page1,    m.Page1X1, m.Page1Y1,     m.Page1X2,
                            m.Page1Y2, 1,         order.overlay, unprintable};
    const structSheet side2{&page2,    m.Page2X1, m.Page2Y1,     m.Page2X2,
                            m.Page2Y2, 2,         order.overlay, unprintable};
    PagePicture turned = page2;
    QList<structPrintJob> jobs;
    if (order.printer.isEmpty()) {
        jobs = {{order.sides == 2 ? QList<structSheet>{side1, side2} : QList<structSheet>{side1}}};
    } else if (order.sides == 2 && order.duplex != Duplex::Off) {
        if (order.rotateSecondPage)
            vFunRotateSecondPage(turned);
        structSheet back = side2;
        back.page = &turned;
        jobs = {{{side1, back}, order.duplex}};
    } else if (order.sides != 2) {
        jobs = {{{side1}}};
    } else {
        jobs = {{{side1}}, {{side2}}};
    }
    structJobCallbacks callbacks;
    callbacks.between = [&turnOver](int) { return !turnOver || turnOver(); };
    bool cancelled = false;
    return bFunPrintJobs(msg, order, jobs, callbacks, kPrintFun, result, cancelled);
}

bool bFunCancelJobs(QString &msg, const QString &printer, const QList<int> &jobIds) {
    QStringList failed;
    for (int id : jobIds) {
        if (cupsCancelJob2(CUPS_HTTP_DEFAULT, printer.toUtf8().constData(), id, 0) != IPP_STATUS_OK)
            failed << QString::number(id);
    }
    if (failed.isEmpty())
        return true;
    return bFunFail(msg,
                    QString::fromUtf8("Nie udało się usunąć z kolejki drukarki „%1” zadania nr "
                                      "%2.\nPowód: %3\nUsuń je w ustawieniach drukarek systemu.")
                        .arg(printer, failed.join(QStringLiteral(", ")), strFunLastSpoolerReason()),
                    "bFunCancelJobs()");
}

bool bFunCheckPrinter(QString &msg, const QString &printer, bool &stopped) {
    const PrinterState st = printerState(printer);
    stopped = st.stopped;
    if (st.known && st.accepting)
        return true;
    return bFunFail(msg,
                    QString::fromUtf8("Błąd otwarcia ustawień drukarki.\nDrukarka: ") + printer +
                        QString::fromUtf8("\nPowód: ") + st.reason +
                        QString::fromUtf8("\nWybierz inną drukarkę albo sprawdź tę w ustawieniach "
                                          "drukarek systemu."),
                    kPrinterSetupFun);
}

bool bFunCanPrintTwoSided(const QString &printer) {
    if (printer.isEmpty())
        return false;
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, printer.toUtf8().constData(), nullptr);
    if (!dest)
        return false;
    bool twoSided = false;
    if (cups_dinfo_t *info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
        for (const char *sides : {CUPS_SIDES_TWO_SIDED_PORTRAIT, CUPS_SIDES_TWO_SIDED_LANDSCAPE})
            twoSided = twoSided ||
                       cupsCheckDestSupported(CUPS_HTTP_DEFAULT, dest, info, CUPS_SIDES, sides);
        cupsFreeDestInfo(info);
    }
    cupsFreeDests(1, dest);
    return twoSided;
}

QMarginsF marginsFunUnprintable(const QString &printer) {
    QMarginsF out;
    if (printer.isEmpty())
        return out;
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, printer.toUtf8().constData(), nullptr);
    if (!dest)
        return out;
    if (cups_dinfo_t *info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
        cups_size_t size{};
        // Sizes and margins come in hundredths of a millimetre.
        if (cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, dest, info, "iso_a4_210x297mm",
                                   CUPS_MEDIA_FLAGS_DEFAULT, &size))
            out = QMarginsF(size.left / 100.0, size.top / 100.0, size.right / 100.0,
                            size.bottom / 100.0);
        cupsFreeDestInfo(info);
    }
    cupsFreeDests(1, dest);
    return out;
}

QString strFunPdfFileName(const QString &pupil, const QString &documentLabel) {
    QString document = documentLabel;
    document.replace(QLatin1Char('/'), QLatin1Char('-'));
    document.remove(QString::fromUtf8("świad."));
    QString name = pupil.simplified();
    document = document.simplified();
    if (!name.isEmpty() && !document.isEmpty())
        name += QStringLiteral(" - ");
    name += document;
    // Names that other systems refuse too, a memory stick's included.
    for (QChar &c : name) {
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.unicode() < 32)
            c = QLatin1Char('-');
    }
    if (name.isEmpty())
        name = QStringLiteral("wydruk");
    return name + QStringLiteral(".pdf");
}
