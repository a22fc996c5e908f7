#include "storage/codec.h"

#include <QtTest>

class TestCodec : public QObject {
    Q_OBJECT
private slots:
    void encodesPolishLetters_data();
    void encodesPolishLetters();
    void everyByteSurvivesARoundTrip();
    void unencodableCharactersBecomeQuestionMarks_data();
    void unencodableCharactersBecomeQuestionMarks();
    void storableReplacesWhatTheCodePageLacks_data();
    void storableReplacesWhatTheCodePageLacks();
};

void TestCodec::encodesPolishLetters_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("śląskie") << QStringLiteral("śląskie")
                             << QByteArray("\x9C\x6C\xB9\x73\x6B\x69\x65");
    QTest::newRow("small letters")
        << QStringLiteral("ąćęłńóśźż") << QByteArray("\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF");
    QTest::newRow("capitals") << QStringLiteral("ĄĆĘŁŃÓŚŹŻ")
                              << QByteArray("\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF");
    QTest::newRow("ascii and quotes")
        << QStringLiteral("it's „ok” – €") << QByteArray("it's \x84ok\x94 \x96 \x80");
}

void TestCodec::encodesPolishLetters() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(cp1250::encode(text), bytes);
    QCOMPARE(cp1250::decode(bytes), text);
    QVERIFY(cp1250::canEncode(QStringView(text)));
}

void TestCodec::everyByteSurvivesARoundTrip() {
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = cp1250::decode(all);
    QCOMPARE(text.size(), all.size());
    QCOMPARE(cp1250::encode(text), all);
}

void TestCodec::unencodableCharactersBecomeQuestionMarks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("cyrillic") << QStringLiteral("Жук") << QByteArray("???");
    QTest::newRow("emoji is one surrogate pair") << QStringLiteral("a😀b") << QByteArray("a??b");
    QTest::newRow("latin-1 letter missing from 1250") << QStringLiteral("ñ") << QByteArray("?");
}

void TestCodec::unencodableCharactersBecomeQuestionMarks() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(cp1250::encode(text), bytes);
    QVERIFY(!cp1250::canEncode(QStringView(text)));
}

void TestCodec::storableReplacesWhatTheCodePageLacks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("notice");
    const QString intro = QString::fromUtf8("Zamieniono litery, których plik nie może zapisać: ");
    QTest::newRow("Polish letters stay")
        << QString::fromUtf8("Zażółć gęślą jaźń – „cytat”")
        << QString::fromUtf8("Zażółć gęślą jaźń – „cytat”") << QString();
    QTest::newRow("accents go, each named once")
        << QString::fromUtf8("Pani Muñoz i Jørgen, Muñoz") << "Pani Munoz i Jorgen, Munoz"
        << intro + QString::fromUtf8("ñ→n, ø→o.");
    // ß is in the code page and stays.
    QTest::newRow("spelled-out letters")
        << QString::fromUtf8("Straße, œuvre, Æsop") << QString::fromUtf8("Straße, oeuvre, Aesop")
        << intro + QString::fromUtf8("œ→oe, Æ→Ae.");
    QTest::newRow("Cyrillic, capitals kept")
        << QString::fromUtf8("Жанна ЩУКА") << QString::fromUtf8("Żanna SZCZUKA")
        << intro + QString::fromUtf8("Ж→Ż, а→a, н→n, Щ→SZCZ, У→U, К→K, А→A.");
    QTest::newRow("Greek") << QString::fromUtf8("Σωκράτης") << "Sokratis"
                           << intro + QString::fromUtf8("Σ→S, ω→o, κ→k, ρ→r, ά→a, τ→t, η→i, ς→s.");
    QTest::newRow("a decomposed Polish letter is composed")
        << QString::fromUtf8("Ln\u0301") << QString::fromUtf8("Lń") << QString();
    QTest::newRow("invisible marks go, odd blanks become blanks")
        << QString::fromUtf8("a\u200Bb\u2003c") << "ab c" << QString();
    QTest::newRow("what has no stand-in is left out and said")
        << QString::fromUtf8("ok 😀 漢") << "ok  "
        << QString::fromUtf8("Pominięto znaki, których plik nie może zapisać: 😀 漢.");
}

void TestCodec::storableReplacesWhatTheCodePageLacks() {
    QFETCH(QString, text);
    QFETCH(QString, stored);
    QFETCH(QString, notice);
    QList<cp1250::Replacement> replaced;
    const QString out = cp1250::storable(text, &replaced);
    QCOMPARE(out, stored);
    QVERIFY(cp1250::canEncode(QStringView(out)));
    QCOMPARE(cp1250::replacementNotice(replaced), notice);
}

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
