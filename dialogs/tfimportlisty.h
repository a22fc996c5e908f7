#pragma once

#include "document/pupillist.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;

// The preview of a list of pupils before it comes into the class: what each
// column holds (a choice per column), a tick per row, the marks of rows with
// a bad or missing PESEL, and what becomes of pupils already in the class.
class TFImportListy : public QDialog {
    Q_OBJECT
public:
    explicit TFImportListy(QWidget *parent = nullptr);

    // The list read from fileName; classTables: the pupil tables of the class.
    void setList(const structPupilListTable &table, const QStringList &classTables,
                 const QString &fileName);

    QList<ListColumn> columns() const;
    // Every row as the present matching reads it, and the ticked ones.
    const QList<structListPupil> &pupils() const { return m_pupils; }
    QList<structListPupil> chosenPupils() const;
    bool isTicked(int row) const;
    void setTicked(int row, bool on);
    // Pupils already in the class: updated from the list, or left as they are.
    bool updateExisting() const;

    QComboBox *columnCombo(int column) const { return m_combos.value(column); }
    QTableWidget *PodgladTable;
    QRadioButton *PominRadio;
    QRadioButton *UaktualnijRadio;
    QLabel *InfoLabel;
    QPushButton *OKButton;
    QPushButton *AnulujButton;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void rebuild();
    void updateCount();

    structPupilListTable m_table;
    QStringList m_classTables;
    QString m_fileName;
    QList<structListPupil> m_pupils;
    QList<QComboBox *> m_combos;
    QWidget *m_comboArea = nullptr;
    QLabel *m_countLabel = nullptr;
    QLabel *m_columnsLabel = nullptr;
};

// The section of the manual for the list import.
inline const char *const kHelpPupilList = "lista-uczniow";
