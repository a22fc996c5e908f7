#pragma once

#include <QList>

class TFDaneSzkoly;
class TFEditor;
class TFSzablonOcenyOpisowej;

// The windows the document editors reach for their copy buttons; set once
// when all windows exist.
struct EditorPeers {
    TFDaneSzkoly *schoolTemplate = nullptr;
    TFSzablonOcenyOpisowej *phraseLibrary = nullptr;
    QList<TFEditor *> certificates; // grades 1, 2, 3
};
EditorPeers &editorPeers();
