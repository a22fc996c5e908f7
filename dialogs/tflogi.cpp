#include "dialogs/tflogi.h"

#include "document/prompts.h"
#include "maintenance/logs.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kWidth = 799;
constexpr int kHeight = 450;
constexpr int kPanelHeight = 41;

} // namespace

TFLogi::TFLogi(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFLogi"));
    setWindowTitle(QStringLiteral("Logi programu"));
    setModal(true);
    // A title without buttons: the dialog closes with OK (or Escape).
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(kWidth, kHeight);

    LogsListView = new QTreeWidget(this);
    LogsListView->setAccessibleName(QString::fromUtf8("Wpisy dziennika programu"));
    LogsListView->setObjectName(QStringLiteral("LogsListView"));
    LogsListView->setColumnCount(3);
    LogsListView->setHeaderLabels(
        {QStringLiteral("Data / czas"), QStringLiteral("Funkcja"), QStringLiteral("Informacja")});
    LogsListView->setColumnWidth(0, 100);
    LogsListView->setColumnWidth(1, 120);
    LogsListView->setColumnWidth(2, 550);
    LogsListView->setRootIsDecorated(false);
    LogsListView->setItemsExpandable(false);
    LogsListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    LogsListView->setSelectionMode(QAbstractItemView::SingleSelection);
    LogsListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LogsListView->setUniformRowHeights(true);
    LogsListView->header()->setStretchLastSection(false);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(kPanelHeight);
    BitBtn2 = new QPushButton(QString::fromUtf8("Wyślij plik z logami"), Panel1);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setAutoDefault(false);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), Panel1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    auto *row = new QHBoxLayout(Panel1);
    row->setContentsMargins(8, 0, 8, 0);
    row->addWidget(BitBtn2);
    row->addStretch(1);
    row->addWidget(BitBtn1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(LogsListView, 1);
    layout->addWidget(Panel1);

    connect(BitBtn1, &QPushButton::clicked, this, &TFLogi::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFLogi::BitBtn2Click);
}

void TFLogi::showEvent(QShowEvent *event) {
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
    FormShow();
}

void TFLogi::FormShow() {
    LogsListView->clear();
    QString msg;
    QList<structLogData> entries;
    if (!bFunSqlGetLogsData(msg, LogStore::inProgramFolder(), entries))
        return;
    QList<QTreeWidgetItem *> rows;
    for (const structLogData &e : entries) {
        auto *item = new QTreeWidgetItem({e.datetime, e.fun, e.info});
        // Cut texts and messages of several lines show whole when the pointer rests on them.
        for (int column = 0; column < 3; ++column)
            item->setToolTip(column, item->text(column));
        rows << item;
    }
    LogsListView->addTopLevelItems(rows);
}

void TFLogi::BitBtn1Click() {
    accept();
}

void TFLogi::BitBtn2Click() {
    const QString path = LogStore::inProgramFolder().path();
    QString msg;
    BitBtn2->setEnabled(false);
    // Some mail programs drop attachments: the text says where the file is.
    const bool sent = bFunSendLogMail(
        msg, QStringLiteral("Logi"), QString::fromLatin1(kSupportMailAddress),
        QStringLiteral("Logi programu Veltra-Korvel\n\nPlik z logami: ") + path, path);
    BitBtn2->setEnabled(true);
    if (!sent)
        showMessage(this, QString::fromUtf8("Błąd"),
                    QString::fromUtf8("Błąd podczas próby wysłania maila\n\n%1\n\nPlik z logami "
                                      "można też wysłać samodzielnie.\nAdres: %2\nPlik: %3")
                        .arg(msg, QString::fromLatin1(kSupportMailAddress), path),
                    Prompts::Icon::Error);
}
