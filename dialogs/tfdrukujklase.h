#pragma once

#include "printing/classprint.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class TFDrukuj;

// The choice of a whole-class print: which document, for which pupils, and
// the order of the backs on a printer without duplex.
class TFDrukujKlase : public QDialog {
    Q_OBJECT
public:
    explicit TFDrukujKlase(QWidget *parent = nullptr);

    // The pupils in the tree's order, all ticked; the document of that label
    // chosen (the first when there is none).
    void setClass(const StudentList &pupils, const QString &documentLabel);

    const DocumentInfo *chosenDocument() const;
    StudentList chosenPupils() const;
    bool reverseBacks() const;

    QComboBox *DokumentComboBox;
    QListWidget *UczniowieListWidget;
    QPushButton *ZaznaczButton;
    QPushButton *OdznaczButton;
    QLabel *LiczbaLabel;
    QCheckBox *cbOdwrocKolejnosc;
    QPushButton *DalejButton;
    QPushButton *AnulujButton;

    void ZaznaczButtonClick();
    void OdznaczButtonClick();
    void DalejButtonClick();

private:
    void setAllTicked(bool on);
    void updateCount();
    void documentChanged();

    StudentList m_pupils;
    QLabel *m_reverseHint = nullptr;
};

// Shown while the class is rendered and spooled: the pupil and "Anuluj".
class TFPostepKlasy : public QDialog {
    Q_OBJECT
public:
    explicit TFPostepKlasy(QWidget *parent = nullptr);

    // Shows the step and lets the user press "Anuluj"; false once pressed.
    bool step(int done, int total, const QString &pupil);
    bool cancelled() const { return m_cancelled; }

    QLabel *UczenLabel;
    QProgressBar *ProgressBar;
    QPushButton *AnulujButton;

protected:
    void reject() override;

private:
    bool m_cancelled = false;
};

// The class open in the main window, read from its working copy.
struct structOpenClass {
    QString classFile;
    QString className;     // for the proposed PDF file name
    StudentList pupils;    // in the tree's order, named as the tree names them
    QString documentLabel; // the document selected in the tree, if any
    structRenderOptions options;
};

// The whole-class print from the main window: the choice, the print dialog,
// then rendering and printing with the progress window; pupils that could
// not be read are named at the end. True when it printed.
bool bFunPrintWholeClass(TFDrukujKlase &choice, TFDrukuj &print, const structOpenClass &open);
