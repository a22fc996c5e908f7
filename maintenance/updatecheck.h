#pragma once

#include "maintenance/updatenet.h"

#include <QObject>
#include <functional>

class QNetworkAccessManager;
class QWidget;

// The version check against the update server. Asynchronous: each check
// returns at once, runs on the event loop, asks its questions through the
// prompts seam and reports an accepted update by a signal. Several checks may
// run side by side; each one is independent of the others.
//
// Silent mode says nothing unless a newer version exists. Every answer other
// than a version file with status 200 is "no valid answer", except 404 and
// 500, which end the check quietly in both modes. A version file counts only
// with a valid signature beside it (updatesign.h); without one the check
// offers nothing and, when not silent, says the answer could not be verified.
class UpdateCheck : public QObject {
    Q_OBJECT
public:
    explicit UpdateCheck(const UpdateVersion &own, QObject *parent = nullptr);

    // The window the questions belong to (not owned).
    void setPromptParent(QWidget *parent) { m_promptParent = parent; }
    // Read when the user accepts: unsaved work must be saved first.
    void setDataChanged(std::function<bool()> dataChanged) {
        m_dataChanged = std::move(dataChanged);
    }

    void vFunUpdateCheck(bool silent);
    int runningChecks() const { return m_running; }

signals:
    // The user wants the newer version and nothing is unsaved.
    void updateAccepted(const UpdateVersion &own, const UpdateVersion &server);
    // Every check ends with this, whatever its outcome.
    void checkEnded();

private:
    enum class Outcome { NoConnection, Quiet, Invalid, Unverified, Version };
    void checkSignature(bool silent, const QUrl &url, const QByteArray &body,
                        const UpdateVersion &server);
    void finish(bool silent, Outcome outcome, const UpdateVersion &server);

    UpdateVersion m_own;
    QWidget *m_promptParent = nullptr;
    std::function<bool()> m_dataChanged;
    QNetworkAccessManager *m_network = nullptr;
    int m_running = 0;
};
