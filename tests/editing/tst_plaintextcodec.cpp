#include "PlainTextCodec.h"

#include <QTest>

class tst_PlainTextCodec : public QObject
{
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void encode_data();
    void encode();
    void roundTripKeepsEveryCharacter_data();
    void roundTripKeepsEveryCharacter();
    void unpairedSurrogateIsReported();
};

void tst_PlainTextCodec::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("encoding");

    const int gb = int(TTextEncoding::teGB18030);
    QTest::newRow("gbk with CR LF") << QByteArray("\xC4\xE3\xBA\xC3\r\nab") << QStringLiteral("你好\nab")
                                    << gb;
    QTest::newRow("lone LF") << QByteArray("a\nb\n") << QStringLiteral("a\nb\n") << gb;
    QTest::newRow("lone CR") << QByteArray("a\rb") << QStringLiteral("a\nb") << gb;
    QTest::newRow("CR CR LF is two lines") << QByteArray("a\r\r\nb") << QStringLiteral("a\n\nb") << gb;
    QTest::newRow("empty") << QByteArray() << QString() << gb;
    QTest::newRow("ascii only") << QByteArray("Dear") << QStringLiteral("Dear") << gb;
    QTest::newRow("gb18030 four-byte character")
        << QByteArray("\x95\x32\x82\x36") << QStringLiteral("𠀀") << gb;
    QTest::newRow("utf-8 without mark")
        << QByteArray("\xE4\xBD\xA0\xE5\xA5\xBD") << QStringLiteral("你好") << int(TTextEncoding::teUtf8);
    QTest::newRow("utf-8 mark") << QByteArray("\xEF\xBB\xBFhi\r\n") << QStringLiteral("hi\n")
                                << int(TTextEncoding::teUtf8Bom);
    QTest::newRow("utf-8 mark, second mark is text")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx") << QStringLiteral("\uFEFFx")
        << int(TTextEncoding::teUtf8Bom);
    QTest::newRow("utf-16 LE mark") << QByteArray("\xFF\xFE\x60\x4F\r\0\n\0", 8) << QStringLiteral("你\n")
                                    << int(TTextEncoding::teUtf16LE);
    QTest::newRow("utf-16 BE mark") << QByteArray("\xFE\xFF\x4F\x60\0\r", 6) << QStringLiteral("你\n")
                                    << int(TTextEncoding::teUtf16BE);
    QTest::newRow("overlong utf-8 is gb18030") << QByteArray("\xC0\xAF") << QStringLiteral("蜡") << gb;
    QTest::newRow("utf-8 surrogate bytes are gb18030")
        << QByteArray("\xED\xA0\x80") << QString::fromUtf8("頎\xEF\xBF\xBD") << gb;
}

void tst_PlainTextCodec::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(int, encoding);
    const TPlainText result = DecodePlainText(bytes);
    QCOMPARE(result.text, text);
    QCOMPARE(int(result.encoding), encoding);
}

void tst_PlainTextCodec::encode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("bytes");

    const int gb = int(TTextEncoding::teGB18030);
    QTest::newRow("gbk bytes with CR LF")
        << QStringLiteral("你好\nab") << gb << QByteArray("\xC4\xE3\xBA\xC3\r\nab");
    QTest::newRow("no mark, no trailing line end") << QStringLiteral("a") << gb << QByteArray("a");
    QTest::newRow("emoji in gb18030") << QStringLiteral("😀") << gb << QByteArray("\x94\x39\xFC\x36");
    QTest::newRow("gbk that reads as utf-8 gets a utf-8 mark")
        << QStringLiteral("一丌") << gb << QByteArray("\xEF\xBB\xBF\xE4\xB8\x80\xE4\xB8\x8C");
    QTest::newRow("utf-8 stays utf-8")
        << QStringLiteral("你\n") << int(TTextEncoding::teUtf8) << QByteArray("\xE4\xBD\xA0\r\n");
    QTest::newRow("utf-16 LE CR LF in units") << QStringLiteral("a\nb") << int(TTextEncoding::teUtf16LE)
                                              << QByteArray("\xFF\xFE"
                                                            "a\0\r\0\n\0b\0",
                                                     10);
}

void tst_PlainTextCodec::encode()
{
    QFETCH(QString, text);
    QFETCH(int, encoding);
    QFETCH(QByteArray, bytes);
    QCOMPARE(EncodePlainText(text, TTextEncoding(encoding)), bytes);
}

void tst_PlainTextCodec::roundTripKeepsEveryCharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("encoding");
    const QString letter = QStringLiteral("亲爱的小明：\n    想你😘，𠀀字与「€」\n\n张三\n2026-12-10");
    for (int e = int(TTextEncoding::teGB18030); e <= int(TTextEncoding::teUtf16BE); ++e)
        QTest::addRow("letter in encoding %d", e) << letter << e;
    QTest::newRow("short gbk that looks like utf-8")
        << QStringLiteral("一丌") << int(TTextEncoding::teGB18030);
    QTest::newRow("starts with U+FEFF") << QStringLiteral("\uFEFF甲") << int(TTextEncoding::teUtf16LE);
}

void tst_PlainTextCodec::roundTripKeepsEveryCharacter()
{
    QFETCH(QString, text);
    QFETCH(int, encoding);
    bool ok = false;
    const QByteArray bytes = EncodePlainText(text, TTextEncoding(encoding), &ok);
    QVERIFY(ok);
    QCOMPARE(DecodePlainText(bytes).text, text);
}

void tst_PlainTextCodec::unpairedSurrogateIsReported()
{
    bool ok = true;
    EncodePlainText(QString(QChar(0xD800)), TTextEncoding::teGB18030, &ok);
    QVERIFY(!ok);
}

QTEST_APPLESS_MAIN(tst_PlainTextCodec)
#include "tst_plaintextcodec.moc"
