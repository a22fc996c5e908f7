#include "storage/cppsqlite3.h"
#include "storage/settings.h"
#include "support/testenv.h"

#include <QtTest>

// Text options beside the integer ones in the settings file.
class TestTextSettings : public QObject {
    Q_OBJECT
private slots:
    void missingFile();
    void writeInsertsThenUpdates_data();
    void writeInsertsThenUpdates();
    void fileWithoutSettingsTable();
};

void TestTextSettings::missingFile() {
    TestEnv env;
    const QString path = env.programFile(QStringLiteral("ustawienia.sqset"));
    QString msg, value = QStringLiteral("bez zmian");
    QVERIFY(!bFunSqlGetSettingsText(msg, QStringLiteral("last_margin_set"), value));
    QCOMPARE(value, QStringLiteral("bez zmian"));
    QCOMPARE(msg, QStringLiteral("Plik nie istnieje:\n") + path);
    QVERIFY(!bFunSqlSettingWriteText(msg, QStringLiteral("last_margin_set"), QStringLiteral("x")));
    QVERIFY(!QFileInfo::exists(path)); // never created
    const auto log = logRows(env.programDir());
    QCOMPARE(log.size(), 2);
    QCOMPARE(log[0].fun, QStringLiteral("bFunSqlGetSettingsText()"));
    QCOMPARE(log[1].fun, QStringLiteral("bFunSqlSettingWriteText()"));
}

void TestTextSettings::writeInsertsThenUpdates_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << "Standardowe";
    QTest::newRow("Polish letters") << QString::fromUtf8("Drukarka w pokoju nauczycielskim żółta");
    QTest::newRow("quotes") << "Sala 'B'; drop table `settings`; --";
    QTest::newRow("empty") << "";
}

void TestTextSettings::writeInsertsThenUpdates() {
    QFETCH(QString, value);
    TestEnv env;
    env.installShipped(QStringLiteral("ustawienia.sqset"));
    const QString path = env.programFile(QStringLiteral("ustawienia.sqset"));
    QString msg, read = QStringLiteral("?");
    QVERIFY(bFunSqlGetSettingsText(msg, QStringLiteral("last_margin_set"), read));
    QCOMPARE(read, QString()); // no row yet
    QVERIFY2(bFunSqlSettingWriteText(msg, QStringLiteral("last_margin_set"), QStringLiteral("a")),
             qPrintable(msg));
    QVERIFY(bFunSqlSettingWriteText(msg, QStringLiteral("last_margin_set"), value));
    QVERIFY(bFunSqlGetSettingsText(msg, QStringLiteral("last_margin_set"), read));
    QCOMPARE(read, value);
    QCOMPARE(rawColumn(path, "select count(*) from settings where name='last_margin_set'"),
             QByteArrayList{"1"});
    // The integer options beside it are untouched.
    QCOMPARE(rawColumn(path, "select count(*) from settings"), QByteArrayList{"7"});
    QCOMPARE(rawColumn(path, "select int_value from settings where name='import_alert'"),
             QByteArrayList{"1"});
}

void TestTextSettings::fileWithoutSettingsTable() {
    TestEnv env;
    QDir().mkpath(env.programDir());
    CppSQLite3DB db;
    db.Open(env.programFile(QStringLiteral("ustawienia.sqset")));
    db.Execute(QStringLiteral("create table `margin`( name TEXT );"));
    db.Close();
    QString msg, value;
    QVERIFY(!bFunSqlSettingWriteText(msg, QStringLiteral("k"), QStringLiteral("v")));
    QCOMPARE(msg, QStringLiteral("SqlException:\n\nSQLITE_ERROR"));
    QVERIFY(!bFunSqlGetSettingsText(msg, QStringLiteral("k"), value));
    QCOMPARE(logRows(env.programDir()).size(), 2);
}

QTEST_GUILESS_MAIN(TestTextSettings)
#include "tst_settingstext.moc"
