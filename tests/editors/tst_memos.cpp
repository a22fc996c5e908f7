#include "editorsfixture.h"

#include "editors/binding.h"
#include "editors/documenteditors.h"
#include "editors/fields.h"
#include "editors/layouteditor.h"
#include "storage/codec.h"
#include "storage/settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabWidget>
#include <QtTest>

// What the teacher typed stays as she typed it: the line limits act on her
// typing and pasting only, never on loading, the wrap box or a copy.
class TestMemos : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void loadingAndTheWrapBoxKeepStoredMemos_data();
    void loadingAndTheWrapBoxKeepStoredMemos();
    void aLoadedPupilFollowsTheWrapSetting();
    void aCopyFromTheCertificateKeepsEveryLine();
    void overLimitWarningFollowsTheText();
    void typingPastTheLimitIsRefusedNotCut();
    void pasteKeepsWhatFits_data();
    void pasteKeepsWhatFits();
    void tabsBecomeBlanks();
    void aLineTooWideForTheFieldIsSaid();
    void aFullMemoRefusesAloud();
    void aFullLineEditRefusesAloud_data();
    void aFullLineEditRefusesAloud();
    void lettersOutsideTheCodePageAreReplacedAndSaid_data();
    void lettersOutsideTheCodePageAreReplacedAndSaid();

private:
    LayoutEditor *editor(const QString &name) const {
        return qobject_cast<LayoutEditor *>(f->editor(name.toLatin1().constData()));
    }
    static QStringList memoRecords(TFEditor *e, const QString &memo);
    static void setWrap(TFEditor *e, bool on);

    std::unique_ptr<EditorsFixture> f;
};

namespace {

// One long paragraph (a non-breaking space included) and a second line, as a
// certificate stores it with wrapping off.
QString longParagraph() {
    return QString::fromUtf8(
        "Uczeń jest koleżeński, chętnie pomaga innym i dba o porządek w klasie. Pracuje "
        "samodzielnie i starannie, na zajęciach jest aktywny i zgłasza się do odpowiedzi. "
        "Bardzo dobrze czyta ze zrozumieniem, pięknie recytuje wiersze i chętnie bierze "
        "udział w przedstawieniach szkolnych. Pisze starannie i poprawnie, zna zasady "
        "ortografii. Sprawnie liczy w zakresie stu, rozwiązuje zadania tekstowe i zadania "
        "z\u00a0treścią. Interesuje się przyrodą, zna pory roku i dba o środowisko. Lubi "
        "zajęcia plastyczne i muzyczne, jego prace są estetyczne. Na zajęciach ruchowych "
        "jest sprawny i przestrzega zasad gry fair play.");
}

QString flat(const QStringList &values) {
    QString out = values.join(QString());
    out.remove(QRegularExpression(QStringLiteral("\\s")));
    return out;
}

} // namespace

void TestMemos::init() {
    f = std::make_unique<EditorsFixture>();
}

void TestMemos::cleanup() {
    f.reset();
}

QStringList TestMemos::memoRecords(TFEditor *e, const QString &memo) {
    SqlDataList records;
    e->CollectFields(records);
    QStringList values;
    for (const structSqlData &r : records) {
        if (r.comp_name.startsWith(memo))
            values << r.value;
    }
    return values;
}

void TestMemos::setWrap(TFEditor *e, bool on) {
    if (auto *cert = qobject_cast<TFKlasa *>(e)) {
        cert->AutoWorldWrapCheckBox->setChecked(on);
        cert->AutoWorldWrapCheckBoxClick();
    }
}

void TestMemos::loadingAndTheWrapBoxKeepStoredMemos_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("memo");
    QTest::addColumn<bool>("wrapAtLoad");
    QTest::newRow("certificate, wrapping off") << "TFKlasa1"
                                               << "ZMIENNA_Zachowanie_STR2_DATA_MEMO" << false;
    QTest::newRow("certificate, wrapping on") << "TFKlasa2"
                                              << "ZMIENNA_Zachowanie_STR2_DATA_MEMO" << true;
    QTest::newRow("certificate education, wrapping on")
        << "TFKlasa3"
        << "ZMIENNA_ObowiazkoweEdu_STR2_DATA_MEMO" << true;
    QTest::newRow("results page") << "TFArkuszStr4Kl1"
                                  << "ZMIENNA_Zachowanie_DATA_MEMO" << true;
    QTest::newRow("report") << "TFWywiadowka"
                            << "ZMIENNA_Zachowanie_STR1_DATA_MEMO" << true;
}

void TestMemos::loadingAndTheWrapBoxKeepStoredMemos() {
    QFETCH(QString, window);
    QFETCH(QString, memo);
    QFETCH(bool, wrapAtLoad);
    TFEditor *e = editor(window);
    const QStringList stored{longParagraph(), QStringLiteral("Druga linia.")};
    SqlDataList records;
    for (int i = 0; i < stored.size(); ++i)
        records.append({e->documentId(), memo + QString::asprintf("%02d", i + 1), stored[i]});
    setWrap(e, wrapAtLoad);
    e->ApplyFields(records);
    auto *m = e->findChild<MemoEdit *>(memo);
    QCOMPARE(m->document()->blockCount(), 2);
    QCOMPARE(e->fieldText(memo), stored.join('\n'));
    // Nothing is cut: a memo holding more lines than its limit, or (not
    // wrapped) a line wider than itself, says so.
    QCOMPARE(m->limitWarning()->isHidden(),
             m->lineCount() <= m->lineLimit() && !m->hasTooWideLine());
    if (wrapAtLoad) {
        QCOMPARE(flat(memoRecords(e, memo)), flat(stored)); // every character is saved
    } else {
        QCOMPARE(memoRecords(e, memo), stored);
    }
    if (memo.contains(QLatin1String("Zachowanie_STR")))
        QVERIFY2(m->lineCount() > m->lineLimit() || !wrapAtLoad,
                 qPrintable(QString::number(m->lineCount())));
    // The wrap box, ticked and unticked, changes how the text shows, never the text.
    if (qobject_cast<TFKlasa *>(e)) {
        setWrap(e, !wrapAtLoad);
        setWrap(e, false);
        QCOMPARE(memoRecords(e, memo), stored);
        QCOMPARE(cp1250::encode(e->fieldText(memo)), cp1250::encode(stored.join('\n')));
    }
}

void TestMemos::aLoadedPupilFollowsTheWrapSetting() {
    // The box ticked in an earlier session: a certificate not yet shown loads,
    // previews and saves its lines wrapped, as it would once shown.
    QString msg;
    QVERIFY(bFunSqlSettingWriteValue(msg, "auto_word_wrap", 1));
    auto *cert = static_cast<TFKlasa *>(editor("TFKlasa3"));
    cert->ApplyFields(
        {{cert->documentId(), "ZMIENNA_Zachowanie_STR2_DATA_MEMO01", longParagraph()}});
    QVERIFY(cert->AutoWorldWrapCheckBox->isChecked());
    auto *m = cert->findChild<MemoEdit *>("ZMIENNA_Zachowanie_STR2_DATA_MEMO");
    QVERIFY(m->wordWrap());
    QVERIFY(memoRecords(cert, "ZMIENNA_Zachowanie_STR2_DATA_MEMO").size() > 1);
}

void TestMemos::aCopyFromTheCertificateKeepsEveryLine() {
    TFEditor *cert = editor("TFKlasa2");
    QStringList twelve;
    for (int i = 1; i <= 12; ++i)
        twelve << QStringLiteral("linia %1").arg(i);
    cert->setFieldText("ZMIENNA_Zachowanie_STR2_DATA_MEMO", twelve.join('\n'));
    auto *page = static_cast<TFArkuszWyniki *>(editor("TFArkuszStr3bKl2"));
    page->WczytajDaneZSwiadectwaButtonClick();
    auto *m = page->findChild<MemoEdit *>("ZMIENNA_Zachowanie_DATA_MEMO");
    QCOMPARE(memoRecords(page, "ZMIENNA_Zachowanie_DATA_MEMO"), twelve);
    QVERIFY(m->isOverLimit()); // 12 of 9: the page says so instead of dropping three
}

void TestMemos::overLimitWarningFollowsTheText() {
    TFEditor *e = editor("TFArkuszStr2Kl1");
    auto *m = e->findChild<MemoEdit *>("ZMIENNA_Uchwala_DATA_MEMO"); // 5 lines
    e->ApplyFields({{e->documentId(), "ZMIENNA_Uchwala_DATA_MEMO01", "1"},
                    {e->documentId(), "ZMIENNA_Uchwala_DATA_MEMO02", "2"},
                    {e->documentId(), "ZMIENNA_Uchwala_DATA_MEMO03", "3"},
                    {e->documentId(), "ZMIENNA_Uchwala_DATA_MEMO04", "4"},
                    {e->documentId(), "ZMIENNA_Uchwala_DATA_MEMO05", "5"},
                    {e->documentId(), "ZMIENNA_Uchwala_DATA_MEMO06", "6"},
                    {e->documentId(), "ZMIENNA_Uchwala_DATA_MEMO07", "7"}});
    e->show();
    QCOMPARE(m->lineCount(), 7);
    QVERIFY(m->limitWarning()->isVisible());
    QCOMPARE(m->limitWarning()->text(),
             QString::fromUtf8(
                 "Tekst nie mieści się w polu: 7 z 5 wierszy. Skróć go, aby wydruk był pełny."));
    // The warning stands under the text, inside the memo's frame.
    QVERIFY(m->rect().contains(m->limitWarning()->geometry()));
    QVERIFY(m->viewport()->geometry().bottom() < m->limitWarning()->geometry().top());
    // Enter adds no line to an over-full memo; deleting shortens it and the
    // warning follows until it goes away.
    m->setFocus();
    m->moveCursor(QTextCursor::End);
    QTest::keyClick(m, Qt::Key_Return);
    QCOMPARE(m->lineCount(), 7);
    QTest::keyClick(m, Qt::Key_Backspace);
    QTest::keyClick(m, Qt::Key_Backspace);
    QCOMPARE(m->lineCount(), 6);
    QVERIFY(m->limitWarning()->text().contains(QStringLiteral(": 6 z 5 wierszy")));
    QTest::keyClick(m, Qt::Key_Backspace);
    QTest::keyClick(m, Qt::Key_Backspace);
    QCOMPARE(m->lineCount(), 5);
    QVERIFY(m->limitWarning()->isHidden());
    QCOMPARE(memoRecords(e, "ZMIENNA_Uchwala_DATA_MEMO"), QStringList({"1", "2", "3", "4", "5"}));
    e->hide();
}

void TestMemos::aLineTooWideForTheFieldIsSaid() {
    // A certificate memo without wrapping: one long paragraph is one line,
    // which would run off the form on paper.
    TFEditor *e = editor("TFKlasa1");
    setWrap(e, false);
    auto *m = e->findChild<MemoEdit *>("ZMIENNA_Zachowanie_STR2_DATA_MEMO");
    const QString longLine =
        QString::fromUtf8("Zosia jest uczennicą pilną, życzliwą i koleżeńską. ").repeated(6);
    e->ApplyFields({{e->documentId(), "ZMIENNA_Zachowanie_STR2_DATA_MEMO01", longLine}});
    e->show();
    QCOMPARE(m->lineCount(), 1);
    QVERIFY(m->hasTooWideLine());
    QVERIFY(!m->limitWarning()->isHidden()); // on side 2, which is not the tab in front
    QVERIFY(m->limitWarning()->text().contains(QString::fromUtf8("Automatyczne zwijanie wierszy")));
    // Wrapped, the same text fits its lines; nothing of it is lost.
    setWrap(e, true);
    QVERIFY(!m->hasTooWideLine());
    QVERIFY(m->limitWarning()->isHidden());
    setWrap(e, false);
    QVERIFY(m->hasTooWideLine());
    // A short line is no matter.
    e->ApplyFields({{e->documentId(), "ZMIENNA_Zachowanie_STR2_DATA_MEMO01", "Zosia"}});
    QVERIFY(!m->hasTooWideLine());
    QVERIFY(m->limitWarning()->isHidden());
    e->hide();
}

void TestMemos::typingPastTheLimitIsRefusedNotCut() {
    // Seven lines, each filled nearly to the edge: a word typed on the first
    // line would push the last one out. The key is refused; nothing is lost.
    auto *cert = static_cast<TFKlasa *>(editor("TFKlasa1"));
    setWrap(cert, true);
    auto *m = cert->findChild<MemoEdit *>("ZMIENNA_Zachowanie_STR2_DATA_MEMO");
    QStringList lines;
    for (int i = 0; i < 7; ++i) {
        QString line = QStringLiteral("wiersz%1").arg(i + 1);
        while (memoLines(m, line + QStringLiteral(" abc")).size() == 1)
            line += QStringLiteral(" abc");
        lines << line;
    }
    m->setPlainText(lines.join('\n'));
    QCOMPARE(m->lineCount(), 7);
    cert->show();
    cert->pageControl()->setCurrentIndex(1);
    m->setFocus();
    m->moveCursor(QTextCursor::Start);
    m->moveCursor(QTextCursor::EndOfBlock);
    const QString word = QStringLiteral(" dodatkowe");
    QTest::keyClicks(m, word);
    // Keys go in while the line has room; the rest are refused.
    QCOMPARE(m->lineCount(), 7);
    QCOMPARE(memoLines(m).mid(1), lines.mid(1));
    const QString typed = memoLines(m).first().mid(lines.first().size());
    QVERIFY(memoLines(m).first().startsWith(lines.first()));
    // Each key is measured alone: after a refused wide letter a narrow one
    // may still fit (which does depends on the font). What went in are the
    // word's letters in order, and the word never fits whole.
    auto keptInOrder = [&word](const QString &part) {
        qsizetype at = 0;
        for (QChar ch : part) {
            at = word.indexOf(ch, at);
            if (at < 0)
                return false;
            ++at;
        }
        return true;
    };
    QVERIFY2(keptInOrder(typed) && typed.size() < word.size(), qPrintable(typed));
    // Typing that keeps the lines goes in.
    m->moveCursor(QTextCursor::Start);
    QTest::keyClick(m, Qt::Key_Delete);
    QTest::keyClicks(m, "x");
    QCOMPARE(memoLines(m).first().left(7), QStringLiteral("xiersz1"));
    cert->hide();
}

void TestMemos::pasteKeepsWhatFits_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("caret"); // -1: at the end
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("status");
    QStringList ten;
    for (int i = 1; i <= 10; ++i)
        ten << QStringLiteral("zdanie %1").arg(i);
    QTest::newRow("ten lines into an empty memo")
        << "" << -1 << ten.join('\n') << QStringList(ten.mid(0, 7)).join('\n')
        << QString::fromUtf8("Tekst nie zmieścił się w polu w całości: pominięto 3 wiersze.");
    QTest::newRow("four lines after five") << "a\nb\nc\nd\ne" << -1 << "\nf\ng\nh\ni"
                                           << "a\nb\nc\nd\ne\nf\ng"
                                           << QString::fromUtf8("Tekst nie zmieścił się w polu "
                                                                "w całości: pominięto 2 wiersze.");
    QTest::newRow("into the middle: the lines after it stay")
        << "a\nb\nc\nd\ne" << 1 << "\nx\ny\nz"
        << "a\nx\ny\nb\nc\nd\ne"
        << QString::fromUtf8("Tekst nie zmieścił się w polu w całości: pominięto 1 wiersz.");
    QTest::newRow("fits whole") << "a" << -1 << "\r\nb\r\nc"
                                << "a\nb\nc" << QString();
    QTest::newRow("a tab becomes a blank") << "" << -1 << "Grzeczna\treligia"
                                           << "Grzeczna religia" << QString();
}

void TestMemos::pasteKeepsWhatFits() {
    QFETCH(QString, before);
    QFETCH(int, caret);
    QFETCH(QString, pasted);
    QFETCH(QString, after);
    QFETCH(QString, status);
    LayoutEditor *e = editor("TFKlasa2");
    auto *m = e->findChild<MemoEdit *>("ZMIENNA_Zachowanie_STR2_DATA_MEMO");
    m->setPlainText(before);
    e->show();
    m->setFocus();
    QTextCursor c = m->textCursor();
    c.setPosition(caret < 0 ? int(before.size()) : caret);
    m->setTextCursor(c);
    QApplication::clipboard()->setText(pasted);
    QTest::keyClick(m, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(memoText(m), after);
    QCOMPARE(e->statusLabel()->text(), status);
    e->hide();
    // Said once: the next opening starts with a clear status line.
    e->show();
    QCOMPARE(e->statusLabel()->text(), QString());
    e->hide();
}

void TestMemos::tabsBecomeBlanks() {
    LayoutEditor *e = editor("TFArkuszStr2bKl1");
    // Tab moves on and types nothing.
    e->show();
    QApplication::setActiveWindow(e);
    QVERIFY(QTest::qWaitForWindowActive(e));
    auto *m = e->findChild<MemoEdit *>("ZMIENNA_Zachowanie_DATA_MEMO");
    m->setFocus();
    QTest::keyClicks(m, "Grzeczna");
    QTest::keyClick(m, Qt::Key_Tab);
    QVERIFY(!m->hasFocus());
    QCOMPARE(memoText(m), QStringLiteral("Grzeczna"));
    e->hide();
    // A tab from a stored document shows, is saved and prints as a blank.
    e->ApplyFields({{e->documentId(), "ZMIENNA_Zachowanie_DATA_MEMO01", "Grzeczna\treligia"}});
    QCOMPARE(memoText(m), QStringLiteral("Grzeczna religia"));
    QCOMPARE(memoRecords(e, "ZMIENNA_Zachowanie_DATA_MEMO"), QStringList{"Grzeczna religia"});
}

void TestMemos::aFullMemoRefusesAloud() {
    auto *cert = static_cast<TFKlasa *>(editor("TFKlasa1"));
    setWrap(cert, true);
    auto *m = cert->findChild<MemoEdit *>("ZMIENNA_Zachowanie_STR2_DATA_MEMO");
    const QString six = QString::fromUtf8("pierwsza\ndruga\ntrzecia\nczwarta\npiąta\nszósta\n");
    const QString seven = six + QString::fromUtf8("siódma linia");
    m->setPlainText(seven);
    cert->show();
    m->setFocus();
    QTextCursor c = m->textCursor();
    c.setPosition(int(six.size()));
    m->setTextCursor(c);
    // Enter on the last allowed line is refused and said.
    QTest::keyClick(m, Qt::Key_Return);
    QCOMPARE(memoText(m), seven);
    QCOMPARE(cert->statusLabel()->text(), QString::fromUtf8("Pole jest pełne: 7 z 7 wierszy."));
    // The words typed next never run into the line ("dopisanesiódma linia").
    QTest::keyClicks(m, "dopisane");
    QCOMPARE(memoText(m), seven);
    QVERIFY2(cert->statusLabel()->text().startsWith(
                 QString::fromUtf8("Pole jest pełne: 7 z 7 wierszy. Enter nie dodał")),
             qPrintable(cert->statusLabel()->text()));
    // Moved on, typing goes in where there is room, and the line is cleared.
    m->moveCursor(QTextCursor::End);
    QTest::keyClicks(m, " x");
    QCOMPARE(memoText(m), seven + " x");
    // A blank at the end of a full last line is refused while no letter
    // could follow it: it would be stored with the word refused after it.
    QString last = QStringLiteral("w");
    while (memoLines(m, six + last + QStringLiteral(" x")).size() == 7)
        last += QLatin1Char('w');
    m->setPlainText(six + last);
    cert->statusLabel()->clear();
    m->moveCursor(QTextCursor::End);
    QTest::keyClick(m, Qt::Key_Space);
    QCOMPARE(memoText(m), six + last);
    QCOMPARE(cert->statusLabel()->text(), QString::fromUtf8("Pole jest pełne: 7 z 7 wierszy."));
    // A paste into the full memo puts in nothing and says so.
    QApplication::clipboard()->setText(QStringLiteral("\nosma linia"));
    QTest::keyClick(m, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(memoText(m), six + last);
    QVERIFY(cert->statusLabel()->text().startsWith(QString::fromUtf8("Tekst nie zmieścił się")));
    cert->hide();
}

void TestMemos::aFullLineEditRefusesAloud_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("paste");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("status");
    const QString full = QString::fromUtf8("Pole jest pełne: 4 z 4 znaków.");
    QTest::newRow("typing stops at the length") << "" << false << "201234"
                                                << "2012" << full;
    QTest::newRow("a paste too long is refused whole") << "" << true << "2012/2013"
                                                       << "" << full;
    QTest::newRow("a paste that fits goes in") << "20" << true << "12"
                                               << "2012" << QString();
}

void TestMemos::aFullLineEditRefusesAloud() {
    QFETCH(QString, before);
    QFETCH(bool, paste);
    QFETCH(QString, input);
    QFETCH(QString, after);
    QFETCH(QString, status);
    LayoutEditor *e = editor("TFKlasa1");
    auto *year = e->findChild<QLineEdit *>("ZMIENNA_RokSzkolny1_STR1_DATA_EDIT");
    e->show();
    vFunSetWidgetText(year, before);
    year->setFocus();
    year->end(false);
    if (paste) {
        QApplication::clipboard()->setText(input);
        QTest::keyClick(year, Qt::Key_V, Qt::ControlModifier);
    } else {
        QTest::keyClicks(year, input);
    }
    QCOMPARE(year->text(), after);
    QCOMPARE(e->statusLabel()->text(), status);
    QCOMPARE(memoRecords(e, "ZMIENNA_RokSzkolny1_STR1_DATA_EDIT"), QStringList{after});
    e->hide();
}

void TestMemos::lettersOutsideTheCodePageAreReplacedAndSaid_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("paste");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("status");
    const QString memo = QStringLiteral("ZMIENNA_Zachowanie_STR2_DATA_MEMO");
    const QString edit = QStringLiteral("ZMIENNA_SzkolaMiasto_STR1_DATA_EDIT");
    const QString intro = QString::fromUtf8("Zamieniono litery, których plik nie może zapisać: ");
    QTest::newRow("memo, paste") << memo << true << QString::fromUtf8("Pani Muñoz i Jørgen")
                                 << "Pani Munoz i Jorgen" << intro + QString::fromUtf8("ñ→n, ø→o.");
    QTest::newRow("memo, Polish letters stay")
        << memo << true << QString::fromUtf8("Zażółć gęślą jaźń")
        << QString::fromUtf8("Zażółć gęślą jaźń") << QString();
    QTest::newRow("memo, typed") << memo << false << QString::fromUtf8("ñøœЖ")
                                 << QString::fromUtf8("nooeŻ")
                                 << intro + QString::fromUtf8("ñ→n, ø→o, œ→oe, Ж→Ż.");
    QTest::newRow("line edit, paste") << edit << true << QString::fromUtf8("Muñoz Åsa")
                                      << "Munoz Asa" << intro + QString::fromUtf8("ñ→n, Å→A.");
    QTest::newRow("line edit, typed") << edit << false << QString::fromUtf8("Jørgen") << "Jorgen"
                                      << intro + QString::fromUtf8("ø→o.");
}

void TestMemos::lettersOutsideTheCodePageAreReplacedAndSaid() {
    QFETCH(QString, field);
    QFETCH(bool, paste);
    QFETCH(QString, input);
    QFETCH(QString, stored);
    QFETCH(QString, status);
    LayoutEditor *e = editor("TFKlasa1");
    QWidget *w = e->findChild<QWidget *>(field);
    e->show();
    e->pageControl()->setCurrentIndex(field.endsWith("MEMO") ? 1 : 0);
    w->setFocus();
    if (paste) {
        QApplication::clipboard()->setText(input);
        QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
    } else {
        for (QChar ch : input)
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    QCOMPARE(strFunWidgetText(w), stored);
    QCOMPARE(e->statusLabel()->text(), status);
    // What is stored is what she sees.
    QCOMPARE(memoRecords(e, field), QStringList{stored});
    e->hide();
}

QTEST_MAIN(TestMemos)
#include "tst_memos.moc"
