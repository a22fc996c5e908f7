#include "app/qtprompts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

Prompts::Answer QtPrompts::message(QWidget *parent, const QString &caption, const QString &text,
                                   Icon icon, Buttons buttons) {
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    // A bell character in a message rings instead of showing as a box.
    QString shown = text;
    if (shown.contains(QLatin1Char('\a'))) {
        QApplication::beep();
        shown.remove(QLatin1Char('\a'));
    }
    box.setText(shown);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    if (buttons == Buttons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return Answer::Ok;
    }
    if (buttons == Buttons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
        return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
    }
    if (buttons == Buttons::PrintAnywayBack) {
        QPushButton *anyway =
            box.addButton(QString::fromUtf8("&Drukuj mimo to"), QMessageBox::AcceptRole);
        QPushButton *back = box.addButton(QString::fromUtf8("&Wróć"), QMessageBox::RejectRole);
        box.setDefaultButton(back);
        box.setEscapeButton(back);
        box.exec();
        return box.clickedButton() == anyway ? Answer::Yes : Answer::No;
    }
    if (buttons == Buttons::YesNoCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        const int answer = box.exec();
        return answer == QMessageBox::Yes  ? Answer::Yes
               : answer == QMessageBox::No ? Answer::No
                                           : Answer::Cancel;
    }
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(buttons == Buttons::YesNoDefaultNo ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QString QtPrompts::openFileName(QWidget *parent, const QString &title, const QString &filter,
                                const QString &folder) {
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString QtPrompts::saveFileName(QWidget *parent, const QString &title, const QString &filter,
                                const QString &proposedName) {
    // The overwrite question is the program's own, asked after the dialog.
    return QFileDialog::getSaveFileName(parent, title, proposedName, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

bool QtPrompts::textInput(QWidget *parent, const QString &caption, const QString &label,
                          QString &text, int maxLength) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(label);
    dialog.setTextValue(text);
    if (maxLength > 0) {
        if (auto *edit = dialog.findChild<QLineEdit *>())
            edit->setMaxLength(maxLength);
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    text = dialog.textValue();
    return true;
}

bool QtPrompts::openExternal(const QUrl &url) {
    return QDesktopServices::openUrl(url);
}
