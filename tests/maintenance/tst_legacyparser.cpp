#include "maintenance/legacyparser.h"
#include "support/legacyfile.h"

#include <QtTest>

// The reading of legacy class files, without any database.
class TestLegacyParser : public QObject {
    Q_OBJECT
private slots:
    void twoPupilBlocks();
    void memoLines_data();
    void memoLines();
    void fieldLines_data();
    void fieldLines();
    void lineBreaksAndPolishLetters();
    void damagedFiles_data();
    void damagedFiles();
    void tableNames_data();
    void tableNames();
};

namespace {

const QString kCert1 = QStringLiteral("SWIADECTWO UKONCZENIA KLASY 1 SZKOLY PODST.");
const QString kCert2 = QStringLiteral("SWIADECTWO UKONCZENIA KLASY 2 SZKOLY PODST.");
const QString kMemo = QStringLiteral("ZMIENNA_Zachowanie_STR2_DATA_MEMO");
const QString kMemoB = QStringLiteral("ZMIENNA_Ksztalcenie_STR2_DATA_MEMO");

LegacyPupilList parse(const QByteArray &bytes) {
    LegacyPupilList pupils;
    vFunParseLegacyFile(bytes, pupils);
    return pupils;
}

// "id|name|value" per record, for readable comparisons.
QStringList rows(const SqlDataList &records) {
    QStringList out;
    for (const structSqlData &r : records)
        out << r.id + QLatin1Char('|') + r.comp_name + QLatin1Char('|') + r.value;
    return out;
}

} // namespace

void TestLegacyParser::twoPupilBlocks() {
    QStringList lines{"Plik danych SP 1-3, wersja 5", "tekst poza blokami"};
    lines += legacyBlock("Kowalski", "Jan", "01234567890",
                         legacyDocument(kCert1, {"<ZMIENNA_Klasa_STR1_DATA_EDIT>pierwszej",
                                                 "<ZMIENNA_Rok_STR1_DATA_EDIT>2004/2005"}) +
                             legacyDocument("WYWIADOWKA OPISOWA SZKOLY PODST.",
                                            {"<ZMIENNA_Data_DATA_EDIT>12.05.2005"}));
    lines << "tekst między blokami";
    lines += legacyBlock("Nowak", "Anna", "98765432109");
    const LegacyPupilList pupils = parse(legacyBytes(lines));

    QCOMPARE(pupils.size(), 2);
    QCOMPARE(pupils[0].displayName, QStringLiteral("Kowalski Jan"));
    QCOMPARE(rows(pupils[0].pupilData), QStringList({"DANE UCZNIA|Nazwisko_DATA_EDIT|Kowalski",
                                                     "DANE UCZNIA|Imie_DATA_EDIT|Jan",
                                                     "DANE UCZNIA|Pesel_DATA_EDIT|01234567890"}));
    QCOMPARE(rows(pupils[0].documents),
             QStringList({kCert1 + "|ZMIENNA_Klasa_STR1_DATA_EDIT|pierwszej",
                          kCert1 + "|ZMIENNA_Rok_STR1_DATA_EDIT|2004/2005",
                          "WYWIADOWKA OPISOWA SZKOLY PODST.|ZMIENNA_Data_DATA_EDIT|12.05.2005"}));
    QVERIFY(pupils[0].hasPeselField);
    QCOMPARE(pupils[0].pesel, QStringLiteral("01234567890"));
    QCOMPARE(pupils[1].displayName, QStringLiteral("Nowak Anna"));
    QCOMPARE(pupils[1].pesel, QStringLiteral("98765432109"));
    QVERIFY(pupils[1].documents.isEmpty());
}

void TestLegacyParser::memoLines_data() {
    QTest::addColumn<QStringList>("documentLines");
    QTest::addColumn<QStringList>("names");

    const QString m = "<" + kMemo + ">";
    const QString b = "<" + kMemoB + ">";
    QTest::newRow("three lines") << legacyDocument(kCert1, {m + "a", m + "", m + "c"})
                                 << QStringList{kMemo + "01", kMemo + "02", kMemo + "03"};
    QTest::newRow("other field between keeps counting")
        << legacyDocument(kCert1, {m + "a", "<ZMIENNA_Klasa_STR1_DATA_EDIT>x", m + "b"})
        << QStringList{kMemo + "01", "ZMIENNA_Klasa_STR1_DATA_EDIT", kMemo + "02"};
    QTest::newRow("another memo starts again")
        << legacyDocument(kCert1, {m + "a", m + "b", b + "c", m + "d"})
        << QStringList{kMemo + "01", kMemo + "02", kMemoB + "01", kMemo + "01"};
    QTest::newRow("counting runs across documents")
        << legacyDocument(kCert1, {m + "a", m + "b"}) + legacyDocument(kCert2, {m + "c"})
        << QStringList{kMemo + "01", kMemo + "02", kMemo + "03"};
    QStringList many;
    QStringList manyNames;
    for (int i = 1; i <= 12; ++i) {
        many << m + QString::number(i);
        manyNames << kMemo + QString::number(i).rightJustified(2, '0');
    }
    QTest::newRow("two digits") << legacyDocument(kCert1, many) << manyNames;
}

void TestLegacyParser::memoLines() {
    QFETCH(QStringList, documentLines);
    QFETCH(QStringList, names);
    // The second pupil carries the same memo: its count starts again.
    QStringList lines = legacyBlock("Kowalski", "Jan", "1", documentLines);
    lines += legacyBlock("Nowak", "Anna", "2", legacyDocument(kCert1, {"<" + kMemo + ">z"}));
    const LegacyPupilList pupils = parse(legacyBytes(lines));
    QCOMPARE(pupils.size(), 2);
    QStringList got;
    for (const structSqlData &r : pupils[0].documents)
        got << r.comp_name;
    QCOMPARE(got, names);
    QCOMPARE(pupils[1].documents.first().comp_name, kMemo + "01");
}

void TestLegacyParser::fieldLines_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("expected"); // empty: the line is skipped

    QTest::newRow("apostrophe") << "<ZMIENNA_Uwagi_DATA_EDIT>O'Brien i 'cytat'"
                                << QStringList{"ZMIENNA_Uwagi_DATA_EDIT|O'Brien i 'cytat'"};
    QTest::newRow("greater-than in value") << "<ZMIENNA_Uwagi_DATA_EDIT>a > b <i> c>"
                                           << QStringList{"ZMIENNA_Uwagi_DATA_EDIT|a > b <i> c>"};
    QTest::newRow("empty value") << "<ZMIENNA_Uwagi_DATA_EDIT>"
                                 << QStringList{"ZMIENNA_Uwagi_DATA_EDIT|"};
    QTest::newRow("text before the tag")
        << "  xx<ZMIENNA_Uwagi_DATA_EDIT>v" << QStringList{"ZMIENNA_Uwagi_DATA_EDIT|v"};
    QTest::newRow("no less-than") << "ZMIENNA_Uwagi_DATA_EDIT>v"
                                  << QStringList{"ZMIENNA_Uwagi_DATA_EDIT|v"};
    QTest::newRow("no greater-than") << "<ZMIENNA_Uwagi_DATA_EDIT v" << QStringList();
    QTest::newRow("blank line") << "" << QStringList();
    QTest::newRow("SQL in value") << "<ZMIENNA_Uwagi_DATA_EDIT>'); drop table x; --"
                                  << QStringList{"ZMIENNA_Uwagi_DATA_EDIT|'); drop table x; --"};
}

void TestLegacyParser::fieldLines() {
    QFETCH(QString, line);
    QFETCH(QStringList, expected);
    const QStringList doc = legacyDocument(kCert1, {"<A_DATA_EDIT>1", line, "<B_DATA_EDIT>2"});
    const LegacyPupilList pupils = parse(legacyBytes(legacyBlock("K", "J", "1", doc)));
    QCOMPARE(pupils.size(), 1);
    QStringList got;
    for (const structSqlData &r : pupils[0].documents) {
        QCOMPARE(r.id, kCert1);
        got << r.comp_name + QLatin1Char('|') + r.value;
    }
    QCOMPARE(got, QStringList{"A_DATA_EDIT|1"} + expected + QStringList{"B_DATA_EDIT|2"});
}

void TestLegacyParser::lineBreaksAndPolishLetters() {
    const QStringList lines =
        legacyBlock("Żółkiewska", "Łucja", "01234567890",
                    legacyDocument(kCert1, {"<" + kMemo + ">Zachowanie wzorowe, ćwiczy śpiew",
                                            "<" + kMemo + ">ĄĘŚŹŻĆŃÓŁ ąęśźżćńół"}));
    const QByteArray crlf = legacyBytes(lines, "\r\n");
    const QByteArray lf = legacyBytes(lines, "\n");
    QVERIFY(crlf.contains("\xaf\xf3\xb3kiewska")); // Żół as single CP1250 bytes
    QVERIFY(!crlf.contains("\xc5\xbb"));           // not UTF-8

    LegacyPupilList a = parse(crlf);
    // The last line may lack its line break.
    LegacyPupilList b = parse(lf.chopped(1));
    QCOMPARE(a.size(), 1);
    QCOMPARE(rows(a[0].pupilData), rows(b[0].pupilData));
    QCOMPARE(rows(a[0].documents), rows(b[0].documents));
    QCOMPARE(a[0].displayName, QString::fromUtf8("Żółkiewska Łucja"));
    QCOMPARE(a[0].pupilData[0].value, QString::fromUtf8("Żółkiewska"));
    QCOMPARE(a[0].documents[1].value, QString::fromUtf8("ĄĘŚŹŻĆŃÓŁ ąęśźżćńół"));
    for (const structSqlData &r : a[0].documents)
        QVERIFY(!r.value.contains(QLatin1Char('\r')));
}

void TestLegacyParser::damagedFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("names"); // display name: number of document rows

    const QStringList kowalski =
        legacyBlock("Kowalski", "Jan", "1", legacyDocument(kCert1, {"<A_DATA_EDIT>a"}));
    const QStringList nowak =
        legacyBlock("Nowak", "Anna", "2", legacyDocument(kCert1, {"<A_DATA_EDIT>n"}));

    QTest::newRow("no pupil block") << legacyBytes({"<DANE UCZNIA SZKOLY PODSTAWOWEJ 1-3>",
                                                    "<Pesel_DATA_EDIT>1", "zwykły tekst"})
                                    << QStringList();
    QTest::newRow("empty file") << QByteArray() << QStringList();
    static const char junk[] = "\x00\xff\r\r\n<\n>\n\x00<DANE";
    QTest::newRow("binary junk") << QByteArray(junk, sizeof junk - 1) << QStringList();

    QStringList noEnd = kowalski;
    noEnd.removeLast();
    QTest::newRow("missing end line")
        << legacyBytes(noEnd + nowak) << QStringList{"Kowalski Jan:1", "Nowak Anna:1"};

    QStringList openDoc = kowalski;
    openDoc.removeAt(openDoc.size() - 2); // the document's closing line
    QTest::newRow("document never closed")
        << legacyBytes(openDoc + nowak) << QStringList{"Kowalski Jan:1", "Nowak Anna:1"};

    const QStringList openData = kowalski.mid(0, 5); // up to the PESEL line
    QTest::newRow("pupil data never closed")
        << legacyBytes(openData + nowak) << QStringList{"Kowalski Jan:0", "Nowak Anna:1"};

    QStringList blanks = kowalski;
    blanks.insert(6, "");
    blanks.insert(6, "   ");
    blanks.insert(6, "</" + kCert2 + ">");
    QTest::newRow("blank and stray lines between documents")
        << legacyBytes(blanks + nowak) << QStringList{"Kowalski Jan:1", "Nowak Anna:1"};

    QTest::newRow("truncated after the start line")
        << legacyBytes(kowalski + QStringList{"<DANE SWIADECTW DLA: Lis Ewa>"})
        << QStringList{"Kowalski Jan:1", "Lis Ewa:0"};

    QByteArray nul = legacyBytes(kowalski);
    nul.replace("<A_DATA_EDIT>a", QByteArray("<A_DATA_EDIT>a\0b", 16));
    QTest::newRow("NUL byte in a value") << nul << QStringList{"Kowalski Jan:1"};
}

void TestLegacyParser::damagedFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, names);
    QStringList got;
    for (const structLegacyPupil &p : parse(bytes)) {
        got << p.displayName + QLatin1Char(':') + QString::number(p.documents.size());
        for (const structSqlData &r : p.documents)
            QVERIFY2(!r.value.contains(QChar(0)), qPrintable(r.value));
    }
    QCOMPARE(got, names);
}

void TestLegacyParser::tableNames_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("tables");
    QTest::addColumn<QStringList>("peselFields"); // what the pupil dialog will show
    QTest::addColumn<QString>("problems");        // - none, M missing, E empty, T taken

    const QString null;
    QTest::newRow("all distinct") << legacyBlock("A", "a", "1") + legacyBlock("B", "b", "2")
                                  << QStringList{"PESEL1", "PESEL2"} << QStringList{"1", "2"}
                                  << "--";
    QTest::newRow("missing, empty, taken")
        << legacyBlock("A", "a", "11") + legacyBlock("B", "b", null) + legacyBlock("C", "c", "") +
               legacyBlock("D", "d", "11") + legacyBlock("E", "e", "  ")
        << QStringList{"PESEL11", "PESEL_BRAK_1", "PESEL_BRAK_2", "PESEL_BRAK_3", "PESEL_BRAK_4"}
        << QStringList{"11", "_BRAK_1", "_BRAK_2", "_BRAK_3", "_BRAK_4"} << "-METE";
    // SQLite does not tell table names apart by ASCII case.
    QTest::newRow("taken in other case")
        << legacyBlock("A", "a", "x1") + legacyBlock("B", "b", "X1")
        << QStringList{"PESELx1", "PESEL_BRAK_1"} << QStringList{"x1", "_BRAK_1"} << "-T";
    QTest::newRow("real PESEL looks like a placeholder")
        << legacyBlock("A", "a", null) + legacyBlock("B", "b", "_BRAK_1")
        << QStringList{"PESEL_BRAK_2", "PESEL_BRAK_1"} << QStringList{"_BRAK_2", "_BRAK_1"} << "M-";
    QStringList twoPesels = legacyBlock("A", "a", "1");
    twoPesels.insert(4, "<Pesel_DATA_EDIT>7");
    QTest::newRow("last PESEL field counts")
        << twoPesels + legacyBlock("B", "b", "1") << QStringList{"PESEL1", "PESEL_BRAK_1"}
        << QStringList{"7|1", "_BRAK_1"} << "-T";
    // The pupil dialog must show the PESEL that names the table.
    QStringList oddName = legacyBlock("A", "a", "1");
    oddName.insert(5, "<StaryPesel_DATA_EDIT>5");
    QTest::newRow("other field holding Pesel_DATA_EDIT")
        << oddName << QStringList{"PESEL5"} << QStringList{"1|5"} << "-";
    QTest::newRow("pupil data among the documents")
        << legacyBlock("A", "a", "1", legacyDocument("DANE UCZNIA", {"<Pesel_DATA_EDIT>2"}))
        << QStringList{"PESEL1"} << QStringList{"1|2|1"} << "-";
}

void TestLegacyParser::tableNames() {
    QFETCH(QStringList, lines);
    QFETCH(QStringList, tables);
    QFETCH(QStringList, peselFields);
    QFETCH(QString, problems);
    LegacyPupilList pupils = parse(legacyBytes(lines));
    vFunNameLegacyTables(pupils);
    QStringList gotTables, gotFields;
    QString gotProblems;
    for (const structLegacyPupil &p : pupils) {
        gotTables << p.table;
        QStringList values;
        for (const structSqlData &r : p.pupilData + p.documents) {
            if (r.comp_name == QLatin1String("Pesel_DATA_EDIT") && r.id == "DANE UCZNIA")
                values << r.value;
        }
        gotFields << values.join(QLatin1Char('|'));
        gotProblems += QLatin1Char("-MET"[int(p.problem)]);
    }
    QCOMPARE(gotTables, tables);
    QCOMPARE(gotFields, peselFields);
    QCOMPARE(gotProblems, problems);
}

QTEST_GUILESS_MAIN(TestLegacyParser)
#include "tst_legacyparser.moc"
