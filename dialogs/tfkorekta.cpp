#include "dialogs/tfkorekta.h"

#include "document/prompts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Whole millimetres at most the paper's length either way.
constexpr int kLargestMove = 297;

QLineEdit *amountEdit(QWidget *parent, const char *name, const QString &what) {
    auto *e = new QLineEdit(QStringLiteral("0"), parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setAlignment(Qt::AlignRight);
    e->setMaximumWidth(70);
    e->setAccessibleName(what);
    e->setToolTip(what);
    return e;
}

} // namespace

TFKorekta::TFKorekta(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFKorekta"));
    setWindowTitle(QString::fromUtf8("Korekta wydruku"));
    setModal(true);
    auto *intro = new QLabel(
        QString::fromUtf8("Wpisz, o ile milimetrów wydruk ma się przesunąć, tak jak odczytasz to "
                          "z podziałki wydruku próbnego.\nLiczba ujemna przesuwa wydruk w lewo "
                          "lub w górę. Zmienione ustawienia zapisz potem\nprzyciskiem „Zapisz "
                          "jako nowe ustawienia”."),
        this);
    QLineEdit **edits[2][2] = {{&Strona1PrawoEdit, &Strona1DolEdit},
                               {&Strona2PrawoEdit, &Strona2DolEdit}};
    const char *const names[2][2] = {{"Strona1PrawoEdit", "Strona1DolEdit"},
                                     {"Strona2PrawoEdit", "Strona2DolEdit"}};
    auto *sides = new QHBoxLayout;
    for (int s = 0; s < 2; ++s) {
        auto *box = new QGroupBox(QStringLiteral(" Strona %1 ").arg(s + 1), this);
        auto *grid = new QGridLayout(box);
        const QString side = QStringLiteral("Strona %1: ").arg(s + 1);
        const char *const captions[2] = {"w prawo (mm):", "w dół (mm):"};
        const char *const what[2] = {"o ile mm w prawo", "o ile mm w dół"};
        for (int d = 0; d < 2; ++d) {
            *edits[s][d] = amountEdit(this, names[s][d], side + QString::fromUtf8(what[d]));
            auto *label = new QLabel(QString::fromUtf8(captions[d]), this);
            label->setBuddy(*edits[s][d]);
            grid->addWidget(label, d, 0);
            grid->addWidget(*edits[s][d], d, 1);
        }
        sides->addWidget(box);
    }
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("KorektaOKButton"));
    OKButton->setDefault(true);
    AnulujButton = new QPushButton(QStringLiteral("Anuluj"), this);
    AnulujButton->setObjectName(QStringLiteral("KorektaAnulujButton"));
    // Return always confirms; Escape cancels.
    AnulujButton->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(AnulujButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(sides);
    layout->addLayout(buttons);
    connect(OKButton, &QPushButton::clicked, this, &TFKorekta::OKButtonClick);
    connect(AnulujButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TFKorekta::setEdges(const structMarginData &edges) {
    m_edges = edges;
    for (QLineEdit *e : {Strona1PrawoEdit, Strona1DolEdit, Strona2PrawoEdit, Strona2DolEdit})
        e->setText(QStringLiteral("0"));
    Strona1PrawoEdit->setFocus();
}

bool TFKorekta::bFunShiftSide(QString &msg, structMarginData &edges, int side, int right,
                              int down) {
    // The same rule as the arrow buttons: the print stays on the sheet.
    structMarginData moved = edges;
    if (right != 0 && !bFunMoveSideEdges(msg, moved, side, right, 0, right, 0,
                                         QString::fromUtf8(right > 0 ? "przesunąć wydruku w prawo"
                                                                     : "przesunąć wydruku w lewo")))
        return false;
    if (down != 0 && !bFunMoveSideEdges(msg, moved, side, 0, down, 0, down,
                                        QString::fromUtf8(down > 0 ? "przesunąć wydruku w dół"
                                                                   : "przesunąć wydruku w górę")))
        return false;
    edges = moved;
    return true;
}

void TFKorekta::OKButtonClick() {
    int amounts[4] = {};
    QLineEdit *const edits[4] = {Strona1PrawoEdit, Strona1DolEdit, Strona2PrawoEdit,
                                 Strona2DolEdit};
    for (int i = 0; i < 4; ++i) {
        const QString text = edits[i]->text().trimmed();
        bool ok = true;
        amounts[i] = text.isEmpty() ? 0 : text.toInt(&ok);
        if (!ok || std::abs(amounts[i]) > kLargestMove) {
            showMessage(this, QStringLiteral("Błąd"),
                        QString::fromUtf8("„%1”: wpisz liczbę całkowitą milimetrów od -%2 do %2, "
                                          "np. 3 albo -2 (a nie „%3”).\nNic nie zostało "
                                          "zmienione.")
                            .arg(edits[i]->accessibleName())
                            .arg(kLargestMove)
                            .arg(edits[i]->text()),
                        Prompts::Icon::Warning);
            edits[i]->setFocus();
            edits[i]->selectAll();
            return;
        }
    }
    structMarginData moved = m_edges;
    QString msg;
    for (int side = 1; side <= 2; ++side) {
        if (!bFunShiftSide(msg, moved, side, amounts[(side - 1) * 2],
                           amounts[(side - 1) * 2 + 1])) {
            showMessage(this, QStringLiteral("Korekta"),
                        msg + QString::fromUtf8("\nNic nie zostało zmienione."),
                        Prompts::Icon::Warning);
            return;
        }
    }
    m_edges = moved;
    accept();
}
