#include "maintenance/updatenet.h"

#include "maintenance/updatepackage.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

bool isLoopbackHost(const QString &host) {
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

class UpdateProxyFactory : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override {
        if (isLoopbackHost(query.peerHostName()))
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        return systemProxyForQuery(query);
    }
};

} // namespace

QString UpdateVersion::text() const {
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(build);
}

bool UpdateVersion::isNewerThan(const UpdateVersion &other) const {
    if (major != other.major)
        return major > other.major;
    if (minor != other.minor)
        return minor > other.minor;
    return build > other.build;
}

QString strFunUpdateBaseUrl() {
    QString base = qEnvironmentVariable(kUpdateBaseVariable).trimmed();
    if (base.isEmpty())
        base = QString::fromLatin1(kUpdateDefaultBase);
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base;
}

QUrl urlFunUpdateVersionFile() {
    return QUrl(strFunUpdateBaseUrl() + QLatin1String(kUpdateVersionPath));
}

QUrl urlFunUpdatePackage() {
    return QUrl(strFunUpdateBaseUrl() + QLatin1String(kUpdatePackagePath));
}

bool bFunUpdateUrlAllowed(const QUrl &url) {
    // A user name or password in an address would be sent, shown and logged
    // wherever the address goes.
    if (!url.isValid() || url.host().isEmpty() || !url.userInfo().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return true;
    return scheme == QLatin1String("http") && isLoopbackHost(url.host());
}

bool bFunParseVersionFile(const QByteArray &body, UpdateVersion &version) {
    if (body.size() < 8)
        return false;
    char raw[12] = {};
    memcpy(raw, body.constData(), std::min<size_t>(sizeof raw, size_t(body.size())));
    const qint32 numbers[3] = {qFromLittleEndian<qint32>(raw), qFromLittleEndian<qint32>(raw + 4),
                               qFromLittleEndian<qint32>(raw + 8)};
    for (qint32 n : numbers) {
        if (n < 0 || n > 9999)
            return false;
    }
    version = {numbers[0], numbers[1], numbers[2]};
    return true;
}

QNetworkAccessManager *newUpdateNetwork(QObject *parent) {
    auto *network = new QNetworkAccessManager(parent);
    network->setProxyFactory(new UpdateProxyFactory);
    return network;
}

QNetworkReply *startUpdateRequest(QNetworkAccessManager *network, const QUrl &url, int stallMs) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("UPDATE CHECK"));
    // A redirect is an answer of its own (a hotel network's login page), never followed.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(stallMs);
    return network->get(request);
}

int iFunReplyStatus(QNetworkReply *reply) {
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

QNetworkReply *fetchUpdateSmallFile(QNetworkAccessManager *network, const QUrl &url, int stallMs,
                                    qint64 maxBytes, QObject *context,
                                    std::function<void(const UpdateSmallFile &)> done) {
    QNetworkReply *reply = startUpdateRequest(network, url, stallMs);
    auto file = std::make_shared<UpdateSmallFile>();
    QObject::connect(reply, &QIODevice::readyRead, context, [reply, file, maxBytes] {
        if (file->tooLong)
            return;
        file->body.append(reply->read(maxBytes + 1 - file->body.size()));
        if (file->body.size() > maxBytes) {
            // A server that sends without end is cut off here, not when memory runs out.
            file->tooLong = true;
            file->body.truncate(maxBytes);
            reply->abort();
        }
    });
    QObject::connect(
        reply, &QNetworkReply::finished, context, [reply, file, maxBytes, done = std::move(done)] {
            reply->deleteLater();
            if (!file->tooLong && reply->bytesAvailable() > 0)
                file->body.append(reply->read(maxBytes + 1 - file->body.size()));
            if (file->body.size() > maxBytes) {
                file->tooLong = true;
                file->body.truncate(maxBytes);
            }
            file->status = iFunReplyStatus(reply);
            file->complete = !file->tooLong && reply->error() == QNetworkReply::NoError;
            done(*file);
        });
    return reply;
}
