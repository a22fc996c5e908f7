#include "printing/bundledfonts.h"

#include <QDir>
#include <QFontDatabase>
#include <QTemporaryDir>
#include <QtTest>

// The fonts a Windows installation ships beside the program are registered
// from their folder, so the layouts' faces resolve as on Linux.
class TestBundledFonts : public QObject {
    Q_OBJECT
private slots:
    void registersTheFontFilesOfAFolder();
    void noFolderNoFonts();
};

void TestBundledFonts::registersTheFontFilesOfAFolder() {
    // The system's (Linux) or the one shipped beside the tests (Windows).
    QString liberation =
        QStringLiteral("/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf");
    if (!QFile::exists(liberation))
        liberation = QCoreApplication::applicationDirPath() +
                     QStringLiteral("/fonts/LiberationSans-Regular.ttf");
    if (!QFile::exists(liberation))
        QSKIP("needs the Liberation fonts");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QFile::copy(liberation, dir.filePath(QStringLiteral("LiberationSans-Regular.ttf"))));
    // Beside it: a text file, and a file named as a font that is none.
    for (const char *name : {"CZYTAJ.txt", "uszkodzona.ttf"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("to nie jest czcionka\n");
    }
    QCOMPARE(iFunRegisterFontsIn(dir.path()), 1);
    QVERIFY(QFontDatabase::families().contains(QStringLiteral("Liberation Sans")));
}

void TestBundledFonts::noFolderNoFonts() {
    QTemporaryDir dir;
    QCOMPARE(iFunRegisterFontsIn(dir.filePath(QStringLiteral("fonts"))), 0);
    QCOMPARE(iFunRegisterFontsIn(dir.path()), 0);
    // The program's own folder: a Linux build has no fonts folder (the
    // system's fonts serve), a Windows one has the shipped faces.
    const QDir shipped(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    const int files = shipped.entryList({QStringLiteral("*.ttf")}, QDir::Files).size();
    QCOMPARE(iFunRegisterBundledFonts(), shipped.exists() ? files : 0);
}

QTEST_MAIN(TestBundledFonts)
#include "tst_bundledfonts.moc"
