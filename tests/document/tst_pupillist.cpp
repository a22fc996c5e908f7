#include "document/pupillist.h"
#include "storage/codec.h"

#include <QtTest>

// Lists of pupils as registers and spreadsheets export them.
class TestPupilList : public QObject {
    Q_OBJECT
private slots:
    void readsExports_data();
    void readsExports();
    void headersMatch_data();
    void headersMatch();
    void dates_data();
    void dates();
    void rowsBecomePupilFields_data();
    void rowsBecomePupilFields();
    void updateKeepsWhatTheListDoesNotSay();
};

namespace {
QByteArray utf8(const char *text) {
    return QByteArray(text);
}
} // namespace

void TestPupilList::readsExports_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<bool>("cp1250");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QStringList>("lastRow");
    QTest::addColumn<QList<int>>("lines");

    QTest::newRow("UTF-8 with BOM, semicolons, CRLF, empty last line")
        << utf8("\xEF\xBB\xBFNazwisko;Imię;PESEL\r\nŻółć;Łucja;17230512342\r\n"
                "Nowak;Jan;16312205671\r\n\r\n")
        << ";" << false << 3 << QStringList{"Nowak", "Jan", "16312205671"} << QList<int>{2, 3};
    QTest::newRow("code page 1250, semicolons")
        << cp1250::encode(QString::fromUtf8("Nazwisko;Imiona;Miejsce urodzenia\r\n"
                                            "Źdźbło;Żaneta;Łódź\r\nŚwięty;Bożydar;Kraków\r\n"))
        << ";" << true << 3
        << QStringList{QString::fromUtf8("Święty"), QString::fromUtf8("Bożydar"),
                       QString::fromUtf8("Kraków")}
        << QList<int>{2, 3};
    QTest::newRow("UTF-8 without BOM, tabs, LF")
        << utf8("Lp.\tNazwisko\tImię\tData ur.\n1\tMała\tOla\t05.03.2017\n"
                "2\tDuży, Jan\tPiotr\t2016-11-22\n")
        << "\t" << false << 4 << QStringList{"2", "Duży, Jan", "Piotr", "2016-11-22"}
        << QList<int>{2, 3};
    QTest::newRow("spreadsheet quoting with commas")
        << utf8("Nazwisko,Imię,Miejsce urodzenia,Uwagi\r\n"
                "\"Kowalska-Nowak\",Anna,\"Nowy Sącz, woj. małopolskie\",\"mówi \"\"Ania\"\"\"\r\n"
                "Lis,Ewa,Gdańsk,\"dwie\r\nlinie; z średnikiem\"\r\n"
                "Bąk,Adam,,\n")
        << "," << false << 4 << QStringList{QString::fromUtf8("Bąk"), "Adam", "", ""}
        << QList<int>{2, 3, 5};
    {
        const QString text = QString::fromUtf8("Nazwisko\tImię\r\nŁoś\tJan\r\n");
        QByteArray utf16("\xFF\xFE");
        for (QChar ch : text)
            utf16.append(char(ch.unicode() & 0xFF)).append(char(ch.unicode() >> 8));
        QTest::newRow("spreadsheet's Unicode text: UTF-16 with tabs")
            << utf16 << "\t" << false << 2 << QStringList{QString::fromUtf8("Łoś"), "Jan"}
            << QList<int>{2};
    }
    QTest::newRow("commas in a semicolon file")
        << utf8("Nazwisko;Imię;Miejsce urodzenia\nNowak;Jan;Warszawa, Praga\n") << ";" << false << 3
        << QStringList{"Nowak", "Jan", "Warszawa, Praga"} << QList<int>{2};
}

void TestPupilList::readsExports() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, separator);
    QFETCH(bool, cp1250);
    QFETCH(int, columns);
    QFETCH(QStringList, lastRow);
    QFETCH(QList<int>, lines);
    const structPupilListTable t = pupilListFromBytes(bytes);
    QCOMPARE(QString(t.separator), separator);
    QCOMPARE(t.cp1250, cp1250);
    QCOMPARE(t.header.size(), columns);
    QCOMPARE(t.rows.size(), lines.size());
    QCOMPARE(t.rows.last(), lastRow);
    QCOMPARE(t.lines, lines);
    for (const QStringList &row : t.rows)
        QCOMPARE(row.size(), columns);
    QCOMPARE(t.utf16, bytes.startsWith("\xFF\xFE"));
    if (QTest::currentDataTag() == QByteArray("spreadsheet quoting with commas")) {
        QCOMPARE(t.rows[0][2], QString::fromUtf8("Nowy Sącz, woj. małopolskie"));
        QCOMPARE(t.rows[0][3], QString::fromUtf8("mówi \"Ania\""));
        QCOMPARE(t.rows[1][3], QString::fromUtf8("dwie\nlinie; z średnikiem"));
    }
}

void TestPupilList::headersMatch_data() {
    QTest::addColumn<QStringList>("header");
    QTest::addColumn<QList<ListColumn>>("columns");
    using C = ListColumn;
    QTest::newRow("register export")
        << QStringList{"Lp.",         "Nazwisko",       "Imiona",
                       "PESEL",       "Data urodzenia", "Miejsce urodzenia",
                       "Województwo", "Płeć",           "Nr w dzienniku"}
        << QList<C>{C::Ignored,   C::Surname,  C::FirstName, C::Pesel, C::BirthDate,
                    C::BirthTown, C::Province, C::Gender,    C::Number};
    QTest::newRow("capitals, no Polish letters, other order")
        << QStringList{"PESEL", "IMIE", "NAZWISKO", "DATA UR.", "MIEJSCE UR.", "PLEC"}
        << QList<C>{C::Pesel, C::FirstName, C::Surname, C::BirthDate, C::BirthTown, C::Gender};
    QTest::newRow("blanks, unknown and repeated columns")
        << QStringList{" Imię ", "Drugie imię", "Nazwisko ucznia", "nr dziennika", "Imiona"}
        << QList<C>{C::FirstName, C::Ignored, C::Surname, C::Number, C::Ignored};
}

void TestPupilList::headersMatch() {
    QFETCH(QStringList, header);
    QFETCH(QList<ListColumn>, columns);
    QCOMPARE(listColumnsFromHeader(header), columns);
}

void TestPupilList::dates_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::newRow("ISO") << "2017-03-05" << QDate(2017, 3, 5);
    QTest::newRow("dotted") << "05.03.2017" << QDate(2017, 3, 5);
    QTest::newRow("dotted short") << "5.3.2017 r." << QDate(2017, 3, 5);
    QTest::newRow("slashes") << "30/12/2016" << QDate(2016, 12, 30);
    QTest::newRow("words") << QString::fromUtf8("5 marca 2017") << QDate(2017, 3, 5);
    QTest::newRow("words, capital, r.")
        << QString::fromUtf8("22 Listopada 2016 r.") << QDate(2016, 11, 22);
    QTest::newRow("września") << QString::fromUtf8("1 września 2016") << QDate(2016, 9, 1);
    QTest::newRow("with the time of day") << "2017-03-05 00:00:00" << QDate(2017, 3, 5);
    QTest::newRow("dotted with the time") << "05.03.2017 00:00" << QDate(2017, 3, 5);
    QTest::newRow("no such day") << "31.02.2017" << QDate();
    QTest::newRow("not a date") << "wiosna 2017" << QDate();
}

void TestPupilList::dates() {
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(dateFromListText(text), date);
}

void TestPupilList::rowsBecomePupilFields_data() {
    QTest::addColumn<QString>("row");
    QTest::addColumn<QStringList>("fields"); // name=value of the pupil dialog
    QTest::addColumn<bool>("importable");
    QTest::addColumn<bool>("doubtful");
    QTest::addColumn<bool>("inClass");
    QTest::addColumn<QString>("note");
    // Header: Nazwisko;Imię;PESEL;Data urodzenia;Miejsce urodzenia;Województwo;Płeć;Nr w dzienniku
    QTest::newRow("everything, date as words")
        << QString::fromUtf8("żak;  anna  maria;17230512342;5 marca 2017;Łódź;łódzkie;K;7")
        << QStringList{"Imie_DATA_EDIT=Anna maria",
                       "UrodzonyDnia_DATA_EDIT=5 marca",
                       "Plec_DATA_COMBOBOX=kobieta",
                       "UrodzonyRok_DATA_COMBOBOX=2017 r.",
                       QString::fromUtf8("UrodzonyMiasto_DATA_COMBOBOX=Łódź"),
                       QString::fromUtf8("UrodzonyWoj_DATA_COMBOBOX=łódzkie"),
                       "NrDziennika_DATA_EDIT=7",
                       QString::fromUtf8("Nazwisko_DATA_EDIT=żak"),
                       "Pesel_DATA_EDIT=17230512342"}
        << true << false << false << "";
    QTest::newRow("gender and date from the PESEL")
        << "Nowak;Jan;16312205671;;;;;"
        << QStringList{"Imie_DATA_EDIT=Jan",
                       "UrodzonyDnia_DATA_EDIT=22 listopada",
                       QString::fromUtf8("Plec_DATA_COMBOBOX=mężczyzna"),
                       "UrodzonyRok_DATA_COMBOBOX=2016 r.",
                       "Nazwisko_DATA_EDIT=Nowak",
                       "Pesel_DATA_EDIT=16312205671"}
        << true << false << false << "";
    QTest::newRow("missing PESEL, gender from the list")
        << QString::fromUtf8("Lis;Ewa;;2017-01-30;;;dziewczynka;")
        << QStringList{"Imie_DATA_EDIT=Ewa", "UrodzonyDnia_DATA_EDIT=30 stycznia",
                       "Plec_DATA_COMBOBOX=kobieta", "UrodzonyRok_DATA_COMBOBOX=2017 r.",
                       "Nazwisko_DATA_EDIT=Lis"}
        << true << true << false << "brak numeru PESEL";
    QTest::newRow("bad PESEL") << "Bury;Jan;17230512343;;;;M;"
                               << QStringList{"Imie_DATA_EDIT=Jan",
                                              QString::fromUtf8("Plec_DATA_COMBOBOX=mężczyzna"),
                                              "Nazwisko_DATA_EDIT=Bury",
                                              "Pesel_DATA_EDIT=17230512343"}
                               << true << true << false
                               << QString::fromUtf8("PESEL wygląda na błędny (ostatnia cyfra");
    QTest::newRow("no gender anywhere")
        << "Bury;Jan;;;;;;" << QStringList{"Imie_DATA_EDIT=Jan", "Nazwisko_DATA_EDIT=Bury"} << false
        << true << false << QString::fromUtf8("brak płci");
    QTest::newRow("already in the class, date disagrees")
        << "Stary;Adam;16221798712;01.01.2016;;;;"
        << QStringList{"Imie_DATA_EDIT=Adam",
                       "UrodzonyDnia_DATA_EDIT=1 stycznia",
                       QString::fromUtf8("Plec_DATA_COMBOBOX=mężczyzna"),
                       "UrodzonyRok_DATA_COMBOBOX=2016 r.",
                       "Nazwisko_DATA_EDIT=Stary",
                       "Pesel_DATA_EDIT=16221798712"}
        << true << false << true << "data urodzenia nie zgadza";
}

void TestPupilList::rowsBecomePupilFields() {
    QFETCH(QString, row);
    QFETCH(QStringList, fields);
    QFETCH(bool, importable);
    QFETCH(bool, doubtful);
    QFETCH(bool, inClass);
    QFETCH(QString, note);
    const QByteArray bytes =
        QString::fromUtf8("Nazwisko;Imię;PESEL;Data urodzenia;Miejsce urodzenia;Województwo;"
                          "Płeć;Nr w dzienniku\n%1\n")
            .arg(row)
            .toUtf8();
    const structPupilListTable t = pupilListFromBytes(bytes);
    const QList<structListPupil> pupils =
        pupilsFromList(t, listColumnsFromHeader(t.header), {"PESEL16221798712"});
    QCOMPARE(pupils.size(), 1);
    const structListPupil &p = pupils.first();
    QStringList got;
    for (const structSqlData &r : p.records) {
        QCOMPARE(r.id, QStringLiteral("DANE UCZNIA"));
        got << r.comp_name + '=' + r.value;
    }
    QCOMPARE(got, fields);
    QCOMPARE(p.importable, importable);
    QCOMPARE(p.doubtful, doubtful);
    QCOMPARE(p.inClass, inClass);
    QCOMPARE(p.tickedAtFirst(), importable && !doubtful);
    QVERIFY2(p.notes.join(';').contains(note), qPrintable(p.notes.join(';')));
    QCOMPARE(p.notes.isEmpty(), note.isEmpty());
    QCOMPARE(p.line, 2);
}

void TestPupilList::updateKeepsWhatTheListDoesNotSay() {
    const SqlDataList stored{{"DANE UCZNIA", "Imie_DATA_EDIT", "Jan"},
                             {"DANE UCZNIA", "UrodzonyMiasto_DATA_COMBOBOX", "Kraków"},
                             {"SWIADECTWO", "Imie_DATA_EDIT", "obce"},
                             {"DANE UCZNIA", "Pesel_DATA_EDIT", "16312205671"}};
    const SqlDataList list{{"DANE UCZNIA", "Imie_DATA_EDIT", "Janek"},
                           {"DANE UCZNIA", "NrDziennika_DATA_EDIT", "3"}};
    QStringList got;
    for (const structSqlData &r : pupilFieldsUpdated(stored, list))
        got << r.id + '/' + r.comp_name + '=' + r.value;
    QCOMPARE(got, QStringList({"DANE UCZNIA/Imie_DATA_EDIT=Janek",
                               "DANE UCZNIA/UrodzonyMiasto_DATA_COMBOBOX=Kraków",
                               "DANE UCZNIA/Pesel_DATA_EDIT=16312205671",
                               "DANE UCZNIA/NrDziennika_DATA_EDIT=3"}));
}

QTEST_GUILESS_MAIN(TestPupilList)
#include "tst_pupillist.moc"
