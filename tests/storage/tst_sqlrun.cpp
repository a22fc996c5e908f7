#include "storage/cppsqlite3.h"
#include "storage/errortext.h"
#include "storage/sqlrun.h"
#include "storage/sqltext.h"
#include "support/testenv.h"

#include <QtTest>

#include <sqlite3.h>

class TestSqlRun : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_env.reset(); }
    void boundValueIsStoredAsTheSplicedOne_data();
    void boundValueIsStoredAsTheSplicedOne();
    void valueWithNulFailsAsTheSplicedOne();
    void shownStatementIsTheSplicedText();
    void exceptionBecomesTheReportsMessage_data();
    void exceptionBecomesTheReportsMessage();
    void refusalOfTheWorkPassesAsItIs();
    void transaction_data();
    void transaction();

private:
    QString file() const { return m_env->programFile(QStringLiteral("proba.sqset")); }
    QByteArrayList rows() const {
        return rawColumn(file(), "select hex(v) || ' ' || typeof(v) || '/' || hex(n) || ' ' || "
                                 "typeof(n) from t order by rowid");
    }
    std::unique_ptr<TestEnv> m_env;
};

void TestSqlRun::init() {
    m_env = std::make_unique<TestEnv>();
    QDir().mkpath(m_env->programDir());
    CppSQLite3DB db;
    db.Open(file());
    db.Execute(QStringLiteral("create table t( v TEXT, n INTEGER )"));
}

void TestSqlRun::boundValueIsStoredAsTheSplicedOne_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("quotes") << QStringLiteral("O'Neil \"Ala\" ''");
    QTest::newRow("polish") << QString::fromUtf8("Źdźbło, łąka; ŻÓŁW ąęśćńóźż");
    QTest::newRow("sql") << QStringLiteral("x'); drop table t; --");
    QTest::newRow("marks") << QStringLiteral("? ?1 :a @b $c `d` %1");
    QTest::newRow("line ends") << QStringLiteral("a\r\nb\tc");
    QTest::newRow("not in cp1250") << QString::fromUtf8("ñ € 日本");
    QTest::newRow("number") << QStringLiteral("-05");
    QTest::newRow("decimal") << QStringLiteral("3.50");
    QTest::newRow("empty") << QString();
}

void TestSqlRun::boundValueIsStoredAsTheSplicedOne() {
    QFETCH(QString, value);
    {
        CppSQLite3DB db;
        db.Open(file());
        // The way values were written before: escaped and spliced in.
        const QString literal = QLatin1Char('\'') + strFunSqlEscape(value) + QLatin1Char('\'');
        db.Execute(QStringLiteral("insert into t( v, n ) values( ") + literal +
                   QStringLiteral(", ") + literal + QStringLiteral(" )"));
        QCOMPARE(db.Execute(QStringLiteral("insert into t( v, n ) values( ?, ? )"), {value, value}),
                 1);
    }
    const QByteArrayList stored = rows();
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored[1], stored[0]);
    // And they read back as the same text, quotes and letters whole.
    CppSQLite3DB db;
    db.Open(file());
    QCOMPARE(db.QueryInt(QStringLiteral("select count(*) from t where v=?"), {value}), 2);
}

void TestSqlRun::valueWithNulFailsAsTheSplicedOne() {
    const QString value = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    CppSQLite3DB db;
    db.Open(file());
    int spliced = 0, bound = 0;
    try {
        db.Execute(QStringLiteral("insert into t( v ) values( '") + strFunSqlEscape(value) +
                   QStringLiteral("' )"));
    } catch (const CppSQLite3Exception &e) {
        spliced = e.ErrorCode();
    }
    try {
        db.Execute(QStringLiteral("insert into t( v ) values( ? )"), {value});
    } catch (const CppSQLite3Exception &e) {
        bound = e.ErrorCode();
    }
    QCOMPARE(spliced, SQLITE_ERROR);
    QCOMPARE(bound, spliced);
    QCOMPARE(rawColumn(file(), "select count(*) from t"), QByteArrayList{"0"});
}

void TestSqlRun::shownStatementIsTheSplicedText() {
    const QStringList values{QStringLiteral("O'Neil"), QString::fromUtf8("łąka"), QString()};
    QCOMPARE(
        strFunSqlShown(QStringLiteral("insert into `a?b``c`( x, 'y?', z ) values( ?, ?, ? )"),
                       values),
        QString::fromUtf8("insert into `a?b``c`( x, 'y?', z ) values( 'O''Neil', 'łąka', '' )"));
}

void TestSqlRun::exceptionBecomesTheReportsMessage_data() {
    QTest::addColumn<QByteArray>("funName");
    QTest::newRow("logged") << QByteArray("zapis()");
    QTest::newRow("not logged") << QByteArray();
}

void TestSqlRun::exceptionBecomesTheReportsMessage() {
    QFETCH(QByteArray, funName);
    QString msg = QStringLiteral("poprzedni");
    int code = 0;
    const SqlReport report{"Sql exception: ", funName.isEmpty() ? nullptr : funName.constData()};
    QVERIFY(!bFunWithDatabase(
        msg, file(), report,
        [](CppSQLite3DB &db) {
            db.Execute(QStringLiteral("insert into brak values( 1 )"));
            return true;
        },
        DbOpen::Trusted, &code));
    QCOMPARE(code, SQLITE_ERROR);
    QCOMPARE(msg, QStringLiteral("Sql exception: ") + strFunSqliteError(SQLITE_ERROR));
    const auto log = logRows(m_env->programDir());
    QCOMPARE(log.size(), funName.isEmpty() ? 0 : 1);
    if (!funName.isEmpty()) {
        QCOMPARE(log[0].fun, QString::fromLatin1(funName));
        QCOMPARE(log[0].info, msg);
    }
    // A file that cannot be opened ends the same way.
    QVERIFY(!bFunWithDatabase(msg, m_env->dataHome() + QStringLiteral("/brak/x.sqset"), report,
                              [](CppSQLite3DB &) { return true; }));
    QVERIFY(msg.startsWith(QStringLiteral("Sql exception: ")));
    QVERIFY(msg.endsWith(QStringLiteral("SQLITE_CANTOPEN")));
}

void TestSqlRun::refusalOfTheWorkPassesAsItIs() {
    QString msg = QStringLiteral("odmowa");
    QVERIFY(!bFunWithDatabase(msg, file(), {"Sql exception: ", "zapis()"},
                              [](CppSQLite3DB &) { return false; }));
    QCOMPARE(msg, QStringLiteral("odmowa"));
    QVERIFY(logRows(m_env->programDir()).isEmpty());
}

void TestSqlRun::transaction_data() {
    QTest::addColumn<int>("ending");
    QTest::addColumn<QString>("message"); // empty: committed
    QTest::addColumn<int>("logged");
    QTest::newRow("success") << 0 << QString() << 0;
    QTest::newRow("refusal") << 1 << QString::fromUtf8("Błąd dodania wpisu") << 1;
    QTest::newRow("refusal reported by a callee") << 2 << QStringLiteral("już zgłoszone") << 0;
    QTest::newRow("exception") << 3
                               << QStringLiteral("SQLite exception: ") +
                                      strFunSqliteError(SQLITE_ERROR)
                               << 1;
}

void TestSqlRun::transaction() {
    QFETCH(int, ending);
    QFETCH(QString, message);
    QFETCH(int, logged);
    const QByteArray before = readFile(file());
    QString msg;
    int code = 0;
    const bool ok =
        bFunWithDatabase(msg, file(), {"SQLite exception: ", "zapis()"}, [&](CppSQLite3DB &db) {
            return bFunInTransaction(
                msg, db, {"SQLite exception: ", "zapis()"},
                [&](QString &refusal) {
                    db.Execute(QStringLiteral("insert into t values( 'a', 1 )"));
                    if (ending == 1)
                        refusal = QString::fromUtf8("Błąd dodania wpisu");
                    if (ending == 2)
                        msg = QStringLiteral("już zgłoszone");
                    if (ending == 3)
                        db.Execute(QStringLiteral("insert into brak "
                                                  "values( 1 )"));
                    return ending == 0;
                },
                &code);
        });
    QCOMPARE(ok, message.isEmpty());
    QCOMPARE(rawColumn(file(), "select count(*) from t"),
             QByteArrayList{message.isEmpty() ? "1" : "0"});
    if (!message.isEmpty()) {
        QCOMPARE(msg, message);
        QCOMPARE(readFile(file()), before);
    }
    QCOMPARE(code, ending == 3 ? SQLITE_ERROR : 0);
    const auto log = logRows(m_env->programDir());
    QCOMPARE(log.size(), logged);
    if (logged) {
        QCOMPARE(log[0].fun, QStringLiteral("zapis()"));
        QCOMPARE(log[0].info, message);
    }
    // No transaction is left open: the file takes the next one.
    QVERIFY(bFunWithDatabase(msg, file(), {"x"}, [&](CppSQLite3DB &db) {
        return bFunInTransaction(msg, db, {"x"}, [](QString &) { return true; });
    }));
}

QTEST_GUILESS_MAIN(TestSqlRun)
#include "tst_sqlrun.moc"
