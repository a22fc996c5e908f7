#include "app/programicons.h"
#include "apptest.h"

#include <QDirIterator>
#include <QImage>
#include <QImageReader>
#include <QLibraryInfo>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

// The program's icons come as PNG pictures from its resources: they show
// without the SVG icon engine (which a Windows installation does not have).
class TestProgramIcons : public QObject {
    Q_OBJECT
private slots:
    void noSvgSupportHere();
    void resourcesHoldNoSvg();
    void everyIconHasItsSizes_data();
    void everyIconHasItsSizes();
    void mainWindowShowsItsIcons();
    void aDesktopThemeIsUsedWhenSet_data();
    void aDesktopThemeIsUsedWhenSet();
};

void TestProgramIcons::noSvgSupportHere() {
    // main() leaves Qt no plugins but the platforms: the checks below run
    // as on an installation without the SVG module.
    QVERIFY(!QImageReader::supportedImageFormats().contains("svg"));
}

void TestProgramIcons::resourcesHoldNoSvg() {
    int pictures = 0;
    QDirIterator it(QStringLiteral(":/icons"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        QVERIFY2(file.endsWith(QLatin1String(".png")), qPrintable(file));
        ++pictures;
    }
    QVERIFY(pictures > 0);
}

void TestProgramIcons::everyIconHasItsSizes_data() {
    QTest::addColumn<QString>("name");
    const QStringList names = programIconNames();
    QVERIFY(names.contains(QStringLiteral("swiadectwa")));
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << name;
}

void TestProgramIcons::everyIconHasItsSizes() {
    QFETCH(QString, name);
    const QIcon icon = programIcon(name);
    QVERIFY(!icon.isNull());
    for (int size : {16, 24, 32, 48, 64})
        QVERIFY2(icon.availableSizes().contains(QSize(size, size)),
                 qPrintable(QString::number(size)));
    // Drawn, not blank.
    const QImage picture = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    bool drawn = false;
    for (int y = 0; y < picture.height() && !drawn; ++y)
        for (int x = 0; x < picture.width() && !drawn; ++x)
            drawn = qAlpha(picture.pixel(x, y)) > 0;
    QVERIFY(drawn);
}

void TestProgramIcons::mainWindowShowsItsIcons() {
    // A desktop without an icon theme, as Windows is: the program's own
    // pictures stand in.
    QIcon::setThemeName(QStringLiteral("brak-motywu"));
    QIcon::setThemeSearchPaths({});
    AppFixture f;
    TFGlowna *g = f.start();
    QVERIFY(!g->windowIcon().isNull());
    int buttons = 0;
    for (QToolButton *b :
         g->findChild<QToolBar *>(QStringLiteral("ToolBar1"))->findChildren<QToolButton *>()) {
        if (b->objectName().startsWith(QLatin1String("qt_")))
            continue; // the tool bar's own extension button
        QVERIFY2(!b->icon().isNull(), qPrintable(b->objectName()));
        ++buttons;
    }
    QVERIFY(buttons > 0);
}

void TestProgramIcons::aDesktopThemeIsUsedWhenSet_data() {
    QTest::addColumn<QString>("theme");
    QTest::addColumn<bool>("fromTheme");
    QTest::newRow("a desktop's theme") << "motyw" << true;
    // What Qt names when the desktop sets none: the program's own pictures.
    QTest::newRow("hicolor") << "hicolor" << false;
}

void TestProgramIcons::aDesktopThemeIsUsedWhenSet() {
    QFETCH(QString, theme);
    QFETCH(bool, fromTheme);
    QTemporaryDir icons;
    const QString folder = icons.filePath(theme + QStringLiteral("/32x32/actions"));
    QVERIFY(QDir().mkpath(folder));
    QFile index(icons.filePath(theme + QStringLiteral("/index.theme")));
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=" + theme.toUtf8() +
                "\nDirectories=32x32/actions\n\n[32x32/actions]\nSize=32\nType=Fixed\n");
    index.close();
    QImage red(32, 32, QImage::Format_ARGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(folder + QStringLiteral("/document-new.png")));
    QIcon::setThemeSearchPaths({icons.path()});
    QIcon::setThemeName(theme);
    const QImage shown = themedIcon(QStringLiteral("document-new"))
                             .pixmap(32, 32)
                             .toImage()
                             .convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(shown == red, fromTheme);
    QIcon::setThemeName(QStringLiteral("brak-motywu"));
    QIcon::setThemeSearchPaths({});
}

int main(int argc, char **argv) {
    // No plugin folder but an empty one; the platform plugins from where
    // they are.
    QTemporaryDir noPlugins;
    QCoreApplication::setLibraryPaths({noPlugins.path()});
    qputenv("QT_QPA_PLATFORM_PLUGIN_PATH",
            (QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"))
                .toLocal8Bit());
    QApplication app(argc, argv);
    TestProgramIcons test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_programicons.moc"
