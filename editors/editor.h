#pragma once

#include "document/certfile.h"
#include "editors/editorcontext.h"

#include <QDialog>

// A bound window: one document (or the pupil data) of the loaded pupil. Its
// bound components, in component order, carry the stored values by name.
class TFEditor : public QDialog {
    Q_OBJECT
public:
    TFEditor(const QString &className, const QString &caption, const QString &documentId,
             QWidget *parent = nullptr);

    QString documentId() const { return m_documentId; }
    const QList<QWidget *> &components() const { return m_components; }

    virtual bool CollectFields(SqlDataList &records) const;
    virtual bool ApplyFields(const SqlDataList &records);
    virtual void ClearFields();
    // Sample texts for the calibration preview; editors without samples keep
    // what they hold.
    virtual bool hasSampleFields() const { return false; }
    virtual void FillSampleFields() {}

    // The program's windows that this one reaches, and the pupil save; set
    // when all windows exist.
    void setContext(const EditorContext *context) { m_context = context; }
    const EditorContext *context() const { return m_context; }

    // The text of a bound component by name (empty when there is none).
    QString fieldText(const QString &name) const;
    void setFieldText(const QString &name, const QString &text);

    // The field that takes the focus when the window opens: the first
    // enabled bound component in the tab order.
    virtual QWidget *firstField() const;
    // The field that takes the focus at the next opening instead (a field
    // the class check points to); a name the window lacks is ignored.
    void focusOnShow(const QString &name) { m_focusOnShow = name; }

public slots:
    virtual void OKButtonClick();
    // "Anuluj", Escape and the close box: what was typed is thrown away
    // only after the teacher says so ("Nie" is the default).
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    // Registers a bound component (its objectName is its component name).
    void addComponent(QWidget *w) { m_components.append(w); }
    // Saves the whole pupil (dropping dropTable); false without a context.
    bool saveStudentRecord(const QString &dropTable = QString()) const;

private:
    QString m_documentId;
    QList<QWidget *> m_components;
    const EditorContext *m_context = nullptr;
    SqlDataList m_shownWith; // the fields as the window was shown
    QString m_focusOnShow;
};
