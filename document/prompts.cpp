#include "document/prompts.h"

#include <cstdio>

namespace {

class RefusingPrompts : public Prompts {
public:
    Answer message(QWidget *, const QString &caption, const QString &text, Icon,
                   Buttons buttons) override {
        std::fprintf(stderr, "[%s] %s\n", qPrintable(caption), qPrintable(text));
        if (buttons == Buttons::Ok)
            return Answer::Ok;
        return buttons == Buttons::OkCancel ? Answer::Cancel : Answer::No;
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override {
        return QString();
    }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override {
        return QString();
    }
    bool textInput(QWidget *, const QString &, const QString &, QString &, int) override {
        return false;
    }
    bool openExternal(const QUrl &) override { return false; }
};

RefusingPrompts g_refusing;
Prompts *g_current = &g_refusing;

} // namespace

Prompts &prompts() {
    return *g_current;
}

Prompts *setPrompts(Prompts *p) {
    Prompts *previous = g_current == &g_refusing ? nullptr : g_current;
    g_current = p ? p : &g_refusing;
    return previous;
}

void showMessage(QWidget *parent, const QString &caption, const QString &text, Prompts::Icon icon) {
    prompts().message(parent, caption, text, icon, Prompts::Buttons::Ok);
}

bool askYesNo(QWidget *parent, const QString &caption, const QString &text, Prompts::Icon icon) {
    return prompts().message(parent, caption, text, icon, Prompts::Buttons::YesNo) ==
           Prompts::Answer::Yes;
}

bool askYesNoDestructive(QWidget *parent, const QString &caption, const QString &text,
                         Prompts::Icon icon) {
    return prompts().message(parent, caption, text, icon, Prompts::Buttons::YesNoDefaultNo) ==
           Prompts::Answer::Yes;
}

bool askOkCancel(QWidget *parent, const QString &caption, const QString &text, Prompts::Icon icon) {
    return prompts().message(parent, caption, text, icon, Prompts::Buttons::OkCancel) ==
           Prompts::Answer::Ok;
}
