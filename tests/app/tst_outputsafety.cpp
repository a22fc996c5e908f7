#include "apptest.h"
#include "dialogs/tfdrukuj.h"
#include "support/classfile.h"
#include "support/noprinters.h"
#include "support/pdfraster.h"

#include <QProcess>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#ifndef Q_OS_WIN
#include <sys/resource.h>
#endif

// What the program writes never replaces the teacher's data: a PDF is never
// written over a class file or a file of the program, a PDF cut short
// replaces nothing, a save through a link writes the file it points to.
class TestOutputSafety : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void commandLinePdfNeverReplacesData_data();
    void commandLinePdfNeverReplacesData();
    void windowPdfNeverReplacesData_data();
    void windowPdfNeverReplacesData();
    void pdfCutShortReplacesNothing();
    void saveThroughALinkWritesItsFile();

private:
    struct Run {
        int status = -1;
        QString out, err;
    };
    // The program's command line; limit, when given, caps the size of a
    // file it may write (as a nearly full disk would).
    Run run(const QStringList &arguments, const QString &folder, qint64 limit = 0) const;

    std::unique_ptr<AppFixture> f;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_class;
};

namespace {

QByteArray contentOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString kCertificate = QString::fromUtf8("MEN-I/1/2 świad. klasa 1");

} // namespace

void TestOutputSafety::init() {
    f = std::make_unique<AppFixture>();
    // The check before printing has tests of its own.
    f->prompts.printAnyway = true;
    m_dir = std::make_unique<QTemporaryDir>();
    m_class = m_dir->filePath("klasa 3b.sqbr5");
    writeClassFile(m_class, {{"03", "Cis", "Adam"}, {"01", "Agrest", "Ewa"}, {"02", "Buk", "Jan"}});
}

void TestOutputSafety::cleanup() {
    f.reset();
    m_dir.reset();
}

TestOutputSafety::Run TestOutputSafety::run(const QStringList &arguments, const QString &folder,
                                            qint64 limit) const {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(folder);
#ifndef Q_OS_WIN
    if (limit > 0)
        program.setChildProcessModifier([limit] {
            const rlimit cap{rlim_t(limit), rlim_t(limit)};
            ::setrlimit(RLIMIT_FSIZE, &cap);
        });
#else
    Q_UNUSED(limit);
#endif
    program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/swiadectwa"),
                  arguments);
    Run r;
    if (!program.waitForFinished(60000) || program.exitStatus() != QProcess::NormalExit)
        return r;
    r.status = program.exitCode();
    r.out = QString::fromUtf8(program.readAllStandardOutput());
    r.err = QString::fromUtf8(program.readAllStandardError());
    return r;
}

// Every road to the class file, or to another database, is refused, with
// the reason; the file keeps every byte.
void TestOutputSafety::commandLinePdfNeverReplacesData_data() {
    QTest::addColumn<QString>("pdf"); // {class}, {dir} filled in; relative to {dir}
    QTest::addColumn<QString>("reason");
    QTest::newRow("the class file itself") << "{class}"
                                           << "plik klasy";
    QTest::newRow("by a relative path") << "klasa 3b.sqbr5"
                                        << "plik klasy";
    QTest::newRow("through ./ and ..") << "./sub/../klasa 3b.sqbr5"
                                       << "plik klasy";
    QTest::newRow("through a link") << "{dir}/link.pdf"
                                    << "plik klasy";
    QTest::newRow("another class named .pdf") << "{dir}/inna.pdf"
                                              << "baza danych";
    QTest::newRow("a folder") << "{dir}/sub"
                              << "folder";
    QTest::newRow("the program's settings")
        << "{program}/ustawienia.sqset" << QString::fromUtf8("należy do programu");
}

void TestOutputSafety::commandLinePdfNeverReplacesData() {
    QFETCH(QString, pdf);
    QFETCH(QString, reason);
#ifdef Q_OS_WIN
    if (pdf.contains(QStringLiteral("link.pdf")))
        QSKIP("QFile::link makes a shortcut (.lnk) on Windows, which the file system does not "
              "follow");
#endif
    const QString dir = m_dir->path();
    QDir(dir).mkdir("sub");
    QFile::link(m_class, dir + "/link.pdf");
    QFile::copy(m_class, dir + "/inna.pdf");
    f->env.installShipped("ustawienia.sqset");
    pdf.replace("{class}", m_class).replace("{dir}", dir).replace("{program}", f->env.programDir());
    const QString target = QFileInfo(pdf).isRelative() ? dir + '/' + pdf : pdf;
    const QByteArray before = contentOf(m_class), other = contentOf(dir + "/inna.pdf"),
                     settings = contentOf(f->env.programFile("ustawienia.sqset"));

    const Run r = run({"--pdf", pdf, "--dokument", kCertificate, m_class}, dir);
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.startsWith(QString::fromUtf8("Nie zapisano pliku PDF:\n")), qPrintable(r.err));
    QVERIFY2(r.err.contains(reason), qPrintable(r.err));
    QCOMPARE(r.out, QString());
    QCOMPARE(contentOf(m_class), before);
    QCOMPARE(contentOf(dir + "/inna.pdf"), other);
    QCOMPARE(contentOf(f->env.programFile("ustawienia.sqset")), settings);
#ifndef Q_OS_WIN
    QVERIFY(QFileInfo(dir + "/link.pdf").isSymLink());
#endif
    QVERIFY(QFileInfo(target).exists());
}

void TestOutputSafety::windowPdfNeverReplacesData_data() {
    QTest::addColumn<QString>("pdf"); // {class}: the open class file, {tmp}: its working copy
    QTest::addColumn<QString>("reason");
    QTest::newRow("the open class file") << "{class}"
                                         << "plik klasy";
    QTest::newRow("its working copy") << "{tmp}"
                                      << "plik klasy";
    QTest::newRow("a link to it") << "{dir}/link.pdf"
                                  << "plik klasy";
}

// "Plik PDF" in the print dialog: the refusal comes before any question
// whether to replace the file, and the dialog stays open for another name.
void TestOutputSafety::windowPdfNeverReplacesData() {
    QFETCH(QString, pdf);
    QFETCH(QString, reason);
#ifdef Q_OS_WIN
    if (pdf.contains(QStringLiteral("link.pdf")))
        QSKIP("QFile::link makes a shortcut (.lnk) on Windows, which the file system does not "
              "follow");
#endif
    QFile::link(m_class, m_dir->filePath("link.pdf"));
    pdf.replace("{class}", m_class).replace("{tmp}", f->tmp()).replace("{dir}", m_dir->path());
    TFGlowna *g = f->start();
    QVERIFY(g->StartUpChecks());
    f->prompts.clear();
    g->openCommandLineDocument(m_class);
    g->TreeView->setCurrentItem(g->TreeView->topLevelItem(0)->child(0));
    g->TreeViewClick();
    const QByteArray before = contentOf(m_class), working = contentOf(f->tmp());

    f->prompts.fileNames.enqueue(pdf);
    bool stayedOpen = false;
    QTimer::singleShot(0, [&] {
        auto *d = qobject_cast<TFDrukuj *>(QApplication::activeModalWidget());
        if (!d)
            return;
        d->DrukujButton->click();
        stayedOpen = d->isVisible();
        d->reject();
    });
    g->DrukujToolButtonClick();
    QVERIFY(stayedOpen);
    QList<ScriptedPrompts::Asked> messages;
    for (const ScriptedPrompts::Asked &a : f->prompts.asked)
        if (a.kind == "message")
            messages << a;
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].caption, QStringLiteral("Plik PDF"));
    QVERIFY2(messages[0].text.contains(reason), qPrintable(messages[0].text));
    QVERIFY(!messages[0].text.contains(QString::fromUtf8("zastąpić")));
    QCOMPARE(contentOf(m_class), before);
    QCOMPARE(contentOf(f->tmp()), working);
}

// A PDF that cannot be written whole (here: a file size the system refuses,
// as a nearly full disk does) replaces nothing, says why in Polish, is
// logged, and the command fails.
void TestOutputSafety::pdfCutShortReplacesNothing() {
#ifdef Q_OS_WIN
    QSKIP("needs a file size cap (RLIMIT_FSIZE), which Windows does not have");
#endif
    const QString pdf = m_dir->filePath("wynik.pdf");
    const QByteArray earlier = "%PDF-1.4 a good earlier file\n";
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(earlier);
    file.close();
    // Without a cap the three certificates take far more than the cap.
    const Run whole = run(
        {"--pdf", m_dir->filePath("ganz.pdf"), "--dokument", kCertificate, m_class}, m_dir->path());
    QCOMPARE(whole.status, 3); // written; the fixture's wide text is said
    // The cap lets the class file's working copy be written and stops the
    // PDF halfway between that size and its own.
    const qint64 full = QFileInfo(m_dir->filePath("ganz.pdf")).size();
    const qint64 classSize = QFileInfo(m_class).size();
    QVERIFY2(full > classSize + 8192,
             qPrintable(QStringLiteral("%1 %2").arg(full).arg(classSize)));
    const qint64 cap = (classSize + full) / 2;

    const Run r = run({"--pdf", pdf, "--dokument", kCertificate, m_class}, m_dir->path(), cap);
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.startsWith(QString::fromUtf8("Nie udało się zapisać pliku PDF:\n") + pdf),
             qPrintable(r.err));
    QVERIFY2(r.err.contains(QString::fromUtf8("za duży")), qPrintable(r.err));
    QVERIFY2(r.err.contains(QString::fromUtf8("pozostał bez zmian")), qPrintable(r.err));
    QCOMPARE(r.out, QString());
    QCOMPARE(contentOf(pdf), earlier);
    // No half-written temporary is left beside it.
    QCOMPARE(QDir(m_dir->path()).entryList({".zapis-*"}, QDir::Files | QDir::Hidden), {});
    bool logged = false;
    for (const LogRow &row : logRows(f->env.programDir()))
        logged |= row.info.contains(pdf);
    QVERIFY(logged);
}

// A class file kept as a link (on a stick, say): "Zapisz" writes the file
// the link points to, in its own folder, and the link stays a link.
void TestOutputSafety::saveThroughALinkWritesItsFile() {
#ifdef Q_OS_WIN
    QSKIP("QFile::link makes a shortcut (.lnk) on Windows, which the file system does not follow");
#endif
    QDir(m_dir->path()).mkdir("pendrive");
    const QString real = m_dir->filePath("pendrive/klasa.sqbr5");
    QVERIFY(QFile::rename(m_class, real));
    const QString link = m_dir->filePath("skrot.sqbr5");
    QVERIFY(QFile::link(real, link));
    TFGlowna *g = f->start();
    QVERIFY(g->StartUpChecks());
    f->prompts.clear();
    g->openCommandLineDocument(link);
    QCOMPARE(g->documentPath(), link);
    QString msg;
    QVERIFY(
        bFunSaveCertData(msg, f->tmp(), "PESEL04", {{"DANE UCZNIA", "Nazwisko_DATA_EDIT", "Lis"}}));
    g->DataChanged = true;
    g->Zapisz1Click();
    QVERIFY(!g->DataChanged);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(QFileInfo(link).symLinkTarget(), real);
    QVERIFY(pupilTables(real).contains("PESEL04"));
    QCOMPARE(QDir(m_dir->filePath("pendrive")).entryList(QDir::Files | QDir::Hidden),
             QStringList{"klasa.sqbr5"});
}

SW_TEST_MAIN_WITHOUT_PRINTERS(TestOutputSafety)

#include "tst_outputsafety.moc"
