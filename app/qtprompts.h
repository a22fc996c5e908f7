#pragma once

#include "document/prompts.h"

// The program's prompts: Qt's message boxes, file dialogs, input dialog and
// the desktop's handler for documents and web pages.
class QtPrompts : public Prompts {
public:
    Answer message(QWidget *parent, const QString &caption, const QString &text, Icon icon,
                   Buttons buttons) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &filter,
                         const QString &folder) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &filter,
                         const QString &proposedName) override;
    bool textInput(QWidget *parent, const QString &caption, const QString &label, QString &text,
                   int maxLength) override;
    bool openExternal(const QUrl &url) override;
};
