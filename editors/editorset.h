#pragma once

#include <QList>
#include <QString>

class QWidget;
class TFEditor;
class TFDaneUcznia;

// The fourteen bound windows: the pupil data dialog and the thirteen document
// editors, in the order in which a pupil's record is saved and loaded.
struct EditorInfo {
    const char *className;
    const char *caption;
    const char *documentId;
    const char *family;  // certificate, title, results, report; empty: pupil data
    const char *variant; // a: MEN-I/37/2, b: MEN-I/37b/2
    int page;            // page number of a MEN-I/37/2 results page
    int grade;           // the certificate's grade, or a MEN-I/37b/2 page's
};
const QList<EditorInfo> &boundWindowTable();

// Creates one bound window of the table; document editors copy the pupil's
// data from the pupil dialog.
TFEditor *createBoundWindow(const EditorInfo &info, TFDaneUcznia *pupil, QWidget *parent = nullptr);
