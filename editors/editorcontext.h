#pragma once

#include <QList>
#include <QString>
#include <functional>

class TFDaneSzkoly;
class TFEditor;
class TFSzablonOcenyOpisowej;

// A window that another window reaches: one that exists already, or one
// that is built (and holds the loaded pupil) when it is asked for.
template <class T> class WindowRef {
public:
    WindowRef(T *window = nullptr) : m_get([window] { return window; }) {}
    WindowRef(std::function<T *()> get) : m_get(std::move(get)) {}
    T *get() const { return m_get ? m_get() : nullptr; }
    operator T *() const { return get(); }
    T *operator->() const { return get(); }

private:
    std::function<T *()> m_get;
};

// What the document windows reach besides themselves: the save of the whole
// pupil (the main window's), and the windows of their copy buttons. Built
// once and handed to each bound window.
struct EditorContext {
    // Saves the pupil from all bound windows, dropping dropTable in the same
    // transaction (a changed PESEL); true when saved.
    std::function<bool(const QString &dropTable)> saveStudentRecord;
    WindowRef<TFDaneSzkoly> schoolTemplate;
    WindowRef<TFSzablonOcenyOpisowej> phraseLibrary;
    QList<WindowRef<TFEditor>> certificates; // grades 1, 2, 3
};
