#pragma once

#include "document/documents.h"

class QWidget;
class TFEditor;
class TFDaneUcznia;

// Creates the bound window of one row of the document table (the pupil data
// dialog or a document editor); document editors copy the pupil's data from
// the pupil dialog.
TFEditor *createBoundWindow(const DocumentInfo &info, TFDaneUcznia *pupil,
                            QWidget *parent = nullptr);
