#pragma once

#include "noprinters.h"

#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A CUPS scheduler of the test's own: its own configuration and spool
// folders, its own port on 127.0.0.1, stopped by its process id. Nothing of
// the machine's printing system is touched. Clients reach it through
// CUPS_SERVER, which the test sets to server() before anything asks libcups.
class PrivateCups {
public:
    explicit PrivateCups(int port);
    ~PrivateCups();

    QString server() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }
    // Starts the scheduler and waits until it answers; false with the reason.
    bool start(QString &why);
    void stop();

    // A queue printing into /dev/null, described by a PPD file.
    bool addQueue(const QString &name, const QString &ppd, QString &why,
                  const QStringList &extra = {});
    // Runs a CUPS client program against this scheduler; false on failure.
    bool run(const QString &program, const QStringList &args, QString *output = nullptr);

    // The documents as the spooler received them, oldest first.
    QStringList jobDocuments() const;
    QString jobDocument(int job) const;
    // The attributes of a job as ipptool reads them: name to value.
    QMap<QString, QString> jobAttributes(int job);

private:
    int m_port;
    QTemporaryDir m_dir;
    QProcess m_cupsd;
};
