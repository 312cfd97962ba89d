#include "TextCodec.h"

#include <QtTest>

class TestTextCodec : public QObject
{
    Q_OBJECT
private slots:
    void everyByteRoundTrips();
    void encode_data();
    void encode();
};

void TestTextCodec::everyByteRoundTrips()
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(static_cast<char>(i));
    bool ok = false;
    QCOMPARE(Win1251::encode(Win1251::decode(all), &ok), all);
    QVERIFY(ok);
}

void TestTextCodec::encode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    QTest::newRow("ascii") << QStringLiteral("O'Brien") << QByteArray("O'Brien") << true;
    QTest::newRow("russian") << QStringLiteral("Ёж я") << QByteArray("\xA8\xE6 \xFF") << true;
    QTest::newRow("ukrainian") << QStringLiteral("Ґґ Єє Іі Її") << QByteArray("\xA5\xB4 \xAA\xBA \xB2\xB3 \xAF\xBF")
                               << true;
    QTest::newRow("number sign, dashes") << QStringLiteral("№—–«»") << QByteArray("\xB9\x97\x96\xAB\xBB") << true;
    QTest::newRow("chinese") << QStringLiteral("a三b") << QByteArray("a?b") << false;
    QTest::newRow("latin accent") << QStringLiteral("é") << QByteArray("?") << false;
}

void TestTextCodec::encode()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);
    bool encoded = !ok;
    QCOMPARE(Win1251::encode(text, &encoded), bytes);
    QCOMPARE(encoded, ok);
    QCOMPARE(Win1251::canEncode(text), ok);
    if (ok)
        QCOMPARE(Win1251::decode(bytes), text);
}

QTEST_APPLESS_MAIN(TestTextCodec)
#include "tst_textcodec.moc"
