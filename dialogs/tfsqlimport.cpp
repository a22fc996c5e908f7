#include "dialogs/tfsqlimport.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace {
// Some 25 paints a second: each text and record of an import is shown as it
// comes, but the window is not painted more often than an eye can follow (a
// paint per record would cost more than writing it).
const int kPaintIntervalMs = 40;
} // namespace

TFSQLImport::TFSQLImport(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFSQLImport"));
    setWindowTitle(QStringLiteral("Import danych"));
    setModal(false);
    auto *layout = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("Operacja:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    InfoLabel = new QLabel(this);
    InfoLabel->setObjectName(QStringLiteral("InfoLabel"));
    InfoLabel->setTextFormat(Qt::PlainText);
    InfoLabel->setFixedWidth(360);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 1);
    layout->addWidget(Label1);
    layout->addWidget(InfoLabel);
    layout->addWidget(ProgressBar);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFSQLImport::start() {
    InfoLabel->clear();
    setBar(0, 1);
    show();
    raise();
    // The window must be on the screen before the import holds the event
    // loop; user input waits until the import is over.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
    m_sincePaint.start();
}

void TFSQLImport::setOperation(const QString &text) {
    InfoLabel->setText(text);
    paintNowAndThen();
}

void TFSQLImport::setRange(int maximum) {
    setBar(0, qMax(maximum, 1)); // 0..0 would be a busy bar
    paintNowAndThen();
}

void TFSQLImport::step() {
    setBar(ProgressBar->value() + 1, ProgressBar->maximum());
    paintNowAndThen();
}

void TFSQLImport::setBar(int value, int maximum) {
    // The bar would paint itself on every change.
    ProgressBar->setUpdatesEnabled(false);
    ProgressBar->setRange(0, maximum);
    ProgressBar->setValue(value);
    ProgressBar->setUpdatesEnabled(true);
}

void TFSQLImport::paintNowAndThen() {
    if (m_sincePaint.isValid() && m_sincePaint.elapsed() < kPaintIntervalMs)
        return;
    repaint();
    m_sincePaint.start();
}
