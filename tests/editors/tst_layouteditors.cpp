#include "document/formlayout.h"
#include "editors/binding.h"
#include "editors/documenteditors.h"
#include "editors/editorset.h"
#include "editors/fields.h"
#include "editors/layouteditor.h"
#include "editors/tfdaneucznia.h"
#include "storage/settings.h"
#include "support/scriptedprompts.h"
#include "support/testenv.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScreen>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

// The document editors on their own: layouts, limits, pupil data copies.
class TestLayoutEditors : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void layoutsMatchTheirWindows_data();
    void layoutsMatchTheirWindows();
    void fieldsStandWhereTheTableSays_data();
    void fieldsStandWhereTheTableSays();
    void pupilDataCopies_data();
    void pupilDataCopies();
    void titlePageKeepsTypedBirthplace();
    void memoLimits_data();
    void memoLimits();
    void wrappedLinesAreLinesOfTheirOwn();
    void wrapSettingIsShared();
    void fieldsReplaceCharactersOutsideCp1250();
    void ctrlPageKeysTurnThePages();
    void sampleFills_data();
    void sampleFills();
    void malformedLayoutIsReported();
    void tabWalksTheFieldsInOrder_data();
    void tabWalksTheFieldsInOrder();
    void paperKeepsTheFormsColours();
    void editorsOpenCentred_data();
    void editorsOpenCentred();

private:
    TFEditor *editor(const char *name) const;
    void setPupil(const QString &first, const QString &surname, const QString &gender,
                  const QString &pesel);

    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<QWidget> m_owner;
    TFDaneUcznia *m_pupil = nullptr;
    QList<TFEditor *> m_editors;
};

void TestLayoutEditors::init() {
    m_env = std::make_unique<TestEnv>();
    m_env->installShipped("ustawienia.sqset");
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_owner = std::make_unique<QWidget>();
    m_editors.clear();
    for (const DocumentInfo &info : documentTable()) {
        TFEditor *e = createBoundWindow(info, m_pupil, m_owner.get());
        if (!m_pupil)
            m_pupil = static_cast<TFDaneUcznia *>(e);
        m_editors << e;
    }
}

void TestLayoutEditors::cleanup() {
    m_owner.reset();
    m_pupil = nullptr;
    m_prompts.reset();
    m_env.reset();
}

TFEditor *TestLayoutEditors::editor(const char *name) const {
    for (TFEditor *e : m_editors) {
        if (e->objectName() == QLatin1String(name))
            return e;
    }
    return nullptr;
}

void TestLayoutEditors::setPupil(const QString &first, const QString &surname,
                                 const QString &gender, const QString &pesel) {
    SqlDataList r{{"DANE UCZNIA", "Imie_DATA_EDIT", first},
                  {"DANE UCZNIA", "Nazwisko_DATA_EDIT", surname},
                  {"DANE UCZNIA", "Plec_DATA_COMBOBOX", gender},
                  {"DANE UCZNIA", "UrodzonyDnia_DATA_EDIT", "1 stycznia"},
                  {"DANE UCZNIA", "UrodzonyRok_DATA_COMBOBOX", "2001 r."},
                  {"DANE UCZNIA", "UrodzonyMiasto_DATA_COMBOBOX", "Łódź"},
                  {"DANE UCZNIA", "NrDziennika_DATA_EDIT", "17"},
                  {"DANE UCZNIA", "Pesel_DATA_EDIT", pesel}};
    m_pupil->ApplyFields(r);
}

void TestLayoutEditors::layoutsMatchTheirWindows_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("bound");
    QTest::addColumn<int>("labels");
    QTest::addColumn<QString>("firstName");
    QTest::newRow("certificate") << "TFKlasa2" << 36 << 36 << "ZMIENNA_ImieNazwisko_STR1_DATA_EDIT";
    QTest::newRow("title page 37")
        << "TFArkuszStr1Kl1" << 47 << 50 << "ZMIENNA_SzkolaNiepublicznaProwadzonaPrzez1_DATA_EDIT";
    QTest::newRow("title page 37b")
        << "TFArkuszStr1b" << 47 << 49 << "ZMIENNA_SzkolaNiepublicznaProwadzonaPrzez1_DATA_EDIT";
    QTest::newRow("results 37") << "TFArkuszStr3Kl1" << 11 << 37 << "ZMIENNA_RokSzkolny_DATA_EDIT";
    QTest::newRow("results 37b") << "TFArkuszStr4bKl3" << 12 << 36
                                 << "ZMIENNA_RokSzkolny_DATA_EDIT";
    QTest::newRow("report") << "TFWywiadowka" << 11 << 12 << "ZMIENNA_ImieNazwisko_STR1_DATA_EDIT";
    QTest::newRow("pupil data") << "TFDaneUcznia" << 9 << 0 << "Imie_DATA_EDIT";
}

void TestLayoutEditors::layoutsMatchTheirWindows() {
    QFETCH(QString, window);
    QFETCH(int, bound);
    QFETCH(int, labels);
    QFETCH(QString, firstName);
    TFEditor *e = editor(window.toLatin1().constData());
    int fields = 0, fixed = 0;
    for (QWidget *w : e->components()) {
        if (fieldKind(w->objectName()) != FieldKind::None)
            ++fields;
        else if (w->objectName().startsWith(QLatin1String("STALY_")))
            ++fixed;
    }
    QCOMPARE(fields, bound);
    QCOMPARE(fixed, labels);
    QCOMPARE(e->components().first()->objectName(), firstName);
}

void TestLayoutEditors::fieldsStandWhereTheTableSays_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<int>("maxLength"); // -1: not an edit
    QTest::addColumn<bool>("enabled");
    QTest::newRow("certificate name")
        << "TFKlasa1"
        << "ZMIENNA_ImieNazwisko_STR1_DATA_EDIT" << QRect(136, 298, 433, 21) << 0 << false;
    QTest::newRow("certificate school") << "TFKlasa3"
                                        << "ZMIENNA_NazwaSzkolyPodstawowej1_STR1_DATA_EDIT"
                                        << QRect(97, 421, 526, 21) << 56 << true;
    QTest::newRow("certificate behaviour")
        << "TFKlasa1"
        << "ZMIENNA_Zachowanie_STR2_DATA_MEMO" << QRect(136, 145, 434, 120) << -1 << true;
    QTest::newRow("PESEL digit 11")
        << "TFArkuszStr1Kl1"
        << "ZMIENNA_Pesel11_DATA_EDIT" << QRect(328, 317, 25, 21) << 0 << false;
    QTest::newRow("results education")
        << "TFArkuszStr2Kl1"
        << "ZMIENNA_Ksztalcenie_DATA_MEMO" << QRect(189, 325, 460, 376) << -1 << true;
    QTest::newRow("report class") << "TFWywiadowka"
                                  << "ZMIENNA_Klasa_STR1_DATA_EDIT" << QRect(424, 46, 79, 21) << 12
                                  << true;
}

void TestLayoutEditors::fieldsStandWhereTheTableSays() {
    QFETCH(QString, window);
    QFETCH(QString, field);
    QFETCH(QRect, geometry);
    QFETCH(int, maxLength);
    QFETCH(bool, enabled);
    QWidget *w = editor(window.toLatin1().constData())->findChild<QWidget *>(field);
    QVERIFY(w);
    QCOMPARE(w->geometry(), geometry);
    QCOMPARE(w->isEnabled(), enabled);
    if (maxLength >= 0) {
        auto *validator =
            qobject_cast<const Cp1250Validator *>(qobject_cast<QLineEdit *>(w)->validator());
        QCOMPARE(validator->maxLength(), maxLength);
    }
}

void TestLayoutEditors::pupilDataCopies_data() {
    QTest::addColumn<QString>("gender");
    QTest::addColumn<QString>("certEnding");
    QTest::addColumn<QString>("sheetEnding");
    QTest::newRow("boy") << "mężczyzna"
                         << ""
                         << "y";
    QTest::newRow("girl") << "kobieta"
                          << "a"
                          << "a";
    QTest::newRow("no gender") << ""
                               << "a"
                               << "a";
    QTest::newRow("any other text") << "chłopiec"
                                    << "a"
                                    << "a";
}

void TestLayoutEditors::pupilDataCopies() {
    QFETCH(QString, gender);
    QFETCH(QString, certEnding);
    QFETCH(QString, sheetEnding);
    setPupil("Jan", "Żak", gender, "01234567890");
    // A certificate stored with an older name shows the current pupil data.
    SqlDataList stored{
        {"SWIADECTWO UKONCZENIA KLASY 2 SZKOLY PODST.", "ZMIENNA_ImieNazwisko_STR1_DATA_EDIT",
         "Stary"},
        {"WYWIADOWKA OPISOWA SZKOLY PODST.", "ZMIENNA_ImieNazwisko_STR1_DATA_EDIT", "Stary"}};
    for (TFEditor *e : m_editors)
        if (e != m_pupil)
            e->ApplyFields(stored);
    TFEditor *cert = editor("TFKlasa2");
    QCOMPARE(cert->fieldText("ZMIENNA_ImieNazwisko_STR1_DATA_EDIT"), QStringLiteral("Jan Żak"));
    QCOMPARE(cert->fieldText("ZMIENNA_DataUrodzenia_STR1_DATA_EDIT"),
             QStringLiteral("1 stycznia 2001 r."));
    QCOMPARE(cert->fieldText("ZMIENNA_MiejsceUrodzenia_STR1_DATA_EDIT"), QStringLiteral("Łódź"));
    QCOMPARE(cert->fieldText("ZMIENNA_NrPesel_STR1_DATA_EDIT"), QStringLiteral("01234567890"));
    QCOMPARE(cert->fieldText("ZMIENNA_SwiadectwoNr_STR1_DATA_EDIT"), QStringLiteral("17"));
    QCOMPARE(cert->fieldText("ZMIENNA_UczeszczalA_STR1_DATA_EDIT"), certEnding);
    QCOMPARE(cert->fieldText("ZMIENNA_OtrzymalA_STR1_DATA_EDIT"), certEnding);
    for (const char *page : {"TFArkuszStr1Kl1", "TFArkuszStr1b"}) {
        TFEditor *t = editor(page);
        QCOMPARE(t->fieldText("ZMIENNA_ImieNazwisko_DATA_EDIT"), QStringLiteral("Jan Żak"));
        for (const char *f : {"ZMIENNA_UrodzonyA_DATA_EDIT", "ZMIENNA_PrzyjetyA_DATA_EDIT",
                              "ZMIENNA_WpisanyA_DATA_EDIT"})
            QCOMPARE(t->fieldText(f), sheetEnding);
        // The sheet prints its own "r." after the year.
        QCOMPARE(t->fieldText("ZMIENNA_UrodzonyRok_DATA_EDIT"), QStringLiteral("2001"));
        QString digits;
        for (int i = 1; i <= 11; ++i)
            digits += t->fieldText(QStringLiteral("ZMIENNA_Pesel%1_DATA_EDIT").arg(i));
        QCOMPARE(digits, QStringLiteral("01234567890"));
        QCOMPARE(t->fieldText("ZMIENNA_Pesel1_DATA_EDIT"), QStringLiteral("0"));
    }
    QCOMPARE(editor("TFWywiadowka")->fieldText("ZMIENNA_ImieNazwisko_STR1_DATA_EDIT"),
             QStringLiteral("Jan Żak"));
    // The pupil dialog itself shows the choice of two.
    QCOMPARE(m_pupil->gender(),
             gender == QStringLiteral("mężczyzna") ? gender : QStringLiteral("kobieta"));
}

void TestLayoutEditors::titlePageKeepsTypedBirthplace() {
    setPupil("Ewa", "Lis", "kobieta", "0123456789");
    TFEditor *t = editor("TFArkuszStr1Kl1");
    t->ApplyFields({{t->documentId(), "ZMIENNA_UrodzonyMiasto_DATA_EDIT", "w Łodzi"}});
    QCOMPARE(t->fieldText("ZMIENNA_UrodzonyMiasto_DATA_EDIT"), QStringLiteral("w Łodzi"));
    t->ApplyFields({});
    QCOMPARE(t->fieldText("ZMIENNA_UrodzonyMiasto_DATA_EDIT"), QStringLiteral("Łódź"));
    // A short PESEL leaves the last digit fields empty.
    QCOMPARE(t->fieldText("ZMIENNA_Pesel10_DATA_EDIT"), QStringLiteral("9"));
    QCOMPARE(t->fieldText("ZMIENNA_Pesel11_DATA_EDIT"), QString());
}

void TestLayoutEditors::memoLimits_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("memo");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("enterSwallowed");
    QTest::newRow("certificate behaviour") << "TFKlasa1"
                                           << "ZMIENNA_Zachowanie_STR2_DATA_MEMO" << 7 << true;
    QTest::newRow("certificate education") << "TFKlasa3"
                                           << "ZMIENNA_ObowiazkoweEdu_STR2_DATA_MEMO" << 12 << true;
    QTest::newRow("results resolution") << "TFArkuszStr5Kl1"
                                        << "ZMIENNA_Uchwala_DATA_MEMO" << 5 << true;
    QTest::newRow("results register") << "TFArkuszStr2bKl1"
                                      << "ZMIENNA_NrDziennika_DATA_MEMO" << 1 << true;
    QTest::newRow("report behaviour") << "TFWywiadowka"
                                      << "ZMIENNA_Zachowanie_STR1_DATA_MEMO" << 7 << false;
}

void TestLayoutEditors::memoLimits() {
    QFETCH(QString, window);
    QFETCH(QString, memo);
    QFETCH(int, limit);
    QFETCH(bool, enterSwallowed);
    TFEditor *e = editor(window.toLatin1().constData());
    e->show();
    auto *m = e->findChild<MemoEdit *>(memo);
    QVERIFY(m);
    QCOMPARE(m->lineLimit(), limit);
    m->setFocus();
    for (int i = 1; i <= limit; ++i) {
        QTest::keyClicks(m, QStringLiteral("linia%1").arg(i));
        if (i < limit)
            QTest::keyClick(m, Qt::Key_Return);
    }
    QCOMPARE(memoLines(m).size(), limit);
    QTest::keyClick(m, Qt::Key_Return); // on the last allowed line
    QCOMPARE(memoLines(m).size(), limit);
    QCOMPARE(memoLines(m).last(), QStringLiteral("linia%1").arg(limit));
    Q_UNUSED(enterSwallowed); // swallowed or cut back at once: the lines stay
    e->hide();
}

void TestLayoutEditors::wrappedLinesAreLinesOfTheirOwn() {
    auto *cert = static_cast<TFKlasa *>(editor("TFKlasa1"));
    cert->AutoWorldWrapCheckBox->setChecked(true);
    cert->AutoWorldWrapCheckBoxClick();
    auto *m = cert->findChild<MemoEdit *>("ZMIENNA_ObowiazkoweEdu_STR2_DATA_MEMO");
    const QString paragraph =
        QStringLiteral("Uczeń bardzo chętnie czyta książki, pięknie recytuje wiersze "
                       "i starannie pisze; liczy w zakresie stu i rozwiązuje zadania.");
    m->setPlainText(paragraph);
    const QStringList lines = memoLines(m);
    QVERIFY2(lines.size() >= 2, qPrintable(lines.join('|')));
    QCOMPARE(lines.join(' '), paragraph);
    SqlDataList records;
    cert->CollectFields(records);
    QStringList stored;
    for (const structSqlData &r : records)
        if (r.comp_name.startsWith("ZMIENNA_ObowiazkoweEdu_STR2_DATA_MEMO"))
            stored << r.value;
    QCOMPARE(stored, lines);
    QStringList names;
    for (const structSqlData &r : records)
        if (r.comp_name.startsWith("ZMIENNA_ObowiazkoweEdu_STR2_DATA_MEMO"))
            names << r.comp_name.right(2);
    QCOMPARE(names.first(), QStringLiteral("01"));
    QCOMPARE(names.last(), QString::asprintf("%02d", int(lines.size())));
    cert->ApplyFields(records);
    QCOMPARE(m->document()->blockCount(), lines.size());
    QCOMPARE(memoLines(m), lines);
    // The shown memo wraps where the hidden one counted.
    cert->show();
    cert->pageControl()->setCurrentIndex(1);
    QApplication::processEvents();
    m->setPlainText(paragraph);
    QApplication::processEvents();
    int shownLines = 0;
    for (QTextBlock b = m->document()->begin(); b.isValid(); b = b.next())
        shownLines += b.layout()->lineCount();
    QCOMPARE(shownLines, lines.size());
    cert->hide();
}

void TestLayoutEditors::wrapSettingIsShared() {
    auto *two = static_cast<TFKlasa *>(editor("TFKlasa2"));
    auto *one = static_cast<TFKlasa *>(editor("TFKlasa1"));
    two->show();
    two->AutoWorldWrapCheckBox->click();
    two->hide();
    int value = 0;
    QString msg;
    QVERIFY(bFunSqlGetSettingsValue(msg, "auto_word_wrap", value));
    QCOMPARE(value, 1);
    one->show();
    QVERIFY(one->AutoWorldWrapCheckBox->isChecked());
    QCOMPARE(one->findChild<MemoEdit *>("ZMIENNA_Zachowanie_STR2_DATA_MEMO")->lineWrapMode(),
             QPlainTextEdit::WidgetWidth);
    one->hide();
}

void TestLayoutEditors::fieldsReplaceCharactersOutsideCp1250() {
    TFEditor *e = editor("TFKlasa1");
    e->show();
    auto *edit = e->findChild<QLineEdit *>("ZMIENNA_Klasa_STR1_DATA_EDIT");
    edit->setFocus();
    for (QChar ch : QStringLiteral("ż€Жb"))
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    // A letter the code page lacks is replaced by its nearest one, and said.
    QCOMPARE(edit->text(), QStringLiteral("ż€Żb"));
    QCOMPARE(static_cast<LayoutEditor *>(e)->statusLabel()->text(),
             QString::fromUtf8("Zamieniono litery, których plik nie może zapisać: Ж→Ż."));
    // Typing stops at the field's length; text set by the program stays whole.
    auto *year = e->findChild<QLineEdit *>("ZMIENNA_RokSzkolny1_STR1_DATA_EDIT");
    year->setFocus();
    QTest::keyClicks(year, "201234");
    QCOMPARE(year->text(), QStringLiteral("2012"));
    QCOMPARE(static_cast<LayoutEditor *>(e)->statusLabel()->text(),
             QString::fromUtf8("Pole jest pełne: 4 z 4 znaków."));
    vFunSetWidgetText(year, "2012/2013");
    QCOMPARE(year->text(), QStringLiteral("2012/2013"));
    auto *memo = e->findChild<MemoEdit *>("ZMIENNA_Zachowanie_STR2_DATA_MEMO");
    memo->setPlainText(QStringLiteral("ąЖę"));
    QCOMPARE(memo->toPlainText(), QStringLiteral("ąŻę"));
    e->hide();
}

void TestLayoutEditors::ctrlPageKeysTurnThePages() {
    int multiPage = 0;
    for (TFEditor *e : m_editors) {
        auto *editor = qobject_cast<LayoutEditor *>(e);
        if (!editor || !editor->pageControl())
            continue;
        ++multiPage;
        QTabWidget *tabs = editor->pageControl();
        editor->show();
        QApplication::setActiveWindow(editor);
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QWidget *field = editor->firstField();
        QVERIFY(field);
        field->setFocus();
        // From a field, whatever its kind: each page in turn, round to the first.
        for (int i = 1; i <= tabs->count(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown, Qt::ControlModifier);
            QCOMPARE(tabs->currentIndex(), i % tabs->count());
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), tabs->count() - 1);
        editor->hide();
    }
    QVERIFY(multiPage > 0);
}

void TestLayoutEditors::sampleFills_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("sample");
    QTest::newRow("certificate name") << "TFKlasa1"
                                      << "ZMIENNA_ImieNazwisko_STR1_DATA_EDIT"
                                      << "imię i nazwisko";
    QTest::newRow("certificate religion") << "TFKlasa1"
                                          << "ZMIENNA_ReligiaOcena_STR2_DATA_COMBOBOX"
                                          << "przykład";
    QTest::newRow("certificate memo")
        << "TFKlasa1"
        << "ZMIENNA_ObowiazkoweEdu_STR2_DATA_MEMO" << QStringList(12, "przykład").join('\n');
    QTest::newRow("37 title class") << "TFArkuszStr1Kl1"
                                    << "ZMIENNA_DoKlasyNaSemestr_DATA_EDIT"
                                    << "przykład";
    QTest::newRow("37 title PESEL") << "TFArkuszStr1Kl1"
                                    << "ZMIENNA_Pesel10_DATA_EDIT"
                                    << "0";
    QTest::newRow("37b title class") << "TFArkuszStr1b"
                                     << "ZMIENNA_DoKlasy_DATA_EDIT"
                                     << "pierwszej";
    QTest::newRow("37b title ending") << "TFArkuszStr1b"
                                      << "ZMIENNA_WpisanyA_DATA_EDIT"
                                      << "y";
    QTest::newRow("results year") << "TFArkuszStr2Kl1"
                                  << "ZMIENNA_RokSzkolny_DATA_EDIT"
                                  << "1234";
    QTest::newRow("results education")
        << "TFArkuszStr2bKl1"
        << "ZMIENNA_Ksztalcenie_DATA_MEMO" << QStringList(27, "przykład").join('\n');
    QTest::newRow("results hours") << "TFArkuszStr2Kl1"
                                   << "ZMIENNA_GodzinNieusp_DATA_MEMO"
                                   << "0";
    QTest::newRow("report memo")
        << "TFWywiadowka"
        << "ZMIENNA_Zachowanie_STR1_DATA_MEMO"
        << "zachowanie 0\nzachowanie 1\nzachowanie 2\nzachowanie 3\nzachowanie 4\n"
           "zachowanie 5\nzachowanie 6";
    QTest::newRow("report semester") << "TFWywiadowka"
                                     << "ZMIENNA_Semestr_STR1_DATA_COMBOBOX"
                                     << "Semestr";
}

void TestLayoutEditors::sampleFills() {
    QFETCH(QString, window);
    QFETCH(QString, field);
    QFETCH(QString, sample);
    TFEditor *e = editor(window.toLatin1().constData());
    QVERIFY(e->hasSampleFields());
    e->FillSampleFields();
    QCOMPARE(e->fieldText(field), sample);
    int withSamples = 0;
    for (TFEditor *x : m_editors)
        withSamples += x->hasSampleFields() ? 1 : 0;
    QCOMPARE(withSamples, 6);
}

void TestLayoutEditors::malformedLayoutIsReported() {
    FormLayout layout;
    QString error;
    QVERIFY(!parseLayout("edit | X_DATA_EDIT | 1 | 10 | abc\n", layout, error));
    QVERIFY(error.startsWith("line 1"));
    layout = FormLayout();
    QVERIFY(
        parseLayout("# comment\nwindow | w | 10 | 20 | plain\nedit | X_DATA_EDIT | 1 | 10 | 12\n",
                    layout, error));
    QCOMPARE(layout.items.size(), 1);
    QCOMPARE(layout.items[0].height, 21);
}

void TestLayoutEditors::tabWalksTheFieldsInOrder_data() {
    QTest::addColumn<QString>("window");
    for (const DocumentInfo &info : documentTable()) {
        if (qstrcmp(info.className, "TFDaneUcznia") != 0)
            QTest::newRow(info.className) << QString::fromLatin1(info.className);
    }
}

// The bound field that holds the focus (an editable drop-down passes it to its
// line edit).
static QWidget *focusedField(const TFEditor *e) {
    for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (e->components().contains(w))
            return w;
    }
    return nullptr;
}

void TestLayoutEditors::tabWalksTheFieldsInOrder() {
    QFETCH(QString, window);
    auto *e = qobject_cast<LayoutEditor *>(editor(window.toLatin1().constData()));
    // The order the form's layout gives, page by page, of the fields a
    // teacher can reach (the program's own fields are disabled).
    QMap<int, QMap<int, QWidget *>> pages;
    for (QWidget *w : e->components()) {
        if (fieldKind(w->objectName()) == FieldKind::None || !w->isEnabled())
            continue;
        const LayoutItem *item = e->layout().item(w->objectName());
        QVERIFY(item && item->tab >= 0);
        QVERIFY2(!pages[item->page].contains(item->tab), qPrintable(w->objectName()));
        pages[item->page].insert(item->tab, w);
    }
    e->show();
    QApplication::setActiveWindow(e);
    QVERIFY(QTest::qWaitForWindowActive(e));
    for (auto page = pages.cbegin(); page != pages.cend(); ++page) {
        if (e->pageControl())
            e->pageControl()->setCurrentIndex(page.key() - 1);
        const QList<QWidget *> order = page.value().values();
        order.first()->setFocus(Qt::TabFocusReason);
        QCOMPARE(focusedField(e), order.first());
        for (int i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY2(focusedField(e) == order[i], qPrintable(order[i]->objectName()));
        }
        for (int i = int(order.size()) - 2; i >= 0; --i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
            QVERIFY2(focusedField(e) == order[i], qPrintable(order[i]->objectName()));
        }
    }
    for (MemoEdit *m : e->memos())
        QVERIFY(m->toPlainText().isEmpty()); // no tab was typed
    e->hide();
}

void TestLayoutEditors::paperKeepsTheFormsColours() {
    // A dark desktop theme: light text on dark fields.
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    dark.setColor(QPalette::WindowText, QColor(220, 220, 220));
    dark.setColor(QPalette::Base, QColor(25, 25, 25));
    dark.setColor(QPalette::Text, QColor(220, 220, 220));
    dark.setColor(QPalette::Button, QColor(50, 50, 50));
    dark.setColor(QPalette::ButtonText, QColor(220, 220, 220));
    const QPalette before = QApplication::palette();
    QApplication::setPalette(dark);
    QApplication::processEvents();
    auto *e = qobject_cast<LayoutEditor *>(editor("TFWywiadowka"));
    QCOMPARE(e->palette().color(QPalette::Window), QColor(40, 40, 40));
    auto *label = e->findChild<QLabel *>("STALY_Zachowanie_STR1_DATA_LABEL");
    auto *edit = e->findChild<QLineEdit *>("ZMIENNA_Klasa_STR1_DATA_EDIT");
    auto *name = e->findChild<QLineEdit *>("ZMIENNA_ImieNazwisko_STR1_DATA_EDIT");
    auto *memo = e->findChild<MemoEdit *>("ZMIENNA_Zachowanie_STR1_DATA_MEMO");
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
    for (QWidget *field : std::initializer_list<QWidget *>{edit, memo}) {
        QCOMPARE(field->palette().color(QPalette::Active, QPalette::Base), QColor(Qt::white));
        QCOMPARE(field->palette().color(QPalette::Active, QPalette::Text), QColor(Qt::black));
    }
    // The pupil's name, filled by the program, stays dark on light.
    QVERIFY(qGray(name->palette().color(QPalette::Disabled, QPalette::Text).rgb()) < 128);
    QVERIFY(qGray(name->palette().color(QPalette::Disabled, QPalette::Base).rgb()) > 200);
    // What is drawn: a white field on white paper.
    e->show();
    const QImage shot = e->pageWidget(1)->grab().toImage();
    const QPoint inside = edit->geometry().center() + QPoint(edit->width() / 3, 0);
    QCOMPARE(QColor(shot.pixel(inside)), QColor(Qt::white));
    // The rest of the window follows the theme.
    QCOMPARE(e->findChild<QWidget *>("BottomPanel")->palette().color(QPalette::Window),
             QColor(40, 40, 40));
    e->hide();
    QApplication::setPalette(before);
}

void TestLayoutEditors::editorsOpenCentred_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("top"); // -1: centred up and down too
    QTest::newRow("certificate") << "TFKlasa1" << 10;
    QTest::newRow("title page") << "TFArkuszStr1b" << 20;
    QTest::newRow("results page") << "TFArkuszStr3Kl1" << 20;
    QTest::newRow("report") << "TFWywiadowka" << -1;
}

void TestLayoutEditors::editorsOpenCentred() {
    QFETCH(QString, window);
    QFETCH(int, top);
    TFEditor *e = editor(window.toLatin1().constData());
    e->show();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // Within the width of a window frame.
    const QRect frame = e->frameGeometry();
    QVERIFY(qAbs(frame.center().x() - screen.center().x()) <= 3);
    if (top >= 0)
        QCOMPARE(frame.top(), screen.top() + top);
    else
        QVERIFY(qAbs(frame.center().y() - screen.center().y()) <= 3);
    e->hide();
}

QTEST_MAIN(TestLayoutEditors)
#include "tst_layouteditors.moc"
