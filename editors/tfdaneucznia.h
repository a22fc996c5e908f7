#pragma once

#include "document/pupilcopies.h"
#include "editors/editor.h"

class QComboBox;
class QLineEdit;

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

    bool ApplyFields(const SqlDataList &records) override;
    void ClearFields() override;

    // The pupil's data as the documents copy it.
    QString firstName() const;
    QString surname() const;
    QString gender() const;
    bool isBoy() const;
    QString birthDay() const;
    QString birthYear() const;
    QString birthTown() const;
    QString certificateNumber() const;
    QString pesel() const;
    // All of it, for the documents that show it.
    structPupilData pupilData() const;

    // Saving the whole pupil; dropTable names a table to remove in the same
    // transaction (the old table when the PESEL changed).

public slots:
    void OKButtonClick() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLineEdit *edit(const char *name) const;
    QComboBox *combo(const char *name) const;
    bool checkRequired();

    bool m_editMode = false;
    QString m_oldTable;
};
