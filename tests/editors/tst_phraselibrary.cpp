#include "editorsfixture.h"

#include "editors/binding.h"
#include "editors/documenteditors.h"
#include "editors/fields.h"
#include "editors/phrasefiles.h"
#include "storage/codec.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <cerrno>
#include <unistd.h>

// Halves: 0 behaviour, 1 education.
class TestPhraseLibrary : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void categoriesLoadOnShowing();
    void insertion_data();
    void insertion();
    void insertionNeedsAPhraseAndRoom();
    void returnAndDoubleClickInsertAPhrase_data();
    void returnAndDoubleClickInsertAPhrase();
    void previewLimits();
    void okWritesBothTextsAnulujNothing();
    void untouchedTextComesBackAsItWent_data();
    void untouchedTextComesBackAsItWent();
    void insertionChangesOnlyWhatItInserts();
    void phraseGoesIntoTheChosenCategory();
    void halvesShareTheHeight();
    void phraseCommandsSaveTheFile();
    void categoryCommands();
    void templateCommands();
    void longLinesAreKept();
    void failures_data();
    void failures();

private:
    QString categories(int half) const {
        return f->env.programFile(half ? "ocena_opisowa/kategorie_edukacyjne"
                                       : "ocena_opisowa/kategorie_zachowanie");
    }
    QString templates(int half) const {
        return f->env.programFile(half ? "ocena_opisowa/szablony_edukacyjne"
                                       : "ocena_opisowa/szablony_zachowanie");
    }
    void click(const char *button) { f->library->findChild<QPushButton *>(button)->click(); }
    void selectPhrase(int half, int row) {
        QListWidget *list = f->library->phrases(half);
        list->setCurrentRow(row);
    }

    std::unique_ptr<EditorsFixture> f;
};

void TestPhraseLibrary::init() {
    f = std::make_unique<EditorsFixture>();
    writeFile(categories(0) + "/kultura",
              "Jest uprzejmy.\r\nDba o porz\xB9\x64\x65k.\r\n\r\nPomaga innym");
    writeFile(templates(1) + "/wzorowy", "Czyta p\xB3ynnie.\r\nLiczy dobrze.\r\n");
    f->library->setCaller(2, "", "");
    f->library->show();
    f->prompts.clear();
}

void TestPhraseLibrary::cleanup() {
    f->library->hide();
    f.reset();
}

void TestPhraseLibrary::categoriesLoadOnShowing() {
    // The first category is chosen and loaded; a last line without line end counts.
    QCOMPARE(f->library->categories(0)->currentText(), QStringLiteral("kultura"));
    QListWidget *list = f->library->phrases(0);
    QCOMPARE(list->count(), 4);
    QCOMPARE(list->item(1)->text(), QStringLiteral("Dba o porządek."));
    QCOMPARE(list->item(2)->text(), QString());
    QCOMPARE(list->item(3)->text(), QStringLiteral("Pomaga innym"));
    QCOMPARE(f->library->categories(1)->count(), 0);
    QCOMPARE(f->library->templates(1)->count(), 1);
    QCOMPARE(f->library->templates(1)->currentIndex(), -1); // no template is loaded
    QCOMPARE(f->library->preview(1)->toPlainText(), QString());
}

void TestPhraseLibrary::insertion_data() {
    QTest::addColumn<QString>("preview");
    QTest::addColumn<QString>("result");
    QTest::newRow("empty") << ""
                           << "Jest uprzejmy.";
    QTest::newRow("after text: one blank") << "abc"
                                           << "abc Jest uprzejmy.";
    QTest::newRow("after a line end: no blank") << "abc\n"
                                                << "abc\nJest uprzejmy.";
}

void TestPhraseLibrary::insertion() {
    QFETCH(QString, preview);
    QFETCH(QString, result);
    f->library->preview(0)->setPlainText(preview);
    selectPhrase(0, 0);
    click("Button1");
    QCOMPARE(f->library->preview(0)->toPlainText(), result);
    // A double click on the list does the same.
    emit f->library->phrases(0)->itemDoubleClicked(f->library->phrases(0)->item(0));
    QCOMPARE(f->library->preview(0)->toPlainText(), result + " Jest uprzejmy.");
}

void TestPhraseLibrary::insertionNeedsAPhraseAndRoom() {
    f->library->phrases(0)->setCurrentRow(-1);
    click("Button1");
    QCOMPARE(f->prompts.asked.size(), 1);
    QCOMPARE(f->prompts.asked[0].text, QString::fromUtf8("Proszę wybrać sformułowanie z listy"));
    QCOMPARE(f->prompts.asked[0].caption, QStringLiteral("Brak wyboru"));
    const QString seven = "1\n2\n3\n4\n5\n6\n7";
    f->library->preview(0)->setPlainText(seven);
    selectPhrase(0, 0);
    click("Button1");
    QCOMPARE(f->library->preview(0)->toPlainText(), seven);
    // Nothing went in, and she is told why.
    QCOMPARE(
        f->library->statusLabel()->text(),
        QString::fromUtf8("Sformułowanie nie zmieści się: Pole jest pełne: 7 z 7 wierszy. "
                          "Wolnego miejsca nie ma; usuń część tekstu w podglądzie albo wybierz "
                          "krótsze sformułowanie."));
}

void TestPhraseLibrary::returnAndDoubleClickInsertAPhrase_data() {
    QTest::addColumn<bool>("doubleClick");
    QTest::newRow("Return") << false;
    QTest::newRow("double click") << true;
}

void TestPhraseLibrary::returnAndDoubleClickInsertAPhrase() {
    QFETCH(bool, doubleClick);
    QListWidget *list = f->library->phrases(0);
    f->library->preview(0)->setPlainText(QString::fromUtf8("Uczeń."));
    selectPhrase(0, 0);
    list->setFocus();
    if (doubleClick) {
        // A double click is a click and a second press.
        const QPoint at = list->visualItemRect(list->item(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    } else
        QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(memoText(f->library->preview(0)), QString::fromUtf8("Uczeń. Jest uprzejmy."));
    // The library stays open: the phrase went in, OK was not pressed.
    QVERIFY(f->library->isVisible());
    QCOMPARE(f->library->result(), int(QDialog::Rejected));
}

void TestPhraseLibrary::previewLimits() {
    MemoEdit *preview = f->library->preview(0);
    preview->setPlainText("1\n2\n3\n4\n5\n6\n7");
    preview->setFocus();
    preview->moveCursor(QTextCursor::End);
    QTest::keyClick(preview, Qt::Key_Return);
    QCOMPARE(memoLines(preview).size(), 7);
    // Typing that wraps onto an 8th line loses it.
    QTest::keyClicks(preview, QString(" bardzo dlugie zdanie").repeated(8));
    QCOMPARE(memoLines(preview).size(), 7);
    QVERIFY(memoLines(preview).first() == "1");
}

void TestPhraseLibrary::okWritesBothTextsAnulujNothing() {
    TFEditor *grade3 = f->editor("TFKlasa3");
    grade3->setFieldText("ZMIENNA_Zachowanie_STR2_DATA_MEMO", "stare zachowanie");
    grade3->setFieldText("ZMIENNA_ObowiazkoweEdu_STR2_DATA_MEMO", "stara edukacja");
    auto *cert = static_cast<TFKlasa *>(grade3);
    QTimer::singleShot(0, [this] {
        QCOMPARE(f->library->caller(), 3);
        QCOMPARE(f->library->preview(0)->toPlainText(), QStringLiteral("stare zachowanie"));
        selectPhrase(0, 0);
        click("Button1");
        f->library->reject();
    });
    cert->BitBtn2Click();
    QCOMPARE(grade3->fieldText("ZMIENNA_Zachowanie_STR2_DATA_MEMO"),
             QStringLiteral("stare zachowanie"));
    QTimer::singleShot(0, [this] {
        selectPhrase(0, 0);
        click("Button1");
        f->library->OKButtonClick();
    });
    cert->BitBtn2Click();
    QCOMPARE(grade3->fieldText("ZMIENNA_Zachowanie_STR2_DATA_MEMO"),
             QStringLiteral("stare zachowanie Jest uprzejmy."));
    QCOMPARE(grade3->fieldText("ZMIENNA_ObowiazkoweEdu_STR2_DATA_MEMO"),
             QStringLiteral("stara edukacja"));
    QCOMPARE(f->editor("TFKlasa1")->fieldText("ZMIENNA_Zachowanie_STR2_DATA_MEMO"), QString());
}

void TestPhraseLibrary::untouchedTextComesBackAsItWent_data() {
    QTest::addColumn<bool>("wrap");
    QTest::addColumn<QStringList>("behaviour");
    QTest::addColumn<bool>("tryInsert");
    // One long paragraph (with a non-breaking space) and a second line.
    const QString paragraph = QString::fromUtf8(
        "Uczeń jest koleżeński, chętnie pomaga innym i dba o porządek w klasie. Pracuje "
        "samodzielnie i starannie, na zajęciach jest aktywny i zgłasza się do odpowiedzi. "
        "Bardzo dobrze czyta ze zrozumieniem, pięknie recytuje wiersze i chętnie bierze udział "
        "w przedstawieniach szkolnych. Pisze starannie i poprawnie, zna zasady ortografii. "
        "Sprawnie liczy w zakresie stu, rozwiązuje zadania z\u00a0treścią. Interesuje się "
        "przyrodą i dba o środowisko. Lubi zajęcia plastyczne i muzyczne.");
    const QStringList two{paragraph, QStringLiteral("Druga linia.")};
    QStringList seven(6, QStringLiteral("krótko"));
    seven << paragraph;
    QTest::newRow("wrapping off") << false << two << false;
    QTest::newRow("wrapping on") << true << two << false;
    QTest::newRow("wrapping on, insertion refused") << true << two << true;
    QTest::newRow("wrapping off, insertion refused") << false << seven << true;
}

void TestPhraseLibrary::untouchedTextComesBackAsItWent() {
    QFETCH(bool, wrap);
    QFETCH(QStringList, behaviour);
    QFETCH(bool, tryInsert);
    auto *cert = static_cast<TFKlasa *>(f->editor("TFKlasa2"));
    cert->AutoWorldWrapCheckBox->setChecked(wrap);
    cert->AutoWorldWrapCheckBoxClick();
    SqlDataList stored;
    for (int i = 0; i < behaviour.size(); ++i)
        stored.append({cert->documentId(),
                       QString::asprintf("ZMIENNA_Zachowanie_STR2_DATA_MEMO%02d", i + 1),
                       behaviour[i]});
    stored.append({cert->documentId(), "ZMIENNA_ObowiazkoweEdu_STR2_DATA_MEMO01",
                   QString::fromUtf8("Czyta płynnie.\tLiczy.")});
    cert->ApplyFields(stored);
    SqlDataList before;
    cert->CollectFields(before);
    QTimer::singleShot(0, [this, tryInsert] {
        if (tryInsert) {
            selectPhrase(0, 0);
            click("Button1");
        }
        f->library->OKButtonClick();
    });
    cert->BitBtn2Click();
    SqlDataList after;
    cert->CollectFields(after);
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < before.size(); ++i) {
        QCOMPARE(after[i].comp_name, before[i].comp_name);
        QCOMPARE(cp1250::encode(after[i].value), cp1250::encode(before[i].value));
    }
    if (!wrap)
        QCOMPARE(cert->fieldText("ZMIENNA_Zachowanie_STR2_DATA_MEMO"), behaviour.join('\n'));
}

void TestPhraseLibrary::insertionChangesOnlyWhatItInserts() {
    // A paragraph wrapped softly over five lines takes a phrase at its end;
    // the wraps stay soft and the text before the phrase is as it was.
    auto *cert = static_cast<TFKlasa *>(f->editor("TFKlasa1"));
    cert->AutoWorldWrapCheckBox->setChecked(true);
    cert->AutoWorldWrapCheckBoxClick();
    QString text = QStringLiteral("Zaczyna");
    auto *memo = cert->findChild<MemoEdit *>("ZMIENNA_Zachowanie_STR2_DATA_MEMO");
    while (memoLines(memo, text).size() < 5)
        text += QStringLiteral(" zdanie");
    cert->setFieldText("ZMIENNA_Zachowanie_STR2_DATA_MEMO", text);
    QTimer::singleShot(0, [this] {
        QCOMPARE(memoLines(f->library->preview(0)).size(), 5);
        selectPhrase(0, 1);
        click("Button1");
        f->library->OKButtonClick();
    });
    cert->BitBtn2Click();
    QCOMPARE(cert->fieldText("ZMIENNA_Zachowanie_STR2_DATA_MEMO"),
             text + QString::fromUtf8(" Dba o porządek."));
    QCOMPARE(memo->document()->blockCount(), 1);
    // A phrase longer than the room left goes in up to the last line; the
    // status line tells how much was left out.
    f->library->setCaller(1, text, QString());
    const QString longPhrase = QStringLiteral("bardzo długie sformułowanie").repeated(12);
    f->library->phrases(0)->addItem(longPhrase);
    selectPhrase(0, f->library->phrases(0)->count() - 1);
    click("Button1");
    MemoEdit *preview = f->library->preview(0);
    QCOMPARE(memoLines(preview).size(), 7);
    QVERIFY(memoText(preview).startsWith(text + QLatin1Char(' ')));
    QCOMPARE(preview->document()->blockCount(), 1);
    QVERIFY(f->library->statusLabel()->text().startsWith(
        QString::fromUtf8("Tekst nie zmieścił się w polu w całości")));
    QVERIFY2(f->library->statusLabel()->text().endsWith(
                 QString::fromUtf8("Przed wstawieniem było w polu wolne miejsce na 2 wiersze.")),
             qPrintable(f->library->statusLabel()->text()));
}

void TestPhraseLibrary::phraseGoesIntoTheChosenCategory() {
    writeFile(categories(0) + "/porzadek", "Sprz\xB9ta.\r\n");
    f->library->hide();
    f->library->show();
    QComboBox *box = f->library->categories(0);
    // Typed letters choose among the listed categories; they make no new one.
    box->setFocus();
    QTest::keyClicks(box, "porz");
    QCOMPARE(box->currentText(), QStringLiteral("porzadek"));
    QTest::keyClicks(box, "xyz");
    QCOMPARE(box->currentText(), QStringLiteral("porzadek"));
    f->prompts.inputs.enqueue(QString::fromUtf8("Szanuje innych."));
    click("DodajSformulowanieZachowanieDoListyButton");
    QCOMPARE(readFile(categories(0) + "/porzadek"),
             QByteArray("Sprz\xB9ta.\r\nSzanuje innych.\r\n"));
    QCOMPARE(readFile(categories(0) + "/kultura"),
             QByteArray("Jest uprzejmy.\r\nDba o porz\xB9\x64\x65k.\r\n\r\nPomaga innym"));
    // Every category file there is is listed.
    QStringList listed;
    for (int i = 0; i < box->count(); ++i)
        listed << box->itemText(i);
    QStringList files = QDir(categories(0)).entryList(QDir::Files);
    listed.sort();
    files.sort();
    QCOMPARE(listed, files);
    // Without any category a phrase has nowhere to go: the teacher is told.
    QFile::remove(categories(0) + "/porzadek");
    QFile::remove(categories(0) + "/kultura");
    f->library->hide();
    f->library->show();
    f->prompts.clear();
    click("DodajSformulowanieZachowanieDoListyButton");
    QCOMPARE(f->prompts.asked.size(), 1);
    QCOMPARE(f->prompts.asked[0].caption, QStringLiteral("Brak wyboru"));
    QVERIFY(QDir(categories(0)).entryList(QDir::Files).isEmpty());
}

void TestPhraseLibrary::halvesShareTheHeight() {
    const QList<QGroupBox *> halves = f->library->findChildren<QGroupBox *>();
    QCOMPARE(halves.size(), 2);
    QVERIFY2(qAbs(halves[0]->height() - halves[1]->height()) <= 2,
             qPrintable(QStringLiteral("%1 %2").arg(halves[0]->height()).arg(halves[1]->height())));
    // The dialog takes the screen's height; the behaviour list shows ten phrases.
    const QListWidget *list = f->library->phrases(0);
    QVERIFY(list->height() >= 10 * list->sizeHintForRow(0));
}

void TestPhraseLibrary::phraseCommandsSaveTheFile() {
    const QString file = categories(0) + "/kultura";
    f->prompts.inputs.enqueue("Szanuje cudzą własność.");
    click("DodajSformulowanieZachowanieDoListyButton");
    QCOMPARE(f->prompts.asked.last().caption, QStringLiteral("Nowe zdanie"));
    QCOMPARE(f->prompts.asked.last().text, QString::fromUtf8("Sformułowanie"));
    QCOMPARE(readFile(file),
             QByteArray("Jest uprzejmy.\r\nDba o porz\xB9\x64\x65k.\r\n\r\nPomaga innym\r\n"
                        "Szanuje cudz\xB9 w\xB3\x61sno\x9C\xE6.\r\n"));
    selectPhrase(0, 2);
    click("UsunSformulowanieZachowanieButton");
    f->library->phrases(0)->setCurrentRow(-1);
    click("Button12");
    QCOMPARE(f->prompts.asked.last().text, QStringLiteral("Aby edytować wybierz zdanie z listy"));
    selectPhrase(0, 0);
    f->prompts.inputs.enqueue("Jest zawsze uprzejmy.");
    click("Button12");
    QCOMPARE(f->prompts.asked.last().proposed, QStringLiteral("Jest uprzejmy."));
    QStringList lines;
    QCOMPARE(iFunReadTextLines(file, lines), 0);
    QCOMPARE(lines, QStringList({"Jest zawsze uprzejmy.", "Dba o porządek.", "Pomaga innym",
                                 "Szanuje cudzą własność."}));
    // Cancelling the input adds nothing.
    click("DodajSformulowanieZachowanieDoListyButton");
    QCOMPARE(f->library->phrases(0)->count(), 4);
    // A phrase with letters the file cannot hold is kept with their nearest
    // ones, and she is told which.
    f->prompts.inputs.enqueue(QString::fromUtf8("Lubi piosenki o Muñozie."));
    click("DodajSformulowanieZachowanieDoListyButton");
    QCOMPARE(f->library->phrases(0)->item(4)->text(), QStringLiteral("Lubi piosenki o Munozie."));
    QVERIFY(readFile(file).endsWith("Lubi piosenki o Munozie.\r\n"));
    QCOMPARE(f->library->statusLabel()->text(),
             QString::fromUtf8("Zamieniono litery, których plik nie może zapisać: ñ→n."));
}

void TestPhraseLibrary::categoryCommands() {
    // Add: an empty name, an existing one, a new one.
    f->prompts.inputs.enqueue("");
    click("DodajNowaKategorieEdukacyjneButton");
    QCOMPARE(f->prompts.asked.last().text, QStringLiteral("Nie podano nazwy kategorii"));
    QCOMPARE(f->prompts.asked[0].caption, QStringLiteral("Tworzenie nowej kategori"));
    QCOMPARE(f->prompts.asked[0].proposed, QStringLiteral("nowa kategoria"));
    f->prompts.inputs.enqueue("czytanie");
    click("DodajNowaKategorieEdukacyjneButton");
    QVERIFY(QFileInfo::exists(categories(1) + "/czytanie"));
    QCOMPARE(QFileInfo(categories(1) + "/czytanie").size(), 0);
    QCOMPARE(f->library->categories(1)->currentText(), QStringLiteral("czytanie"));
    f->prompts.inputs.enqueue("czytanie");
    click("DodajNowaKategorieEdukacyjneButton");
    QCOMPARE(f->prompts.asked.last().text, QString::fromUtf8("Wybrana kategoria już istnieje"));
    QCOMPARE(f->prompts.asked.last().caption, QStringLiteral("Nowa kategoria"));

    // Rename, then rename onto an existing name.
    f->prompts.inputs.enqueue("pisanie");
    click("ZmienNazweKategoriButton");
    QVERIFY(QFileInfo::exists(categories(1) + "/pisanie"));
    QVERIFY(!QFileInfo::exists(categories(1) + "/czytanie"));
    writeFile(categories(1) + "/liczenie", "2+2\r\n");
    f->library->categories(1)->setCurrentText("pisanie");
    f->prompts.inputs.enqueue("liczenie");
    click("ZmienNazweKategoriButton");
    QCOMPARE(f->prompts.asked.last().caption, QStringLiteral("Błąd"));
    QCOMPARE(f->prompts.asked.last().text,
             QString::fromUtf8(
                 "Zmień nazwę pliku kategorii zajęć edukacyjnych\nBłąd zmiany nazwy pliku z:\n") +
                 categories(1) + "/pisanie\nna:\n" + categories(1) +
                 QString::fromUtf8("/liczenie\nKod błędu: %1").arg(EEXIST));
    QCOMPARE(readFile(categories(1) + "/liczenie"), QByteArray("2+2\r\n"));

    // Delete: asked, No keeps, Yes deletes.
    const int index = f->library->categories(1)->findText("pisanie");
    f->library->categories(1)->setCurrentIndex(index);
    f->prompts.answers.enqueue(Prompts::Answer::No);
    click("UsunWybranaKategorieEdukacyjneButton");
    QCOMPARE(f->prompts.asked.last().text,
             QString::fromUtf8("Czy na pewno chcesz skasować wybraną kategorie \"pisanie\""));
    QCOMPARE(f->prompts.asked.last().caption, QStringLiteral("Kasowanie"));
    QVERIFY(QFileInfo::exists(categories(1) + "/pisanie"));
    f->prompts.answers.enqueue(Prompts::Answer::Yes);
    click("UsunWybranaKategorieEdukacyjneButton");
    QVERIFY(!QFileInfo::exists(categories(1) + "/pisanie"));
    QCOMPARE(f->library->categories(1)->count(), 1);
    f->library->categories(1)->setCurrentIndex(-1);
    click("UsunWybranaKategorieEdukacyjneButton");
    QCOMPARE(f->prompts.asked.last().text,
             QString::fromUtf8("Aby skasować kategorie zajęć edukacyjnych wybierz ją z listy"));
}

void TestPhraseLibrary::templateCommands() {
    // Selecting a template fills the preview.
    f->library->templates(1)->setCurrentIndex(0);
    QCOMPARE(f->library->preview(1)->toPlainText(),
             QStringLiteral("Czyta płynnie.\nLiczy dobrze."));
    f->prompts.inputs.enqueue("");
    click("ZapiszSzablonEdukacyjneButton");
    QCOMPARE(f->prompts.asked.last().text, QStringLiteral("Nie podano nazwy szablonu"));
    f->prompts.inputs.enqueue("wzorowy");
    click("ZapiszSzablonEdukacyjneButton");
    QCOMPARE(f->prompts.asked.last().text, QString::fromUtf8("Szablon o tej nazwie już istnieje"));
    QCOMPARE(f->prompts.asked.last().caption, QStringLiteral("Nowy szablon oceny"));
    f->library->preview(1)->setPlainText("Pisze ładnie.\nRysuje.");
    f->prompts.inputs.enqueue("plastyka");
    click("ZapiszSzablonEdukacyjneButton");
    QCOMPARE(readFile(templates(1) + "/plastyka"),
             QByteArray("Pisze \xB3\x61\x64nie.\r\nRysuje.\r\n"));
    QCOMPARE(f->library->templates(1)->count(), 2);
    // Rename and delete.
    f->library->templates(1)->setCurrentIndex(f->library->templates(1)->findText("plastyka"));
    f->prompts.inputs.enqueue("sztuka");
    click("ZmienNazweSzablonEdukacyjneButton");
    QVERIFY(QFileInfo::exists(templates(1) + "/sztuka"));
    f->library->templates(1)->setCurrentIndex(-1);
    click("UsunSzablonEdukacyjneButton");
    QCOMPARE(f->prompts.asked.last().text,
             QString::fromUtf8("Aby skasować szablon oceny wybierz go z listy"));
    f->library->templates(1)->setCurrentIndex(f->library->templates(1)->findText("sztuka"));
    f->prompts.answers.enqueue(Prompts::Answer::Yes);
    click("UsunSzablonEdukacyjneButton");
    QCOMPARE(f->prompts.asked.last().text,
             QString::fromUtf8("Czy na pewno chcesz skasować wybrany szablon \"sztuka\""));
    QVERIFY(!QFileInfo::exists(templates(1) + "/sztuka"));
}

void TestPhraseLibrary::longLinesAreKept() {
    const QByteArray longLine = QByteArray("d\xB3ugie ").repeated(50); // 350 characters
    writeFile(categories(0) + "/kultura", "pierwsze\r\n" + longLine + "\r\nostatnie\r\n");
    f->library->hide();
    f->library->show();
    QListWidget *list = f->library->phrases(0);
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->item(1)->text().size(), 350);
    QCOMPARE(list->item(2)->text(), QStringLiteral("ostatnie"));
    // A save writes every phrase back, the long one too.
    f->prompts.inputs.enqueue("nowe");
    click("DodajSformulowanieZachowanieDoListyButton");
    QCOMPARE(readFile(categories(0) + "/kultura"),
             "pierwsze\r\n" + longLine + "\r\nostatnie\r\nnowe\r\n");
}

// What the system answers to a folder opened as a file for writing.
#ifdef Q_OS_WIN
constexpr int kFolderOpenedForWriting = EACCES;
#else
constexpr int kFolderOpenedForWriting = EISDIR;
#endif

void TestPhraseLibrary::failures_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("logName");
    QTest::addColumn<QString>("path"); // %C categories, %T templates of the half
    QTest::addColumn<int>("error");
    QTest::newRow("save phrases into a folder")
        << "save"
        << "Zapisz sformułowania zachowania do pliku\nBłąd otwarcia pliku do zapisu:\n"
        << "vFunZapiszSformulowaniaZachowanie()"
        << "%C/kultura" << kFolderOpenedForWriting;
    QTest::newRow("add category without folder")
        << "add"
        << "Dodaj nową kategorię zajęć edukacyjnych\nBłąd otwarcia pliku do zapisu:\n"
        << "DodajNowaKategorieEdukacyjneButtonClick()"
        << "%C/nowa" << ENOENT;
    QTest::newRow("load a vanished category")
        << "load"
        << "Wczytanie pliku sformułowań zachowania\nBłąd otwarcia pliku do odczytu:\n"
        << "KategoriaZachowanieComboBoxChange()"
        << "%C/kultura" << ENOENT;
    QTest::newRow("delete a vanished template")
        << "deltemplate"
        << "Usuń wybrany szablon oceny zajęć edukacyjnych\nBłąd kasowania pliku:\n"
        << "UsunSzablonEdukacyjneButtonClick()"
        << "%T/wzorowy" << ENOENT;
    QTest::newRow("add behaviour category without folder")
        << "addbehaviour"
        << "Dodaj nową kategorie zachowania\nBłąd tworzenia nowego pliku:\n"
        << "DodajKategorieZachowanieButtonClick()"
        << "%C/nowa" << ENOENT;
    QTest::newRow("delete a vanished category")
        << "delcategory"
        << "Skasuj wybraną kategorie zachowania\nBłąd kasowania pliku:\n"
        << "btnDelCategoryClick()"
        << "%C/kultura" << ENOENT;
    QTest::newRow("load a vanished template")
        << "loadtemplate"
        << "Wczytanie szablonu oceny zajęć edukacyjnych\nBłąd otwarcia pliku do odczytu:\n"
        << "SzablonyEdukacyjneComboBoxChange()"
        << "%T/wzorowy" << ENOENT;
    QTest::newRow("rename a vanished template")
        << "renametemplate"
        << "Zmień nazwę pliku szablonu oceny zajęć edukacyjnych\nBłąd zmiany nazwy pliku z:\n"
        << "ZmienNazweSzablonEdukacyjneButtonClick()"
        << "%T/wzorowy\nna:\n%T/inny" << ENOENT;
    QTest::newRow("save template without folder")
        << "savetemplate"
        << "Zapisz nowy szablon oceny zachowania\nBłąd otwarcia pliku do zapisu:\n"
        << "btnSaveNewTemplateClick()"
        << "%T/nowy" << ENOENT;
}

void TestPhraseLibrary::failures() {
    QFETCH(QString, operation);
    QFETCH(QString, start);
    QFETCH(QString, logName);
    QFETCH(QString, path);
    QFETCH(int, error);
    const int half =
        (operation == "add" || (operation.contains("template") && operation != "savetemplate")) ? 1
                                                                                                : 0;
    path.replace("%C", categories(half)).replace("%T", templates(half));
    if (operation == "save") {
        QFile::remove(path);
        QDir().mkpath(path);
        f->prompts.inputs.enqueue("x");
        click("DodajSformulowanieZachowanieDoListyButton");
    } else if (operation == "add") {
        QDir(categories(1)).removeRecursively();
        f->prompts.inputs.enqueue("nowa");
        click("DodajNowaKategorieEdukacyjneButton");
    } else if (operation == "load") {
        QFile::remove(path);
        f->library->categories(0)->addItem("druga");
        f->library->categories(0)->setCurrentIndex(1);
        f->library->categories(0)->setCurrentIndex(0);
    } else if (operation == "deltemplate") {
        f->library->templates(1)->setCurrentIndex(0);
        QFile::remove(path);
        f->prompts.answers.enqueue(Prompts::Answer::Yes);
        click("UsunSzablonEdukacyjneButton");
    } else if (operation == "addbehaviour") {
        QDir(categories(0)).removeRecursively();
        f->prompts.inputs.enqueue("nowa");
        click("DodajKategorieZachowanieButton");
    } else if (operation == "delcategory") {
        QFile::remove(categories(0) + "/kultura");
        f->prompts.answers.enqueue(Prompts::Answer::Yes);
        click("btnDelCategory");
    } else if (operation == "loadtemplate") {
        QFile::remove(templates(1) + "/wzorowy");
        f->library->templates(1)->setCurrentIndex(0);
    } else if (operation == "renametemplate") {
        f->library->templates(1)->setCurrentIndex(0);
        QFile::remove(templates(1) + "/wzorowy");
        f->prompts.inputs.enqueue("inny");
        click("ZmienNazweSzablonEdukacyjneButton");
    } else if (operation == "savetemplate") {
        QDir(templates(0)).removeRecursively();
        f->prompts.inputs.enqueue("nowy");
        click("btnSaveNewTemplate");
    }
    const QString expected = start + path + QString::fromUtf8("\nKod błędu: %1").arg(error);
    QCOMPARE(f->prompts.asked.last().caption, QStringLiteral("Błąd"));
    QCOMPARE(f->prompts.asked.last().icon, Prompts::Icon::Error);
    QCOMPARE(f->prompts.asked.last().text, expected);
    const auto log = logRows(f->env.programDir());
    QVERIFY(!log.isEmpty());
    QCOMPARE(log.last().fun, logName);
    QCOMPARE(log.last().info, expected);
    QVERIFY(f->library->isVisible()); // the dialog stays open
}

QTEST_MAIN(TestPhraseLibrary)
#include "tst_phraselibrary.moc"
