#include "dialogs/tfsqlimport.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

TFSQLImport::TFSQLImport(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFSQLImport"));
    setWindowTitle(QStringLiteral("Import danych"));
    setModal(false);
    auto *layout = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("Operacja:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    InfoLabel = new QLabel(this);
    InfoLabel->setObjectName(QStringLiteral("InfoLabel"));
    InfoLabel->setMinimumWidth(360);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 0);
    layout->addWidget(Label1);
    layout->addWidget(InfoLabel);
    layout->addWidget(ProgressBar);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFSQLImport::start() {
    InfoLabel->clear();
    ProgressBar->setRange(0, 1);
    ProgressBar->setValue(0);
    show();
    raise();
    // The window must be on the screen before the import blocks the event
    // loop; user input waits until the import is over.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
}

void TFSQLImport::setOperation(const QString &text) {
    InfoLabel->setText(text);
    Label1->repaint();
    InfoLabel->repaint();
}

void TFSQLImport::setRange(int maximum) {
    ProgressBar->setRange(0, qMax(maximum, 1)); // 0..0 would be a busy bar
    ProgressBar->setValue(0);
}

void TFSQLImport::step() {
    ProgressBar->setValue(ProgressBar->value() + 1);
}
