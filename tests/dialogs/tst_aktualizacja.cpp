#include "dialogs/tfaktualizacja.h"
#include "maintenance/updatedownload.h"
#include "support/httpstub.h"
#include "support/scriptedprompts.h"
#include "support/signingkey.h"
#include "support/testenv.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QByteArray kPackagePath = kUpdatePackagePath;
const QByteArray kSignaturePath = kPackagePath + ".sig";

// 250 bytes that are not all alike, so a lost or repeated piece shows.
QByteArray package() {
    QByteArray out;
    for (int i = 0; i < 250; ++i)
        out.append(char(i * 7 + 3));
    return out;
}

TestHttpServer::Answer packageAnswer(int status = 200, qint64 announced = -2) {
    TestHttpServer::Answer a;
    a.status = status;
    a.body = package();
    a.announced = announced;
    a.piece = 100;
    a.pauseMs = 5;
    return a;
}

} // namespace

// The update dialog downloading from a server of the test's own, which signs
// with a throw-away key made the program's key, into a fresh program folder
// holding the package of an earlier download.
class TestAktualizacja : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void download_data();
    void download();
    void showingPreparesTheDialog();
    void installHandsThePackageOver();
    void installWithoutAnInstallerSaysHow_data();
    void installWithoutAnInstallerSaysHow();
    void browserGetsTheAddress();
    void refusedAddressIsNeitherShownNorOpened_data();
    void refusedAddressIsNeitherShownNorOpened();
    void escapeStopsTheDownload();

private:
    QString target() const { return m_env->programFile(QString::fromLatin1(kUpdateSavedPackage)); }
    // Shows the dialog and waits for the end of its download.
    void downloadNow();

    std::unique_ptr<TestSigningKey> m_key;
    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<TFAktualizacja> m_dialog;
    // xdg-mime names an installer for Debian packages, unless a test says otherwise.
    std::unique_ptr<StandInTools> m_tools;
};

void TestAktualizacja::initTestCase() {
    m_key = std::make_unique<TestSigningKey>();
}

void TestAktualizacja::cleanupTestCase() {
    m_key.reset();
}

void TestAktualizacja::init() {
    m_env = std::make_unique<TestEnv>();
    m_server = std::make_unique<TestHttpServer>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    qputenv("SWIADECTWA_UPDATE_URL", m_server->base().toUtf8());
    writeFile(target(), "an earlier download");
    m_dialog = std::make_unique<TFAktualizacja>();
    m_tools = std::make_unique<StandInTools>();
    m_tools->add(QStringLiteral("xdg-mime"), "echo org.gnome.Software.desktop\n");
}

void TestAktualizacja::cleanup() {
    m_tools.reset();
    m_dialog.reset();
    m_prompts.reset();
    m_server.reset();
    m_env.reset();
}

void TestAktualizacja::downloadNow() {
    m_dialog->show();
    QVERIFY(!m_dialog->btnClose->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(m_dialog->btnClose->isEnabled(), 5000);
}

void TestAktualizacja::download_data() {
    QTest::addColumn<TestHttpServer::Answer>("answer");
    // The ".sig" beside the package: signed with the program's key unless
    // the row says otherwise.
    QTest::addColumn<TestHttpServer::Answer>("signature");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<qint64>("cap"); // 0: the program's own
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("saved");

    const TestHttpServer::Answer good = m_key->signatureAnswer(package());
    const QString downloading = UpdateDownload::downloadingText();
    const QString readFailed = UpdateDownload::readFailedText();
    const QString unsignedPackage = UpdateDownload::unsignedText();
    const QString tooLarge = UpdateDownload::tooLargeText();
    QTest::newRow("250 bytes in pieces of 100")
        << packageAnswer() << good << true << 0LL << downloading << true;
    QTest::newRow("no length announced")
        << packageAnswer(200, -1) << good << true << 0LL << downloading << true;
    QTest::newRow("short body") << packageAnswer(200, 300) << good << true << 0LL << readFailed
                                << false;
    QTest::newRow("status 403") << packageAnswer(403) << good << true << 0LL << readFailed << false;
    QTest::newRow("redirect") << httpAnswer(302, "Moved") << good << true << 0LL << readFailed
                              << false;
    QTest::newRow("status 404") << httpAnswer(404, "") << good << true << 0LL << readFailed
                                << false;

    const TestSigningKey stranger(TestSigningKey::Use::Stranger);
    QTest::newRow("wrong key") << packageAnswer() << stranger.signatureAnswer(package()) << true
                               << 0LL << unsignedPackage << false;
    TestHttpServer::Answer tampered = packageAnswer();
    tampered.body[100] = char(tampered.body[100] ^ 0x20);
    QTest::newRow("tampered package")
        << tampered << good << true << 0LL << unsignedPackage << false;
    QTest::newRow("missing signature")
        << packageAnswer() << httpAnswer(404, "") << true << 0LL << unsignedPackage << false;
    QTest::newRow("signature file a login page")
        << packageAnswer() << httpAnswer(200, "<html>logowanie</html>") << true << 0LL
        << unsignedPackage << false;
    QTest::newRow("signature in base64 is not the format")
        << packageAnswer() << httpAnswer(200, good.body.toBase64()) << true << 0LL
        << unsignedPackage << false;

    // Refused at the announced length, before anything is written.
    TestHttpServer::Answer oversize = packageAnswer(200, UpdateDownload::kPackageMaxBytes + 1);
    QTest::newRow("over 200 MB announced") << oversize << good << true << 0LL << tooLarge << false;
    QTest::newRow("cap reached by a body that came whole")
        << packageAnswer(200, -1) << good << true << 249LL << tooLarge << false;
    QTest::newRow("exactly the cap")
        << packageAnswer(200, -1) << good << true << 250LL << downloading << true;
    TestHttpServer::Answer endless = packageAnswer(200, -1);
    endless.endless = true;
    endless.piece = 64 * 1024;
    endless.pauseMs = 0;
    QTest::newRow("endless body stops at the cap")
        << endless << good << true << 4LL * 1024 * 1024 << tooLarge << false;

    QTest::newRow("no folder aktualizacja")
        << packageAnswer() << good << false << 0LL << UpdateDownload::writeFailedText() << false;
}

void TestAktualizacja::download() {
    QFETCH(TestHttpServer::Answer, answer);
    QFETCH(TestHttpServer::Answer, signature);
    QFETCH(bool, folder);
    QFETCH(qint64, cap);
    QFETCH(QString, status);
    QFETCH(bool, saved);
    m_server->answer(kPackagePath, answer);
    m_server->answer(kSignaturePath, signature);
    const QString dir = QFileInfo(target()).absolutePath();
    if (!folder)
        QVERIFY(QDir(dir).removeRecursively());
    if (cap > 0)
        m_dialog->download()->setSizeCap(cap);

    downloadNow();
    QCOMPARE(m_dialog->editStatus->text(), status);
    QCOMPARE(m_dialog->downloadFinished(), saved);
    QCOMPARE(m_dialog->btnClose->text(),
             saved ? QStringLiteral("Zainstaluj") : QStringLiteral("Zamknij"));
    if (saved) {
        QCOMPARE(readFile(target()), package());
        QCOMPARE(m_dialog->Postep->maximum(), 250);
        QCOMPARE(m_dialog->Postep->value(), 250);
    } else {
        QVERIFY(!QFileInfo::exists(target()));
    }
    // Nothing else is left beside it: no partial file under any name.
    if (folder)
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden),
                 saved ? QStringList{QFileInfo(target()).fileName()} : QStringList());
    QCOMPARE(m_server->agents.value(0), QByteArray("UPDATE CHECK"));
}

void TestAktualizacja::showingPreparesTheDialog() {
    m_server->answer(kPackagePath, packageAnswer());
    m_server->answer(kSignaturePath, m_key->signatureAnswer(package()));
    m_dialog->setVersions({1, 6, 2}, {1, 7, 0});
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Aktualizacja"));
    QCOMPARE(m_dialog->AWersjaLabel->text(), QStringLiteral("1.6.2"));
    QCOMPARE(m_dialog->NWersjaLabel->text(), QStringLiteral("1.7.0"));
    QVERIFY(!m_dialog->editStatus->isEnabled());
    QVERIFY(m_dialog->editDownloadLink->isReadOnly());
    downloadNow();
    QCOMPARE(m_dialog->editDownloadLink->text(),
             m_server->base() + QString::fromLatin1(kPackagePath));
    QCOMPARE(m_server->paths, QByteArrayList({kPackagePath, kSignaturePath}));
    // Shown again: a new download, the button back to "Zamknij" until it ends.
    m_dialog->hide();
    m_dialog->show();
    QCOMPARE(m_dialog->btnClose->text(), QStringLiteral("Zamknij"));
    QVERIFY(!m_dialog->btnClose->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(m_dialog->btnClose->text(), QStringLiteral("Zainstaluj"), 5000);
    QCOMPARE(m_server->paths.size(), 4);
}

void TestAktualizacja::installHandsThePackageOver() {
    m_server->answer(kPackagePath, packageAnswer());
    m_server->answer(kSignaturePath, m_key->signatureAnswer(package()));
    QSignalSpy handedOver(m_dialog.get(), &TFAktualizacja::installerHandedOver);
    downloadNow();
    // Return presses the default button, "Zainstaluj".
    QTest::keyClick(m_dialog->btnClose, Qt::Key_Return);
    QCOMPARE(m_prompts->opened, QList<QUrl>{QUrl::fromLocalFile(target())});
    QCOMPARE(handedOver.count(), 1);
    QVERIFY(!m_dialog->isVisible());
    QVERIFY(m_prompts->messages().isEmpty());
}

void TestAktualizacja::installWithoutAnInstallerSaysHow_data() {
    QTest::addColumn<QByteArray>("xdgMime");
    QTest::addColumn<bool>("desktopOpens");
    QTest::addColumn<int>("opened");
    QTest::newRow("no installer registered") << QByteArray("echo\n") << true << 0;
    QTest::newRow("xdg-mime fails") << QByteArray("exit 3\n") << true << 0;
    QTest::newRow("the desktop refuses the file")
        << QByteArray("echo gdebi.desktop\n") << false << 1;
}

void TestAktualizacja::installWithoutAnInstallerSaysHow() {
#ifdef Q_OS_WIN
    QSKIP("hands the package over through a stand-in xdg-mime (a shell script); Windows starts the "
          "installer");
#endif
    QFETCH(QByteArray, xdgMime);
    QFETCH(bool, desktopOpens);
    QFETCH(int, opened);
    m_server->answer(kPackagePath, packageAnswer());
    m_server->answer(kSignaturePath, m_key->signatureAnswer(package()));
    m_tools->add(QStringLiteral("xdg-mime"), xdgMime);
    m_prompts->externalOpens = desktopOpens;
    QSignalSpy handedOver(m_dialog.get(), &TFAktualizacja::installerHandedOver);
    downloadNow();
    m_dialog->btnClose->click();
    QCOMPARE(handedOver.count(), 0);
    QCOMPARE(m_prompts->opened.size(), opened);
    QCOMPARE(m_prompts->messages().size(), 1);
    const QString message = m_prompts->messages().constFirst();
    QVERIFY2(message.contains(target()), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("sudo apt install ./nowy.deb")), qPrintable(message));
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(readFile(target()), package());
}

void TestAktualizacja::browserGetsTheAddress() {
    m_server->answer(kPackagePath, packageAnswer());
    downloadNow();
    m_dialog->btnDownloadViaBrowser->click();
    QCOMPARE(m_prompts->opened,
             QList<QUrl>{QUrl(m_server->base() + QString::fromLatin1(kPackagePath))});
}

void TestAktualizacja::refusedAddressIsNeitherShownNorOpened_data() {
    // %1: the host and port of the test's server, which would answer.
    QTest::addColumn<QString>("base");
    QTest::newRow("user and password") << QStringLiteral("http://jan:tajne@%1");
    QTest::newRow("user name") << QStringLiteral("http://tajne@%1");
    QTest::newRow("https with a password") << QStringLiteral("https://jan:tajne@%1");
    QTest::newRow("plain http to another machine") << QStringLiteral("http://tajne.invalid");
}

void TestAktualizacja::refusedAddressIsNeitherShownNorOpened() {
    QFETCH(QString, base);
    if (base.contains(QLatin1String("%1")))
        base = base.arg(QUrl(m_server->base()).authority());
    qputenv("SWIADECTWA_UPDATE_URL", base.toUtf8());
    m_server->answer(kPackagePath, packageAnswer());
    m_server->answer(kSignaturePath, m_key->signatureAnswer(package()));
    downloadNow();
    QCOMPARE(m_dialog->editStatus->text(), UpdateDownload::connectionFailedText());
    QVERIFY(m_dialog->editDownloadLink->text().isEmpty());
    QVERIFY(!m_dialog->btnDownloadViaBrowser->isEnabled());
    // Neither the button's slot (whatever reaches it) nor the keyboard opens anything.
    m_dialog->btnDownloadViaBrowserClick();
    m_dialog->btnDownloadViaBrowser->setFocus();
    QTest::keyClick(m_dialog->btnDownloadViaBrowser, Qt::Key_Space);
    QVERIFY(m_prompts->opened.isEmpty());
    QVERIFY(m_server->paths.isEmpty());
    for (const QLineEdit *edit : m_dialog->findChildren<QLineEdit *>())
        QVERIFY2(!edit->text().contains(QLatin1String("tajne")), qPrintable(edit->text()));
    for (const QLabel *label : m_dialog->findChildren<QLabel *>())
        QVERIFY2(!label->text().contains(QLatin1String("tajne")), qPrintable(label->text()));
    QVERIFY(!m_dialog->windowTitle().contains(QLatin1String("tajne")));
}

void TestAktualizacja::escapeStopsTheDownload() {
    TestHttpServer::Answer slow = packageAnswer();
    slow.piece = 10;
    slow.pauseMs = 100;
    m_server->answer(kPackagePath, slow);
    m_server->answer(kSignaturePath, m_key->signatureAnswer(package()));
    m_dialog->show();
    QTRY_VERIFY_WITH_TIMEOUT(m_dialog->Postep->value() > 0, 5000);
    QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
    QVERIFY(!m_dialog->isVisible());
    QVERIFY(!m_dialog->download()->isRunning());
    QTest::qWait(300);
    QVERIFY(!m_dialog->downloadFinished());
    QCOMPARE(QDir(QFileInfo(target()).absolutePath()).entryList(QDir::Files | QDir::Hidden),
             QStringList());
}

QTEST_MAIN(TestAktualizacja)
#include "tst_aktualizacja.moc"
