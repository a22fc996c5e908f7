#include "dialogs/tfdrukuj.h"

#include "dialogs/buttonicons.h"
#include "dialogs/tfkorekta.h"
#include "dialogs/tfpomoc.h"

#include "document/prompts.h"
#include "printing/calibstore.h"
#include "printing/printengine.h"
#include "printing/testprint.h"
#include "storage/paths.h"
#include "storage/settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

enum Edge { None = -1, Top, Left, Right, Bottom };
using Picture = ButtonPicture;

// One arrow or size button: how it moves the edges of its side (left, top,
// right, bottom, in millimetres); how far is one rule for every button and
// the correction (bFunMoveSideEdges).
struct ButtonRule {
    int side;
    int dLeft, dTop, dRight, dBottom;
    Picture picture;
    const char *what; // the tooltip, after "Strona N: "
    const char *move; // the move, in a refusal
};

// SpeedButton1 to SpeedButton16, in order.
const ButtonRule kRules[16] = {
    {1, 0, -1, 0, -1, Picture::Up, "w górę o 1 mm", "przesunąć wydruku w górę"},
    {1, -1, 0, -1, 0, Picture::Left, "w lewo o 1 mm", "przesunąć wydruku w lewo"},
    {1, 0, +1, 0, +1, Picture::Down, "w dół o 1 mm", "przesunąć wydruku w dół"},
    {1, +1, 0, +1, 0, Picture::Right, "w prawo o 1 mm", "przesunąć wydruku w prawo"},
    {2, 0, -1, 0, -1, Picture::Up, "w górę o 1 mm", "przesunąć wydruku w górę"},
    {2, -1, 0, -1, 0, Picture::Left, "w lewo o 1 mm", "przesunąć wydruku w lewo"},
    {2, 0, +1, 0, +1, Picture::Down, "w dół o 1 mm", "przesunąć wydruku w dół"},
    {2, +1, 0, +1, 0, Picture::Right, "w prawo o 1 mm", "przesunąć wydruku w prawo"},
    {1, -1, 0, +1, 0, Picture::Wider, "szerzej o 2 mm", "poszerzyć wydruku"},
    {1, +1, 0, -1, 0, Picture::Narrower, "węziej o 2 mm", "zwęzić wydruku"},
    {1, 0, -1, 0, +1, Picture::Taller, "dłużej o 2 mm", "wydłużyć wydruku"},
    {1, 0, +1, 0, -1, Picture::Shorter, "krócej o 2 mm", "skrócić wydruku"},
    {2, -1, 0, +1, 0, Picture::Wider, "szerzej o 2 mm", "poszerzyć wydruku"},
    {2, +1, 0, -1, 0, Picture::Narrower, "węziej o 2 mm", "zwęzić wydruku"},
    {2, 0, +1, 0, -1, Picture::Shorter, "krócej o 2 mm", "skrócić wydruku"},
    {2, 0, -1, 0, +1, Picture::Taller, "dłużej o 2 mm", "wydłużyć wydruku"},
};

// Where a button of each picture sits: in the cross of arrows of its
// position group or in its size group.
struct Place {
    bool inSizeGroup;
    int row, column;
};
const Place kPlaces[] = {
    {false, 0, 4}, // up
    {false, 2, 4}, // down
    {false, 1, 3}, // left
    {false, 1, 5}, // right
    {true, 0, 1},  // wider
    {true, 0, 2},  // narrower
    {true, 1, 1},  // taller
    {true, 1, 2},  // shorter
};

// The margin set's edges in the order of TFDrukuj::edgeEdits().
int structMarginData::*const kEdgeFields[8] = {
    &structMarginData::Page1Y1, &structMarginData::Page1X1, &structMarginData::Page1X2,
    &structMarginData::Page1Y2, &structMarginData::Page2Y1, &structMarginData::Page2X1,
    &structMarginData::Page2X2, &structMarginData::Page2Y2};

const char *const kTurnOver =
    "Gdy zakończy się drukowanie pierwszej strony, proszę odwrócić \n świadectwo i nacisnąć OK";

QLineEdit *edgeEdit(QWidget *parent, const char *name, const QString &accessible) {
    auto *e = new QLineEdit(QStringLiteral("0"), parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setReadOnly(true);
    e->setEnabled(false);
    e->setMaximumWidth(60);
    e->setAlignment(Qt::AlignRight);
    e->setAccessibleName(accessible);
    e->setToolTip(accessible);
    return e;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption) {
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

} // namespace

QString TFDrukuj::pdfDestination() {
    return QStringLiteral("Plik PDF");
}

QString TFDrukuj::duplexKey(const QString &printer) {
    return QStringLiteral("duplex_used:") + printer;
}

const char *TFDrukuj::lastMarginSetKey() {
    return "last_margin_set";
}

TFDrukuj::TFDrukuj(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFDrukuj"));
    setWindowTitle(QStringLiteral("Drukowanie"));
    setModal(true);
    m_pdfFolder = QDir::homePath();

    auto *top = new QGridLayout;
    DrukarkiComboBox = new QComboBox(this);
    DrukarkiComboBox->setObjectName(QStringLiteral("DrukarkiComboBox"));
    DrukarkiComboBox->setMinimumWidth(260);
    auto *printerLabel = new QLabel(QStringLiteral("Nazwa drukarki:"), this);
    printerLabel->setBuddy(DrukarkiComboBox);
    BitBtn1 = button(this, "BitBtn1", QStringLiteral("Ustawienia"));
    DuplexComboBox = new QComboBox(this);
    DuplexComboBox->setObjectName(QStringLiteral("DuplexComboBox"));
    DuplexComboBox->addItems({QString::fromUtf8("Wyłączony"), QStringLiteral("Duplex pionowo"),
                              QStringLiteral("Duplex poziomo")});
    DuplexComboBox->setCurrentIndex(-1);
    auto *duplexLabel = new QLabel(QStringLiteral("Tryb druku ( duplex )"), this);
    duplexLabel->setBuddy(DuplexComboBox);
    cbRotateSecondPage = new QCheckBox(QString::fromUtf8("obróć drugą stronę o 180 stopni"), this);
    cbRotateSecondPage->setObjectName(QStringLiteral("cbRotateSecondPage"));
    MarginesyComboBox = new QComboBox(this);
    MarginesyComboBox->setObjectName(QStringLiteral("MarginesyComboBox"));
    auto *marginLabel = new QLabel(QStringLiteral("Ustawienia wydruku"), this);
    marginLabel->setBuddy(MarginesyComboBox);
    top->addWidget(printerLabel, 0, 0);
    top->addWidget(DrukarkiComboBox, 0, 1);
    top->addWidget(BitBtn1, 0, 2);
    top->addWidget(duplexLabel, 1, 0);
    top->addWidget(DuplexComboBox, 1, 1);
    top->addWidget(cbRotateSecondPage, 1, 2);
    top->addWidget(marginLabel, 2, 0);
    top->addWidget(MarginesyComboBox, 2, 1);

    auto *setButtons = new QHBoxLayout;
    SaveNewButton = button(this, "SaveNewButton", QStringLiteral("Zapisz jako nowe ustawienia"));
    DeleteButton = button(this, "DeleteButton", QString::fromUtf8("Usuń ustawienia"));
    ResetButton = button(this, "ResetButton", QString::fromUtf8("Przywróć oryginalne ustawienia"));
    setButtons->addWidget(SaveNewButton);
    setButtons->addWidget(DeleteButton);
    setButtons->addWidget(ResetButton);
    KorektaButton = button(this, "KorektaButton", QString::fromUtf8("Korekta…"));
    KorektaButton->setToolTip(
        QString::fromUtf8("Przesuń wydruk o tyle milimetrów, ile pokazuje wydruk próbny"));
    setButtons->addWidget(KorektaButton);
    setButtons->addStretch();

    // The eight edits, side by side, and the sixteen buttons beside them.
    QLineEdit **edits[2][4] = {
        {&Strona1GornyEdit, &Strona1LewyEdit, &Strona1PrawyEdit, &Strona1DolnyEdit},
        {&Strona2GornyEdit, &Strona2LewyEdit, &Strona2PrawyEdit, &Strona2DolnyEdit}};
    const char *const editNames[2][4] = {
        {"Strona1GornyEdit", "Strona1LewyEdit", "Strona1PrawyEdit", "Strona1DolnyEdit"},
        {"Strona2GornyEdit", "Strona2LewyEdit", "Strona2PrawyEdit", "Strona2DolnyEdit"}};
    const char *const edgeLabels[4] = {"Górna:", "Lewa:", "Prawa:", "Dolna:"};
    const char *const edgeWords[4] = {"górna", "lewa", "prawa", "dolna"};
    QGridLayout *positions[2];
    QGridLayout *sizes[2];
    auto *sides = new QHBoxLayout;
    for (int s = 0; s < 2; ++s) {
        const QString side = QStringLiteral("Strona %1").arg(s + 1);
        auto *column = new QVBoxLayout;
        auto *posBox =
            new QGroupBox(QStringLiteral(" Pozycjonowanie wydruku str %1 ").arg(s + 1), this);
        positions[s] = new QGridLayout(posBox);
        for (int e = 0; e < 4; ++e) {
            *edits[s][e] = edgeEdit(this, editNames[s][e],
                                    side + QString::fromUtf8(": %1 krawędź wydruku w mm")
                                               .arg(QString::fromUtf8(edgeWords[e])));
            auto *label = new QLabel(QString::fromUtf8(edgeLabels[e]), this);
            label->setBuddy(*edits[s][e]);
            positions[s]->addWidget(label, e, 0);
            positions[s]->addWidget(*edits[s][e], e, 1);
        }
        positions[s]->setColumnMinimumWidth(2, 12);
        auto *sizeBox = new QGroupBox(
            QString::fromUtf8(" Szerokość / wysokość wydruku str %1").arg(s + 1), this);
        sizes[s] = new QGridLayout(sizeBox);
        sizes[s]->addWidget(new QLabel(QString::fromUtf8("Szerokość"), this), 0, 0);
        sizes[s]->addWidget(new QLabel(QString::fromUtf8("Wysokość"), this), 1, 0);
        column->addWidget(posBox);
        column->addWidget(sizeBox);
        sides->addLayout(column);
    }
    const QColor ink = palette().color(QPalette::ButtonText);
    for (int i = 0; i < 16; ++i) {
        const ButtonRule &rule = kRules[i];
        auto *b = new QToolButton(this);
        b->setObjectName(QStringLiteral("SpeedButton%1").arg(i + 1));
        b->setIcon(buttonIcon(rule.picture, ink));
        b->setIconSize(QSize(20, 20));
        b->setFocusPolicy(Qt::StrongFocus);
        const QString what =
            QStringLiteral("Strona %1: ").arg(rule.side) + QString::fromUtf8(rule.what);
        b->setToolTip(what);
        b->setAccessibleName(what);
        SpeedButtons << b;
        connect(b, &QToolButton::clicked, this, [this, i] { SpeedButtonClick(i + 1); });
        const Place &at = kPlaces[int(rule.picture)];
        (at.inSizeGroup ? sizes : positions)[rule.side - 1]->addWidget(b, at.row, at.column);
    }

    auto *bottom = new QHBoxLayout;
    PomocButton = button(this, "PomocButton", QStringLiteral("Pomoc"));
    DrukujButton = button(this, "DrukujButton", QStringLiteral("Drukuj"));
    AnulujButton = button(this, "AnulujButton", QStringLiteral("Anuluj"));
    DrukujButton->setDefault(true);
    TestPrintButton = button(this, "TestPrintButton", QString::fromUtf8("Wydruk próbny"));
    TestPrintButton->setToolTip(QString::fromUtf8(
        "Obrysy pól i podziałka milimetrowa zamiast tekstów ucznia: do przyłożenia do druku"));
    bottom->addWidget(PomocButton);
    bottom->addWidget(TestPrintButton);
    bottom->addStretch();
    bottom->addWidget(DrukujButton);
    bottom->addWidget(AnulujButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(setButtons);
    layout->addLayout(sides);
    layout->addLayout(bottom);

    printerSetup = [this](QPrinter &printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };

    connect(DrukarkiComboBox, &QComboBox::currentIndexChanged, this,
            &TFDrukuj::DrukarkiComboBoxChange);
    connect(MarginesyComboBox, &QComboBox::currentIndexChanged, this,
            &TFDrukuj::MarginesyComboBoxChange);
    connect(SaveNewButton, &QPushButton::clicked, this, &TFDrukuj::SaveNewButtonClick);
    connect(DeleteButton, &QPushButton::clicked, this, &TFDrukuj::DeleteButtonClick);
    connect(ResetButton, &QPushButton::clicked, this, &TFDrukuj::ResetButtonClick);
    connect(DrukujButton, &QPushButton::clicked, this, &TFDrukuj::DrukujButtonClick);
    connect(AnulujButton, &QPushButton::clicked, this, &TFDrukuj::AnulujButtonClick);
    connect(PomocButton, &QPushButton::clicked, this, &TFDrukuj::PomocButtonClick);
    vFunHelpOnF1(this, QString::fromLatin1(kHelpPrinting));
    connect(BitBtn1, &QPushButton::clicked, this, &TFDrukuj::BitBtn1Click);
    connect(TestPrintButton, &QPushButton::clicked, this, &TFDrukuj::TestPrintButtonClick);
    connect(KorektaButton, &QPushButton::clicked, this, &TFDrukuj::KorektaButtonClick);
    korekta = new TFKorekta(this);
}

void TFDrukuj::setDocumentName(const QString &pupil, const QString &documentLabel) {
    m_pupil = pupil;
    m_document = documentLabel;
}

void TFDrukuj::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFDrukuj::FormShow() {
    if (m_printer.isEmpty())
        m_printer = QPrinterInfo::defaultPrinterName();
    {
        const QSignalBlocker block(DrukarkiComboBox);
        DrukarkiComboBox->clear();
        DrukarkiComboBox->addItems(QPrinterInfo::availablePrinterNames());
        DrukarkiComboBox->addItem(pdfDestination());
        const int current = DrukarkiComboBox->findText(m_printer, Qt::MatchExactly);
        DrukarkiComboBox->setCurrentIndex(current >= 0 ? current : 0);
        m_printer = DrukarkiComboBox->currentText();
    }
    vFunUstawDrukarke();
    // The set last used for printing, so a corrected set is not lost for
    // the next sheet; the first set when it is gone.
    QString msg, last;
    bFunSqlGetSettingsText(msg, QString::fromLatin1(lastMarginSetKey()), last);
    bFunLoadMarginList(last);
    // Return prints, whichever button had the focus when it was last closed.
    DrukujButton->setFocus();
}

void TFDrukuj::DrukarkiComboBoxChange() {
    m_printer = DrukarkiComboBox->currentText();
    vFunUstawDrukarke();
}

bool TFDrukuj::isPdf() const {
    return m_printer == pdfDestination();
}

void TFDrukuj::enableDuplex(bool on) {
    DuplexComboBox->setEnabled(on);
    cbRotateSecondPage->setEnabled(on);
}

void TFDrukuj::vFunUstawDrukarke() {
    // A Linux printer's stored defaults are the user's: every job carries A4,
    // portrait and the duplex choice itself. Here the printer is only asked
    // whether it prints both sides and whether it takes jobs at all.
    const bool twoSided = !isPdf() && bFunCanPrintTwoSided(m_printer);
    enableDuplex(twoSided);
    if (!twoSided) {
        DuplexComboBox->setCurrentIndex(0);
    } else if (m_duplexPrinter != m_printer || DuplexComboBox->currentIndex() < 0) {
        // The box always holds a choice: the one last printed with on this
        // printer, else both sides (long edge), which the printer can.
        QString msg, last;
        bFunSqlGetSettingsText(msg, duplexKey(m_printer), last);
        bool known = false;
        const int index = last.toInt(&known);
        DuplexComboBox->setCurrentIndex(known && index >= 0 && index <= 2 ? index : 1);
    }
    m_duplexPrinter = m_printer;
    m_printerOk = true;
    if (isPdf())
        return;
    QString msg;
    bool stopped = false;
    if (!bFunCheckPrinter(msg, m_printer, stopped)) {
        m_printerOk = false;
        showMessage(this, QStringLiteral("Błąd"), msg, Prompts::Icon::Error);
    }
}

bool TFDrukuj::bFunLoadMarginList(const QString &preferred) {
    QString msg;
    marginList.clear();
    if (!MarginSetStore::inProgramFolder().read(msg, marginList)) {
        showMessage(this, QStringLiteral("Błąd"),
                    QString::fromUtf8("Błąd podczas próby uzyskania listy ustawień.\n\n") + msg,
                    Prompts::Icon::Error);
        return false;
    }
    {
        const QSignalBlocker block(MarginesyComboBox);
        MarginesyComboBox->clear();
        for (const structMarginData &m : marginList)
            MarginesyComboBox->addItem(m.name);
        const int wanted =
            preferred.isEmpty() ? -1 : MarginesyComboBox->findText(preferred, Qt::MatchExactly);
        MarginesyComboBox->setCurrentIndex(marginList.isEmpty() ? -1 : qMax(wanted, 0));
    }
    if (!marginList.isEmpty())
        MarginesyComboBoxChange();
    return true;
}

void TFDrukuj::MarginesyComboBoxChange() {
    const QString chosen = MarginesyComboBox->currentText();
    for (const structMarginData &m : marginList) {
        if (m.name == chosen)
            setEdges(m); // a later set of the same name wins
    }
}

QList<QLineEdit *> TFDrukuj::edgeEdits() const {
    return {Strona1GornyEdit, Strona1LewyEdit, Strona1PrawyEdit, Strona1DolnyEdit,
            Strona2GornyEdit, Strona2LewyEdit, Strona2PrawyEdit, Strona2DolnyEdit};
}

structMarginData TFDrukuj::edges() const {
    structMarginData m;
    const QList<QLineEdit *> edits = edgeEdits();
    for (int i = 0; i < 8; ++i)
        m.*kEdgeFields[i] = edits[i]->text().toInt();
    return m;
}

void TFDrukuj::setEdges(const structMarginData &m) {
    const QList<QLineEdit *> edits = edgeEdits();
    for (int i = 0; i < 8; ++i)
        edits[i]->setText(QString::number(m.*kEdgeFields[i]));
}

void TFDrukuj::SpeedButtonClick(int number) {
    if (number < 1 || number > 16)
        return;
    const ButtonRule &rule = kRules[number - 1];
    structMarginData set = edges();
    QString msg;
    if (!bFunMoveSideEdges(msg, set, rule.side, rule.dLeft, rule.dTop, rule.dRight, rule.dBottom,
                           QString::fromUtf8(rule.move))) {
        showMessage(this, QString::fromUtf8("Ustawienia wydruku"), msg, Prompts::Icon::Warning);
        return;
    }
    setEdges(set);
}

void TFDrukuj::SaveNewButtonClick() {
    QString name = QStringLiteral("nowa nazwa");
    if (!prompts().textInput(this, QStringLiteral("Nazwa"),
                             QString::fromUtf8("Proszę podać nazwę ustawień"), name, 255))
        return;
    for (const structMarginData &m : marginList) {
        if (m.name == name) {
            showMessage(this, QStringLiteral("Duplikat"),
                        QString::fromUtf8("Ustawienia pod tą nazwą już istnieją"),
                        Prompts::Icon::Warning);
            return;
        }
    }
    structMarginData set = edges();
    set.name = name;
    QString msg;
    if (!MarginSetStore::inProgramFolder().add(msg, set)) {
        showMessage(
            this, QStringLiteral("Błąd"),
            QString::fromUtf8("Błąd podczas próby zapisania nowych ustawień marginesów.\n\n") + msg,
            Prompts::Icon::Error);
        return;
    }
    // The set just saved (the last one stored) is the one shown and printed with.
    if (bFunLoadMarginList() && MarginesyComboBox->count() > 0) {
        MarginesyComboBox->setCurrentIndex(MarginesyComboBox->count() - 1);
        MarginesyComboBoxChange();
    }
}

void TFDrukuj::DeleteButtonClick() {
    const QString name = MarginesyComboBox->currentText();
    if (!askYesNoDestructive(this, QStringLiteral("Kasowanie"),
                             QString::fromUtf8("Czy na pewno chcesz skasować ustawienia: ") + name +
                                 QStringLiteral(" ?"),
                             Prompts::Icon::Question))
        return;
    QString msg;
    if (!MarginSetStore::inProgramFolder().remove(msg, name))
        showMessage(this, QStringLiteral("Błąd"),
                    QString::fromUtf8("Błąd podczas próby kasowania ustawień marginesów."),
                    Prompts::Icon::Error);
    bFunLoadMarginList();
}

void TFDrukuj::ResetButtonClick() {
    if (!askYesNoDestructive(this, QStringLiteral("Przywracanie"),
                             QString::fromUtf8("Czy na pewno chcesz przywrócić oryginalne "
                                               "ustawienia ?"),
                             Prompts::Icon::Question))
        return;
    QString msg;
    if (!MarginSetStore::inProgramFolder().restoreOriginal(msg)) {
        showMessage(this, QStringLiteral("Błąd"),
                    QString::fromUtf8("Błąd podczas próby przywrócenia ustawień dmyślnych.\n\n") +
                        msg,
                    Prompts::Icon::Error);
        return;
    }
    bFunLoadMarginList();
}

QString TFDrukuj::askPdfFile(const QString &proposedName) {
    const QString proposed = m_pdfFolder + QLatin1Char('/') + proposedName;
    QString path = prompts().saveFileName(this, QStringLiteral("Zapisz wydruk jako PDF"),
                                          QStringLiteral("Pliki PDF (*.pdf)"), proposed);
    if (path.isEmpty())
        return path;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    // Said before the question whether to replace it: her data are never
    // offered for replacing.
    const QString refusal = strFunPdfTargetRefusal(path, protectedFiles);
    if (!refusal.isEmpty()) {
        showMessage(this, QStringLiteral("Plik PDF"), refusal, Prompts::Icon::Warning);
        return QString();
    }
    if (QFileInfo::exists(path) &&
        !askYesNoDestructive(this, QStringLiteral("Plik PDF"),
                             QString::fromUtf8("Plik już istnieje:\n") + path +
                                 QString::fromUtf8("\nCzy chcesz go zastąpić ?"),
                             Prompts::Icon::Question))
        return QString();
    m_pdfFolder = QFileInfo(path).absolutePath();
    return path;
}

bool TFDrukuj::prepareOrder(structPrintOrder &order, const QString &proposedPdf) {
    vFunUstawDrukarke();
    // A printer that cannot take the job has been reported: the dialog stays
    // open so that another printer can be chosen.
    if (!m_printerOk)
        return false;
    if (isPdf()) {
        order.pdfFile = askPdfFile(proposedPdf);
        if (order.pdfFile.isEmpty())
            return false;
    } else {
        order.printer = m_printer;
    }
    order.protectedFiles = protectedFiles;
    order.title = m_pupil.isEmpty() ? m_document : m_pupil + QStringLiteral(" - ") + m_document;
    order.sides = m_pages.sides;
    if (DuplexComboBox->isEnabled()) {
        if (DuplexComboBox->currentIndex() == 1)
            order.duplex = Duplex::LongEdge;
        else if (DuplexComboBox->currentIndex() == 2)
            order.duplex = Duplex::ShortEdge;
        order.rotateSecondPage = cbRotateSecondPage->isChecked();
    }
    order.margins = edges();
    return true;
}

bool TFDrukuj::turnOver() {
    // "Anuluj" stops before side 2, when side 1 came out wrong.
    return askOkCancel(this, QStringLiteral("Alert"), QString::fromUtf8(kTurnOver),
                       Prompts::Icon::Warning);
}

QString TFDrukuj::stoppedNotice(const QString &printer) {
    if (lastResult.jobIds.isEmpty())
        return QString::fromUtf8("Drukowanie przerwano: nic nie trafiło do drukarki.");
    QStringList ids;
    for (int id : lastResult.jobIds)
        ids << QString::number(id);
    const QString sent = QString::fromUtf8("do drukarki „%1” trafiły już pierwsze strony "
                                           "(zadanie nr %2)")
                             .arg(printer, ids.join(QStringLiteral(", ")));
    // What reached the queue may still be taken back: it is no data of hers.
    if (askYesNo(this, QStringLiteral("Drukowanie"),
                 QString::fromUtf8("Drukowanie przerwano, ale %1.\n\nCzy usunąć je z kolejki "
                                   "drukarki? (Kartki, które już wyszły z drukarki, zostaną.)")
                     .arg(sent),
                 Prompts::Icon::Question)) {
        QString msg;
        if (bFunCancelJobs(msg, printer, lastResult.jobIds))
            return QString::fromUtf8("Drukowanie przerwano; %1 – usunięto je z kolejki.").arg(sent);
        showMessage(this, QStringLiteral("Błąd"), msg, Prompts::Icon::Error);
    }
    return QString::fromUtf8("Drukowanie przerwano; %1 i zostały w jej kolejce.").arg(sent);
}

bool TFDrukuj::reportOutcome(bool printed, const QString &msg) {
    if (!printed) {
        showMessage(this, QStringLiteral("Błąd"), msg, Prompts::Icon::Error);
        return false;
    }
    if (!lastResult.held)
        return true;
    QStringList ids;
    for (int id : lastResult.jobIds)
        ids << QString::number(id);
    showMessage(this, QStringLiteral("Drukowanie"),
                QString::fromUtf8("Drukarka „%1” jest wstrzymana. Wydruk (zadanie nr %2) "
                                  "czeka w jej kolejce i zostanie wydrukowany, gdy drukarka "
                                  "zostanie wznowiona.")
                    .arg(m_printer, ids.join(QStringLiteral(", "))),
                Prompts::Icon::Information);
    return true;
}

void TFDrukuj::DrukujButtonClick() {
    // A numbered form is not spent on a print that would come out wrong
    // unless she says so; "Wróć" (the default) keeps the dialog open.
    if (!findings.isEmpty() &&
        prompts().message(this, QString::fromUtf8("Sprawdzenie przed drukowaniem"),
                          strFunFindingsText(findings), Prompts::Icon::Warning,
                          Prompts::Buttons::PrintAnywayBack) != Prompts::Answer::Yes)
        return;
    structPrintOrder order;
    if (!prepareOrder(order, strFunPdfFileName(m_pupil, m_document)))
        return;
    QString msg;
    const bool printed = printOrder ? printOrder(order, msg, lastResult)
                                    : bFunPrintDocument(
                                          msg, order, m_pages.page1, m_pages.page2,
                                          [this] { return turnOver(); }, lastResult);
    if (!printed && msg.isEmpty()) {
        // Stopped by the user: she is told what reached the printer.
        emit printDone(stoppedNotice(order.printer));
        reject();
        return;
    }
    if (!reportOutcome(printed, msg))
        return;
    bFunSqlSettingWriteText(msg, QString::fromLatin1(lastMarginSetKey()),
                            MarginesyComboBox->currentText());
    if (!order.printer.isEmpty() && DuplexComboBox->isEnabled())
        bFunSqlSettingWriteText(msg, duplexKey(order.printer),
                                QString::number(DuplexComboBox->currentIndex()));
    emit printDone(order.printer.isEmpty()
                       ? QString::fromUtf8("Zapisano plik PDF: ") + order.pdfFile
                       : QString::fromUtf8("Wysłano do drukarki „%1”.").arg(order.printer));
    accept();
}

void TFDrukuj::TestPrintButtonClick() {
    const DocumentInfo *doc = documentByLabel(m_document);
    if (!doc || m_pages.rows.isEmpty()) {
        showMessage(this, QStringLiteral("Brak wyboru"),
                    QString::fromUtf8("Nie ma czego wydrukować: zaznacz w oknie głównym "
                                      "świadectwo lub arkusz i wybierz drukowanie."),
                    Prompts::Icon::Warning);
        return;
    }
    structPrintOrder order;
    if (!prepareOrder(order, strFunPdfFileName(QString::fromUtf8("wydruk próbny"), m_document)))
        return;
    // The test pages follow the calibration the document prints with.
    PagePicture page1, page2;
    vFunRenderTestPages(m_pages.rows, *doc, page1, page2);
    order.sides = doc->sides;
    order.title = m_document + QString::fromUtf8(" - wydruk próbny");
    const QString document = m_document, set = MarginesyComboBox->currentText();
    order.overlay = [document, set](QPainter &painter, const structPaperArea &paper) {
        vFunDrawScales(painter, paper,
                       QString::fromUtf8("Wydruk próbny: %1, strona %2, ustawienia „%3”")
                           .arg(document, QString::number(paper.side), set));
    };
    QString msg;
    const bool printed = bFunPrintDocument(
        msg, order, page1, page2, [this] { return turnOver(); }, lastResult);
    // The dialog stays open: the teacher corrects the set and prints.
    if (!printed && msg.isEmpty())
        emit printDone(QString::fromUtf8("Wydruk próbny: ") + stoppedNotice(order.printer));
    else if (reportOutcome(printed, msg))
        emit printDone(
            order.printer.isEmpty()
                ? QString::fromUtf8("Zapisano wydruk próbny: ") + order.pdfFile
                : QString::fromUtf8("Wysłano wydruk próbny do drukarki „%1”.").arg(order.printer));
}

void TFDrukuj::KorektaButtonClick() {
    korekta->setEdges(edges());
    if (korekta->exec() == QDialog::Accepted)
        setEdges(korekta->edges());
}

void TFDrukuj::AnulujButtonClick() {
    reject();
}

void TFDrukuj::PomocButtonClick() {
    vFunShowHelp(this, QString::fromLatin1(kHelpPrinting));
}

void TFDrukuj::BitBtn1Click() {
    QPrinter printer;
    if (isPdf())
        printer.setOutputFormat(QPrinter::PdfFormat);
    else
        printer.setPrinterName(m_printer);
    if (!printerSetup || !printerSetup(printer))
        return;
    const QString chosen =
        printer.outputFormat() == QPrinter::PdfFormat ? pdfDestination() : printer.printerName();
    const int index = DrukarkiComboBox->findText(chosen, Qt::MatchExactly);
    if (index >= 0) {
        const QSignalBlocker block(DrukarkiComboBox);
        DrukarkiComboBox->setCurrentIndex(index);
        m_printer = chosen;
    }
    enableDuplex(!isPdf() && bFunCanPrintTwoSided(m_printer));
}
