#pragma once

#include "document/certfile.h"
#include "document/classfile.h"
#include "document/classversions.h"

#include <QString>
#include <functional>

// The unsaved-changes flag. Whoever sets it also marks the working copy (see
// ClassSession), so that work is offered back after a crash; a clear (a
// successful save) removes the mark.
class ChangedFlag {
public:
    ChangedFlag &operator=(bool on) {
        if (on != m_on) {
            m_on = on;
            if (onChange)
                onChange(on);
        }
        return *this;
    }
    operator bool() const { return m_on; }
    std::function<void(bool)> onChange;

private:
    bool m_on = false;
};

// The sort key of a display name: ASCII letters in capitals, Polish letters
// as their plain capitals, compared as code page 1250 bytes.
QByteArray pupilSortKey(const QString &name);
// The pupils in the tree's order, named as the tree names them (two pupils
// of one name with their PESEL).
StudentList pupilsInTreeOrder(const StudentList &pupils);

// The open class without windows: the class file it belongs to, its working
// copy in the program folder, its pupils, the pupil whose records are loaded,
// and whether anything is unsaved. Every step returns its outcome (success,
// errno, messages in order); the caller shows the messages.
class ClassSession {
public:
    // privateCopy: the session reads a copy of its own there and never
    // touches the program's working copy nor its marker (a run beside the
    // window, such as the command line).
    explicit ClassSession(const QString &privateCopy = QString());

    // The class file (empty: a class never saved under a name).
    QString path() const { return m_path; }
    void setPath(const QString &path);
    // The working copy: where every change goes until a save.
    QString workingCopy() const;
    // Whether a class (maybe a new, empty one) is open.
    bool isOpen() const { return m_open; }
    void setOpen(bool open) { m_open = open; }
    // The opened file cannot be replaced by "Zapisz" (read-only, another owner).
    bool isReadOnly() const { return m_readOnly; }

    // The pupils as the working copy lists them, and in the tree's order.
    const StudentList &pupils() const { return m_pupils; }
    StudentList pupilsInOrder() const { return pupilsInTreeOrder(m_pupils); }

    // The loaded pupil (empty: none) and its records as stored.
    QString loadedTable() const { return m_loadedTable; }
    const SqlDataList &records() const { return m_records; }

    // Set by every change of the working copy, cleared by a save that worked.
    ChangedFlag unsaved;
    // Told after the flag changed (the window's title).
    std::function<void(bool)> onUnsavedChange;

    // A new class without pupils and without a name.
    ClassFileOutcome newClass();
    // Opens a class file into the working copy. A failure leaves the open
    // class as it was; a legacy ".br5" file is pointed to the import.
    ClassFileOutcome open(const QString &path);
    // Reads a class file through the private copy, without changing the
    // file. Damage and unreadable pupils are no failure: the readable pupils
    // are there, and wasDamaged / unreadablePupils tell the rest. A failure
    // carries the errno of a copy that failed (0: not a class file) and what
    // SQLite said.
    ClassFileOutcome read(const QString &path);
    bool wasDamaged() const { return m_damaged; }
    QStringList unreadablePupils() const { return m_unreadable; }

    // Copies the working copy over the class file. A file that cannot be
    // replaced is left alone: notReplaceable, and "Zapisz jako" is the way out.
    // A save that worked (this one and saveAs) keeps the replaced content as
    // a version; a failed one changes neither the file nor the versions.
    ClassFileOutcome save();
    // Writes the working copy under a new name, which becomes the class file.
    ClassFileOutcome saveAs(const QString &target);
    // The earlier versions of the class file that saves kept, newest first.
    QList<ClassVersion> versions() const;
    // Takes a version as the working copy of the open class file, unsaved:
    // the path stays, and "Zapisz" makes the version the file's content.
    ClassFileOutcome openVersion(const QString &versionPath);
    // Reads the pupil list of the working copy again.
    ClassFileOutcome readPupils();
    // Loads a pupil's records; a failure leaves no pupil loaded.
    ClassFileOutcome loadPupil(const QString &table);
    // Forgets the loaded pupil.
    void unloadPupil();
    // Stores a whole pupil in one transaction (dropTable goes in the same
    // one: a changed PESEL), then loads it again and re-reads the list.
    // What equals the stored rows changes nothing and marks nothing.
    ClassFileOutcome savePupil(const QString &table, const SqlDataList &records,
                               const QString &dropTable = QString(),
                               const std::function<void()> &step = {});
    ClassFileOutcome deletePupil(const QString &table);
    // Runs an import into the working copy; on success the class is a new,
    // unnamed one holding what came in, with unsaved changes.
    ClassFileOutcome
    import(const std::function<bool(QString &msg, const QString &workingCopy)> &run);

    // Unsaved work of a run that ended without closing: the class file it
    // belongs to (empty: never named), or false when there is none.
    bool findUnsavedWork(QString &classPath) const;
    // Takes that work as the open class, unsaved.
    ClassFileOutcome recoverUnsavedWork(const QString &classPath);
    // Moves it aside under a name of its own; asidePath receives that name.
    ClassFileOutcome setAsideUnsavedWork(QString &asidePath);
    // A working copy of a run that closed normally: removed.
    void discardLeftovers();
    // A normal end: the working copy is not offered back at the next start.
    void endNormally();

private:
    void markUnsaved(bool on);
    void forgetPupils();
    // The working copy now holds an opened class file: its pupils, its
    // path and whether that file can be replaced; messages of the list join out's.
    void takeOpened(ClassFileOutcome &out, const QString &path, bool readOnly);

    QString m_privateCopy;
    QString m_path;
    bool m_open = false;
    bool m_damaged = false;
    QStringList m_unreadable;
    bool m_readOnly = false;
    StudentList m_pupils;
    QString m_loadedTable;
    SqlDataList m_records;
};
