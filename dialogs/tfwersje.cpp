#include "dialogs/tfwersje.h"

#include "dialogs/tfpomoc.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString pupilCount(int n) {
    if (n < 0)
        return QString::fromUtf8("nieczytelny");
    return QString::number(n);
}

} // namespace

TFWersje::TFWersje(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFWersje"));
    setWindowTitle(QString::fromUtf8("Poprzednie wersje"));
    setModal(true);
    vFunHelpOnF1(this, QString::fromLatin1(kHelpVersions));

    PlikLabel = new QLabel(this);
    PlikLabel->setObjectName(QStringLiteral("PlikLabel"));
    PlikLabel->setTextFormat(Qt::PlainText);
    PlikLabel->setWordWrap(true);

    WersjeTreeWidget = new QTreeWidget(this);
    WersjeTreeWidget->setObjectName(QStringLiteral("WersjeTreeWidget"));
    WersjeTreeWidget->setAccessibleName(QString::fromUtf8("Poprzednie wersje pliku"));
    WersjeTreeWidget->setRootIsDecorated(false);
    WersjeTreeWidget->setAllColumnsShowFocus(true);
    WersjeTreeWidget->setHeaderLabels(
        {QString::fromUtf8("Zapisana"), QString::fromUtf8("Liczba uczniów")});
    WersjeTreeWidget->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    WersjeTreeWidget->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    WersjeTreeWidget->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    WersjeTreeWidget->setMinimumSize(420, 260);
    auto *listLabel = new QLabel(QString::fromUtf8("&Wersje (najnowsza u góry):"), this);
    listLabel->setBuddy(WersjeTreeWidget);

    auto *hint = new QLabel(
        QString::fromUtf8("Wybrana wersja otworzy się jako niezapisane zmiany tego pliku. Plik "
                          "zmieni się dopiero po poleceniu „Zapisz”; jego obecna treść zostanie "
                          "wtedy zachowana jako kolejna wersja."),
        this);
    hint->setObjectName(QStringLiteral("WskazowkaLabel"));
    hint->setWordWrap(true);

    OtworzButton = new QPushButton(QString::fromUtf8("&Otwórz"), this);
    OtworzButton->setObjectName(QStringLiteral("OtworzButton"));
    OtworzButton->setDefault(true);
    AnulujButton = new QPushButton(QStringLiteral("Anuluj"), this);
    AnulujButton->setObjectName(QStringLiteral("AnulujButton"));
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(OtworzButton, QDialogButtonBox::AcceptRole);
    buttons->addButton(AnulujButton, QDialogButtonBox::RejectRole);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PlikLabel);
    layout->addWidget(listLabel);
    layout->addWidget(WersjeTreeWidget);
    layout->addWidget(hint);
    layout->addWidget(buttons);

    connect(OtworzButton, &QPushButton::clicked, this, [this] {
        if (chosenVersion())
            accept();
    });
    connect(AnulujButton, &QPushButton::clicked, this, &QDialog::reject);
    // A double click or Return on a row opens it.
    connect(WersjeTreeWidget, &QTreeWidget::itemActivated, this, [this] {
        if (chosenVersion())
            accept();
    });
    connect(WersjeTreeWidget, &QTreeWidget::currentItemChanged, this,
            [this] { OtworzButton->setEnabled(chosenVersion() != nullptr); });
}

void TFWersje::setVersions(const QString &classPath, const QList<ClassVersion> &versions) {
    m_versions = versions;
    PlikLabel->setText(QString::fromUtf8("Plik: ") + classPath);
    WersjeTreeWidget->clear();
    const QLocale polish(QLocale::Polish, QLocale::Poland);
    for (const ClassVersion &v : versions) {
        auto *item = new QTreeWidgetItem(WersjeTreeWidget);
        item->setText(0, polish.toString(v.saved, QStringLiteral("d MMMM yyyy, HH:mm:ss")));
        item->setText(1, pupilCount(v.pupils));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (!versions.isEmpty())
        WersjeTreeWidget->setCurrentItem(WersjeTreeWidget->topLevelItem(0));
    OtworzButton->setEnabled(!versions.isEmpty());
    WersjeTreeWidget->setFocus();
}

const ClassVersion *TFWersje::chosenVersion() const {
    const int row = WersjeTreeWidget->indexOfTopLevelItem(WersjeTreeWidget->currentItem());
    return row >= 0 && row < m_versions.size() ? &m_versions[row] : nullptr;
}
