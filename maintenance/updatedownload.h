#pragma once

#include <QCryptographicHash>
#include <QObject>
#include <QUrl>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QSaveFile;

// The download of the package offered by the update server. Asynchronous;
// everything it reports comes as signals.
//
// The package is written under a temporary name beside the target and takes
// the target's name only when it is complete: status 200, exactly the
// announced length (when one was announced), and a SHA-256 equal to the one
// published beside it (the same address plus ".sha256"). Any failure leaves
// no file under the target's name.
class UpdateDownload : public QObject {
    Q_OBJECT
public:
    explicit UpdateDownload(QObject *parent = nullptr);
    ~UpdateDownload() override;

    // Starts the download of url into target, replacing an earlier download.
    void vFunUpdateDownload(const QUrl &url, const QString &target);
    // Stops a running download and discards what came so far; no signal follows.
    void abort();
    bool isRunning() const { return m_reply != nullptr; }

    // Status texts.
    static QString connectionFailedText();
    static QString readFailedText();
    static QString writeFailedText();
    static QString downloadingText();
    static QString damagedText();

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
    void onChecksumFinished();
    void fail(const QString &status);

    QNetworkAccessManager *m_network = nullptr;
    QNetworkReply *m_reply = nullptr;
    std::unique_ptr<QSaveFile> m_file;
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
    QUrl m_url;
    QString m_target;
    qint64 m_announced = -1;
    qint64 m_received = 0;
    QByteArray m_checksum;
};

// Hands a downloaded package to the desktop's software installer. True only
// when the desktop has an installer registered for Debian packages (asked
// through xdg-mime) and accepted the file.
bool bFunHandOverPackage(const QString &path);
