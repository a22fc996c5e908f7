#include "app/windows.h"

#include "app/tfglowna.h"
#include "app/version.h"
#include "dialogs/tfaktualizacja.h"
#include "dialogs/tfdrukuj.h"
#include "dialogs/tfkalibracja.h"
#include "dialogs/tflogi.h"
#include "dialogs/tfsqlimport.h"
#include "editors/editorset.h"
#include "editors/peers.h"
#include "editors/tfdaneszkoly.h"
#include "editors/tfdaneucznia.h"
#include "editors/tfszablonocenyopisowej.h"

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

ProgramWindows createProgramWindows() {
    ProgramWindows w;
    w.glowna = new TFGlowna;
    QWidget *owner = w.glowna;
    auto bound = [&](const char *name) {
        for (const DocumentInfo &info : documentTable()) {
            if (qstrcmp(info.className, name) == 0) {
                TFEditor *e = createBoundWindow(info, w.daneUcznia, owner);
                if (qstrcmp(name, "TFDaneUcznia") != 0)
                    w.editors << e;
                w.all << e;
                return e;
            }
        }
        return static_cast<TFEditor *>(nullptr);
    };

    w.all << w.glowna;
    w.daneUcznia = static_cast<TFDaneUcznia *>(bound("TFDaneUcznia"));
    w.kalibracja = new TFKalibracja(w.glowna->engine(), owner);
    w.all << w.kalibracja;
    auto *school = new TFDaneSzkoly(owner);
    w.daneSzkoly = school;
    w.all << school;
    w.drukuj = new TFDrukuj(w.glowna->engine(), owner);
    w.all << w.drukuj;
    w.wait = new TFWait(owner);
    w.all << w.wait;
    w.oProgramie = new TFOProgramie(owner);
    w.all << w.oProgramie;
    w.logi = new TFLogi(owner);
    w.all << w.logi;
    w.aktualizacja = new TFAktualizacja(owner);
    w.all << w.aktualizacja;
    bound("TFArkuszStr1Kl1");
    bound("TFArkuszStr5Kl1");
    bound("TFKlasa2");
    bound("TFArkuszStr4bKl3");
    bound("TFArkuszStr3Kl1");
    bound("TFArkuszStr4Kl1");
    auto *phrases = new TFSzablonOcenyOpisowej(owner);
    w.szablonOcenyOpisowej = phrases;
    w.all << phrases;
    bound("TFWywiadowka");
    bound("TFArkuszStr1b");
    bound("TFArkuszStr2Kl1");
    bound("TFArkuszStr2bKl1");
    bound("TFArkuszStr3bKl2");
    bound("TFKlasa3");
    bound("TFKlasa1");
    w.sqlImport = new TFSQLImport(owner);
    w.all << w.sqlImport;

    QList<TFEditor *> certificates{w.editor("TFKlasa1"), w.editor("TFKlasa2"),
                                   w.editor("TFKlasa3")};
    editorPeers() = {school, phrases, certificates};
    school->setSources(certificates +
                       QList<TFEditor *>{w.editor("TFArkuszStr1Kl1"), w.editor("TFArkuszStr1b")});
    phrases->setCertificates(certificates);
    w.glowna->attachWindows(w);
    return w;
}
