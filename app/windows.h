#pragma once

#include "document/certfile.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <functional>
#include <memory>

struct DocumentInfo;
struct EditorContext;

class ClassSession;
class QProgressBar;
class TFEditor;
class TFDaneUcznia;
class TFDrukuj;
class TFGlowna;
class TFKalibracja;
class TFLogi;
class TFAktualizacja;
class TFSQLImport;

// Progress window shown while a pupil is saved.
class TFWait : public QDialog {
    Q_OBJECT
public:
    explicit TFWait(QWidget *parent = nullptr);
    QProgressBar *ProgressBar;
};

// About box.
class TFOProgramie : public QDialog {
    Q_OBJECT
public:
    explicit TFOProgramie(QWidget *parent = nullptr);
};

// The windows of the program besides the main one, in their fixed order.
// Each is built when it is first used and kept until exit. The bound
// windows (the pupil dialog and the document editors) take the loaded pupil
// when they are used, not when the pupil is loaded: a click in the tree
// fills nothing.
class WindowSet {
public:
    using Maker = std::function<QWidget *()>;

    // Adds a window that make builds; doc: the row of a bound window.
    void add(Maker make, const DocumentInfo *doc = nullptr);
    // Where the loaded pupil's records are (the main window's session).
    void setSession(const ClassSession *session) { m_session = session; }

    int count() const { return int(m_windows.size()); }
    // Window i, built; a bound window holding what the editors hold now.
    QWidget *window(int i);
    // Window i, built; a bound window as it is.
    QWidget *build(int i);
    // Window i when it was built, else null; nothing is built or filled.
    QWidget *builtWindow(int i) const { return m_windows[i].window; }
    // The bound window of a document row (built and filled), or null.
    TFEditor *bound(const DocumentInfo &doc);
    // Every window, built, in order (the list changes only when a window
    // is built).
    const QList<QWidget *> &all();

    // The session loaded another pupil, or none: the bound windows take it
    // when next used.
    void pupilLoaded();
    // The bound windows are to be emptied (as a new pupil starts) when next used.
    void cleared();
    // The whole pupil for a save, in the order of the document table: the
    // pupil dialog and the windows that hold the pupil give their fields,
    // the documents of the loaded pupil that no window holds give their
    // stored rows as they are. Without a loaded pupil every window gives
    // its fields.
    SqlDataList collectPupil();
    // After a save: the windows that held the pupil hold it as reloaded.
    void pupilSaved();

private:
    struct Entry {
        Maker make;
        const DocumentInfo *doc = nullptr;
        QPointer<QWidget> window;
        quint64 filled = 0; // the generation the window holds
    };
    bool holdsPupil(const Entry &e) const { return e.window && e.filled == m_generation; }
    void fill(int i);
    int indexOf(const DocumentInfo &doc) const;
    // Whether the windows are to hold the session's loaded pupil (else
    // they are emptied when used).
    bool pupilIsLoaded() const;

    QList<Entry> m_windows;
    QList<QWidget *> m_all;
    int m_pupilDialog = -1;
    const ClassSession *m_session = nullptr;
    // What the bound windows are to hold: nothing (generation 0, the
    // windows as built), the loaded pupil, or emptied windows.
    quint64 m_generation = 0;
    bool m_blank = true;
    QString m_table; // the pupil the windows were told of
};

// A window of the set: built (and filled) by every use through it.
template <class T> class WindowSlot {
public:
    WindowSlot() = default;
    WindowSlot(std::shared_ptr<WindowSet> set, int index) : m_set(std::move(set)), m_index(index) {}
    T *get() const { return m_set ? static_cast<T *>(m_set->window(m_index)) : nullptr; }
    T *operator->() const { return get(); }
    operator T *() const { return get(); }
    // The window if it was built, else null (nothing is built).
    T *ifBuilt() const { return m_set ? static_cast<T *>(m_set->builtWindow(m_index)) : nullptr; }

private:
    std::shared_ptr<WindowSet> m_set;
    int m_index = -1;
};

// Every window of the set in order; going through it builds them all.
class AllWindows {
public:
    AllWindows() = default;
    explicit AllWindows(std::shared_ptr<WindowSet> set) : m_set(std::move(set)) {}
    QList<QWidget *>::const_iterator begin() const { return list().cbegin(); }
    QList<QWidget *>::const_iterator end() const { return list().cend(); }

private:
    const QList<QWidget *> &list() const;
    std::shared_ptr<WindowSet> m_set;
};

// Every window of the program: the main window, and the others built when
// first used, each once, in a fixed order, kept until exit. Copies share
// the windows.
struct ProgramWindows {
    TFGlowna *glowna = nullptr;
    WindowSlot<TFDaneUcznia> daneUcznia;
    WindowSlot<TFKalibracja> kalibracja;
    WindowSlot<QDialog> daneSzkoly;
    WindowSlot<TFDrukuj> drukuj;
    WindowSlot<TFWait> wait;
    WindowSlot<TFOProgramie> oProgramie;
    WindowSlot<TFLogi> logi;
    WindowSlot<TFAktualizacja> aktualizacja;
    WindowSlot<QDialog> szablonOcenyOpisowej;
    WindowSlot<TFSQLImport> sqlImport;
    // Every window in creation order (the main window first).
    AllWindows all;
    // What the bound windows reach: the pupil save, the template, the
    // phrase library, the certificates.
    std::shared_ptr<EditorContext> context;
    std::shared_ptr<WindowSet> set;

    // A bound window by its class name, built and holding the loaded pupil.
    TFEditor *editor(const QString &className) const;
    // The fourteen bound windows in save/load order (pupil data first),
    // built and holding the loaded pupil.
    QList<TFEditor *> boundWindows() const;
};
