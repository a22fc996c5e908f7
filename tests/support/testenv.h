#pragma once

#include <QByteArrayList>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Every test runs with its own data location and runtime folder, so tests
// never touch the real program folder and can run side by side.
class TestEnv {
public:
    explicit TestEnv(const QString &userName = QStringLiteral("nauczyciel"));
    ~TestEnv();

    QString dataHome() const { return m_home.path(); }
    QString programDir() const; // where the program folder is expected
    QString programFile(const QString &name) const { return programDir() + '/' + name; }

    // Copies a shipped file from beside the test binary into the program folder.
    void installShipped(const QString &name) const;

private:
    QTemporaryDir m_home;
    QTemporaryDir m_runtime;
    QString m_user;
    // The temporary folder before this environment (Windows).
    QString m_savedTmp;
    QString m_savedTemp;
};

// Stand-ins for commands, in a folder placed first on PATH while this object
// lives (PATH is restored when it goes).
class StandInTools {
public:
    StandInTools();
    ~StandInTools();
    // A command made of a shell script's body.
    void add(const QString &name, const QByteArray &script);
    // A file in the stand-ins' folder (for what they record).
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    // Leaves only the stand-ins on PATH: every other command is missing.
    void hideTheSystemCommands();

private:
    QTemporaryDir m_dir;
    QByteArray m_path;
};

// Copies the data files shipped beside the test binaries (databases, help,
// phrase library, pictures) into a folder that stands in for the installation folder.
void copyShippedData(const QString &targetDir);

// First column of every row of a query, as the raw bytes SQLite holds.
QByteArrayList rawColumn(const QString &dbPath, const QByteArray &sql);

struct LogRow {
    QString datetime;
    QString fun;
    QString info;
};
// The program log of the current program folder, oldest first.
QList<LogRow> logRows(const QString &programDir);

// Writes bytes to a file, making its folder.
void writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);
