#include "storage/clock.h"
#include "storage/cppsqlite3.h"
#include "storage/log.h"
#include "support/testenv.h"

#include <QtTest>

class TestLog : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setClockForTests({}); }
    void timeIsUtcWithoutLeadingZeros_data();
    void timeIsUtcWithoutLeadingZeros();
    void firstEntryCreatesTheLog();
    void entriesAppendInOrderBesideOtherTables();
    void textsWithQuotesAreStored();
    void failureToLogIsSilent();
};

void TestLog::timeIsUtcWithoutLeadingZeros_data() {
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("text");
    QTest::newRow("single digits")
        << QDateTime(QDate(2014, 3, 7), QTime(9, 5, 3), Qt::UTC) << "2014.3.7 9:5:3";
    QTest::newRow("two digits") << QDateTime(QDate(2013, 12, 31), QTime(23, 59, 59), Qt::UTC)
                                << "2013.12.31 23:59:59";
    QTest::newRow("one hour ahead of UTC")
        << QDateTime(QDate(2014, 1, 1), QTime(0, 30, 0), Qt::OffsetFromUTC, 3600)
        << "2013.12.31 23:30:0";
    QTest::newRow("midnight") << QDateTime(QDate(2020, 1, 1), QTime(0, 0, 0), Qt::UTC)
                              << "2020.1.1 0:0:0";
}

void TestLog::timeIsUtcWithoutLeadingZeros() {
    QFETCH(QDateTime, moment);
    QFETCH(QString, text);
    QCOMPARE(strFunFormatLogTime(moment), text);
}

void TestLog::firstEntryCreatesTheLog() {
    TestEnv env;
    setClockForTests(
        [] { return QDateTime(QDate(2014, 1, 1), QTime(0, 30, 0), Qt::OffsetFromUTC, 3600); });
    const QString msg = QStringLiteral("Błąd:\ndruga linia\n");
    vFunWriteLog(msg, QStringLiteral("bFunTest()"));
    QCOMPARE(msg, QStringLiteral("Błąd:\ndruga linia\n"));
    const QString path = env.programFile(QStringLiteral("logs.sqdb"));
    QCOMPARE(rawColumn(path, "select sql from sqlite_master"),
             QByteArrayList{"CREATE TABLE `error`( datetime TEXT, fun TEXT, info TEXT )"});
    const auto rows = logRows(env.programDir());
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].datetime, QStringLiteral("2013.12.31 23:30:0"));
    QCOMPARE(rows[0].fun, QStringLiteral("bFunTest()"));
    QCOMPARE(rows[0].info, msg);
    // Stored as code page 1250.
    QCOMPARE(rawColumn(path, "select info from error")[0].left(4), QByteArray("B\xB3\xB9\x64"));
}

void TestLog::entriesAppendInOrderBesideOtherTables() {
    TestEnv env;
    const QString path = env.programFile(QStringLiteral("logs.sqdb"));
    QDir().mkpath(env.programDir());
    {
        // A log file with a table of its own and no `error` yet.
        CppSQLite3DB db;
        db.Open(path);
        db.Execute(
            QStringLiteral("create table `other`( v TEXT ); insert into `other` values( 'x' );"));
    }
    vFunWriteLog(QStringLiteral("pierwszy"), QStringLiteral("a"));
    vFunWriteLog(QStringLiteral("drugi"), QStringLiteral("b"));
    vFunWriteLog(QStringLiteral("pierwszy"), QStringLiteral("a"));
    const auto rows = logRows(env.programDir());
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0].info, QStringLiteral("pierwszy"));
    QCOMPARE(rows[1].info, QStringLiteral("drugi"));
    QCOMPARE(rows[2].fun, QStringLiteral("a"));
    QCOMPARE(rawColumn(path, "select v from other"), QByteArrayList{"x"});
}

void TestLog::textsWithQuotesAreStored() {
    TestEnv env;
    const QString msg = QStringLiteral("Nie można otworzyć 'plik.sqbr5'\n'); drop table error; --");
    vFunWriteLog(msg, QStringLiteral("bFun'Quote'()"));
    const auto rows = logRows(env.programDir());
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].info, msg);
    QCOMPARE(rows[0].fun, QStringLiteral("bFun'Quote'()"));
}

void TestLog::failureToLogIsSilent() {
    TestEnv env;
    // The log's place is taken by a folder: the entry is dropped, nothing thrown.
    QVERIFY(QDir().mkpath(env.programFile(QStringLiteral("logs.sqdb"))));
    const QString msg = QStringLiteral("bez zapisu");
    vFunWriteLog(msg, QStringLiteral("x"));
    QCOMPARE(msg, QStringLiteral("bez zapisu"));
    // A log file that is not a database is left as it was.
    QDir(env.programFile(QStringLiteral("logs.sqdb"))).removeRecursively();
    writeFile(env.programFile(QStringLiteral("logs.sqdb")),
              "to nie jest baza danych, tylko tekst....");
    vFunWriteLog(msg, QStringLiteral("x"));
    QCOMPARE(readFile(env.programFile(QStringLiteral("logs.sqdb"))),
             QByteArray("to nie jest baza danych, tylko tekst...."));
}

QTEST_GUILESS_MAIN(TestLog)
#include "tst_log.moc"
