// Saving where the teacher may not write. Root may write anywhere, so when
// the tests run as root (as in CI) this program prepares a file that belongs
// to root and runs itself again as the unprivileged user "nobody".
#include "apptest.h"

#include "document/classfile.h"

#include <QDirIterator>
#include <QtTest>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;
const char *const kForeignDirVar = "SW_TEST_FOREIGN_DIR";

} // namespace

class TestUnprivileged : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void saveIntoReadOnlyFolderKeepsTheWork();
    void anotherUsersFileIsNotReplaced_data();
    void anotherUsersFileIsNotReplaced();
    void ownReadOnlyFileStaysReadOnly_data();
    void ownReadOnlyFileStaysReadOnly();

private:
    std::unique_ptr<AppFixture> f;
    std::unique_ptr<QTemporaryDir> docs;
};

void TestUnprivileged::init() {
    if (::geteuid() == 0)
        QSKIP("runs as an unprivileged user only");
    f = std::make_unique<AppFixture>();
    docs = std::make_unique<QTemporaryDir>();
    QVERIFY(f->start()->StartUpChecks());
    f->prompts.clear();
}

void TestUnprivileged::cleanup() {
    if (docs)
        ::chmod(QFile::encodeName(docs->path()).constData(), 0700);
    f.reset();
    docs.reset();
}

void TestUnprivileged::saveIntoReadOnlyFolderKeepsTheWork() {
    const QString classFile = docs->filePath("klasa.sqbr5");
    makeClassFile(classFile, {{"11111111111", "Agrest", "Adam"}});
    TFGlowna *g = f->g();
    g->openCommandLineDocument(classFile);
    const QByteArray before = readFile(classFile);
    QString msg;
    QVERIFY(bFunSaveCertData(msg, f->tmp(), "PESEL22222222222",
                             {{"DANE UCZNIA", "Nazwisko_DATA_EDIT", "Lis"}}));
    g->DataChanged = true;
    QCOMPARE(::chmod(QFile::encodeName(docs->path()).constData(), 0555), 0);

    g->Zapisz1Click();
    QCOMPARE(f->prompts.messages().size(), 1);
    const QString text = f->prompts.messages()[0];
    QVERIFY2(text.contains(QString::fromUtf8("Brak uprawnień do zapisu w tym folderze")),
             qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Kod błędu: %1").arg(EACCES)));
    QVERIFY(g->DataChanged); // still unsaved: closing will ask
    QCOMPARE(readFile(classFile), before);
    // Closing offers the save again.
    f->prompts.clear();
    f->prompts.answers.enqueue(Prompts::Answer::No); // do not save
    f->prompts.answers.enqueue(Prompts::Answer::No); // do not quit
    g->close();
    QCOMPARE(f->prompts.asked[0].text, QStringLiteral("Czy chcesz zapisać zmiany ?"));
}

void TestUnprivileged::anotherUsersFileIsNotReplaced_data() {
    QTest::addColumn<bool>("saveAs");
    QTest::newRow("Nie: nothing is written") << false;
    QTest::newRow("Tak: saved under another name") << true;
}

void TestUnprivileged::anotherUsersFileIsNotReplaced() {
    QFETCH(bool, saveAs);
    const QByteArray dir = qgetenv(kForeignDirVar);
    if (dir.isEmpty())
        QSKIP("needs a file of another user, prepared when the tests run as root");
    const QString foreign = QFile::decodeName(dir) + QStringLiteral("/obcy.sqbr5");
    struct stat before {};
    QCOMPARE(::stat(QFile::encodeName(foreign).constData(), &before), 0);
    QVERIFY(before.st_uid != ::geteuid());
    const QByteArray content = readFile(foreign);

    TFGlowna *g = f->g();
    g->openCommandLineDocument(foreign);
    QCOMPARE(g->documentPath(), foreign);
    // Opening changes nothing and asks nothing; the status bar says it.
    QVERIFY(f->prompts.asked.isEmpty());
    QVERIFY(g->statusNotice().contains(QString::fromUtf8("tylko do odczytu")));
    QString msg;
    QVERIFY(bFunSaveCertData(msg, f->tmp(), "PESEL22222222222",
                             {{"DANE UCZNIA", "Nazwisko_DATA_EDIT", "Lis"}}));
    g->DataChanged = true;
    f->prompts.clear();
    const QString other = docs->filePath("moja.sqbr5");
    f->prompts.answers.enqueue(saveAs ? Prompts::Answer::Yes : Prompts::Answer::No);
    f->prompts.fileNames.enqueue(other);
    g->Zapisz1Click();

    QCOMPARE(f->prompts.asked[0].caption, QStringLiteral("Zapis"));
    QVERIFY(f->prompts.asked[0].text.contains(QString::fromUtf8("należy do innego użytkownika")));
    QVERIFY(f->prompts.asked[0].text.contains(QStringLiteral("Zapisz jako")));
    struct stat after {};
    QCOMPARE(::stat(QFile::encodeName(foreign).constData(), &after), 0);
    QCOMPARE(after.st_uid, before.st_uid); // same owner, same mode, same bytes
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(readFile(foreign), content);
    if (saveAs) {
        QCOMPARE(pupilTables(other), QStringList({"PESEL11111111111", "PESEL22222222222"}));
        QCOMPARE(g->documentPath(), other);
        QVERIFY(!g->DataChanged);
    } else {
        QVERIFY(!QFileInfo::exists(other));
        QVERIFY(g->DataChanged);
    }
}

void TestUnprivileged::ownReadOnlyFileStaysReadOnly_data() {
    QTest::addColumn<bool>("saveAs");
    QTest::newRow("Nie: nothing is written") << false;
    QTest::newRow("Tak: saved under another name") << true;
}

// The protection she set on her own file is hers: opening and saving keep it,
// and "Zapisz" leads to "Zapisz jako".
void TestUnprivileged::ownReadOnlyFileStaysReadOnly() {
    QFETCH(bool, saveAs);
    const QString classFile = docs->filePath("klasa.sqbr5");
    makeClassFile(classFile, {{"11111111111", "Agrest", "Adam"}});
    QCOMPARE(::chmod(QFile::encodeName(classFile).constData(), 0444), 0);
    const QByteArray content = readFile(classFile);
    TFGlowna *g = f->g();
    g->openCommandLineDocument(classFile);
    QCOMPARE(g->documentPath(), classFile);
    QVERIFY(f->prompts.messages().isEmpty());
    QVERIFY(g->statusNotice().contains(QString::fromUtf8("tylko do odczytu")));
    QCOMPARE(QFileInfo(classFile).permissions() & QFileDevice::WriteOwner,
             QFileDevice::Permissions());
    g->DataChanged = true;
    const QString other = docs->filePath("kopia.sqbr5");
    f->prompts.answers.enqueue(saveAs ? Prompts::Answer::Yes : Prompts::Answer::No);
    f->prompts.fileNames.enqueue(other);
    g->Zapisz1Click();
    QCOMPARE(f->prompts.asked[0].caption, QStringLiteral("Zapis"));
    QVERIFY(f->prompts.asked[0].text.contains(QString::fromUtf8("tylko do odczytu")));
    QVERIFY(f->prompts.asked[0].text.contains(QStringLiteral("Zapisz jako")));
    QCOMPARE(QFileInfo(classFile).permissions() & QFileDevice::WriteOwner,
             QFileDevice::Permissions());
    QCOMPARE(readFile(classFile), content);
    QCOMPARE(QFileInfo::exists(other), saveAs);
    QCOMPARE(bool(g->DataChanged), !saveAs);
}

// As root: a folder of nobody's holding a class file of root's, then the
// tests again as nobody.
static int runAsNobody(int argc, char **argv) {
    char folder[] = "/tmp/sw-obcy-XXXXXX";
    if (!::mkdtemp(folder))
        return 1;
    const QString foreign = QFile::decodeName(folder) + QStringLiteral("/obcy.sqbr5");
    makeClassFile(foreign, {{"11111111111", "Agrest", "Adam"}});
    ::chmod(QFile::encodeName(foreign).constData(), 0644);
    if (::chown(folder, kNobody, kNobody) != 0 || ::chmod(folder, 0755) != 0)
        return 1;
    // A runtime folder of nobody's own, as a desktop session gives.
    static char runtime[] = "/tmp/sw-run-XXXXXX";
    if (!::mkdtemp(runtime) || ::chown(runtime, kNobody, kNobody) != 0)
        return 1;
    ::setenv("XDG_RUNTIME_DIR", runtime, 1);
    ::setenv(kForeignDirVar, folder, 1);
    ::setenv("HOME", "/tmp", 1);
    // The checkout may lie where nobody cannot read (/root): this program and
    // the data beside it go to a folder that nobody can.
    static char copy[] = "/tmp/sw-prog-XXXXXX";
    if (!::mkdtemp(copy) || ::chmod(copy, 0755) != 0)
        return 1;
    {
        int argcCopy = 1;
        QCoreApplication app(argcCopy, argv);
        copyShippedData(QFile::decodeName(copy));
        const QString self = QCoreApplication::applicationFilePath();
        const QString target = QFile::decodeName(copy) + '/' + QFileInfo(self).fileName();
        if (!QFile::copy(self, target))
            return 1;
        QDirIterator it(QFile::decodeName(copy), QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            ::chmod(QFile::encodeName(path).constData(), 0755);
        }
    }
    const QByteArray program = QByteArray(copy) + '/' +
                               QFileInfo(QString::fromLocal8Bit(argv[0])).fileName().toLocal8Bit();
    const pid_t child = ::fork();
    if (child == 0) {
        QList<QByteArray> args{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                               "--",      program};
        for (int i = 1; i < argc; ++i)
            args << argv[i];
        QList<char *> raw;
        for (QByteArray &a : args)
            raw << a.data();
        raw << nullptr;
        ::execvp("setpriv", raw.data());
        ::_exit(127);
    }
    int status = 1;
    ::waitpid(child, &status, 0);
    QDir(QFile::decodeName(folder)).removeRecursively();
    QDir(QFile::decodeName(runtime)).removeRecursively();
    QDir(QFile::decodeName(copy)).removeRecursively();
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

int main(int argc, char **argv) {
    if (::geteuid() == 0)
        return runAsNobody(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestUnprivileged test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_unprivileged.moc"
