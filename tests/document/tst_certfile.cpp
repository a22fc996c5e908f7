#include "document/certfile.h"
#include "storage/cppsqlite3.h"
#include "support/testenv.h"

#include <QtTest>

#include <sqlite3.h>

class TestCertFile : public QObject {
    Q_OBJECT
private slots:
    void init();
    void emptyFileIsAClassWithoutPupils();
    void missingFile_data();
    void missingFile();
    void notADatabaseFailsWithMessage();
    void pupilsAreListedWithDisplayNames();
    void onlyPupilTablesArePupils();
    void replaceKeepsRowsOfUnknownDocuments_data();
    void replaceKeepsRowsOfUnknownDocuments();
    void saveAndLoadRoundTrip();
    void severalPupilsReadAsOneByOne();
    void saveRefusesExistingTable();
    void failedWriteRollsBackAndLogsItsOwnName_data();
    void failedWriteRollsBackAndLogsItsOwnName();
    void deleteTable();
    void checkIsStudentExists();
    void anyPeselStaysOneTable_data();
    void anyPeselStaysOneTable();

private:
    QString path() const { return m_env->programFile(QStringLiteral("data_tmp.sqtmp")); }
    void addPupil(const QString &table, const QString &surname, const QString &first);
    std::unique_ptr<TestEnv> m_env;
};

void TestCertFile::init() {
    m_env = std::make_unique<TestEnv>();
    writeFile(path(), QByteArray());
}

void TestCertFile::addPupil(const QString &table, const QString &surname, const QString &first) {
    SqlDataList records;
    if (!surname.isNull())
        records.append(
            {QStringLiteral("DANE UCZNIA"), QStringLiteral("Nazwisko_DATA_EDIT"), surname});
    if (!first.isNull())
        records.append({QStringLiteral("DANE UCZNIA"), QStringLiteral("Imie_DATA_EDIT"), first});
    QString msg;
    QVERIFY2(bFunSaveCertData(msg, path(), table, records), qPrintable(msg));
}

void TestCertFile::emptyFileIsAClassWithoutPupils() {
    QString msg;
    QStringList tables;
    StudentList students;
    QVERIFY(bFunGetTableList(msg, path(), tables));
    QVERIFY(tables.isEmpty());
    QVERIFY(bFunGetStudentsList(msg, path(), students));
    QVERIFY(students.isEmpty());
    QCOMPARE(QFileInfo(path()).size(), 0);
}

void TestCertFile::missingFile_data() {
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("logName");
    QTest::newRow("table list") << 0 << "Plik nie istnieje: \n:"
                                << "bFunGetTableList";
    QTest::newRow("pupil list") << 1 << "Plik nie istnieje: \n:"
                                << "bFunGetTableList";
    QTest::newRow("load") << 2 << "Plik nie istnieje: \n"
                          << "bFunLoadCertData";
    QTest::newRow("delete") << 3 << "Plik nie istnieje: \n"
                            << "bFunDeleteTable";
    QTest::newRow("save") << 4 << "Plik nie istnieje: \n"
                          << "bFunSaveCertData()";
    QTest::newRow("exists") << 5 << "Plik nie istnieje: \n"
                            << "iFunCheckIsStudentExists";
}

void TestCertFile::missingFile() {
    QFETCH(int, op);
    QFETCH(QString, prefix);
    QFETCH(QString, logName);
    QFile::remove(path());
    QString msg;
    QStringList tables;
    StudentList students;
    SqlDataList records;
    bool ok = true;
    switch (op) {
    case 0:
        ok = bFunGetTableList(msg, path(), tables);
        break;
    case 1:
        ok = bFunGetStudentsList(msg, path(), students);
        break;
    case 2:
        ok = bFunLoadCertData(msg, path(), QStringLiteral("PESEL1"), records);
        break;
    case 3:
        ok = bFunDeleteTable(msg, path(), QStringLiteral("PESEL1"));
        break;
    case 4:
        ok = bFunSaveCertData(msg, path(), QStringLiteral("PESEL1"), records);
        break;
    case 5:
        ok = iFunCheckIsStudentExists(msg, path(), QStringLiteral("PESEL1"), false) == 1;
        break;
    }
    QVERIFY(!ok);
    QCOMPARE(msg, prefix + path());
    QVERIFY(!QFileInfo::exists(path()));
    const auto log = logRows(m_env->programDir());
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0].fun, logName);
}

void TestCertFile::notADatabaseFailsWithMessage() {
    writeFile(path(), QByteArray("Ala ma kota, a to nie jest plik SQLite.").repeated(100));
    QString msg;
    StudentList students;
    QVERIFY(!bFunGetStudentsList(msg, path(), students));
    QVERIFY(students.isEmpty());
    QVERIFY(msg.startsWith(QStringLiteral("SQL exception: \n")));
    SqlDataList records;
    QVERIFY(!bFunLoadCertData(msg, path(), QStringLiteral("PESEL1"), records));
    QCOMPARE(iFunCheckIsStudentExists(msg, path(), QStringLiteral("PESEL1"), true), -1);
    QVERIFY(!bFunSaveCertData(msg, path(), QStringLiteral("PESEL1"), records));
    QVERIFY(!bFunDeleteTable(msg, path(), QStringLiteral("PESEL1")));
}

void TestCertFile::pupilsAreListedWithDisplayNames() {
    addPupil(QStringLiteral("PESEL02222222222"), QStringLiteral("Żaba"), QStringLiteral("Łucja"));
    addPupil(QStringLiteral("PESEL01111111111"), QString(), QStringLiteral("Bez Nazwiska"));
    addPupil(QStringLiteral("PESEL03333333333"), QStringLiteral("O'Neil"), QString());
    QString msg;
    StudentList students;
    QVERIFY(bFunGetStudentsList(msg, path(), students));
    QCOMPARE(students.size(), 3);
    QCOMPARE(students[0].name, QStringLiteral("Żaba Łucja"));
    QCOMPARE(students[0].table, QStringLiteral("PESEL02222222222"));
    QCOMPARE(students[1].name, QStringLiteral(" Bez Nazwiska"));
    QCOMPARE(students[2].name, QStringLiteral("O'Neil "));
}

void TestCertFile::onlyPupilTablesArePupils() {
    addPupil(QStringLiteral("PESEL01111111111"), QStringLiteral("Agrest"), QStringLiteral("Anna"));
    {
        CppSQLite3DB db;
        db.Open(path());
        // What database tools and newer versions leave among the pupils.
        db.Execute(QStringLiteral("create index `idx` on `PESEL01111111111`( id );"
                                  "create view `PESEL09999999999` as select * from "
                                  "`PESEL01111111111`;"
                                  "create table `ustawienia_nowej_wersji`( a TEXT );"));
    }
    addPupil(QStringLiteral("PESEL02222222222"), QStringLiteral("Zamek"), QStringLiteral("Zenon"));
    QString msg;
    QStringList tables;
    QVERIFY(bFunGetTableList(msg, path(), tables));
    QCOMPARE(tables,
             QStringList({"PESEL01111111111", "ustawienia_nowej_wersji", "PESEL02222222222"}));
    StudentList students;
    QStringList unreadable{QStringLiteral("stale")};
    QVERIFY(bFunGetStudentsList(msg, path(), students, &unreadable));
    QCOMPARE(students.size(), 2);
    QCOMPARE(students[0].name, QStringLiteral("Agrest Anna"));
    QCOMPARE(students[1].name, QStringLiteral("Zamek Zenon"));
    QCOMPARE(unreadable, QStringList());
    QVERIFY(logRows(m_env->programDir()).isEmpty());
}

void TestCertFile::replaceKeepsRowsOfUnknownDocuments_data() {
    QTest::addColumn<QString>("table"); // the table saved to (a new PESEL moves the pupil)
    QTest::newRow("same PESEL") << "PESEL01111111111";
    QTest::newRow("new PESEL") << "PESEL03333333333";
}

void TestCertFile::replaceKeepsRowsOfUnknownDocuments() {
    QFETCH(QString, table);
    const QString old = QStringLiteral("PESEL01111111111");
    addPupil(old, QStringLiteral("Agrest"), QStringLiteral("Anna"));
    {
        CppSQLite3DB db;
        db.Open(path());
        db.Execute(QStringLiteral("insert into `PESEL01111111111` values( 'NIEZNANY DOKUMENT', "
                                  "'Pole', 'obce' ), ( 'SWIADECTWO UKONCZENIA KLASY 1 SZKOLY "
                                  "PODST.', 'Stare', 'znika' ), ( NULL, 'bez id', x'ff00' )"));
    }
    const SqlDataList records{{QStringLiteral("DANE UCZNIA"), QStringLiteral("Nazwisko_DATA_EDIT"),
                               QStringLiteral("Buk")}};
    QString msg;
    QVERIFY2(bFunReplaceCertData(msg, path(), table, records, {}, old), qPrintable(msg));
    QCOMPARE(
        rawColumn(path(), "select quote(id) || ' ' || comp_name || ' ' || quote(value) from `" +
                              table.toLatin1() + "`"),
        (QByteArrayList{"'DANE UCZNIA' Nazwisko_DATA_EDIT 'Buk'", "'NIEZNANY DOKUMENT' Pole 'obce'",
                        "NULL bez id X'FF00'"}));
    QCOMPARE(rawColumn(path(), "select name from sqlite_master"), QByteArrayList{table.toLatin1()});
}

void TestCertFile::saveAndLoadRoundTrip() {
    SqlDataList records;
    const QString memo = QStringLiteral("ZMIENNA_Zachowanie_STR2_DATA_MEMO%1");
    records.append({QStringLiteral("DANE UCZNIA"), QStringLiteral("Nazwisko_DATA_EDIT"),
                    QStringLiteral("it's")});
    records.append(
        {QStringLiteral("DANE UCZNIA"), QStringLiteral("Imie_DATA_EDIT"), QStringLiteral("''")});
    for (int i = 1; i <= 300; ++i)
        records.append(
            {QStringLiteral("SWIADECTWO UKONCZENIA KLASY 1 SZKOLY PODST."),
             memo.arg(i, 2, 10, QLatin1Char('0')),
             i == 7 ? QString() : QStringLiteral("Linia %1: zachowanie wzorowe, ąęźż").arg(i)});
    const SqlDataList before = records;
    int steps = 0;
    QString msg;
    QVERIFY(bFunSaveCertData(msg, path(), QStringLiteral("PESEL01234567890"), records,
                             [&] { ++steps; }));
    QCOMPARE(steps, records.size());
    QCOMPARE(records[0].value, QStringLiteral("it's")); // the caller's list is not touched

    SqlDataList loaded;
    QVERIFY(bFunLoadCertData(msg, path(), QStringLiteral("PESEL01234567890"), loaded));
    QCOMPARE(loaded.size(), before.size());
    for (int i = 0; i < before.size(); ++i) {
        QCOMPARE(loaded[i].id, before[i].id);
        QCOMPARE(loaded[i].comp_name, before[i].comp_name);
        QCOMPARE(loaded[i].value, before[i].value);
    }
    // One table, created by the fixed statement, holding code page 1250.
    QCOMPARE(
        rawColumn(path(), "select sql from sqlite_master"),
        QByteArrayList{"CREATE TABLE `PESEL01234567890`( id TEXT, comp_name TEXT, value TEXT )"});
    QCOMPARE(rawColumn(path(), "select value from PESEL01234567890 where comp_name like '%MEMO01'"),
             QByteArrayList{"Linia 1: zachowanie wzorowe, \xB9\xEA\x9F\xBF"});

    // A missing table is reported, not created.
    SqlDataList none;
    QVERIFY(!bFunLoadCertData(msg, path(), QStringLiteral("PESEL99999999999"), none));
    QCOMPARE(msg, QStringLiteral("Tablica nie istnieje: \nPESEL99999999999"));
    QVERIFY(none.isEmpty());
}

// A class read through one opening gives each pupil what reading him alone
// gives: his records, or the reason; a file that cannot be opened gives
// every pupil its reason; the reading stops when told.
void TestCertFile::severalPupilsReadAsOneByOne() {
    addPupil(QStringLiteral("PESEL1"), QStringLiteral("Agrest"), QStringLiteral("Ewa"));
    addPupil(QStringLiteral("PESEL2"), QStringLiteral("Bób"), QStringLiteral("Jan"));
    const QStringList tables = {QStringLiteral("PESEL2"), QStringLiteral("PESEL9"),
                                QStringLiteral("PESEL1")};
    for (const QString &file : {path(), m_env->programFile(QStringLiteral("brak.sqbr5"))}) {
        QStringList together, alone;
        vFunLoadCertDataOfPupils(file, tables,
                                 [&](int i, const SqlDataList &records, const QString &why) {
                                     QStringList values;
                                     for (const structSqlData &r : records)
                                         values << r.value;
                                     together << tables[i] + ": " + why + values.join(',');
                                     return true;
                                 });
        for (const QString &table : tables) {
            QString why;
            SqlDataList records;
            QStringList values;
            if (bFunLoadCertData(why, file, table, records)) {
                why.clear();
                for (const structSqlData &r : records)
                    values << r.value;
            }
            alone << table + ": " + why + values.join(',');
        }
        QCOMPARE(together, alone);
    }
    int calls = 0;
    vFunLoadCertDataOfPupils(path(), tables, [&](int, const SqlDataList &, const QString &) {
        ++calls;
        return false;
    });
    QCOMPARE(calls, 1);
}

void TestCertFile::saveRefusesExistingTable() {
    addPupil(QStringLiteral("PESEL01111111111"), QStringLiteral("Agrest"), QStringLiteral("Anna"));
    const QByteArray before = readFile(path());
    SqlDataList records{{QStringLiteral("DANE UCZNIA"), QStringLiteral("Nazwisko_DATA_EDIT"),
                         QStringLiteral("Inny")}};
    QString msg;
    QVERIFY(!bFunSaveCertData(msg, path(), QStringLiteral("PESEL01111111111"), records));
    QCOMPARE(msg, QStringLiteral("Tablica już istnieje: PESEL01111111111"));
    QCOMPARE(readFile(path()), before);
    QCOMPARE(logRows(m_env->programDir()).last().fun, QStringLiteral("bFunSaveCertData()"));
}

void TestCertFile::failedWriteRollsBackAndLogsItsOwnName_data() {
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QString>("logName");
    QTest::newRow("save") << false << "bFunSaveCertData()";
    QTest::newRow("replace") << true << "bFunReplaceCertData()";
}

void TestCertFile::failedWriteRollsBackAndLogsItsOwnName() {
    QFETCH(bool, replace);
    QFETCH(QString, logName);
    addPupil(QStringLiteral("PESEL01111111111"), QStringLiteral("Agrest"), QStringLiteral("Anna"));
    const QByteArray before = readFile(path());
    // A value over the limit of a file from elsewhere fails midway, after
    // the table was made and a first row written.
    const SqlDataList records{{QStringLiteral("DANE UCZNIA"), QStringLiteral("Nazwisko_DATA_EDIT"),
                               QStringLiteral("Bez")},
                              {QStringLiteral("DANE UCZNIA"), QStringLiteral("Imie_DATA_EDIT"),
                               QString(kUntrustedValueBytes + 1, QLatin1Char('x'))}};
    const QString table =
        replace ? QStringLiteral("PESEL01111111111") : QStringLiteral("PESEL02222222222");
    QString msg;
    QVERIFY(replace ? !bFunReplaceCertData(msg, path(), table, records)
                    : !bFunSaveCertData(msg, path(), table, records));
    QCOMPARE(msg, QStringLiteral("SQLite exception: ") +
                      strFunSqlErrorText(CppSQLite3Exception(SQLITE_TOOBIG, "")));
    // Rolled back: the file holds what it held.
    QCOMPARE(readFile(path()), before);
    const auto log = logRows(m_env->programDir());
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0].fun, logName);
    QCOMPARE(log[0].info, msg);
}

void TestCertFile::deleteTable() {
    addPupil(QStringLiteral("PESEL01111111111"), QStringLiteral("Agrest"), QStringLiteral("Anna"));
    addPupil(QStringLiteral("PESEL02222222222"), QStringLiteral("Zamek"), QStringLiteral("Zenon"));
    QString msg;
    QVERIFY(bFunDeleteTable(msg, path(), QStringLiteral("PESEL09999999999"))); // missing: fine
    QVERIFY(bFunDeleteTable(msg, path(), QStringLiteral("PESEL01111111111")));
    QStringList tables;
    QVERIFY(bFunGetTableList(msg, path(), tables));
    QCOMPARE(tables, QStringList{QStringLiteral("PESEL02222222222")});
    QVERIFY(logRows(m_env->programDir()).isEmpty());
}

void TestCertFile::checkIsStudentExists() {
    QFile::remove(path());
    QString msg;
    QCOMPARE(iFunCheckIsStudentExists(msg, path(), QStringLiteral("PESEL01111111111"), false), -1);
    QCOMPARE(msg, QStringLiteral("Plik nie istnieje: \n") + path());
    QVERIFY(!QFileInfo::exists(path()));
    QCOMPARE(iFunCheckIsStudentExists(msg, path(), QStringLiteral("PESEL01111111111"), true), 0);
    QVERIFY(QFileInfo::exists(path()));
    addPupil(QStringLiteral("PESEL01111111111"), QStringLiteral("Agrest"), QStringLiteral("Anna"));
    QCOMPARE(iFunCheckIsStudentExists(msg, path(), QStringLiteral("PESEL01111111111"), false), 1);
    QCOMPARE(iFunCheckIsStudentExists(msg, path(), QStringLiteral("pesel01111111111"), false), 0);
}

void TestCertFile::anyPeselStaysOneTable_data() {
    QTest::addColumn<QString>("pesel");
    QTest::newRow("backtick") << "1234`567890";
    QTest::newRow("quote") << "12'45678901";
    QTest::newRow("blanks") << "12 45 78 01";
    QTest::newRow("statement end") << "1`; drop --";
    QTest::newRow("Polish letters") << "żółw123456ą";
    QTest::newRow("double quote") << "\"1234567890";
}

void TestCertFile::anyPeselStaysOneTable() {
    QFETCH(QString, pesel);
    const QString other = QStringLiteral("PESEL01111111111");
    addPupil(other, QStringLiteral("Agrest"), QStringLiteral("Anna"));
    const QString table = QStringLiteral("PESEL") + pesel;
    QString msg;
    QCOMPARE(iFunCheckIsStudentExists(msg, path(), table, false), 0);
    addPupil(table, QStringLiteral("Żaba"), QStringLiteral("Zofia"));
    QCOMPARE(iFunCheckIsStudentExists(msg, path(), table, false), 1);

    StudentList students;
    QVERIFY2(bFunGetStudentsList(msg, path(), students), qPrintable(msg));
    QCOMPARE(students.size(), 2);
    QCOMPARE(students[1].table, table);
    QCOMPARE(students[1].name, QStringLiteral("Żaba Zofia"));

    SqlDataList loaded;
    QVERIFY2(bFunLoadCertData(msg, path(), table, loaded), qPrintable(msg));
    QCOMPARE(loaded.size(), 2);
    QVERIFY(bFunDeleteTable(msg, path(), table));
    QStringList tables;
    QVERIFY(bFunGetTableList(msg, path(), tables));
    QCOMPARE(tables, QStringList{other});
    QVERIFY(logRows(m_env->programDir()).isEmpty());
}

QTEST_GUILESS_MAIN(TestCertFile)
#include "tst_certfile.moc"
