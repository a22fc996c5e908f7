#include "maintenance/updatedownload.h"

#include "document/prompts.h"
#include "maintenance/updatenet.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// A download that delivers nothing for this long has stalled.
constexpr int kDownloadStallMs = 60000;
// A checksum file is one line; nothing longer is read.
constexpr qint64 kChecksumBytes = 4096;

// The digest in a checksum file: the first word of its first line.
QByteArray publishedDigest(const QByteArray &body) {
    const QByteArray word = body.simplified().split(' ').constFirst().toLower();
    if (word.size() != 64)
        return QByteArray();
    for (char c : word) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return QByteArray();
    }
    return word;
}

} // namespace

UpdateDownload::UpdateDownload(QObject *parent)
    : QObject(parent), m_network(newUpdateNetwork(this)) {}

UpdateDownload::~UpdateDownload() {
    abort();
}

QString UpdateDownload::connectionFailedText() {
    return QString::fromUtf8("Błąd połączenia...");
}
QString UpdateDownload::readFailedText() {
    return QString::fromUtf8("Błąd podczas próby czytania pliku...");
}
QString UpdateDownload::writeFailedText() {
    return QString::fromUtf8("Błąd zapisu do pliku");
}
QString UpdateDownload::downloadingText() {
    return QString::fromUtf8("Pobieranie nowej wersji programu");
}
QString UpdateDownload::damagedText() {
    return QString::fromUtf8("Pobrany plik jest uszkodzony.");
}

void UpdateDownload::vFunUpdateDownload(const QUrl &url, const QString &target) {
    abort();
    m_url = url;
    m_target = target;
    m_announced = -1;
    m_received = 0;
    m_checksum.clear();
    m_hash.reset();
    // An earlier download goes first, so that no failure leaves one behind.
    QFile::remove(target);
    if (!bFunUpdateUrlAllowed(url)) {
        fail(connectionFailedText());
        return;
    }
    m_reply = startUpdateRequest(m_network, url, kDownloadStallMs);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &UpdateDownload::onHeaders);
    connect(m_reply, &QIODevice::readyRead, this, &UpdateDownload::onBody);
    connect(m_reply, &QNetworkReply::finished, this, &UpdateDownload::onBodyFinished);
}

void UpdateDownload::abort() {
    if (m_reply) {
        // Often called from the reply's own signals: it is stopped from the event loop.
        QNetworkReply *reply = m_reply;
        m_reply = nullptr;
        reply->disconnect(this);
        QMetaObject::invokeMethod(
            reply,
            [reply] {
                reply->abort();
                reply->deleteLater();
            },
            Qt::QueuedConnection);
    }
    if (m_file) {
        m_file->cancelWriting();
        m_file.reset();
    }
}

void UpdateDownload::fail(const QString &status) {
    abort();
    emit statusChanged(status);
    emit finished(false);
}

void UpdateDownload::onHeaders() {
    if (m_file || !m_reply)
        return;
    const int status = iFunReplyStatus(m_reply);
    if (status == 0)
        return; // no answer yet; the end of the reply tells what went wrong
    if (status != 200) {
        fail(readFailedText());
        return;
    }
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    m_announced = length.isValid() ? length.toLongLong() : -1;
    emit lengthKnown(std::max<qint64>(m_announced, 0));
    m_file = std::make_unique<QSaveFile>(m_target);
    if (!m_file->open(QIODevice::WriteOnly)) {
        fail(writeFailedText());
        return;
    }
    emit statusChanged(downloadingText());
}

void UpdateDownload::onBody() {
    if (!m_file)
        onHeaders();
    if (!m_file || !m_reply)
        return;
    const QByteArray data = m_reply->readAll();
    if (data.isEmpty())
        return;
    if (m_file->write(data) != data.size()) {
        fail(writeFailedText());
        return;
    }
    m_hash.addData(data);
    m_received += data.size();
    emit progressed(m_received);
}

void UpdateDownload::onBodyFinished() {
    if (!m_reply)
        return;
    if (iFunReplyStatus(m_reply) == 0) {
        fail(connectionFailedText());
        return;
    }
    onBody();
    if (!m_reply)
        return; // refused by the status or the file
    const bool whole = m_reply->error() == QNetworkReply::NoError &&
                       (m_announced < 0 || m_received == m_announced);
    if (!whole) {
        fail(readFailedText());
        return;
    }
    m_reply->deleteLater();
    QUrl checksumUrl = m_url;
    checksumUrl.setPath(m_url.path() + QLatin1String(kUpdateChecksumSuffix));
    m_reply = startUpdateRequest(m_network, checksumUrl, kDownloadStallMs);
    connect(m_reply, &QIODevice::readyRead, this, [this] {
        if (m_checksum.size() < kChecksumBytes)
            m_checksum.append(m_reply->read(kChecksumBytes - m_checksum.size()));
        m_reply->skip(m_reply->bytesAvailable());
    });
    connect(m_reply, &QNetworkReply::finished, this, &UpdateDownload::onChecksumFinished);
}

void UpdateDownload::onChecksumFinished() {
    if (!m_reply)
        return;
    const bool fetched =
        m_reply->error() == QNetworkReply::NoError && iFunReplyStatus(m_reply) == 200;
    if (m_checksum.size() < kChecksumBytes)
        m_checksum.append(m_reply->read(kChecksumBytes - m_checksum.size()));
    const QByteArray published = fetched ? publishedDigest(m_checksum) : QByteArray();
    if (published.isEmpty() || published != m_hash.result().toHex()) {
        fail(damagedText());
        return;
    }
    m_reply->deleteLater();
    m_reply = nullptr;
    if (!m_file->commit()) {
        m_file.reset();
        fail(writeFailedText());
        return;
    }
    m_file.reset();
    emit finished(true);
}

bool bFunHandOverPackage(const QString &path) {
    // Opening a package with no installer registered "succeeds" without
    // anything happening: ask first whether one is there.
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (tool.isEmpty())
        return false;
    QProcess query;
    query.start(tool, {QStringLiteral("query"), QStringLiteral("default"),
                       QStringLiteral("application/vnd.debian.binary-package")});
    if (!query.waitForFinished(10000) || query.exitStatus() != QProcess::NormalExit ||
        query.exitCode() != 0 || query.readAllStandardOutput().trimmed().isEmpty())
        return false;
    return prompts().openExternal(QUrl::fromLocalFile(path));
}
