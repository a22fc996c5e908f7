#pragma once

#include <QList>
#include <QString>

class QWidget;
class TFEditor;

// The fourteen bound windows: the pupil data dialog and the thirteen document
// editors, in the order in which a pupil's record is saved and loaded.
struct EditorInfo {
    const char *className;
    const char *caption;
    const char *documentId;
};
const QList<EditorInfo> &boundWindowTable();

// Creates one bound window of the table.
TFEditor *createBoundWindow(const EditorInfo &info, QWidget *parent = nullptr);
