#include "app/programicons.h"
#include "app/programstyle.h"
#include "apptest.h"
#include "printing/pixelfile.h"

#include <QDirIterator>
#include <QImage>
#include <QImageReader>
#include <QLibraryInfo>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

// The program's icons come as pixel files from its resources: they show
// without the SVG icon engine (which a Windows installation does not have)
// and without an image decoder.
class TestProgramIcons : public QObject {
    Q_OBJECT
private slots:
    void noSvgSupportHere();
    void resourcesHoldNoSvg();
    void pixelFilesKeepEveryPixel();
    void damagedPixelFilesAreRefused_data();
    void damagedPixelFilesAreRefused();
    void everyIconHasItsSizes_data();
    void everyIconHasItsSizes();
    void mainWindowShowsItsIcons();
    void toolBarArrowsShowAsTheStylesOwn();
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
        QVERIFY2(file.endsWith(QLatin1String(".px")), qPrintable(file));
        ++pictures;
    }
    QVERIFY(pictures > 0);
}

void TestProgramIcons::pixelFilesKeepEveryPixel() {
    // Every alpha over every colour, half-transparent pixels included.
    QImage picture(256, 3, QImage::Format_ARGB32);
    for (int x = 0; x < 256; ++x) {
        picture.setPixel(x, 0, qRgba(255, 0, 0, x));
        picture.setPixel(x, 1, qRgba(x, 255 - x, 128, 255 - x));
        picture.setPixel(x, 2, qRgba(0, 0, 0, 0));
    }
    const QImage expected = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QByteArray bytes = pixelfile::encode(picture);
    QCOMPARE(bytes.size(), 12 + 256 * 3 * 4);
    QCOMPARE(pixelfile::decode(bytes), expected);
}

void TestProgramIcons::damagedPixelFilesAreRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QImage picture(4, 2, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::red);
    const QByteArray whole = pixelfile::encode(picture);
    auto header = [](quint32 width, quint32 height) {
        QByteArray out("SWPX");
        out.resize(12);
        qToLittleEndian<quint32>(width, out.data() + 4);
        qToLittleEndian<quint32>(height, out.data() + 8);
        return out;
    };
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("header cut short") << whole.left(10);
    QTest::newRow("last pixel missing") << whole.chopped(4);
    QTest::newRow("a byte too many") << whole + 'x';
    QTest::newRow("a PNG's signature") << QByteArray("\x89PNG\r\n\x1a\n").append(whole.mid(8));
    QTest::newRow("no width") << header(0, 2);
    QTest::newRow("a side past the limit") << header(5000, 1) + QByteArray(5000 * 4, '\0');
    QTest::newRow("four billion pixels claimed") << header(65536, 65536);
}

void TestProgramIcons::damagedPixelFilesAreRefused() {
    QFETCH(QByteArray, bytes);
    QVERIFY(pixelfile::decode(bytes).isNull());
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

void TestProgramIcons::toolBarArrowsShowAsTheStylesOwn() {
    // Read when first drawn, they are the pictures the desktop's style has.
    ProgramStyle style;
    for (QStyle::StandardPixmap which :
         {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
        const QIcon later = style.standardIcon(which);
        const QImage shown = later.pixmap(16, 16).toImage();
        QVERIFY(!later.isNull());
        QVERIFY(!shown.isNull());
        QCOMPARE(shown, style.baseStyle()->standardIcon(which).pixmap(16, 16).toImage());
    }
    // Every other picture is the style's own.
    QCOMPARE(style.standardIcon(QStyle::SP_DialogOkButton).pixmap(16, 16).toImage(),
             style.baseStyle()->standardIcon(QStyle::SP_DialogOkButton).pixmap(16, 16).toImage());
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
