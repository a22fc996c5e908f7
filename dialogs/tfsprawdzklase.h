#pragma once

#include "printing/classprint.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;

// "Sprawdź klasę": every pupil against every document, each cell not
// started, filled, or what would print wrong. Enter, a double click or
// "Edytuj" opens the pupil's document at the field; the table is checked
// again when the editor closes.
class TFSprawdzKlase : public QDialog {
    Q_OBJECT
public:
    explicit TFSprawdzKlase(QWidget *parent = nullptr);

    // Shows the rows, keeping the current cell where it was.
    void setRows(const QList<structCheckRow> &rows);
    const QList<structCheckRow> &rows() const { return m_rows; }

    // Opens the editor of a pupil's document (table, document, the field to
    // put the cursor in, maybe empty); the table is then checked again
    // through recheck.
    std::function<void(const QString &table, const DocumentInfo &doc, const QString &field)>
        openCell;
    std::function<QList<structCheckRow>()> recheck;

    // The cell's text as the table shows it.
    static QString cellText(const structCheckCell &cell);
    // Opens the current cell's document (Enter, double click, "Edytuj").
    void openCurrent();

    QTableWidget *KlasaTable;
    QLabel *UwagiLabel; // the findings of the current cell
    QLabel *PodsumowanieLabel;
    QPushButton *EdytujButton;
    QPushButton *ZamknijButton;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showCurrent();
    const structCheckCell *currentCell(const structCheckRow **row = nullptr) const;

    QList<structCheckRow> m_rows;
    QList<const DocumentInfo *> m_columns;
};
