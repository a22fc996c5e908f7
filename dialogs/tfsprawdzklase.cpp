#include "dialogs/tfsprawdzklase.h"

#include "dialogs/tfpomoc.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const char *const kHelpClassCheck = "sprawdzanie";

// "MEN-I/1/2 świad. klasa 1" over two lines: the form, then the rest.
QString columnTitle(const DocumentInfo &doc) {
    QString label = doc.labelText();
    const int space = label.indexOf(QLatin1Char(' '));
    if (space > 0 && label.startsWith(QLatin1String("MEN")))
        label[space] = QLatin1Char('\n');
    return label;
}

} // namespace

TFSprawdzKlase::TFSprawdzKlase(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFSprawdzKlase"));
    setWindowTitle(QString::fromUtf8("Sprawdź klasę"));
    setModal(true);
    vFunHelpOnF1(this, QString::fromLatin1(kHelpClassCheck));

    for (const DocumentInfo *doc : treeRows())
        if (doc)
            m_columns << doc;
    KlasaTable = new QTableWidget(0, int(m_columns.size()), this);
    KlasaTable->setObjectName(QStringLiteral("KlasaTable"));
    KlasaTable->setAccessibleName(QString::fromUtf8("Uczniowie i stan ich dokumentów"));
    QStringList titles;
    for (const DocumentInfo *doc : m_columns)
        titles << columnTitle(*doc);
    KlasaTable->setHorizontalHeaderLabels(titles);
    KlasaTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    KlasaTable->setSelectionMode(QAbstractItemView::SingleSelection);
    KlasaTable->setTabKeyNavigation(false);
    KlasaTable->setWordWrap(true);
    KlasaTable->setMinimumSize(900, 360);
    KlasaTable->installEventFilter(this);
    auto *tableLabel = new QLabel(
        QString::fromUtf8("&Uczniowie × dokumenty (Enter albo podwójne kliknięcie otwiera "
                          "dokument):"),
        this);
    tableLabel->setBuddy(KlasaTable);

    UwagiLabel = new QLabel(this);
    UwagiLabel->setObjectName(QStringLiteral("UwagiLabel"));
    UwagiLabel->setWordWrap(true);
    UwagiLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    UwagiLabel->setMinimumHeight(70);
    UwagiLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    UwagiLabel->setFrameShape(QFrame::StyledPanel);
    PodsumowanieLabel = new QLabel(this);
    PodsumowanieLabel->setObjectName(QStringLiteral("PodsumowanieLabel"));

    EdytujButton = new QPushButton(QStringLiteral("&Edytuj dokument"), this);
    EdytujButton->setObjectName(QStringLiteral("EdytujButton"));
    EdytujButton->setAutoDefault(false);
    ZamknijButton = new QPushButton(QStringLiteral("Zamknij"), this);
    ZamknijButton->setObjectName(QStringLiteral("ZamknijButton"));
    ZamknijButton->setAutoDefault(false);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(EdytujButton, QDialogButtonBox::ActionRole);
    buttons->addButton(ZamknijButton, QDialogButtonBox::RejectRole);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tableLabel);
    layout->addWidget(KlasaTable, 1);
    layout->addWidget(UwagiLabel);
    layout->addWidget(PodsumowanieLabel);
    layout->addWidget(buttons);
    resize(1250, 640);

    connect(KlasaTable, &QTableWidget::currentCellChanged, this, &TFSprawdzKlase::showCurrent);
    connect(KlasaTable, &QTableWidget::cellDoubleClicked, this, &TFSprawdzKlase::openCurrent);
    connect(EdytujButton, &QPushButton::clicked, this, &TFSprawdzKlase::openCurrent);
    connect(ZamknijButton, &QPushButton::clicked, this, &QDialog::reject);
}

QString TFSprawdzKlase::cellText(const structCheckCell &cell) {
    switch (cell.state) {
    case DocumentState::NotStarted:
        return QString::fromUtf8("nie rozpoczęty");
    case DocumentState::Filled:
        return QString::fromUtf8("wypełniony");
    case DocumentState::PrintsWrong:
        break;
    }
    QStringList what;
    for (const structPrintFinding &f : cell.findings) {
        const QString name = f.field.isEmpty() ? f.problem : f.field;
        if (!what.contains(name))
            what << name;
    }
    return QString::fromUtf8("do poprawy: ") + what.join(QStringLiteral(", "));
}

void TFSprawdzKlase::setRows(const QList<structCheckRow> &rows) {
    const int row = KlasaTable->currentRow();
    const int column = KlasaTable->currentColumn();
    m_rows = rows;
    KlasaTable->clearSpans();
    KlasaTable->setRowCount(int(rows.size()));
    QStringList names;
    int started = 0, filled = 0, wrong = 0, unreadable = 0;
    for (int r = 0; r < rows.size(); ++r) {
        const structCheckRow &p = rows[r];
        names << p.pupil.name.trimmed();
        if (!p.unreadable.isEmpty()) {
            ++unreadable;
            auto *item = new QTableWidgetItem(
                QString::fromUtf8("nie można odczytać danych ucznia: ") + p.unreadable);
            item->setForeground(QColor(0xa0, 0, 0));
            KlasaTable->setItem(r, 0, item);
            for (int c = 1; c < m_columns.size(); ++c)
                KlasaTable->setItem(r, c, new QTableWidgetItem);
            KlasaTable->setSpan(r, 0, 1, int(m_columns.size()));
            continue;
        }
        for (int c = 0; c < p.cells.size() && c < m_columns.size(); ++c) {
            const structCheckCell &cell = p.cells[c];
            auto *item = new QTableWidgetItem(cellText(cell));
            QStringList said;
            for (const structPrintFinding &f : cell.findings)
                said << (f.field.isEmpty() ? QString() : f.field + QStringLiteral(": ")) +
                            f.problem;
            item->setToolTip(said.join(QLatin1Char('\n')));
            item->setData(Qt::AccessibleTextRole, p.pupil.name.trimmed() + QStringLiteral(", ") +
                                                      cell.document->labelText() +
                                                      QStringLiteral(": ") + cellText(cell));
            switch (cell.state) {
            case DocumentState::NotStarted:
                item->setForeground(QColor(0x70, 0x70, 0x70));
                break;
            case DocumentState::Filled:
                ++started;
                ++filled;
                item->setBackground(QColor(0xdc, 0xf2, 0xdc));
                break;
            case DocumentState::PrintsWrong:
                ++started;
                ++wrong;
                item->setBackground(QColor(0xfb, 0xdc, 0xc8));
                break;
            }
            KlasaTable->setItem(r, c, item);
        }
    }
    KlasaTable->setVerticalHeaderLabels(names);
    KlasaTable->resizeColumnsToContents();
    for (int c = 0; c < KlasaTable->columnCount(); ++c)
        KlasaTable->setColumnWidth(c, qMin(KlasaTable->columnWidth(c), 190));
    KlasaTable->resizeRowsToContents();
    QString summary = QString::fromUtf8("Rozpoczętych dokumentów: %1, wypełnionych poprawnie: "
                                        "%2, do poprawy: %3.")
                          .arg(started)
                          .arg(filled)
                          .arg(wrong);
    if (unreadable)
        summary += QString::fromUtf8(" Uczniów, których nie można odczytać: %1.").arg(unreadable);
    PodsumowanieLabel->setText(summary);
    if (!rows.isEmpty())
        KlasaTable->setCurrentCell(qBound(0, row, int(rows.size()) - 1),
                                   qBound(0, column, int(m_columns.size()) - 1));
    showCurrent();
}

const structCheckCell *TFSprawdzKlase::currentCell(const structCheckRow **row) const {
    const int r = KlasaTable->currentRow();
    const int c = KlasaTable->currentColumn();
    if (r < 0 || r >= m_rows.size() || c < 0 || c >= m_rows[r].cells.size())
        return nullptr;
    if (row)
        *row = &m_rows[r];
    return &m_rows[r].cells[c];
}

void TFSprawdzKlase::showCurrent() {
    const structCheckRow *row = nullptr;
    const structCheckCell *cell = currentCell(&row);
    EdytujButton->setEnabled(cell != nullptr);
    if (!cell) {
        UwagiLabel->clear();
        return;
    }
    QString text = row->pupil.name.trimmed() + QString::fromUtf8(" – ") +
                   cell->document->labelText() + QStringLiteral(": ");
    if (cell->state != DocumentState::PrintsWrong) {
        text += cellText(*cell) + QLatin1Char('.');
    } else {
        text += QString::fromUtf8("na druku wyszłoby źle:");
        for (const structPrintFinding &f : cell->findings)
            text += QString::fromUtf8("\n• ") +
                    (f.field.isEmpty() ? QString() : f.field + QStringLiteral(": ")) + f.problem;
    }
    UwagiLabel->setText(text);
}

void TFSprawdzKlase::openCurrent() {
    const structCheckRow *row = nullptr;
    const structCheckCell *cell = currentCell(&row);
    if (!cell || !openCell)
        return;
    QString field;
    for (const structPrintFinding &f : cell->findings)
        if (!f.component.isEmpty()) {
            field = f.component;
            break;
        }
    const QString table = row->pupil.table;
    const DocumentInfo &doc = *cell->document;
    openCell(table, doc, field);
    if (recheck)
        setRows(recheck());
    KlasaTable->setFocus();
}

bool TFSprawdzKlase::eventFilter(QObject *watched, QEvent *event) {
    if (watched == KlasaTable && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openCurrent();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
