#pragma once

#include "document/prompts.h"

#include <QList>
#include <QString>

// The class file workflow without windows. The open class lives in the
// working copy of the program folder: opening copies the chosen file there,
// saving copies it back (atomically), and a marker beside the working copy
// tells a later start that it holds unsaved changes of a named class file.

struct ClassFileMessage {
    QString caption;
    QString text;
    Prompts::Icon icon = Prompts::Icon::None;
};

// What a step did: success, the errno of a failed step, and the messages for
// the user in the order in which they arose (warnings too, on success).
struct ClassFileOutcome {
    bool ok = false;
    int error = 0;
    // The target exists but cannot be replaced (read-only, another owner):
    // nothing was written, and "Zapisz jako" is the way out.
    bool notReplaceable = false;
    // An opened file that a save cannot replace (read-only, another owner).
    bool readOnly = false;
    QList<ClassFileMessage> messages;
};

// A text file of the older program (".br5"): it comes in through the import.
bool bFunIsLegacyClassFile(const QString &path);
// The message that points such a file to "Plik › Importuj".
ClassFileMessage legacyFileMessage(const QString &path);

// Opens the chosen class file into the working copy and checks that it is a
// class file; on failure no working copy is left. A legacy ".br5" text file
// is refused with a pointer to the import.
ClassFileOutcome bFunWczytajPlikSwiadectw(const QString &path);

// Copies the working copy over an existing class file (through a symbolic
// link: over the file it points to). A read-only file, or one that belongs to
// another user, is not replaced.
ClassFileOutcome bFunZapiszIstniejacyPlikSwiadectw(const QString &target);

// Copies the working copy to a chosen name (the overwrite question has been
// answered); a class without pupils is written as an empty file.
ClassFileOutcome bFunZapiszNowyPlikSwiadectw(const QString &target);

// Whether an existing file may be replaced by a save: it is ours (or we are
// the administrator) and writable; its permissions are never changed. error
// receives the errno that forbids it.
bool bFunCanReplaceFile(const QString &path, int &error);

// --- The unsaved-changes marker ---------------------------------------------

inline const char *const kUnsavedMarkerFileName = "data_tmp.niezapisane";

// Records that the working copy holds unsaved changes of the class file
// (empty: a class never saved under a name).
bool bFunMarkUnsaved(QString &msg, const QString &classPath);
// Removes the marker (after a successful save, at a normal close).
bool bFunClearUnsavedMark(QString &msg);
// True when a working copy is left with the marker: classPath receives the
// class file it belongs to.
bool bFunFindUnsavedWork(QString &classPath);
// Moves the working copy to "odzyskane-<date>.sqbr5" in the program folder
// and removes the marker; asidePath receives the new full path.
bool bFunSetAsideWorkingCopy(QString &msg, QString &asidePath);
