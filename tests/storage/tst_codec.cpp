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

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
