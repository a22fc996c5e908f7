#include "maintenance/legacyimport.h"
#include "storage/codec.h"
#include "storage/cppsqlite3.h"
#include "support/legacyfile.h"
#include "support/testenv.h"

#include <QtTest>
#include <csignal>
#include <sqlite3.h>
#ifndef Q_OS_WIN
#include <sys/resource.h>
#endif

namespace {

const QString kCert1 = QStringLiteral("SWIADECTWO UKONCZENIA KLASY 1 SZKOLY PODST.");
const QString kReport = QStringLiteral("WYWIADOWKA OPISOWA SZKOLY PODST.");
const QString kMemo = QStringLiteral("ZMIENNA_Zachowanie_STR2_DATA_MEMO");

// Records what the import shows, one line per call ("step" runs are counted).
class RecordingProgress : public ImportProgress {
public:
    QStringList calls;
    void setOperation(const QString &text) override { calls << QStringLiteral("op ") + text; }
    void setRange(int maximum) override {
        calls << QStringLiteral("range %1").arg(maximum) << QStringLiteral("steps 0");
    }
    void step() override {
        const int n = calls.last().mid(6).toInt();
        calls.last() = QStringLiteral("steps %1").arg(n + 1);
    }
};

} // namespace

// The import into the working copy: what it writes, and what it leaves alone
// when something goes wrong.
class TestLegacyImport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void twoPupilsArriveWhole();
    void progressFollowsThePupils();
    void placeholdersAreImportedAndNamed();
    void failuresChangeNothing_data();
    void failuresChangeNothing();
    void writeFailureMidwayKeepsWorkingCopy();
    void writersReportTheirFailure();

private:
    QString source() const { return m_docs->filePath(QStringLiteral("klasa.br5")); }
    QString tmp() const { return m_env->programFile(QStringLiteral("data_tmp.sqtmp")); }
    // Each row of a table as "id|comp_name|value" in the stored bytes.
    QByteArrayList tableRows(const QString &table) const {
        return rawColumn(tmp(), "select id || '|' || comp_name || '|' || value from `" +
                                    table.toLatin1() + "`");
    }
    QByteArrayList tables() const {
        return rawColumn(tmp(), "select name from sqlite_master order by rowid");
    }
    void makeOldWorkingCopy() {
        QDir().mkpath(m_env->programDir());
        QString msg;
        writeFile(tmp(), QByteArray());
        QVERIFY(bFunSaveCertData(msg, tmp(), "PESEL00000000000",
                                 {{"DANE UCZNIA", "Nazwisko_DATA_EDIT", "Stary"}}));
    }

    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<QTemporaryDir> m_docs;
};

void TestLegacyImport::init() {
    m_env = std::make_unique<TestEnv>();
    m_docs = std::make_unique<QTemporaryDir>();
}

void TestLegacyImport::cleanup() {
    m_env.reset();
    m_docs.reset();
}

void TestLegacyImport::twoPupilsArriveWhole() {
    makeOldWorkingCopy();
    const QStringList lines =
        legacyBlock("Żółkiewska", "Łucja", "01234567890",
                    legacyDocument(kCert1, {"<" + kMemo + ">Ania jest koleżeńska,",
                                            "<" + kMemo + ">", "<" + kMemo + ">pomaga innym.",
                                            "<ZMIENNA_Uwagi_STR2_DATA_EDIT>O'Neill > 'x'"}) +
                        legacyDocument(kReport, {"<ZMIENNA_Data_DATA_EDIT>12.05.2005"})) +
        legacyBlock("Nowak", "Jan", "98765432109");
    writeFile(source(), legacyBytes(lines));

    QString msg;
    structImportReport report;
    QVERIFY2(bFunImportDataFromFile(msg, tmp(), source(), nullptr, &report), qPrintable(msg));
    QCOMPARE(report.failure, structImportReport::Failure::None);
    QCOMPARE(report.imported, 2);
    QVERIFY(report.placeholders.isEmpty() && report.failed.isEmpty());
    QCOMPARE(strFunImportSummary(report), QString::fromUtf8("Zaimportowano uczniów: 2."));

    // The old pupil is gone: the file is the imported class alone.
    QCOMPARE(tables(), QByteArrayList({"PESEL01234567890", "PESEL98765432109"}));
    QByteArrayList expected;
    for (const char *row :
         {"DANE UCZNIA|Nazwisko_DATA_EDIT|Żółkiewska", "DANE UCZNIA|Imie_DATA_EDIT|Łucja",
          "DANE UCZNIA|Pesel_DATA_EDIT|01234567890"})
        expected << cp1250::encode(QString::fromUtf8(row));
    for (const QString &row :
         {kMemo + "01|Ania jest koleżeńska,", kMemo + "02|", kMemo + "03|pomaga innym.",
          QStringLiteral("ZMIENNA_Uwagi_STR2_DATA_EDIT|O'Neill > 'x'")})
        expected << cp1250::encode(kCert1 + '|' + row);
    expected << cp1250::encode(kReport + "|ZMIENNA_Data_DATA_EDIT|12.05.2005");
    QCOMPARE(tableRows("PESEL01234567890"), expected);
    QCOMPARE(tableRows("PESEL98765432109").size(), 3);
    QVERIFY(!QFileInfo::exists(tmp() + ".import"));
    QVERIFY(logRows(m_env->programDir()).isEmpty());
}

void TestLegacyImport::progressFollowsThePupils() {
    const QStringList lines =
        legacyBlock("A", "a", "1", legacyDocument(kCert1, {"<X_DATA_EDIT>1", "<Y_DATA_EDIT>2"})) +
        legacyBlock("B", "b", "");
    writeFile(source(), legacyBytes(lines));
    QDir().mkpath(m_env->programDir());
    QString msg;
    RecordingProgress progress;
    QVERIFY(bFunImportDataFromFile(msg, tmp(), source(), &progress));
    QCOMPARE(progress.calls,
             QStringList({"op importuje dane ucznia...", "range 3", "steps 3",
                          "op importuje świadectwa dla PESEL1", "range 2", "steps 2",
                          "op importuje dane ucznia...", "range 3", "steps 3",
                          "op importuje świadectwa dla PESEL_BRAK_1", "range 0", "steps 0"}));
}

void TestLegacyImport::placeholdersAreImportedAndNamed() {
    const QStringList lines =
        legacyBlock("Kowalski", "Jan", "11111111111", legacyDocument(kCert1, {"<X_DATA_EDIT>k"})) +
        legacyBlock("Nowak", "Anna", QString(), legacyDocument(kCert1, {"<X_DATA_EDIT>n"})) +
        legacyBlock("Lis", "Ewa", "", legacyDocument(kCert1, {"<X_DATA_EDIT>l"})) +
        legacyBlock("Kowalski", "Adam", "11111111111", legacyDocument(kCert1, {"<X_DATA_EDIT>a"}));
    writeFile(source(), legacyBytes(lines, "\n"));
    QDir().mkpath(m_env->programDir());
    QString msg;
    structImportReport report;
    QVERIFY(bFunImportDataFromFile(msg, tmp(), source(), nullptr, &report));

    QCOMPARE(tables(),
             QByteArrayList({"PESEL11111111111", "PESEL_BRAK_1", "PESEL_BRAK_2", "PESEL_BRAK_3"}));
    // Every pupil arrived whole, the first one untouched by its double.
    QCOMPARE(tableRows("PESEL11111111111").last(), cp1250::encode(kCert1 + "|X_DATA_EDIT|k"));
    QCOMPARE(tableRows("PESEL_BRAK_3").last(), cp1250::encode(kCert1 + "|X_DATA_EDIT|a"));
    QCOMPARE(rawColumn(tmp(), "select value from PESEL_BRAK_1 where comp_name='Pesel_DATA_EDIT'"),
             QByteArrayList{"_BRAK_1"});
    QCOMPARE(rawColumn(tmp(), "select value from PESEL_BRAK_3 where comp_name='Pesel_DATA_EDIT'"),
             QByteArrayList{"_BRAK_3"});

    QCOMPARE(report.imported, 4);
    QCOMPARE(report.placeholders.size(), 3);
    QCOMPARE(strFunImportSummary(report),
             QString::fromUtf8(
                 "Zaimportowano uczniów: 4.\n\nTych uczniów zapisano bez numeru PESEL, pod "
                 "numerem zastępczym. Aby wpisać numer, zaznacz ucznia w drzewie, wybierz "
                 "Uczniowie › Edytuj dane wybranego ucznia (albo naciśnij Enter na jego "
                 "nazwisku), wpisz numer w polu „numer PESEL” i naciśnij OK:\n"
                 "- Nowak Anna (brak numeru PESEL), w pliku jako PESEL_BRAK_1\n"
                 "- Lis Ewa (pusty numer PESEL), w pliku jako PESEL_BRAK_2\n"
                 "- Kowalski Adam (numer PESEL 11111111111 ma już inny uczeń z tego pliku), "
                 "w pliku jako PESEL_BRAK_3"));

    // A pupil that could not be written is named too.
    report.failed.append(
        {"Zięba Olga", QString(), PeselProblem::None, "2", "SQLite exception: \nX"});
    QVERIFY(strFunImportSummary(report).endsWith(QString::fromUtf8(
        "\n\nTych uczniów nie udało się zaimportować:\n- Zięba Olga: SQLite exception: X")));
}

void TestLegacyImport::failuresChangeNothing_data() {
    QTest::addColumn<QString>("file"); // "" for the source
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("oldCopy");
    QTest::addColumn<int>("failure");
    QTest::addColumn<QString>("message"); // the buffer starts with it

    const int source = int(structImportReport::Failure::Source);
    const int noPupils = int(structImportReport::Failure::NoPupils);
    QTest::newRow("missing file") << "brak.br5" << QByteArray() << true << source
                                  << QString::fromUtf8("Plik źródłowy nie istnieje: \n");
    QTest::newRow("a folder") << "." << QByteArray() << false << source
                              << QString::fromUtf8("Plik źródłowy nie istnieje: \n");
    // A file that opens but cannot be read (reading it fails with EIO).
    QTest::newRow("unreadable file")
        << "/proc/self/mem" << QByteArray() << true << source
        << QString::fromUtf8("Nie można odczytać pliku źródłowego: \n/proc/self/mem\nKod błędu: ");
    const QByteArray sqlite("SQLite format 3\0\x10\0\x01\x01", 21);
    QTest::newRow("a class file, not a legacy one")
        << "" << sqlite << true << noPupils
        << QString::fromUtf8("W pliku nie znaleziono danych uczniów.");
    QTest::newRow("pupil data without a block start")
        << ""
        << legacyBytes({"<DANE UCZNIA SZKOLY PODSTAWOWEJ 1-3>", "<Pesel_DATA_EDIT>1",
                        "</DANE UCZNIA SZKOLY PODSTAWOWEJ 1-3>"})
        << false << noPupils << QString::fromUtf8("W pliku nie znaleziono danych uczniów.");
}

void TestLegacyImport::failuresChangeNothing() {
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, oldCopy);
    QFETCH(int, failure);
    QFETCH(QString, message);
    QDir().mkpath(m_env->programDir());
    if (oldCopy)
        makeOldWorkingCopy();
    const QByteArray before = readFile(tmp());
    const QString path = file.isEmpty()         ? source()
                         : file.startsWith('/') ? file
                                                : m_docs->filePath(file);
    if (file.isEmpty())
        writeFile(path, bytes);

    QString msg;
    structImportReport report;
    QVERIFY(!bFunImportDataFromFile(msg, tmp(), path, nullptr, &report));
    QCOMPARE(int(report.failure), failure);
    QVERIFY2(msg.startsWith(message), qPrintable(msg));
    QVERIFY(msg.contains(path));
    QCOMPARE(QFileInfo::exists(tmp()), oldCopy);
    QCOMPARE(readFile(tmp()), before);
    QVERIFY(!QFileInfo::exists(tmp() + ".import"));
    const QList<LogRow> log = logRows(m_env->programDir());
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0].fun, QStringLiteral("bFunImportDataFromFile"));
    QCOMPARE(log[0].info, msg);
}

void TestLegacyImport::writeFailureMidwayKeepsWorkingCopy() {
#ifdef Q_OS_WIN
    QSKIP("needs a file size cap (RLIMIT_FSIZE), which Windows does not have");
#else
    // Forty pupils of some 20 KB each, against a limit on the size of any
    // file this process writes: the disk is "full" after a few pupils.
    QStringList lines;
    QStringList fields;
    for (int i = 0; i < 150; ++i)
        fields << QStringLiteral("<P%1_DATA_EDIT>").arg(i) + QString(120, QLatin1Char('x'));
    for (int i = 0; i < 40; ++i)
        lines += legacyBlock("Uczeń", QString::number(i), QString::number(10000000000LL + i),
                             legacyDocument(kCert1, fields));
    writeFile(source(), legacyBytes(lines));
    makeOldWorkingCopy();
    const QByteArray before = readFile(tmp());

    struct rlimit old {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit limit = old;
    limit.rlim_cur = 256 * 1024;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    QString msg;
    structImportReport report;
    RecordingProgress progress;
    const bool ok = bFunImportDataFromFile(msg, tmp(), source(), &progress, &report);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    QVERIFY(!ok);
    QCOMPARE(report.failure, structImportReport::Failure::Write);
    QCOMPARE(report.imported, 0);
    // The reason in plain Polish, then SQLite's code.
    QVERIFY2(msg.startsWith("SQLite exception: \n") &&
                 (msg.endsWith("\nSQLITE_FULL") || msg.endsWith("\nSQLITE_IOERR")),
             qPrintable(msg));
    // It failed midway: several pupils had been written before.
    QVERIFY(progress.calls.count("op importuje dane ucznia...") > 3);
    QVERIFY(progress.calls.count("op importuje dane ucznia...") < 40);
    QCOMPARE(readFile(tmp()), before);
    QVERIFY(!QFileInfo::exists(tmp() + ".import"));
    QVERIFY(!logRows(m_env->programDir()).isEmpty());
#endif
}

void TestLegacyImport::writersReportTheirFailure() {
    QDir().mkpath(m_env->programDir());
    CppSQLite3DB db;
    db.Open(tmp());
    const SqlDataList rows{{"DANE UCZNIA", "Imie_DATA_EDIT", "Jan"}};
    QString msg;
    int code = 0;
    QVERIFY(bFunWriteStudentDataToDB(msg, db, "PESEL1", rows, nullptr, &code));
    QVERIFY(!bFunWriteStudentDataToDB(msg, db, "PESEL1", rows, nullptr, &code));
    QCOMPARE(msg, QStringLiteral("SQLite exception: \nSQLITE_ERROR"));
    QCOMPARE(code, SQLITE_ERROR);
    QVERIFY(!bFunSqlImportWriteCertDataToDB(msg, db, "PESEL2", rows, nullptr, &code));
    db.Close();
    const QList<LogRow> log = logRows(m_env->programDir());
    QCOMPARE(log.size(), 2);
    QCOMPARE(log[0].fun, QStringLiteral("bFunWriteStudentDataToDB()"));
    QCOMPARE(log[1].fun, QStringLiteral("bFunSqlImportWriteCertDataToDB()"));
    QCOMPARE(log[1].info, QStringLiteral("SQLite exception: \nSQLITE_ERROR"));
}

QTEST_GUILESS_MAIN(TestLegacyImport)
#include "tst_legacyimport.moc"
