#include "maintenance/updatecheck.h"

#include "maintenance/updatesign.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

namespace {

// A version file is 12 bytes; anything much longer is not one.
constexpr qint64 kVersionFileMaxBytes = 64 * 1024;
// A version file is a few bytes: a server that stalls this long is not answering.
constexpr int kCheckStallMs = 30000;

} // namespace

UpdateCheck::UpdateCheck(const UpdateVersion &own, QObject *parent)
    : QObject(parent), m_own(own), m_network(newUpdateNetwork(this)) {
    qRegisterMetaType<UpdateVersion>();
    qRegisterMetaType<UpdateOutcome>();
}

void UpdateCheck::vFunUpdateCheck(bool silent) {
    ++m_running;
    const QUrl url = urlFunUpdateVersionFile();
    if (!bFunUpdateUrlAllowed(url)) {
        // Reported from the event loop like any other failure, never from the caller's stack.
        QTimer::singleShot(
            0, this, [this, silent] { finish(silent, UpdateOutcome::Kind::NoConnection, {}); });
        return;
    }
    fetchUpdateSmallFile(m_network, url, kCheckStallMs, kVersionFileMaxBytes, this,
                         [this, url, silent](const UpdateSmallFile &file) {
                             UpdateVersion server;
                             if (file.status == 0)
                                 finish(silent, UpdateOutcome::Kind::NoConnection, server);
                             else if (file.status == 404 || file.status == 500)
                                 finish(silent, UpdateOutcome::Kind::Quiet, server);
                             else if (file.status != 200 || !file.complete ||
                                      !bFunParseVersionFile(file.body, server))
                                 finish(silent, UpdateOutcome::Kind::Invalid, server);
                             else
                                 checkSignature(silent, url, file.body, server);
                         });
}

void UpdateCheck::checkSignature(bool silent, const QUrl &url, const QByteArray &body,
                                 const UpdateVersion &server) {
    // Whoever answers for the server could offer any "newer" version: only a
    // version file signed with the program's key counts.
    QUrl signatureUrl = url;
    signatureUrl.setPath(url.path() + QLatin1String(kUpdateSignatureSuffix));
    fetchUpdateSmallFile(m_network, signatureUrl, kCheckStallMs, kUpdateSignatureBytes, this,
                         [this, silent, body, server](const UpdateSmallFile &file) {
                             const bool signedBody = file.status == 200 && file.complete &&
                                                     bFunUpdateSignatureValid(body, file.body);
                             finish(silent,
                                    signedBody ? UpdateOutcome::Kind::Version
                                               : UpdateOutcome::Kind::Unverified,
                                    server);
                         });
}

void UpdateCheck::finish(bool silent, UpdateOutcome::Kind kind, const UpdateVersion &server) {
    UpdateOutcome outcome;
    outcome.silent = silent;
    outcome.kind = kind;
    outcome.own = m_own;
    outcome.server = server;
    emit checkFinished(outcome);
    --m_running;
    emit checkEnded();
}
