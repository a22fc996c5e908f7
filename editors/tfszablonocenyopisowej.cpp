#include "editors/tfszablonocenyopisowej.h"

#include "document/prompts.h"
#include "editors/binding.h"
#include "editors/editor.h"
#include "editors/fields.h"
#include "editors/phrasefiles.h"
#include "storage/log.h"
#include "storage/paths.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

// A failure's message start and the name it is logged under.
struct Failure {
    const char *text;
    const char *logName;
};

struct HalfInfo {
    const char *title;
    int limit;
    const char *categoryFolder;
    const char *templateFolder;
    const char *memo; // the certificate memo it fills
    // Component names.
    const char *preview, *list, *categories, *addCategory, *delCategory, *renameCategory,
        *addPhrase, *delPhrase, *editPhrase, *insert, *templates, *saveTemplate, *delTemplate,
        *renameTemplate;
    const char *noCategoryToDelete;
    Failure loadCategory, savePhrases, addCategoryFail, delCategoryFail, renameCategoryFail,
        loadTemplate, saveTemplateFail, delTemplateFail, renameTemplateFail;
};

const HalfInfo kHalves[2] = {
    {" Zachowanie ",
     7,
     "ocena_opisowa/kategorie_zachowanie",
     "ocena_opisowa/szablony_zachowanie",
     "ZMIENNA_Zachowanie_STR2_DATA_MEMO",
     "ZachowanieRichEdit",
     "ZachowanieListBox",
     "KategoriaZachowanieComboBox",
     "DodajKategorieZachowanieButton",
     "btnDelCategory",
     "btnRename",
     "DodajSformulowanieZachowanieDoListyButton",
     "UsunSformulowanieZachowanieButton",
     "Button12",
     "Button1",
     "SzablonyZachowanieComboBox",
     "btnSaveNewTemplate",
     "UsunSzablonZachowanieButton",
     "ZmienNazweSzablonZachowanieButton",
     "Aby skasować kategorie zachowania wybierz ją z listy",
     {"Wczytanie pliku sformułowań zachowania\nBłąd otwarcia pliku do odczytu:\n",
      "KategoriaZachowanieComboBoxChange()"},
     {"Zapisz sformułowania zachowania do pliku\nBłąd otwarcia pliku do zapisu:\n",
      "vFunZapiszSformulowaniaZachowanie()"},
     {"Dodaj nową kategorie zachowania\nBłąd tworzenia nowego pliku:\n",
      "DodajKategorieZachowanieButtonClick()"},
     {"Skasuj wybraną kategorie zachowania\nBłąd kasowania pliku:\n", "btnDelCategoryClick()"},
     {"Zmień nazwę pliku kategorii zachowania\nBłąd zmiany nazwy pliku z:\n", "btnRenameClick()"},
     {"Wczytanie szablonu oceny zachowania\nBłąd otwarcia pliku do odczytu:\n",
      "SzablonyZachowanieComboBoxChange()"},
     {"Zapisz nowy szablon oceny zachowania\nBłąd otwarcia pliku do zapisu:\n",
      "btnSaveNewTemplateClick()"},
     {"Usuń wybrany szablon oceny zachowania\nBłąd kasowania pliku:\n",
      "UsunSzablonZachowanieButtonClick()"},
     {"Zmień nazwę pliku szablonu oceny zachowania\nBłąd zmiany nazwy pliku z:\n",
      "ZmienNazweSzablonZachowanieButtonClick()"}},
    {" Obowiązkowe zajęcia edukacyjne ",
     12,
     "ocena_opisowa/kategorie_edukacyjne",
     "ocena_opisowa/szablony_edukacyjne",
     "ZMIENNA_ObowiazkoweEdu_STR2_DATA_MEMO",
     "EdukacyjneRichEdit",
     "EdukacyjneListBox",
     "KategoriaEdukacyjneComboBox",
     "DodajNowaKategorieEdukacyjneButton",
     "UsunWybranaKategorieEdukacyjneButton",
     "ZmienNazweKategoriButton",
     "DodajSformulowanieEdukacyjneButton",
     "usunSformulowanieEdukacyjneButton",
     "EdytujSformulowanieEdukacyjneButton",
     "Button2",
     "SzablonyEdukacyjneComboBox",
     "ZapiszSzablonEdukacyjneButton",
     "UsunSzablonEdukacyjneButton",
     "ZmienNazweSzablonEdukacyjneButton",
     "Aby skasować kategorie zajęć edukacyjnych wybierz ją z listy",
     {"Wczytaj kategorię zajęć edukacyjnych\nBłąd otwarcia pliku do odczytu:\n",
      "KategoriaEdukacyjneComboBoxChange()"},
     {"Zapisz sformułowania zajęć edukacyjnych do pliku\nBłąd otwarcia pliku do zapisu:\n",
      "vFunZapiszSformulowaniaEdukacyjne()"},
     {"Dodaj nową kategorię zajęć edukacyjnych\nBłąd otwarcia pliku do zapisu:\n",
      "DodajNowaKategorieEdukacyjneButtonClick()"},
     {"Skasuj kategorię zajęć edukacyjnych\nBłąd kasowania pliku:\n",
      "UsunWybranaKategorieEdukacyjneButtonClick()"},
     {"Zmień nazwę pliku kategorii zajęć edukacyjnych\nBłąd zmiany nazwy pliku z:\n",
      "ZmienNazweKategoriButtonClick()"},
     {"Wczytanie szablonu oceny zajęć edukacyjnych\nBłąd otwarcia pliku do odczytu:\n",
      "SzablonyEdukacyjneComboBoxChange()"},
     {"Zapisz nowy szablon oceny zajęć edukacyjnych\nBłąd otwarcia pliku do zapisu:\n",
      "ZapiszSzablonEdukacyjneButtonClick()"},
     {"Usuń wybrany szablon oceny zajęć edukacyjnych\nBłąd kasowania pliku:\n",
      "UsunSzablonEdukacyjneButtonClick()"},
     {"Zmień nazwę pliku szablonu oceny zajęć edukacyjnych\nBłąd zmiany nazwy pliku z:\n",
      "ZmienNazweSzablonEdukacyjneButtonClick()"}},
};

} // namespace

struct TFSzablonOcenyOpisowej::Half {
    const HalfInfo &info;
    QWidget *dialog;
    MemoEdit *preview = nullptr;
    QListWidget *list = nullptr;
    QComboBox *categories = nullptr;
    QComboBox *templates = nullptr;
    QLabel *status;

    Half(const HalfInfo &i, QWidget *d, QLabel *s) : info(i), dialog(d), status(s) {}

    // Room for the limit's lines (and the warning strip of an over-full text).
    void setPreviewHeight() {
        const QFontMetrics fm(preview->font());
        const int frame = 2 * preview->frameWidth();
        const int margin = int(2 * preview->document()->documentMargin());
        preview->setFixedHeight(info.limit * fm.lineSpacing() + frame + margin + 2);
    }

    QString folder(const char *relative) const {
        return PhraseLibrary::inProgramFolder().folder(QLatin1String(relative));
    }
    QString categoryPath(const QString &name) const {
        return PhraseLibrary::inProgramFolder().file(QLatin1String(info.categoryFolder), name);
    }
    QString templatePath(const QString &name) const {
        return PhraseLibrary::inProgramFolder().file(QLatin1String(info.templateFolder), name);
    }

    void fail(const Failure &f, const QString &paths, int err) const {
        const QString msg = QString::fromUtf8(f.text) + paths + QString::fromUtf8("\nKod błędu: ") +
                            QString::number(err);
        vFunWriteLog(msg, QString::fromLatin1(f.logName));
        showMessage(dialog, QStringLiteral("Błąd"), msg, Prompts::Icon::Error);
    }

    void fillCategories() {
        QSignalBlocker block(categories);
        categories->clear();
        categories->addItems(strFunListFiles(folder(info.categoryFolder)));
        list->clear();
        if (categories->count() > 0) {
            categories->setCurrentIndex(0);
            loadCategory(0);
        }
    }

    void fillTemplates() {
        QSignalBlocker block(templates);
        templates->clear();
        templates->addItems(strFunListFiles(folder(info.templateFolder)));
        templates->setCurrentIndex(-1);
    }

    void loadCategory(int index) {
        const QString path = categoryPath(index >= 0 ? categories->itemText(index) : QString());
        QStringList lines;
        if (const int err = iFunReadTextLines(path, lines)) {
            fail(info.loadCategory, path, err);
            return;
        }
        list->clear();
        list->addItems(lines);
    }

    void savePhrases() {
        const QString path = categoryPath(categories->currentText());
        QStringList lines;
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text();
        if (const int err = iFunWriteTextLines(path, lines))
            fail(info.savePhrases, path, err);
    }

    // A phrase she types is kept in a code page 1250 file: letters it lacks
    // are replaced, and she is told.
    bool askPhrase(QString &text) {
        if (!prompts().textInput(dialog, QStringLiteral("Nowe zdanie"),
                                 QString::fromUtf8("Sformułowanie"), text, 255))
            return false;
        QList<cp1250::Replacement> replaced;
        text = cp1250::storable(text, &replaced);
        vFunShowFieldNotice(status, cp1250::replacementNotice(replaced), false);
        return true;
    }

    void addPhrase() {
        if (categories->currentIndex() < 0) {
            showMessage(dialog, QStringLiteral("Brak wyboru"),
                        QString::fromUtf8("Aby dodać sformułowanie wybierz kategorię z listy albo "
                                          "dodaj nową kategorię."),
                        Prompts::Icon::Warning);
            return;
        }
        QString text;
        if (!askPhrase(text))
            return;
        list->addItem(text);
        savePhrases();
    }

    void deletePhrase() {
        const int row = list->currentRow();
        if (row < 0 || !list->currentItem()->isSelected())
            return;
        delete list->takeItem(row);
        savePhrases();
    }

    void editPhrase() {
        QListWidgetItem *item = list->currentItem();
        if (!item || !item->isSelected()) {
            showMessage(dialog, QString(), QString::fromUtf8("Aby edytować wybierz zdanie z listy"),
                        Prompts::Icon::None);
            return;
        }
        QString text = item->text();
        if (!askPhrase(text))
            return;
        item->setText(text);
        savePhrases();
    }

    void insertPhrase() {
        QListWidgetItem *item = list->currentItem();
        if (!item || !item->isSelected()) {
            showMessage(dialog, QStringLiteral("Brak wyboru"),
                        QString::fromUtf8("Proszę wybrać sformułowanie z listy"),
                        Prompts::Icon::Warning);
            return;
        }
        // Only what is inserted changes: the text before it stays as it was,
        // and of a phrase that does not fit only the words that do go in.
        // Either way she is told why and how much room there was.
        const int held = int(memoLines(preview).size());
        if (held >= info.limit) {
            vFunShowFieldNotice(
                status,
                QString::fromUtf8("Sformułowanie nie zmieści się: ") + preview->fullText() +
                    QString::fromUtf8(" Wolnego miejsca nie ma; usuń część tekstu w podglądzie "
                                      "albo wybierz krótsze sformułowanie."),
                true);
            return;
        }
        const QString text = memoText(preview);
        const QString blank =
            !text.isEmpty() && !text.endsWith(QLatin1Char('\n')) ? QStringLiteral(" ") : QString();
        preview->moveCursor(QTextCursor::End);
        QList<cp1250::Replacement> replaced;
        QStringList said;
        const int left = preview->insertLimited(blank + item->text(), &replaced);
        if (left > 0)
            said << strFunLinesLeftOutText(left) +
                        QString::fromUtf8(" Przed wstawieniem było w polu wolne miejsce na ") +
                        strFunLinesCount(info.limit - held) + QLatin1Char('.');
        if (!replaced.isEmpty())
            said << cp1250::replacementNotice(replaced);
        vFunShowFieldNotice(status, said.join(QLatin1Char(' ')), left > 0);
    }

    void addCategory() {
        QString name = QStringLiteral("nowa kategoria");
        if (!prompts().textInput(dialog, QStringLiteral("Tworzenie nowej kategori"),
                                 QString::fromUtf8("Podaj nazwę"), name, 0))
            return;
        if (name.isEmpty()) {
            showMessage(dialog, QStringLiteral("Nowa kategoria"),
                        QStringLiteral("Nie podano nazwy kategorii"), Prompts::Icon::Warning);
            return;
        }
        const QString path = categoryPath(name);
        if (QFileInfo::exists(path)) {
            showMessage(dialog, QStringLiteral("Nowa kategoria"),
                        QString::fromUtf8("Wybrana kategoria już istnieje"),
                        Prompts::Icon::Warning);
            return;
        }
        if (const int err = iFunCreateEmptyFile(path)) {
            fail(info.addCategoryFail, path, err);
            return;
        }
        fillCategories();
    }

    void deleteCategory() {
        if (categories->currentIndex() < 0) {
            showMessage(dialog, QStringLiteral("Kasowanie"),
                        QString::fromUtf8(info.noCategoryToDelete), Prompts::Icon::Warning);
            return;
        }
        const QString name = categories->currentText();
        if (!askYesNoDestructive(
                dialog, QStringLiteral("Kasowanie"),
                QString::fromUtf8("Czy na pewno chcesz skasować wybraną kategorie \"") + name +
                    QLatin1Char('"'),
                Prompts::Icon::Question))
            return;
        const QString path = categoryPath(name);
        if (const int err = iFunDeleteFile(path)) {
            fail(info.delCategoryFail, path, err);
            return;
        }
        fillCategories();
    }

    void rename(QComboBox *box, bool isCategory) {
        QString name = box->currentText();
        const QString oldPath = isCategory ? categoryPath(name) : templatePath(name);
        if (!prompts().textInput(dialog, QStringLiteral("Zmiana nazwy"),
                                 QString::fromUtf8("Podaj nazwę"), name, 0))
            return;
        const QString newPath = isCategory ? categoryPath(name) : templatePath(name);
        if (const int err = iFunRenameFile(oldPath, newPath)) {
            fail(isCategory ? info.renameCategoryFail : info.renameTemplateFail,
                 oldPath + QStringLiteral("\nna:\n") + newPath, err);
            return;
        }
        if (isCategory)
            fillCategories();
        else
            fillTemplates();
    }

    void loadTemplate(int index) {
        if (index < 0)
            return;
        const QString path = templatePath(templates->itemText(index));
        QStringList lines;
        if (const int err = iFunReadTextLines(path, lines)) {
            fail(info.loadTemplate, path, err);
            return;
        }
        preview->clear();
        for (const QString &line : lines)
            preview->appendPlainText(line);
    }

    void saveTemplate() {
        QString name = QStringLiteral("nowy szablon");
        if (!prompts().textInput(dialog, QStringLiteral("Nowy szablon oceny"),
                                 QStringLiteral("Nazwa"), name, 0))
            return;
        if (name.isEmpty()) {
            showMessage(dialog, QStringLiteral("Nowy szablon oceny"),
                        QStringLiteral("Nie podano nazwy szablonu"), Prompts::Icon::Warning);
            return;
        }
        const QString path = templatePath(name);
        if (QFileInfo::exists(path)) {
            showMessage(dialog, QStringLiteral("Nowy szablon oceny"),
                        QString::fromUtf8("Szablon o tej nazwie już istnieje"),
                        Prompts::Icon::Warning);
            return;
        }
        if (const int err = iFunWriteTextLines(path, memoLines(preview))) {
            fail(info.saveTemplateFail, path, err);
            return;
        }
        fillTemplates();
    }

    void deleteTemplate() {
        if (templates->currentIndex() < 0) {
            showMessage(dialog, QStringLiteral("Kasowanie"),
                        QString::fromUtf8("Aby skasować szablon oceny wybierz go z listy"),
                        Prompts::Icon::Warning);
            return;
        }
        const QString name = templates->currentText();
        if (!askYesNoDestructive(
                dialog, QStringLiteral("Kasowanie"),
                QString::fromUtf8("Czy na pewno chcesz skasować wybrany szablon \"") + name +
                    QLatin1Char('"'),
                Prompts::Icon::Question))
            return;
        const QString path = templatePath(name);
        if (const int err = iFunDeleteFile(path)) {
            fail(info.delTemplateFail, path, err);
            return;
        }
        fillTemplates();
    }
};

TFSzablonOcenyOpisowej::TFSzablonOcenyOpisowej(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFSzablonOcenyOpisowej"));
    setWindowTitle(QStringLiteral("Edytor oceny opisowej"));
    setModal(true);
    auto *outer = new QVBoxLayout(this);
    // The status line: what an insertion or a paste left out.
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusLabel"));
    m_status->setWordWrap(true);
    for (const HalfInfo &info : kHalves) {
        auto *half = new Half(info, this, m_status);
        m_halves << half;
        auto *box = new QGroupBox(QString::fromUtf8(info.title), this);
        auto button = [&](const char *name, const char *caption, void (Half::*action)()) {
            auto *b = new QPushButton(QString::fromUtf8(caption), box);
            b->setObjectName(QString::fromLatin1(name));
            b->setAutoDefault(false);
            connect(b, &QPushButton::clicked, this, [half, action] { (half->*action)(); });
            return b;
        };
        half->preview = new MemoEdit(info.limit, box);
        half->preview->setObjectName(QString::fromLatin1(info.preview));
        // Wraps like the certificate's memo (same font and width), so the
        // lines counted here are the lines the certificate shows.
        half->preview->setFont(fieldFont());
        half->preview->setFixedWidth(434);
        half->setPreviewHeight();
        half->list = new QListWidget(box);
        half->list->setObjectName(QString::fromLatin1(info.list));
        half->list->setAccessibleName(
            QString::fromUtf8("Sformułowania:") +
            QString::fromUtf8(info.title).trimmed().toLower().prepend(' '));
        half->list->setToolTip(
            QStringLiteral("Kliknij dwukrotnie aby dodać sformułowanie do świadectwa"));
        half->list->setMinimumWidth(420);
        connect(half->list, &QListWidget::itemDoubleClicked, this,
                [half] { half->insertPhrase(); });
        // Return on a phrase inserts it, as a double click does; it does
        // not press OK.
        half->list->installEventFilter(this);
        // Lists to choose from: a phrase always goes into a listed category,
        // a new category only comes from "Dodaj kategorie".
        half->categories = new QComboBox(box);
        half->categories->setObjectName(QString::fromLatin1(info.categories));
        connect(half->categories, &QComboBox::currentIndexChanged, this, [half](int i) {
            if (i >= 0)
                half->loadCategory(i);
        });
        half->templates = new QComboBox(box);
        half->templates->setObjectName(QString::fromLatin1(info.templates));
        connect(half->templates, &QComboBox::currentIndexChanged, this,
                [half](int i) { half->loadTemplate(i); });

        auto *left = new QVBoxLayout;
        left->addWidget(new QLabel(QString::fromUtf8("Podgląd:"), box));
        left->addWidget(half->preview);
        left->addStretch(1);
        left->addWidget(new QLabel(QStringLiteral("Szablony ocen:"), box));
        left->addWidget(half->templates);
        auto *templateButtons = new QHBoxLayout;
        templateButtons->addWidget(
            button(info.saveTemplate, "Zapisz jako nowy szablon", &Half::saveTemplate));
        templateButtons->addWidget(button(info.delTemplate, "Usuń szablon", &Half::deleteTemplate));
        auto *renameTemplate = new QPushButton(QString::fromUtf8("Zmień nazwę"), box);
        renameTemplate->setObjectName(QString::fromLatin1(info.renameTemplate));
        renameTemplate->setAutoDefault(false);
        connect(renameTemplate, &QPushButton::clicked, this,
                [half] { half->rename(half->templates, false); });
        templateButtons->addWidget(renameTemplate);
        left->addLayout(templateButtons);

        auto *right = new QVBoxLayout;
        right->addWidget(new QLabel(QStringLiteral("Kategoria:"), box));
        right->addWidget(half->categories);
        auto *categoryButtons = new QHBoxLayout;
        categoryButtons->addWidget(button(info.addCategory, "Dodaj kategorie", &Half::addCategory));
        categoryButtons->addWidget(
            button(info.delCategory, "Usuń kategorie", &Half::deleteCategory));
        auto *renameCategory = new QPushButton(QString::fromUtf8("Zmień nazwę"), box);
        renameCategory->setObjectName(QString::fromLatin1(info.renameCategory));
        renameCategory->setAutoDefault(false);
        connect(renameCategory, &QPushButton::clicked, this,
                [half] { half->rename(half->categories, true); });
        categoryButtons->addWidget(renameCategory);
        right->addLayout(categoryButtons);
        right->addWidget(new QLabel(QString::fromUtf8("Sformułowania:"), box));
        right->addWidget(half->list, 1);
        auto *phraseButtons = new QHBoxLayout;
        phraseButtons->addWidget(button(info.addPhrase, "dodaj do listy", &Half::addPhrase));
        phraseButtons->addWidget(button(info.delPhrase, "usuń z listy", &Half::deletePhrase));
        phraseButtons->addWidget(button(info.editPhrase, "edytuj", &Half::editPhrase));
        phraseButtons->addWidget(button(info.insert, "wstaw na  świadectwo", &Half::insertPhrase));
        right->addLayout(phraseButtons);

        auto *columns = new QHBoxLayout(box);
        columns->addLayout(left);
        columns->addLayout(right, 1);
        // Both halves share the height evenly; the phrase lists take what is left.
        outer->addWidget(box, 1);
    }
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_status, 1);
    QPushButton *ok = addOkCancelButtons(this, buttons, "OKButton", "AnulujButton");
    connect(ok, &QPushButton::clicked, this, &TFSzablonOcenyOpisowej::OKButtonClick);
    outer->addLayout(buttons);
    vFunConnectFieldNotices(this, m_status);
}

bool TFSzablonOcenyOpisowej::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        for (Half *half : m_halves) {
            if (watched == half->list && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
                half->insertPhrase();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

TFSzablonOcenyOpisowej::~TFSzablonOcenyOpisowej() {
    qDeleteAll(m_halves);
}

MemoEdit *TFSzablonOcenyOpisowej::preview(int half) const {
    return m_halves[half]->preview;
}
QListWidget *TFSzablonOcenyOpisowej::phrases(int half) const {
    return m_halves[half]->list;
}
QComboBox *TFSzablonOcenyOpisowej::categories(int half) const {
    return m_halves[half]->categories;
}
QComboBox *TFSzablonOcenyOpisowej::templates(int half) const {
    return m_halves[half]->templates;
}

void TFSzablonOcenyOpisowej::setCaller(int grade, const QString &behaviour,
                                       const QString &education) {
    m_caller = grade;
    // The previews count lines as the caller's memos do: same wrapping, width
    // and font.
    const TFEditor *cert = m_certificates.value(grade - 1);
    for (Half *half : m_halves) {
        if (const MemoEdit *memo =
                cert ? cert->findChild<MemoEdit *>(QString::fromLatin1(half->info.memo))
                     : nullptr) {
            half->preview->setWordWrap(memo->wordWrap());
            half->preview->setFont(memo->font());
            half->preview->setFixedWidth(memo->width());
            half->setPreviewHeight();
        }
    }
    m_status->clear();
    m_halves[0]->preview->setPlainText(behaviour);
    m_halves[1]->preview->setPlainText(education);
}

void TFSzablonOcenyOpisowej::showEvent(QShowEvent *event) {
    for (Half *half : m_halves) {
        half->list->clear();
        half->fillCategories();
        half->fillTemplates();
    }
    // The screen's height, shared evenly by the halves, centred.
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        const QSize hint = sizeHint();
        resize(std::max(width(), hint.width()), std::max(hint.height(), available.height() - 50));
        move(available.center().x() - width() / 2, available.center().y() - height() / 2);
    }
    QDialog::showEvent(event);
}

void TFSzablonOcenyOpisowej::OKButtonClick() {
    if (TFEditor *cert = m_certificates.value(m_caller - 1)) {
        for (Half *half : m_halves)
            cert->setFieldText(QString::fromLatin1(half->info.memo), memoText(half->preview));
    }
    accept();
}
