#pragma once

#include "maintenance/updatenet.h"

#include <QObject>

class QNetworkAccessManager;

// How one version check ended. Every answer other than a version file with
// status 200 is Invalid, except 404 and 500, which are Quiet. A version file
// counts only with a valid signature beside it (updatesign.h): Unverified
// without one, Version with one.
struct UpdateOutcome {
    enum class Kind { NoConnection, Quiet, Invalid, Unverified, Version };
    // Started silently (at start-up): only a newer version is worth a word.
    bool silent = false;
    Kind kind = Kind::Quiet;
    UpdateVersion own;
    UpdateVersion server; // meaningful for Version only
    // A signed version file offering a version newer than the program's.
    bool offersNewer() const { return kind == Kind::Version && server.isNewerThan(own); }
};
Q_DECLARE_METATYPE(UpdateOutcome)

// The version check against the update server. Asynchronous: each check
// returns at once, runs on the event loop and reports its outcome by a
// signal; it asks nothing itself, the window that started it does. Several
// checks may run side by side; each one is independent of the others.
class UpdateCheck : public QObject {
    Q_OBJECT
public:
    explicit UpdateCheck(const UpdateVersion &own, QObject *parent = nullptr);

    void vFunUpdateCheck(bool silent);
    // Checks started and not yet ended; a check still counts while the
    // receivers of checkFinished() ask their questions.
    int runningChecks() const { return m_running; }

signals:
    // Once per check, before checkEnded().
    void checkFinished(const UpdateOutcome &outcome);
    // Every check ends with this, whatever its outcome.
    void checkEnded();

private:
    void checkSignature(bool silent, const QUrl &url, const QByteArray &body,
                        const UpdateVersion &server);
    void finish(bool silent, UpdateOutcome::Kind kind, const UpdateVersion &server);

    UpdateVersion m_own;
    QNetworkAccessManager *m_network = nullptr;
    int m_running = 0;
};
