#include "privatecups.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <unistd.h>

namespace {

bool writeText(const QString &path, const QString &text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) >= 0;
}

// The scheduler runs its filters as the lp user: every folder on the way
// must be readable by it.
void openToOthers(const QString &path) {
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                    QFile::ExeOther);
}

} // namespace

PrivateCups::PrivateCups(int port) : m_port(port) {}

PrivateCups::~PrivateCups() {
    stop();
}

bool PrivateCups::start(QString &why) {
    const QString dir = m_dir.path();
    openToOthers(dir);
    for (const char *sub : {"root", "spool", "cache", "state", "log"}) {
        QDir().mkpath(dir + '/' + sub);
        openToOthers(dir + '/' + sub);
    }
    // A copy of the machine's configuration folder, without its scheduler
    // settings and queues.
    QDirIterator it(QStringLiteral("/etc/cups"), QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString rel = QDir(QStringLiteral("/etc/cups")).relativeFilePath(source);
        if (rel == QLatin1String("cupsd.conf") || rel == QLatin1String("cups-files.conf") ||
            rel == QLatin1String("printers.conf"))
            continue;
        const QString target = dir + QStringLiteral("/root/") + rel;
        if (it.fileInfo().isDir()) {
            QDir().mkpath(target);
            openToOthers(target);
        } else {
            QFile::copy(source, target);
        }
    }
    writeText(dir + QStringLiteral("/cups-files.conf"),
              QStringLiteral("ServerRoot %1/root\nRequestRoot %1/spool\nCacheDir %1/cache\n"
                             "StateDir %1/state\nErrorLog %1/log/error_log\n"
                             "AccessLog %1/log/access_log\nPageLog %1/log/page_log\n"
                             "User lp\nGroup lp\nFileDevice Yes\n")
                  .arg(dir));
    // Everyone may do everything; documents stay in the spool folder.
    writeText(dir + QStringLiteral("/cupsd.conf"),
              QStringLiteral("Listen 127.0.0.1:%1\nBrowsing No\nWebInterface No\nLogLevel warn\n"
                             "PreserveJobFiles Yes\nPreserveJobHistory Yes\n"
                             "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                             "<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                             "  </Limit>\n</Policy>\n")
                  .arg(m_port));
    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd.start(QStringLiteral("/usr/sbin/cupsd"),
                  {QStringLiteral("-f"), QStringLiteral("-c"), dir + QStringLiteral("/cupsd.conf"),
                   QStringLiteral("-s"), dir + QStringLiteral("/cups-files.conf")});
    if (!m_cupsd.waitForStarted(5000)) {
        why = QStringLiteral("cupsd did not start: ") + m_cupsd.errorString();
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    QString out;
    while (clock.elapsed() < 15000) {
        if (m_cupsd.state() != QProcess::Running) {
            why = QStringLiteral("cupsd ended: ") + QString::fromLocal8Bit(m_cupsd.readAll());
            return false;
        }
        if (run(QStringLiteral("lpstat"), {QStringLiteral("-r")}, &out) &&
            out.contains(QLatin1String("scheduler is running")))
            return true;
        QThread::msleep(100);
    }
    why = QStringLiteral("cupsd does not answer on ") + server();
    return false;
}

void PrivateCups::stop() {
    if (m_cupsd.state() == QProcess::NotRunning)
        return;
    m_cupsd.terminate(); // SIGTERM to its process id
    if (!m_cupsd.waitForFinished(10000)) {
        m_cupsd.kill();
        m_cupsd.waitForFinished(5000);
    }
}

bool PrivateCups::run(const QString &program, const QStringList &args, QString *output) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CUPS_SERVER"), server());
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    const bool ok =
        p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (output)
        *output = QString::fromLocal8Bit(p.readAll());
    return ok;
}

bool PrivateCups::addQueue(const QString &name, const QString &ppd, QString &why,
                           const QStringList &extra) {
    QStringList args{QStringLiteral("-p"),
                     name,
                     QStringLiteral("-E"),
                     QStringLiteral("-v"),
                     QStringLiteral("file:///dev/null"),
                     QStringLiteral("-P"),
                     ppd};
    args << extra;
    if (!run(QStringLiteral("lpadmin"), args, &why))
        return false;
    why.clear();
    return true;
}

QStringList PrivateCups::jobDocuments() const {
    QStringList out;
    const QDir spool(m_dir.path() + QStringLiteral("/spool"));
    for (const QString &name : spool.entryList({QStringLiteral("d*-001")}, QDir::Files, QDir::Name))
        out << spool.filePath(name);
    return out;
}

QString PrivateCups::jobDocument(int job) const {
    return m_dir.path() + QStringLiteral("/spool/d%1-001").arg(job, 5, 10, QLatin1Char('0'));
}

QMap<QString, QString> PrivateCups::jobAttributes(int job) {
    QMap<QString, QString> attributes;
    QString out;
    run(QStringLiteral("ipptool"),
        {QStringLiteral("-tv"), QStringLiteral("ipp://%1/jobs/%2").arg(server()).arg(job),
         QStringLiteral("get-job-attributes.test")},
        &out);
    static const QRegularExpression line(QStringLiteral("^\\s*([a-z0-9-]+) \\([^)]*\\) = (.*)$"));
    for (const QString &l : out.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = line.match(l);
        if (m.hasMatch())
            attributes.insert(m.captured(1), m.captured(2).trimmed());
    }
    return attributes;
}
