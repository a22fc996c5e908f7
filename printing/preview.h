#pragma once

#include "document/documents.h"
#include "printing/rendered.h"

#include <QDateTime>
#include <QHash>
#include <QImage>

// The screen's view of a rendering: its pages drawn over pictures of the
// blank form at a scale, with the fields that do not fit marked in red (the
// paper never shows the marks).
class PreviewComposer {
public:
    // Draws both sides into image1 and image2. A side whose picture of the
    // blank form cannot be read keeps what its image held.
    void compose(const RenderedPages &pages, const QList<PreviewMark> &marks,
                 const DocumentInfo &doc, double scale, QImage &image1, QImage &image2);

private:
    struct Backdrop {
        QImage image;
        QDateTime modified;
        qint64 size = 0;
        QImage scaled; // at scaledBy
        double scaledBy = 1.0;
    };
    // A backdrop picture of the program folder, decoded once per version of the file.
    QImage backdrop(const QString &path, double scale);
    QHash<QString, Backdrop> m_backdrops;
};
