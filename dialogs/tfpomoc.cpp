#include "dialogs/tfpomoc.h"

#include "document/prompts.h"
#include "storage/paths.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

const char *const kHelpFile = "Swiadectwa.html";

} // namespace

TFPomoc::TFPomoc(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFPomoc"));
    setWindowTitle(QString::fromUtf8("Pomoc – instrukcja obsługi"));
    QString scratch;
    m_page = strFunGetExeDirPath(scratch) + QLatin1Char('/') + QLatin1String(kHelpFile);

    contents = new QListWidget(this);
    contents->setObjectName(QStringLiteral("contents"));
    contents->setAccessibleName(QString::fromUtf8("Spis treści"));
    contents->setMaximumWidth(230);
    browser = new QTextBrowser(this);
    browser->setObjectName(QStringLiteral("browser"));
    browser->setAccessibleName(QString::fromUtf8("Instrukcja obsługi"));
    // Links within the page are followed here; others go to the browser.
    browser->setOpenLinks(false);
    connect(browser, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) {
        if (url.isRelative() || url.isLocalFile())
            browser->scrollToAnchor(url.fragment());
        else
            prompts().openExternal(url);
    });
    BrowserButton = new QPushButton(QString::fromUtf8("Otwórz w &przeglądarce"), this);
    BrowserButton->setObjectName(QStringLiteral("BrowserButton"));
    CloseButton = new QPushButton(QString::fromUtf8("&Zamknij"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setDefault(true);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(BrowserButton, &QPushButton::clicked, this, [this] {
        QUrl url = QUrl::fromLocalFile(m_page);
        url.setFragment(m_section);
        if (!prompts().openExternal(url))
            showMessage(this, QStringLiteral("Pomoc"),
                        QString::fromUtf8("Nie udało się otworzyć strony w przeglądarce:\n") +
                            m_page + QString::fromUtf8("\n\nInstrukcja jest dostępna w tym oknie."),
                        Prompts::Icon::Warning);
    });

    QFile file(m_page);
    QString html;
    if (file.open(QIODevice::ReadOnly))
        html = QString::fromUtf8(file.readAll());
    if (html.isEmpty())
        html = QString::fromUtf8("<p>Nie znaleziono pliku instrukcji:<br>%1</p>"
                                 "<p>Zainstaluj program ponownie.</p>")
                   .arg(m_page.toHtmlEscaped());
    browser->setSearchPaths({QFileInfo(m_page).absolutePath()});
    browser->setHtml(html);
    // The sections: every heading with an id.
    static const QRegularExpression heading(QStringLiteral("<h2 id=\"([^\"]+)\">(.*?)</h2>"),
                                            QRegularExpression::DotMatchesEverythingOption);
    auto *top = new QListWidgetItem(QString::fromUtf8("Początek"), contents);
    top->setData(Qt::UserRole, QString());
    for (auto it = heading.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        auto *item =
            new QListWidgetItem(m.captured(2).remove(QRegularExpression("<[^>]*>")), contents);
        item->setData(Qt::UserRole, m.captured(1));
    }
    connect(contents, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *item) {
        if (item)
            showSection(item->data(Qt::UserRole).toString());
    });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(BrowserButton);
    buttons->addStretch();
    buttons->addWidget(CloseButton);
    auto *body = new QHBoxLayout;
    body->addWidget(contents);
    body->addWidget(browser, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    resize(900, 640);
}

void TFPomoc::showSection(const QString &section) {
    m_section = section;
    if (section.isEmpty())
        browser->moveCursor(QTextCursor::Start);
    else
        browser->scrollToAnchor(section);
    for (int i = 0; i < contents->count(); ++i) {
        if (contents->item(i)->data(Qt::UserRole).toString() == section) {
            const QSignalBlocker block(contents);
            contents->setCurrentRow(i);
        }
    }
}

void vFunShowHelp(QWidget *from, const QString &section) {
    TFPomoc help(from ? from->window() : nullptr);
    // Shown modal first, so that the view is laid out when it scrolls.
    help.setModal(true);
    help.show();
    help.showSection(section);
    help.exec();
}

void vFunHelpOnF1(QWidget *window, const QString &section) {
    auto *f1 = new QShortcut(QKeySequence::HelpContents, window);
    f1->setContext(Qt::WindowShortcut);
    QObject::connect(f1, &QShortcut::activated, window,
                     [window, section] { vFunShowHelp(window, section); });
}
