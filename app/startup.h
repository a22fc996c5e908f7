#pragma once

#include <QLockFile>
#include <QStringList>
#include <memory>

// Only one copy of the program runs for a user. Returns the held lock, or
// null when another copy holds it. A copy that crashed leaves a stale lock,
// which is taken over.
std::unique_ptr<QLockFile> lockSingleInstance();

// The command-line document: the arguments after the program name joined by
// single blanks.
QString commandLineText(const QStringList &arguments);

// The program from the application object to the end of the message loop.
int runProgram(int argc, char **argv);
