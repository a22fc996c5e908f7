#pragma once

#include "printing/rendered.h"

#include "printing/calibstore.h"
#include "printing/printcheck.h"
#include "printing/printjob.h"

#include <QDialog>
#include <functional>

class TFKorekta;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPrinter;
class QPushButton;
class QToolButton;

// The print dialog: printer (or a PDF file), duplex, and the margin set that
// places each side of the sheet. It prints the page pictures that the print
// engine rendered just before it was shown.
class TFDrukuj : public QDialog {
    Q_OBJECT
public:
    explicit TFDrukuj(QWidget *parent = nullptr);
    // What "Drukuj" prints: the pages rendered for paper, kept as given.
    void setPages(const RenderedPages &pages) { m_pages = pages; }
    const RenderedPages &pages() const { return m_pages; }

    // The destination after the installed printers.
    static QString pdfDestination();
    // The settings key of the margin set last used for printing.
    static const char *lastMarginSetKey();
    // The settings key of the duplex choice last printed with on a printer.
    static QString duplexKey(const QString &printer);

    // The pupil and document being printed, for the proposed PDF file name.
    void setDocumentName(const QString &pupil, const QString &documentLabel);

    QComboBox *DrukarkiComboBox;
    QComboBox *DuplexComboBox;
    QCheckBox *cbRotateSecondPage;
    QComboBox *MarginesyComboBox;
    QPushButton *SaveNewButton;
    QPushButton *DeleteButton;
    QPushButton *ResetButton;
    QLineEdit *Strona1GornyEdit, *Strona1LewyEdit, *Strona1PrawyEdit, *Strona1DolnyEdit;
    QLineEdit *Strona2GornyEdit, *Strona2LewyEdit, *Strona2PrawyEdit, *Strona2DolnyEdit;
    // SpeedButton1 ... SpeedButton16, in that order.
    QList<QToolButton *> SpeedButtons;
    QPushButton *DrukujButton;
    QPushButton *AnulujButton;
    QPushButton *PomocButton;
    QPushButton *BitBtn1;
    QPushButton *TestPrintButton; // "Wydruk próbny"
    QPushButton *KorektaButton;   // "Korekta…"
    TFKorekta *korekta;

    MarginList marginList;
    // The class files a PDF may not replace: the open class file and its
    // working copy.
    QStringList protectedFiles;
    // What would come out wrong on paper: asked about before printing
    // ("Drukuj mimo to" / "Wróć").
    QList<structPrintFinding> findings;
    // The spooler's answer to the last print (job numbers, refusal).
    structPrintResult lastResult;
    // Shows the platform's printer set-up on a printer; true when confirmed.
    std::function<bool(QPrinter &)> printerSetup;
    // When set, prints the order in place of the rendered document (a whole
    // class): true when printed; false with the message filled on a failure
    // (the dialog stays open), with it empty when the user stopped it.
    std::function<bool(const structPrintOrder &, QString &msg, structPrintResult &)> printOrder;

    void FormShow();
    void DrukarkiComboBoxChange();
    void MarginesyComboBoxChange();
    void SpeedButtonClick(int number);
    void SaveNewButtonClick();
    void DeleteButtonClick();
    void ResetButtonClick();
    void DrukujButtonClick();
    void AnulujButtonClick();
    void PomocButtonClick();
    void BitBtn1Click();
    // Prints the document's sides with the field outlines and the scales.
    void TestPrintButtonClick();
    // Moves the shown set by millimetres read off the test print.
    void KorektaButtonClick();

    void vFunUstawDrukarke();
    // Reloads the sets; selects the set of that name, or the first.
    bool bFunLoadMarginList(const QString &preferred = QString());

    // The eight edits as a margin set (without a name) and back.
    structMarginData edges() const;
    void setEdges(const structMarginData &m);
    // Top, left, right and bottom of side 1, then of side 2.
    QList<QLineEdit *> edgeEdits() const;

protected:
    void showEvent(QShowEvent *event) override;

signals:
    // After a print that worked: where it went, in a sentence for the
    // status bar ("Zapisano plik PDF: …", "Wysłano do drukarki …").
    void printDone(const QString &summary);

private:
    bool isPdf() const;
    void enableDuplex(bool on);
    QString askPdfFile(const QString &proposedName);
    // The order for the chosen printer or PDF file, duplex and margin set;
    // false when the printer cannot print or no file was chosen.
    bool prepareOrder(structPrintOrder &order, const QString &proposedPdf);
    // Asks to turn the sheet over between the two jobs of a two-sided
    // document; false when she stops there.
    bool turnOver();
    // After a print she stopped: what reached the printer, removed from its
    // queue when she says so; the sentence for the status bar.
    QString stoppedNotice(const QString &printer);
    // Reports a refusal, or a stopped printer's waiting jobs; false when not printed.
    bool reportOutcome(bool printed, const QString &msg);

    RenderedPages m_pages;
    QString m_printer;       // the destination chosen last (the current printer)
    QString m_duplexPrinter; // the printer the duplex box was set for
    bool m_printerOk = true;
    QString m_pupil, m_document;
    QString m_pdfFolder; // where the last PDF file went
};
