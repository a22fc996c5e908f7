#pragma once

#include "maintenance/updatenet.h"
#include "maintenance/updatepackage.h"

#include <QObject>
#include <QUrl>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QTemporaryFile;

// The download of the package offered by the update server. Asynchronous;
// everything it reports comes as signals.
//
// The package is written under a temporary name beside the target and takes
// the target's name only when it is complete: status 200, exactly the
// announced length (when one was announced), no more than the size cap, and
// a valid signature under the program's key published beside it (the same
// address plus ".sig", see updatesign.h). Any failure leaves no file under
// the target's name and no temporary file either.
class UpdateDownload : public QObject {
    Q_OBJECT
public:
    // The package is a few MB; 200 MB leaves room for any future one and
    // still stops a server that sends without end long before the disk is full.
    static constexpr qint64 kPackageMaxBytes = 200LL * 1024 * 1024;

    explicit UpdateDownload(QObject *parent = nullptr);
    ~UpdateDownload() override;

    // Starts the download of url into target, replacing an earlier download.
    void vFunUpdateDownload(const QUrl &url, const QString &target);
    // Stops a running download and discards what came so far; no signal follows.
    void abort();
    bool isRunning() const { return m_reply != nullptr; }
    // Tests only: a smaller cap than kPackageMaxBytes.
    void setSizeCap(qint64 bytes) { m_sizeCap = bytes; }

    // Status texts.
    static QString connectionFailedText();
    static QString readFailedText();
    static QString writeFailedText();
    static QString downloadingText();
    static QString tooLargeText();
    static QString unsignedText();

signals:
    // The announced length, or 0 when the server announced none.
    void lengthKnown(qint64 length);
    void progressed(qint64 received);
    void statusChanged(const QString &text);
    // The end of the download; true when the package is in place.
    void finished(bool ok);

private:
    void onHeaders();
    void onBody();
    void onBodyFinished();
    void onSignature(const UpdateSmallFile &file);
    void fail(const QString &status);

    QNetworkAccessManager *m_network = nullptr;
    QNetworkReply *m_reply = nullptr;
    std::unique_ptr<QTemporaryFile> m_file;
    QUrl m_url;
    QString m_target;
    qint64 m_sizeCap = kPackageMaxBytes;
    qint64 m_announced = -1;
    qint64 m_received = 0;
};
