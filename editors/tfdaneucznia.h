#pragma once

#include "editors/editor.h"

// The pupil data dialog: the source of the pupil's personal data for every
// document, and the key (PESEL) of the pupil's table.
class TFDaneUcznia : public TFEditor {
    Q_OBJECT
public:
    explicit TFDaneUcznia(QWidget *parent = nullptr);

    // Add mode saves a new pupil; edit mode replaces the pupil of oldTable.
    void setAddMode();
    void setEditMode(const QString &oldTable);
    bool isEditMode() const { return m_editMode; }
    QString oldTable() const { return m_oldTable; }

    // "PESEL" + the PESEL field: the table the pupil is saved under.
    QString pupilTableName() const;

private:
    bool m_editMode = false;
    QString m_oldTable;
};
