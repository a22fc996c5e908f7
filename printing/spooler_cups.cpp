#include "printing/spooler.h"

#include "storage/paths.h"

#include <QFile>
#include <QLibrary>
#include <cups/cups.h>

namespace {

// libcups is loaded when the program first talks to the spooler, not at
// every start: with the libraries it brings it cost a start some 3 ms.
#define SW_CUPS_FUNCTIONS(X)                                                                       \
    X(cupsLastError)                                                                               \
    X(cupsLastErrorString)                                                                         \
    X(cupsAddOption)                                                                               \
    X(cupsPrintFile2)                                                                              \
    X(cupsFreeOptions)                                                                             \
    X(httpAssembleURIf)                                                                            \
    X(ippNewRequest)                                                                               \
    X(ippAddString)                                                                                \
    X(ippAddStrings)                                                                               \
    X(cupsDoRequest)                                                                               \
    X(ippDelete)                                                                                   \
    X(ippFindAttribute)                                                                            \
    X(ippGetBoolean)                                                                               \
    X(ippGetInteger)                                                                               \
    X(ippGetString)                                                                                \
    X(cupsCancelJob2)                                                                              \
    X(cupsGetNamedDest)                                                                            \
    X(cupsCopyDestInfo)                                                                            \
    X(cupsCheckDestSupported)                                                                      \
    X(cupsFreeDestInfo)                                                                            \
    X(cupsFreeDests)                                                                               \
    X(cupsGetDestMediaByName)

struct Cups {
#define SW_CUPS_POINTER(name) decltype(&::name) name = nullptr;
    SW_CUPS_FUNCTIONS(SW_CUPS_POINTER)
#undef SW_CUPS_POINTER
    bool loaded = false;
    QString why; // why the library could not be used
};

// The library, loaded once; null (with the reason in why) when it is missing.
const Cups *cups(QString *why = nullptr) {
    static const Cups library = [] {
        Cups c;
        QLibrary lib(QStringLiteral("cups"), 2);
        if (!lib.load()) {
            c.why = lib.errorString();
            return c;
        }
        bool all = true;
#define SW_CUPS_RESOLVE(name)                                                                      \
    c.name = reinterpret_cast<decltype(&::name)>(lib.resolve(#name));                              \
    all = all && c.name;
        SW_CUPS_FUNCTIONS(SW_CUPS_RESOLVE)
#undef SW_CUPS_RESOLVE
        c.loaded = all;
        if (!all)
            c.why = QStringLiteral("libcups: ") + lib.errorString();
        return c;
    }();
    if (!library.loaded && why)
        *why = strFunSpoolerReason(SpoolerRefusal::Unavailable, library.why);
    return library.loaded ? &library : nullptr;
}

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

QString strFunLastSpoolerReason(const Cups *c) {
    return strFunSpoolerReason(refusalFunFor(c->cupsLastError()),
                               QString::fromUtf8(c->cupsLastErrorString()));
}

// One job to the spooler: A4, portrait, the sides asked for, and no scaling,
// so that no filter fits the page to the printable area.
int iFunSubmitJob(const Cups *c, const QString &printer, const QString &file, const QString &title,
                  Duplex duplex) {
    const char *sides = duplex == Duplex::LongEdge    ? "two-sided-long-edge"
                        : duplex == Duplex::ShortEdge ? "two-sided-short-edge"
                                                      : "one-sided";
    cups_option_t *options = nullptr;
    int count = 0;
    count = c->cupsAddOption("sides", sides, count, &options);
    count = c->cupsAddOption("media", "A4", count, &options);
    count = c->cupsAddOption("orientation-requested", "3", count, &options);
    count = c->cupsAddOption("print-scaling", "none", count, &options);
    const int job = c->cupsPrintFile2(CUPS_HTTP_DEFAULT, printer.toUtf8().constData(),
                                      QFile::encodeName(file).constData(),
                                      title.toUtf8().constData(), count, options);
    c->cupsFreeOptions(count, options);
    return job;
}

} // namespace

structSpoolerPrinter printerFunSpoolerState(const QString &printer) {
    structSpoolerPrinter st;
    const Cups *c = cups(&st.reason);
    if (!c)
        return st;
    char uri[HTTP_MAX_URI];
    c->httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                        "/printers/%s", printer.toUtf8().constData());
    ipp_t *request = c->ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    c->ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char *const wanted[] = {"printer-state", "printer-state-message",
                                         "printer-is-accepting-jobs"};
    c->ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                     int(sizeof wanted / sizeof *wanted), nullptr, wanted);
    ipp_t *response = c->cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    if (!response || c->cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
        st.reason = strFunLastSpoolerReason(c);
        c->ippDelete(response);
        return st;
    }
    st.known = true;
    ipp_attribute_t *accepting =
        c->ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    st.accepting = !accepting || c->ippGetBoolean(accepting, 0);
    ipp_attribute_t *state = c->ippFindAttribute(response, "printer-state", IPP_TAG_ENUM);
    st.stopped = state && c->ippGetInteger(state, 0) == IPP_PSTATE_STOPPED;
    ipp_attribute_t *message = c->ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT);
    const QString said =
        message ? QString::fromUtf8(c->ippGetString(message, 0, nullptr)).trimmed() : QString();
    if (!st.accepting)
        st.reason = strFunSpoolerReason(SpoolerRefusal::NotAccepting, said);
    c->ippDelete(response);
    return st;
}

structSpoolAnswer answerFunSpoolJob(QString &msg, const structSpoolJob &job) {
    structSpoolAnswer answer;
    const Cups *c = cups(&answer.reason);
    if (!c) {
        answer.outcome = SpoolOutcome::Refused;
        return answer;
    }
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
    const int id = iFunSubmitJob(c, job.printer, job.file, job.title, job.duplex);
    if (id <= 0) {
        answer.outcome = SpoolOutcome::Refused;
        answer.spoolerText = QString::fromUtf8(c->cupsLastErrorString());
        answer.reason = strFunLastSpoolerReason(c);
        return answer;
    }
    answer.outcome = SpoolOutcome::Sent;
    answer.jobId = id;
    return answer;
}

bool bFunCancelSpooledJob(const QString &printer, int jobId, QString &reason) {
    const Cups *c = cups(&reason);
    if (!c)
        return false;
    if (c->cupsCancelJob2(CUPS_HTTP_DEFAULT, printer.toUtf8().constData(), jobId, 0) ==
        IPP_STATUS_OK)
        return true;
    reason = strFunLastSpoolerReason(c);
    return false;
}

namespace {

// Asks about a printer's capabilities: what with() makes of the spooler's
// answer, or fallback when the library, the printer or its answer is missing.
template <class T, class With> T destInfo(const QString &printer, T fallback, With with) {
    const Cups *c = printer.isEmpty() ? nullptr : cups();
    if (!c)
        return fallback;
    cups_dest_t *dest =
        c->cupsGetNamedDest(CUPS_HTTP_DEFAULT, printer.toUtf8().constData(), nullptr);
    if (!dest)
        return fallback;
    T out = fallback;
    if (cups_dinfo_t *info = c->cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
        out = with(c, dest, info);
        c->cupsFreeDestInfo(info);
    }
    c->cupsFreeDests(1, dest);
    return out;
}

} // namespace

bool bFunCanPrintTwoSided(const QString &printer) {
    return destInfo(printer, false, [](const Cups *c, cups_dest_t *dest, cups_dinfo_t *info) {
        bool twoSided = false;
        for (const char *sides : {CUPS_SIDES_TWO_SIDED_PORTRAIT, CUPS_SIDES_TWO_SIDED_LANDSCAPE})
            twoSided = twoSided ||
                       c->cupsCheckDestSupported(CUPS_HTTP_DEFAULT, dest, info, CUPS_SIDES, sides);
        return twoSided;
    });
}

QMarginsF marginsFunUnprintable(const QString &printer) {
    return destInfo(printer, QMarginsF(), [](const Cups *c, cups_dest_t *dest, cups_dinfo_t *info) {
        cups_size_t size{};
        // Sizes and margins come in hundredths of a millimetre.
        if (!c->cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, dest, info, "iso_a4_210x297mm",
                                       CUPS_MEDIA_FLAGS_DEFAULT, &size))
            return QMarginsF();
        return QMarginsF(size.left / 100.0, size.top / 100.0, size.right / 100.0,
                         size.bottom / 100.0);
    });
}
