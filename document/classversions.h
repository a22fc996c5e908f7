#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// Earlier versions of a class file, kept in the program folder: every save
// that replaces a file keeps what the file held before. A class file is known
// by its absolute path with its symbolic links followed (the file a save
// writes), so two names of one file share their versions.

inline const char *const kClassVersionsDirName = "wersje";
inline constexpr int kKeptClassVersions = 10;

struct ClassVersion {
    QString path;    // the version's own file (a class file)
    QDateTime saved; // when that content was saved into the class file
    int pupils = -1; // -1: the content could not be read as a class
};

// The folder of one class file's versions (not made here); empty when the
// program folder cannot be had (msg says why).
QString strFunClassVersionsDir(QString &msg, const QString &classPath);

// The versions of a class file, newest first.
QList<ClassVersion> classVersions(const QString &classPath);

// Keeps the content a save is about to replace. Made before the save: the
// present content of the class file is copied aside under a temporary name
// (nothing when the file does not exist or already holds the replacement).
// keep() after a save that worked turns the copy into a version and only
// then removes the versions beyond the last kKeptClassVersions; without
// keep() the copy goes and the versions stay as they were.
class ClassVersionKeeper {
public:
    ClassVersionKeeper(const QString &classPath, const QString &replacement);
    ~ClassVersionKeeper();
    ClassVersionKeeper(const ClassVersionKeeper &) = delete;
    ClassVersionKeeper &operator=(const ClassVersionKeeper &) = delete;

    // False with the message when the earlier content could not be kept
    // (the save itself is done by then and stands).
    bool keep(QString &msg);

private:
    QString m_dir;
    QString m_staged;
    QDateTime m_saved;
    int m_pupils = -1;
    QString m_problem;
};
