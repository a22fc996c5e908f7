#include "dialogs/tfdrukujklase.h"

#include "dialogs/tfdrukuj.h"
#include "dialogs/tfpomoc.h"
#include "document/prompts.h"
#include "storage/settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Remembered for the next class: it belongs to the printer, not the class.
const char *const kReverseBacksKey = "class_reverse_backs";

const char *const kTurnOverClass =
    "Pierwsze strony zostały wysłane do drukarki. Gdy zakończy się ich drukowanie, proszę włożyć "
    "cały plik wydrukowanych kartek z powrotem do podajnika, czystą stroną do druku, i nacisnąć "
    "OK.\n\nAnuluj kończy drukowanie bez drugich stron.";

QPushButton *button(QWidget *parent, const char *name, const QString &caption) {
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

} // namespace

TFDrukujKlase::TFDrukujKlase(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFDrukujKlase"));
    setWindowTitle(QString::fromUtf8("Drukowanie dla całej klasy"));
    setModal(true);
    vFunHelpOnF1(this, QString::fromLatin1(kHelpPrinting));

    DokumentComboBox = new QComboBox(this);
    DokumentComboBox->setObjectName(QStringLiteral("DokumentComboBox"));
    for (const DocumentInfo *row : treeRows()) {
        if (row)
            DokumentComboBox->addItem(row->labelText());
    }
    auto *documentLabel = new QLabel(QStringLiteral("&Dokument:"), this);
    documentLabel->setBuddy(DokumentComboBox);

    UczniowieListWidget = new QListWidget(this);
    UczniowieListWidget->setObjectName(QStringLiteral("UczniowieListWidget"));
    UczniowieListWidget->setMinimumSize(320, 280);
    auto *pupilsLabel = new QLabel(QStringLiteral("&Uczniowie:"), this);
    pupilsLabel->setBuddy(UczniowieListWidget);
    ZaznaczButton = button(this, "ZaznaczButton", QStringLiteral("&Zaznacz wszystkich"));
    OdznaczButton = button(this, "OdznaczButton", QStringLiteral("&Odznacz wszystkich"));
    LiczbaLabel = new QLabel(this);
    LiczbaLabel->setObjectName(QStringLiteral("LiczbaLabel"));

    cbOdwrocKolejnosc = new QCheckBox(QString::fromUtf8("Odwróć &kolejność drugich stron"), this);
    cbOdwrocKolejnosc->setObjectName(QStringLiteral("cbOdwrocKolejnosc"));
    auto *reverseHint = m_reverseHint = new QLabel(
        QString::fromUtf8("Dla drukarki bez dupleksu: zaznacz, gdy drukarka odkłada kartki "
                          "zadrukowaną stroną do góry."),
        this);
    reverseHint->setObjectName(QStringLiteral("OdwrocKolejnoscLabel"));
    reverseHint->setWordWrap(true);
    cbOdwrocKolejnosc->setToolTip(reverseHint->text());

    DalejButton = button(this, "DalejButton", QStringLiteral("Dalej"));
    AnulujButton = button(this, "AnulujButton", QStringLiteral("Anuluj"));
    DalejButton->setDefault(true);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(DalejButton, QDialogButtonBox::AcceptRole);
    buttons->addButton(AnulujButton, QDialogButtonBox::RejectRole);

    auto *grid = new QGridLayout;
    grid->addWidget(documentLabel, 0, 0);
    grid->addWidget(DokumentComboBox, 0, 1);
    grid->addWidget(pupilsLabel, 1, 0, Qt::AlignTop);
    grid->addWidget(UczniowieListWidget, 1, 1);
    auto *tick = new QHBoxLayout;
    tick->addWidget(ZaznaczButton);
    tick->addWidget(OdznaczButton);
    tick->addStretch();
    tick->addWidget(LiczbaLabel);
    grid->addLayout(tick, 2, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(cbOdwrocKolejnosc);
    layout->addWidget(reverseHint);
    layout->addWidget(buttons);

    connect(ZaznaczButton, &QPushButton::clicked, this, &TFDrukujKlase::ZaznaczButtonClick);
    connect(OdznaczButton, &QPushButton::clicked, this, &TFDrukujKlase::OdznaczButtonClick);
    connect(DalejButton, &QPushButton::clicked, this, &TFDrukujKlase::DalejButtonClick);
    connect(AnulujButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(UczniowieListWidget, &QListWidget::itemChanged, this, &TFDrukujKlase::updateCount);
    connect(DokumentComboBox, &QComboBox::currentIndexChanged, this,
            &TFDrukujKlase::documentChanged);
}

void TFDrukujKlase::setClass(const StudentList &pupils, const QString &documentLabel) {
    m_pupils = pupils;
    {
        const QSignalBlocker block(UczniowieListWidget);
        UczniowieListWidget->clear();
        for (const structStudentEntry &p : pupils) {
            auto *item = new QListWidgetItem(p.name, UczniowieListWidget);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
        }
        UczniowieListWidget->setCurrentRow(pupils.isEmpty() ? -1 : 0);
    }
    DokumentComboBox->setCurrentIndex(qMax(0, DokumentComboBox->findText(documentLabel)));
    QString msg;
    int reverse = 0;
    bFunSqlGetSettingsValue(msg, QString::fromLatin1(kReverseBacksKey), reverse);
    cbOdwrocKolejnosc->setChecked(reverse != 0);
    documentChanged();
    updateCount();
    DokumentComboBox->setFocus();
}

const DocumentInfo *TFDrukujKlase::chosenDocument() const {
    return documentByLabel(DokumentComboBox->currentText());
}

StudentList TFDrukujKlase::chosenPupils() const {
    StudentList chosen;
    for (int i = 0; i < UczniowieListWidget->count() && i < m_pupils.size(); ++i) {
        if (UczniowieListWidget->item(i)->checkState() == Qt::Checked)
            chosen << m_pupils[i];
    }
    return chosen;
}

bool TFDrukujKlase::reverseBacks() const {
    return cbOdwrocKolejnosc->isEnabled() && cbOdwrocKolejnosc->isChecked();
}

void TFDrukujKlase::setAllTicked(bool on) {
    {
        const QSignalBlocker block(UczniowieListWidget);
        for (int i = 0; i < UczniowieListWidget->count(); ++i)
            UczniowieListWidget->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    updateCount();
}

void TFDrukujKlase::ZaznaczButtonClick() {
    setAllTicked(true);
}

void TFDrukujKlase::OdznaczButtonClick() {
    setAllTicked(false);
}

void TFDrukujKlase::updateCount() {
    LiczbaLabel->setText(QString::fromUtf8("zaznaczono %1 z %2")
                             .arg(chosenPupils().size())
                             .arg(UczniowieListWidget->count()));
}

void TFDrukujKlase::documentChanged() {
    // Only the backs of a two-sided document have an order of their own.
    const DocumentInfo *doc = chosenDocument();
    cbOdwrocKolejnosc->setEnabled(doc && doc->sides == 2);
    m_reverseHint->setEnabled(cbOdwrocKolejnosc->isEnabled());
}

void TFDrukujKlase::DalejButtonClick() {
    if (chosenPupils().isEmpty()) {
        showMessage(this, QStringLiteral("Brak wyboru"),
                    QString::fromUtf8("Zaznacz co najmniej jednego ucznia."),
                    Prompts::Icon::Warning);
        return;
    }
    QString msg;
    bFunSqlSettingWriteValue(msg, QString::fromLatin1(kReverseBacksKey),
                             cbOdwrocKolejnosc->isChecked() ? 1 : 0);
    accept();
}

// ---------------------------------------------------------------------------

TFPostepKlasy::TFPostepKlasy(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFPostepKlasy"));
    setWindowTitle(QStringLiteral("Drukowanie"));
    setWindowModality(Qt::ApplicationModal);
    auto *what =
        new QLabel(QString::fromUtf8("Przygotowanie i drukowanie dokumentów ucznia:"), this);
    UczenLabel = new QLabel(this);
    UczenLabel->setObjectName(QStringLiteral("UczenLabel"));
    UczenLabel->setTextFormat(Qt::PlainText);
    UczenLabel->setMinimumWidth(360);
    QFont bold = UczenLabel->font();
    bold.setBold(true);
    UczenLabel->setFont(bold);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    AnulujButton = button(this, "AnulujButton", QStringLiteral("Anuluj"));
    connect(AnulujButton, &QPushButton::clicked, this, &TFPostepKlasy::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(what);
    layout->addWidget(UczenLabel);
    layout->addWidget(ProgressBar);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(AnulujButton);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TFPostepKlasy::step(int done, int total, const QString &pupil) {
    if (!isVisible()) {
        show();
        raise();
    }
    ProgressBar->setRange(0, qMax(total, 1));
    ProgressBar->setValue(done);
    UczenLabel->setText(pupil);
    // The work runs on this thread: the window is painted and "Anuluj" is
    // heard between two steps.
    QCoreApplication::processEvents();
    return !m_cancelled;
}

void TFPostepKlasy::reject() {
    m_cancelled = true; // the window closes when the work has stopped
}

// ---------------------------------------------------------------------------

namespace {

QString failureText(const QList<structPupilFailure> &failures) {
    QStringList lines;
    for (const structPupilFailure &f : failures)
        lines << f.pupil.trimmed() + QStringLiteral(" (") + f.reason.simplified() +
                     QLatin1Char(')');
    return QString::fromUtf8("Nie udało się wczytać danych tych uczniów, ich dokumenty nie "
                             "zostały wydrukowane:\n") +
           lines.join(QLatin1Char('\n')) +
           QString::fromUtf8("\n\nDokumenty pozostałych uczniów zostały wydrukowane.");
}

} // namespace

bool bFunPrintWholeClass(TFDrukujKlase &choice, TFDrukuj &print, const structOpenClass &open) {
    choice.setClass(open.pupils, open.documentLabel);
    if (choice.exec() != QDialog::Accepted)
        return false;
    structClassRequest request;
    request.classFile = open.classFile;
    request.document = choice.chosenDocument();
    request.pupils = choice.chosenPupils();
    request.options = open.options;
    request.reverseBacks = choice.reverseBacks();
    if (!request.document || request.pupils.isEmpty())
        return false;

    structClassOutcome outcome;
    bool printed = false;
    print.setDocumentName(open.className, request.document->labelText());
    print.printOrder = [&](const structPrintOrder &order, QString &msg, structPrintResult &result) {
        request.order = order;
        TFPostepKlasy progress(&print);
        structClassCallbacks callbacks;
        callbacks.progress = [&progress](int done, int total, const QString &pupil) {
            return progress.step(done, total, pupil);
        };
        callbacks.turnOver = [&progress] {
            return askOkCancel(&progress, QStringLiteral("Alert"),
                               QString::fromUtf8(kTurnOverClass), Prompts::Icon::Warning);
        };
        printed = bFunPrintClass(msg, request, callbacks, outcome);
        result = outcome.print;
        return printed;
    };
    // The whole class is checked before any form is used.
    print.findings = listFunCheckClass(request);
    print.exec();
    print.findings.clear();
    print.printOrder = nullptr;
    if (!printed)
        return false;
    QStringList said = outcome.notices;
    if (!outcome.failures.isEmpty())
        said << failureText(outcome.failures);
    if (!said.isEmpty())
        showMessage(&print, QStringLiteral("Drukowanie"), said.join(QStringLiteral("\n\n")),
                    Prompts::Icon::Warning);
    return true;
}
