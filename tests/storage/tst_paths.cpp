#include "storage/errortext.h"
#include "storage/paths.h"
#include "storage/settings.h"
#include "support/testenv.h"

#include <QtTest>
#include <cerrno>
#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

class TestPaths : public QObject {
    Q_OBJECT
private slots:
    void programFolderFollowsUserName_data();
    void programFolderFollowsUserName();
    void programFolderIsMadeOnceAndRemade();
    void noProgramFolderMeansNoPathsAndNoLog();
    void createDirFailure();
    void tmpFileDeletion();
    void copyFile_data();
    void copyFile();
    void copyKeepsPermissions();
    void clearFileAttributes();
};

void TestPaths::programFolderFollowsUserName_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("folder");
    QTest::newRow("Polish letters") << QStringLiteral("Łąka Żółta") << QStringLiteral("Laka zolta");
    QTest::newRow("all replaced letters")
        << QStringLiteral("ĄąĆćĘęŁłŃńÓóŚśŹźŻż") << QStringLiteral("AaCcEeLlNnOoSsZzzz");
    QTest::newRow("other letters stay") << QStringLiteral("Bär") << QStringLiteral("Bär");
}

void TestPaths::programFolderFollowsUserName() {
    QFETCH(QString, user);
    QFETCH(QString, folder);
    TestEnv env(user);
    QString msg = QStringLiteral("untouched");
    const QString path = strFunGetMainDirPath(msg);
    QCOMPARE(path, env.dataHome() + QStringLiteral("/Veltra-BR5/") + folder);
    QVERIFY(path.endsWith(QStringLiteral("Veltra-BR5/") + folder));
    QVERIFY(QFileInfo(path).isDir());
    QCOMPARE(msg, QStringLiteral("untouched"));
    QCOMPARE(strFunGetTmpFilePath(msg), path + QStringLiteral("/data_tmp.sqtmp"));
}

void TestPaths::programFolderIsMadeOnceAndRemade() {
    TestEnv env;
    QString msg;
    QVERIFY(!QFileInfo::exists(env.dataHome() + QStringLiteral("/Veltra-BR5")));
    const QString first = strFunGetMainDirPath(msg);
    QVERIFY(QFileInfo(first).isDir());
    writeFile(first + QStringLiteral("/keep.txt"), "x");
    QCOMPARE(strFunGetMainDirPath(msg), first);
    QCOMPARE(readFile(first + QStringLiteral("/keep.txt")), QByteArray("x"));
    // Deleted while the program runs: the next lookup makes it again.
    QVERIFY(QDir(env.dataHome() + QStringLiteral("/Veltra-BR5")).removeRecursively());
    QCOMPARE(strFunGetMainDirPath(msg), first);
    QVERIFY(QFileInfo(first).isDir());
}

void TestPaths::noProgramFolderMeansNoPathsAndNoLog() {
    TestEnv env;
    // "Veltra-BR5" is a plain file: the folder cannot be made.
    writeFile(env.dataHome() + QStringLiteral("/Veltra-BR5"), "not a folder");
    QString msg;
    QVERIFY(strFunGetMainDirPath(msg).isEmpty());
    QCOMPARE(msg, QStringLiteral("Błąd podczas tworzenia katalogu:\n") + env.dataHome() +
                      QStringLiteral("/Veltra-BR5\n") + strFunErrnoCode(EEXIST));
    QVERIFY(strFunGetTmpFilePath(msg).isEmpty());
    QVERIFY(strFunGetDataFilePath(msg, QStringLiteral("ustawienia.sqset")).isEmpty());
    // Callers refuse instead of reaching for "/ustawienia.sqset".
    int value = 42;
    QVERIFY(!bFunSqlGetSettingsValue(msg, QStringLiteral("word_wrap"), value));
    QCOMPARE(value, 42);
    QVERIFY(msg.startsWith(QStringLiteral("Błąd podczas tworzenia katalogu:\n")));
    QVERIFY(!bFunSqlSettingWriteValue(msg, QStringLiteral("word_wrap"), 1));
    QVERIFY(!bFunDeleteTmpFile(msg));
    QVERIFY(!QFileInfo::exists(QStringLiteral("/ustawienia.sqset")));
    QVERIFY(!QFileInfo::exists(QStringLiteral("/logs.sqdb")));
    QCOMPARE(QDir(env.dataHome()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList{QStringLiteral("Veltra-BR5")});
}

void TestPaths::createDirFailure() {
    TestEnv env;
    QString msg;
    QVERIFY(bFunCreateDir(msg, env.dataHome() + QStringLiteral("/a")));
    QVERIFY(bFunCreateDir(msg, env.dataHome() + QStringLiteral("/a"))); // exists: fine
    const QString nested = env.dataHome() + QStringLiteral("/b/c");
    QVERIFY(!bFunCreateDir(msg, nested)); // one level only
    QCOMPARE(msg, QStringLiteral("Błąd podczas tworzenia katalogu:\n") + nested +
                      QStringLiteral("\n") + strFunErrnoCode(ENOENT));
    const auto log = logRows(env.programDir());
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0].fun, QStringLiteral("strFunGetMainDirPath()"));
    QCOMPARE(log[0].info, msg);
}

void TestPaths::tmpFileDeletion() {
    TestEnv env;
    QString msg = QStringLiteral("keep");
    QVERIFY(bFunDeleteTmpFile(msg)); // nothing to delete
    QCOMPARE(msg, QStringLiteral("keep"));
    const QString tmp = env.programFile(QStringLiteral("data_tmp.sqtmp"));
    writeFile(tmp, "abc");
    QVERIFY(bFunDeleteTmpFile(msg));
    QVERIFY(!QFileInfo::exists(tmp));
    // Something that cannot be unlinked stands there.
    QVERIFY(QDir().mkpath(tmp + QStringLiteral("/inside")));
    QVERIFY(!bFunDeleteTmpFile(msg));
    QCOMPARE(msg, QStringLiteral("Błąd podczas próby kasowania pliku\n") + tmp +
                      QStringLiteral("\n") + strFunErrnoCode(EISDIR));
    const auto log = logRows(env.programDir());
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0].fun, QStringLiteral("bFunDeleteTmpFile()"));
}

void TestPaths::copyFile_data() {
    QTest::addColumn<bool>("targetExists");
    QTest::addColumn<bool>("sourceExists");
    QTest::addColumn<bool>("failIfExists");
    QTest::addColumn<int>("error"); // 0: success
    QTest::newRow("new target") << false << true << true << 0;
    QTest::newRow("overwrite") << true << true << false << 0;
    QTest::newRow("fail if exists") << true << true << true << EEXIST;
    QTest::newRow("missing source") << false << false << false << ENOENT;
    QTest::newRow("missing source keeps target") << true << false << false << ENOENT;
}

void TestPaths::copyFile() {
    QFETCH(bool, targetExists);
    QFETCH(bool, sourceExists);
    QFETCH(bool, failIfExists);
    QFETCH(int, error);
    TestEnv env;
    const QString source = env.dataHome() + QStringLiteral("/źródło.sqset");
    const QString target = env.dataHome() + QStringLiteral("/cel.sqset");
    if (sourceExists)
        writeFile(source, "new content");
    if (targetExists)
        writeFile(target, "old");
    QString msg;
    QCOMPARE(bFunCopyFile(msg, source, target, failIfExists), error == 0);
    if (error == 0) {
        QCOMPARE(readFile(target), QByteArray("new content"));
    } else {
        QCOMPARE(msg, QStringLiteral("Błąd podczas kopiowania pliku.\n\nZ: ") + source +
                          QStringLiteral("\ndo: ") + target + QStringLiteral("\n\n") +
                          strFunErrnoCode(error));
        QCOMPARE(readFile(target), targetExists ? QByteArray("old") : QByteArray());
        QCOMPARE(logRows(env.programDir()).size(), 1);
        QCOMPARE(logRows(env.programDir())[0].fun, QStringLiteral("bFunCopyFile()"));
    }
    // No temporary file is left beside the target.
    const QStringList left =
        QDir(env.dataHome()).entryList(QStringList{QStringLiteral("cel.sqset.*")});
    QVERIFY2(left.isEmpty(), qPrintable(left.join(' ')));
}

void TestPaths::copyKeepsPermissions() {
#ifdef Q_OS_WIN
    QSKIP("needs POSIX permission bits");
#else
    TestEnv env;
    const QString source = env.dataHome() + QStringLiteral("/a");
    const QString target = env.dataHome() + QStringLiteral("/b");
    writeFile(source, "x");
    ::chmod(QFile::encodeName(source).constData(), 0640);
    QString msg;
    QVERIFY(bFunCopyFile(msg, source, target, false));
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(target).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, 0640u);
#endif
}

void TestPaths::clearFileAttributes() {
    TestEnv env;
    const QString file = env.dataHome() + QStringLiteral("/ro.sqbr5");
    writeFile(file, "x");
    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QString msg;
    QVERIFY(bFunClearFileAttributes(msg, file));
    QVERIFY(QFileInfo(file).permissions() & QFile::WriteOwner);
    QVERIFY(!bFunClearFileAttributes(msg, env.dataHome() + QStringLiteral("/missing")));
    QVERIFY(msg.isEmpty());
}

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
