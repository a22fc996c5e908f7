#include "printing/printjob.h"

#include "printing/printengine.h"
#include "printing/spooler.h"
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

#include <cerrno>

namespace {

const char *const kPrintFun = "bFunPrintDocument()";
const char *const kPrinterSetupFun = "vFunUstawDrukarke()";

} // namespace

QString strFunSpoolerReason(SpoolerRefusal refusal, const QString &spoolerText) {
    QString reason;
    switch (refusal) {
    case SpoolerRefusal::NotFound:
        reason = QString::fromUtf8("drukarka nie jest znana systemowi drukowania");
        break;
    case SpoolerRefusal::NotAccepting:
        reason = QString::fromUtf8("drukarka nie przyjmuje zadań");
        break;
    case SpoolerRefusal::Forbidden:
        reason = QString::fromUtf8("brak uprawnień do drukowania na tej drukarce");
        break;
    case SpoolerRefusal::Unavailable:
        reason = QString::fromUtf8("brak połączenia z systemem drukowania");
        break;
    case SpoolerRefusal::Other:
        reason = QString::fromUtf8("system drukowania odmówił");
        break;
    }
    if (!spoolerText.isEmpty())
        reason += QStringLiteral(" (") + spoolerText + QLatin1Char(')');
    return reason;
}

// The PDF is made in memory: what reaches a file is written whole or not at
// all (iFunWriteWholeFile).
bool bFunRenderPdf(QString &msg, QByteArray &bytes, const QString &where,
                   const QList<structSheet> &sheets, const SheetStep &step) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(1200);
    pdf.setCreator(QString::fromUtf8("Świadectwa 1-3"));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    return bFunDrawSheets(msg, pdf, where, sheets, step);
}

QString strFunWriteFailure(int err) {
    const QString reason = strFunErrnoReason(err);
    return (reason.isEmpty() ? QString() : reason + QLatin1Char('\n')) + strFunErrnoCode(err);
}

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

void vFunDrawSheet(QPainter &painter, const structSheet &s, int dpiX, int dpiY,
                   const QPoint &offset, const QSizeF &paperMm) {
    const structDeviceRect r =
        rectFunDeviceRect(s.left, s.top, s.right, s.bottom, dpiX, dpiY, offset.x(), offset.y());
    vFunDrawPage(painter, *s.page, r.rect());
    if (s.overlay) {
        structPaperArea area;
        area.corner = -QPointF(offset);
        area.dotsPerMmX = dpiX / 25.4;
        area.dotsPerMmY = dpiY / 25.4;
        area.printable = QRectF(QPointF(0, 0), paperMm) - s.unprintable;
        area.side = s.side;
        painter.save();
        s.overlay(painter, area);
        painter.restore();
    }
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
        vFunDrawSheet(painter, sheets[i], dpi, dpi, offset,
                      device.pageLayout().fullRect(QPageLayout::Millimeter).size());
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
        structSpoolJob job;
        job.printer = order.printer;
        job.title = title;
        job.file = work.filePath(QStringLiteral("zadanie%1.pdf").arg(j + 1));
        job.sheets = jobs[j].sheets;
        job.duplex = jobs[j].duplex;
        if (callbacks.step)
            job.step = [&callbacks, j](int i) { return callbacks.step(j, i); };
        const structSpoolAnswer answer = answerFunSpoolJob(msg, job);
        switch (answer.outcome) {
        case SpoolOutcome::Sent:
            break;
        case SpoolOutcome::Stopped:
            cancelled = true;
            msg.clear();
            return false;
        case SpoolOutcome::NotDrawn:
            return false;
        case SpoolOutcome::NotWritten:
            return bFunFail(msg,
                            QString::fromUtf8("Nie można przygotować wydruku: nie udało się "
                                              "zapisać pliku tymczasowego.\n") +
                                answer.reason +
                                (result.jobIds.isEmpty()
                                     ? QString::fromUtf8("\nNic nie zostało wysłane do drukarki.")
                                     : QString::fromUtf8("\nPierwsze strony zostały już wysłane "
                                                         "do drukarki, drugie nie.")),
                            fun);
        case SpoolOutcome::Refused: {
            result.spoolerMessage = answer.spoolerText;
            QString text = QString::fromUtf8("Drukarka „%1” nie przyjęła wydruku.\nPowód: %2")
                               .arg(order.printer, answer.reason);
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
        }
        result.jobIds << answer.jobId;
    }
    result.held = printerFunSpoolerState(order.printer).stopped;
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
    QString reason;
    for (int id : jobIds) {
        if (!bFunCancelSpooledJob(printer, id, reason))
            failed << QString::number(id);
    }
    if (failed.isEmpty())
        return true;
    return bFunFail(msg,
                    QString::fromUtf8("Nie udało się usunąć z kolejki drukarki „%1” zadania nr "
                                      "%2.\nPowód: %3\nUsuń je w ustawieniach drukarek systemu.")
                        .arg(printer, failed.join(QStringLiteral(", ")), reason),
                    "bFunCancelJobs()");
}

bool bFunCheckPrinter(QString &msg, const QString &printer, bool &stopped) {
    const structSpoolerPrinter st = printerFunSpoolerState(printer);
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
