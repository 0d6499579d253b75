#include "store/FieldCodec.h"

#include <QTest>

class TstFieldCodec : public QObject
{
    Q_OBJECT

private slots:
    void encodes_data();
    void encodes();
    void roundTrips_data();
    void roundTrips();
    void decodes_data();
    void decodes();
    void refusesForeignCharacters_data();
    void refusesForeignCharacters();
};

void TstFieldCodec::encodes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("zhong") << QStringLiteral("中") << QStringLiteral("1tA=");
    QTest::newRow("one byte tail") << QStringLiteral("abcd") << QStringLiteral("YWJjZA==");
    QTest::newRow("two byte tail") << QStringLiteral("abcde") << QStringLiteral("YWJjZGU=");
    QTest::newRow("whole groups") << QStringLiteral("abc") << QStringLiteral("YWJj");
    // Outside GBK: GB18030 four-byte sequence instead of a lost "?".
    QTest::newRow("emoji") << QStringLiteral("😀") << QStringLiteral("lDn8Ng==");
}

void TstFieldCodec::encodes()
{
    QFETCH(QString, text);
    QFETCH(QString, encoded);
    QCOMPARE(FieldCodec::encode(text), encoded);
}

void TstFieldCodec::roundTrips_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("mixed") << QStringLiteral("今天 meeting 3点, 带上合同!");
    QTest::newRow("4096 bytes") << QString(2048, QChar(u'记'));
    QTest::newRow("10000 bytes") << QString(10000, QChar(u'x'));
    QTest::newRow("10000 bytes cjk") << QString(5000, QChar(u'本'));
    QTest::newRow("rare cjk") << QStringLiteral("𠀀𪚥");
    QTest::newRow("line breaks") << QStringLiteral("第一行\r\n第二行\n");
    QTest::newRow("euro") << QStringLiteral("€100");
}

void TstFieldCodec::roundTrips()
{
    QFETCH(QString, text);
    const auto decoded = FieldCodec::decode(FieldCodec::encode(text));
    QVERIFY(decoded.ok);
    QCOMPARE(decoded.text, text);
}

void TstFieldCodec::decodes_data()
{
    QTest::addColumn<QString>("encoded");
    QTest::addColumn<QString>("text");
    QTest::newRow("zhong") << QStringLiteral("1tA=") << QStringLiteral("中");
    QTest::newRow("two bytes, one pad") << QStringLiteral("YWI=") << QStringLiteral("ab");
    QTest::newRow("no padding") << QStringLiteral("YWI") << QStringLiteral("ab");
    QTest::newRow("crlf split") << QStringLiteral("YWJj\r\nZGU=") << QStringLiteral("abcde");
    QTest::newRow("lf at end") << QStringLiteral("1tA=\n") << QStringLiteral("中");
    // A lone final character holds only six bits and is dropped.
    QTest::newRow("lone final char") << QStringLiteral("YWJjZ") << QStringLiteral("abc");
    QTest::newRow("empty") << QString() << QString();
}

void TstFieldCodec::decodes()
{
    QFETCH(QString, encoded);
    QFETCH(QString, text);
    const auto decoded = FieldCodec::decode(encoded);
    QVERIFY(decoded.ok);
    QCOMPARE(decoded.text, text);
}

void TstFieldCodec::refusesForeignCharacters_data()
{
    QTest::addColumn<QString>("encoded");
    QTest::newRow("blank") << QStringLiteral("1tA =");
    QTest::newRow("padding inside") << QStringLiteral("1t=A");
    QTest::newRow("chinese") << QStringLiteral("中文");
    QTest::newRow("url alphabet") << QStringLiteral("ab-_");
}

void TstFieldCodec::refusesForeignCharacters()
{
    QFETCH(QString, encoded);
    const auto decoded = FieldCodec::decode(encoded);
    QVERIFY(!decoded.ok);
    QCOMPARE(decoded.error, QStringLiteral("Coding table entry not found."));
}

QTEST_GUILESS_MAIN(TstFieldCodec)
#include "tst_field_codec.moc"
