#include "storage/fileops.h"
#include "storage/paths.h"
#include "support/testenv.h"

#include <QtTest>
#include <cerrno>

namespace {

// Polish letters in every name: on Windows they reach the wide-character API.
const QString kSource = QStringLiteral("źródło.txt");
const QString kTarget = QStringLiteral("cel łąki.txt");

} // namespace

class TestFileOps : public QObject {
    Q_OBJECT
private slots:
    void operations_data();
    void operations();
    void versionTellsAChange_data();
    void versionTellsAChange();
    void uniqueFilesDoNotCollide();
    void listingLeavesFoldersOut();
};

void TestFileOps::operations_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("sourceExists");
    QTest::addColumn<QString>("target"); // relative to the test folder
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("sourceAfter");
    QTest::addColumn<QByteArray>("targetAfter"); // "-": no file there

    QTest::newRow("replace an existing file")
        << "replace" << true << kTarget << 0 << false << QByteArray("nowy");
    QTest::newRow("replace onto a new name")
        << "replace" << true << QStringLiteral("nowy.txt") << 0 << false << QByteArray("nowy");
    QTest::newRow("replace from a missing file keeps the target")
        << "replace" << false << kTarget << int(ENOENT) << false << QByteArray("stary");
    QTest::newRow("replace into a missing folder keeps the source")
        << "replace" << true << QStringLiteral("brak/cel.txt") << int(ENOENT) << true
        << QByteArray("-");
    QTest::newRow("remove a file") << "remove" << true << kTarget << 0 << true << QByteArray("-");
    QTest::newRow("remove a missing file")
        << "remove" << true << QStringLiteral("brak.txt") << int(ENOENT) << true << QByteArray("-");
    QTest::newRow("create exclusively over a file keeps it")
        << "exclusive" << true << kTarget << int(EEXIST) << true << QByteArray("stary");
    QTest::newRow("create exclusively a new file")
        << "exclusive" << true << QStringLiteral("nowy.txt") << 0 << true << QByteArray("");
    QTest::newRow("make a folder where a file is")
        << "makeDir" << true << kTarget << int(EEXIST) << true << QByteArray("stary");
    QTest::newRow("make a folder in a missing folder")
        << "makeDir" << true << QStringLiteral("brak/nowy") << int(ENOENT) << true
        << QByteArray("-");
}

void TestFileOps::operations() {
    QFETCH(QString, operation);
    QFETCH(bool, sourceExists);
    QFETCH(QString, target);
    QFETCH(int, error);
    QFETCH(bool, sourceAfter);
    QFETCH(QByteArray, targetAfter);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString source = dir.filePath(kSource);
    const QString path = dir.filePath(target);
    if (sourceExists)
        writeFile(source, "nowy");
    writeFile(dir.filePath(kTarget), "stary");

    int result = -1;
    if (operation == QLatin1String("replace")) {
        result = iFsReplace(source, path);
    } else if (operation == QLatin1String("remove")) {
        result = iFsRemove(path);
    } else if (operation == QLatin1String("exclusive")) {
        FsFile file;
        result = file.create(path, true);
        QCOMPARE(file.isOpen(), result == 0);
    } else {
        result = iFsMakeDir(path);
    }
    QCOMPARE(result, error);
    QCOMPARE(QFileInfo::exists(source), sourceAfter);
    if (targetAfter == "-") {
        QVERIFY(!QFileInfo::exists(path));
    } else {
        QVERIFY(QFileInfo(path).isFile());
        QCOMPARE(readFile(path), targetAfter);
    }
}

void TestFileOps::versionTellsAChange_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("same");
    QTest::newRow("untouched") << "none" << true;
    QTest::newRow("read") << "read" << true;
    QTest::newRow("written whole, same size") << "whole" << false;
    QTest::newRow("overwritten in place, same size") << "inPlace" << false;
    QTest::newRow("replaced by a copy") << "replace" << false;
}

void TestFileOps::versionTellsAChange() {
    QFETCH(QString, change);
    QFETCH(bool, same);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(kTarget);
    writeFile(path, "abcd");
    FsInfo before;
    QCOMPARE(iFsStat(path, before), 0);
    QCOMPARE(before.kind, FsKind::File);
    QCOMPARE(before.size, qint64(4));
    // A change within the clock's resolution would go unseen.
    QTest::qWait(20);

    if (change == QLatin1String("read")) {
        QCOMPARE(readFile(path), QByteArray("abcd"));
    } else if (change == QLatin1String("whole")) {
        QCOMPARE(iFunWriteWholeFile(path, "wxyz"), 0);
    } else if (change == QLatin1String("inPlace")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QCOMPARE(f.write("wxyz"), qint64(4));
    } else if (change == QLatin1String("replace")) {
        writeFile(dir.filePath(kSource), "abcd");
        QCOMPARE(iFsReplace(dir.filePath(kSource), path), 0);
    }
    FsInfo after;
    QCOMPARE(iFsStat(path, after), 0);
    QCOMPARE(bFsSameVersion(before, after), same);
    QCOMPARE(after.size, qint64(4));
}

void TestFileOps::uniqueFilesDoNotCollide() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pattern = dir.filePath(QStringLiteral(".zapis-żółw-XXXXXX"));
    QString first = pattern;
    QString second = pattern;
    FsFile a, b;
    QCOMPARE(a.createUnique(first), 0);
    QCOMPARE(b.createUnique(second), 0);
    QVERIFY(first != second);
    for (const QString &name : {first, second}) {
        QCOMPARE(name.size(), pattern.size());
        QVERIFY(name.startsWith(pattern.chopped(6)));
        QVERIFY(!name.endsWith(QLatin1String("XXXXXX")));
        QVERIFY(QFileInfo(name).isFile());
    }
    // What is written and synced is in the file once it is closed.
    QCOMPARE(a.writeAll("treść", qint64(qstrlen("treść"))), 0);
    QCOMPARE(a.sync(), 0);
    QCOMPARE(a.close(), 0);
    QCOMPARE(readFile(first), QByteArray("treść"));
    FsFile in;
    QCOMPARE(in.openRead(first), 0);
    char buffer[64];
    qint64 got = -1;
    QCOMPARE(in.read(buffer, sizeof buffer, got), 0);
    QCOMPARE(QByteArray(buffer, int(got)), QByteArray("treść"));
    QCOMPARE(in.read(buffer, sizeof buffer, got), 0);
    QCOMPARE(got, qint64(0));
}

void TestFileOps::listingLeavesFoldersOut() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    writeFile(dir.filePath(QStringLiteral("zażółć.txt")), "x");
    writeFile(dir.filePath(QStringLiteral("b.txt")), "");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    QStringList names = strFsListFiles(dir.path());
    names.sort();
    QCOMPARE(names, (QStringList{QStringLiteral("b.txt"), QStringLiteral("zażółć.txt")}));
    QVERIFY(strFsListFiles(dir.filePath(QStringLiteral("brak"))).isEmpty());
}

QTEST_GUILESS_MAIN(TestFileOps)
#include "tst_fileops.moc"
