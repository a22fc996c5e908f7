#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The command line for scripts: one document of every pupil of a class file
// into one PDF file, without a window or a display.
//
//   swiadectwa --pdf OUT.pdf --dokument "MEN-I/1/2 świad. klasa 1"
//              [--uczen PESEL]... [--ustawienia NAME] KLASA.sqbr5

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitBadArguments = 2;
// The file is written, but something on it would come out wrong (text over
// its field, a document never filled in, a pupil without a PESEL): said on
// standard error.
constexpr int kExitPrintedWithFindings = 3;

struct structCommandLine {
    bool help = false;
    bool version = false;
    QString pdf;
    QString document;
    QStringList pesels;
    QString marginSet; // empty: the set last used for printing
    QString classFile;
    // Unset: as the settings hold them.
    std::optional<bool> printWithoutDots, strikeEmptyFields, clipTextFields;
};

// Whether the arguments (after the program name) are for the command line
// rather than a class file for the window: an option among them.
bool bFunIsCommandLine(const QStringList &arguments);

// Reads the arguments after the program name; false with a Polish message
// when they are wrong.
bool bFunParseCommandLine(const QStringList &arguments, structCommandLine &cl, QString &error);

// What --help prints: the options and the thirteen document names.
QString strFunCommandLineHelp();

// Runs the command line: the exit status. Messages go to standard error.
int runCommandLine(int argc, char **argv);
