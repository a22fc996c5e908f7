#include "printing/calibstore.h"
#include "storage/cppsqlite3.h"
#include "storage/paths.h"
#include "support/testenv.h"

#include <QtTest>

class TestCalibStore : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_env.reset(); }
    void loadKeepsTableOrderAndNullDefaults();
    void missingFileOrTableKeepsTheList();
    void updateRewritesEveryRowOfTheName();
    void aChangedFileIsReadAgain();
    void layoutListCreatesAnEmptyFile();
    void marginSets();
    void restoreReplacesTheWorkingSets();
    void calibrationRestoreCopiesTheOriginal();
    void calibrationRestoreWithoutOriginalKeepsTheFile();

private:
    QString calib() const { return m_env->programFile("bruma_kalibracja.sqset"); }
    QString settings() const { return m_env->programFile("ustawienia.sqset"); }
    std::unique_ptr<TestEnv> m_env;
};

void TestCalibStore::init() {
    m_env = std::make_unique<TestEnv>();
    m_env->installShipped("ustawienia.sqset");
    CppSQLite3DB db;
    db.Open(calib());
    db.Execute("create table `klasa_1_3`( name TEXT, x1 INTEGER, y1 INTEGER, x2 INTEGER, y2 "
               "INTEGER, font_name TEXT,"
               " font_size INTEGER, font_align INTEGER, font_style_bold INTEGER, font_style_italic "
               "INTEGER,"
               " font_style_underline INTEGER, font_style_strike INTEGER );"
               "create table `pusta` as select * from `klasa_1_3` where 0;"
               "insert into `klasa_1_3` values( 'Z', 1, 2, 3, 4, 'Arial', 10, 0, 1, 0, 0, 0 );"
               "insert into `klasa_1_3` values( 'A', NULL, 5, 6, 7, NULL, 12, 3, 0, 1, 1, 1 );"
               "insert into `klasa_1_3` values( 'Z', 9, 9, 9, 9, 'Arial', 10, 0, 0, 0, 0, 0 );");
}

void TestCalibStore::loadKeepsTableOrderAndNullDefaults() {
    QString msg;
    CalibList list;
    QVERIFY(bFunCalibLoadData(msg, calib(), "klasa_1_3", list));
    QCOMPARE(list.size(), 3);
    QCOMPARE(list[0].name, QStringLiteral("Z"));
    QCOMPARE(list[1].name, QStringLiteral("A"));
    QCOMPARE(list[1].x1, 0);
    QCOMPARE(list[1].font_name, QString());
    QCOMPARE(list[1].font_style_strike, 1);
    QCOMPARE(list[0].font_style_bold, 1);
    QVERIFY(bFunCalibLoadData(msg, calib(), "pusta", list));
    QVERIFY(list.isEmpty());
}

void TestCalibStore::missingFileOrTableKeepsTheList() {
    QString msg;
    CalibList list;
    QVERIFY(bFunCalibLoadData(msg, calib(), "klasa_1_3", list));
    QVERIFY(!bFunCalibLoadData(msg, calib(), "brak", list));
    QCOMPARE(msg, QStringLiteral("Tablica nie istnieje: \nbrak"));
    QCOMPARE(list.size(), 3);
    QVERIFY(!bFunCalibLoadData(msg, m_env->programFile("x.sqset"), "klasa_1_3", list));
    QCOMPARE(msg, "Plik nie istnieje: \n" + m_env->programFile("x.sqset"));
    QCOMPARE(list.size(), 3);
    QCOMPARE(logRows(m_env->programDir()).last().fun, QStringLiteral("bFunCalibLoadData()"));
}

void TestCalibStore::updateRewritesEveryRowOfTheName() {
    QString msg;
    structCalibData row;
    row.name = "Z";
    row.x1 = -5;
    row.y2 = 700;
    row.font_name = "O'Neil Sans"; // a quote no longer breaks the statement
    row.font_size = 14;
    QVERIFY2(bFunSqlCalibUpdateValue(msg, calib(), "klasa_1_3", row), qPrintable(msg));
    QCOMPARE(rawColumn(calib(),
                       "select x1 || ',' || y2 || ',' || font_name from klasa_1_3 where name='Z'"),
             QByteArrayList({"-5,700,O'Neil Sans", "-5,700,O'Neil Sans"}));
    row.name = "nie ma";
    QVERIFY(!bFunSqlCalibUpdateValue(msg, calib(), "klasa_1_3", row));
    QVERIFY(msg.startsWith(QString::fromUtf8(
        "Błąd aktualizacji wpisu kalibracji.\n\nupdate `klasa_1_3` set `x1`='-5'")));
    QVERIFY(msg.endsWith("where `name`='nie ma'"));
}

// Rows are kept between reads; a change of the file, by the program or by
// anyone else, is read at the next load.
void TestCalibStore::aChangedFileIsReadAgain() {
    const CalibrationStore store{DataFilePath(calib())};
    QString msg;
    CalibList rows;
    QVERIFY(store.load(msg, "klasa_1_3", rows));
    QCOMPARE(rows[0].x1, 1);

    structCalibData moved = rows[0];
    moved.x1 = 9; // the same number of bytes
    QVERIFY(store.update(msg, "klasa_1_3", moved));
    QVERIFY(store.load(msg, "klasa_1_3", rows));
    QCOMPARE(rows[0].x1, 9);

    {
        CppSQLite3DB db;
        db.Open(calib());
        db.Execute("update `klasa_1_3` set x1 = 8 where name = 'Z'");
        db.Close();
    }
    QVERIFY(store.load(msg, "klasa_1_3", rows));
    QCOMPARE(rows[0].x1, 8);
    // The other layout of the file is its own.
    QVERIFY(store.load(msg, "pusta", rows));
    QVERIFY(rows.isEmpty());
}

void TestCalibStore::layoutListCreatesAnEmptyFile() {
    QString msg;
    QStringList tables;
    QVERIFY(bFunCalibLoadCertList(msg, tables));
    QCOMPARE(tables, QStringList({"klasa_1_3", "pusta"}));
    QFile::remove(calib());
    QVERIFY(bFunCalibLoadCertList(msg, tables));
    QVERIFY(tables.isEmpty());
    QVERIFY(QFileInfo::exists(calib()));
    CalibList list;
    QVERIFY(!bFunCalibLoadData(msg, calib(), "klasa_1_3", list));
}

void TestCalibStore::marginSets() {
    QString msg;
    MarginList sets;
    QVERIFY(bFunMarginReadData(msg, settings(), sets));
    QCOMPARE(sets.size(), 1);
    QCOMPARE(sets[0].name, QStringLiteral("Standardowe"));
    QCOMPARE(sets[0].Page2Y2, 297);
    structMarginData mine{"Moja drukarka", -2, 3, 208, 295, 1, 1, 209, 296};
    QVERIFY(bFunMarginWriteNewSettings(msg, settings(), mine));
    QVERIFY(bFunMarginWriteNewSettings(msg, settings(), mine));
    QVERIFY(bFunMarginReadData(msg, settings(), sets));
    QCOMPARE(sets.size(), 3);
    QCOMPARE(sets[1].Page1X1, -2);
    QVERIFY(bFunMarginDeleteSettings(msg, settings(), "Moja drukarka")); // both rows
    QVERIFY(bFunMarginReadData(msg, settings(), sets));
    QCOMPARE(sets.size(), 1);
    QVERIFY(!bFunMarginDeleteSettings(msg, settings(), "Moja drukarka"));
    QCOMPARE(msg, QString::fromUtf8("Błąd podczas próby skasowania ustawień Moja drukarka"));
    QVERIFY(!bFunMarginReadData(msg, m_env->programFile("brak"), sets));
    QCOMPARE(sets.size(), 1);
}

void TestCalibStore::restoreReplacesTheWorkingSets() {
    const QString shipped = m_env->dataHome() + "/shipped.sqset";
    {
        CppSQLite3DB db;
        db.Open(shipped);
        db.Execute(
            "create table `margin`( name TEXT, Page1X1 INTEGER, Page1Y1 INTEGER, Page1X2 INTEGER,"
            " Page1Y2 INTEGER, Page2X1 INTEGER, Page2Y1 INTEGER, Page2X2 INTEGER, Page2Y2 INTEGER "
            ");"
            "insert into `margin` values( 'a', 1, 2, 3, 4, 5, 6, 7, 8 );"
            "insert into `margin` values( 'b', 0, 0, 210, 297, 0, 0, 210, 297 );"
            "insert into `margin` values( 'c', -1, -1, 211, 298, 0, 0, 0, 0 );");
    }
    QString msg;
    QVERIFY(bFunMarginWriteNewSettings(msg, settings(), {"własny", 9, 9, 9, 9, 9, 9, 9, 9}));
    QVERIFY(bFunMarginRestoreOriginal(msg, shipped, settings()));
    QCOMPARE(
        rawColumn(
            settings(),
            "select name||Page1X1||Page1Y1||Page1X2||Page1Y2||Page2X1||Page2Y1||Page2X2||Page2Y2 "
            "from margin"),
        QByteArrayList({"a12345678", "b0021029700210297", "c-1-12112980000"}));
    QCOMPARE(rawColumn(settings(), "select count(*) from settings"), QByteArrayList{"6"});
    QVERIFY(!bFunMarginRestoreOriginal(msg, m_env->dataHome() + "/brak", settings()));
    QCOMPARE(msg, "Plik nie istnieje.\n" + m_env->dataHome() + "/brak");
}

void TestCalibStore::calibrationRestoreCopiesTheOriginal() {
    QTemporaryDir install;
    const QByteArray original = readFile(calib());
    writeFile(install.filePath("bruma_kalibracja.sqset"), original);
    QString msg;
    QVERIFY(bFunSqlCalibUpdateValue(msg, calib(), "klasa_1_3", {"Z", 7, 7, 7, 7, "Courier"}));
    QVERIFY(readFile(calib()) != original);
    vFunSetExeDirPathForTests(install.path());
    const CalibrationStore store = CalibrationStore::inProgramFolder();
    vFunSetExeDirPathForTests(QString());
    QCOMPARE(store.path(), calib());
    QVERIFY2(store.restoreOriginal(msg), qPrintable(msg));
    QCOMPARE(readFile(calib()), original);
    CalibList list;
    QVERIFY(store.load(msg, "klasa_1_3", list));
    QCOMPARE(list[0].font_name, QStringLiteral("Arial"));
    QVERIFY(logRows(m_env->programDir()).isEmpty());
}

void TestCalibStore::calibrationRestoreWithoutOriginalKeepsTheFile() {
    QTemporaryDir install; // no original in it
    const QByteArray working = readFile(calib());
    vFunSetExeDirPathForTests(install.path());
    const CalibrationStore store = CalibrationStore::inProgramFolder();
    vFunSetExeDirPathForTests(QString());
    QString msg;
    QVERIFY(!store.restoreOriginal(msg));
    QCOMPARE(msg, QString::fromUtf8("Błąd podczas próby przywrócenia oryginalnego pliku "
                                    "kalibracji.\nŹródło: ") +
                      install.filePath("bruma_kalibracja.sqset") + QString::fromUtf8("\nCel: ") +
                      calib());
    QCOMPARE(readFile(calib()), working);
    const auto log = logRows(m_env->programDir());
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0].fun, QStringLiteral("PrzywrocUstawieniaButtonClick()"));
    QCOMPARE(log[0].info, msg);
}

QTEST_GUILESS_MAIN(TestCalibStore)
#include "tst_calibstore.moc"
