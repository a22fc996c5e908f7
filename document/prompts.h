#pragma once

#include <QString>
#include <QUrl>

class QWidget;

// Every message box, question, file dialog and text input of the program goes
// through here, and so does opening a document or web page with the desktop.
// The program installs the Qt implementation; tests install a scripted one
// that records what was asked and answers from a queue.
class Prompts {
public:
    enum class Icon { None, Information, Warning, Error, Question };
    // YesNoDefaultNo: a question whose Yes destroys data; Return and Escape
    // both answer No.
    // OkCancel: go on or stop; Escape answers Cancel.
    // YesNoCancel: the save question before work is left; Escape answers
    // Cancel (stay), never No (which would throw the work away).
    // PrintAnywayBack: "Drukuj mimo to" (Yes) and "Wróć" (No), the default
    // and Escape, before a print that would come out wrong.
    enum class Buttons { Ok, YesNo, YesNoDefaultNo, OkCancel, YesNoCancel, PrintAnywayBack };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~Prompts() = default;

    virtual Answer message(QWidget *parent, const QString &caption, const QString &text, Icon icon,
                           Buttons buttons) = 0;
    // The chosen path, or the empty text when cancelled; folder, when given,
    // is where the dialog starts.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &filter,
                                 const QString &folder = QString()) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &filter,
                                 const QString &proposedName) = 0;
    // False when cancelled.
    virtual bool textInput(QWidget *parent, const QString &caption, const QString &label,
                           QString &text, int maxLength) = 0;
    virtual bool openExternal(const QUrl &url) = 0;
};

// The installed implementation (never null: without one, a refusing stand-in
// answers No / cancel and writes the text to standard error).
Prompts &prompts();
// Installs an implementation and returns the previous one; not owned.
Prompts *setPrompts(Prompts *p);

// Shorthands for the common cases.
void showMessage(QWidget *parent, const QString &caption, const QString &text, Prompts::Icon icon);
bool askYesNo(QWidget *parent, const QString &caption, const QString &text, Prompts::Icon icon);
// A question whose Yes destroys data: No is the default answer.
bool askYesNoDestructive(QWidget *parent, const QString &caption, const QString &text,
                         Prompts::Icon icon);
// True when the user goes on with OK, false on "Anuluj".
bool askOkCancel(QWidget *parent, const QString &caption, const QString &text, Prompts::Icon icon);
