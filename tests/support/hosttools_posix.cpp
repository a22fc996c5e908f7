#include "hosttools.h"

#include <QProcess>

HostToolRun runHostTool(const QString &name, const QStringList &arguments, int timeoutMs) {
    HostToolRun run;
    QProcess p;
    p.start(name, arguments);
    run.finished = p.waitForFinished(timeoutMs) && p.exitStatus() == QProcess::NormalExit;
    run.exitCode = run.finished ? p.exitCode() : -1;
    run.standardOutput = p.readAllStandardOutput();
    return run;
}

QString hostPath(const QString &path) {
    return path;
}
