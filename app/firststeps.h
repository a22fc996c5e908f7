#pragma once

#include <QWidget>

// What the preview area shows while no class is open: three short steps to
// a first printed document, each with the picture of the tool button that
// does it. A picture is a button too: it presses that tool button.
class FirstStepsPage : public QWidget {
    Q_OBJECT
public:
    // toolButtons: the window whose tool buttons the steps show.
    FirstStepsPage(QWidget *toolButtons, QWidget *parent = nullptr);
};
