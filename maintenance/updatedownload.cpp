#include "maintenance/updatedownload.h"

#include "maintenance/updatesign.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryFile>

namespace {

// A download that delivers nothing for this long has stalled.
constexpr int kDownloadStallMs = 60000;

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
QString UpdateDownload::tooLargeText() {
    return QString::fromUtf8("Plik na serwerze ma ponad 200 MB, więc nie jest pakietem programu. "
                             "Pobieranie przerwano.");
}
QString UpdateDownload::unsignedText() {
    return QString::fromUtf8("Pobrany plik nie ma ważnego podpisu autora programu, więc go "
                             "usunięto.");
}

void UpdateDownload::vFunUpdateDownload(const QUrl &url, const QString &target) {
    abort();
    m_url = url;
    m_target = target;
    m_announced = -1;
    m_received = 0;
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
    // The temporary file goes with its object.
    m_file.reset();
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
    if (m_announced > m_sizeCap) {
        fail(tooLargeText());
        return;
    }
    emit lengthKnown(std::max<qint64>(m_announced, 0));
    m_file = std::make_unique<QTemporaryFile>(m_target + QLatin1String(".XXXXXX"));
    if (!m_file->open()) {
        m_file.reset();
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
    if (m_received + data.size() > m_sizeCap) {
        fail(tooLargeText());
        return;
    }
    if (m_file->write(data) != data.size()) {
        fail(writeFailedText());
        return;
    }
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
        return; // refused by the status, the size or the file
    const bool whole = m_reply->error() == QNetworkReply::NoError &&
                       (m_announced < 0 || m_received == m_announced);
    if (!whole) {
        fail(readFailedText());
        return;
    }
    if (!m_file->flush()) {
        fail(writeFailedText());
        return;
    }
    m_reply->deleteLater();
    QUrl signatureUrl = m_url;
    signatureUrl.setPath(m_url.path() + QLatin1String(kUpdateSignatureSuffix));
    m_reply =
        fetchUpdateSmallFile(m_network, signatureUrl, kDownloadStallMs, kUpdateSignatureBytes, this,
                             [this](const UpdateSmallFile &file) { onSignature(file); });
}

void UpdateDownload::onSignature(const UpdateSmallFile &signature) {
    m_reply = nullptr; // deleted by the fetch
    bool valid = false;
    if (signature.status == 200 && signature.complete) {
        // Mapped, not read: the package may be large.
        const qint64 size = m_file->size();
        const uchar *data = size > 0 ? m_file->map(0, size) : nullptr;
        if (size == 0 || data)
            valid = bFunUpdateSignatureValid(
                QByteArrayView(reinterpret_cast<const char *>(data), size), signature.body);
        if (data)
            m_file->unmap(const_cast<uchar *>(data));
    }
    if (!valid) {
        fail(unsignedText());
        return;
    }
    m_file->close();
    // The name of a finished download: what an installer is given to read.
    if (!m_file->rename(m_target)) {
        fail(writeFailedText());
        return;
    }
    m_file->setAutoRemove(false);
    m_file->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                           QFileDevice::ReadGroup | QFileDevice::ReadOther);
    m_file.reset();
    emit finished(true);
}
