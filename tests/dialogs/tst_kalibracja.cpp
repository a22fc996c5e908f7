#include "../printing/pageimage.h"
#include "dialogs/tfkalibracja.h"
#include "document/samples.h"
#include "storage/cppsqlite3.h"
#include "storage/paths.h"
#include "support/scriptedprompts.h"
#include "support/testenv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

// The calibration editor over a print engine: its object lists, moving and
// writing rows, the input checks, restoring the shipped file and closing.
class TestKalibracja : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void layoutsAndObjectLists_data();
    void layoutsAndObjectLists();
    void choosingShowsTheRowAndOutlinesIt();
    void memoLineOutlinesTheWholeMemo();
    void buttonsChangeOnlyTheEdits();
    void arrowKeysInX1MoveAndWrite();
    void applyWritesTheRowAsShown();
    void faceNotInstalledStoredAsTyped();
    void layoutsSetTheDotsOption();
    void notANumber_data();
    void notANumber();
    void restoreAnsweredNo();
    void restoreWithShippedFileMissing();
    void restoreCopiesTheShippedFile();
    void closingBlanksThePreviews();

private:
    QString calibFile() const { return env->programFile("bruma_kalibracja.sqset"); }
    structCalibData storedRow(const QString &table, const QString &name) const;
    void choose(const QString &table, const QString &object);

    std::unique_ptr<TestEnv> env;
    std::unique_ptr<QTemporaryDir> install;
    std::unique_ptr<ScriptedPrompts> prompts;
    PrintEngine *engine = nullptr; // the dialog's own
    std::unique_ptr<TFKalibracja> dialog;
    int previews = 0;
    QList<int> tabs;
};

void TestKalibracja::init() {
    env = std::make_unique<TestEnv>();
    install = std::make_unique<QTemporaryDir>();
    QDir().mkpath(env->programFile("grafika"));
    for (const char *name :
         {"bruma_kalibracja.sqset", "ustawienia.sqset", "grafika/sw_str1_prw.png",
          "grafika/sw_str2_prw.png", "grafika/arkusz_prw.png", "grafika/wywiadowka_prw.png"})
        env->installShipped(QString::fromLatin1(name));
    QFile::copy(QCoreApplication::applicationDirPath() + "/bruma_kalibracja.sqset",
                install->filePath("bruma_kalibracja.sqset"));
    vFunSetExeDirPathForTests(install->path());
    prompts = std::make_unique<ScriptedPrompts>();
    dialog = std::make_unique<TFKalibracja>();
    engine = &dialog->engine();
    previews = 0;
    tabs.clear();
    engine->showPreview = [this](const QImage &, const QImage &, bool) { ++previews; };
    engine->ctx.bringIntoView = [this](int tab, int, int) { tabs << tab; };
    engine->ctx.report = [this](const QString &caption, const QString &text, Prompts::Icon icon) {
        prompts->message(nullptr, caption, text, icon, Prompts::Buttons::Ok);
    };
}

void TestKalibracja::cleanup() {
    dialog.reset();
    engine = nullptr;
    prompts.reset();
    vFunSetExeDirPathForTests(QString());
    install.reset();
    env.reset();
}

structCalibData TestKalibracja::storedRow(const QString &table, const QString &name) const {
    QString msg;
    CalibList rows;
    bFunCalibLoadData(msg, calibFile(), table, rows);
    for (const structCalibData &r : rows)
        if (r.name == name)
            return r;
    return structCalibData();
}

void TestKalibracja::choose(const QString &table, const QString &object) {
    if (!dialog->isVisible())
        dialog->show();
    dialog->TypSwiadectwaComboBox->setCurrentText(table);
    QCOMPARE(dialog->TypSwiadectwaComboBox->currentText(), table);
    const int i = dialog->VariableComboBox->findText(object, Qt::MatchExactly);
    QVERIFY2(i >= 0, qPrintable(object));
    dialog->VariableComboBox->setCurrentIndex(i);
}

void TestKalibracja::layoutsAndObjectLists_data() {
    QTest::addColumn<bool>("advanced");
    QTest::newRow("basic") << false;
    QTest::newRow("advanced") << true;
}

void TestKalibracja::layoutsAndObjectLists() {
    QFETCH(bool, advanced);
    dialog->setMode(advanced ? TFKalibracja::Mode::Advanced : TFKalibracja::Mode::Basic);
    QCOMPARE(dialog->windowTitle(), advanced ? QStringLiteral("Formatowanie zaawansowane")
                                             : QStringLiteral("Formatowanie podstawowe"));
    dialog->show();
    QVERIFY(engine->ctx.calibrating);
    // The tables of the working file, the first chosen.
    QStringList tables;
    for (int i = 0; i < dialog->TypSwiadectwaComboBox->count(); ++i)
        tables << dialog->TypSwiadectwaComboBox->itemText(i);
    QCOMPARE(tables.size(), 7);
    for (const PrintedForm &form : printedForms())
        QVERIFY(tables.contains(QString::fromLatin1(form.calibTable)));
    QVERIFY(dialog->FontsNameComboBox->findText("Liberation Serif") >= 0);

    dialog->TypSwiadectwaComboBox->setCurrentText("klasa_1_3");
    QStringList listed, expected;
    for (int i = 0; i < dialog->VariableComboBox->count(); ++i)
        listed << dialog->VariableComboBox->itemText(i);
    for (const structCalibData &r : dialog->rows())
        if (advanced || r.name.contains("ZMIENNA"))
            expected << r.name;
    QCOMPARE(listed, expected); // in table order
    QCOMPARE(dialog->VariableComboBox->currentIndex(), 0);
    QCOMPARE(listed.contains("GRAFIKA: ORZELEK"), advanced);
    QCOMPARE(listed.contains("GRAFIKA: PIECZATKA"), advanced);
    QVERIFY(listed.contains("ZMIENNA_ImieNazwisko_STR1_DATA_EDIT"));
    QVERIFY(listed.contains("ZMIENNA_Zachowanie_STR2_DATA_MEMO01"));
    QVERIFY(!listed.filter("_LINIA_Z_KROPEK").isEmpty());
    QCOMPARE(listed.size() < dialog->rows().size(), !advanced);
    // The report prints its form's texts: advanced lists them too.
    dialog->TypSwiadectwaComboBox->setCurrentText("wywiadowka");
    QCOMPARE(dialog->VariableComboBox->findText("STALY_Klasa_STR1_DATA_LABEL") >= 0, advanced);
    QVERIFY(prompts->asked.isEmpty());
}

void TestKalibracja::choosingShowsTheRowAndOutlinesIt() {
    choose("klasa_1_3", "ZMIENNA_RokSzkolny1_STR1_DATA_EDIT");
    const structCalibData r = storedRow("klasa_1_3", "ZMIENNA_RokSzkolny1_STR1_DATA_EDIT");
    QCOMPARE(dialog->X1Edit->text().toInt(), r.x1);
    QCOMPARE(dialog->Y1Edit->text().toInt(), r.y1);
    QCOMPARE(dialog->X2Edit->text().toInt(), r.x2);
    QCOMPARE(dialog->Y2Edit->text().toInt(), r.y2);
    QCOMPARE(dialog->FontSizeEdit->text().toInt(), r.font_size);
    QVERIFY(dialog->FontSizeEdit->isReadOnly());
    QCOMPARE(dialog->FontsNameComboBox->currentText(), r.font_name);
    QCOMPARE(dialog->AdjustmentComboBox->currentIndex(), r.font_align);
    QCOMPARE(dialog->AdjustmentComboBox->itemText(1), QString::fromUtf8("DO ŚRODKA"));
    // The preview shows the samples, the chosen field outlined in red.
    QCOMPARE(engine->ctx.selectedObject, r.name);
    QVERIFY(previews > 0);
    const QImage page = pageImage(engine->ctx.page1);
    QVERIFY(hasRed(page.copy(QRect(QPoint(r.x1 - 2, r.y1 - 20), QPoint(r.x2 + 2, r.y2 + 2)))));
    QVERIFY(!hasRed(page.copy(0, r.y2 + 40, kPageWidth, kPageHeight - r.y2 - 40)));
    QCOMPARE(tabs.last(), 0);
}

void TestKalibracja::memoLineOutlinesTheWholeMemo() {
    dialog->setMode(TFKalibracja::Mode::Advanced);
    choose("klasa_1_3", "ZMIENNA_ObowiazkoweEdu_STR2_DATA_MEMO03");
    QCOMPARE(tabs.last(), 1); // the second side brought into view
    const QImage page = pageImage(engine->ctx.page2);
    int lines = 0;
    for (const structCalibData &r : dialog->rows()) {
        if (!r.name.startsWith("ZMIENNA_") || !r.name.contains("_STR2_") ||
            r.name.contains("_LINIA_Z_KROPEK"))
            continue;
        const QImage band = page.copy(QRect(QPoint(r.x1, r.y2 - 8), QPoint(r.x2, r.y2 + 1)));
        const bool memoLine = r.name.startsWith("ZMIENNA_ObowiazkoweEdu_STR2_DATA_MEMO");
        QVERIFY2(hasRed(band) == memoLine, qPrintable(r.name));
        lines += memoLine ? 1 : 0;
    }
    QCOMPARE(lines, 12);
}

void TestKalibracja::buttonsChangeOnlyTheEdits() {
    choose("wywiadowka", "ZMIENNA_Klasa_STR1_DATA_EDIT");
    const structCalibData r = storedRow("wywiadowka", "ZMIENNA_Klasa_STR1_DATA_EDIT");
    QTest::mouseClick(dialog->LeftSpeedButton, Qt::LeftButton);
    QTest::mouseClick(dialog->LeftSpeedButton, Qt::LeftButton);
    QTest::mouseClick(dialog->DownSpeedButton, Qt::LeftButton);
    QTest::mouseClick(dialog->UpFontSizeSpeedButton, Qt::LeftButton);
    QCOMPARE(dialog->X1Edit->text().toInt(), r.x1 - 2);
    QCOMPARE(dialog->X2Edit->text().toInt(), r.x2 - 2);
    QCOMPARE(dialog->Y1Edit->text().toInt(), r.y1 + 1);
    QCOMPARE(dialog->Y2Edit->text().toInt(), r.y2 + 1);
    QCOMPARE(dialog->FontSizeEdit->text().toInt(), r.font_size + 1);
    // Nothing written until "Zastosuj"; another object discards the edits.
    QCOMPARE(storedRow("wywiadowka", r.name).x1, r.x1);
    dialog->VariableComboBox->setCurrentIndex(0);
    dialog->VariableComboBox->setCurrentText(r.name);
    QCOMPARE(dialog->X1Edit->text().toInt(), r.x1);
    // No limits: a coordinate may go below zero.
    dialog->X1Edit->setText("0");
    QTest::mouseClick(dialog->LeftSpeedButton, Qt::LeftButton);
    QCOMPARE(dialog->X1Edit->text(), QStringLiteral("-1"));
}

void TestKalibracja::arrowKeysInX1MoveAndWrite() {
    choose("klasa_1_3", "ZMIENNA_Klasa_STR1_DATA_EDIT");
    const structCalibData before = storedRow("klasa_1_3", "ZMIENNA_Klasa_STR1_DATA_EDIT");
    QApplication::setActiveWindow(dialog.get());
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    dialog->X1Edit->setFocus();
    const int start = previews;
    for (int i = 1; i <= 5; ++i) {
        QTest::keyClick(dialog->X1Edit, Qt::Key_Right);
        // Each key writes the row and the preview follows at once.
        const structCalibData now = storedRow("klasa_1_3", before.name);
        QCOMPARE(now.x1, before.x1 + i);
        QCOMPARE(now.x2, before.x2 + i);
        QCOMPARE(now.y1, before.y1);
        QCOMPARE(previews, start + i);
        QCOMPARE(QApplication::focusWidget(), dialog->X1Edit);
    }
    QCOMPARE(dialog->X1Edit->text().toInt(), before.x1 + 5);
    QTest::keyClick(dialog->X1Edit, Qt::Key_Up);
    QTest::keyClick(dialog->X1Edit, Qt::Key_Up);
    QTest::keyClick(dialog->X1Edit, Qt::Key_Left);
    const structCalibData after = storedRow("klasa_1_3", before.name);
    QCOMPARE(after.x1, before.x1 + 4);
    QCOMPARE(after.y1, before.y1 - 2);
    QCOMPARE(after.y2, before.y2 - 2);
    // The dotted line under the field is a row of its own: it stays.
    QCOMPARE(storedRow("klasa_1_3", "ZMIENNA_Klasa_STR1_LINIA_Z_KROPEK").x1, before.x1);
    QVERIFY(prompts->asked.isEmpty());
}

void TestKalibracja::applyWritesTheRowAsShown() {
    choose("arkusz_str1", "ZMIENNA_ImieNazwisko_DATA_EDIT");
    dialog->X1Edit->setText("40");
    dialog->Y1Edit->setText("300");
    dialog->X2Edit->setText("700");
    dialog->Y2Edit->setText("320");
    QTest::mouseClick(dialog->DownFontSizeSpeedButton, Qt::LeftButton);
    dialog->AdjustmentComboBox->setCurrentIndex(2);
    dialog->PogrubienieCheckBox->setChecked(true);
    dialog->PrzekreslenieCheckBox->setChecked(true);
    QTest::mouseClick(dialog->SaveButton, Qt::LeftButton);
    const structCalibData r = storedRow("arkusz_str1", "ZMIENNA_ImieNazwisko_DATA_EDIT");
    QCOMPARE((QList<int>{r.x1, r.y1, r.x2, r.y2}), (QList<int>{40, 300, 700, 320}));
    QCOMPARE(r.font_size, 9);
    QCOMPARE(r.font_align, 2);
    QCOMPARE((QList<int>{r.font_style_bold, r.font_style_italic, r.font_style_underline,
                         r.font_style_strike}),
             (QList<int>{1, 0, 0, 1}));
    // The same object stays chosen, its fields as the file holds them.
    QCOMPARE(dialog->VariableComboBox->currentText(), r.name);
    QCOMPARE(dialog->X1Edit->text(), QStringLiteral("40"));
    QVERIFY(prompts->asked.isEmpty());
}

void TestKalibracja::faceNotInstalledStoredAsTyped() {
    const QString face = QString::fromUtf8("Krój Nieistniejący Żaden");
    QVERIFY(QFontInfo(QFont(face)).family() != face);
    choose("wywiadowka", "ZMIENNA_ImieNazwisko_STR1_DATA_EDIT");
    dialog->FontsNameComboBox->setEditText(face);
    QTest::mouseClick(dialog->SaveButton, Qt::LeftButton);
    const structCalibData r = storedRow("wywiadowka", "ZMIENNA_ImieNazwisko_STR1_DATA_EDIT");
    QCOMPARE(r.font_name, face);
    QCOMPARE(dialog->FontsNameComboBox->currentText(), face);
    // Drawn with the substitute face: the sample still prints in its field.
    const QImage page = pageImage(engine->ctx.page1);
    QVERIFY(!inkBox(page, QRect(QPoint(r.x1, r.y1 - 10), QPoint(r.x2, r.y2))).isEmpty());
    QVERIFY(prompts->asked.isEmpty());
}

void TestKalibracja::layoutsSetTheDotsOption() {
    QList<bool> asked;
    dialog->setWithoutDots = [&](bool on) { asked << on; };
    choose("klasa_1_3_bk", "ZMIENNA_ImieNazwisko_STR1_DATA_EDIT");
    QCOMPARE(asked.last(), true);
    QVERIFY(engine->ctx.printWithoutDots);
    QCOMPARE(engine->calibList.size(), dialog->rows().size()); // the table chosen
    choose("klasa_1_3", "ZMIENNA_ImieNazwisko_STR1_DATA_EDIT");
    QCOMPARE(asked.last(), false);
    QVERIFY(!engine->ctx.printWithoutDots);
    // The report is shown with the option off; the record sheets leave it.
    engine->ctx.printWithoutDots = true;
    choose("wywiadowka", "ZMIENNA_Klasa_STR1_DATA_EDIT");
    QCOMPARE(asked.last(), false);
    const int count = int(asked.size());
    engine->ctx.printWithoutDots = true;
    choose("arkusz_str2_5", "ZMIENNA_Klasa_DATA_EDIT");
    QCOMPARE(asked.size(), count);
    QVERIFY(engine->ctx.printWithoutDots);
    // Every layout has its document.
    for (const PrintedForm &form : printedForms())
        QVERIFY(TFKalibracja::layoutDocument(QString::fromLatin1(form.calibTable)).doc);
    QVERIFY(!TFKalibracja::layoutDocument("obca_tabela").doc);
}

void TestKalibracja::notANumber_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("named");
    QTest::newRow("right button") << "X1Edit"
                                  << "12a"
                                  << "right"
                                  << "X1";
    QTest::newRow("down button, empty") << "Y2Edit"
                                        << ""
                                        << "down"
                                        << "Y2";
    QTest::newRow("apply, fraction") << "X2Edit"
                                     << "700,5"
                                     << "apply"
                                     << "X2";
    QTest::newRow("arrow key") << "Y1Edit"
                               << "dużo"
                               << "key"
                               << "Y1";
}

void TestKalibracja::notANumber() {
    QFETCH(QString, edit);
    QFETCH(QString, value);
    QFETCH(QString, action);
    QFETCH(QString, named);
    choose("wywiadowka", "ZMIENNA_Rok1_STR1_DATA_EDIT");
    const structCalibData before = storedRow("wywiadowka", "ZMIENNA_Rok1_STR1_DATA_EDIT");
    auto *bad = dialog->findChild<QLineEdit *>(edit);
    bad->setText(value);
    QStringList shown;
    for (QLineEdit *e : {dialog->X1Edit, dialog->Y1Edit, dialog->X2Edit, dialog->Y2Edit})
        shown << e->text();
    if (action == "right")
        QTest::mouseClick(dialog->RightSpeedButton, Qt::LeftButton);
    else if (action == "down")
        QTest::mouseClick(dialog->DownSpeedButton, Qt::LeftButton);
    else if (action == "apply")
        QTest::mouseClick(dialog->SaveButton, Qt::LeftButton);
    else
        QTest::keyClick(dialog->X1Edit, Qt::Key_Up);
    QCOMPARE(prompts->asked.size(), 1);
    const auto &m = prompts->asked[0];
    QCOMPARE(m.caption, QStringLiteral("Błąd"));
    QVERIFY2(
        m.text.startsWith(QString::fromUtf8("Pole „%1” musi zawierać liczbę całkowitą").arg(named)),
        qPrintable(m.text));
    // Nothing written, the edits as they were.
    const structCalibData after = storedRow("wywiadowka", before.name);
    QCOMPARE((QList<int>{after.x1, after.y1, after.x2, after.y2}),
             (QList<int>{before.x1, before.y1, before.x2, before.y2}));
    QStringList now;
    for (QLineEdit *e : {dialog->X1Edit, dialog->Y1Edit, dialog->X2Edit, dialog->Y2Edit})
        now << e->text();
    QCOMPARE(now, shown);
}

void TestKalibracja::restoreAnsweredNo() {
    choose("klasa_1_3", "ZMIENNA_Klasa_STR1_DATA_EDIT");
    dialog->X1Edit->setText("10");
    QTest::mouseClick(dialog->SaveButton, Qt::LeftButton);
    const int start = previews;
    QTest::mouseClick(dialog->PrzywrocUstawieniaButton, Qt::LeftButton);
    QCOMPARE(prompts->asked.size(), 1);
    const auto &q = prompts->asked[0];
    QCOMPARE(q.caption, QStringLiteral("Przywracanie"));
    QCOMPARE(q.text, QString::fromUtf8("Czy na pewno chcesz przywrócić oryginalne ustawienia ?"));
    QCOMPARE(q.icon, Prompts::Icon::None);
    QCOMPARE(q.buttons, Prompts::Buttons::YesNoDefaultNo);
    // Nothing copied, yet the layout is loaded again from its first object.
    QCOMPARE(storedRow("klasa_1_3", "ZMIENNA_Klasa_STR1_DATA_EDIT").x1, 10);
    QCOMPARE(dialog->VariableComboBox->currentIndex(), 0);
    QCOMPARE(previews, start + 1);
}

void TestKalibracja::restoreWithShippedFileMissing() {
    choose("klasa_1_3", "ZMIENNA_Klasa_STR1_DATA_EDIT");
    dialog->X1Edit->setText("10");
    QTest::mouseClick(dialog->SaveButton, Qt::LeftButton);
    const QByteArray working = readFile(calibFile());
    QFile::remove(install->filePath("bruma_kalibracja.sqset"));
    prompts->answers.enqueue(Prompts::Answer::Yes);
    QTest::mouseClick(dialog->PrzywrocUstawieniaButton, Qt::LeftButton);
    QCOMPARE(readFile(calibFile()), working);
    const QList<LogRow> log = logRows(env->programDir());
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0].fun, QStringLiteral("PrzywrocUstawieniaButtonClick()"));
    const QString expected =
        QString::fromUtf8("Błąd podczas próby przywrócenia oryginalnego pliku kalibracji.\n"
                          "Źródło: ") +
        install->filePath("bruma_kalibracja.sqset") + QString::fromUtf8("\nCel: ") + calibFile();
    QCOMPARE(log[0].info, expected);
    // The teacher is told too.
    QCOMPARE(prompts->asked.size(), 2);
    QCOMPARE(prompts->asked[1].caption, QStringLiteral("Błąd"));
    QVERIFY(prompts->asked[1].text.startsWith(expected));
    QCOMPARE(dialog->VariableComboBox->currentIndex(), 0);
}

void TestKalibracja::restoreCopiesTheShippedFile() {
    choose("klasa_1_3", "ZMIENNA_Klasa_STR1_DATA_EDIT");
    dialog->X1Edit->setText("10");
    QTest::mouseClick(dialog->SaveButton, Qt::LeftButton);
    prompts->answers.enqueue(Prompts::Answer::Yes);
    QTest::mouseClick(dialog->PrzywrocUstawieniaButton, Qt::LeftButton);
    QCOMPARE(readFile(calibFile()), readFile(install->filePath("bruma_kalibracja.sqset")));
    QVERIFY(storedRow("klasa_1_3", "ZMIENNA_Klasa_STR1_DATA_EDIT").x1 > 10);
    QCOMPARE(prompts->asked.size(), 1); // the question alone
    QVERIFY(logRows(env->programDir()).isEmpty());
}

void TestKalibracja::closingBlanksThePreviews() {
    engine->showPreview = [this](const QImage &, const QImage &, bool) { ++previews; };
    choose("klasa_1_3", "ZMIENNA_Zachowanie_STR2_DATA_MEMO01");
    QVERIFY(!engine->image1.isNull() && !engine->image2.isNull());
    const QSize size = engine->image1.size();
    QImage shown1, shown2;
    engine->showPreview = [&](const QImage &a, const QImage &b, bool) {
        shown1 = a;
        shown2 = b;
    };
    QTest::mouseClick(dialog->CloseButton, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QVERIFY(!engine->ctx.calibrating);
    for (const QImage &img : {shown1, shown2}) {
        QCOMPARE(img.size(), size);
        // White inside, a black border, nothing else.
        QCOMPARE(img.pixelColor(0, 0), QColor(Qt::black));
        QCOMPARE(img.pixelColor(img.width() - 1, img.height() - 1), QColor(Qt::black));
        const QRect inside = img.rect().adjusted(1, 1, -1, -1);
        QCOMPARE(inkBox(img, inside), QRect());
    }
    // Escape closes it the same way.
    dialog->show();
    QVERIFY(engine->ctx.calibrating);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
    QVERIFY(!engine->ctx.calibrating);
}

QTEST_MAIN(TestKalibracja)
#include "tst_kalibracja.moc"
