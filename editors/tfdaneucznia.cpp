#include "editors/tfdaneucznia.h"

#include "document/pesel.h"
#include "document/prompts.h"
#include "editors/binding.h"
#include "editors/fields.h"
#include "storage/namelists.h"
#include "storage/paths.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

const QString kBoy = QStringLiteral("mężczyzna");
const QString kGirl = QStringLiteral("kobieta");

struct Field {
    const char *name;
    const char *label;
    int maxLength; // 0: none
};

// Tab order, top to bottom.
const Field kFields[] = {
    {"Nazwisko_DATA_EDIT", "nazwisko", 48},
    {"Imie_DATA_EDIT", "imię", 48},
    {"Plec_DATA_COMBOBOX", "płeć", 0},
    {"UrodzonyDnia_DATA_EDIT", "urodzony dnia", 46},
    {"UrodzonyRok_DATA_COMBOBOX", "urodzony w roku", 0},
    {"UrodzonyMiasto_DATA_COMBOBOX", "urodzony w (miasto)", 0},
    {"UrodzonyWoj_DATA_COMBOBOX", "urodzony (województwo)", 0},
    {"NrDziennika_DATA_EDIT", "nr ucznia na świadectwie", 48},
    {"Pesel_DATA_EDIT", "numer PESEL", 11},
};

// Component (and record) order.
const char *const kComponentOrder[] = {
    "Imie_DATA_EDIT",
    "UrodzonyDnia_DATA_EDIT",
    "Plec_DATA_COMBOBOX",
    "UrodzonyRok_DATA_COMBOBOX",
    "UrodzonyMiasto_DATA_COMBOBOX",
    "UrodzonyWoj_DATA_COMBOBOX",
    "NrDziennika_DATA_EDIT",
    "Nazwisko_DATA_EDIT",
    "Pesel_DATA_EDIT",
};

void refill(QComboBox *box, const QStringList &names) {
    const QString text = box->currentText();
    box->clear();
    box->addItems(names);
    box->setCurrentIndex(-1);
    box->setCurrentText(text);
}

} // namespace

TFDaneUcznia::TFDaneUcznia(QWidget *parent)
    : TFEditor(QStringLiteral("TFDaneUcznia"), QStringLiteral("Dane ucznia"),
               QString::fromLatin1(kPupilDataId), parent) {
    QHash<QString, QWidget *> inputs;
    for (const char *name : kComponentOrder) {
        const QString n = QString::fromLatin1(name);
        QWidget *w = nullptr;
        if (n.endsWith(QLatin1String("_DATA_EDIT"))) {
            w = new QLineEdit(this);
        } else {
            auto *c = new QComboBox(this);
            c->setEditable(n != QLatin1String("Plec_DATA_COMBOBOX"));
            if (QLineEdit *e = c->lineEdit())
                e->setValidator(new Cp1250Validator(e));
            w = c;
        }
        w->setObjectName(n);
        w->setMinimumWidth(260);
        inputs.insert(n, w);
        addComponent(w);
    }
    combo("Plec_DATA_COMBOBOX")->addItems({kGirl, kBoy});
    combo("Plec_DATA_COMBOBOX")->setCurrentIndex(-1);
    for (int year = 1996; year <= 2003; ++year)
        combo("UrodzonyRok_DATA_COMBOBOX")->addItem(QStringLiteral("%1 r.").arg(year));
    combo("UrodzonyRok_DATA_COMBOBOX")->setCurrentIndex(-1);
    combo("UrodzonyMiasto_DATA_COMBOBOX")->setInsertPolicy(QComboBox::NoInsert);
    combo("UrodzonyWoj_DATA_COMBOBOX")->setInsertPolicy(QComboBox::NoInsert);

    auto *outer = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    QWidget *previous = nullptr;
    for (const Field &f : kFields) {
        QWidget *w = inputs.value(QString::fromLatin1(f.name));
        if (auto *e = qobject_cast<QLineEdit *>(w))
            e->setValidator(new Cp1250Validator(e, f.maxLength));
        form->addRow(QString::fromUtf8(f.label), w);
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    }
    outer->addLayout(form);
    m_peselNote = new QLabel(this);
    m_peselNote->setObjectName(QStringLiteral("PeselNote"));
    m_peselNote->setAccessibleName(QStringLiteral("Uwaga o numerze PESEL"));
    m_peselNote->setWordWrap(true);
    m_peselNote->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_peselNote->setMaximumWidth(430);
    m_peselNote->hide();
    outer->addWidget(m_peselNote);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusLabel"));
    m_status->setAccessibleName(QStringLiteral("Komunikat"));
    m_status->setWordWrap(true);
    m_status->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_status->setMaximumWidth(430);
    m_status->hide();
    outer->addWidget(m_status);
    vFunConnectFieldNotices(this, m_status);
    connect(edit("Pesel_DATA_EDIT"), &QLineEdit::textEdited, this, [this] { followPesel(true); });
    for (const char *name : {"UrodzonyDnia_DATA_EDIT"})
        connect(edit(name), &QLineEdit::textChanged, this, [this] { followPesel(false); });
    for (const char *name : {"Plec_DATA_COMBOBOX", "UrodzonyRok_DATA_COMBOBOX"})
        connect(combo(name), &QComboBox::currentTextChanged, this, [this] { followPesel(false); });
    auto *buttons = new QHBoxLayout;
    QPushButton *ok = addOkCancelButtons(this, buttons, "OKButton", "AnulujButton");
    outer->addLayout(buttons);
    setTabOrder(previous, ok);
    setTabOrder(ok, findChild<QPushButton *>(QStringLiteral("AnulujButton")));
    connect(ok, &QPushButton::clicked, this, &TFDaneUcznia::OKButtonClick);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

QLineEdit *TFDaneUcznia::edit(const char *name) const {
    return findChild<QLineEdit *>(QString::fromLatin1(name));
}
QComboBox *TFDaneUcznia::combo(const char *name) const {
    return findChild<QComboBox *>(QString::fromLatin1(name));
}

void TFDaneUcznia::setAddMode() {
    m_editMode = false;
    m_oldTable.clear();
}

void TFDaneUcznia::setEditMode(const QString &oldTable) {
    m_editMode = true;
    m_oldTable = oldTable;
}

QString TFDaneUcznia::pupilTableName() const {
    return QStringLiteral("PESEL") + pesel();
}
QString TFDaneUcznia::firstName() const {
    return edit("Imie_DATA_EDIT")->text();
}
QString TFDaneUcznia::surname() const {
    return edit("Nazwisko_DATA_EDIT")->text();
}
QString TFDaneUcznia::gender() const {
    return combo("Plec_DATA_COMBOBOX")->currentText();
}
bool TFDaneUcznia::isBoy() const {
    return gender() == kBoy;
}
QString TFDaneUcznia::birthDay() const {
    return edit("UrodzonyDnia_DATA_EDIT")->text();
}
QString TFDaneUcznia::birthYear() const {
    return combo("UrodzonyRok_DATA_COMBOBOX")->currentText();
}
QString TFDaneUcznia::birthTown() const {
    return combo("UrodzonyMiasto_DATA_COMBOBOX")->currentText();
}
QString TFDaneUcznia::certificateNumber() const {
    return edit("NrDziennika_DATA_EDIT")->text();
}
QString TFDaneUcznia::pesel() const {
    const QString typed = edit("Pesel_DATA_EDIT")->text().trimmed();
    return typed.isEmpty() ? m_placeholder : typed;
}

structPupilData TFDaneUcznia::pupilData() const {
    structPupilData p;
    p.firstName = firstName();
    p.surname = surname();
    p.gender = gender();
    p.birthDay = birthDay();
    p.birthYear = birthYear();
    p.birthTown = birthTown();
    p.certificateNumber = certificateNumber();
    p.pesel = pesel();
    return p;
}

void TFDaneUcznia::ClearFields() {
    QComboBox *kept[] = {combo("UrodzonyRok_DATA_COMBOBOX"), combo("UrodzonyMiasto_DATA_COMBOBOX"),
                         combo("UrodzonyWoj_DATA_COMBOBOX")};
    QString texts[3];
    for (int i = 0; i < 3; ++i)
        texts[i] = kept[i]->currentText();
    m_placeholder.clear();
    TFEditor::ClearFields();
    combo("Plec_DATA_COMBOBOX")->setCurrentIndex(-1);
    for (int i = 0; i < 3; ++i)
        kept[i]->setCurrentText(texts[i]);
    followPesel(false);
}

bool TFDaneUcznia::CollectFields(SqlDataList &records) const {
    const qsizetype from = records.size();
    TFEditor::CollectFields(records);
    for (qsizetype i = from; i < records.size(); ++i) {
        if (records[i].comp_name == QLatin1String("Pesel_DATA_EDIT"))
            records[i].value = pesel();
    }
    return true;
}

void TFDaneUcznia::followPesel(bool fill) {
    QLineEdit *peselEdit = edit("Pesel_DATA_EDIT");
    const QString typed = peselEdit->text().trimmed();
    if (typed.isEmpty()) {
        m_peselNote->setText(
            m_placeholder.isEmpty()
                ? QString::fromUtf8("Numer PESEL jest jeszcze potrzebny. Bez niego uczeń zostanie "
                                    "zapisany pod numerem zastępczym; wpisz go, gdy go poznasz.")
                : QString::fromUtf8("Ten uczeń nie ma jeszcze numeru PESEL (zapisany jest pod "
                                    "numerem zastępczym %1). Wpisz numer w polu „numer PESEL” "
                                    "i naciśnij OK.")
                      .arg(m_placeholder));
        m_peselNote->show();
        return;
    }
    const structPeselCheck check = peselCheck(typed);
    if (!check.valid) {
        m_peselNote->hide();
        return;
    }
    QLineEdit *day = edit("UrodzonyDnia_DATA_EDIT");
    QComboBox *year = combo("UrodzonyRok_DATA_COMBOBOX");
    QComboBox *gender = combo("Plec_DATA_COMBOBOX");
    const QString dayText = strFunBirthDayText(check.birthDate);
    const QString yearText = strFunBirthYearText(check.birthDate);
    if (fill) {
        // Only what is empty: her own entries stay as she typed them.
        const QSignalBlocker a(day), b(year), c(gender);
        if (day->text().trimmed().isEmpty())
            day->setText(dayText);
        if (year->currentText().trimmed().isEmpty())
            year->setCurrentText(yearText);
        if (gender->currentIndex() < 0)
            gender->setCurrentIndex(check.boy ? 1 : 0);
    }
    auto digitsOf = [](const QString &text) {
        QString out;
        for (QChar ch : text)
            if (ch.isDigit())
                out += ch;
        return out;
    };
    auto sameDay = [&](const QString &text) {
        QString t = text.simplified().toLower();
        if (t.startsWith(QLatin1Char('0')))
            t.remove(0, 1);
        return t == dayText;
    };
    QStringList differ;
    if (gender->currentIndex() >= 0 && isBoy() != check.boy)
        differ << QString::fromUtf8("płeć (według numeru: %1)").arg(check.boy ? kBoy : kGirl);
    if (!day->text().trimmed().isEmpty() && !sameDay(day->text()))
        differ << QString::fromUtf8("dzień urodzenia (według numeru: %1)").arg(dayText);
    if (!year->currentText().trimmed().isEmpty() &&
        digitsOf(year->currentText()) != QString::number(check.birthDate.year()))
        differ << QString::fromUtf8("rok urodzenia (według numeru: %1)").arg(yearText);
    m_peselNote->setText(QString::fromUtf8("Nie zgadza się z numerem PESEL: ") +
                         differ.join(QStringLiteral(", ")) +
                         QString::fromUtf8(". Sprawdź, co jest błędne; zapisane zostanie to, co "
                                           "jest w polach."));
    m_peselNote->setVisible(!differ.isEmpty());
}

bool TFDaneUcznia::ApplyFields(const SqlDataList &records) {
    m_placeholder.clear();
    TFEditor::ApplyFields(records);
    // A pupil stored without a PESEL shows an empty field, never the
    // placeholder as if it were a number.
    if (QLineEdit *p = edit("Pesel_DATA_EDIT"); bFunIsPeselPlaceholder(p->text().trimmed())) {
        m_placeholder = p->text().trimmed();
        vFunSetWidgetText(p, QString());
    }
    // The gender is a choice of two: anything but "mężczyzna" is "kobieta".
    QComboBox *g = combo("Plec_DATA_COMBOBOX");
    for (const structSqlData &r : records) {
        if (r.id == documentId() && r.comp_name == QLatin1String("Plec_DATA_COMBOBOX"))
            g->setCurrentIndex(r.value == kBoy ? 1 : 0);
    }
    followPesel(false);
    return true;
}

void TFDaneUcznia::showEvent(QShowEvent *event) {
    QString msg;
    QStringList names;
    if (bFunStudentDataLoadCityList(msg, names))
        refill(combo("UrodzonyMiasto_DATA_COMBOBOX"), names);
    else
        showMessage(this, QStringLiteral("Błąd"),
                    QString::fromUtf8("Błąd podczas próby wczytania listy miast.\n") + msg,
                    Prompts::Icon::Error);
    names.clear();
    if (bFunStudentDataLoadProvinceList(msg, names))
        refill(combo("UrodzonyWoj_DATA_COMBOBOX"), names);
    else
        showMessage(this, QStringLiteral("Błąd"),
                    QString::fromUtf8("Błąd podczas próby wczytania listy województw.\n") + msg,
                    Prompts::Icon::Error);
    m_status->clear();
    m_status->hide();
    followPesel(false);
    TFEditor::showEvent(event);
}

bool TFDaneUcznia::checkRequired() {
    const struct {
        QWidget *w;
        bool missing;
        const char *text;
    } checks[] = {
        {edit("Nazwisko_DATA_EDIT"), surname().isEmpty(), "Nazwisko ucznia jest wymagane"},
        {edit("Imie_DATA_EDIT"), firstName().isEmpty(), "Imię ucznia jest wymagane"},
        {combo("Plec_DATA_COMBOBOX"), combo("Plec_DATA_COMBOBOX")->currentIndex() < 0,
         "Płeć ucznia jest wymagana"},
    };
    for (const auto &c : checks) {
        if (c.missing) {
            showMessage(this, QStringLiteral("Brak danych"), QString::fromUtf8(c.text),
                        Prompts::Icon::Warning);
            c.w->setFocus();
            return false;
        }
    }
    // A number that cannot be a PESEL is saved only when she says so: a
    // mistyped digit would key the pupil and print on every document.
    const QString typed = edit("Pesel_DATA_EDIT")->text();
    if (typed.isEmpty())
        return true;
    const structPeselCheck check = peselCheck(typed);
    if (!check.valid &&
        !askYesNoDestructive(this, QStringLiteral("Numer PESEL"),
                             QString::fromUtf8("Numer PESEL wygląda na błędny (") + check.reason +
                                 QString::fromUtf8("). Zapisać mimo to ?"),
                             Prompts::Icon::Warning)) {
        edit("Pesel_DATA_EDIT")->setFocus();
        return false;
    }
    return true;
}

void TFDaneUcznia::OKButtonClick() {
    QString msg;
    bFunStudentDataAddCity(msg, birthTown());
    bFunStudentDataAddProvince(msg, combo("UrodzonyWoj_DATA_COMBOBOX")->currentText());
    // Blanks around a name or the PESEL are no part of them; a name of
    // blanks is no name.
    for (const char *name : {"Nazwisko_DATA_EDIT", "Imie_DATA_EDIT"})
        edit(name)->setText(strFunTidyPupilName(edit(name)->text()));
    edit("Pesel_DATA_EDIT")->setText(edit("Pesel_DATA_EDIT")->text().trimmed());
    if (!checkRequired())
        return;

    const QString tmp = strFunGetTmpFilePath(msg);
    if (tmp.isEmpty()) {
        showMessage(this, QStringLiteral("Błąd"),
                    QString::fromUtf8("Błąd zapisu danych.\n\n") + msg, Prompts::Icon::Error);
        return;
    }
    if (pesel().isEmpty()) {
        // No PESEL yet: the pupil goes under a placeholder, as the import
        // stores such pupils.
        StudentList students;
        QStringList tables;
        if (bFunGetStudentsList(msg, tmp, students)) {
            for (const structStudentEntry &s : students)
                tables << s.table;
        }
        m_placeholder = strFunFreePeselPlaceholder(tables);
    }
    const QString table = pupilTableName();
    // Saving over another pupil's table needs the user's consent, in edit
    // mode too.
    if (!m_editMode || table != m_oldTable) {
        const int exists = iFunCheckIsStudentExists(msg, tmp, table, true);
        if (exists < 0) {
            showMessage(this, QStringLiteral("Błąd"),
                        QString::fromUtf8("Błąd zapisu danych.\n\n") + msg, Prompts::Icon::Error);
            return;
        }
        if (exists == 1) {
            // The question names the pupil whose data "Tak" would replace.
            StudentList students;
            QString name;
            if (bFunGetStudentsList(msg, tmp, students)) {
                for (const structStudentEntry &s : students) {
                    if (s.table == table)
                        name = s.name;
                }
            }
            if (!askYesNoDestructive(
                    this, QStringLiteral("Zapis"),
                    QString::fromUtf8("Uczeń o tym numerze PESEL już istnieje, czy chcesz "
                                      "nadpisać dane tego ucznia ?") +
                        (name.isEmpty()
                             ? QString()
                             : QStringLiteral("\n\n") + name + QStringLiteral(" (PESEL ") +
                                   table.mid(5) + QLatin1Char(')')),
                    Prompts::Icon::Warning))
                return;
        }
    }
    const QString drop = m_editMode && table != m_oldTable ? m_oldTable : QString();
    if (saveStudentRecord(drop))
        accept();
}
