#include "storage/cppsqlite3.h"
#include "storage/settings.h"
#include "support/testenv.h"

#include <QtTest>

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void missingFile();
    void writeInsertsThenUpdates();
    void readDefaultsToZero_data();
    void readDefaultsToZero();
    void fileWithoutSettingsTable();
    void shippedFileHoldsTheSixKeys_data();
    void shippedFileHoldsTheSixKeys();

private:
    static void makeSettings(const TestEnv &env, const QString &sql);
};

void TestSettings::makeSettings(const TestEnv &env, const QString &sql) {
    QDir().mkpath(env.programDir());
    CppSQLite3DB db;
    db.Open(env.programFile(QStringLiteral("ustawienia.sqset")));
    db.Execute(sql);
}

void TestSettings::missingFile() {
    TestEnv env;
    const QString path = env.programFile(QStringLiteral("ustawienia.sqset"));
    QString msg;
    int value = 7;
    QVERIFY(!bFunSqlGetSettingsValue(msg, QStringLiteral("word_wrap"), value));
    QCOMPARE(value, 7);
    QCOMPARE(msg, QStringLiteral("Plik nie istnieje:\n") + path);
    QVERIFY(!bFunSqlSettingWriteValue(msg, QStringLiteral("word_wrap"), 1));
    QCOMPARE(msg, QStringLiteral("Plik nie istnieje.\n\n") + path);
    QVERIFY(!QFileInfo::exists(path)); // never created by the store
    const auto log = logRows(env.programDir());
    QCOMPARE(log.size(), 2);
    QCOMPARE(log[0].fun, QStringLiteral("bFunSqlGetSettingsValue()"));
    QCOMPARE(log[0].info, QStringLiteral("Plik nie istnieje:\n") + path);
    QCOMPARE(log[1].fun, QStringLiteral("bFunSqlSettingWriteValue()"));
}

void TestSettings::writeInsertsThenUpdates() {
    TestEnv env;
    makeSettings(
        env,
        QStringLiteral("create table `settings`( name TEXT, text_value TEXT, int_value INTEGER );"
                       "insert into `settings`( name, int_value ) values( 'word_wrap', 1 );"));
    const QString path = env.programFile(QStringLiteral("ustawienia.sqset"));
    QString msg;
    int value = -1;
    QVERIFY(bFunSqlSettingWriteValue(msg, QStringLiteral("new_key"), 1));
    QVERIFY(bFunSqlGetSettingsValue(msg, QStringLiteral("new_key"), value));
    QCOMPARE(value, 1);
    QVERIFY(bFunSqlSettingWriteValue(msg, QStringLiteral("new_key"), 0));
    QVERIFY(bFunSqlGetSettingsValue(msg, QStringLiteral("new_key"), value));
    QCOMPARE(value, 0);
    // Same value again: still one row, no insert.
    QVERIFY(bFunSqlSettingWriteValue(msg, QStringLiteral("word_wrap"), 1));
    QCOMPARE(rawColumn(path, "select count(*) from settings where name='new_key'"),
             QByteArrayList{"1"});
    QCOMPARE(rawColumn(path, "select count(*) from settings where name='word_wrap'"),
             QByteArrayList{"1"});
    QCOMPARE(rawColumn(path, "select text_value is null from settings where name='new_key'"),
             QByteArrayList{"1"});
    QVERIFY(logRows(env.programDir()).isEmpty());
}

void TestSettings::readDefaultsToZero_data() {
    QTest::addColumn<QString>("rows");
    QTest::addColumn<int>("expected");
    QTest::newRow("no row") << QString() << 0;
    QTest::newRow("NULL value") << "insert into `settings`( name ) values( 'k' );" << 0;
    QTest::newRow("quoted literal")
        << "insert into `settings`( name, int_value ) values( 'k', '1' );" << 1;
    QTest::newRow("first row wins") << "insert into `settings`( name, int_value ) values( 'k', 1 );"
                                       "insert into `settings`( name, int_value ) values( 'k', 0 );"
                                    << 1;
}

void TestSettings::readDefaultsToZero() {
    QFETCH(QString, rows);
    QFETCH(int, expected);
    TestEnv env;
    makeSettings(env,
                 QStringLiteral(
                     "create table `settings`( name TEXT, text_value TEXT, int_value INTEGER );") +
                     rows);
    QString msg;
    int value = 55;
    QVERIFY(bFunSqlGetSettingsValue(msg, QStringLiteral("k"), value));
    QCOMPARE(value, expected);
}

void TestSettings::fileWithoutSettingsTable() {
    TestEnv env;
    makeSettings(env, QStringLiteral("create table `margin`( name TEXT );"));
    QString msg;
    QVERIFY(!bFunSqlSettingWriteValue(msg, QStringLiteral("word_wrap"), 1));
    QCOMPARE(msg, QStringLiteral("SQLite exception: SQLITE_ERROR"));
    QVERIFY(logRows(env.programDir()).isEmpty()); // the write path does not log
    int value = 3;
    QVERIFY(!bFunSqlGetSettingsValue(msg, QStringLiteral("word_wrap"), value));
    QCOMPARE(msg, QStringLiteral("SqlException:\n\nSQLITE_ERROR"));
    QCOMPARE(value, 3);
    const auto log = logRows(env.programDir());
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0].fun, QStringLiteral("bFunSqlGetSettingsValue()"));
}

void TestSettings::shippedFileHoldsTheSixKeys_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("value");
    QTest::newRow("import_alert") << "import_alert" << 1;
    QTest::newRow("create_school_data_template") << "create_school_data_template" << 1;
    QTest::newRow("strike_empty_fields") << "strike_empty_fields" << 1;
    QTest::newRow("print_without_dots") << "print_without_dots" << 0;
    QTest::newRow("word_wrap") << "word_wrap" << 0;
    QTest::newRow("auto_word_wrap") << "auto_word_wrap" << 0;
}

void TestSettings::shippedFileHoldsTheSixKeys() {
    QFETCH(QString, key);
    QFETCH(int, value);
    TestEnv env;
    env.installShipped(QStringLiteral("ustawienia.sqset"));
    QString msg;
    int read = -1;
    QVERIFY2(bFunSqlGetSettingsValue(msg, key, read), qPrintable(msg));
    QCOMPARE(read, value);
    QVERIFY(bFunSqlSettingWriteValue(msg, key, 1 - value));
    QVERIFY(bFunSqlGetSettingsValue(msg, key, read));
    QCOMPARE(read, 1 - value);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
