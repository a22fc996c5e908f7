#pragma once

#include "document/pupilcopies.h"
#include "editors/editor.h"

class QComboBox;
class QLabel;
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

    // "PESEL" + the PESEL: the table the pupil is saved under.
    QString pupilTableName() const;

    // A pupil stored without a PESEL (the placeholder "_BRAK_<n>") shows an
    // empty PESEL field and a note that the number is still needed; the
    // placeholder stays its key until a number is typed.
    bool ApplyFields(const SqlDataList &records) override;
    bool CollectFields(SqlDataList &records) const override;
    void ClearFields() override;
    // The line under the PESEL: a missing number, or what in the form
    // disagrees with the number (hidden when there is nothing to say).
    QLabel *peselNote() const { return m_peselNote; }
    // What a field refused or replaced.
    QLabel *statusLabel() const { return m_status; }

    // The pupil's data as the documents copy it.
    QString firstName() const;
    QString surname() const;
    QString gender() const;
    bool isBoy() const;
    QString birthDay() const;
    QString birthYear() const;
    QString birthTown() const;
    QString certificateNumber() const;
    // The PESEL typed (trimmed), or the placeholder of a pupil without one.
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
    // Fills an empty birth date and gender from a right PESEL (fill), and
    // says what disagrees with it.
    void followPesel(bool fill);

    bool m_editMode = false;
    QString m_oldTable;
    QString m_placeholder; // "_BRAK_<n>" of a pupil stored without a PESEL
    QLabel *m_peselNote = nullptr;
    QLabel *m_status = nullptr;
};
