#pragma once

#include <QString>
#include <QStringList>

// Phrase and template files: code page 1250 text, one line per phrase, each
// ended by CR LF. Each call returns 0 or the errno of the failure.

// Every line, however long (a line end of LF alone is accepted too; a last
// line without line end counts).
int iFunReadTextLines(const QString &path, QStringList &lines);
// Replaces the file's content with the lines, each followed by CR LF.
int iFunWriteTextLines(const QString &path, const QStringList &lines);
// Creates an empty file; an existing file is an error (EEXIST).
int iFunCreateEmptyFile(const QString &path);
int iFunDeleteFile(const QString &path);
// Never replaces an existing file (EEXIST).
int iFunRenameFile(const QString &from, const QString &to);
// The names of the files (not folders) of a folder, as the file system lists them.
QStringList strFunListFiles(const QString &folder);

// The phrase library: folders of phrase files ("ocena_opisowa/...") in the
// program folder.
class PhraseLibrary {
public:
    // The library of the program folder (looked up now).
    static PhraseLibrary inProgramFolder();
    explicit PhraseLibrary(const QString &root) : m_root(root) {}

    // A folder of the library; empty when the program folder cannot be had.
    QString folder(const QString &relative) const;
    // A file of that folder.
    QString file(const QString &relative, const QString &name) const;

private:
    QString m_root;
};
