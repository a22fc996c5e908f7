#pragma once

#include "document/classfill.h"

#include <QDialog>
#include <QHash>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// "Uzupełnij dla całej klasy": a document, the values its pupils share (the
// school template's to start with), the certificate numbers from a first
// one, and the changes they make, pupil by pupil, before anything is done.
class TFUzupelnijKlase : public QDialog {
    Q_OBJECT
public:
    explicit TFUzupelnijKlase(QWidget *parent = nullptr);

    // The pupils in the tree's order with their records, the template's
    // records, and the document of that label chosen (the first certificate
    // when there is none).
    void setClass(const StudentList &pupils, const QHash<QString, SqlDataList> &records,
                  const SqlDataList &schoolTemplate, const QString &documentLabel);

    const DocumentInfo *chosenDocument() const;
    structFillRequest request() const;
    // The changes the preview shows.
    const QList<structFillChange> &changes() const { return m_changes; }

    // A shared field's tick and value (null: the document has no such field).
    QCheckBox *fieldBox(const QString &component) const;
    QLineEdit *fieldEdit(const QString &component) const;

    QComboBox *DokumentComboBox;
    QCheckBox *cbNumery;
    QLineEdit *NumerEdit;
    QLabel *NumerLabel;
    QCheckBox *cbZastap;
    QTableWidget *PodgladTable;
    QLabel *PodsumowanieLabel;
    QPushButton *UzupelnijButton;
    QPushButton *AnulujButton;

private:
    void documentChanged();
    void updatePreview();

    StudentList m_pupils;
    QHash<QString, SqlDataList> m_records;
    SqlDataList m_template;
    QList<structFillField> m_fields;
    QList<QCheckBox *> m_boxes;
    QList<QLineEdit *> m_edits;
    QWidget *m_fieldsPanel = nullptr;
    QGridLayout *m_fieldsGrid = nullptr;
    QList<structFillChange> m_changes;
};
