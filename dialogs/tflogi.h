#pragma once

#include <QDialog>

class QPushButton;
class QTreeWidget;

// The log viewer: every entry of the program log, one row each, read afresh
// at every showing, and the command that sends the log to the maker.
class TFLogi : public QDialog {
    Q_OBJECT
public:
    explicit TFLogi(QWidget *parent = nullptr);

    QTreeWidget *LogsListView = nullptr;
    QWidget *Panel1 = nullptr;
    QPushButton *BitBtn2 = nullptr; // "Wyślij plik z logami"
    QPushButton *BitBtn1 = nullptr; // "OK"

public slots:
    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();

protected:
    void showEvent(QShowEvent *event) override;
};
