#include "app/startup.h"
#include "apptest.h"
#include "dialogs/tfdrukuj.h"
#include "dialogs/tfdrukujklase.h"
#include "printing/calibstore.h"
#include "storage/settings.h"
#include "support/classfile.h"
#include "support/noprinters.h"
#include "support/pdfraster.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

// Written: cleanly (0), or with what would print wrong said (3).
static bool written(int status) {
    return status == 0 || status == 3;
}

// The whole class from the main window and from the command line: the
// window's roads to the choice, the command line's exit statuses and
// messages, its PDF against the window's, what it leaves untouched, and a
// run beside the window program.
class TestWholeClass : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void roadsFromTheWindow();
    void commandLine_data();
    void commandLine();
    void helpListsOptionsAndDocuments();
    void sameAsTheWindow();
    void printOptionsFromTheSettings_data();
    void printOptionsFromTheSettings();
    void marginSetLastUsed();
    void firstRunTouchesNothingOfTheWindow();
    void besideTheWindowProgram();

private:
    struct Run {
        int status = -1;
        QString out, err;
    };
    // The program with these arguments, without a display.
    Run run(const QStringList &arguments) const;
    // The whole class's certificates by the command line into a PDF file.
    Run runClass(const QString &pdf, const QStringList &more = {}) const;
    QString certificate() const { return QString::fromUtf8("MEN-I/1/2 świad. klasa 1"); }

    std::unique_ptr<AppFixture> f;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_class;
};

void TestWholeClass::init() {
    f = std::make_unique<AppFixture>();
    // The check before printing has tests of its own.
    f->prompts.printAnyway = true;
    m_dir = std::make_unique<QTemporaryDir>();
    m_class = m_dir->filePath("klasa 3b.sqbr5");
    writeClassFile(m_class, {{"03", "Cis", "Adam"}, {"01", "Agrest", "Ewa"}, {"02", "Buk", "Jan"}});
}

void TestWholeClass::cleanup() {
    f.reset();
    m_dir.reset();
}

TestWholeClass::Run TestWholeClass::run(const QStringList &arguments) const {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(environment);
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

TestWholeClass::Run TestWholeClass::runClass(const QString &pdf, const QStringList &more) const {
    return run(QStringList{"--pdf", pdf, "--dokument", certificate()} + more +
               QStringList{m_class});
}

void TestWholeClass::roadsFromTheWindow() {
    TFGlowna *g = f->start();
    QVERIFY(g->StartUpChecks());
    g->openCommandLineDocument(m_class);
    f->prompts.clear();
    auto *button = g->findChild<QToolButton *>("DrukujKlaseToolButton");
    QVERIFY(button);
    QCOMPARE(button->toolTip(), QString::fromUtf8("Drukuj dla całej klasy"));
    QCOMPARE(button->accessibleName(), button->toolTip());
    QAction *entry = g->findChild<QAction *>("Drukujdlacalejklasy1");
    QVERIFY(entry);
    QCOMPARE(entry->text(), QString::fromUtf8("Drukuj dla &całej klasy…"));
    QVERIFY(g->findChild<QMenu *>("wiadectwa1")->actions().contains(entry));

    // The selected document is chosen, the pupils listed as the tree lists them.
    g->TreeView->setCurrentItem(g->TreeView->topLevelItem(1)->child(3));
    for (const std::function<void()> &road : std::initializer_list<std::function<void()>>{
             [button] { button->click(); }, [entry] { entry->trigger(); }}) {
        QStringList listed;
        QString chosen;
        QTimer::singleShot(0, [&] {
            auto *choice = qobject_cast<TFDrukujKlase *>(QApplication::activeModalWidget());
            QVERIFY(choice);
            for (int i = 0; i < choice->UczniowieListWidget->count(); ++i)
                listed << choice->UczniowieListWidget->item(i)->text();
            chosen = choice->chosenDocument()->labelText();
            choice->AnulujButton->click();
        });
        road();
        QCOMPARE(listed, (QStringList{"Agrest Ewa", "Buk Jan", "Cis Adam"}));
        QCOMPARE(chosen, QString::fromUtf8("wywiadówka"));
    }
    QCOMPARE(f->prompts.messages().join("|"), QString());
}

void TestWholeClass::commandLine_data() {
    QTest::addColumn<QStringList>("arguments"); // {class}, {pdf}, {dir} are filled in
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error"); // the start of standard error
    QTest::addColumn<int>("pages");     // of the PDF file written; 0: none
    QTest::addColumn<int>("pupils");    // printed
    const QString cert = QString::fromUtf8("MEN-I/1/2 świad. klasa 1");
    const QStringList base{"--pdf", "{pdf}", "--dokument", cert};
    // The fixture's pupils have a text wider than its field: written, and said (status 3).
    QTest::newRow("whole class") << base + QStringList{"{class}"} << 3 << "Uwaga: " << 6 << 3;
    QTest::newRow("one pupil, values after =")
        << QStringList{"--pdf={pdf}", "--dokument=" + cert, "--uczen=02", "{class}"} << 3
        << "Uwaga: " << 2 << 1;
    QTest::newRow("pupils in the class's order, each once")
        << base + QStringList{"--uczen", "03", "--uczen", "01", "--uczen", "03", "{class}"} << 3
        << "Uwaga: " << 4 << 2;
    QTest::newRow("one-sided document")
        << QStringList{"--pdf", "{pdf}", "--dokument", QString::fromUtf8("wywiadówka"), "{class}"}
        << 3 << "Uwaga: " << 3 << 3;
    QTest::newRow("unknown document")
        << QStringList{"--pdf", "{pdf}", "--dokument", "MEN-I/1/2 klasa 4", "{class}"} << 2
        << QString::fromUtf8("Nieznany dokument: „MEN-I/1/2 klasa 4”\nDokumenty:\n  MEN-I/1/2 "
                             "świad. klasa 1\n")
        << 0 << 0;
    QTest::newRow("unknown PESEL")
        << base + QStringList{"--uczen", "01", "--uczen", "99", "{class}"} << 2
        << QString::fromUtf8("Nieznany PESEL: 99. W pliku klasy „{class}” nie ma ucznia o tym "
                             "numerze PESEL.\n")
        << 0 << 0;
    QTest::newRow("no such class file")
        << base + QStringList{"{dir}/brak.sqbr5"} << 2
        << QString::fromUtf8("Nie można odczytać pliku klasy „{dir}/brak.sqbr5”: plik nie "
                             "istnieje.\n")
        << 0 << 0;
    QTest::newRow("not a class file")
        << base + QStringList{"{dir}/tekst.sqbr5"} << 2
        << QString::fromUtf8("Nie można odczytać pliku klasy „{dir}/tekst.sqbr5”: to nie jest "
                             "plik klasy albo jest uszkodzony.\n")
        << 0 << 0;
    QTest::newRow("a folder for the class file")
        << base + QStringList{"{dir}"} << 2
        << QString::fromUtf8("Nie można odczytać pliku klasy „{dir}”: to nie jest plik.\n") << 0
        << 0;
    QTest::newRow("class without pupils")
        << base + QStringList{"{dir}/pusta.sqbr5"} << 2
        << QString::fromUtf8("W pliku klasy „{dir}/pusta.sqbr5” nie ma żadnego ucznia.\n") << 0
        << 0;
    QTest::newRow("unknown option") << base + QStringList{"--kolor", "{class}"} << 2
                                    << QString::fromUtf8("Nieznana opcja: --kolor\nOpcje "
                                                         "programu pokazuje: swiadectwa --help\n")
                                    << 0 << 0;
    QTest::newRow("value missing") << QStringList{"{class}", "--dokument", cert, "--pdf"} << 2
                                   << QString::fromUtf8("Brak wartości po opcji --pdf\n") << 0 << 0;
    QTest::newRow("value missing before the next option")
        << QStringList{"--pdf", "--dokument", cert, "{class}"} << 2
        << QString::fromUtf8("Brak wartości po opcji --pdf\n") << 0 << 0;
    QTest::newRow("no PDF file named")
        << QStringList{"--dokument", cert, "{class}"} << 2
        << QString::fromUtf8("Nie podano pliku PDF do zapisania (--pdf PLIK.pdf).\n") << 0 << 0;
    QTest::newRow("no document named")
        << QStringList{"--pdf", "{pdf}", "{class}"} << 2
        << QString::fromUtf8("Nie podano dokumentu (--dokument NAZWA).\n") << 0 << 0;
    QTest::newRow("no class file named")
        << base << 2 << QString::fromUtf8("Nie podano pliku klasy (.sqbr5).\n") << 0 << 0;
    QTest::newRow("two class files")
        << base + QStringList{"{class}", "{class}"} << 2
        << QString::fromUtf8("Podano więcej niż jeden plik klasy: ") << 0 << 0;
    QTest::newRow("unknown margin set")
        << base + QStringList{"--ustawienia", "Nie ma", "{class}"} << 2
        << QString::fromUtf8("Nieznane ustawienia wydruku: „Nie ma”\nUstawienia wydruku:\n  ") << 0
        << 0;
    QTest::newRow("PDF folder missing")
        << QStringList{"--pdf", "{dir}/brak/klasa.pdf", "--dokument", cert, "{class}"} << 1
        << QString::fromUtf8("Nie udało się zapisać pliku PDF:\n{dir}/brak/klasa.pdf\nPowód: Plik "
                             "lub folder nie istnieje.")
        << 0 << 0;
    QTest::newRow("a pupil that cannot be read")
        << base + QStringList{"{dir}/zepsuta.sqbr5"} << 1
        << QString::fromUtf8("Plik klasy jest uszkodzony:\n{dir}/zepsuta.sqbr5\n\nProgram "
                             "pokaże tych uczniów, których dane da się odczytać. Sprawdź ich "
                             "dane i poproś autora pliku o nową kopię.\nNie udało się odczytać "
                             "danych uczniów: PESEL04; plik może być uszkodzony.\n")
        << 6 << 3;
}

void TestWholeClass::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, error);
    QFETCH(int, pages);
    QFETCH(int, pupils);
    const QString dir = m_dir->path();
    writeFile(dir + "/tekst.sqbr5", "To nie jest baza danych, tylko zwykły tekst.\n");
    writeFile(dir + "/pusta.sqbr5", QByteArray());
    QFile::copy(m_class, dir + "/zepsuta.sqbr5");
    addClassPupils(dir + "/zepsuta.sqbr5", {{"04", "Dab", "Ewa"}});
    zeroPupilPage(dir + "/zepsuta.sqbr5", "PESEL04");
    const QString pdf = dir + "/wynik.pdf";
    for (QString &a : arguments)
        a.replace("{class}", m_class).replace("{pdf}", pdf).replace("{dir}", dir);
    error.replace("{class}", m_class).replace("{dir}", dir);

    const Run r = run(arguments);
    QCOMPARE(r.status, status);
    if (error.isEmpty())
        QCOMPARE(r.err, QString());
    else
        QVERIFY2(r.err.startsWith(error), qPrintable(r.err));
    QCOMPARE(pdfPageCount(pdf), pages > 0 ? pages : -1);
    // The stamp's picture is in the file once, however many pupils print it.
    if (pages > 0)
        QVERIFY(readFile(pdf).count("/Subtype /Image") <= 1);
    // A summary on standard output when a file was written, nothing otherwise.
    if (pages > 0)
        QCOMPARE(r.out, QString::fromUtf8("Zapisano plik PDF: %1 (uczniów: %2, stron: %3)\n")
                            .arg(pdf)
                            .arg(pupils)
                            .arg(pages));
    else
        QCOMPARE(r.out, QString());
}

void TestWholeClass::helpListsOptionsAndDocuments() {
    const Run r = run({"--help"});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.err, QString());
    const QStringList lines = r.out.split('\n');
    for (const char *option :
         {"--pdf PLIK", "--dokument NAZWA", "--uczen PESEL", "--ustawienia NAZWA",
          "--bez-kropek, --nie-bez-kropek", "--wykresuj-puste, --nie-wykresuj-puste",
          "--ogranicz, --nie-ogranicz", "--help", "--version"})
        QVERIFY2(r.out.contains(QString::fromUtf8(option)), option);
    int documents = 0;
    for (const DocumentInfo *row : treeRows()) {
        if (!row)
            continue;
        QVERIFY2(lines.contains("  " + row->labelText()), row->label);
        ++documents;
    }
    QCOMPARE(documents, 13);
    // Asking for help makes no program folder.
    QVERIFY(!QFileInfo::exists(f->env.programDir()));
}

void TestWholeClass::sameAsTheWindow() {
    TFGlowna *g = f->start();
    QVERIFY(g->StartUpChecks());
    g->openCommandLineDocument(m_class);
    f->prompts.clear();
    const QString windowPdf = m_dir->filePath("okno.pdf");
    f->prompts.fileNames.enqueue(windowPdf);
    QTimer::singleShot(0, [this] {
        auto *choice = qobject_cast<TFDrukujKlase *>(QApplication::activeModalWidget());
        QVERIFY(choice);
        QTimer::singleShot(0, [this] {
            TFDrukuj *d = f->windows.drukuj;
            QCOMPARE(QApplication::activeModalWidget(), d);
            QCOMPARE(d->DrukarkiComboBox->currentText(), TFDrukuj::pdfDestination());
            d->DrukujButton->click();
        });
        choice->DokumentComboBox->setCurrentText(certificate());
        choice->DalejButton->click();
    });
    g->DrukujDlaKlasyClick();
    QCOMPARE(f->prompts.messages(), QStringList());
    const QString linePdf = m_dir->filePath("wiersz.pdf");
    const Run r = runClass(linePdf);
    QCOMPARE(r.status, 3); // the fixture's wide text is said

    QCOMPARE(pdfPageOwners(windowPdf, {"Agrest", "Buk", "Cis"}),
             (QStringList{"Agrest 1", "Agrest 2", "Buk 1", "Buk 2", "Cis 1", "Cis 2"}));
    QCOMPARE(pdfPageCount(linePdf), 6);
    for (int page = 1; page <= 6; ++page) {
        const QImage fromWindow = rasterPdfPage(windowPdf, page, 100, m_dir->path());
        QVERIFY(!fromWindow.isNull());
        QVERIFY2(fromWindow == rasterPdfPage(linePdf, page, 100, m_dir->path()),
                 qPrintable(QStringLiteral("page %1").arg(page)));
    }
}

void TestWholeClass::printOptionsFromTheSettings_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("option");
    QTest::newRow("Wyłącz kropki") << "print_without_dots"
                                   << "bez-kropek";
    QTest::newRow("Wykresuj puste pola") << "strike_empty_fields"
                                         << "wykresuj-puste";
    QTest::newRow("Ogranicz pola tekstowe") << "word_wrap"
                                            << "ogranicz";
}

void TestWholeClass::printOptionsFromTheSettings() {
    QFETCH(QString, key);
    QFETCH(QString, option);
    QVERIFY(written(runClass(m_dir->filePath("start.pdf")).status)); // the program folder
    // Each PDF's pages as images, by what the settings hold and the command says.
    auto pages = [&](int saved, const QString &flag) {
        QString msg;
        bFunSqlSettingWriteValue(msg, key, saved);
        const QString pdf = m_dir->filePath(QStringLiteral("%1%2.pdf").arg(saved).arg(flag));
        const Run r = runClass(pdf, flag.isEmpty() ? QStringList() : QStringList{flag});
        QList<QImage> images;
        for (int page = 1; written(r.status) && page <= 2; ++page)
            images << rasterPdfPage(pdf, page, 60, m_dir->path());
        return images;
    };
    const QString on = "--" + option, off = "--nie-" + option;
    const QList<QImage> savedOn = pages(1, QString()), savedOff = pages(0, QString());
    QCOMPARE(savedOn.size(), 2);
    QVERIFY(savedOn != savedOff); // the option shows on paper
    QVERIFY(pages(0, on) == savedOn);
    QVERIFY(pages(1, off) == savedOff);
    QVERIFY(pages(1, on) == savedOn);
}

void TestWholeClass::marginSetLastUsed() {
    QVERIFY(written(runClass(m_dir->filePath("start.pdf")).status));
    const QString settings = f->env.programFile("ustawienia.sqset");
    QString msg;
    MarginList sets;
    QVERIFY(bFunMarginReadData(msg, settings, sets));
    QVERIFY(!sets.isEmpty());
    structMarginData moved = sets.first();
    moved.name = QString::fromUtf8("przesunięte");
    moved.Page1X1 += 10;
    moved.Page1X2 += 10;
    QVERIFY(bFunMarginWriteNewSettings(msg, settings, moved));
    const int dpi = 50;
    auto inkLeft = [&](const QStringList &more, const QString &name) {
        const QString pdf = m_dir->filePath(name);
        if (!written(runClass(pdf, more).status))
            return -1000.0;
        return pixelsToMm(greyInk(rasterPdfPage(pdf, 1, dpi, m_dir->path())), dpi).left();
    };
    const double first = inkLeft({}, "pierwsze.pdf");
    QVERIFY(bFunSqlSettingWriteText(msg, "last_margin_set", moved.name));
    const double lastUsed = inkLeft({}, "ostatnie.pdf");
    const double named = inkLeft({"--ustawienia", sets.first().name}, "nazwane.pdf");
    QVERIFY2(qAbs(lastUsed - first - 10) < 1,
             qPrintable(QString("%1 %2").arg(first).arg(lastUsed)));
    QCOMPARE(named, first);
    // A set that is gone: the first one.
    QVERIFY(bFunSqlSettingWriteText(msg, "last_margin_set", "usunięte"));
    QCOMPARE(inkLeft({}, "brak.pdf"), first);
}

void TestWholeClass::firstRunTouchesNothingOfTheWindow() {
    // A first-time user: the installation check makes the program folder.
    QVERIFY(!QFileInfo::exists(f->env.programDir()));
    const QByteArray before = readFile(m_class);
    const QDateTime modified = QFileInfo(m_class).lastModified();
    QVERIFY(written(runClass(m_dir->filePath("pierwszy.pdf")).status));
    QVERIFY(QFileInfo::exists(f->env.programFile("bruma_kalibracja.sqset")));
    QVERIFY(QFileInfo::exists(f->env.programFile("ustawienia.sqset")));
    QVERIFY(!QFileInfo::exists(f->tmp()));

    // Work left by the window (unsaved, marked) stays as it is; the class
    // file is read, never written.
    writeFile(f->tmp(), "praca okna");
    writeFile(f->env.programFile("data_tmp.niezapisane"), "znacznik");
    const QStringList files = QDir(f->env.programDir()).entryList(QDir::Files);
    QVERIFY(written(runClass(m_dir->filePath("drugi.pdf")).status));
    QCOMPARE(readFile(f->tmp()), QByteArray("praca okna"));
    QCOMPARE(readFile(f->env.programFile("data_tmp.niezapisane")), QByteArray("znacznik"));
    QCOMPARE(QDir(f->env.programDir()).entryList(QDir::Files), files);
    QCOMPARE(readFile(m_class), before);
    QCOMPARE(QFileInfo(m_class).lastModified(), modified);
    QCOMPARE(QDir(m_dir->path()).entryList({"*.sqbr5*"}, QDir::Files),
             QStringList{"klasa 3b.sqbr5"});
}

void TestWholeClass::besideTheWindowProgram() {
    // The window program of this user is running.
    const std::unique_ptr<QLockFile> window = lockSingleInstance();
    QVERIFY(window);
    QVERIFY(!lockSingleInstance());
    const Run r = runClass(m_dir->filePath("obok.pdf"));
    QVERIFY(written(r.status));
    QCOMPARE(pdfPageCount(m_dir->filePath("obok.pdf")), 6);
    // The window's lock is still its own.
    QVERIFY(window->isLocked());
    QVERIFY(!lockSingleInstance());
}

SW_TEST_MAIN_WITHOUT_PRINTERS(TestWholeClass)

#include "tst_wholeclass.moc"
