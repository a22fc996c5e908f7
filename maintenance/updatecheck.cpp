#include "maintenance/updatecheck.h"

#include "document/prompts.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

#include <memory>

namespace {

constexpr int kVersionFileBytes = 12;
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
    QNetworkReply *reply = startUpdateRequest(m_network, url, kCheckStallMs);
    auto head = std::make_shared<QByteArray>();
    // Only the first bytes count; the rest is dropped as it comes, whatever its size.
    connect(reply, &QIODevice::readyRead, reply, [reply, head] {
        if (head->size() < kVersionFileBytes)
            head->append(reply->read(kVersionFileBytes - head->size()));
        reply->skip(reply->bytesAvailable());
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, head, silent] {
        reply->deleteLater();
        if (head->size() < kVersionFileBytes)
            head->append(reply->read(kVersionFileBytes - head->size()));
        const int status = iFunReplyStatus(reply);
        UpdateVersion server;
        if (status == 0)
            finish(silent, Outcome::NoConnection, server);
        else if (status == 404 || status == 500)
            finish(silent, Outcome::Quiet, server);
        else if (status != 200 || !bFunParseVersionFile(*head, server))
            finish(silent, Outcome::Invalid, server);
        else
            finish(silent, Outcome::Version, server);
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
