#include "document/classsession.h"
#include "support/testenv.h"

#include <QtTest>

#include <cerrno>
#ifndef Q_OS_WIN
#include "support/filesizecap.h"
#endif

namespace {

const QString kPupilA = QStringLiteral("PESEL14210512349");
const QString kPupilB = QStringLiteral("PESEL13252806563");

SqlDataList pupilRecords(const QString &surname, const QString &first, const QString &pesel) {
    return {{QStringLiteral("DANE UCZNIA"), QStringLiteral("Nazwisko_DATA_EDIT"), surname},
            {QStringLiteral("DANE UCZNIA"), QStringLiteral("Imie_DATA_EDIT"), first},
            {QStringLiteral("DANE UCZNIA"), QStringLiteral("Pesel_DATA_EDIT"), pesel}};
}

QString valueOf(const SqlDataList &records, const QString &component) {
    for (const structSqlData &r : records) {
        if (r.comp_name == component)
            return r.value;
    }
    return QString();
}

} // namespace

class TestClassSession : public QObject {
    Q_OBJECT
private slots:
    void init();
    void openSaveRoundTrip();
    void openFailureKeepsTheOpenClass_data();
    void openFailureKeepsTheOpenClass();
    void savePupilMarksOnlyRealChanges();
    void changedPeselReplacesTheTable();
    void deletePupil();
    void saveFailureKeepsFileAndFlag_data();
    void saveFailureKeepsFileAndFlag();
    void saveAsNamesTheClass();
    void markerFollowsTheFlagAndThePath();
    void unsavedWorkIsRecoveredOrSetAside();
    void importRunsIntoTheWorkingCopy();
    void privateCopyLeavesTheWorkingCopyAlone();

private:
    QString dir() const { return m_files->path(); }
    QString classFile() const { return m_files->filePath(QStringLiteral("3a.sqbr5")); }
    QString marker() const {
        return m_env->programFile(QString::fromLatin1(kUnsavedMarkerFileName));
    }
    // A class file with two pupils.
    void writeClass(const QString &path);

    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<QTemporaryDir> m_files;
};

void TestClassSession::init() {
    m_env = std::make_unique<TestEnv>();
    QVERIFY(QDir().mkpath(m_env->programDir()));
    m_files = std::make_unique<QTemporaryDir>();
    writeClass(classFile());
}

void TestClassSession::writeClass(const QString &path) {
    writeFile(path, QByteArray());
    QString msg;
    QVERIFY2(bFunSaveCertData(
                 msg, path, kPupilA,
                 pupilRecords(QStringLiteral("Żak"), QStringLiteral("Ala"), kPupilA.mid(5))),
             qPrintable(msg));
    QVERIFY2(bFunSaveCertData(
                 msg, path, kPupilB,
                 pupilRecords(QStringLiteral("Bąk"), QStringLiteral("Ola"), kPupilB.mid(5))),
             qPrintable(msg));
}

void TestClassSession::openSaveRoundTrip() {
    ClassSession s;
    const ClassFileOutcome opened = s.open(classFile());
    QVERIFY(opened.ok);
    QVERIFY(opened.messages.isEmpty());
    QVERIFY(s.isOpen());
    QCOMPARE(s.path(), QFileInfo(classFile()).absoluteFilePath());
    QVERIFY(!s.unsaved);
    QCOMPARE(s.pupils().size(), 2);
    // Tree order: by the plain letters of the name, not by the file's order.
    QCOMPARE(s.pupilsInOrder().first().table, kPupilB);

    QVERIFY(s.loadPupil(kPupilA).ok);
    QCOMPARE(s.loadedTable(), kPupilA);
    QCOMPARE(valueOf(s.records(), QStringLiteral("Imie_DATA_EDIT")), QStringLiteral("Ala"));

    const SqlDataList changed =
        pupilRecords(QStringLiteral("Żak"), QStringLiteral("Alicja"), kPupilA.mid(5));
    QVERIFY(s.savePupil(kPupilA, changed).ok);
    QVERIFY(s.unsaved);
    // Her file changes only on "Zapisz".
    SqlDataList onDisk;
    QString msg;
    QVERIFY(bFunLoadCertData(msg, classFile(), kPupilA, onDisk));
    QCOMPARE(valueOf(onDisk, QStringLiteral("Imie_DATA_EDIT")), QStringLiteral("Ala"));

    const ClassFileOutcome saved = s.save();
    QVERIFY(saved.ok);
    QVERIFY(!s.unsaved);
    QVERIFY(!QFileInfo::exists(marker()));
    onDisk.clear();
    QVERIFY(bFunLoadCertData(msg, classFile(), kPupilA, onDisk));
    QCOMPARE(valueOf(onDisk, QStringLiteral("Imie_DATA_EDIT")), QStringLiteral("Alicja"));
}

void TestClassSession::openFailureKeepsTheOpenClass_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // null: the file does not exist
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("says");
    QTest::newRow("missing") << "brak.sqbr5" << QByteArray() << int(ENOENT)
                             << "Błąd kopiowania pliku";
    QTest::newRow("not a class file")
        << "list.sqbr5" << QByteArray("To jest list, nie plik klasy.\n") << 0
        << "To nie jest plik świadectw SP 1-3";
    QTest::newRow("legacy text file") << "stary.br5" << QByteArray("<DANE>\n") << 0 << "Importuj";
}

void TestClassSession::openFailureKeepsTheOpenClass() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, error);
    QFETCH(QString, says);
    ClassSession s;
    QVERIFY(s.open(classFile()).ok);
    QVERIFY(s.loadPupil(kPupilA).ok);
    QVERIFY(
        s.savePupil(kPupilA,
                    pupilRecords(QStringLiteral("Żak"), QStringLiteral("Ala"), kPupilA.mid(5)) +
                        SqlDataList{{QStringLiteral("DANE UCZNIA"),
                                     QStringLiteral("Imie2_DATA_EDIT"), QStringLiteral("Maria")}})
            .ok);
    const QByteArray work = readFile(s.workingCopy());

    const QString other = m_files->filePath(name);
    if (!bytes.isNull())
        writeFile(other, bytes);
    const ClassFileOutcome out = s.open(other);
    QVERIFY(!out.ok);
    QCOMPARE(out.error, error);
    QVERIFY(!out.messages.isEmpty());
    QVERIFY2(out.messages.first().text.contains(says), qPrintable(out.messages.first().text));
    // Nothing of the open class is lost to a wrong file.
    QCOMPARE(s.path(), QFileInfo(classFile()).absoluteFilePath());
    QCOMPARE(s.pupils().size(), 2);
    QCOMPARE(s.loadedTable(), kPupilA);
    QVERIFY(s.unsaved);
    QCOMPARE(readFile(s.workingCopy()), work);
}

void TestClassSession::savePupilMarksOnlyRealChanges() {
    ClassSession s;
    QVERIFY(s.open(classFile()).ok);
    QVERIFY(s.loadPupil(kPupilB).ok);
    const SqlDataList same = s.records();
    QVERIFY(s.savePupil(kPupilB, same).ok);
    QVERIFY(!s.unsaved);
    QVERIFY(!QFileInfo::exists(marker()));
    QCOMPARE(s.loadedTable(), kPupilB);
}

void TestClassSession::changedPeselReplacesTheTable() {
    ClassSession s;
    QVERIFY(s.open(classFile()).ok);
    QVERIFY(s.loadPupil(kPupilB).ok);
    const QString newTable = QStringLiteral("PESEL13252806570");
    QVERIFY(s.savePupil(newTable,
                        pupilRecords(QStringLiteral("Bąk"), QStringLiteral("Ola"), newTable.mid(5)),
                        kPupilB)
                .ok);
    QCOMPARE(s.loadedTable(), newTable);
    QStringList tables;
    for (const structStudentEntry &p : s.pupils())
        tables << p.table;
    tables.sort();
    QCOMPARE(tables, (QStringList{newTable, kPupilA}));
    QVERIFY(s.unsaved);
}

void TestClassSession::deletePupil() {
    ClassSession s;
    QVERIFY(s.open(classFile()).ok);
    QVERIFY(s.loadPupil(kPupilA).ok);
    QVERIFY(s.deletePupil(kPupilA).ok);
    QVERIFY(s.loadedTable().isEmpty());
    QVERIFY(s.records().isEmpty());
    QCOMPARE(s.pupils().size(), 1);
    QCOMPARE(s.pupils().first().table, kPupilB);
    QVERIFY(s.unsaved);
    QString markedPath;
    QVERIFY(s.findUnsavedWork(markedPath));
    QCOMPARE(markedPath, s.path());
}

void TestClassSession::saveFailureKeepsFileAndFlag_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("says");
    QTest::newRow("read-only file") << true << int(EACCES) << "tylko do odczytu";
    QTest::newRow("disk full") << false << int(EFBIG) << "Dane nie zostały zapisane";
}

void TestClassSession::saveFailureKeepsFileAndFlag() {
    QFETCH(bool, readOnly);
    QFETCH(int, error);
    QFETCH(QString, says);
#ifdef Q_OS_WIN
    if (!readOnly)
        QSKIP("needs a cap on file size (RLIMIT_FSIZE)");
#endif
    ClassSession s;
    QVERIFY(s.open(classFile()).ok);
    // Enough text that the class outgrows the cap below.
    QVERIFY(s.savePupil(kPupilA, pupilRecords(QStringLiteral("Żak"), QString(30000, QChar(u'ż')),
                                              kPupilA.mid(5)))
                .ok);
    const QByteArray before = readFile(classFile());
    if (readOnly)
        QVERIFY(QFile::setPermissions(classFile(), QFile::ReadOwner | QFile::ReadGroup));

    ClassFileOutcome out;
    {
#ifndef Q_OS_WIN
        FileSizeCap cap(readOnly ? RLIM_INFINITY : rlim_t(before.size()));
#endif
        out = s.save();
    }
    QVERIFY(!out.ok);
    QCOMPARE(out.notReplaceable, readOnly);
    QCOMPARE(out.error, error);
    QVERIFY(!out.messages.isEmpty());
    QVERIFY2(out.messages.first().text.contains(says), qPrintable(out.messages.first().text));
    QVERIFY(out.messages.first().text.contains(classFile()));
    // Her file is as it was, the work is still unsaved and marked.
    QCOMPARE(readFile(classFile()), before);
    if (readOnly)
        QCOMPARE(QFileInfo(classFile()).permissions() & QFile::WriteOwner, QFile::Permissions());
    QVERIFY(s.unsaved);
    QString markedPath;
    QVERIFY(s.findUnsavedWork(markedPath));
    QCOMPARE(markedPath, s.path());
    QCOMPARE(QDir(dir()).entryList(QDir::Files), QStringList{QStringLiteral("3a.sqbr5")});
}

void TestClassSession::saveAsNamesTheClass() {
    ClassSession s;
    QVERIFY(s.open(classFile()).ok);
    QVERIFY(s.deletePupil(kPupilA).ok);
    const QString target = m_files->filePath(QStringLiteral("kopia.sqbr5"));
#ifndef Q_OS_WIN // needs a cap on file size (RLIMIT_FSIZE)
    {
        // A failed "Zapisz jako" names nothing.
        FileSizeCap cap(512);
        const ClassFileOutcome failed = s.saveAs(target);
        QVERIFY(!failed.ok);
        QCOMPARE(failed.error, EFBIG);
    }
#endif
    QCOMPARE(s.path(), QFileInfo(classFile()).absoluteFilePath());
    QVERIFY(s.unsaved);
    QVERIFY(!QFileInfo::exists(target));

    QVERIFY(s.saveAs(target).ok);
    QCOMPARE(s.path(), target);
    QVERIFY(!s.unsaved);
    StudentList onDisk;
    QString msg;
    QVERIFY(bFunGetStudentsList(msg, target, onDisk));
    QCOMPARE(onDisk.size(), 1);
    onDisk.clear();
    QVERIFY(bFunGetStudentsList(msg, classFile(), onDisk));
    QCOMPARE(onDisk.size(), 2); // the file opened first is untouched
}

void TestClassSession::markerFollowsTheFlagAndThePath() {
    ClassSession s;
    QList<bool> told;
    s.onUnsavedChange = [&](bool on) { told << on; };
    QVERIFY(s.newClass().ok);
    QVERIFY(s.isOpen());
    QVERIFY(s.path().isEmpty());
    QVERIFY(s.pupils().isEmpty());
    QVERIFY(s.savePupil(kPupilA,
                        pupilRecords(QStringLiteral("Żak"), QStringLiteral("Ala"), kPupilA.mid(5)))
                .ok);
    QString markedPath = QStringLiteral("?");
    QVERIFY(s.findUnsavedWork(markedPath));
    QCOMPARE(markedPath, QString()); // a class never named
    s.setPath(classFile());
    QVERIFY(s.findUnsavedWork(markedPath));
    QCOMPARE(markedPath, classFile());
    s.unsaved = true; // no change, no second notice
    s.endNormally();
    QVERIFY(!s.findUnsavedWork(markedPath));
    QCOMPARE(told, QList<bool>{true});
}

void TestClassSession::unsavedWorkIsRecoveredOrSetAside() {
    {
        ClassSession crashed;
        QVERIFY(crashed.open(classFile()).ok);
        QVERIFY(crashed.deletePupil(kPupilB).ok);
    } // the run ends without a normal close
    ClassSession s;
    QString classPath;
    QVERIFY(s.findUnsavedWork(classPath));
    QCOMPARE(classPath, QFileInfo(classFile()).absoluteFilePath());
    QVERIFY(s.recoverUnsavedWork(classPath).ok);
    QVERIFY(s.unsaved);
    QCOMPARE(s.path(), classPath);
    QCOMPARE(s.pupils().size(), 1);

    ClassSession later;
    QString aside;
    QVERIFY(later.setAsideUnsavedWork(aside).ok);
    QVERIFY(QFileInfo(aside).fileName().startsWith(QLatin1String("odzyskane-")));
    StudentList kept;
    QString msg;
    QVERIFY(bFunGetStudentsList(msg, aside, kept));
    QCOMPARE(kept.size(), 1);
    QVERIFY(!later.findUnsavedWork(classPath));
}

void TestClassSession::importRunsIntoTheWorkingCopy() {
    ClassSession s;
    QVERIFY(s.open(classFile()).ok);
    const QByteArray work = readFile(s.workingCopy());
    const ClassFileOutcome refused = s.import([](QString &msg, const QString &) {
        msg = QStringLiteral("Plik nie zawiera danych uczniów.");
        return false;
    });
    QVERIFY(!refused.ok);
    QCOMPARE(refused.messages.value(0).text, QStringLiteral("Plik nie zawiera danych uczniów."));
    QCOMPARE(s.path(), QFileInfo(classFile()).absoluteFilePath());
    QCOMPARE(readFile(s.workingCopy()), work);
    QVERIFY(!s.unsaved);

    const ClassFileOutcome done = s.import([](QString &msg, const QString &workingCopy) {
        writeFile(workingCopy, QByteArray());
        return bFunSaveCertData(msg, workingCopy, QStringLiteral("PESEL17230300005"),
                                pupilRecords(QStringLiteral("Nowak"), QStringLiteral("Jan"),
                                             QStringLiteral("17230300005")));
    });
    QVERIFY(done.ok);
    QVERIFY(s.path().isEmpty());
    QVERIFY(s.unsaved);
    QCOMPARE(s.pupils().size(), 1);
    QCOMPARE(s.pupils().first().name, QStringLiteral("Nowak Jan"));
}

void TestClassSession::privateCopyLeavesTheWorkingCopyAlone() {
    ClassSession window;
    QVERIFY(window.open(classFile()).ok);
    QVERIFY(window.deletePupil(kPupilA).ok);
    const QByteArray work = readFile(window.workingCopy());
    const QByteArray mark = readFile(marker());

    QTemporaryDir scratch;
    ClassSession reader(scratch.filePath(QStringLiteral("klasa.sqbr5")));
    QVERIFY(reader.read(classFile()).ok);
    QCOMPARE(reader.pupils().size(), 2);
    QVERIFY(!reader.wasDamaged());
    QVERIFY(reader.unreadablePupils().isEmpty());
    const ClassFileOutcome missing = reader.read(m_files->filePath(QStringLiteral("brak.sqbr5")));
    QVERIFY(!missing.ok);
    QCOMPARE(missing.error, ENOENT);

    QCOMPARE(readFile(window.workingCopy()), work);
    QCOMPARE(readFile(marker()), mark);
}

QTEST_GUILESS_MAIN(TestClassSession)
#include "tst_classsession.moc"
