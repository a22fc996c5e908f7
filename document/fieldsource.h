#pragma once

#include "document/certfile.h"
#include "document/documents.h"

#include <QHash>
#include <QStringList>

// What the print engine asks of a document: the text of component N and the
// lines of memo N. The pupil's records answer it (preview, paper, PDF, a
// whole class), and so do the editor windows (editors/).
class FieldSource {
public:
    virtual ~FieldSource() = default;
    // Whether the document has a component of this name (a field or a fixed text).
    virtual bool hasComponent(const QString &name) const = 0;
    // The text it prints: a field's value, a fixed text's caption.
    virtual QString text(const QString &name) const = 0;
    // A memo's lines as they print.
    virtual QStringList lines(const QString &memo) const = 0;
};

// One document of a pupil read from the pupil's records, with the pupil's
// data copied in as the editors show it.
class RecordFieldSource : public FieldSource {
public:
    RecordFieldSource(const DocumentInfo &doc, const SqlDataList &records);
    // The document as an emptied editor shows it.
    static RecordFieldSource blank(const DocumentInfo &doc);

    bool hasComponent(const QString &name) const override;
    QString text(const QString &name) const override;
    QStringList lines(const QString &memo) const override;

    // Replaces a field's value (sample texts of the calibration preview).
    void setText(const QString &name, const QString &value);
    void setLines(const QString &memo, const QStringList &lines);

private:
    QHash<QString, QString> m_texts;
    QHash<QString, QStringList> m_lines;
};
