#pragma once

#include "document/prompts.h"

#include <QList>
#include <QQueue>
#include <QStringList>
#include <functional>

// The test double of the prompts seam: records every prompt and answers from
// queues. An unanswered question is answered No (Cancel where it offers OK
// and Cancel), an unanswered file dialog is cancelled.
class ScriptedPrompts : public Prompts {
public:
    struct Asked {
        QString kind; // "message", "open", "save", "input", "external"
        QString caption;
        QString text;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        QString proposed; // file name proposed, or the input's default
    };

    ScriptedPrompts() { m_previous = setPrompts(this); }
    ~ScriptedPrompts() override { setPrompts(m_previous); }

    QList<Asked> asked;
    QQueue<Answer> answers;
    QQueue<QString> fileNames;
    QQueue<QString> inputs;
    QList<QUrl> opened;
    // What opening a document or address with the desktop answers.
    bool externalOpens = true;
    // Whether the check before printing ("Drukuj mimo to" / "Wróć") is
    // answered "Drukuj mimo to", unrecorded and without taking an answer from
    // the queue: for tests about something else than that check.
    bool printAnyway = false;
    // Called when a message is shown, before it is answered.
    std::function<void(const Asked &)> onMessage;

    // The texts of all messages, in order.
    QStringList messages() const;
    void clear() { asked.clear(); }

    Answer message(QWidget *, const QString &caption, const QString &text, Icon icon,
                   Buttons buttons) override;
    // The folder the dialog starts in is recorded as "proposed".
    QString openFileName(QWidget *, const QString &title, const QString &filter,
                         const QString &folder) override;
    QString saveFileName(QWidget *, const QString &title, const QString &filter,
                         const QString &proposedName) override;
    bool textInput(QWidget *, const QString &caption, const QString &label, QString &text,
                   int maxLength) override;
    bool openExternal(const QUrl &url) override;

private:
    Prompts *m_previous = nullptr;
};
