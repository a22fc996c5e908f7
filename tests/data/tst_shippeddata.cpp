#include "storage/codec.h"
#include "support/testenv.h"
#include <QDir>

#include <QtTest>

// The databases the build puts beside the program.
class TestShippedData : public QObject {
    Q_OBJECT
private slots:
    void provincesAreCp1250();
    void settingsHoldSixKeysAndTheStandardMargin();
    void calibrationHasSevenLayoutTables_data();
    void calibrationHasSevenLayoutTables();
    void catalogueListsFoldersAndFiles();
    void phraseFilesAreCp1250WithCrLf();

private:
    static QString shipped(const char *name) {
        return QCoreApplication::applicationDirPath() + '/' + QLatin1String(name);
    }
};

void TestShippedData::provincesAreCp1250() {
    const QByteArrayList raw = rawColumn(shipped("ustawienia.sqset"), "select name from province");
    QCOMPARE(raw.size(), 16);
    QVERIFY(raw.contains(QByteArray("\x9C\x6C\xB9\x73\x6B\x69\x65"))); // śląskie
    QCOMPARE(cp1250::decode(raw.first()), QStringLiteral("dolnośląskie"));
    QCOMPARE(cp1250::decode(raw.last()), QStringLiteral("zachodniopomorskie"));
    for (const QByteArray &name : raw)
        QCOMPARE(cp1250::decode(name), cp1250::decode(name).toLower());
    QVERIFY(rawColumn(shipped("ustawienia.sqset"), "select name from city").isEmpty());
}

void TestShippedData::settingsHoldSixKeysAndTheStandardMargin() {
    QCOMPARE(
        rawColumn(shipped("ustawienia.sqset"), "select name || '=' || int_value from settings"),
        QByteArrayList({"import_alert=1", "create_school_data_template=1", "strike_empty_fields=1",
                        "print_without_dots=0", "word_wrap=0", "auto_word_wrap=0"}));
    QCOMPARE(rawColumn(shipped("ustawienia.sqset"),
                       "select name||':'||Page1X1||','||Page1Y1||','||Page1X2||','||Page1Y2||';'||"
                       "Page2X1||','||Page2Y1||','||Page2X2||','||Page2Y2 from margin"),
             QByteArrayList{"Standardowe:0,0,210,297;0,0,210,297"});
}

void TestShippedData::calibrationHasSevenLayoutTables_data() {
    QTest::addColumn<QString>("table");
    for (const char *t : {"klasa_1_3", "klasa_1_3_bk", "wywiadowka", "arkusz_str1", "arkusz_str2_5",
                          "arkusz_str1b", "arkusz_str2b_5b"})
        QTest::newRow(t) << QString::fromLatin1(t);
}

void TestShippedData::calibrationHasSevenLayoutTables() {
    QFETCH(QString, table);
    const QByteArrayList columns =
        rawColumn(shipped("bruma_kalibracja.sqset"),
                  "select name from pragma_table_info('" + table.toLatin1() + "')");
    QCOMPARE(columns, QByteArrayList({"name", "x1", "y1", "x2", "y2", "font_name", "font_size",
                                      "font_align", "font_style_bold", "font_style_italic",
                                      "font_style_underline", "font_style_strike"}));
}

void TestShippedData::catalogueListsFoldersAndFiles() {
    const QByteArrayList dirs = rawColumn(shipped("pliki_kat.sqset"), "select name from dir");
    for (const QByteArray &d :
         {QByteArray("grafika"), QByteArray("ocena_opisowa"),
          QByteArray("ocena_opisowa\\kategorie_edukacyjne"),
          QByteArray("ocena_opisowa\\kategorie_zachowanie"),
          QByteArray("ocena_opisowa\\szablony_edukacyjne"),
          QByteArray("ocena_opisowa\\szablony_zachowanie"), QByteArray("aktualizacja")})
        QVERIFY2(dirs.contains(d), d.constData());
    // Parents come before their subfolders.
    QVERIFY(dirs.indexOf("ocena_opisowa") < dirs.indexOf("ocena_opisowa\\szablony_zachowanie"));
    const QByteArrayList files = rawColumn(shipped("pliki_kat.sqset"), "select name from files");
    QVERIFY(files.contains("ustawienia.sqset"));
    QVERIFY(files.contains("bruma_kalibracja.sqset"));
    for (const QByteArray &f : files) {
        QString name = cp1250::decode(f);
        name.replace('\\', '/');
        QVERIFY2(QFileInfo::exists(QCoreApplication::applicationDirPath() + '/' + name),
                 f.constData());
    }
}

void TestShippedData::phraseFilesAreCp1250WithCrLf() {
    const QString base = QCoreApplication::applicationDirPath() + "/ocena_opisowa/";
    const QByteArray activity =
        readFile(base + QString::fromUtf8("kategorie_zachowanie/aktywność"));
    QVERIFY(activity.startsWith("Ch\xEAtnie podejmuje dodatkowe zadania.\r\n"));
    int files = 0;
    for (const char *dir : {"kategorie_zachowanie", "kategorie_edukacyjne", "szablony_zachowanie",
                            "szablony_edukacyjne"}) {
        const QDir folder(base + dir);
        const QStringList names = folder.entryList(QDir::Files);
        QVERIFY2(!names.isEmpty(), dir);
        for (const QString &name : names) {
            const QByteArray bytes = readFile(folder.filePath(name));
            ++files;
            QVERIFY(bytes.endsWith("\r\n"));
            QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
            // Polish letters in UTF-8 begin with 0xC4 or 0xC5; in code page 1250 they never do.
            QVERIFY2(!bytes.contains('\xC4') && !bytes.contains('\xC5'), qPrintable(name));
        }
    }
    QVERIFY(files >= 9);
}

QTEST_GUILESS_MAIN(TestShippedData)
#include "tst_shippeddata.moc"
