#include "testenv.h"

#include "storage/codec.h"
#include "storage/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

namespace {

// On Windows Polish letters survive only through the wide environment.
void setEnvironment(const char *name, const QString &value) {
#ifdef Q_OS_WIN
    _wputenv_s(QString::fromLatin1(name).toStdWString().c_str(), value.toStdWString().c_str());
#else
    qputenv(name, QFile::encodeName(value));
#endif
}

} // namespace

TestEnv::TestEnv(const QString &userName) : m_user(userName) {
    // Without its folders no test of this program means anything: one clear
    // failure, not a row of unrelated ones.
    for (const QTemporaryDir *dir : {&m_home, &m_runtime}) {
        if (!dir->isValid()) {
            std::fprintf(stderr,
                         "FAIL: cannot make a temporary folder (TMPDIR=%s): %s\n"
                         "Point TMPDIR at a writable folder.\n",
                         qgetenv("TMPDIR").constData(), qPrintable(dir->errorString()));
            std::exit(1);
        }
    }
    setEnvironment("XDG_DATA_HOME", m_home.path());
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setEnvironment("XDG_RUNTIME_DIR", m_runtime.path());
#ifdef Q_OS_WIN
    // There the single-instance lock and pipe follow the temporary folder;
    // the next test's folders are made in the one before this.
    m_savedTmp = qEnvironmentVariable("TMP");
    m_savedTemp = qEnvironmentVariable("TEMP");
    setEnvironment("TMP", QDir::toNativeSeparators(m_runtime.path()));
    setEnvironment("TEMP", QDir::toNativeSeparators(m_runtime.path()));
#endif
    setEnvironment("USER", userName);
    // No test reaches the network unasked: plain http to a host that is not
    // loopback is refused before any connection (a test's own server sets its own).
    qputenv("SWIADECTWA_UPDATE_URL", "http://update.invalid");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The program folder of the previous test is not this one's.
    vFunForgetProgramFolders();
}

TestEnv::~TestEnv() {
#ifdef Q_OS_WIN
    setEnvironment("TMP", m_savedTmp);
    setEnvironment("TEMP", m_savedTemp);
#endif
    vFunForgetProgramFolders();
}

QString TestEnv::programDir() const {
    return m_home.path() + QStringLiteral("/Veltra-BR5/") + m_user;
}

void TestEnv::installShipped(const QString &name) const {
    QDir().mkpath(programDir());
    const QString target = programFile(name);
    QFile::remove(target);
    QFile::copy(QCoreApplication::applicationDirPath() + '/' + name, target);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
}

StandInTools::StandInTools() : m_path(qgetenv("PATH")) {
    qputenv("PATH", QFile::encodeName(m_dir.path()) + QDir::listSeparator().toLatin1() + m_path);
}

StandInTools::~StandInTools() {
    qputenv("PATH", m_path);
}

void StandInTools::add(const QString &name, const QByteArray &script) {
    const QString path = m_dir.filePath(name);
    writeFile(path, "#!/bin/sh\n" + script);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void StandInTools::hideTheSystemCommands() {
    qputenv("PATH", QFile::encodeName(m_dir.path()));
}

void copyShippedData(const QString &targetDir) {
    const QDir from(QCoreApplication::applicationDirPath());
    for (const QString &name : from.entryList({"*.sqset", "*.html"}, QDir::Files))
        QFile::copy(from.filePath(name), targetDir + '/' + name);
    for (const char *folder : {"ocena_opisowa", "grafika"}) {
        QDirIterator it(from.filePath(QLatin1String(folder)), QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString source = it.next();
            const QString target = targetDir + '/' + from.relativeFilePath(source);
            QDir().mkpath(QFileInfo(target).absolutePath());
            QFile::copy(source, target);
        }
    }
}

QByteArrayList rawColumn(const QString &dbPath, const QByteArray &sql) {
    QByteArrayList out;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(dbPath).constData(), &db, SQLITE_OPEN_READONLY,
                        nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return out;
    }
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) == SQLITE_OK) {
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
            out.append(text ? QByteArray(text, sqlite3_column_bytes(stmt, 0)) : QByteArray());
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return out;
}

QList<LogRow> logRows(const QString &programDir) {
    QList<LogRow> rows;
    const QString path = programDir + QStringLiteral("/logs.sqdb");
    if (!QFileInfo::exists(path))
        return rows;
    const QByteArrayList when = rawColumn(path, "select datetime from `error`");
    const QByteArrayList fun = rawColumn(path, "select fun from `error`");
    const QByteArrayList info = rawColumn(path, "select info from `error`");
    for (int i = 0; i < when.size(); ++i)
        rows.append({cp1250::decode(when[i]), cp1250::decode(fun[i]), cp1250::decode(info[i])});
    return rows;
}

void writeFile(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
