#include "dialogs/tfaktualizacja.h"

#include "document/prompts.h"
#include "maintenance/updatecheck.h"
#include "maintenance/updatedownload.h"
#include "storage/paths.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <climits>

namespace {

QLabel *namedLabel(QWidget *parent, const char *name, const QString &text) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

int gaugeValue(qint64 n) {
    return int(std::min<qint64>(n, INT_MAX));
}

QString versionsText(const UpdateVersion &own, const UpdateVersion &server) {
    return QString::fromUtf8("Aktualna wersja programu to: ") + own.text() +
           QString::fromUtf8("\nWersja dostępna na serwerze to: ") + server.text();
}

} // namespace

bool bFunAskAboutUpdate(QWidget *parent, const UpdateOutcome &outcome,
                        const std::function<bool()> &dataChanged) {
    // The failures speak only when asked for.
    const auto warn = [&](const char *text) {
        if (!outcome.silent)
            showMessage(parent, QStringLiteral("Aktualizacja"), QString::fromUtf8(text),
                        Prompts::Icon::Warning);
    };
    switch (outcome.kind) {
    case UpdateOutcome::Kind::NoConnection:
        warn("Błąd podczas próby połączenia z internetem");
        return false;
    case UpdateOutcome::Kind::Quiet:
        return false;
    case UpdateOutcome::Kind::Invalid:
        warn("Serwer aktualizacji zwrócił niepoprawną odpowiedź.");
        return false;
    case UpdateOutcome::Kind::Unverified:
        warn("Nie udało się potwierdzić, że odpowiedź serwera aktualizacji pochodzi od autora "
             "programu (brak ważnego podpisu), dlatego nowa wersja nie jest proponowana. "
             "Spróbuj ponownie później.");
        return false;
    case UpdateOutcome::Kind::Version:
        break;
    }
    if (!outcome.offersNewer()) {
        if (!outcome.silent)
            showMessage(parent, QString(),
                        versionsText(outcome.own, outcome.server) +
                            QString::fromUtf8("\n\nBrak nowej wersji do pobrania."),
                        Prompts::Icon::None);
        return false;
    }
    if (!askYesNo(parent, QStringLiteral("Nowa wersja"),
                  versionsText(outcome.own, outcome.server) +
                      QString::fromUtf8("\n\nCzy chcesz pobrać nową wersje programu ?"),
                  Prompts::Icon::Question))
        return false;
    if (dataChanged && dataChanged()) {
        showMessage(parent, QStringLiteral("Zapisz dane"),
                    QString::fromUtf8("Przed aktualizacją programu zapisz dane\a a "
                                      "następnie uruchom aktualizację.\nPomoc->Sprawdź "
                                      "czy jest nowa wersja"),
                    Prompts::Icon::None);
        return false;
    }
    return true;
}

TFAktualizacja::TFAktualizacja(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFAktualizacja"));
    setWindowTitle(QStringLiteral("Aktualizacja"));
    setModal(true);

    Label1 = namedLabel(this, "Label1", QStringLiteral("Aktualna wersja:"));
    AWersjaLabel = namedLabel(this, "AWersjaLabel", QString());
    Label2 = namedLabel(this, "Label2", QStringLiteral("Nowa wersja:"));
    NWersjaLabel = namedLabel(this, "NWersjaLabel", QString());
    Label3 = namedLabel(this, "Label3", QString::fromUtf8("Postęp pobierania:"));
    Postep = new QProgressBar(this);
    Postep->setObjectName(QStringLiteral("Postep"));
    Postep->setRange(0, 1);
    Postep->setValue(0);
    Label5 = namedLabel(this, "Label5", QStringLiteral("Status:"));
    editStatus = new QLineEdit(this);
    editStatus->setAccessibleName(QString::fromUtf8("Stan aktualizacji"));
    editStatus->setObjectName(QStringLiteral("editStatus"));
    editStatus->setEnabled(false);
    Label4 = namedLabel(this, "Label4",
                        QString::fromUtf8("Jeśli masz problem z pobraniem programu użyj adresu "
                                          "poniżej:"));
    editDownloadLink = new QLineEdit(this);
    editDownloadLink->setAccessibleName(QString::fromUtf8("Adres nowej wersji"));
    editDownloadLink->setObjectName(QStringLiteral("editDownloadLink"));
    editDownloadLink->setReadOnly(true);
    btnDownloadViaBrowser = new QPushButton(QString::fromUtf8("Pobierz przez przeglądarkę"), this);
    btnDownloadViaBrowser->setObjectName(QStringLiteral("btnDownloadViaBrowser"));
    btnDownloadViaBrowser->setAutoDefault(false);
    btnClose = new QPushButton(QStringLiteral("Zamknij"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setDefault(true);

    auto *grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(AWersjaLabel, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(NWersjaLabel, 1, 1);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(Postep, 2, 1);
    grid->addWidget(Label5, 3, 0);
    grid->addWidget(editStatus, 3, 1);
    grid->setColumnStretch(1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnDownloadViaBrowser);
    buttons->addStretch(1);
    buttons->addWidget(btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addWidget(Label4);
    layout->addWidget(editDownloadLink);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setMinimumWidth(520);

    m_download = new UpdateDownload(this);
    // Queued: the dialog hears of the download only from the event loop.
    connect(
        m_download, &UpdateDownload::lengthKnown, this,
        [this](qint64 length) {
            m_length = length;
            Postep->setRange(0, gaugeValue(length));
            Postep->setValue(0);
        },
        Qt::QueuedConnection);
    connect(
        m_download, &UpdateDownload::progressed, this,
        [this](qint64 received) {
            m_received = received;
            Postep->setValue(gaugeValue(received));
        },
        Qt::QueuedConnection);
    connect(m_download, &UpdateDownload::statusChanged, editStatus, &QLineEdit::setText,
            Qt::QueuedConnection);
    connect(m_download, &UpdateDownload::finished, this, &TFAktualizacja::downloadEnded,
            Qt::QueuedConnection);
    connect(btnDownloadViaBrowser, &QPushButton::clicked, this,
            &TFAktualizacja::btnDownloadViaBrowserClick);
    connect(btnClose, &QPushButton::clicked, this, &TFAktualizacja::btnCloseClick);
}

void TFAktualizacja::setVersions(const UpdateVersion &own, const UpdateVersion &server) {
    AWersjaLabel->setText(own.text());
    NWersjaLabel->setText(server.text());
}

void TFAktualizacja::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    FormShow();
}

void TFAktualizacja::FormShow() {
    // A refused address (a password in it, plain http) is neither shown nor offered.
    const QUrl link = urlFunUpdatePackage();
    const bool allowed = bFunUpdateUrlAllowed(link);
    editDownloadLink->setText(allowed ? link.toString() : QString());
    btnDownloadViaBrowser->setEnabled(allowed);
    btnClose->setEnabled(false);
    btnClose->setText(QStringLiteral("Zamknij"));
    editStatus->clear();
    Postep->setRange(0, 1);
    Postep->setValue(0);
    m_downloadFinished = false;
    m_length = m_received = 0;
    // The dialog is drawn before the download begins.
    QTimer::singleShot(0, this, &TFAktualizacja::startDownload);
}

void TFAktualizacja::startDownload() {
    if (!isVisible())
        return;
    QString msg;
    const QString folder = strFunGetProgramDir(msg);
    if (folder.isEmpty()) {
        editStatus->setText(UpdateDownload::writeFailedText());
        downloadEnded(false);
        return;
    }
    m_packagePath = folder + QLatin1Char('/') + QLatin1String(kUpdateSavedPackage);
    m_download->vFunUpdateDownload(urlFunUpdatePackage(), m_packagePath);
}

void TFAktualizacja::downloadEnded(bool ok) {
    m_downloadFinished = ok;
    if (ok && m_length == 0) {
        // No length was announced: the gauge shows what came.
        Postep->setRange(0, gaugeValue(m_received));
        Postep->setValue(gaugeValue(m_received));
    }
    btnClose->setText(ok ? QStringLiteral("Zainstaluj") : QStringLiteral("Zamknij"));
    btnClose->setEnabled(true);
    btnClose->setFocus();
}

void TFAktualizacja::btnCloseClick() {
    if (m_downloadFinished) {
        if (bFunHandOverPackage(m_packagePath)) {
            emit installerHandedOver();
            accept();
            return;
        }
        showMessage(this, QStringLiteral("Aktualizacja"), strFunHandOverFailedText(m_packagePath),
                    Prompts::Icon::Warning);
    }
    accept();
}

void TFAktualizacja::btnDownloadViaBrowserClick() {
    const QUrl link = urlFunUpdatePackage();
    if (bFunUpdateUrlAllowed(link))
        prompts().openExternal(link);
}

void TFAktualizacja::reject() {
    if (m_download->isRunning()) {
        m_download->abort();
        downloadEnded(false);
    }
    QDialog::reject();
}
