#include "document/dictionarycodec.h"

#include <QtTest>

// The Polish dictionary is ISO-8859-2; a build of Qt without ICU (Windows)
// cannot convert it, so the spell-checker does, and must get every letter.
class TestDictionaryCodec : public QObject {
    Q_OBJECT
private slots:
    void convertsBothWays_data();
    void convertsBothWays();
};

void TestDictionaryCodec::convertsBothWays_data() {
    QTest::addColumn<QByteArray>("set");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("encodable");
    const QString polish = QString::fromUtf8("Zażółć gęślą jaźń ĄĆĘŁŃÓŚŹŻ");
    const QByteArray latin2("Za\xBF\xF3\xB3\xE6 g\xEA\xB6l\xB1 ja\xBC\xF1 "
                            "\xA1\xC6\xCA\xA3\xD1\xD3\xA6\xAC\xAF");
    QTest::newRow("Polish letters, as the .aff names it")
        << QByteArray("ISO8859-2") << polish << latin2 << true;
    QTest::newRow("Polish letters, the other spelling")
        << QByteArray("iso-8859-2") << polish << latin2 << true;
    QTest::newRow("a sign Latin-2 lacks")
        << QByteArray("ISO8859-2") << QString::fromUtf8("5 €") << QByteArray() << false;
    QTest::newRow("UTF-8 dictionary") << QByteArray("UTF-8") << polish << polish.toUtf8() << true;
}

void TestDictionaryCodec::convertsBothWays() {
    QFETCH(QByteArray, set);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, encodable);
    const DictionaryCodec codec(set);
    QVERIFY(codec.isValid());
    bool ok = false;
    const QByteArray encoded = codec.encode(text, &ok);
    QCOMPARE(ok, encodable);
    if (!encodable)
        return;
    QCOMPARE(encoded, bytes);
    QCOMPARE(codec.decode(bytes, &ok), text);
    QVERIFY(ok);
}

QTEST_MAIN(TestDictionaryCodec)
#include "tst_dictionarycodec.moc"
