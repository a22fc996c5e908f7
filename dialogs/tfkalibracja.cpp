#include "dialogs/tfkalibracja.h"

#include "dialogs/buttonicons.h"
#include "dialogs/tfpomoc.h"
#include "document/prompts.h"
#include "document/samples.h"
#include "printing/calibstore.h"
#include "printing/printengine.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QLineEdit *numberEdit(QWidget *parent, const char *name, const QString &what) {
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setAlignment(Qt::AlignRight);
    e->setMaximumWidth(70);
    e->setAccessibleName(what);
    return e;
}

QToolButton *speedButton(QWidget *parent, const char *name, ButtonPicture picture,
                         const QString &what) {
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(buttonIcon(picture, parent->palette().color(QPalette::ButtonText)));
    b->setIconSize(QSize(20, 20));
    b->setToolTip(what);
    b->setAccessibleName(what);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setAutoRepeat(true);
    return b;
}

QCheckBox *checkBox(QWidget *parent, const char *name, const QString &caption) {
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(QString::fromLatin1(name));
    return c;
}

QLabel *label(QWidget *parent, const QString &caption, QWidget *buddy) {
    auto *l = new QLabel(caption, parent);
    l->setBuddy(buddy);
    return l;
}

} // namespace

TFKalibracja::TFKalibracja(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFKalibracja"));
    setModal(true);
    vFunHelpOnF1(this, QString::fromLatin1(kHelpFitting));
    // No title-bar buttons: "Zamknij" (or Escape) closes it.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    TypSwiadectwaComboBox = new QComboBox(this);
    TypSwiadectwaComboBox->setObjectName(QStringLiteral("TypSwiadectwaComboBox"));
    VariableComboBox = new QComboBox(this);
    VariableComboBox->setObjectName(QStringLiteral("VariableComboBox"));
    VariableComboBox->setMinimumWidth(330);
    VariableComboBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    X1Edit = numberEdit(this, "X1Edit", QStringLiteral("X1"));
    Y1Edit = numberEdit(this, "Y1Edit", QStringLiteral("Y1"));
    X2Edit = numberEdit(this, "X2Edit", QStringLiteral("X2"));
    Y2Edit = numberEdit(this, "Y2Edit", QStringLiteral("Y2"));
    LeftSpeedButton = speedButton(this, "LeftSpeedButton", ButtonPicture::Left,
                                  QString::fromUtf8("W lewo o 1 jednostkę"));
    RightSpeedButton = speedButton(this, "RightSpeedButton", ButtonPicture::Right,
                                   QString::fromUtf8("W prawo o 1 jednostkę"));
    UpSpeedButton = speedButton(this, "UpSpeedButton", ButtonPicture::Up,
                                QString::fromUtf8("W górę o 1 jednostkę"));
    DownSpeedButton = speedButton(this, "DownSpeedButton", ButtonPicture::Down,
                                  QString::fromUtf8("W dół o 1 jednostkę"));
    auto *position = new QGroupBox(QString::fromUtf8(" Współrzędne położenia obiektu "), this);
    auto *pos = new QGridLayout(position);
    pos->addWidget(label(this, QStringLiteral("X1"), X1Edit), 0, 0);
    pos->addWidget(X1Edit, 0, 1);
    pos->addWidget(label(this, QStringLiteral("Y1"), Y1Edit), 0, 2);
    pos->addWidget(Y1Edit, 0, 3);
    pos->addWidget(label(this, QStringLiteral("X2"), X2Edit), 1, 0);
    pos->addWidget(X2Edit, 1, 1);
    pos->addWidget(label(this, QStringLiteral("Y2"), Y2Edit), 1, 2);
    pos->addWidget(Y2Edit, 1, 3);
    auto *across = new QHBoxLayout;
    across->addWidget(new QLabel(QStringLiteral("Pozycja ( prawo/lewo )"), this), 1);
    across->addWidget(LeftSpeedButton);
    across->addWidget(RightSpeedButton);
    auto *upDown = new QHBoxLayout;
    upDown->addWidget(new QLabel(QString::fromUtf8("Pozycja ( góra/dół )"), this), 1);
    upDown->addWidget(UpSpeedButton);
    upDown->addWidget(DownSpeedButton);
    pos->addLayout(across, 2, 0, 1, 4);
    pos->addLayout(upDown, 3, 0, 1, 4);

    FontSizeEdit = numberEdit(this, "FontSizeEdit", QStringLiteral("Rozmiar czcionki"));
    FontSizeEdit->setReadOnly(true);
    UpFontSizeSpeedButton = speedButton(this, "UpFontSizeSpeedButton", ButtonPicture::Up,
                                        QString::fromUtf8("Czcionka większa o 1 punkt"));
    DownFontSizeSpeedButton = speedButton(this, "DownFontSizeSpeedButton", ButtonPicture::Down,
                                          QString::fromUtf8("Czcionka mniejsza o 1 punkt"));
    FontsNameComboBox = new QComboBox(this);
    FontsNameComboBox->setObjectName(QStringLiteral("FontsNameComboBox"));
    // A face that is not installed may be typed; it is stored as typed.
    FontsNameComboBox->setEditable(true);
    FontsNameComboBox->setInsertPolicy(QComboBox::NoInsert);
    AdjustmentComboBox = new QComboBox(this);
    AdjustmentComboBox->setObjectName(QStringLiteral("AdjustmentComboBox"));
    AdjustmentComboBox->addItems({QStringLiteral("DO LEWEJ"), QString::fromUtf8("DO ŚRODKA"),
                                  QStringLiteral("DO PRAWEJ"), QStringLiteral("JUSTYFIKACJA")});
    PogrubienieCheckBox = checkBox(this, "PogrubienieCheckBox", QStringLiteral("Pogrubienie"));
    KursywaCheckBox = checkBox(this, "KursywaCheckBox", QStringLiteral("Kursywa"));
    PodkreslenieCheckBox =
        checkBox(this, "PodkreslenieCheckBox", QString::fromUtf8("Podkreślenie"));
    PrzekreslenieCheckBox =
        checkBox(this, "PrzekreslenieCheckBox", QString::fromUtf8("Przekreślenie"));
    auto *fontBox = new QGroupBox(QStringLiteral(" Ustawienia czcionki "), this);
    auto *font = new QGridLayout(fontBox);
    auto *size = new QHBoxLayout;
    size->addWidget(FontSizeEdit);
    size->addWidget(UpFontSizeSpeedButton);
    size->addWidget(DownFontSizeSpeedButton);
    size->addStretch();
    font->addWidget(label(this, QStringLiteral("Rozmiar czcionki:"), FontSizeEdit), 0, 0);
    font->addLayout(size, 0, 1);
    font->addWidget(label(this, QStringLiteral("Nazwa czcionki:"), FontsNameComboBox), 1, 0);
    font->addWidget(FontsNameComboBox, 1, 1);
    font->addWidget(label(this, QString::fromUtf8("Wyrównanie:"), AdjustmentComboBox), 2, 0);
    font->addWidget(AdjustmentComboBox, 2, 1);
    auto *styles = new QGridLayout;
    styles->addWidget(PogrubienieCheckBox, 0, 0);
    styles->addWidget(KursywaCheckBox, 0, 1);
    styles->addWidget(PodkreslenieCheckBox, 1, 0);
    styles->addWidget(PrzekreslenieCheckBox, 1, 1);
    font->addLayout(styles, 3, 0, 1, 2);

    SaveButton = new QPushButton(QStringLiteral("Zastosuj"), this);
    SaveButton->setObjectName(QStringLiteral("SaveButton"));
    SaveButton->setDefault(true);
    PrzywrocUstawieniaButton =
        new QPushButton(QString::fromUtf8("Przywróć oryginalne ustawienia fomatowania"), this);
    PrzywrocUstawieniaButton->setObjectName(QStringLiteral("PrzywrocUstawieniaButton"));
    QFont bold = PrzywrocUstawieniaButton->font();
    bold.setBold(true);
    PrzywrocUstawieniaButton->setFont(bold);
    CloseButton = new QPushButton(QStringLiteral("Zamknij"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    // Return always applies; Escape closes.
    PrzywrocUstawieniaButton->setAutoDefault(false);
    CloseButton->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label(this, QString::fromUtf8("Typ świadectwa:"), TypSwiadectwaComboBox));
    layout->addWidget(TypSwiadectwaComboBox);
    layout->addWidget(label(this, QString::fromUtf8("Obiekt na świadectwie:"), VariableComboBox));
    layout->addWidget(VariableComboBox);
    layout->addWidget(position);
    layout->addWidget(fontBox);
    layout->addWidget(SaveButton);
    layout->addWidget(PrzywrocUstawieniaButton);
    layout->addWidget(CloseButton);

    X1Edit->installEventFilter(this);
    connect(TypSwiadectwaComboBox, &QComboBox::currentIndexChanged, this,
            &TFKalibracja::TypSwiadectwaComboBoxChange);
    connect(VariableComboBox, &QComboBox::currentIndexChanged, this,
            &TFKalibracja::VariableComboBoxChange);
    connect(LeftSpeedButton, &QToolButton::clicked, this, &TFKalibracja::LeftSpeedButtonClick);
    connect(RightSpeedButton, &QToolButton::clicked, this, &TFKalibracja::RightSpeedButtonClick);
    connect(UpSpeedButton, &QToolButton::clicked, this, &TFKalibracja::UpSpeedButtonClick);
    connect(DownSpeedButton, &QToolButton::clicked, this, &TFKalibracja::DownSpeedButtonClick);
    connect(UpFontSizeSpeedButton, &QToolButton::clicked, this,
            &TFKalibracja::UpFontSizeSpeedButtonClick);
    connect(DownFontSizeSpeedButton, &QToolButton::clicked, this,
            &TFKalibracja::DownFontSizeSpeedButtnClick);
    connect(SaveButton, &QPushButton::clicked, this, &TFKalibracja::SaveButtonClick);
    connect(PrzywrocUstawieniaButton, &QPushButton::clicked, this,
            &TFKalibracja::PrzywrocUstawieniaButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &TFKalibracja::CloseButtonClick);
    setMode(Mode::Basic);
}

void TFKalibracja::setMode(Mode mode) {
    m_mode = mode;
    setWindowTitle(mode == Mode::Basic ? QStringLiteral("Formatowanie podstawowe")
                                       : QStringLiteral("Formatowanie zaawansowane"));
}

TFKalibracja::LayoutDocument TFKalibracja::layoutDocument(const QString &table) {
    for (const DocumentInfo &doc : documentTable()) {
        if (doc.kind == DocumentKind::PupilData || !bFunHasSampleTexts(doc) ||
            (table != QLatin1String(doc.calibTable) &&
             table != QLatin1String(doc.calibTableNoDots)))
            continue;
        LayoutDocument out{&doc, std::nullopt};
        // The engine picks a certificate's table by the option; the report
        // is shown with it off.
        if (doc.isCertificate())
            out.withoutDots = table == QLatin1String(doc.calibTableNoDots);
        else if (doc.kind == DocumentKind::Report)
            out.withoutDots = false;
        return out;
    }
    return {};
}

void TFKalibracja::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        m_engine.ctx.calibrating = true;
        FormShow();
    }
}

void TFKalibracja::FormShow() {
    {
        const QSignalBlocker block(FontsNameComboBox);
        FontsNameComboBox->clear();
        FontsNameComboBox->addItems(QFontDatabase::families());
    }
    QStringList tables;
    QString msg;
    bFunCalibLoadCertList(msg, tables); // a failure leaves the list empty
    {
        const QSignalBlocker block(TypSwiadectwaComboBox);
        TypSwiadectwaComboBox->clear();
        TypSwiadectwaComboBox->addItems(tables);
        TypSwiadectwaComboBox->setCurrentIndex(tables.isEmpty() ? -1 : 0);
    }
    TypSwiadectwaComboBoxChange();
    X1Edit->setFocus();
}

bool TFKalibracja::loadLayout() {
    if (CalibrationStore::inProgramFolder().load(m_msg, TypSwiadectwaComboBox->currentText(),
                                                 m_rows))
        return true;
    showMessage(this, QStringLiteral("Błąd"),
                QString::fromUtf8("Błąd podczas próby wczytania zmiennych kalibracji.\n\n") + m_msg,
                Prompts::Icon::Error);
    return false;
}

void TFKalibracja::TypSwiadectwaComboBoxChange() {
    if (!loadLayout())
        return;
    {
        const QSignalBlocker block(VariableComboBox);
        VariableComboBox->clear();
        for (const structCalibData &row : m_rows) {
            if (m_mode == Mode::Advanced || row.name.contains(QLatin1String("ZMIENNA")))
                VariableComboBox->addItem(row.name);
        }
        VariableComboBox->setCurrentIndex(VariableComboBox->count() > 0 ? 0 : -1);
    }
    VariableComboBoxChange();
}

void TFKalibracja::VariableComboBoxChange() {
    const QString chosen = VariableComboBox->currentText();
    for (const structCalibData &row : m_rows) {
        if (row.name != chosen)
            continue;
        X1Edit->setText(QString::number(row.x1));
        Y1Edit->setText(QString::number(row.y1));
        X2Edit->setText(QString::number(row.x2));
        Y2Edit->setText(QString::number(row.y2));
        FontSizeEdit->setText(QString::number(row.font_size));
        FontsNameComboBox->setCurrentText(row.font_name);
        AdjustmentComboBox->setCurrentIndex(
            row.font_align >= 0 && row.font_align <= 3 ? row.font_align : -1);
        PogrubienieCheckBox->setChecked(row.font_style_bold != 0);
        KursywaCheckBox->setChecked(row.font_style_italic != 0);
        PodkreslenieCheckBox->setChecked(row.font_style_underline != 0);
        PrzekreslenieCheckBox->setChecked(row.font_style_strike != 0);
        break;
    }
    render();
}

void TFKalibracja::render() {
    const LayoutDocument layout = layoutDocument(TypSwiadectwaComboBox->currentText());
    if (!layout.doc)
        return;
    if (layout.withoutDots) {
        // As the teacher's click would: saved, and the main window's own
        // preview follows, before the samples are drawn over it.
        if (setWithoutDots)
            setWithoutDots(*layout.withoutDots);
        m_engine.ctx.printWithoutDots = *layout.withoutDots;
    }
    m_engine.ctx.calibrating = true;
    m_engine.ctx.selectedObject = VariableComboBox->currentText();
    m_engine.vFunRenderDocument(sampleFieldSource(*layout.doc), *layout.doc, false);
}

bool TFKalibracja::readNumber(QLineEdit *edit, int &value) {
    bool ok = false;
    value = edit->text().trimmed().toInt(&ok);
    if (ok)
        return true;
    showMessage(this, QStringLiteral("Błąd"),
                QString::fromUtf8("Pole „%1” musi zawierać liczbę całkowitą, np. 120, a zawiera "
                                  "„%2”.\nPopraw tę wartość; nic nie zostało zapisane.")
                    .arg(edit->accessibleName(), edit->text()),
                Prompts::Icon::Warning);
    edit->setFocus();
    edit->selectAll();
    return false;
}

bool TFKalibracja::shift(QLineEdit *first, QLineEdit *second, int by) {
    int a = 0, b = 0;
    if (!readNumber(first, a) || (second && !readNumber(second, b)))
        return false;
    first->setText(QString::number(a + by));
    if (second)
        second->setText(QString::number(b + by));
    return true;
}

void TFKalibracja::LeftSpeedButtonClick() {
    shift(X1Edit, X2Edit, -1);
}

void TFKalibracja::RightSpeedButtonClick() {
    shift(X1Edit, X2Edit, +1);
}

void TFKalibracja::UpSpeedButtonClick() {
    shift(Y1Edit, Y2Edit, -1);
}

void TFKalibracja::DownSpeedButtonClick() {
    shift(Y1Edit, Y2Edit, +1);
}

void TFKalibracja::UpFontSizeSpeedButtonClick() {
    shift(FontSizeEdit, nullptr, +1);
}

void TFKalibracja::DownFontSizeSpeedButtnClick() {
    shift(FontSizeEdit, nullptr, -1);
}

bool TFKalibracja::eventFilter(QObject *watched, QEvent *event) {
    if (watched == X1Edit && event->type() == QEvent::KeyPress) {
        // With the cursor in X1, each arrow moves the object by one unit
        // and shows it at once.
        const auto *key = static_cast<QKeyEvent *>(event);
        QLineEdit *first = nullptr, *second = nullptr;
        int by = 0;
        switch (key->key()) {
        case Qt::Key_Left:
            first = X1Edit, second = X2Edit, by = -1;
            break;
        case Qt::Key_Right:
            first = X1Edit, second = X2Edit, by = +1;
            break;
        case Qt::Key_Up:
            first = Y1Edit, second = Y2Edit, by = -1;
            break;
        case Qt::Key_Down:
            first = Y1Edit, second = Y2Edit, by = +1;
            break;
        default:
            return QDialog::eventFilter(watched, event);
        }
        if (key->modifiers() & ~Qt::KeypadModifier)
            return QDialog::eventFilter(watched, event);
        if (shift(first, second, by)) {
            SaveButtonClick();
            X1Edit->setFocus();
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFKalibracja::SaveButtonClick() {
    const QString name = VariableComboBox->currentText();
    if (name.isEmpty())
        return;
    structCalibData row;
    row.name = name;
    if (!readNumber(X1Edit, row.x1) || !readNumber(Y1Edit, row.y1) || !readNumber(X2Edit, row.x2) ||
        !readNumber(Y2Edit, row.y2) || !readNumber(FontSizeEdit, row.font_size))
        return;
    row.font_name = FontsNameComboBox->currentText().left(99);
    row.font_align = AdjustmentComboBox->currentIndex();
    row.font_style_bold = PogrubienieCheckBox->isChecked() ? 1 : 0;
    row.font_style_italic = KursywaCheckBox->isChecked() ? 1 : 0;
    row.font_style_underline = PodkreslenieCheckBox->isChecked() ? 1 : 0;
    row.font_style_strike = PrzekreslenieCheckBox->isChecked() ? 1 : 0;
    if (!CalibrationStore::inProgramFolder().update(m_msg, TypSwiadectwaComboBox->currentText(),
                                                    row))
        showMessage(this, QStringLiteral("Błąd"),
                    QString::fromUtf8("Błąd podczas próby zapisania danych kalibracji.\n\n") +
                        m_msg,
                    Prompts::Icon::Error);
    // The fields show the row as the file now holds it.
    if (!loadLayout())
        return;
    {
        const QSignalBlocker block(VariableComboBox);
        VariableComboBox->setCurrentIndex(VariableComboBox->findText(name, Qt::MatchExactly));
    }
    VariableComboBoxChange();
}

void TFKalibracja::PrzywrocUstawieniaButtonClick() {
    if (askYesNoDestructive(this, QStringLiteral("Przywracanie"),
                            QString::fromUtf8("Czy na pewno chcesz przywrócić oryginalne "
                                              "ustawienia ?"),
                            Prompts::Icon::None)) {
        QString msg;
        // The teacher is told: a silent failure would read as restored.
        if (!CalibrationStore::inProgramFolder().restoreOriginal(msg))
            showMessage(this, QStringLiteral("Błąd"),
                        msg + QString::fromUtf8("\n\nUstawienia formatowania nie zostały "
                                                "zmienione. Zainstaluj program ponownie, aby "
                                                "odzyskać oryginalny plik."),
                        Prompts::Icon::Error);
    }
    TypSwiadectwaComboBoxChange();
}

void TFKalibracja::CloseButtonClick() {
    reject();
}

void TFKalibracja::done(int result) {
    FormClose();
    m_engine.ctx.calibrating = false;
    m_engine.ctx.selectedObject.clear();
    QDialog::done(result);
}

void TFKalibracja::FormClose() {
    for (QImage *image : {&m_engine.image1, &m_engine.image2}) {
        if (image->isNull())
            continue;
        QPainter p(image);
        p.fillRect(image->rect(), Qt::white);
        p.setPen(Qt::black);
        p.drawRect(image->rect().adjusted(0, 0, -1, -1));
    }
    if (m_engine.showPreview)
        m_engine.showPreview(m_engine.image1, m_engine.image2, m_engine.sides == 2);
}
