#include "dialogs/tfimportlisty.h"

#include "dialogs/tfpomoc.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The table's columns around the file's own.
constexpr int kTickColumn = 0;
constexpr int kNotesColumn = 1; // beside the tick: why a row is marked
constexpr int kFirstFileColumn = 2;

QString separatorName(QChar sep) {
    if (sep == u';')
        return QString::fromUtf8("średnik");
    if (sep == u',')
        return QStringLiteral("przecinek");
    return QStringLiteral("tabulator");
}

} // namespace

TFImportListy::TFImportListy(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFImportListy"));
    setWindowTitle(QString::fromUtf8("Import listy uczniów"));
    setModal(true);
    vFunHelpOnF1(this, QString::fromLatin1(kHelpPupilList));

    InfoLabel = new QLabel(this);
    InfoLabel->setObjectName(QStringLiteral("InfoLabel"));
    InfoLabel->setWordWrap(true);

    auto *columnsLabel = m_columnsLabel =
        new QLabel(QString::fromUtf8("&Kolumny pliku – co zawierają:"), this);
    m_comboArea = new QWidget(this);
    m_comboArea->setObjectName(QStringLiteral("KolumnyArea"));
    auto *scroll = new QScrollArea(this);
    scroll->setWidget(m_comboArea);
    scroll->setWidgetResizable(true);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setFixedHeight(70);
    m_comboArea->setLayout(new QGridLayout);

    PodgladTable = new QTableWidget(this);
    PodgladTable->setObjectName(QStringLiteral("PodgladTable"));
    PodgladTable->setAccessibleName(QString::fromUtf8("Podgląd listy uczniów"));
    PodgladTable->setAccessibleDescription(
        QString::fromUtf8("Spacja zaznacza lub odznacza ucznia w bieżącym wierszu."));
    PodgladTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the table for the next control; the arrows move in it.
    PodgladTable->setTabKeyNavigation(false);
    PodgladTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    PodgladTable->setSelectionMode(QAbstractItemView::SingleSelection);
    PodgladTable->setMinimumSize(820, 300);
    PodgladTable->setWordWrap(true);
    PodgladTable->verticalHeader()->hide(); // the file's line is in the first column
    PodgladTable->installEventFilter(this);
    // The corner button selects every cell, which means nothing here.
    PodgladTable->setCornerButtonEnabled(false);
    for (QAbstractButton *corner : PodgladTable->findChildren<QAbstractButton *>())
        corner->setAccessibleName(QString::fromUtf8("Narożnik tabeli"));
    auto *tableLabel = new QLabel(QString::fromUtf8("&Uczniowie z listy:"), this);
    tableLabel->setBuddy(PodgladTable);
    m_countLabel = new QLabel(this);
    m_countLabel->setObjectName(QStringLiteral("LiczbaLabel"));

    auto *existing = new QGroupBox(QString::fromUtf8("Uczniowie, którzy już są w klasie"), this);
    PominRadio = new QRadioButton(QString::fromUtf8("&pozostaw bez zmian"), existing);
    PominRadio->setObjectName(QStringLiteral("PominRadio"));
    UaktualnijRadio =
        new QRadioButton(QString::fromUtf8("u&aktualnij danymi z listy (puste pola listy nie "
                                           "zmieniają danych)"),
                         existing);
    UaktualnijRadio->setObjectName(QStringLiteral("UaktualnijRadio"));
    // Leaving her pupils as they are is the safe choice.
    PominRadio->setChecked(true);
    auto *group = new QButtonGroup(this);
    group->addButton(PominRadio);
    group->addButton(UaktualnijRadio);
    auto *existingLayout = new QVBoxLayout(existing);
    existingLayout->addWidget(PominRadio);
    existingLayout->addWidget(UaktualnijRadio);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    AnulujButton = new QPushButton(QStringLiteral("Anuluj"), this);
    AnulujButton->setObjectName(QStringLiteral("AnulujButton"));
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(OKButton, QDialogButtonBox::AcceptRole);
    buttons->addButton(AnulujButton, QDialogButtonBox::RejectRole);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(AnulujButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(PodgladTable, &QTableWidget::itemChanged, this, &TFImportListy::updateCount);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(InfoLabel);
    layout->addWidget(columnsLabel);
    layout->addWidget(scroll);
    auto *tableHead = new QHBoxLayout;
    tableHead->addWidget(tableLabel);
    tableHead->addStretch();
    tableHead->addWidget(m_countLabel);
    layout->addLayout(tableHead);
    layout->addWidget(PodgladTable, 1);
    layout->addWidget(existing);
    layout->addWidget(buttons);
    resize(1180, 640);
}

void TFImportListy::setList(const structPupilListTable &table, const QStringList &classTables,
                            const QString &fileName) {
    m_table = table;
    m_classTables = classTables;
    m_fileName = fileName;
    qDeleteAll(m_combos);
    m_combos.clear();
    auto *grid = static_cast<QGridLayout *>(m_comboArea->layout());
    while (QLayoutItem *item = grid->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const QList<ListColumn> matched = listColumnsFromHeader(table.header);
    QWidget *previous = nullptr;
    for (int i = 0; i < table.header.size(); ++i) {
        auto *label = new QLabel(table.header[i], m_comboArea);
        auto *combo = new QComboBox(m_comboArea);
        combo->setObjectName(QStringLiteral("KolumnaCombo%1").arg(i + 1));
        combo->setAccessibleName(
            QString::fromUtf8("Kolumna %1 „%2” zawiera").arg(i + 1).arg(table.header[i]));
        for (ListColumn c : kListColumns)
            combo->addItem(strFunListColumnLabel(c), int(c));
        combo->setCurrentIndex(combo->findData(int(matched.value(i))));
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { rebuild(); });
        label->setBuddy(combo);
        grid->addWidget(label, 0, i);
        grid->addWidget(combo, 1, i);
        m_combos << combo;
        if (previous)
            setTabOrder(previous, combo);
        previous = combo;
    }
    if (!m_combos.isEmpty()) {
        // "Kolumny pliku" leads to the first choice.
        m_columnsLabel->setBuddy(m_combos.first());
        setTabOrder(previous, PodgladTable);
    }
    setTabOrder(PodgladTable, PominRadio);
    setTabOrder(PominRadio, UaktualnijRadio);
    setTabOrder(UaktualnijRadio, OKButton);
    setTabOrder(OKButton, AnulujButton);
    InfoLabel->setText(QString::fromUtf8("Plik: %1 (kodowanie %2, separator: %3). Wybierz, co "
                                         "zawiera każda kolumna, i zaznacz uczniów do "
                                         "wczytania. Wiersze z błędnym lub brakującym "
                                         "numerem PESEL wczytane zostaną tylko po "
                                         "zaznaczeniu.")
                           .arg(QFileInfo(fileName).fileName(),
                                table.cp1250  ? QStringLiteral("Windows-1250")
                                : table.utf16 ? QStringLiteral("UTF-16")
                                              : QStringLiteral("UTF-8"),
                                separatorName(table.separator)));
    rebuild();
    PodgladTable->setFocus();
}

QList<ListColumn> TFImportListy::columns() const {
    QList<ListColumn> out;
    for (QComboBox *c : m_combos)
        out << ListColumn(c->currentData().toInt());
    return out;
}

void TFImportListy::rebuild() {
    m_pupils = pupilsFromList(m_table, columns(), m_classTables);
    const QSignalBlocker block(PodgladTable);
    const int fileColumns = int(m_table.header.size());
    const int columnCount = kFirstFileColumn + fileColumns;
    PodgladTable->clear();
    PodgladTable->setColumnCount(columnCount);
    PodgladTable->setRowCount(int(m_pupils.size()));
    QStringList heads{QString::fromUtf8("Wczytaj (wiersz)"), QStringLiteral("Uwagi")};
    const QList<ListColumn> cols = columns();
    for (int c = 0; c < fileColumns; ++c) {
        const QString target = strFunListColumnLabel(cols.value(c));
        const bool plain = cols.value(c) == ListColumn::Ignored ||
                           m_table.header[c].trimmed().compare(target, Qt::CaseInsensitive) == 0;
        heads << (plain ? m_table.header[c]
                        : m_table.header[c] + QString::fromUtf8(" → ") + target);
    }
    PodgladTable->setHorizontalHeaderLabels(heads);
    for (int r = 0; r < m_pupils.size(); ++r) {
        const structListPupil &p = m_pupils[r];
        auto *tick = new QTableWidgetItem;
        tick->setFlags(p.importable
                           ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable
                           : Qt::ItemIsSelectable);
        tick->setCheckState(p.tickedAtFirst() ? Qt::Checked : Qt::Unchecked);
        tick->setText(QString::number(p.line));
        tick->setToolTip(QString::fromUtf8("wiersz %1 pliku").arg(p.line));
        PodgladTable->setItem(r, kTickColumn, tick);
        const QStringList &row = m_table.rows.value(r);
        for (int c = 0; c < fileColumns; ++c) {
            auto *cell = new QTableWidgetItem(row.value(c));
            cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            PodgladTable->setItem(r, kFirstFileColumn + c, cell);
        }
        auto *notes = new QTableWidgetItem(p.notes.join(QStringLiteral("; ")));
        notes->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        notes->setToolTip(notes->text());
        PodgladTable->setItem(r, kNotesColumn, notes);
        // Rows that need her eye stand out: red cannot come in, yellow only
        // when ticked.
        const QColor mark = !p.importable ? QColor(0xf6, 0xd0, 0xcc)
                            : p.doubtful  ? QColor(0xfb, 0xee, 0xb8)
                                          : QColor();
        if (mark.isValid())
            for (int c = 0; c < columnCount; ++c)
                PodgladTable->item(r, c)->setBackground(mark);
    }
    PodgladTable->resizeColumnsToContents();
    // Long notes wrap in a column of their own width; the whole text is the tip.
    PodgladTable->setColumnWidth(kNotesColumn,
                                 qBound(120, PodgladTable->columnWidth(kNotesColumn), 340));
    PodgladTable->resizeRowsToContents();
    PodgladTable->horizontalHeader()->setStretchLastSection(true);
    if (PodgladTable->rowCount() > 0)
        PodgladTable->setCurrentCell(0, kTickColumn);
    updateCount();
}

bool TFImportListy::isTicked(int row) const {
    const QTableWidgetItem *item = PodgladTable->item(row, kTickColumn);
    return item && (item->flags() & Qt::ItemIsUserCheckable) && item->checkState() == Qt::Checked;
}

void TFImportListy::setTicked(int row, bool on) {
    QTableWidgetItem *item = PodgladTable->item(row, kTickColumn);
    if (item && (item->flags() & Qt::ItemIsUserCheckable))
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

QList<structListPupil> TFImportListy::chosenPupils() const {
    QList<structListPupil> out;
    for (int r = 0; r < m_pupils.size(); ++r) {
        if (isTicked(r))
            out << m_pupils[r];
    }
    return out;
}

bool TFImportListy::updateExisting() const {
    return UaktualnijRadio->isChecked();
}

void TFImportListy::updateCount() {
    int ticked = 0;
    for (int r = 0; r < m_pupils.size(); ++r)
        ticked += isTicked(r);
    m_countLabel->setText(
        QString::fromUtf8("zaznaczonych: %1 z %2").arg(ticked).arg(m_pupils.size()));
    OKButton->setEnabled(ticked > 0);
}

bool TFImportListy::eventFilter(QObject *watched, QEvent *event) {
    // Space ticks the current row from whichever of its cells is current.
    if (watched == PodgladTable && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space) {
        const int row = PodgladTable->currentRow();
        if (row >= 0)
            setTicked(row, !isTicked(row));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
