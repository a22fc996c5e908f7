#include "printing/spooler.h"

#include "storage/paths.h"

#include <QFile>
#include <cups/cups.h>

namespace {

SpoolerRefusal refusalFunFor(ipp_status_t status) {
    switch (status) {
    case IPP_STATUS_ERROR_NOT_FOUND:
        return SpoolerRefusal::NotFound;
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
        return SpoolerRefusal::NotAccepting;
    case IPP_STATUS_ERROR_FORBIDDEN:
    case IPP_STATUS_ERROR_NOT_AUTHORIZED:
    case IPP_STATUS_ERROR_NOT_AUTHENTICATED:
        return SpoolerRefusal::Forbidden;
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
        return SpoolerRefusal::Unavailable;
    default:
        return SpoolerRefusal::Other;
    }
}

QString strFunLastSpoolerReason() {
    return strFunSpoolerReason(refusalFunFor(cupsLastError()),
                               QString::fromUtf8(cupsLastErrorString()));
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

structSpoolerPrinter printerFunSpoolerState(const QString &printer) {
    structSpoolerPrinter st;
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
        st.reason = strFunSpoolerReason(SpoolerRefusal::NotAccepting, said);
    ippDelete(response);
    return st;
}

structSpoolAnswer answerFunSpoolJob(QString &msg, const structSpoolJob &job) {
    structSpoolAnswer answer;
    // libcups takes a file: the job is rendered to a PDF and written whole.
    QByteArray bytes;
    if (!bFunRenderPdf(msg, bytes, job.printer, job.sheets, job.step)) {
        answer.outcome = msg.isEmpty() ? SpoolOutcome::Stopped : SpoolOutcome::NotDrawn;
        return answer;
    }
    if (const int err = iFunWriteWholeFile(job.file, bytes)) {
        answer.outcome = SpoolOutcome::NotWritten;
        answer.reason = strFunWriteFailure(err);
        return answer;
    }
    const int id = iFunSubmitJob(job.printer, job.file, job.title, job.duplex);
    if (id <= 0) {
        answer.outcome = SpoolOutcome::Refused;
        answer.spoolerText = QString::fromUtf8(cupsLastErrorString());
        answer.reason = strFunLastSpoolerReason();
        return answer;
    }
    answer.outcome = SpoolOutcome::Sent;
    answer.jobId = id;
    return answer;
}

bool bFunCancelSpooledJob(const QString &printer, int jobId, QString &reason) {
    if (cupsCancelJob2(CUPS_HTTP_DEFAULT, printer.toUtf8().constData(), jobId, 0) == IPP_STATUS_OK)
        return true;
    reason = strFunLastSpoolerReason();
    return false;
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
