#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The Linux tools the tests read output back with (poppler's pdftoppm,
// pdftotext, pdfinfo; sqlite3). Under Wine a Windows test runs them on the
// Linux side, with Linux paths (hosttools_*.cpp).
struct HostToolRun {
    bool finished = false; // false: it could not start or ran past the time
    int exitCode = -1;
    QByteArray standardOutput;
};
// Runs a tool to its end; arguments that name files go through hostPath.
HostToolRun runHostTool(const QString &name, const QStringList &arguments, int timeoutMs = 60000);
// A file's path as the tool sees it.
QString hostPath(const QString &path);
