#include "dialogs/tfpomoc.h"
#include "printfixture.h"
#include "storage/settings.h"
#include "support/noprinters.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QToolButton>

// The print dialog on a machine without printers: its components, the
// margin sets with their buttons, and printing into a PDF file.
class TestTFDrukuj : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void componentsAndFirstShowing();
    void buttonsWithoutCaptionsAreNamed();
    void speedButtons_data();
    void speedButtons();
    void speedButtonByKeyboard();
    void selectingASet();
    void saveNewSet_data();
    void saveNewSet();
    void deleteSet();
    void deleteWithNothingShown();
    void restoreShippedSets();
    void setsCannotBeRead();
    void setLastUsedIsSelected();
    void pdfFileAskedAndWritten();
    void pdfFileReplacedOnlyAfterAsking();
    void pdfFileNotWritable();
    void pdfLanding();
    void printsThePagesItWasGiven();
    void cancelAndKeys();
    void helpAndPrinterSetup();

private:
    std::unique_ptr<PrintFixture> f;
    QList<QLineEdit *> side(int s) const;
};

void TestTFDrukuj::init() {
    f = std::make_unique<PrintFixture>();
}

void TestTFDrukuj::cleanup() {
    f.reset();
}

// top, left, right, bottom
QList<QLineEdit *> TestTFDrukuj::side(int s) const {
    TFDrukuj *d = f->dialog;
    if (s == 1)
        return {d->Strona1GornyEdit, d->Strona1LewyEdit, d->Strona1PrawyEdit, d->Strona1DolnyEdit};
    return {d->Strona2GornyEdit, d->Strona2LewyEdit, d->Strona2PrawyEdit, d->Strona2DolnyEdit};
}

static QList<int> values(const QList<QLineEdit *> &edits) {
    QList<int> out;
    for (QLineEdit *e : edits)
        out << e->text().toInt();
    return out;
}

static void setValues(const QList<QLineEdit *> &edits, const QList<int> &v) {
    for (int i = 0; i < 4; ++i)
        edits[i]->setText(QString::number(v[i]));
}

void TestTFDrukuj::componentsAndFirstShowing() {
    TFDrukuj *d = f->dialog;
    QCOMPARE(d->windowTitle(), QStringLiteral("Drukowanie"));
    QCOMPARE(d->DuplexComboBox->count(), 3);
    QCOMPARE(d->DuplexComboBox->itemText(0), QString::fromUtf8("Wyłączony"));
    QCOMPARE(d->DuplexComboBox->itemText(1), QStringLiteral("Duplex pionowo"));
    QCOMPARE(d->DuplexComboBox->itemText(2), QStringLiteral("Duplex poziomo"));
    QCOMPARE(d->DuplexComboBox->currentIndex(), -1);
    QVERIFY(!d->cbRotateSecondPage->isChecked());
    QCOMPARE(d->cbRotateSecondPage->text(), QString::fromUtf8("obróć drugą stronę o 180 stopni"));
    for (int s : {1, 2})
        for (QLineEdit *e : side(s)) {
            QCOMPARE(e->text(), QStringLiteral("0"));
            QVERIFY(e->isReadOnly());
            QVERIFY(!e->isEnabled());
        }
    const QList<std::pair<QPushButton *, const char *>> captions{
        {d->SaveNewButton, "Zapisz jako nowe ustawienia"},
        {d->DeleteButton, "Usuń ustawienia"},
        {d->ResetButton, "Przywróć oryginalne ustawienia"},
        {d->DrukujButton, "Drukuj"},
        {d->AnulujButton, "Anuluj"},
        {d->PomocButton, "Pomoc"},
        {d->BitBtn1, "Ustawienia"}};
    for (const auto &[b, caption] : captions)
        QCOMPARE(b->text(), QString::fromUtf8(caption));
    QVERIFY(d->DrukujButton->isDefault());

    d->show();
    // No printer here: the list offers the PDF file alone, which prints one side per page.
    QCOMPARE(d->DrukarkiComboBox->count(), 1);
    QCOMPARE(d->DrukarkiComboBox->currentText(), QStringLiteral("Plik PDF"));
    QVERIFY(!d->DuplexComboBox->isEnabled());
    QCOMPARE(d->DuplexComboBox->currentText(), QString::fromUtf8("Wyłączony"));
    QVERIFY(!d->cbRotateSecondPage->isEnabled());
    QCOMPARE(d->MarginesyComboBox->count(), 1);
    QCOMPARE(d->MarginesyComboBox->currentText(), QStringLiteral("Standardowe"));
    QCOMPARE(values(side(1)), (QList<int>{0, 0, 210, 297}));
    QCOMPARE(values(side(2)), (QList<int>{0, 0, 210, 297}));
    QVERIFY(f->prompts.asked.isEmpty());
}

void TestTFDrukuj::buttonsWithoutCaptionsAreNamed() {
    const auto buttons = f->dialog->findChildren<QAbstractButton *>();
    int pictures = 0;
    for (QAbstractButton *b : buttons) {
        if (!b->text().isEmpty())
            continue;
        ++pictures;
        QVERIFY2(!b->toolTip().isEmpty(), qPrintable(b->objectName()));
        QCOMPARE(b->accessibleName(), b->toolTip());
        QVERIFY(!b->icon().isNull());
        QVERIFY(b->focusPolicy() & Qt::TabFocus);
    }
    QCOMPARE(pictures, 16);
}

void TestTFDrukuj::speedButtons_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QList<int>>("before"); // top, left, right, bottom of the button's side
    QTest::addColumn<QList<int>>("after");
    const QList<int> start{10, 20, 190, 280};
    auto row = [&](const char *name, int button, const char *tip, const QList<int> &before,
                   const QList<int> &after) {
        QTest::newRow(name) << button << QString::fromUtf8(tip) << before << after;
    };
    // One rule for every button: the top left corner stays on the sheet
    // (0 mm is on it), an edge off the sheet may come back, a print keeps
    // a width and a height; a refused move changes nothing and says why.
    row("1 up", 1, "Strona 1: w górę o 1 mm", start, {9, 20, 190, 279});
    row("1 up to the top", 1, "Strona 1: w górę o 1 mm", {1, 20, 190, 280}, {0, 20, 190, 279});
    row("1 up at the top", 1, "Strona 1: w górę o 1 mm", {0, 0, 210, 297}, {0, 0, 210, 297});
    row("1 up from above the sheet", 1, "Strona 1: w górę o 1 mm", {-6, 0, 210, 297},
        {-6, 0, 210, 297});
    row("2 left", 2, "Strona 1: w lewo o 1 mm", start, {10, 19, 189, 280});
    row("2 left at the edge", 2, "Strona 1: w lewo o 1 mm", {10, 0, 190, 280}, {10, 0, 190, 280});
    row("3 down", 3, "Strona 1: w dół o 1 mm", {1, 20, 190, 280}, {2, 20, 190, 281});
    row("3 down from above the sheet", 3, "Strona 1: w dół o 1 mm", {-6, 0, 210, 297},
        {-5, 0, 210, 298});
    row("4 right past the sheet's edge", 4, "Strona 1: w prawo o 1 mm", {0, 0, 210, 297},
        {0, 1, 211, 297});
    row("5 up", 5, "Strona 2: w górę o 1 mm", start, {9, 20, 190, 279});
    row("5 up at the top", 5, "Strona 2: w górę o 1 mm", {0, 20, 190, 280}, {0, 20, 190, 280});
    row("6 left", 6, "Strona 2: w lewo o 1 mm", start, {10, 19, 189, 280});
    row("6 left at the edge", 6, "Strona 2: w lewo o 1 mm", {10, 0, 190, 280}, {10, 0, 190, 280});
    row("7 down", 7, "Strona 2: w dół o 1 mm", start, {11, 20, 190, 281});
    row("8 right", 8, "Strona 2: w prawo o 1 mm", start, {10, 21, 191, 280});
    row("9 wider", 9, "Strona 1: szerzej o 2 mm", start, {10, 19, 191, 280});
    row("9 wider at the edge", 9, "Strona 1: szerzej o 2 mm", {10, 0, 190, 280}, {10, 0, 190, 280});
    row("10 narrower", 10, "Strona 1: węziej o 2 mm", start, {10, 21, 189, 280});
    row("10 narrower to nothing", 10, "Strona 1: węziej o 2 mm", {10, 5, 7, 280}, {10, 5, 7, 280});
    row("11 taller", 11, "Strona 1: dłużej o 2 mm", start, {9, 20, 190, 281});
    row("11 taller at the top", 11, "Strona 1: dłużej o 2 mm", {0, 20, 190, 280},
        {0, 20, 190, 280});
    row("12 shorter", 12, "Strona 1: krócej o 2 mm", start, {11, 20, 190, 279});
    row("12 shorter to nothing", 12, "Strona 1: krócej o 2 mm", {10, 20, 190, 12},
        {10, 20, 190, 12});
    row("13 wider", 13, "Strona 2: szerzej o 2 mm", start, {10, 19, 191, 280});
    row("13 wider at the edge", 13, "Strona 2: szerzej o 2 mm", {10, 0, 190, 280},
        {10, 0, 190, 280});
    row("14 narrower", 14, "Strona 2: węziej o 2 mm", start, {10, 21, 189, 280});
    row("15 shorter", 15, "Strona 2: krócej o 2 mm", start, {11, 20, 190, 279});
    row("16 taller", 16, "Strona 2: dłużej o 2 mm", start, {9, 20, 190, 281});
    row("16 taller at the top", 16, "Strona 2: dłużej o 2 mm", {0, 20, 190, 280},
        {0, 20, 190, 280});
}

void TestTFDrukuj::speedButtons() {
    QFETCH(int, button);
    QFETCH(QString, tip);
    QFETCH(QList<int>, before);
    QFETCH(QList<int>, after);
    QToolButton *b = f->dialog->SpeedButtons[button - 1];
    QCOMPARE(b->objectName(), QStringLiteral("SpeedButton%1").arg(button));
    QCOMPARE(b->toolTip(), tip);
    const int own = tip.startsWith(QLatin1String("Strona 1")) ? 1 : 2;
    const QList<int> other{33, 44, 155, 266};
    setValues(side(own), before);
    setValues(side(3 - own), other);
    f->click(button);
    QCOMPARE(values(side(own)), after);
    QCOMPARE(values(side(3 - own)), other);
    // A refused move says so, and how far the print can go.
    const QStringList said = f->prompts.messages();
    QCOMPARE(said.size(), after == before ? 1 : 0);
    if (!said.isEmpty())
        QVERIFY2(said[0].startsWith(QStringLiteral("Strona %1: nie można ").arg(own)),
                 qPrintable(said[0]));
}

void TestTFDrukuj::speedButtonByKeyboard() {
    f->dialog->show();
    QToolButton *right = f->dialog->SpeedButtons[3];
    right->setFocus();
    QTest::keyClick(right, Qt::Key_Space);
    QCOMPARE(values(side(1)), (QList<int>{0, 1, 211, 297}));
    QVERIFY(f->dialog->isVisible()); // Space is not Return: nothing printed
}

void TestTFDrukuj::selectingASet() {
    f->addMarginSet({"Biuro", 5, 6, 200, 290, 7, 8, 201, 291});
    f->addMarginSet({"Biuro", 9, 9, 199, 288, 9, 9, 199, 288}); // the later of a name wins
    f->dialog->show();
    QCOMPARE(f->dialog->MarginesyComboBox->count(), 3);
    // The keyboard road: the next entry of the drop-down.
    f->dialog->MarginesyComboBox->setFocus();
    QTest::keyClick(f->dialog->MarginesyComboBox, Qt::Key_Down);
    QCOMPARE(f->dialog->MarginesyComboBox->currentText(), QStringLiteral("Biuro"));
    QCOMPARE(values(side(1)), (QList<int>{9, 9, 199, 288}));
    QCOMPARE(values(side(2)), (QList<int>{9, 9, 199, 288}));
}

void TestTFDrukuj::saveNewSet_data() {
    QTest::addColumn<QStringList>("answers"); // empty: cancelled
    QTest::addColumn<QStringList>("names");   // the sets afterwards
    QTest::addColumn<QString>("message");
    QTest::newRow("new name") << QStringList{"Moja drukarka"}
                              << QStringList{"Standardowe", "Moja drukarka"} << QString();
    QTest::newRow("duplicate") << QStringList{"Standardowe"} << QStringList{"Standardowe"}
                               << QString::fromUtf8("Ustawienia pod tą nazwą już istnieją");
    QTest::newRow("cancelled") << QStringList() << QStringList{"Standardowe"} << QString();
    QTest::newRow("empty name") << QStringList{""} << QStringList{"Standardowe", ""} << QString();
    QTest::newRow("quote in the name")
        << QStringList{"Sala 'B'"} << QStringList{"Standardowe", "Sala 'B'"} << QString();
}

void TestTFDrukuj::saveNewSet() {
    QFETCH(QStringList, answers);
    QFETCH(QStringList, names);
    QFETCH(QString, message);
    f->dialog->show();
    f->click(4, 3); // side 1 three to the right
    f->click(7);    // side 2 one down
    for (const QString &a : answers)
        f->prompts.inputs.enqueue(a);
    QTest::mouseClick(f->dialog->SaveNewButton, Qt::LeftButton);
    const auto &input = f->prompts.asked.first();
    QCOMPARE(input.kind, QStringLiteral("input"));
    QCOMPARE(input.caption, QStringLiteral("Nazwa"));
    QCOMPARE(input.text, QString::fromUtf8("Proszę podać nazwę ustawień"));
    QCOMPARE(input.proposed, QStringLiteral("nowa nazwa"));
    QStringList messages = f->prompts.messages();
    QCOMPARE(messages, message.isEmpty() ? QStringList() : QStringList{message});
    if (!message.isEmpty())
        QCOMPARE(f->prompts.asked.last().caption, QStringLiteral("Duplikat"));

    MarginList stored;
    QString msg;
    QVERIFY(bFunMarginReadData(msg, f->settingsFile(), stored));
    QStringList storedNames;
    for (const structMarginData &m : stored)
        storedNames << m.name;
    QCOMPARE(storedNames, names);
    QCOMPARE(f->dialog->MarginesyComboBox->count(), names.size());
    if (names.size() == 2) {
        const structMarginData &m = stored[1];
        QCOMPARE((QList<int>{m.Page1X1, m.Page1Y1, m.Page1X2, m.Page1Y2}),
                 (QList<int>{3, 0, 213, 297}));
        QCOMPARE((QList<int>{m.Page2X1, m.Page2Y1, m.Page2X2, m.Page2Y2}),
                 (QList<int>{0, 1, 210, 298}));
        // The set just saved stays chosen, with its edges: Drukuj prints with it.
        QCOMPARE(f->dialog->MarginesyComboBox->currentText(), names[1]);
        QCOMPARE(values(side(1)), (QList<int>{0, 3, 213, 297}));
        QCOMPARE(values(side(2)), (QList<int>{1, 0, 210, 298}));
        const QString pdf = f->env.dataHome() + "/nowe.pdf";
        f->prompts.fileNames.enqueue(pdf);
        QTest::mouseClick(f->dialog->DrukujButton, Qt::LeftButton);
        QString stored;
        QVERIFY(
            bFunSqlGetSettingsText(msg, QString::fromLatin1(TFDrukuj::lastMarginSetKey()), stored));
        QCOMPARE(stored, names[1]);
    } else {
        QCOMPARE(values(side(1)), (QList<int>{0, 3, 213, 297})); // nothing reloaded
    }
}

void TestTFDrukuj::deleteSet() {
    f->addMarginSet({"Biuro", 5, 6, 200, 290, 7, 8, 201, 291});
    f->dialog->show();
    f->dialog->MarginesyComboBox->setCurrentIndex(1);
    QTest::mouseClick(f->dialog->DeleteButton, Qt::LeftButton); // unanswered: No
    QCOMPARE(f->prompts.asked.size(), 1);
    QCOMPARE(f->prompts.asked[0].caption, QStringLiteral("Kasowanie"));
    QCOMPARE(f->prompts.asked[0].text,
             QString::fromUtf8("Czy na pewno chcesz skasować ustawienia: Biuro ?"));
    QCOMPARE(f->prompts.asked[0].buttons, Prompts::Buttons::YesNoDefaultNo);
    QCOMPARE(f->dialog->MarginesyComboBox->count(), 2);

    f->prompts.answers.enqueue(Prompts::Answer::Yes);
    QTest::mouseClick(f->dialog->DeleteButton, Qt::LeftButton);
    QCOMPARE(f->dialog->MarginesyComboBox->count(), 1);
    QCOMPARE(f->dialog->MarginesyComboBox->currentText(), QStringLiteral("Standardowe"));
    QCOMPARE(values(side(1)), (QList<int>{0, 0, 210, 297}));
    QCOMPARE(f->prompts.messages().size(), 2); // the two questions, no failure
}

void TestTFDrukuj::deleteWithNothingShown() {
    f->dialog->show();
    f->prompts.answers.enqueue(Prompts::Answer::Yes);
    QTest::mouseClick(f->dialog->DeleteButton, Qt::LeftButton);
    f->prompts.answers.enqueue(Prompts::Answer::Yes);
    QTest::mouseClick(f->dialog->DeleteButton, Qt::LeftButton); // the drop-down is empty now
    const QStringList messages = f->prompts.messages();
    QCOMPARE(messages.size(), 3);
    QCOMPARE(messages[1], QString::fromUtf8("Czy na pewno chcesz skasować ustawienia:  ?"));
    QCOMPARE(messages[2], QString::fromUtf8("Błąd podczas próby kasowania ustawień marginesów."));
    QCOMPARE(f->prompts.asked[2].caption, QStringLiteral("Błąd"));
    QCOMPARE(f->prompts.asked[2].icon, Prompts::Icon::Error);
}

void TestTFDrukuj::restoreShippedSets() {
    f->addMarginSet({"Biuro", 5, 6, 200, 290, 7, 8, 201, 291});
    QString msg;
    QVERIFY(bFunMarginDeleteSettings(msg, f->settingsFile(), "Standardowe"));
    f->dialog->show();
    QCOMPARE(f->dialog->MarginesyComboBox->currentText(), QStringLiteral("Biuro"));
    QTest::mouseClick(f->dialog->ResetButton, Qt::LeftButton); // No: kept
    QCOMPARE(f->prompts.asked[0].caption, QStringLiteral("Przywracanie"));
    QCOMPARE(f->prompts.asked[0].text,
             QString::fromUtf8("Czy na pewno chcesz przywrócić oryginalne ustawienia ?"));
    QCOMPARE(f->prompts.asked[0].buttons, Prompts::Buttons::YesNoDefaultNo);
    QCOMPARE(f->dialog->MarginesyComboBox->currentText(), QStringLiteral("Biuro"));
    f->prompts.answers.enqueue(Prompts::Answer::Yes);
    QTest::mouseClick(f->dialog->ResetButton, Qt::LeftButton);
    QCOMPARE(f->dialog->MarginesyComboBox->count(), 1);
    QCOMPARE(f->dialog->MarginesyComboBox->currentText(), QStringLiteral("Standardowe"));
    QCOMPARE(values(side(2)), (QList<int>{0, 0, 210, 297}));
}

void TestTFDrukuj::setsCannotBeRead() {
    f->addMarginSet({"Biuro", 5, 6, 200, 290, 7, 8, 201, 291});
    f->dialog->show();
    f->dialog->MarginesyComboBox->setCurrentIndex(1);
    f->dialog->hide();
    QFile::remove(f->settingsFile());
    f->dialog->show();
    QCOMPARE(f->prompts.messages(),
             QStringList{QString::fromUtf8("Błąd podczas próby uzyskania listy ustawień.\n\n"
                                           "Plik nie istnieje.\n") +
                         f->settingsFile()});
    // The drop-down and the edits keep what they showed.
    QCOMPARE(f->dialog->MarginesyComboBox->count(), 2);
    QCOMPARE(values(side(1)), (QList<int>{6, 5, 200, 290}));
}

void TestTFDrukuj::setLastUsedIsSelected() {
    f->addMarginSet({"Moja", 5, 6, 200, 290, 7, 8, 201, 291});
    f->renderSampleCertificate();
    f->dialog->show();
    QCOMPARE(f->dialog->MarginesyComboBox->currentText(), QStringLiteral("Standardowe"));
    f->dialog->MarginesyComboBox->setCurrentIndex(1);
    f->prompts.fileNames.enqueue(f->env.dataHome() + "/a.pdf");
    QTest::mouseClick(f->dialog->DrukujButton, Qt::LeftButton);
    QVERIFY(!f->dialog->isVisible());
    QString msg, stored;
    QVERIFY(bFunSqlGetSettingsText(msg, "last_margin_set", stored));
    QCOMPARE(stored, QStringLiteral("Moja"));

    // Shown again: the set last printed with, not the first.
    f->dialog->show();
    QCOMPARE(f->dialog->MarginesyComboBox->currentText(), QStringLiteral("Moja"));
    QCOMPARE(values(side(1)), (QList<int>{6, 5, 200, 290}));
    // Gone: the first set.
    f->dialog->hide();
    QVERIFY(bFunMarginDeleteSettings(msg, f->settingsFile(), "Moja"));
    f->dialog->show();
    QCOMPARE(f->dialog->MarginesyComboBox->currentText(), QStringLiteral("Standardowe"));
    QCOMPARE(values(side(1)), (QList<int>{0, 0, 210, 297}));
}

void TestTFDrukuj::pdfFileAskedAndWritten() {
    f->renderSampleCertificate();
    f->dialog->show();
    // Cancelled: nothing written, the dialog stays.
    QTest::mouseClick(f->dialog->DrukujButton, Qt::LeftButton);
    QCOMPARE(f->prompts.asked.size(), 1);
    const auto &save = f->prompts.asked[0];
    QCOMPARE(save.kind, QStringLiteral("save"));
    QCOMPARE(save.text, QStringLiteral("Pliki PDF (*.pdf)"));
    QCOMPARE(QFileInfo(save.proposed).fileName(),
             QStringLiteral("Agrest Ewa - MEN-I-1-2 klasa 1.pdf"));
    QVERIFY(f->dialog->isVisible());

    // A name without the extension gets it; both sides in one file, no
    // turning over.
    f->prompts.fileNames.enqueue(f->env.dataHome() + "/swiadectwo");
    QTest::mouseClick(f->dialog->DrukujButton, Qt::LeftButton);
    const QString pdf = f->env.dataHome() + "/swiadectwo.pdf";
    QCOMPARE(pdfPageCount(pdf), 2);
    QCOMPARE(f->prompts.messages(), QStringList());
    QVERIFY(!f->dialog->isVisible());
    QCOMPARE(f->dialog->result(), int(QDialog::Accepted));
    // The next proposal is in the folder used last.
    f->dialog->show();
    QTest::mouseClick(f->dialog->DrukujButton, Qt::LeftButton);
    QCOMPARE(QFileInfo(f->prompts.asked.last().proposed).absolutePath(),
             QFileInfo(pdf).absolutePath());
}

void TestTFDrukuj::pdfFileReplacedOnlyAfterAsking() {
    f->renderSampleCertificate();
    const QString pdf = f->env.dataHome() + "/swiadectwo.pdf";
    writeFile(pdf, "poprzedni wydruk");
    f->dialog->show();
    f->prompts.fileNames.enqueue(pdf);
    QTest::mouseClick(f->dialog->DrukujButton, Qt::LeftButton); // answered No
    const auto &question = f->prompts.asked.last();
    QCOMPARE(question.caption, QStringLiteral("Plik PDF"));
    QCOMPARE(question.text, QString::fromUtf8("Plik już istnieje:\n") + pdf +
                                QString::fromUtf8("\nCzy chcesz go zastąpić ?"));
    QCOMPARE(question.buttons, Prompts::Buttons::YesNoDefaultNo);
    QCOMPARE(readFile(pdf), QByteArray("poprzedni wydruk"));
    QVERIFY(f->dialog->isVisible());

    f->prompts.fileNames.enqueue(pdf);
    f->prompts.answers.enqueue(Prompts::Answer::Yes);
    QTest::mouseClick(f->dialog->DrukujButton, Qt::LeftButton);
    QCOMPARE(pdfPageCount(pdf), 2);
    QVERIFY(!f->dialog->isVisible());
}

void TestTFDrukuj::pdfFileNotWritable() {
    f->renderSampleCertificate();
    writeFile(f->env.dataHome() + "/plik", "x");
    const QString pdf = f->env.dataHome() + "/plik/wydruk.pdf";
    f->dialog->show();
    f->prompts.fileNames.enqueue(pdf);
    QTest::mouseClick(f->dialog->DrukujButton, Qt::LeftButton);
    const auto &failure = f->prompts.asked.last();
    QCOMPARE(failure.caption, QStringLiteral("Błąd"));
    QCOMPARE(failure.icon, Prompts::Icon::Error);
    QVERIFY2(failure.text.startsWith(QString::fromUtf8("Nie udało się zapisać pliku PDF:\n") + pdf),
             qPrintable(failure.text));
    // Not printed: the dialog stays open and the set is not taken as used.
    QVERIFY(f->dialog->isVisible());
    QString msg, stored;
    QVERIFY(bFunSqlGetSettingsText(msg, "last_margin_set", stored));
    QCOMPARE(stored, QString());
    QCOMPARE(logRows(f->env.programDir()).last().fun, QStringLiteral("bFunPrintDocument()"));
}

void TestTFDrukuj::pdfLanding() {
    f->renderSampleCertificate();
    const structCalibData pesel = f->row("ZMIENNA_NrPesel_STR1_DATA_EDIT");
    const structCalibData religion = f->row("ZMIENNA_ReligiaOcena_STR2_DATA_COMBOBOX");
    QVERIFY(!pesel.name.isEmpty() && !religion.name.isEmpty());
    f->dialog->show();
    const QString pdf = f->env.dataHome() + "/standard.pdf";
    f->prompts.fileNames.enqueue(pdf);
    QTest::mouseClick(f->dialog->DrukujButton, Qt::LeftButton);
    const QList<int> shipped{0, 0, 210, 297};
    const QRectF before =
        checkFieldLanding(pdf, 1, f->engine.ctx.page1, pesel, shipped, f->env.dataHome());
    if (QTest::currentTestFailed())
        return;
    checkFieldLanding(pdf, 2, f->engine.ctx.page2, religion, shipped, f->env.dataHome());
    if (QTest::currentTestFailed())
        return;

    // Five millimetres to the right with the arrow of side 1.
    f->dialog->show();
    f->click(4, 5);
    const QString moved = f->env.dataHome() + "/przesuniete.pdf";
    f->prompts.fileNames.enqueue(moved);
    QTest::mouseClick(f->dialog->DrukujButton, Qt::LeftButton);
    const QRectF after = checkFieldLanding(moved, 1, f->engine.ctx.page1, pesel, {5, 0, 215, 297},
                                           f->env.dataHome());
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(qAbs(after.left() - before.left() - 5.0) <= 0.1,
             qPrintable(mmText(before) + " -> " + mmText(after)));
    QVERIFY(qAbs(after.right() - before.right() - 5.0) <= 0.1);
    QVERIFY(qAbs(after.top() - before.top()) <= 0.1);
}

void TestTFDrukuj::printsThePagesItWasGiven() {
    f->renderSampleCertificate();
    const PagePicture given = f->engine.ctx.page1;
    const structCalibData pesel = f->row("ZMIENNA_NrPesel_STR1_DATA_EDIT");
    // The preview draws another document meanwhile: the dialog still prints
    // the certificate it was handed.
    const DocumentInfo &report = *documentByClass(QStringLiteral("TFWywiadowka"));
    f->engine.vFunRenderDocument(RecordFieldSource::blank(report), report, false);
    QVERIFY(!(f->engine.ctx.page1 == given));
    f->dialog->show();
    const QString pdf = f->env.dataHome() + "/podane.pdf";
    f->prompts.fileNames.enqueue(pdf);
    QTest::mouseClick(f->dialog->DrukujButton, Qt::LeftButton);
    checkFieldLanding(pdf, 1, given, pesel, {0, 0, 210, 297}, f->env.dataHome());
}

void TestTFDrukuj::cancelAndKeys() {
    f->renderSampleCertificate();
    const PagePicture page1 = f->engine.ctx.page1;
    f->dialog->show();
    QTest::mouseClick(f->dialog->AnulujButton, Qt::LeftButton);
    QVERIFY(!f->dialog->isVisible());
    QCOMPARE(f->dialog->result(), int(QDialog::Rejected));
    f->dialog->show();
    QTest::keyClick(f->dialog, Qt::Key_Escape);
    QVERIFY(!f->dialog->isVisible());
    QVERIFY(f->prompts.asked.isEmpty()); // nothing printed, nothing asked
    QVERIFY(f->engine.ctx.page1 == page1);

    // Shown again after "Anuluj" had the focus, Return prints, as the
    // button does; from the drop-down too.
    for (const char *name : {"enter.pdf", "drop-down.pdf"}) {
        f->dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(f->dialog));
        QCOMPARE(QApplication::focusWidget(), f->dialog->DrukujButton);
        if (QByteArray(name) == "drop-down.pdf")
            f->dialog->MarginesyComboBox->setFocus();
        f->prompts.fileNames.enqueue(f->env.dataHome() + '/' + name);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(pdfPageCount(f->env.dataHome() + '/' + name), 2);
        QVERIFY(!f->dialog->isVisible());
    }
}

void TestTFDrukuj::helpAndPrinterSetup() {
    f->dialog->show();
    // The manual opens in a window of the program, at printing.
    QString section;
    QTimer::singleShot(0, [&] {
        if (auto *help = qobject_cast<TFPomoc *>(QApplication::activeModalWidget())) {
            section = help->section();
            help->close();
        }
    });
    QTest::mouseClick(f->dialog->PomocButton, Qt::LeftButton);
    QCOMPARE(section, QStringLiteral("drukowanie"));
    QVERIFY(f->prompts.opened.isEmpty());

    QStringList shown;
    f->dialog->printerSetup = [&](QPrinter &printer) {
        shown << (printer.outputFormat() == QPrinter::PdfFormat ? "pdf" : printer.printerName());
        return false;
    };
    QTest::mouseClick(f->dialog->BitBtn1, Qt::LeftButton);
    QCOMPARE(shown, QStringList{"pdf"}); // opened on the destination chosen
    f->dialog->printerSetup = [](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        return true;
    };
    QTest::mouseClick(f->dialog->BitBtn1, Qt::LeftButton);
    QCOMPARE(f->dialog->DrukarkiComboBox->currentText(), QStringLiteral("Plik PDF"));
    QVERIFY(!f->dialog->DuplexComboBox->isEnabled());
}

SW_TEST_MAIN_WITHOUT_PRINTERS(TestTFDrukuj)

#include "tst_tfdrukuj.moc"
