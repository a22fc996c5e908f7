#include "apptest.h"
#include "dialogs/tfkalibracja.h"
#include "storage/settings.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QtTest>

// The calibration editor opened from the main window's menu: its mode and
// place, the "Wyłącz kropki" option it switches, and the pupil it leaves alone.
class TestCalibration : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void menuOpensItsMode_data();
    void menuOpensItsMode();
    void layoutWithoutDotsTicksTheOption();

private:
    // Runs `inside` while the editor is shown from the menu entry, then closes it.
    void whileOpen(const char *action, const std::function<void(TFKalibracja *)> &inside);
    std::unique_ptr<AppFixture> f;
    std::unique_ptr<QTemporaryDir> docs;
};

void TestCalibration::init() {
    f = std::make_unique<AppFixture>();
    docs = std::make_unique<QTemporaryDir>();
    QVERIFY(f->start()->StartUpChecks());
    f->prompts.clear();
}

void TestCalibration::cleanup() {
    f.reset();
    docs.reset();
}

void TestCalibration::whileOpen(const char *action,
                                const std::function<void(TFKalibracja *)> &inside) {
    bool ran = false;
    QTimer::singleShot(0, this, [&] {
        auto *k = qobject_cast<TFKalibracja *>(QApplication::activeModalWidget());
        QVERIFY(k);
        inside(k);
        ran = true;
        QTest::mouseClick(k->CloseButton, Qt::LeftButton);
    });
    f->g()->findChild<QAction *>(QString::fromLatin1(action))->trigger();
    QVERIFY(ran);
}

void TestCalibration::menuOpensItsMode_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("advanced");
    QTest::newRow("basic") << "Formatowaniewiadectwapodstawowe1"
                           << "Formatowanie podstawowe" << false;
    QTest::newRow("advanced") << "Ustawieniaczcionki1"
                              << "Formatowanie zaawansowane" << true;
}

void TestCalibration::menuOpensItsMode() {
    QFETCH(QString, action);
    QFETCH(QString, caption);
    QFETCH(bool, advanced);
    TFGlowna *g = f->g();
    whileOpen(action.toLatin1().constData(), [&](TFKalibracja *k) {
        QCOMPARE(k->windowTitle(), caption);
        QCOMPARE(k->mode() == TFKalibracja::Mode::Advanced, advanced);
        QVERIFY(k->isModal());
        QCOMPARE(k->x(), QGuiApplication::primaryScreen()->availableGeometry().left() + 5);
        QVERIFY(k->engine().ctx.calibrating);
        // The preview shows the first layout's samples with its first object.
        QVERIFY(!g->Image1->isEmpty());
        QCOMPARE(k->engine().ctx.selectedObject, k->VariableComboBox->itemText(0));
    });
    QVERIFY(!g->engine().ctx.calibrating);
    QVERIFY(f->prompts.messages().isEmpty());
}

void TestCalibration::layoutWithoutDotsTicksTheOption() {
    const QString classFile = docs->filePath("klasa.sqbr5");
    makeClassFile(classFile, {{"01", "Agrest", "Adam"}});
    TFGlowna *g = f->g();
    g->openCommandLineDocument(classFile);
    g->TreeView->setCurrentItem(g->TreeView->topLevelItem(0)->child(0));
    g->TreeViewClick();
    TFEditor *certificate = f->windows.editor("TFKlasa1");
    const QString pupilName = certificate->fieldText("ZMIENNA_ImieNazwisko_STR1_DATA_EDIT");
    QVERIFY(!pupilName.isEmpty());
    QVERIFY(!g->PrintNoDotsCheckBox->isChecked());
    auto stored = [] {
        int value = -1;
        QString msg;
        bFunSqlGetSettingsValue(msg, "print_without_dots", value);
        return value;
    };

    whileOpen("Formatowaniewiadectwapodstawowe1", [&](TFKalibracja *k) {
        k->TypSwiadectwaComboBox->setCurrentText("klasa_1_3_bk");
        QVERIFY(g->PrintNoDotsCheckBox->isChecked());
        QCOMPARE(stored(), 1);
        QVERIFY(k->engine().ctx.printWithoutDots);
        QCOMPARE(k->engine().calibList.size(), k->rows().size());
        // The selected pupil was drawn again; the samples never reach the editors.
        QCOMPARE(certificate->fieldText("ZMIENNA_ImieNazwisko_STR1_DATA_EDIT"), pupilName);
        k->TypSwiadectwaComboBox->setCurrentText("klasa_1_3");
        QVERIFY(!g->PrintNoDotsCheckBox->isChecked());
        QCOMPARE(stored(), 0);
    });
    // Closed: both previews blank, the pupil still the editors' own.
    for (PreviewPage *image : {g->Image1, g->Image2}) {
        const QImage shown = image->picture();
        QVERIFY(!shown.isNull());
        QCOMPARE(shown.pixelColor(0, 0), QColor(Qt::black));
        QCOMPARE(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::white));
        QCOMPARE(shown.pixelColor(500, 500), QColor(Qt::white));
    }
    QCOMPARE(certificate->fieldText("ZMIENNA_ImieNazwisko_STR1_DATA_EDIT"), pupilName);
    QVERIFY(f->prompts.messages().isEmpty());
}

QTEST_MAIN(TestCalibration)
#include "tst_calibration.moc"
