#include "document/classsession.h"
#include "support/testenv.h"

#include <QtTest>

#include <cerrno>
#ifndef Q_OS_WIN
#include "support/filesizecap.h"
#endif

namespace {

SqlDataList pupilRecords(const QString &surname, const QString &first, const QString &pesel) {
    return {{QStringLiteral("DANE UCZNIA"), QStringLiteral("Nazwisko_DATA_EDIT"), surname},
            {QStringLiteral("DANE UCZNIA"), QStringLiteral("Imie_DATA_EDIT"), first},
            {QStringLiteral("DANE UCZNIA"), QStringLiteral("Pesel_DATA_EDIT"), pesel}};
}

// The n-th pupil of a test class: table and records.
QString pupilTable(int n) {
    return QStringLiteral("PESEL1421051%1").arg(n, 4, 10, QLatin1Char('0'));
}

void addPupil(ClassSession &s, int n, const QString &first = QStringLiteral("Ala")) {
    const QString table = pupilTable(n);
    QVERIFY(
        s.savePupil(table, pupilRecords(QStringLiteral("Uczeń%1").arg(n), first, table.mid(5))).ok);
}

int pupilsIn(const QString &path) {
    StudentList pupils;
    QString msg;
    return bFunGetStudentsList(msg, path, pupils) ? int(pupils.size()) : -1;
}

// Every file under a folder (hidden ones too) with its bytes.
QMap<QString, QByteArray> snapshot(const QString &dir) {
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path, readFile(path));
    }
    return files;
}

} // namespace

class TestClassVersions : public QObject {
    Q_OBJECT
private slots:
    void init();
    void saveKeepsTheReplacedContent();
    void firstSaveKeepsNoVersion();
    void onlyTheLastTenStay();
    void versionOpensAsUnsavedAndSavesBack();
    void damagedVersionLeavesTheClass();
    void failedSaveChangesNothing_data();
    void failedSaveChangesNothing();
    void versionThatCannotBeKeptDoesNotStopTheSave();
    void eachFileHasItsOwnVersions();

private:
    QString classFile(const QString &name = QStringLiteral("3a.sqbr5")) const {
        return m_files->filePath(name);
    }
    QString versionsRoot() const { return m_env->programFile(QStringLiteral("wersje")); }
    // A class file of `count` pupils, saved through a session.
    void writeClass(const QString &path, int count);

    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<QTemporaryDir> m_files;
};

void TestClassVersions::init() {
    m_env = std::make_unique<TestEnv>();
    QVERIFY(QDir().mkpath(m_env->programDir()));
    m_files = std::make_unique<QTemporaryDir>();
    writeClass(classFile(), 2);
}

void TestClassVersions::writeClass(const QString &path, int count) {
    ClassSession s;
    QVERIFY(s.newClass().ok);
    for (int i = 1; i <= count; ++i)
        addPupil(s, i);
    QVERIFY(s.saveAs(path).ok);
}

void TestClassVersions::saveKeepsTheReplacedContent() {
    QVERIFY(classVersions(classFile()).isEmpty());
    const QByteArray first = readFile(classFile());
    const QDateTime firstSaved(QDate(2027, 6, 20), QTime(14, 3, 5));
    {
        QFile f(classFile());
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(firstSaved, QFileDevice::FileModificationTime));
    }
    ClassSession s;
    QVERIFY(s.open(classFile()).ok);
    addPupil(s, 3);
    const ClassFileOutcome saved = s.save();
    QVERIFY(saved.ok);
    QVERIFY(saved.messages.isEmpty());
    QList<ClassVersion> versions = s.versions();
    QCOMPARE(versions.size(), 1);
    QCOMPARE(readFile(versions[0].path), first);
    QCOMPARE(versions[0].pupils, 2);
    QCOMPARE(versions[0].saved, firstSaved);

    const QByteArray second = readFile(classFile());
    addPupil(s, 4);
    QVERIFY(s.save().ok);
    versions = s.versions();
    QCOMPARE(versions.size(), 2);
    QCOMPARE(readFile(versions[0].path), second); // newest first
    QCOMPARE(versions[0].pupils, 3);
    QCOMPARE(readFile(versions[1].path), first);

    // Saving what the file holds already keeps no twin of it.
    QVERIFY(s.save().ok);
    QCOMPARE(s.versions().size(), 2);
}

void TestClassVersions::firstSaveKeepsNoVersion() {
    ClassSession s;
    QVERIFY(s.newClass().ok);
    addPupil(s, 1);
    const QString target = classFile(QStringLiteral("nowa.sqbr5"));
    QVERIFY(s.saveAs(target).ok);
    QVERIFY(s.versions().isEmpty());
    QVERIFY(!QFileInfo::exists(versionsRoot()));

    // "Zapisz jako" over another existing file keeps that file's content.
    const QByteArray other = readFile(classFile());
    QVERIFY(s.saveAs(classFile()).ok);
    const QList<ClassVersion> versions = s.versions();
    QCOMPARE(versions.size(), 1);
    QCOMPARE(readFile(versions[0].path), other);
    QCOMPARE(versions[0].pupils, 2);
    QVERIFY(classVersions(target).isEmpty());
}

void TestClassVersions::onlyTheLastTenStay() {
    ClassSession s;
    QVERIFY(s.open(classFile()).ok);
    // Save k replaces a file of 2 + k - 1 pupils.
    for (int k = 1; k <= 12; ++k) {
        addPupil(s, 2 + k);
        QVERIFY(s.save().ok);
    }
    QList<int> counts;
    for (const ClassVersion &v : s.versions()) {
        counts << v.pupils;
        QCOMPARE(pupilsIn(v.path), v.pupils);
    }
    QCOMPARE(counts, (QList<int>{13, 12, 11, 10, 9, 8, 7, 6, 5, 4}));
    // Nothing else is left in the folder but the note naming the file.
    QString msg;
    QCOMPARE(
        QDir(strFunClassVersionsDir(msg, classFile())).entryList(QDir::Files | QDir::Hidden).size(),
        kKeptClassVersions + 1);
}

void TestClassVersions::versionOpensAsUnsavedAndSavesBack() {
    ClassSession s;
    QVERIFY(s.open(classFile()).ok);
    addPupil(s, 3);
    QVERIFY(s.save().ok);
    addPupil(s, 4);
    QVERIFY(s.save().ok);
    const QByteArray current = readFile(classFile());
    const ClassVersion oldest = s.versions().last();
    QCOMPARE(oldest.pupils, 2);

    QVERIFY(s.loadPupil(pupilTable(4)).ok);
    const ClassFileOutcome out = s.openVersion(oldest.path);
    QVERIFY(out.ok);
    QVERIFY(!out.readOnly);
    QCOMPARE(s.path(), QFileInfo(classFile()).absoluteFilePath());
    QVERIFY(s.unsaved);
    QString marked;
    QVERIFY(s.findUnsavedWork(marked));
    QCOMPARE(marked, s.path());
    QCOMPARE(s.pupils().size(), 2);
    QVERIFY(s.loadedTable().isEmpty());
    // Her file changes only on "Zapisz".
    QCOMPARE(readFile(classFile()), current);
    QCOMPARE(s.versions().size(), 2);

    QVERIFY(s.save().ok);
    QVERIFY(!s.unsaved);
    QCOMPARE(pupilsIn(classFile()), 2);
    const QList<ClassVersion> versions = s.versions();
    QCOMPARE(versions.size(), 3);
    QCOMPARE(readFile(versions[0].path), current);
    QCOMPARE(versions[0].pupils, 4);
}

void TestClassVersions::damagedVersionLeavesTheClass() {
    ClassSession s;
    QVERIFY(s.open(classFile()).ok);
    addPupil(s, 3);
    QVERIFY(s.save().ok);
    addPupil(s, 4);
    const QByteArray work = readFile(s.workingCopy());
    const QString version = s.versions().first().path;
    writeFile(version, QByteArray("To nie jest plik klasy.\n"));

    const ClassFileOutcome out = s.openVersion(version);
    QVERIFY(!out.ok);
    QVERIFY(!out.messages.isEmpty());
    QVERIFY(out.messages.first().text.contains(QString::fromUtf8("To nie jest plik świadectw")));
    QCOMPARE(readFile(s.workingCopy()), work);
    QCOMPARE(s.pupils().size(), 4);
    QCOMPARE(s.path(), QFileInfo(classFile()).absoluteFilePath());
    QVERIFY(s.unsaved);
}

void TestClassVersions::failedSaveChangesNothing_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("read-only file") << true;
    QTest::newRow("disk full") << false;
}

void TestClassVersions::failedSaveChangesNothing() {
    QFETCH(bool, readOnly);
#ifdef Q_OS_WIN
    if (!readOnly)
        QSKIP("needs a cap on file size (RLIMIT_FSIZE)");
#endif
    ClassSession s;
    QVERIFY(s.open(classFile()).ok);
    addPupil(s, 3);
    QVERIFY(s.save().ok);
    // Enough text that the class outgrows the cap below.
    addPupil(s, 4, QString(30000, QChar(u'ż')));
    const QByteArray before = readFile(classFile());
    const QMap<QString, QByteArray> kept = snapshot(versionsRoot());
    QCOMPARE(kept.size(), 2); // one version and the note
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
    QCOMPARE(out.error, readOnly ? EACCES : EFBIG);
    QCOMPARE(readFile(classFile()), before);
    QCOMPARE(snapshot(versionsRoot()), kept);
    QVERIFY(s.unsaved);
    QCOMPARE(s.pupils().size(), 4);
}

void TestClassVersions::versionThatCannotBeKeptDoesNotStopTheSave() {
    // A file where the versions' folder belongs: no version can be made.
    writeFile(versionsRoot(), QByteArray("zajęte"));
    ClassSession s;
    QVERIFY(s.open(classFile()).ok);
    addPupil(s, 3);
    const ClassFileOutcome out = s.save();
    QVERIFY(out.ok);
    QVERIFY(!s.unsaved);
    QCOMPARE(pupilsIn(classFile()), 3);
    QCOMPARE(out.messages.size(), 1);
    QCOMPARE(out.messages[0].icon, Prompts::Icon::Warning);
    QVERIFY(out.messages[0].text.contains(QString::fromUtf8("poprzedniej wersji")));
    QVERIFY(s.versions().isEmpty());
}

void TestClassVersions::eachFileHasItsOwnVersions() {
#ifdef Q_OS_WIN
    QSKIP("needs symbolic links (QFile::link makes a shortcut on Windows)");
#endif
    const QString other = classFile(QStringLiteral("3b.sqbr5"));
    writeClass(other, 5);
    const QString link = classFile(QStringLiteral("skrot.sqbr5"));
    QVERIFY(QFile::link(classFile(), link));

    ClassSession a;
    QVERIFY(a.open(link).ok); // through a link: the file it names
    addPupil(a, 3);
    QVERIFY(a.save().ok);
    ClassSession b;
    QVERIFY(b.open(other).ok);
    QVERIFY(b.deletePupil(pupilTable(1)).ok);
    QVERIFY(b.save().ok);
    QVERIFY(b.deletePupil(pupilTable(2)).ok);
    QVERIFY(b.save().ok);

    QCOMPARE(classVersions(classFile()).size(), 1);
    QCOMPARE(classVersions(link).size(), 1);
    QCOMPARE(classVersions(classFile()).first().path, classVersions(link).first().path);
    QCOMPARE(classVersions(classFile()).first().pupils, 2);
    const QList<ClassVersion> ofOther = classVersions(other);
    QCOMPARE(ofOther.size(), 2);
    QCOMPARE(ofOther[0].pupils, 4);
    QCOMPARE(ofOther[1].pupils, 5);
}

QTEST_GUILESS_MAIN(TestClassVersions)
#include "tst_classversions.moc"
