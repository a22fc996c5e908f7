#include "apptest.h"
#include "support/classfile.h"
#include "support/noprinters.h"
#include "support/pdfraster.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QtTest>
#include <sqlite3.h>

// Class files mailed by colleagues: damaged or made to hurt. Each fixture
// is a small class of five pupils with one fault; the command line and the
// window open it as the teacher would, and her file is never changed.
class TestHostileFiles : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void commandLine_data();
    void commandLine();
    void window_data();
    void window();
    void saveKeepsWhatItDoesNotOwn();
    void leftoversOfDeadRuns_data();
    void leftoversOfDeadRuns();
    void parallelRunsAllSucceed();

private:
    struct Run {
        int status = -1;
        QString out, err;
        qint64 pid = 0;
        qint64 ms = 0;
    };
    Run run(const QStringList &arguments) const;
    Run print(const QString &classFile, const QString &pdf) const {
        return run(
            {"--pdf", pdf, "--dokument", QString::fromUtf8("MEN-I/1/2 świad. klasa 1"), classFile});
    }
    // A class of five pupils (01 Agrest ... 05 Jesion) with the named fault.
    QString makeFixture(const QString &fault);
    // The class file and whatever lies beside it (a log, a journal).
    QMap<QString, QByteArray> filesOf(const QString &classFile) const;

    std::unique_ptr<AppFixture> f;
    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

const QList<QStringList> kPupils{{"01", "Agrest", "Anna"},
                                 {"02", "Buk", "Jan"},
                                 {"03", "Cis", "Adam"},
                                 {"04", "Dab", "Ewa"},
                                 {"05", "Jesion", "Ola"}};
const QStringList kSurnames{"Agrest", "Buk", "Cis", "Dab", "Jesion", "Nowak"};

void exec(const QString &path, const QString &sql) {
    CppSQLite3DB db;
    db.Open(path);
    db.Execute(sql);
}

// A file whose last change (Agrest renamed Nowak) is still in its write-ahead
// log: the two files are copied while the change is not yet checkpointed.
void leaveInLog(const QString &path) {
    const QString live = path + QStringLiteral(".zywy");
    QFile::rename(path, live);
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(live).constData(), &db);
    sqlite3_exec(db,
                 "pragma journal_mode=wal; pragma wal_autocheckpoint=0; update PESEL01 set "
                 "value='Nowak' where comp_name='Nazwisko_DATA_EDIT'",
                 nullptr, nullptr, nullptr);
    QFile::copy(live, path);
    QFile::copy(live + QStringLiteral("-wal"), path + QStringLiteral("-wal"));
    sqlite3_close(db);
    QFile::remove(live);
}

} // namespace

void TestHostileFiles::init() {
    f = std::make_unique<AppFixture>();
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestHostileFiles::cleanup() {
    f.reset();
    m_dir.reset();
}

TestHostileFiles::Run TestHostileFiles::run(const QStringList &arguments) const {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/swiadectwa"),
                  arguments);
    Run r;
    r.pid = program.processId();
    if (!program.waitForFinished(60000) || program.exitStatus() != QProcess::NormalExit) {
        program.kill();
        program.waitForFinished();
        return r;
    }
    r.ms = timer.elapsed();
    r.status = program.exitCode();
    r.out = QString::fromUtf8(program.readAllStandardOutput());
    r.err = QString::fromUtf8(program.readAllStandardError());
    return r;
}

QString TestHostileFiles::makeFixture(const QString &fault) {
    const QString path = m_dir->filePath(QStringLiteral("klasa.sqbr5"));
    QFile::remove(path);
    if (fault == "index after a pupil") {
        // As a database tool leaves it: an index made after the second pupil.
        writeClassFile(path, kPupils.mid(0, 2));
        exec(path, "create index `szukaj` on `PESEL02`( comp_name )");
        addClassPupils(path, kPupils.mid(2));
        return path;
    }
    writeClassFile(path, kPupils);
    if (fault == "zeroed page")
        zeroPupilPage(path, "PESEL03");
    else if (fault == "endless recursive view")
        exec(path, "create view PESEL99 as with recursive c(x) as (select 1 union all select "
                   "x + 1 from c) select 'DANE UCZNIA' as id, 'Nazwisko_DATA_EDIT' as "
                   "comp_name, x as value from c");
    else if (fault == "huge value")
        exec(path, "insert into PESEL02 values( 'DANE UCZNIA', 'Uwagi_DATA_MEMO', "
                   "printf('%.*c', 5000000, 'x') )");
    else if (fault == "huge name")
        exec(path, "create table `PESEL" + QString(5000000, QLatin1Char('9')) +
                       "`( id TEXT, comp_name TEXT, value TEXT )");
    else if (fault == "unknown document rows")
        exec(path, "insert into PESEL01 values( 'NIEZNANY DOKUMENT', 'Pole_DATA_EDIT', 'obce' )");
    else if (fault == "write-ahead log")
        leaveInLog(path);
    else if (fault == "trigger")
        exec(path, "create trigger `kasuj` after insert on PESEL01 begin delete from PESEL02; end");
    return path;
}

QMap<QString, QByteArray> TestHostileFiles::filesOf(const QString &classFile) const {
    QMap<QString, QByteArray> files;
    const QFileInfo info(classFile);
    for (const QFileInfo &file : QDir(info.absolutePath()).entryInfoList({info.fileName() + "*"}))
        files[file.fileName()] = readFile(file.filePath());
    return files;
}

// ---------------------------------------------------------------------------

void TestHostileFiles::commandLine_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("errors");  // lines that start standard error, in order
    QTest::addColumn<QStringList>("printed"); // surnames on the pages' fronts
    const QStringList all{"Agrest", "Buk", "Cis", "Dab", "Jesion"};
    const QString tooLong =
        QString::fromUtf8("Nie można odczytać pliku klasy „{class}”: to nie jest plik klasy albo "
                          "jest uszkodzony.\nPlik zawiera wartość dłuższą, niż program przyjmuje");
    QTest::newRow("index after a pupil") << "index after a pupil" << 0 << QStringList() << all;
    QTest::newRow("zeroed page")
        << "zeroed page" << 1
        << QStringList{QString::fromUtf8("Plik klasy jest uszkodzony:\n{class}\n"),
                       QString::fromUtf8("Nie udało się odczytać danych uczniów: PESEL03; plik "
                                         "może być uszkodzony.\n")}
        << QStringList{"Agrest", "Buk", "Dab", "Jesion"};
    QTest::newRow("endless recursive view")
        << "endless recursive view" << 0 << QStringList() << all;
    QTest::newRow("huge value") << "huge value" << 2 << QStringList{tooLong} << QStringList();
    QTest::newRow("huge name") << "huge name" << 2 << QStringList{tooLong} << QStringList();
    QTest::newRow("unknown document rows") << "unknown document rows" << 0 << QStringList() << all;
    QTest::newRow("write-ahead log") << "write-ahead log" << 0 << QStringList()
                                     << QStringList{"Buk", "Cis", "Dab", "Jesion", "Nowak"};
    QTest::newRow("trigger") << "trigger" << 0 << QStringList() << all;
}

void TestHostileFiles::commandLine() {
    QFETCH(QString, fault);
    QFETCH(int, status);
    QFETCH(QStringList, errors);
    QFETCH(QStringList, printed);
    const QString classFile = makeFixture(fault);
    const auto before = filesOf(classFile);
    const QString pdf = m_dir->filePath("wynik.pdf");

    Run r = print(classFile, pdf);
    // The fixture's certificate holds a text wider than its field: the check
    // before printing says so ("Uwaga: " lines, status 3). This test is about
    // the rest.
    r.err.remove(QRegularExpression(QStringLiteral("^Uwaga: [^\n]*\n"),
                                    QRegularExpression::MultilineOption));
    QCOMPARE(r.status == 3 ? 0 : r.status, status);
    QVERIFY2(r.ms < 20000, qPrintable(QString::number(r.ms)));
    // The first message opens standard error, the others follow in order.
    qsizetype at = 0;
    for (QString expected : errors) {
        expected.replace("{class}", classFile);
        const qsizetype found = r.err.indexOf(expected, at);
        QVERIFY2(at == 0 ? found == 0 : found > at, qPrintable(r.err));
        at = found + expected.size();
    }
    if (errors.isEmpty())
        QCOMPARE(r.err, QString());
    QStringList fronts;
    for (const QString &owner : pdfPageOwners(pdf, kSurnames)) {
        if (owner.endsWith(" 1"))
            fronts << owner.chopped(2);
    }
    fronts.sort();
    QCOMPARE(fronts, printed);
    // Her file is only read: not a byte of it, nor of its log, changes, and
    // nothing is left beside it.
    QCOMPARE(filesOf(classFile), before);
}

// ---------------------------------------------------------------------------

void TestHostileFiles::window_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("tree");     // pupils shown; empty: the open class stays
    QTest::addColumn<QStringList>("messages"); // the starts of the messages, in order
    const QStringList all{"Agrest Anna", "Buk Jan", "Cis Adam", "Dab Ewa", "Jesion Ola"};
    const QStringList refused{QString::fromUtf8("Nie można otworzyć pliku:\n{class}\n\nTo nie "
                                                "jest plik świadectw SP 1-3 albo plik jest "
                                                "uszkodzony.\n\nSQL exception: \nPlik zawiera "
                                                "wartość dłuższą")};
    QTest::newRow("index after a pupil") << "index after a pupil" << all << QStringList();
    QTest::newRow("zeroed page")
        << "zeroed page" << QStringList{"Agrest Anna", "Buk Jan", "Dab Ewa", "Jesion Ola"}
        << QStringList{QString::fromUtf8("Plik klasy jest uszkodzony:\n{class}\n"),
                       QString::fromUtf8("Nie udało się odczytać danych uczniów: PESEL03; plik "
                                         "może być uszkodzony.")};
    QTest::newRow("endless recursive view") << "endless recursive view" << all << QStringList();
    QTest::newRow("huge value") << "huge value" << QStringList() << refused;
    QTest::newRow("huge name") << "huge name" << QStringList() << refused;
    QTest::newRow("write-ahead log")
        << "write-ahead log"
        << QStringList{"Buk Jan", "Cis Adam", "Dab Ewa", "Jesion Ola", "Nowak Anna"}
        << QStringList();
    QTest::newRow("trigger") << "trigger" << all << QStringList();
}

void TestHostileFiles::window() {
    QFETCH(QString, fault);
    QFETCH(QStringList, tree);
    QFETCH(QStringList, messages);
    TFGlowna *g = f->start();
    QVERIFY(g->StartUpChecks());
    const QString open = m_dir->filePath("otwarta.sqbr5");
    makeClassFile(open, {{"11", "Otwarta", "Klasa"}});
    g->openCommandLineDocument(open);
    const QByteArray work = readFile(f->tmp());
    const QString classFile = makeFixture(fault);
    const auto before = filesOf(classFile);
    f->prompts.clear();

    QElapsedTimer timer;
    timer.start();
    f->prompts.fileNames.enqueue(classFile);
    g->OtworzPlikToolButtonClick();
    QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));

    const QStringList said = f->prompts.messages();
    QCOMPARE(said.size(), messages.size());
    for (int i = 0; i < messages.size(); ++i)
        QVERIFY2(said[i].startsWith(QString(messages[i]).replace("{class}", classFile)),
                 qPrintable(said[i]));
    QStringList shown;
    for (int i = 0; i < g->TreeView->topLevelItemCount(); ++i)
        shown << g->TreeView->topLevelItem(i)->text(0);
    if (tree.isEmpty()) {
        // Refused: the class that was open stays, its working copy untouched.
        QCOMPARE(shown, QStringList{"Otwarta Klasa"});
        QCOMPARE(g->documentPath(), open);
        QCOMPARE(readFile(f->tmp()), work);
    } else {
        QCOMPARE(shown, tree);
        QCOMPARE(g->documentPath(), classFile);
        // Nothing of the file runs later, and nothing of it goes on into a save.
        QCOMPARE(rawColumn(f->tmp(), "select count(*) from sqlite_master where type in "
                                     "('view', 'trigger')"),
                 QByteArrayList{"0"});
        QCOMPARE(rawColumn(f->tmp(), "pragma journal_mode"), QByteArrayList{"delete"});
    }
    QCOMPARE(filesOf(classFile), before);
    QVERIFY(!QFileInfo::exists(f->tmp() + ".otwierany"));
}

// A pupil's save rewrites the documents this version knows; the rows of a
// newer version's document stay, and the file's trigger neither fires nor
// goes on into the saved file.
void TestHostileFiles::saveKeepsWhatItDoesNotOwn() {
    const QString classFile = makeFixture("unknown document rows");
    exec(classFile,
         "insert into PESEL01 values( 'NIEZNANY DOKUMENT', 'Liczba', 7 );"
         "create trigger `kasuj` after insert on PESEL01 begin delete from PESEL02; end;");
    TFGlowna *g = f->start();
    QVERIFY(g->StartUpChecks());
    g->openCommandLineDocument(classFile);
    f->prompts.clear();
    g->TreeView->setCurrentItem(g->TreeView->topLevelItem(0)->child(0));
    g->TreeViewClick();
    QCOMPARE(g->selectedPupilTable(), QStringLiteral("PESEL01"));
    QVERIFY(g->SaveStudentRecord());
    g->Zapisz1Click();
    QCOMPARE(f->prompts.messages(), QStringList());

    QCOMPARE(rawColumn(classFile, "select comp_name || '=' || value || ':' || typeof(value) from "
                                  "PESEL01 where id='NIEZNANY DOKUMENT'"),
             (QByteArrayList{"Pole_DATA_EDIT=obce:text", "Liczba=7:text"}));
    QCOMPARE(rawColumn(classFile, "select value from PESEL01 where comp_name='Nazwisko_DATA_EDIT'"),
             QByteArrayList{"Agrest"});
    QCOMPARE(rawColumn(classFile, "select count(*) from PESEL02"), QByteArrayList{"5"});
    QCOMPARE(rawColumn(classFile, "select count(*) from sqlite_master where type='trigger'"),
             QByteArrayList{"0"});
}

// ---------------------------------------------------------------------------

void TestHostileFiles::leftoversOfDeadRuns_data() {
    QTest::addColumn<bool>("window");
    QTest::newRow("command line") << false;
    QTest::newRow("window") << true;
}

void TestHostileFiles::leftoversOfDeadRuns() {
    QFETCH(bool, window);
    // A run that is gone (its pid ended), one that runs (this test), and a
    // folder of an older version, which tells no owner.
    QProcess gone;
    // A program that ends at once on every system: this test listing itself.
    gone.start(QCoreApplication::applicationFilePath(), {"-functions"});
    QVERIFY(gone.waitForFinished());
    const qint64 deadPid = gone.processId() ? gone.processId() : 999999;
    QDir temp(QDir::tempPath());
    const QString dead = QStringLiteral("swiadectwa-%1-Ab12Cd").arg(deadPid);
    const QString alive =
        QStringLiteral("swiadectwa-%1-Ef34Gh").arg(QCoreApplication::applicationPid());
    const QString older = QStringLiteral("swiadectwa-Ij56Kl");
    for (const QString &name : {dead, alive, older}) {
        QVERIFY(temp.mkpath(name));
        writeFile(temp.filePath(name + "/klasa.sqbr5"), "dane uczniów");
    }
    const QString staged = f->tmp() + ".otwierany";
    writeFile(staged, "kopia otwieranego pliku");

    if (window) {
        QVERIFY(f->start()->StartUpChecks());
        QVERIFY(!QFileInfo::exists(staged));
        // The other runs' folders are swept once the window is up.
        QVERIFY(temp.exists(dead));
        QTRY_VERIFY(!temp.exists(dead));
    } else {
        const QString classFile = makeFixture("index after a pupil");
        const Run r = print(classFile, m_dir->filePath("wynik.pdf"));
        QCOMPARE(r.status, 3); // written; the fixture's wide text is said
        // The run's own copy of the class is gone when it ends.
        QCOMPARE(temp.entryList({QStringLiteral("swiadectwa-%1-*").arg(r.pid)}, QDir::Dirs),
                 QStringList());
        QVERIFY(QFileInfo::exists(staged)); // the window's business, not the command line's
    }
    QVERIFY(!temp.exists(dead));
    QVERIFY(temp.exists(alive));
    QVERIFY(temp.exists(older));
    QDir(temp.filePath(alive)).removeRecursively();
    QDir(temp.filePath(older)).removeRecursively();
}

// Scripts print many classes at once: every run starts, none fails on the
// shared catalogue of the installation folder, and a start that changes
// nothing writes nothing there.
void TestHostileFiles::parallelRunsAllSucceed() {
    const QString classFile = makeFixture("index after a pupil");
    const QString catalogue = QCoreApplication::applicationDirPath() + "/pliki_kat.sqset";
    QCOMPARE(print(classFile, m_dir->filePath("pierwszy.pdf")).status,
             3); // written, wide text said
    const QByteArray catalogueBefore = readFile(catalogue);
    const QDateTime changedBefore = QFileInfo(catalogue).lastModified();
    // A fresh program folder for the parallel runs: each one finds it empty.
    TestEnv fresh(QStringLiteral("rownolegle"));
    const QString program = QCoreApplication::applicationDirPath() + "/swiadectwa";
    std::vector<std::unique_ptr<QProcess>> runs;
    const int count = 12;
    for (int i = 0; i < count; ++i) {
        auto p = std::make_unique<QProcess>();
        p->start(program, {"--pdf", m_dir->filePath(QStringLiteral("wynik%1.pdf").arg(i)),
                           "--dokument", QString::fromUtf8("wywiadówka"), classFile});
        runs.push_back(std::move(p));
    }
    QStringList failed;
    for (int i = 0; i < count; ++i) {
        QProcess &p = *runs[size_t(i)];
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit ||
            (p.exitCode() != 0 && p.exitCode() != 3))
            failed << QString::number(i) + ": " + QString::fromUtf8(p.readAllStandardError());
        else if (pdfPageCount(m_dir->filePath(QStringLiteral("wynik%1.pdf").arg(i))) != 5)
            failed << QString::number(i) + ": pages";
    }
    QVERIFY2(failed.isEmpty(), qPrintable(failed.join('\n')));
    QCOMPARE(readFile(catalogue), catalogueBefore);
    QCOMPARE(QFileInfo(catalogue).lastModified(), changedBefore);
}

SW_TEST_MAIN_WITHOUT_PRINTERS(TestHostileFiles)

#include "tst_hostilefiles.moc"
