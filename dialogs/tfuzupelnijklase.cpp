#include "dialogs/tfuzupelnijklase.h"

#include "dialogs/tfpomoc.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const char *const kHelpClassFill = "uzupelnianie";

QLabel *buddyLabel(const QString &text, QWidget *buddy, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TFUzupelnijKlase::TFUzupelnijKlase(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFUzupelnijKlase"));
    setWindowTitle(QString::fromUtf8("Uzupełnij dla całej klasy"));
    setModal(true);
    vFunHelpOnF1(this, QString::fromLatin1(kHelpClassFill));

    DokumentComboBox = new QComboBox(this);
    DokumentComboBox->setObjectName(QStringLiteral("DokumentComboBox"));
    DokumentComboBox->setAccessibleName(QStringLiteral("Dokument"));
    for (const DocumentInfo *row : treeRows()) {
        if (row)
            DokumentComboBox->addItem(row->labelText());
    }

    m_fieldsPanel = new QWidget;
    m_fieldsGrid = new QGridLayout(m_fieldsPanel);
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("PolaScrollArea"));
    scroll->setWidget(m_fieldsPanel);
    scroll->setWidgetResizable(true);
    scroll->setMinimumHeight(200);
    scroll->setFocusPolicy(Qt::NoFocus);

    cbNumery = new QCheckBox(QString::fromUtf8("&Numery świadectw kolejno od:"), this);
    cbNumery->setObjectName(QStringLiteral("cbNumery"));
    NumerEdit = new QLineEdit(this);
    NumerEdit->setObjectName(QStringLiteral("NumerEdit"));
    NumerEdit->setAccessibleName(QString::fromUtf8("Numer świadectwa pierwszego ucznia"));
    NumerEdit->setPlaceholderText(QStringLiteral("np. 12/2027"));
    NumerLabel = new QLabel(this);
    NumerLabel->setObjectName(QStringLiteral("NumerLabel"));
    NumerLabel->setWordWrap(true);
    cbZastap = new QCheckBox(QString::fromUtf8("&Zastąp także pola już wypełnione"), this);
    cbZastap->setObjectName(QStringLiteral("cbZastap"));

    PodgladTable = new QTableWidget(0, 4, this);
    PodgladTable->setObjectName(QStringLiteral("PodgladTable"));
    PodgladTable->setAccessibleName(QString::fromUtf8("Podgląd zmian"));
    PodgladTable->setHorizontalHeaderLabels({QString::fromUtf8("Uczeń"), QStringLiteral("Pole"),
                                             QString::fromUtf8("Było"),
                                             QString::fromUtf8("Będzie")});
    PodgladTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PodgladTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    PodgladTable->verticalHeader()->hide();
    PodgladTable->verticalHeader()->setDefaultSectionSize(PodgladTable->fontMetrics().height() + 6);
    PodgladTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    PodgladTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    PodgladTable->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    PodgladTable->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
    PodgladTable->setMinimumSize(640, 200);
    PodsumowanieLabel = new QLabel(this);
    PodsumowanieLabel->setObjectName(QStringLiteral("PodsumowanieLabel"));

    UzupelnijButton = new QPushButton(QString::fromUtf8("Uzupełnij"), this);
    UzupelnijButton->setObjectName(QStringLiteral("UzupelnijButton"));
    UzupelnijButton->setDefault(true);
    AnulujButton = new QPushButton(QStringLiteral("Anuluj"), this);
    AnulujButton->setObjectName(QStringLiteral("AnulujButton"));
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(UzupelnijButton, QDialogButtonBox::AcceptRole);
    buttons->addButton(AnulujButton, QDialogButtonBox::RejectRole);

    auto *top = new QHBoxLayout;
    top->addWidget(buddyLabel(QStringLiteral("&Dokument:"), DokumentComboBox, this));
    top->addWidget(DokumentComboBox, 1);
    auto *number = new QHBoxLayout;
    number->addWidget(cbNumery);
    number->addWidget(NumerEdit, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(new QLabel(
        QString::fromUtf8("Pola wspólne dla wszystkich uczniów (wartości z szablonu danych "
                          "szkoły; zaznacz te, które mają być wpisane):"),
        this));
    layout->addWidget(scroll, 1);
    layout->addLayout(number);
    layout->addWidget(NumerLabel);
    layout->addWidget(cbZastap);
    layout->addWidget(buddyLabel(QString::fromUtf8("&Podgląd zmian:"), PodgladTable, this));
    layout->addWidget(PodgladTable, 2);
    layout->addWidget(PodsumowanieLabel);
    layout->addWidget(buttons);
    resize(820, 720);

    connect(DokumentComboBox, &QComboBox::currentIndexChanged, this,
            &TFUzupelnijKlase::documentChanged);
    connect(cbNumery, &QCheckBox::toggled, this, &TFUzupelnijKlase::updatePreview);
    connect(NumerEdit, &QLineEdit::textEdited, this, [this] {
        cbNumery->setChecked(!NumerEdit->text().trimmed().isEmpty());
        updatePreview();
    });
    connect(cbZastap, &QCheckBox::toggled, this, &TFUzupelnijKlase::updatePreview);
    connect(UzupelnijButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(AnulujButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TFUzupelnijKlase::setClass(const StudentList &pupils,
                                const QHash<QString, SqlDataList> &records,
                                const SqlDataList &schoolTemplate, const QString &documentLabel) {
    m_pupils = pupils;
    m_records = records;
    m_template = schoolTemplate;
    cbZastap->setChecked(false);
    cbNumery->setChecked(false);
    NumerEdit->clear();
    const DocumentInfo *doc = documentByLabel(documentLabel);
    const int index = doc ? DokumentComboBox->findText(doc->labelText()) : 0;
    {
        const QSignalBlocker block(DokumentComboBox);
        DokumentComboBox->setCurrentIndex(index < 0 ? 0 : index);
    }
    documentChanged();
    DokumentComboBox->setFocus();
}

const DocumentInfo *TFUzupelnijKlase::chosenDocument() const {
    return documentByLabel(DokumentComboBox->currentText());
}

structFillRequest TFUzupelnijKlase::request() const {
    structFillRequest r;
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_boxes[i]->isChecked())
            r.values.append({m_fields[i], m_edits[i]->text()});
    }
    const DocumentInfo *doc = chosenDocument();
    r.numbers = doc && doc->isCertificate() && cbNumery->isChecked();
    r.firstNumber = NumerEdit->text();
    r.overwrite = cbZastap->isChecked();
    return r;
}

QCheckBox *TFUzupelnijKlase::fieldBox(const QString &component) const {
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].component == component)
            return m_boxes[i];
    return nullptr;
}

QLineEdit *TFUzupelnijKlase::fieldEdit(const QString &component) const {
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].component == component)
            return m_edits[i];
    return nullptr;
}

void TFUzupelnijKlase::documentChanged() {
    for (QWidget *w : m_fieldsPanel->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        delete w;
    m_boxes.clear();
    m_edits.clear();
    const DocumentInfo *doc = chosenDocument();
    m_fields = doc ? listFunClassFields(*doc, m_template) : QList<structFillField>();
    QWidget *previous = DokumentComboBox;
    for (int i = 0; i < m_fields.size(); ++i) {
        const structFillField &f = m_fields[i];
        auto *box = new QCheckBox(f.caption, m_fieldsPanel);
        box->setObjectName(QStringLiteral("cb_") + f.component);
        box->setChecked(!f.fromTemplate.trimmed().isEmpty());
        auto *edit = new QLineEdit(f.fromTemplate, m_fieldsPanel);
        edit->setObjectName(QStringLiteral("ed_") + f.component);
        edit->setAccessibleName(f.caption);
        m_fieldsGrid->addWidget(box, i, 0);
        m_fieldsGrid->addWidget(edit, i, 1);
        // Tab goes tick, value, next tick.
        setTabOrder(previous, box);
        setTabOrder(box, edit);
        previous = edit;
        connect(box, &QCheckBox::toggled, this, &TFUzupelnijKlase::updatePreview);
        connect(edit, &QLineEdit::textEdited, this, [this, box] {
            box->setChecked(true);
            updatePreview();
        });
        m_boxes << box;
        m_edits << edit;
    }
    setTabOrder(previous, cbNumery);
    const bool certificate = doc && doc->isCertificate();
    cbNumery->setVisible(certificate);
    NumerEdit->setVisible(certificate);
    NumerLabel->setVisible(certificate);
    updatePreview();
}

void TFUzupelnijKlase::updatePreview() {
    const structFillRequest r = request();
    if (r.numbers && strFunSequenceNumber(r.firstNumber.trimmed(), 0).isEmpty())
        NumerLabel->setText(QString::fromUtf8("Numer musi zawierać cyfry – bez nich numery nie "
                                              "zostaną nadane."));
    else
        NumerLabel->setText(QString::fromUtf8("Uczniowie dostają kolejne numery w kolejności "
                                              "listy; rośnie pierwsza grupa cyfr (12/2027, "
                                              "13/2027, …)."));
    m_changes = listFunPlanClassFill(m_pupils, m_records, r);
    PodgladTable->setRowCount(int(m_changes.size()));
    QSet<QString> pupils;
    for (int i = 0; i < m_changes.size(); ++i) {
        const structFillChange &c = m_changes[i];
        pupils.insert(c.table);
        const QString cells[] = {c.pupil.trimmed(), c.field.caption, c.oldValue, c.newValue};
        for (int col = 0; col < 4; ++col)
            PodgladTable->setItem(i, col, new QTableWidgetItem(cells[col]));
    }
    PodsumowanieLabel->setText(
        m_changes.isEmpty()
            ? QString::fromUtf8("Nic do zmiany: zaznacz pola do wpisania albo „Zastąp także pola "
                                "już wypełnione”.")
            : QString::fromUtf8("Zmian: %1, uczniów: %2. Zmiany trafią do pliku klasy dopiero po "
                                "„Zapisz”.")
                  .arg(m_changes.size())
                  .arg(pupils.size()));
    UzupelnijButton->setEnabled(!m_changes.isEmpty());
}
