#include "storage/cppsqlite3.h"
#include "support/testenv.h"

#include <QElapsedTimer>
#include <QtTest>
#include <sqlite3.h>

class TestCppSQLite3 : public QObject {
    Q_OBJECT
private slots:
    void init();
    void codeNames_data();
    void codeNames();
    void textsRoundTripAsCp1250();
    void rowsComeBackInInsertionOrder();
    void emptyResultStandsAtEnd();
    void nullValuesAndTheFinishedState();
    void layerErrors_data();
    void layerErrors();
    void openInMissingFolderIsCantOpen();
    void executeRunsEveryStatementAndCountsChanges();
    void sqlErrorCarriesSqliteCode();
    void hasTable_data();
    void hasTable();
    void assignmentMovesTheStatement();
    void exceptionCopyDuplicatesMessage();
    void busyTimeoutWaitsThenFails();
    void untrustedFileIsBounded_data();
    void untrustedFileIsBounded();

private:
    QString dbPath() const { return m_dir.filePath(QStringLiteral("t.sqlite")); }
    QTemporaryDir m_dir;
};

void TestCppSQLite3::init() {
    QFile::remove(dbPath());
}

void TestCppSQLite3::codeNames_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("name");
    QTest::newRow("0") << 0 << "SQLITE_OK";
    QTest::newRow("1") << 1 << "SQLITE_ERROR";
    QTest::newRow("14") << 14 << "SQLITE_CANTOPEN";
    QTest::newRow("25") << 25 << "SQLITE_RANGE";
    QTest::newRow("26") << 26 << "UNKNOWN_ERROR";
    QTest::newRow("extended") << (SQLITE_IOERR | (1 << 8)) << "UNKNOWN_ERROR";
    QTest::newRow("100") << 100 << "SQLITE_ROW";
    QTest::newRow("101") << 101 << "SQLITE_DONE";
    QTest::newRow("1000") << 1000 << "CPPSQLITE_ERROR";
    QTest::newRow("-1") << -1 << "UNKNOWN_ERROR";
}

void TestCppSQLite3::codeNames() {
    QFETCH(int, code);
    QFETCH(QString, name);
    QCOMPARE(QString::fromLatin1(CodeName(code)), name);
}

void TestCppSQLite3::textsRoundTripAsCp1250() {
    const QString value = QStringLiteral("Zażółć gęślą jaźń, it's \"ok\"");
    {
        CppSQLite3DB db;
        db.Open(dbPath());
        db.Execute(QStringLiteral("create table `t`( v TEXT )"));
        db.Execute(QStringLiteral("insert into `t` values( 'Zażółć gęślą jaźń, it''s \"ok\"' )"));
        CppSQLite3Query q = db.Query(QStringLiteral("select v from `t` where v like 'Zażółć%'"));
        QVERIFY(!q.AtEnd());
        QCOMPARE(q.ColumnText(QStringLiteral("v")), value);
    }
    // On disk the letters are single code page 1250 bytes.
    const QByteArrayList raw = rawColumn(dbPath(), "select v from t");
    QCOMPARE(raw.size(), 1);
    QVERIFY(raw[0].startsWith("Za\xBF\xF3\xB3\xE6 g\xEA\x9C\x6C\xB9 ja\x9F\xF1"));
}

void TestCppSQLite3::rowsComeBackInInsertionOrder() {
    CppSQLite3DB db;
    db.Open(dbPath());
    db.Execute(QStringLiteral("create table `t`( v TEXT )"));
    const QStringList values = {QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("b"),
                                QString(), QStringLiteral("a")};
    for (const QString &v : values)
        db.Execute(QStringLiteral("insert into `t` values( '%1' )").arg(v));
    QStringList read;
    CppSQLite3Query q = db.Query(QStringLiteral("select * from `t`"));
    while (!q.AtEnd()) {
        read << q.TextOr(0, QStringLiteral("?"));
        q.Next();
    }
    QCOMPARE(read, QStringList({"c", "a", "b", "", "a"}));
}

void TestCppSQLite3::emptyResultStandsAtEnd() {
    CppSQLite3DB db;
    db.Open(dbPath());
    db.Execute(QStringLiteral("create table `t`( v TEXT, n INTEGER )"));
    CppSQLite3Query q = db.Query(QStringLiteral("select * from `t` where n = 3"));
    QVERIFY(q.AtEnd());
    QCOMPARE(q.ColumnCount(), 2);
    QCOMPARE(q.IntOr(QStringLiteral("n"), -7), -7);
    QVERIFY(q.ColumnText(QStringLiteral("v")).isNull());
    QCOMPARE(q.TextOr(QStringLiteral("v"), QStringLiteral("brak")), QStringLiteral("brak"));
}

void TestCppSQLite3::nullValuesAndTheFinishedState() {
    CppSQLite3DB db;
    db.Open(dbPath());
    db.Execute(QStringLiteral(
        "create table `t`( v TEXT, n INTEGER ); insert into `t` values( NULL, NULL );"
        "insert into `t` values( '', '5' ); insert into `t` values( x'', 7 );"));
    CppSQLite3Query q = db.Query(QStringLiteral("select * from `t`"));
    QVERIFY(q.ColumnText(QStringLiteral("v")).isNull());
    QCOMPARE(q.TextOr(0, QStringLiteral("brak")), QStringLiteral("brak"));
    QCOMPARE(q.IntOr(QStringLiteral("n"), 9), 9);
    q.Next();
    QVERIFY(!q.ColumnText(QStringLiteral("v")).isNull());
    QVERIFY(q.ColumnText(QStringLiteral("v")).isEmpty());
    QCOMPARE(q.TextOr(0, QStringLiteral("brak")), QString());
    QCOMPARE(q.IntOr(1, 9), 5);
    q.Next();
    // An empty blob is an empty text, not a NULL; a number reads as its digits.
    QCOMPARE(q.TextOr(0, QStringLiteral("brak")), QString());
    QCOMPARE(q.TextOr(1, QStringLiteral("brak")), QStringLiteral("7"));
    q.Next();
    QVERIFY(q.AtEnd());
    // Past the last row every read gives the value for NULL.
    QVERIFY(q.ColumnText(0).isNull());
    QCOMPARE(q.IntOr(1, 4), 4);
}

void TestCppSQLite3::layerErrors_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("message");
    QTest::newRow("execute closed") << 0 << "CPPSQLITE_ERROR[1000]: Database not open";
    QTest::newRow("query closed") << 1 << "CPPSQLITE_ERROR[1000]: Database not open";
    QTest::newRow("unknown column") << 2 << "CPPSQLITE_ERROR[1000]: Invalid field name requested";
    QTest::newRow("null column name") << 3 << "CPPSQLITE_ERROR[1000]: Invalid field name requested";
    QTest::newRow("index too big") << 4 << "CPPSQLITE_ERROR[1000]: Invalid field index requested";
    QTest::newRow("negative index") << 5 << "CPPSQLITE_ERROR[1000]: Invalid field index requested";
    QTest::newRow("empty scalar") << 6 << "CPPSQLITE_ERROR[1000]: Invalid scalar query";
    QTest::newRow("default cursor") << 7 << "CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer";
    QTest::newRow("column name is case-sensitive")
        << 8 << "CPPSQLITE_ERROR[1000]: Invalid field name requested";
}

void TestCppSQLite3::layerErrors() {
    QFETCH(int, which);
    QFETCH(QString, message);
    CppSQLite3DB db;
    if (which >= 2) {
        db.Open(dbPath());
        db.Execute(QStringLiteral("create table `t`( v TEXT ); insert into `t` values( 'x' );"));
    }
    try {
        switch (which) {
        case 0:
            db.Execute(QStringLiteral("select 1"));
            break;
        case 1:
            db.Query(QStringLiteral("select 1"));
            break;
        case 2:
            db.Query(QStringLiteral("select * from `t`")).ColumnIndex(QStringLiteral("w"));
            break;
        case 3:
            db.Query(QStringLiteral("select * from `t`")).ColumnIndex(QString());
            break;
        case 4:
            db.Query(QStringLiteral("select * from `t`")).ColumnType(1);
            break;
        case 5:
            db.Query(QStringLiteral("select * from `t`")).IntOr(-1, 0);
            break;
        case 6:
            db.QueryInt(QStringLiteral("select * from `t` where 0"));
            break;
        case 7:
            CppSQLite3Query().AtEnd();
            break;
        case 8:
            db.Query(QStringLiteral("select * from `t`")).ColumnText(QStringLiteral("V"));
            break;
        }
        QFAIL("no exception");
    } catch (const CppSQLite3Exception &e) {
        QCOMPARE(e.ErrorCode(), CPPSQLITE_ERROR);
        QCOMPARE(QString::fromLatin1(e.ErrorMessage()), message);
    }
}

void TestCppSQLite3::openInMissingFolderIsCantOpen() {
    CppSQLite3DB db;
    try {
        db.Open(m_dir.filePath(QStringLiteral("nie/ma/takiego/folderu.sqlite")));
        QFAIL("no exception");
    } catch (const CppSQLite3Exception &e) {
        QCOMPARE(QString::fromLatin1(CodeName(e.ErrorCode())), QStringLiteral("SQLITE_CANTOPEN"));
    }
    QVERIFY(!db.IsOpen());
}

void TestCppSQLite3::executeRunsEveryStatementAndCountsChanges() {
    CppSQLite3DB db;
    db.Open(dbPath());
    QCOMPARE(db.Execute(QStringLiteral("create table `t`( v TEXT ); insert into `t` values( 'a' );"
                                       "insert into `t` values( 'b' );")),
             1);
    QCOMPARE(db.Execute(QStringLiteral("update `t` set v='c'")), 2);
    QCOMPARE(db.Execute(QStringLiteral("update `t` set v='d' where v='nothing'")), 0);
    QCOMPARE(db.QueryInt(QStringLiteral("select count(*) from `t`")), 2);
    // Only the first statement of a query text runs.
    CppSQLite3Query q = db.Query(QStringLiteral("select v from `t`; drop table `t`;"));
    q.Release();
    QVERIFY(db.HasTable(QStringLiteral("t")));
}

void TestCppSQLite3::sqlErrorCarriesSqliteCode() {
    CppSQLite3DB db;
    db.Open(dbPath());
    try {
        db.Execute(QStringLiteral("select * from `missing`"));
        QFAIL("no exception");
    } catch (const CppSQLite3Exception &e) {
        QCOMPARE(e.ErrorCode(), SQLITE_ERROR);
        QCOMPARE(QString::fromLatin1(e.ErrorMessage()),
                 QStringLiteral("SQLITE_ERROR[1]: no such table: missing"));
    }
    try {
        db.Query(QStringLiteral("selct 1"));
        QFAIL("no exception");
    } catch (const CppSQLite3Exception &e) {
        QCOMPARE(e.ErrorCode(), SQLITE_ERROR);
    }
}

void TestCppSQLite3::hasTable_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");
    QTest::newRow("table") << "PESEL01234567890" << true;
    QTest::newRow("other case") << "pesel01234567890" << false;
    QTest::newRow("index only") << "idx_pesel" << false;
    QTest::newRow("view") << "v_pesel" << false;
    QTest::newRow("quote in name") << "PES'EL" << true;
    QTest::newRow("quote cannot widen the test") << "x' or '1'='1" << false;
}

void TestCppSQLite3::hasTable() {
    QFETCH(QString, name);
    QFETCH(bool, exists);
    CppSQLite3DB db;
    db.Open(dbPath());
    db.Execute(QStringLiteral("create table `PESEL01234567890`( id TEXT );"
                              "create index `idx_pesel` on `PESEL01234567890`( id );"
                              "create view `v_pesel` as select * from `PESEL01234567890`;"
                              "create table `PES'EL`( id TEXT );"));
    QCOMPARE(db.HasTable(name), exists);
}

void TestCppSQLite3::assignmentMovesTheStatement() {
    CppSQLite3DB db;
    db.Open(dbPath());
    db.Execute(QStringLiteral("create table `t`( v TEXT ); insert into `t` values( 'a' ); insert "
                              "into `t` values( 'b' );"));
    CppSQLite3Query source = db.Query(QStringLiteral("select * from `t`"));
    CppSQLite3Query target = db.Query(QStringLiteral("select 1"));
    target = std::move(source);
    QCOMPARE(target.ColumnText(0), QStringLiteral("a"));
    target.Next();
    QCOMPARE(target.ColumnText(0), QStringLiteral("b"));
    try {
        source.AtEnd();
        QFAIL("no exception");
    } catch (const CppSQLite3Exception &e) {
        QCOMPARE(QString::fromLatin1(e.ErrorMessage()),
                 QStringLiteral("CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer"));
    }
    target.Release();
    target.Release(); // a second release does nothing
    db.Close();
    db.Close(); // closing a closed connection does nothing
}

void TestCppSQLite3::exceptionCopyDuplicatesMessage() {
    auto *original = new CppSQLite3Exception(SQLITE_BUSY, "zajęte");
    const CppSQLite3Exception copy(*original);
    delete original;
    QCOMPARE(copy.ErrorCode(), SQLITE_BUSY);
    QCOMPARE(QString::fromUtf8(copy.ErrorMessage()), QStringLiteral("SQLITE_BUSY[5]: zajęte"));
}

void TestCppSQLite3::busyTimeoutWaitsThenFails() {
    CppSQLite3DB holder;
    holder.Open(dbPath());
    holder.Execute(QStringLiteral("create table `t`( v TEXT ); begin exclusive;"));
    CppSQLite3DB waiter;
    waiter.SetBusyTimeout(300);
    waiter.Open(dbPath());
    QElapsedTimer timer;
    timer.start();
    try {
        waiter.Execute(QStringLiteral("insert into `t` values( 'x' )"));
        QFAIL("no exception");
    } catch (const CppSQLite3Exception &e) {
        QCOMPARE(QString::fromLatin1(CodeName(e.ErrorCode())), QStringLiteral("SQLITE_BUSY"));
    }
    QVERIFY(timer.elapsed() >= 250);
    holder.Execute(QStringLiteral("commit;"));
}

void TestCppSQLite3::untrustedFileIsBounded_data() {
    QTest::addColumn<QString>("setup"); // run on a trusted connection first
    QTest::addColumn<QString>("query"); // then on an untrusted one
    QTest::addColumn<int>("code");      // what stops it there; 0: it runs
    QTest::addColumn<QString>("check"); // afterwards, trusted: must give 0
    const QString table = QStringLiteral("create table t( v TEXT ); insert into t values( 'a' );");
    QTest::newRow("endless recursive query")
        << table
        << "with recursive c(x) as (select 1 union all select x + 1 from c) select count(*) from c"
        << SQLITE_INTERRUPT << "select 0";
    QTest::newRow("endless query in a view")
        << table + "create view v as with recursive c(x) as (select 1 union all select x + 1 "
                   "from c) select x from c;"
        << "select count(*) from v" << SQLITE_ERROR << "select 0";
    QTest::newRow("trigger on insert")
        << table + "create trigger g after insert on t begin delete from t; end;"
        << "insert into t values( 'b' )" << 0 << "select count(*) != 2 from t";
    QTest::newRow("value over the length limit")
        << table + "update t set v = printf('%.*c', 5000000, 'x');"
        << "select v from t" << SQLITE_TOOBIG << "select 0";
    QTest::newRow("value under the limit")
        << table + "update t set v = printf('%.*c', 100000, 'x');"
        << "select v from t" << 0 << "select 0";
    QTest::newRow("statement over the SQL limit")
        << table << "select '" + QString(2 * 1024 * 1024, QLatin1Char('x')) + "'" << SQLITE_TOOBIG
        << "select 0";
}

void TestCppSQLite3::untrustedFileIsBounded() {
    QFETCH(QString, setup);
    QFETCH(QString, query);
    QFETCH(int, code);
    QFETCH(QString, check);
    {
        CppSQLite3DB db;
        db.Open(dbPath());
        db.Execute(setup);
    }
    QElapsedTimer timer;
    timer.start();
    int caught = 0;
    try {
        CppSQLite3DB db;
        db.OpenUntrusted(dbPath());
        CppSQLite3Query q = db.Query(query);
        while (!q.AtEnd())
            q.Next();
    } catch (const CppSQLite3Exception &e) {
        caught = e.ErrorCode() & 0xff;
    }
    QCOMPARE(caught, code);
    QVERIFY2(timer.elapsed() < 3 * kUntrustedStatementMs,
             qPrintable(QString::number(timer.elapsed())));
    CppSQLite3DB db;
    db.Open(dbPath());
    QCOMPARE(db.QueryInt(check), 0);
}

QTEST_GUILESS_MAIN(TestCppSQLite3)
#include "tst_cppsqlite3.moc"
