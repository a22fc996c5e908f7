#include "app/firststeps.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct Step {
    const char *text;
    const char *buttons[2]; // the tool buttons it names, by object name
};

const Step kSteps[] = {
    {"<b>Utwórz nowy plik klasy</b> (Plik → Nowy plik) albo otwórz plik klasy zapisany "
     "wcześniej (Plik → Otwórz plik).",
     {"NowyPlikToolButton", "OtworzPlikToolButton"}},
    {"<b>Dodaj ucznia</b> (Uczniowie → Dodaj nowego ucznia): wpisz jego dane i naciśnij OK. "
     "Tak samo dodasz kolejnych uczniów.",
     {"DodajUczniaToolButton", nullptr}},
    {"<b>Wybierz dokument w drzewie</b> pod nazwiskiem ucznia: tutaj zobaczysz jego podgląd. "
     "Wypełnij go przyciskiem edycji, wydrukuj przyciskiem drukarki, a na koniec zapisz plik "
     "klasy.",
     {"EdytujSwiadectwoToolButton", "DrukujToolButton"}},
};

} // namespace

FirstStepsPage::FirstStepsPage(QWidget *toolButtons, QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FirstStepsPage"));
    setAutoFillBackground(true);
    auto *outer = new QVBoxLayout(this);
    outer->addStretch(1);
    auto *title = new QLabel(QString::fromUtf8("Jak zacząć"), this);
    title->setObjectName(QStringLiteral("FirstStepsTitle"));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(24);
    grid->addWidget(title, 0, 0, 1, 3);
    int row = 1;
    for (const Step &step : kSteps) {
        auto *number = new QLabel(QStringLiteral("%1.").arg(row), this);
        number->setFont(big);
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto *pictures = new QHBoxLayout;
        for (const char *name : step.buttons) {
            auto *real =
                name ? toolButtons->findChild<QToolButton *>(QString::fromLatin1(name)) : nullptr;
            if (!real)
                continue;
            auto *picture = new QToolButton(this);
            picture->setObjectName(QStringLiteral("FirstSteps_") + QString::fromLatin1(name));
            picture->setIcon(real->icon());
            picture->setIconSize(real->iconSize());
            picture->setAutoRaise(true);
            picture->setToolTip(real->toolTip());
            picture->setAccessibleName(real->accessibleName());
            connect(picture, &QToolButton::clicked, real, &QToolButton::click);
            pictures->addWidget(picture);
        }
        pictures->addStretch(1);
        auto *text = new QLabel(QString::fromUtf8(step.text), this);
        text->setObjectName(QStringLiteral("FirstStepsText%1").arg(row));
        text->setTextFormat(Qt::RichText);
        text->setWordWrap(true);
        QFont larger = text->font();
        larger.setPointSizeF(larger.pointSizeF() * 1.2);
        text->setFont(larger);
        grid->addWidget(number, row, 0);
        grid->addLayout(pictures, row, 1);
        grid->addWidget(text, row, 2);
        ++row;
    }
    grid->setColumnMinimumWidth(1, 100);
    grid->setColumnStretch(2, 1);
    auto *centre = new QHBoxLayout;
    centre->addStretch(1);
    centre->addLayout(grid, 6);
    centre->addStretch(1);
    outer->addLayout(centre);
    outer->addStretch(2);
}
