#pragma once

#include "printing/calibstore.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

// The correction read off a test print's scales: how many millimetres each
// side's print must move right and down (negative: left and up). OK moves
// the edges of a margin set by those amounts, as the arrow buttons would.
class TFKorekta : public QDialog {
    Q_OBJECT
public:
    explicit TFKorekta(QWidget *parent = nullptr);

    // The set to correct; the four amounts start at 0.
    void setEdges(const structMarginData &edges);
    // The corrected set, after OK.
    const structMarginData &edges() const { return m_edges; }

    QLineEdit *Strona1PrawoEdit, *Strona1DolEdit, *Strona2PrawoEdit, *Strona2DolEdit;
    QPushButton *OKButton;
    QPushButton *AnulujButton;

    // Checks the amounts and moves the edges; stays open with a message
    // when an amount is no whole number or the print would leave the sheet.
    void OKButtonClick();

    // Moves one side's rectangle; false with the reason when the print would
    // leave the sheet (the set is then unchanged).
    static bool bFunShiftSide(QString &msg, structMarginData &edges, int side, int right, int down);

private:
    structMarginData m_edges;
};
