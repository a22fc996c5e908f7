#pragma once

#include <QLockFile>
#include <QStringList>
#include <functional>
#include <memory>

// Only one copy of the program runs for a user. Returns the held lock, or
// null when another copy holds it. A copy that crashed leaves a stale lock,
// which is taken over.
std::unique_ptr<QLockFile> lockSingleInstance();

// The command-line document: the arguments after the program name joined by
// single blanks.
QString commandLineText(const QStringList &arguments);

struct ProgramWindows;
// The start of the program up to its shown main window, with every window
// built: the main window, the start-up checks, the command-line document,
// the shown window (then shown() is called), then the other windows. False
// when the program must end.
bool startProgram(ProgramWindows &windows, const QString &commandLine,
                  const std::function<void()> &shown = {});

// The program from the application object to the end of the message loop.
int runProgram(int argc, char **argv);
