#include "printing/spooler.h"

#include "storage/log.h"

#include <QImage>
#include <QPageSize>
#include <QPainter>

#include <windows.h>
#include <winspool.h>

#include <string>

namespace {

// The code of the call that just failed; some GDI calls fail without one.
DWORD dwFunLastError() {
    const DWORD code = GetLastError();
    return code ? code : ERROR_GEN_FAILURE;
}

// The system's own words for an error, with its code.
QString strFunSystemText(DWORD code) {
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    const QString said = length ? QString::fromWCharArray(text, int(length)).trimmed() : QString();
    if (text)
        LocalFree(text);
    const QString number = QStringLiteral("kod %1").arg(code);
    return said.isEmpty() ? number : said + QStringLiteral(", ") + number;
}

SpoolerRefusal refusalFunFor(DWORD code) {
    switch (code) {
    case ERROR_INVALID_PRINTER_NAME:
    case ERROR_PRINTER_DELETED:
        return SpoolerRefusal::NotFound;
    case ERROR_ACCESS_DENIED:
        return SpoolerRefusal::Forbidden;
    case ERROR_SERVICE_NOT_ACTIVE:
    case RPC_S_SERVER_UNAVAILABLE:
        return SpoolerRefusal::Unavailable;
    default:
        return SpoolerRefusal::Other;
    }
}

QString strFunReason(DWORD code) {
    return strFunSpoolerReason(refusalFunFor(code), strFunSystemText(code));
}

// A printer of the spooler, open while this lives.
class OpenedPrinter {
public:
    explicit OpenedPrinter(const QString &name) : m_name(name.toStdWString()) {
        if (!OpenPrinterW(m_name.data(), &m_handle, nullptr)) {
            m_error = dwFunLastError();
            m_handle = nullptr;
        }
    }
    ~OpenedPrinter() {
        if (m_handle)
            ClosePrinter(m_handle);
    }
    OpenedPrinter(const OpenedPrinter &) = delete;
    OpenedPrinter &operator=(const OpenedPrinter &) = delete;

    HANDLE handle() const { return m_handle; }
    DWORD error() const { return m_error; }
    std::wstring &name() { return m_name; }

    // The driver's settings for A4 portrait, one copy, the sides asked for;
    // empty when the driver gives none (its defaults then apply).
    QByteArray devMode(Duplex duplex) {
        const LONG size =
            DocumentPropertiesW(nullptr, m_handle, m_name.data(), nullptr, nullptr, 0);
        if (size <= 0)
            return {};
        QByteArray bytes(size, '\0');
        auto *mode = reinterpret_cast<DEVMODEW *>(bytes.data());
        if (DocumentPropertiesW(nullptr, m_handle, m_name.data(), mode, nullptr, DM_OUT_BUFFER) !=
            IDOK)
            return {};
        mode->dmFields |= DM_PAPERSIZE | DM_ORIENTATION | DM_COPIES | DM_DUPLEX;
        mode->dmPaperSize = DMPAPER_A4;
        mode->dmOrientation = DMORIENT_PORTRAIT;
        mode->dmCopies = 1;
        // Portrait pages bound at the long edge turn about the vertical axis.
        mode->dmDuplex = duplex == Duplex::LongEdge    ? DMDUP_VERTICAL
                         : duplex == Duplex::ShortEdge ? DMDUP_HORIZONTAL
                                                       : DMDUP_SIMPLEX;
        // The driver checks the changes and merges them into its own.
        if (DocumentPropertiesW(nullptr, m_handle, m_name.data(), mode, mode,
                                DM_IN_BUFFER | DM_OUT_BUFFER) != IDOK)
            return {};
        return bytes;
    }

private:
    std::wstring m_name;
    HANDLE m_handle = nullptr;
    DWORD m_error = 0;
};

const DEVMODEW *modeOf(const QByteArray &bytes) {
    return bytes.isEmpty() ? nullptr : reinterpret_cast<const DEVMODEW *>(bytes.constData());
}

// A printer's page as GDI gives it: the painter's origin is the corner of
// the printable area, offset dots from the paper's corner.
struct structDeviceSheet {
    int dpiX = 0, dpiY = 0;
    QPoint offset;
    QSize printable; // dots
    QSize paper;     // dots
};

structDeviceSheet sheetFunOf(HDC dc) {
    structDeviceSheet s;
    s.dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    s.dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    s.offset = QPoint(GetDeviceCaps(dc, PHYSICALOFFSETX), GetDeviceCaps(dc, PHYSICALOFFSETY));
    s.printable = QSize(GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES));
    s.paper = QSize(GetDeviceCaps(dc, PHYSICALWIDTH), GetDeviceCaps(dc, PHYSICALHEIGHT));
    return s;
}

// The bitmap header of an 8-bit grey band, top row first.
struct GreyBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

// Draws one sheet with the one replay routine into bands of a grey image at
// the printer's resolution and sends them to the page. The page is black
// text on a printed form: grey keeps the spooled job a quarter the size of
// full colour. False when a band could not be made or sent.
bool bFunSendSheet(HDC dc, const structSheet &sheet, const structDeviceSheet &device,
                   bool &noMemory) {
    const int width = device.printable.width();
    if (width <= 0 || device.printable.height() <= 0 || device.dpiX <= 0 || device.dpiY <= 0)
        return false;
    // About 32 MB a band, whatever the resolution.
    const int rows = qMax(64, int((32LL << 20) / (qint64(width) * 4)));
    QImage band(width, qMin(rows, device.printable.height()), QImage::Format_RGB32);
    if (band.isNull()) {
        noMemory = true;
        return false;
    }
    // The band reports the printer's resolution, as a printer device would.
    band.setDotsPerMeterX(qRound(device.dpiX / 0.0254));
    band.setDotsPerMeterY(qRound(device.dpiY / 0.0254));
    const QSizeF paperMm = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
    GreyBitmapInfo info{};
    info.header.biSize = sizeof info.header;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = 256;
    for (int i = 0; i < 256; ++i)
        info.colours[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    for (int top = 0; top < device.printable.height(); top += band.height()) {
        const int height = qMin(band.height(), device.printable.height() - top);
        band.fill(Qt::white);
        QPainter painter;
        if (!painter.begin(&band)) {
            noMemory = true;
            return false;
        }
        painter.translate(0, -top);
        vFunDrawSheet(painter, sheet, device.dpiX, device.dpiY, device.offset, paperMm);
        painter.end();
        const QImage grey = band.convertToFormat(QImage::Format_Grayscale8);
        if (grey.isNull()) {
            noMemory = true;
            return false;
        }
        // QImage rows are 4-byte aligned, as a bitmap's are.
        info.header.biWidth = width;
        info.header.biHeight = -height;
        const int sent =
            StretchDIBits(dc, 0, top, width, height, 0, 0, width, height, grey.constBits(),
                          reinterpret_cast<const BITMAPINFO *>(&info), DIB_RGB_COLORS, SRCCOPY);
        if (sent == 0 || sent == int(GDI_ERROR))
            return false;
    }
    return true;
}

} // namespace

structSpoolerPrinter printerFunSpoolerState(const QString &printer) {
    structSpoolerPrinter st;
    OpenedPrinter opened(printer);
    if (!opened.handle()) {
        st.reason = strFunReason(opened.error());
        return st;
    }
    st.known = true;
    st.accepting = true;
    DWORD needed = 0;
    GetPrinterW(opened.handle(), 2, nullptr, 0, &needed);
    if (needed == 0)
        return st;
    QByteArray bytes(int(needed), '\0');
    if (!GetPrinterW(opened.handle(), 2, reinterpret_cast<BYTE *>(bytes.data()), needed, &needed))
        return st;
    const auto *info = reinterpret_cast<const PRINTER_INFO_2W *>(bytes.constData());
    st.stopped = info->Status & PRINTER_STATUS_PAUSED;
    if (info->Status & PRINTER_STATUS_PENDING_DELETION) {
        st.accepting = false;
        st.reason = strFunSpoolerReason(SpoolerRefusal::NotAccepting, QString());
    }
    return st;
}

structSpoolAnswer answerFunSpoolJob(QString &msg, const structSpoolJob &job) {
    structSpoolAnswer answer;
    auto refused = [&answer](DWORD code) {
        answer.outcome = SpoolOutcome::Refused;
        answer.spoolerText = strFunSystemText(code);
        answer.reason = strFunReason(code);
        return answer;
    };
    OpenedPrinter printer(job.printer);
    if (!printer.handle())
        return refused(printer.error());
    const QByteArray mode = printer.devMode(job.duplex);
    HDC dc = CreateDCW(L"WINSPOOL", printer.name().c_str(), nullptr, modeOf(mode));
    if (!dc)
        return refused(dwFunLastError());
    const std::wstring title = job.title.toStdWString();
    DOCINFOW doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = title.c_str();
    const int id = StartDocW(dc, &doc);
    if (id <= 0) {
        const DWORD code = dwFunLastError();
        DeleteDC(dc);
        return refused(code);
    }
    const structDeviceSheet device = sheetFunOf(dc);
    DWORD failure = 0;
    bool noMemory = false;
    bool stopped = false;
    for (int i = 0; i < job.sheets.size(); ++i) {
        if (job.step && !job.step(i)) {
            stopped = true;
            break;
        }
        if (StartPage(dc) <= 0) {
            failure = dwFunLastError();
            break;
        }
        if (!bFunSendSheet(dc, job.sheets[i], device, noMemory)) {
            failure = noMemory ? ERROR_NOT_ENOUGH_MEMORY : dwFunLastError();
            break;
        }
        if (EndPage(dc) <= 0) {
            failure = dwFunLastError();
            break;
        }
    }
    // A job stopped or broken halfway is taken back whole.
    if (stopped || failure) {
        AbortDoc(dc);
        DeleteDC(dc);
        if (stopped) {
            msg.clear();
            answer.outcome = SpoolOutcome::Stopped;
            return answer;
        }
        if (noMemory) {
            answer.outcome = SpoolOutcome::NotDrawn;
            bFunFail(
                msg,
                QString::fromUtf8("Nie udało się przygotować strony wydruku: brak pamięci.\n") +
                    job.printer +
                    QString::fromUtf8("\nZamknij inne programy i spróbuj "
                                      "ponownie."),
                "bFunPrintDocument()");
            return answer;
        }
        return refused(failure);
    }
    if (EndDoc(dc) <= 0) {
        const DWORD code = dwFunLastError();
        DeleteDC(dc);
        return refused(code);
    }
    DeleteDC(dc);
    answer.outcome = SpoolOutcome::Sent;
    answer.jobId = id;
    return answer;
}

bool bFunCancelSpooledJob(const QString &printer, int jobId, QString &reason) {
    OpenedPrinter opened(printer);
    if (!opened.handle()) {
        reason = strFunReason(opened.error());
        return false;
    }
    if (SetJobW(opened.handle(), DWORD(jobId), 0, nullptr, JOB_CONTROL_DELETE))
        return true;
    reason = strFunReason(dwFunLastError());
    return false;
}

bool bFunCanPrintTwoSided(const QString &printer) {
    if (printer.isEmpty())
        return false;
    const std::wstring name = printer.toStdWString();
    return DeviceCapabilitiesW(name.c_str(), nullptr, DC_DUPLEX, nullptr, nullptr) == 1;
}

QMarginsF marginsFunUnprintable(const QString &printer) {
    QMarginsF out;
    if (printer.isEmpty())
        return out;
    OpenedPrinter opened(printer);
    if (!opened.handle())
        return out;
    const QByteArray mode = opened.devMode(Duplex::Off);
    HDC ic = CreateICW(L"WINSPOOL", opened.name().c_str(), nullptr, modeOf(mode));
    if (!ic)
        return out;
    const structDeviceSheet s = sheetFunOf(ic);
    DeleteDC(ic);
    if (s.dpiX <= 0 || s.dpiY <= 0)
        return out;
    auto mmX = [&s](int dots) { return qMax(0, dots) * 25.4 / s.dpiX; };
    auto mmY = [&s](int dots) { return qMax(0, dots) * 25.4 / s.dpiY; };
    return QMarginsF(mmX(s.offset.x()), mmY(s.offset.y()),
                     mmX(s.paper.width() - s.printable.width() - s.offset.x()),
                     mmY(s.paper.height() - s.printable.height() - s.offset.y()));
}
