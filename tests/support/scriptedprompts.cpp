#include "scriptedprompts.h"

QStringList ScriptedPrompts::messages() const {
    QStringList out;
    for (const Asked &a : asked) {
        if (a.kind == QLatin1String("message"))
            out << a.text;
    }
    return out;
}

Prompts::Answer ScriptedPrompts::message(QWidget *, const QString &caption, const QString &text,
                                         Icon icon, Buttons buttons) {
    if (buttons == Buttons::PrintAnywayBack && printAnyway)
        return Answer::Yes; // neither recorded nor taken from the queue
    asked.append({QStringLiteral("message"), caption, text, icon, buttons, QString()});
    if (onMessage)
        onMessage(asked.last());
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    if (answers.isEmpty())
        return buttons == Buttons::OkCancel ? Answer::Cancel : Answer::No;
    return answers.dequeue();
}

QString ScriptedPrompts::openFileName(QWidget *, const QString &title, const QString &filter,
                                      const QString &folder) {
    asked.append({QStringLiteral("open"), title, filter, Icon::None, Buttons::Ok, folder});
    return fileNames.isEmpty() ? QString() : fileNames.dequeue();
}

QString ScriptedPrompts::saveFileName(QWidget *, const QString &title, const QString &filter,
                                      const QString &proposedName) {
    asked.append({QStringLiteral("save"), title, filter, Icon::None, Buttons::Ok, proposedName});
    return fileNames.isEmpty() ? QString() : fileNames.dequeue();
}

bool ScriptedPrompts::textInput(QWidget *, const QString &caption, const QString &label,
                                QString &text, int) {
    asked.append({QStringLiteral("input"), caption, label, Icon::None, Buttons::Ok, text});
    if (inputs.isEmpty())
        return false;
    text = inputs.dequeue();
    return true;
}

bool ScriptedPrompts::openExternal(const QUrl &url) {
    asked.append({QStringLiteral("external"), QString(), url.toString(), Icon::None, Buttons::Ok,
                  QString()});
    opened << url;
    return externalOpens;
}
