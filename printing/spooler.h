#pragma once

#include "printing/printjob.h"

#include <QByteArray>
#include <QList>
#include <QSizeF>
#include <QString>

// The print spooler of the system as the print jobs use it. One
// implementation per platform: libcups on Linux (spooler_cups.cpp), the
// Windows spooler through GDI (spooler_windows.cpp). The messages are made
// in printjob.cpp, the same for both.

// Why a spooler turned a printer or a job down.
enum class SpoolerRefusal { NotFound, NotAccepting, Forbidden, Unavailable, Other };

// The reason in the words a teacher reads, followed by the spooler's own
// text in brackets when it gave one.
QString strFunSpoolerReason(SpoolerRefusal refusal, const QString &spoolerText);

// What the spooler says of a printer.
struct structSpoolerPrinter {
    bool known = false;
    bool accepting = false;
    bool stopped = false; // it holds the jobs it takes
    QString reason;       // why it cannot be used
};
structSpoolerPrinter printerFunSpoolerState(const QString &printer);

// One job to hand over: its sheets on A4 paper, portrait, the page size
// equal to the paper, never scaled to fit.
struct structSpoolJob {
    QString printer;
    QString title;
    QString file; // a private file the job may be written to on its way
    QList<structSheet> sheets;
    Duplex duplex = Duplex::Off;
    SheetStep step;
};

enum class SpoolOutcome {
    Sent,
    Stopped,    // step stopped the drawing: nothing was sent
    NotDrawn,   // the drawing failed: the message is filled and logged
    NotWritten, // the job's file could not be written: reason says why
    Refused,    // the spooler did not take it: reason and spoolerText say why
};

struct structSpoolAnswer {
    SpoolOutcome outcome = SpoolOutcome::Refused;
    int jobId = 0;       // Sent: the spooler's number of the job
    QString reason;      // in the words a teacher reads
    QString spoolerText; // the spooler's own words
};

structSpoolAnswer answerFunSpoolJob(QString &msg, const structSpoolJob &job);

// Removes one job from the printer's queue; false with the reason.
bool bFunCancelSpooledJob(const QString &printer, int jobId, QString &reason);

// Shared by the implementations.

// Renders the sheets into a PDF of A4 paper in memory, page size equal to
// the paper, drawn from the paper's corner. where names it in a message.
bool bFunRenderPdf(QString &msg, QByteArray &bytes, const QString &where,
                   const QList<structSheet> &sheets, const SheetStep &step);

// Draws one sheet, its page and overlay, with a painter whose origin lies
// offset dots from the paper's corner, on paper of paperMm millimetres.
void vFunDrawSheet(QPainter &painter, const structSheet &sheet, int dpiX, int dpiY,
                   const QPoint &offset, const QSizeF &paperMm);

// A file that could not be written whole: the Polish reason, then the code.
QString strFunWriteFailure(int err);
