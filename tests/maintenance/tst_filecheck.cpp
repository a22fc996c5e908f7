#include "maintenance/filecheck.h"
#include "storage/cppsqlite3.h"
#include "storage/errortext.h"
#include "storage/paths.h"
#include "support/testenv.h"

#include <QtTest>
#include <cerrno>
#include <sys/stat.h>

// Each case builds a small installation folder: a catalogue and the files it
// names, and runs the check against a fresh program folder.
class TestFileCheck : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void freshFolderGetsEverythingThenNothingMore();
    void flaggedFileReplacesUserCopyOnce();
    void flaggedFileWithMissingSourceFails();
    void readOnlyCatalogueReplacesOncePerRelease();
    void failures_data();
    void failures();
    void emptyCatalogue();
    void shippedCatalogueFillsAFreshFolder();
    void upgradeKeepsTheTeachersCalibration();

private:
    QString install(const QString &name) const { return m_install->filePath(name); }
    void makeCatalogue(const QString &sql);
    QString catalogue() const { return install(QStringLiteral("pliki_kat.sqset")); }
    QByteArrayList flags() const { return rawColumn(catalogue(), "select `update` from files"); }

    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<QTemporaryDir> m_install;
};

void TestFileCheck::init() {
    m_env = std::make_unique<TestEnv>();
    m_install = std::make_unique<QTemporaryDir>();
    vFunSetExeDirPathForTests(m_install->path());
    writeFile(install(QStringLiteral("ustawienia.sqset")), "shipped settings");
    writeFile(install(QStringLiteral("grafika/m_p.bmp")), "shipped picture");
}

void TestFileCheck::cleanup() {
    vFunSetExeDirPathForTests(QString());
}

void TestFileCheck::makeCatalogue(const QString &sql) {
    QFile::remove(catalogue());
    CppSQLite3DB db;
    db.Open(catalogue());
    db.Execute(QStringLiteral("create table `dir`( name TEXT ); create table `files`( name TEXT, "
                              "`update` INTEGER );") +
               sql);
}

void TestFileCheck::freshFolderGetsEverythingThenNothingMore() {
    makeCatalogue(
        QStringLiteral("insert into `dir` values( 'grafika' );"
                       "insert into `dir` values( 'ocena_opisowa' );"
                       "insert into `dir` values( 'ocena_opisowa\\kategorie_zachowanie' );"
                       "insert into `files` values( 'ustawienia.sqset', 0 );"
                       "insert into `files` values( 'grafika\\m_p.bmp', NULL );"));
    QString msg;
    QVERIFY2(bFunCheckFilesDir(msg), qPrintable(msg));
    QVERIFY(QFileInfo(m_env->programFile(QStringLiteral("ocena_opisowa/kategorie_zachowanie")))
                .isDir());
    QCOMPARE(readFile(m_env->programFile(QStringLiteral("ustawienia.sqset"))),
             QByteArray("shipped settings"));
    QCOMPARE(readFile(m_env->programFile(QStringLiteral("grafika/m_p.bmp"))),
             QByteArray("shipped picture"));
    QCOMPARE(flags(), QByteArrayList({"0", "0"}));

    // The user's own changes survive the next start.
    writeFile(m_env->programFile(QStringLiteral("ustawienia.sqset")), "user settings");
    QVERIFY(bFunCheckFilesDir(msg));
    QCOMPARE(readFile(m_env->programFile(QStringLiteral("ustawienia.sqset"))),
             QByteArray("user settings"));
    QVERIFY(logRows(m_env->programDir()).isEmpty());
}

void TestFileCheck::flaggedFileReplacesUserCopyOnce() {
    makeCatalogue(QStringLiteral("insert into `files` values( 'ustawienia.sqset', 1 );"));
    writeFile(m_env->programFile(QStringLiteral("ustawienia.sqset")), "user settings");
    QString msg;
    QVERIFY(bFunCheckFilesDir(msg));
    QCOMPARE(readFile(m_env->programFile(QStringLiteral("ustawienia.sqset"))),
             QByteArray("shipped settings"));
    QCOMPARE(flags(), QByteArrayList{"0"});
    writeFile(m_env->programFile(QStringLiteral("ustawienia.sqset")), "changed again");
    QVERIFY(bFunCheckFilesDir(msg));
    QCOMPARE(readFile(m_env->programFile(QStringLiteral("ustawienia.sqset"))),
             QByteArray("changed again"));
}

void TestFileCheck::flaggedFileWithMissingSourceFails() {
    makeCatalogue(QStringLiteral("insert into `files` values( 'bruma_kalibracja.sqset', 1 );"));
    QString msg;
    QVERIFY(!bFunCheckFilesDir(msg));
    const QString source = install(QStringLiteral("bruma_kalibracja.sqset"));
    const QString target = m_env->programFile(QStringLiteral("bruma_kalibracja.sqset"));
    QCOMPARE(msg, QStringLiteral("Błąd podczas kopiowania pliku.\n\nZ: ") + source +
                      QStringLiteral("\ndo: ") + target + QStringLiteral("\n\n") +
                      strFunErrnoCode(ENOENT));
    QCOMPARE(flags(), QByteArrayList{"1"}); // the next start tries again
}

void TestFileCheck::readOnlyCatalogueReplacesOncePerRelease() {
    const QString user = m_env->programFile(QStringLiteral("ustawienia.sqset"));
    makeCatalogue(QStringLiteral("insert into `dir` values( 'grafika' );"
                                 "insert into `files` values( 'ustawienia.sqset', 1 );"));
    ::chmod(QFile::encodeName(catalogue()).constData(), 0444);
    const QByteArray catalogueBytes = readFile(catalogue());
    writeFile(user, "user settings");

    QString msg;
    QVERIFY2(bFunCheckFilesDir(msg), qPrintable(msg));
    QCOMPARE(readFile(user), QByteArray("shipped settings"));
    QCOMPARE(readFile(catalogue()), catalogueBytes); // never written
    writeFile(user, "user settings");
    QVERIFY(bFunCheckFilesDir(msg));
    QCOMPARE(readFile(user), QByteArray("user settings"));

    // A new release: new shipped copy, new catalogue. Replaced once more.
    ::chmod(QFile::encodeName(catalogue()).constData(), 0644);
    makeCatalogue(QStringLiteral("insert into `dir` values( 'grafika' );"
                                 "insert into `dir` values( 'aktualizacja' );"
                                 "insert into `files` values( 'ustawienia.sqset', 1 );"));
    ::chmod(QFile::encodeName(catalogue()).constData(), 0444);
    writeFile(install(QStringLiteral("ustawienia.sqset")), "shipped settings 2");
    QVERIFY(bFunCheckFilesDir(msg));
    QCOMPARE(readFile(user), QByteArray("shipped settings 2"));
    writeFile(user, "user settings");
    QVERIFY(bFunCheckFilesDir(msg));
    QCOMPARE(readFile(user), QByteArray("user settings"));
    // Only the flagged file is remembered; a missing unflagged one is still copied.
    QVERIFY(QFileInfo(m_env->programFile(QStringLiteral("aktualizacja"))).isDir());
}

void TestFileCheck::failures_data() {
    QTest::addColumn<QString>("catalogueSql"); // empty: no catalogue at all
    QTest::addColumn<QString>("expected");     // message, %I = installation, %P = program folder
    QTest::newRow("no catalogue")
        << QString()
        << "Błąd podczas próby sprawdzenia wymaganych plików / katalogów.\n"
           "Plik nie istnieje: %I/pliki_kat.sqset";
    QTest::newRow("nested folder without parent")
        << "insert into `dir` values( 'ocena_opisowa\\szablony_zachowanie' );"
        << "Błąd podczas tworzenia katalogu:\n%P/ocena_opisowa/szablony_zachowanie\nPlik lub "
           "folder nie istnieje.\nKod błędu: 2";
    QTest::newRow("no files table") << "drop table `files`;"
                                    << "Sql exception: SQLITE_ERROR";
    QTest::newRow("not a database") << "!"
                                    << "Sql exception: Plik nie jest plikiem danych programu albo "
                                       "jest uszkodzony.\nUNKNOWN_ERROR";
}

void TestFileCheck::failures() {
    QFETCH(QString, catalogueSql);
    QFETCH(QString, expected);
    if (catalogueSql == QLatin1String("!"))
        writeFile(catalogue(), QByteArray("to nie jest katalog plików").repeated(50));
    else if (!catalogueSql.isNull())
        makeCatalogue(catalogueSql);
    expected.replace(QStringLiteral("%I"), m_install->path());
    expected.replace(QStringLiteral("%P"), m_env->programDir());
    QString msg;
    QVERIFY(!bFunCheckFilesDir(msg));
    QCOMPARE(msg, expected);
    const auto log = logRows(m_env->programDir());
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0].info, expected);
}

void TestFileCheck::emptyCatalogue() {
    makeCatalogue(QString());
    QString msg;
    QVERIFY(bFunCheckFilesDir(msg));
    QCOMPARE(QDir(m_env->programDir()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList());
}

void TestFileCheck::shippedCatalogueFillsAFreshFolder() {
    // The real catalogue and data files built beside this test.
    vFunSetExeDirPathForTests(QString());
    copyShippedData(m_install->path());
    vFunSetExeDirPathForTests(m_install->path());
    QString msg;
    QVERIFY2(bFunCheckFilesDir(msg), qPrintable(msg));
    for (const char *dir :
         {"grafika", "aktualizacja", "ocena_opisowa/kategorie_edukacyjne",
          "ocena_opisowa/kategorie_zachowanie", "ocena_opisowa/szablony_edukacyjne",
          "ocena_opisowa/szablony_zachowanie"})
        QVERIFY2(QFileInfo(m_env->programFile(QString::fromLatin1(dir))).isDir(), dir);
    for (const char *file : {"ustawienia.sqset", "bruma_kalibracja.sqset",
                             "ocena_opisowa/kategorie_edukacyjne/czytanie",
                             "ocena_opisowa/szablony_zachowanie/zachowanie wzorowe"})
        QCOMPARE(readFile(m_env->programFile(QString::fromUtf8(file))),
                 readFile(install(QString::fromUtf8(file))));
}

// The shipped catalogue brings the shipped calibration to a new
// installation only: an upgrade, whether its catalogue can be written or
// not, leaves the calibration a teacher has made.
void TestFileCheck::upgradeKeepsTheTeachersCalibration() {
    vFunSetExeDirPathForTests(QString());
    copyShippedData(m_install->path());
    vFunSetExeDirPathForTests(m_install->path());
    const QString own = m_env->programFile(QStringLiteral("bruma_kalibracja.sqset"));
    writeFile(own, "kalibracja nauczycielki");
    QString msg;
    QVERIFY2(bFunCheckFilesDir(msg), qPrintable(msg));
    QCOMPARE(readFile(own), QByteArray("kalibracja nauczycielki"));
    ::chmod(QFile::encodeName(catalogue()).constData(), 0444);
    writeFile(install(QStringLiteral("bruma_kalibracja.sqset")), "nowa wersja");
    QVERIFY2(bFunCheckFilesDir(msg), qPrintable(msg));
    QCOMPARE(readFile(own), QByteArray("kalibracja nauczycielki"));
}

QTEST_GUILESS_MAIN(TestFileCheck)
#include "tst_filecheck.moc"
