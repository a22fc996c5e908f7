#include "maintenance/updatecheck.h"

#include "document/prompts.h"
#include "maintenance/updatesign.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

namespace {

// A version file is 12 bytes; anything much longer is not one.
constexpr qint64 kVersionFileMaxBytes = 64 * 1024;
// A version file is a few bytes: a server that stalls this long is not answering.
constexpr int kCheckStallMs = 30000;

QString versionsText(const UpdateVersion &own, const UpdateVersion &server) {
    return QString::fromUtf8("Aktualna wersja programu to: ") + own.text() +
           QString::fromUtf8("\nWersja dostępna na serwerze to: ") + server.text();
}

} // namespace

UpdateCheck::UpdateCheck(const UpdateVersion &own, QObject *parent)
    : QObject(parent), m_own(own), m_network(newUpdateNetwork(this)) {
    qRegisterMetaType<UpdateVersion>();
}

void UpdateCheck::vFunUpdateCheck(bool silent) {
    ++m_running;
    const QUrl url = urlFunUpdateVersionFile();
    if (!bFunUpdateUrlAllowed(url)) {
        // Reported from the event loop like any other failure, never from the caller's stack.
        QTimer::singleShot(0, this, [this, silent] { finish(silent, Outcome::NoConnection, {}); });
        return;
    }
    fetchUpdateSmallFile(m_network, url, kCheckStallMs, kVersionFileMaxBytes, this,
                         [this, url, silent](const UpdateSmallFile &file) {
                             UpdateVersion server;
                             if (file.status == 0)
                                 finish(silent, Outcome::NoConnection, server);
                             else if (file.status == 404 || file.status == 500)
                                 finish(silent, Outcome::Quiet, server);
                             else if (file.status != 200 || !file.complete ||
                                      !bFunParseVersionFile(file.body, server))
                                 finish(silent, Outcome::Invalid, server);
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
                             finish(silent, signedBody ? Outcome::Version : Outcome::Unverified,
                                    server);
                         });
}

void UpdateCheck::finish(bool silent, Outcome outcome, const UpdateVersion &server) {
    // The failures speak only when asked for.
    const auto warn = [&](const char *text) {
        if (!silent)
            showMessage(m_promptParent, QStringLiteral("Aktualizacja"), QString::fromUtf8(text),
                        Prompts::Icon::Warning);
    };
    switch (outcome) {
    case Outcome::NoConnection:
        warn("Błąd podczas próby połączenia z internetem");
        break;
    case Outcome::Quiet:
        break;
    case Outcome::Invalid:
        warn("Serwer aktualizacji zwrócił niepoprawną odpowiedź.");
        break;
    case Outcome::Unverified:
        warn("Nie udało się potwierdzić, że odpowiedź serwera aktualizacji pochodzi od autora "
             "programu (brak ważnego podpisu), dlatego nowa wersja nie jest proponowana. "
             "Spróbuj ponownie później.");
        break;
    case Outcome::Version:
        if (server.isNewerThan(m_own)) {
            if (askYesNo(m_promptParent, QStringLiteral("Nowa wersja"),
                         versionsText(m_own, server) +
                             QString::fromUtf8("\n\nCzy chcesz pobrać nową wersje programu ?"),
                         Prompts::Icon::Question)) {
                if (m_dataChanged && m_dataChanged())
                    showMessage(m_promptParent, QStringLiteral("Zapisz dane"),
                                QString::fromUtf8("Przed aktualizacją programu zapisz dane\a a "
                                                  "następnie uruchom aktualizację.\nPomoc->Sprawdź "
                                                  "czy jest nowa wersja"),
                                Prompts::Icon::None);
                else
                    emit updateAccepted(m_own, server);
            }
        } else if (!silent) {
            showMessage(m_promptParent, QString(),
                        versionsText(m_own, server) +
                            QString::fromUtf8("\n\nBrak nowej wersji do pobrania."),
                        Prompts::Icon::None);
        }
        break;
    }
    --m_running;
    emit checkEnded();
}
