#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;
class QTextBrowser;

// The user's manual in a window of the program: the help page shipped beside
// the executable in a text browser, with its sections listed beside it. It
// needs no web browser; "Otwórz w przeglądarce" hands the page to one.
class TFPomoc : public QDialog {
    Q_OBJECT
public:
    explicit TFPomoc(QWidget *parent = nullptr);

    // Shows the page at a section (an id of its headings; empty: the top).
    void showSection(const QString &section);
    QString section() const { return m_section; }

    QListWidget *contents;
    QTextBrowser *browser;
    QPushButton *BrowserButton; // "Otwórz w przeglądarce"
    QPushButton *CloseButton;

private:
    QString m_page;
    QString m_section;
};

// The section of the manual for printing and for fitting the print.
inline const char *const kHelpPrinting = "drukowanie";
inline const char *const kHelpFitting = "dopasowanie";

// Shows the manual over the window in use, at a section, until closed.
void vFunShowHelp(QWidget *from, const QString &section = QString());
// Makes F1 in a window show the manual at its section.
void vFunHelpOnF1(QWidget *window, const QString &section);
