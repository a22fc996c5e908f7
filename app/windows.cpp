#include "app/windows.h"

#include "app/version.h"
#include "document/documents.h"
#include "editors/tfdaneucznia.h"

#include <QIcon>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TFWait::TFWait(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFWait"));
    setWindowTitle(QStringLiteral("Proszę czekać"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("Trwa zapisywanie danych ucznia..."), this);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setMinimumWidth(320);
    layout->addWidget(label);
    layout->addWidget(ProgressBar);
}

TFOProgramie::TFOProgramie(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFOProgramie"));
    setWindowTitle(QStringLiteral("O programie"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    auto *icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/swiadectwa.svg")).pixmap(64, 64));
    icon->setAlignment(Qt::AlignCenter);
    auto *text = new QLabel(this);
    text->setObjectName(QStringLiteral("AboutLabel"));
    text->setTextFormat(Qt::RichText);
    text->setAlignment(Qt::AlignCenter);
    text->setText(
        QStringLiteral("<h2>%1</h2>"
                       "<p>Drukowanie świadectw dla Szkoły Podstawowej klasy 1-3<br>"
                       "wersja %2.%3.%4</p>"
                       "<p>Świadectwa MEN-I/1/2, arkusze ocen MEN-I/37/2 i MEN-I/37b/2,<br>"
                       "ocena opisowa na wywiadówkę.</p>"
                       "<p>Licencja: GNU General Public License, wersja 3 lub nowsza.<br>"
                       "Program jest dostarczany bez jakiejkolwiek gwarancji.</p>"
                       "<p>Veltra-BR5 · kontakt: pomoc@veltra-br5.pl</p>")
            .arg(QString::fromUtf8(kProductName))
            .arg(kVersionMajor)
            .arg(kVersionMinor)
            .arg(kVersionBuild));
    auto *close = new QPushButton(QStringLiteral("Zamknij"), this);
    close->setObjectName(QStringLiteral("ZamknijButton"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(icon);
    layout->addWidget(text);
    layout->addWidget(close, 0, Qt::AlignCenter);
}

TFEditor *ProgramWindows::editor(const QString &className) const {
    if (className == QLatin1String("TFDaneUcznia"))
        return daneUcznia;
    for (TFEditor *e : editors) {
        if (e->objectName() == className)
            return e;
    }
    return nullptr;
}

QList<TFEditor *> ProgramWindows::boundWindows() const {
    QList<TFEditor *> out;
    for (const DocumentInfo &info : documentTable())
        out << editor(QString::fromLatin1(info.className));
    return out;
}
