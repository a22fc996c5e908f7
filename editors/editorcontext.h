#pragma once

#include <QList>
#include <QString>
#include <functional>

class TFDaneSzkoly;
class TFEditor;
class TFSzablonOcenyOpisowej;

// What the document windows reach besides themselves: the save of the whole
// pupil (the main window's), and the windows of their copy buttons. Built
// once when all windows exist and handed to each bound window.
struct EditorContext {
    // Saves the pupil from all bound windows, dropping dropTable in the same
    // transaction (a changed PESEL); true when saved.
    std::function<bool(const QString &dropTable)> saveStudentRecord;
    TFDaneSzkoly *schoolTemplate = nullptr;
    TFSzablonOcenyOpisowej *phraseLibrary = nullptr;
    QList<TFEditor *> certificates; // grades 1, 2, 3
};
