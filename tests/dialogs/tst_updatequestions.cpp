#include "dialogs/tfaktualizacja.h"
#include "maintenance/updatecheck.h"
#include "support/httpstub.h"
#include "support/scriptedprompts.h"
#include "support/signingkey.h"
#include "support/testenv.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const QByteArray kVersionPath = "/veltra/bruma/program/2014/bruma_wersja.bin";
const QByteArray kSignaturePath = kVersionPath + ".sig";

QString newerText(const char *server) {
    return QString::fromUtf8(
               "Aktualna wersja programu to: 1.6.2\nWersja dostępna na serwerze to: ") +
           QLatin1String(server) +
           QString::fromUtf8("\n\nCzy chcesz pobrać nową wersje programu ?");
}

QString notNewerText(const char *server) {
    return QString::fromUtf8(
               "Aktualna wersja programu to: 1.6.2\nWersja dostępna na serwerze to: ") +
           QLatin1String(server) + QString::fromUtf8("\n\nBrak nowej wersji do pobrania.");
}

const QString kInvalid = QString::fromUtf8("Serwer aktualizacji zwrócił niepoprawną odpowiedź.");
const QString kNoConnection = QString::fromUtf8("Błąd podczas próby połączenia z internetem");
const QString kUnverified = QString::fromUtf8(
    "Nie udało się potwierdzić, że odpowiedź serwera aktualizacji pochodzi od autora programu "
    "(brak ważnego podpisu), dlatego nowa wersja nie jest proponowana. Spróbuj ponownie później.");

// The main window's part of a check: asks about each outcome and reports an
// accepted update.
class Asker : public QObject {
    Q_OBJECT
public:
    explicit Asker(UpdateCheck &check) {
        connect(&check, &UpdateCheck::checkFinished, this, [this](const UpdateOutcome &o) {
            if (bFunAskAboutUpdate(nullptr, o, [this] { return unsaved; }))
                emit updateAccepted(o.own, o.server);
        });
    }
    bool unsaved = false;

signals:
    void updateAccepted(const UpdateVersion &own, const UpdateVersion &server);
};

} // namespace

// What the teacher is asked and told after a version check against a server
// of the test's own, which signs with a throw-away key made the program's
// key. The program's own version is 1.6.2 throughout.
class TestUpdateQuestions : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void answers_data();
    void answers();
    void noAnswer_data();
    void noAnswer();
    void signatures_data();
    void signatures();
    void yesToANewerVersion_data();
    void yesToANewerVersion();
    void severalChecksAtOnce();

private:
    // Runs one check to its end and returns what it asked.
    QList<ScriptedPrompts::Asked> run(UpdateCheck &check, bool silent);

    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<TestSigningKey> m_key;
};

void TestUpdateQuestions::initTestCase() {
    m_key = std::make_unique<TestSigningKey>();
}

void TestUpdateQuestions::cleanupTestCase() {
    m_key.reset();
}

void TestUpdateQuestions::init() {
    m_prompts = std::make_unique<ScriptedPrompts>();
}

void TestUpdateQuestions::cleanup() {
    m_prompts.reset();
}

QList<ScriptedPrompts::Asked> TestUpdateQuestions::run(UpdateCheck &check, bool silent) {
    m_prompts->clear();
    QSignalSpy ended(&check, &UpdateCheck::checkEnded);
    check.vFunUpdateCheck(silent);
    [&] { QVERIFY(ended.wait(5000)); }();
    return m_prompts->asked;
}

void TestUpdateQuestions::answers_data() {
    QTest::addColumn<TestHttpServer::Answer>("answer");
    // What the interactive check says (nothing when empty); the silent check
    // says the same only for a newer version, and nothing otherwise.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("icon");

    const int question = int(Prompts::Icon::Question);
    const int none = int(Prompts::Icon::None);
    const int warning = int(Prompts::Icon::Warning);
    QTest::newRow("1.6.3 newer") << versionAnswer(1, 6, 3) << newerText("1.6.3") << "Nowa wersja"
                                 << question;
    QTest::newRow("1.7.0 newer") << versionAnswer(1, 7, 0) << newerText("1.7.0") << "Nowa wersja"
                                 << question;
    QTest::newRow("2.0.0 newer") << versionAnswer(2, 0, 0) << newerText("2.0.0") << "Nowa wersja"
                                 << question;
    QTest::newRow("1.6.2 same") << versionAnswer(1, 6, 2) << notNewerText("1.6.2") << "" << none;
    QTest::newRow("1.5.9 older") << versionAnswer(1, 5, 9) << notNewerText("1.5.9") << "" << none;
    TestHttpServer::Answer longer = versionAnswer(1, 6, 3);
    longer.body += QByteArray(5000, '\x7f');
    QTest::newRow("bytes after the twelfth ignored")
        << longer << newerText("1.6.3") << "Nowa wersja" << question;
    TestHttpServer::Answer eight = versionAnswer(1, 6, 5);
    eight.body.chop(4);
    QTest::newRow("8 bytes: build 0") << eight << notNewerText("1.6.0") << "" << none;

    QTest::newRow("404 quiet") << httpAnswer(404, "brak") << ""
                               << "" << none;
    QTest::newRow("500 quiet") << httpAnswer(500, versionAnswer(9, 0, 0).body) << ""
                               << "" << none;

    QTest::newRow("7 bytes") << httpAnswer(200, versionAnswer(2, 0, 0).body.left(7)) << kInvalid
                             << "Aktualizacja" << warning;
    QTest::newRow("empty body") << httpAnswer(200, QByteArray()) << kInvalid << "Aktualizacja"
                                << warning;
    QTest::newRow("login page of a hotel network")
        << httpAnswer(200, "<html><body>Zaloguj się do sieci</body></html>") << kInvalid
        << "Aktualizacja" << warning;
    QTest::newRow("redirect not followed") << httpAnswer(302, QByteArray(), {"Location: /nowa.bin"})
                                           << kInvalid << "Aktualizacja" << warning;
    QTest::newRow("403") << httpAnswer(403, versionAnswer(2, 0, 0).body) << kInvalid
                         << "Aktualizacja" << warning;
    QTest::newRow("build 10000") << versionAnswer(1, 6, 10000) << kInvalid << "Aktualizacja"
                                 << warning;
    QTest::newRow("negative major")
        << versionAnswer(-1, 0, 0) << kInvalid << "Aktualizacja" << warning;
}

void TestUpdateQuestions::answers() {
    QFETCH(TestHttpServer::Answer, answer);
    QFETCH(QString, text);
    QFETCH(QString, caption);
    QFETCH(int, icon);
    TestHttpServer server;
    server.answer(kVersionPath, answer);
    server.answer(kSignaturePath, m_key->signatureAnswer(answer.body));
    server.answer("/nowa.bin", versionAnswer(9, 9, 9));
    server.answer("/nowa.bin.sig", m_key->signatureAnswer(versionAnswer(9, 9, 9).body));
    qputenv("SWIADECTWA_UPDATE_URL", server.base().toUtf8());
    UpdateCheck check({1, 6, 2});
    Asker asker(check);
    QSignalSpy accepted(&asker, &Asker::updateAccepted);

    const bool newer = caption == QLatin1String("Nowa wersja");
    const bool version = newer || text.startsWith(QLatin1String("Aktualna"));
    for (bool silent : {false, true}) {
        const QList<ScriptedPrompts::Asked> asked = run(check, silent);
        if (text.isEmpty() || (silent && !newer)) {
            QVERIFY2(asked.isEmpty(), qPrintable(asked.value(0).text));
            continue;
        }
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].text, text);
        QCOMPARE(asked[0].caption, caption);
        QCOMPARE(int(asked[0].icon), icon);
        QCOMPARE(asked[0].buttons, newer ? Prompts::Buttons::YesNo : Prompts::Buttons::Ok);
    }
    // Answered No (the script's default): nothing follows.
    QCOMPARE(accepted.count(), 0);
    // Only the version file was asked for, redirect or not, and its signature
    // when it held a version.
    const QByteArrayList once =
        version ? QByteArrayList{kVersionPath, kSignaturePath} : QByteArrayList{kVersionPath};
    QCOMPARE(server.paths, once + once);
    QCOMPARE(check.runningChecks(), 0);
}

void TestUpdateQuestions::noAnswer_data() {
    // %1: the host and port of a server that would answer.
    QTest::addColumn<QString>("base");
    QTest::newRow("connection refused") << TestHttpServer::refusingBase();
    QTest::newRow("plain http to another machine") << QStringLiteral("http://127.0.0.1.invalid");
    QTest::newRow("not an address") << QStringLiteral("veltra");
    QTest::newRow("user and password in the address") << QStringLiteral("http://jan:tajne@%1");
    QTest::newRow("user name in the address") << QStringLiteral("http://jan@%1");
}

void TestUpdateQuestions::noAnswer() {
    QFETCH(QString, base);
    TestHttpServer server;
    server.answer(kVersionPath, versionAnswer(1, 7, 0));
    server.answer(kSignaturePath, m_key->signatureAnswer(versionAnswer(1, 7, 0).body));
    if (base.contains(QLatin1String("%1")))
        base = base.arg(QUrl(server.base()).authority());
    qputenv("SWIADECTWA_UPDATE_URL", base.toUtf8());
    UpdateCheck check({1, 6, 2});
    Asker asker(check);
    const QList<ScriptedPrompts::Asked> interactive = run(check, false);
    QCOMPARE(interactive.size(), 1);
    QCOMPARE(interactive[0].text, kNoConnection);
    QCOMPARE(interactive[0].caption, QStringLiteral("Aktualizacja"));
    QCOMPARE(interactive[0].icon, Prompts::Icon::Warning);
    QVERIFY(run(check, true).isEmpty());
    QVERIFY(server.paths.isEmpty());
}

void TestUpdateQuestions::signatures_data() {
    QTest::addColumn<TestHttpServer::Answer>("version");
    QTest::addColumn<TestHttpServer::Answer>("signature");
    // What the interactive check says; the newer version is offered only
    // when it is "Nowa wersja".
    QTest::addColumn<QString>("text");

    const TestHttpServer::Answer v170 = versionAnswer(1, 7, 0);
    const QByteArray good = m_key->sign(v170.body);
    QTest::newRow("good signature") << v170 << httpAnswer(200, good) << newerText("1.7.0");
    const TestSigningKey stranger(TestSigningKey::Use::Stranger);
    QTest::newRow("wrong key") << v170 << stranger.signatureAnswer(v170.body) << kUnverified;
    QTest::newRow("tampered version file")
        << v170 << m_key->signatureAnswer(versionAnswer(1, 6, 3).body) << kUnverified;
    TestHttpServer::Answer longer = v170;
    longer.body += "x";
    QTest::newRow("a byte added to the version file")
        << longer << httpAnswer(200, good) << kUnverified;
    QTest::newRow("missing signature") << v170 << httpAnswer(404, "brak") << kUnverified;
    QTest::newRow("signature of 63 bytes") << v170 << httpAnswer(200, good.left(63)) << kUnverified;
    QTest::newRow("signature in base64 is not the format")
        << v170 << httpAnswer(200, good.toBase64()) << kUnverified;
    QTest::newRow("signature redirected")
        << v170 << httpAnswer(302, good, {"Location: /inny.sig"}) << kUnverified;
    TestHttpServer::Answer endlessSignature = httpAnswer(200, good);
    endlessSignature.announced = -1;
    endlessSignature.endless = true;
    QTest::newRow("signature without end") << v170 << endlessSignature << kUnverified;
    // The version file itself is read no further than 64 KiB.
    TestHttpServer::Answer endless = v170;
    endless.announced = -1;
    endless.endless = true;
    QTest::newRow("version file without end") << endless << httpAnswer(200, good) << kInvalid;
    TestHttpServer::Answer oversize = v170;
    oversize.body += QByteArray(64 * 1024, '\0');
    QTest::newRow("version file over 64 KiB")
        << oversize << m_key->signatureAnswer(oversize.body) << kInvalid;
}

void TestUpdateQuestions::signatures() {
    QFETCH(TestHttpServer::Answer, version);
    QFETCH(TestHttpServer::Answer, signature);
    QFETCH(QString, text);
    TestHttpServer server;
    server.answer(kVersionPath, version);
    server.answer(kSignaturePath, signature);
    server.answer("/inny.sig", httpAnswer(200, m_key->sign(version.body)));
    qputenv("SWIADECTWA_UPDATE_URL", server.base().toUtf8());
    UpdateCheck check({1, 6, 2});
    Asker asker(check);
    QSignalSpy accepted(&asker, &Asker::updateAccepted);
    const bool offered = text == newerText("1.7.0");
    for (bool silent : {false, true}) {
        // Yes to whatever is asked: an unverified version must not be offered at all.
        m_prompts->answers.enqueue(Prompts::Answer::Yes);
        QElapsedTimer clock;
        clock.start();
        const QList<ScriptedPrompts::Asked> asked = run(check, silent);
        QVERIFY(clock.elapsed() < 5000);
        if (silent && !offered) {
            QVERIFY2(asked.isEmpty(), qPrintable(asked.value(0).text));
            continue;
        }
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].text, text);
        QCOMPARE(asked[0].buttons, offered ? Prompts::Buttons::YesNo : Prompts::Buttons::Ok);
        if (!offered) {
            QCOMPARE(asked[0].caption, QStringLiteral("Aktualizacja"));
            QCOMPARE(asked[0].icon, Prompts::Icon::Warning);
        }
    }
    QCOMPARE(accepted.count(), offered ? 2 : 0);
    QVERIFY(!server.paths.contains("/inny.sig"));
    QCOMPARE(check.runningChecks(), 0);
}

void TestUpdateQuestions::yesToANewerVersion_data() {
    QTest::addColumn<bool>("unsaved");
    QTest::newRow("nothing unsaved: the update goes on") << false;
    QTest::newRow("unsaved changes: save first") << true;
}

void TestUpdateQuestions::yesToANewerVersion() {
    QFETCH(bool, unsaved);
    TestHttpServer server;
    server.answer(kVersionPath, versionAnswer(1, 7, 0));
    server.answer(kSignaturePath, m_key->signatureAnswer(versionAnswer(1, 7, 0).body));
    qputenv("SWIADECTWA_UPDATE_URL", server.base().toUtf8());
    UpdateCheck check({1, 6, 2});
    Asker asker(check);
    asker.unsaved = unsaved;
    QSignalSpy accepted(&asker, &Asker::updateAccepted);
    m_prompts->answers.enqueue(Prompts::Answer::Yes);
    const QList<ScriptedPrompts::Asked> asked = run(check, true);
    QCOMPARE(server.agents, QByteArrayList({"UPDATE CHECK", "UPDATE CHECK"}));
    if (!unsaved) {
        QCOMPARE(asked.size(), 1);
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(accepted[0][0].value<UpdateVersion>().text(), QStringLiteral("1.6.2"));
        QCOMPARE(accepted[0][1].value<UpdateVersion>().text(), QStringLiteral("1.7.0"));
        return;
    }
    QCOMPARE(accepted.count(), 0);
    QCOMPARE(asked.size(), 2);
    QCOMPARE(asked[1].caption, QStringLiteral("Zapisz dane"));
    QCOMPARE(asked[1].text,
             QString::fromUtf8("Przed aktualizacją programu zapisz dane\x07 a następnie uruchom "
                               "aktualizację.\nPomoc->Sprawdź czy jest nowa wersja"));
    QCOMPARE(asked[1].icon, Prompts::Icon::None);
    QCOMPARE(asked[1].buttons, Prompts::Buttons::Ok);
}

void TestUpdateQuestions::severalChecksAtOnce() {
    TestHttpServer server;
    TestHttpServer::Answer slow = versionAnswer(1, 6, 2);
    slow.piece = 4;
    slow.pauseMs = 30;
    server.answer(kVersionPath, slow);
    server.answer(kSignaturePath, m_key->signatureAnswer(slow.body));
    qputenv("SWIADECTWA_UPDATE_URL", server.base().toUtf8());
    UpdateCheck check({1, 6, 2});
    Asker asker(check);
    QSignalSpy ended(&check, &UpdateCheck::checkEnded);
    for (int i = 0; i < 3; ++i)
        check.vFunUpdateCheck(false);
    QCOMPARE(check.runningChecks(), 3);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 3, 5000);
    QCOMPARE(m_prompts->messages(), QStringList(3, notNewerText("1.6.2")));
    QCOMPARE(server.paths.size(), 6);
    QCOMPARE(check.runningChecks(), 0);
}

QTEST_GUILESS_MAIN(TestUpdateQuestions)
#include "tst_updatequestions.moc"
