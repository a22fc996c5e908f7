#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;
class QObject;

// A version number major.minor.build.
struct UpdateVersion {
    int major = 0;
    int minor = 0;
    int build = 0;

    QString text() const;
    bool isNewerThan(const UpdateVersion &other) const;
};
Q_DECLARE_METATYPE(UpdateVersion)

// The update server: one base address and two fixed paths. The environment
// variable SWIADECTWA_UPDATE_URL replaces the base (a school's own mirror).
inline const char *const kUpdateDefaultBase = "https://www.veltra-br5.pl";
inline const char *const kUpdateBaseVariable = "SWIADECTWA_UPDATE_URL";
inline const char *const kUpdateVersionPath = "/veltra/bruma/program/2014/bruma_wersja.bin";
// The package's path is chosen per platform (updatepackage.h).

QString strFunUpdateBaseUrl();
QUrl urlFunUpdateVersionFile();
QUrl urlFunUpdatePackage();

// The one check of every address the update fetches or opens: only encrypted
// addresses leave the machine, plain http is allowed to a loopback address
// alone, and an address with a user name or password is refused.
bool bFunUpdateUrlAllowed(const QUrl &url);

// The version file: its first 12 bytes are three little-endian 32-bit
// integers. Eight to eleven bytes leave the missing bytes at 0. False for a
// shorter body or a number outside 0..9999 (no version file would hold one).
bool bFunParseVersionFile(const QByteArray &body, UpdateVersion &version);

// A manager that asks the system for its proxy, but never for loopback.
QNetworkAccessManager *newUpdateNetwork(QObject *parent);
// A GET with the agent name, no redirects followed and a stall timeout.
QNetworkReply *startUpdateRequest(QNetworkAccessManager *network, const QUrl &url, int stallMs);
// The HTTP status of a reply, or 0 when no HTTP answer came at all.
int iFunReplyStatus(QNetworkReply *reply);

// A small file fetched whole: its status (0 when no HTTP answer came), its
// body, and whether it came complete. A body longer than the limit is not
// read on: the fetch stops there and is not complete.
struct UpdateSmallFile {
    int status = 0;
    bool complete = false;
    bool tooLong = false;
    QByteArray body;
};
// Starts the fetch; done runs once, in context, unless context disconnects
// the reply first. Returns the reply (deleted after done).
QNetworkReply *fetchUpdateSmallFile(QNetworkAccessManager *network, const QUrl &url, int stallMs,
                                    qint64 maxBytes, QObject *context,
                                    std::function<void(const UpdateSmallFile &)> done);
