#include "apptest.h"

#include "app/startup.h"
#include "dialogs/tfaktualizacja.h"
#include "dialogs/tflogi.h"
#include "maintenance/updatecheck.h"
#include "maintenance/updatepackage.h"
#include "storage/log.h"
#include "support/httpstub.h"
#include "support/signingkey.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

namespace {

const QByteArray kVersionPath = "/veltra/bruma/program/2014/bruma_wersja.bin";
const QByteArray kPackagePath = kUpdatePackagePath;
const QByteArray kPackage(250, 'p');

// A server offering 1.6.3 and its package, both signed with a throw-away key
// made the program's key, and the program started against it with the
// folder for downloads in place.
struct UpdateFixture {
    TestSigningKey key;
    AppFixture app;
    TestHttpServer server;
    StandInTools tools;
    TFGlowna *g = nullptr;

    UpdateFixture() {
        server.answer(kVersionPath, versionAnswer(1, 6, 3));
        server.answer(kVersionPath + ".sig", key.signatureAnswer(versionAnswer(1, 6, 3).body));
        server.answer(kPackagePath, httpAnswer(200, kPackage));
        server.answer(kPackagePath + ".sig", key.signatureAnswer(kPackage));
        tools.add(QStringLiteral("xdg-mime"), "echo org.gnome.Software.desktop\n");
        g = app.start();
        QDir().mkpath(app.env.programFile(QStringLiteral("aktualizacja")));
        qputenv("SWIADECTWA_UPDATE_URL", server.base().toUtf8());
        g->show();
    }
    QString package() const {
        return app.env.programFile(QString::fromLatin1(kUpdateSavedPackage));
    }

    // Starts the check from the menu and presses the dialog's button as soon
    // as the download has ended.
    void checkFromMenuAndPressButton() {
        auto *press = new QTimer(g);
        QObject::connect(press, &QTimer::timeout, g, [this, press] {
            TFAktualizacja *dialog = app.windows.aktualizacja;
            if (dialog->isVisible() && dialog->btnClose->isEnabled()) {
                press->deleteLater();
                dialog->btnClose->click();
            }
        });
        press->start(20);
        app.prompts.answers.enqueue(Prompts::Answer::Yes);
        g->findChild<QAction *>(QStringLiteral("Sprawdczyjestnowawersja1"))->trigger();
    }
};

const QString kQuestion =
    QString::fromUtf8("Aktualna wersja programu to: 1.6.2\nWersja dostępna na serwerze to: "
                      "1.6.3\n\nCzy chcesz pobrać nową wersje programu ?");

} // namespace

// The update check, the update dialog and the log viewer as the main window
// uses them.
class TestUpdate : public QObject {
    Q_OBJECT
private slots:
    void installEndsTheProgramWithoutTheQuitQuestion();
    void refusedHandOverKeepsTheProgramRunning();
    void unsavedChangesNeverOpenTheDialog();
    void startUpChecksSilentlyWithoutWaiting_data();
    void startUpChecksSilentlyWithoutWaiting();
    void logViewerFromTheMenu();
    void versionNeedsNoDisplayAndNoLock();
};

void TestUpdate::installEndsTheProgramWithoutTheQuitQuestion() {
    UpdateFixture f;
    f.checkFromMenuAndPressButton();
    QTRY_VERIFY_WITH_TIMEOUT(!f.g->isVisible(), 10000);
    QVERIFY(f.g->CloseWithoutAsking);
    QCOMPARE(f.app.prompts.messages(), QStringList{kQuestion});
    QCOMPARE(f.app.prompts.opened, QList<QUrl>{QUrl::fromLocalFile(f.package())});
    QCOMPARE(readFile(f.package()), kPackage);
    QCOMPARE(f.app.windows.aktualizacja->AWersjaLabel->text(), QStringLiteral("1.6.2"));
    QCOMPARE(f.app.windows.aktualizacja->NWersjaLabel->text(), QStringLiteral("1.6.3"));
    QVERIFY(!f.g->AktualizacjaTimer->isActive());
}

void TestUpdate::refusedHandOverKeepsTheProgramRunning() {
#ifdef Q_OS_WIN
    QSKIP("hands the package over through a stand-in xdg-mime (a shell script); Windows starts the "
          "installer");
#endif
    UpdateFixture f;
    f.tools.add(QStringLiteral("xdg-mime"), "echo\n"); // no installer for packages
    f.checkFromMenuAndPressButton();
    QTRY_COMPARE_WITH_TIMEOUT(f.app.prompts.messages().size(), 2, 10000);
    QTRY_VERIFY(!f.app.windows.aktualizacja->isVisible());
    QVERIFY(f.g->isVisible());
    QVERIFY(!f.g->CloseWithoutAsking);
    QVERIFY(f.app.prompts.messages().at(1).contains(f.package()));
}

void TestUpdate::unsavedChangesNeverOpenTheDialog() {
    UpdateFixture f;
    f.g->DataChanged = true;
    QSignalSpy ended(f.g->updateCheck(), &UpdateCheck::checkEnded);
    f.checkFromMenuAndPressButton();
    QVERIFY(ended.wait(5000));
    QCoreApplication::processEvents();
    QVERIFY(!f.g->AktualizacjaTimer->isActive());
    QVERIFY(!f.app.windows.aktualizacja->isVisible());
    QCOMPARE(f.app.prompts.asked.size(), 2);
    QCOMPARE(f.app.prompts.asked[1].caption, QStringLiteral("Zapisz dane"));
    QCOMPARE(f.server.paths, QByteArrayList({kVersionPath, kVersionPath + ".sig"}));
}

void TestUpdate::startUpChecksSilentlyWithoutWaiting_data() {
    QTest::addColumn<int>("build"); // -1: nothing listens
    QTest::addColumn<bool>("signedByTheProgramsKey");
    QTest::addColumn<QStringList>("asked");
    QTest::newRow("newer") << 3 << true << QStringList{kQuestion};
    QTest::newRow("newer, signed by another key") << 3 << false << QStringList();
    QTest::newRow("same") << 2 << true << QStringList();
    QTest::newRow("no server") << -1 << true << QStringList();
}

void TestUpdate::startUpChecksSilentlyWithoutWaiting() {
    QFETCH(int, build);
    QFETCH(bool, signedByTheProgramsKey);
    QFETCH(QStringList, asked);
    const TestSigningKey key;
    const TestSigningKey stranger(TestSigningKey::Use::Stranger);
    AppFixture f;
    TestHttpServer server;
    server.answer(kVersionPath, versionAnswer(1, 6, build));
    server.answer(
        kVersionPath + ".sig",
        (signedByTheProgramsKey ? key : stranger).signatureAnswer(versionAnswer(1, 6, build).body));
    qputenv("SWIADECTWA_UPDATE_URL",
            (build < 0 ? TestHttpServer::refusingBase() : server.base()).toUtf8());
    TFGlowna *g = f.start();
    QSignalSpy ended(g->updateCheck(), &UpdateCheck::checkEnded);
    QVERIFY(g->StartUpChecks());
    // Start-up is over before the server has even been asked.
    QVERIFY(server.paths.isEmpty());
    f.prompts.clear();
    QVERIFY(ended.wait(5000));
    QCOMPARE(f.prompts.messages(), asked);
    QCOMPARE(server.paths.size(), build < 0 ? 0 : 2);
}

void TestUpdate::logViewerFromTheMenu() {
    AppFixture f;
    TFGlowna *g = f.start();
    vFunWriteLog(QStringLiteral("Sql exception: SQLITE_FULL"),
                 QStringLiteral("bFunSaveCertData()"));
    int rows = -1;
    QTimer::singleShot(0, [&] {
        if (auto *logi = qobject_cast<TFLogi *>(QApplication::activeModalWidget())) {
            rows = logi->LogsListView->topLevelItemCount();
            QTest::keyClick(logi, Qt::Key_Return);
        }
    });
    g->findChild<QAction *>(QStringLiteral("Logiprogramu1"))->trigger();
    QCOMPARE(rows, 1);
    QVERIFY(!f.windows.logi->isVisible());
}

void TestUpdate::versionNeedsNoDisplayAndNoLock() {
    TestEnv env;
    const std::unique_ptr<QLockFile> lock = lockSingleInstance();
    QVERIFY(lock && lock->isLocked());
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    program.setProcessEnvironment(environment);
    program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/swiadectwa"),
                  {QStringLiteral("--version")});
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(program.readAllStandardOutput(), QByteArray("swiadectwa 1.6.2\n"));
}

QTEST_MAIN(TestUpdate)
#include "tst_update.moc"
