#include <QtTest>

#include "TextCounts.h"

Q_DECLARE_METATYPE(TTextCounts)

namespace QTest {
template <> char *toString(const TTextCounts &c)
{
    return qstrdup(QStringLiteral("字数 %1, 不计空格 %2, 计空格 %3, 中文 %4, 标点 %5, 段落 %6")
                       .arg(c.Words)
                       .arg(c.CharactersNoSpaces)
                       .arg(c.CharactersWithSpaces)
                       .arg(c.Chinese)
                       .arg(c.Punctuation)
                       .arg(c.Paragraphs)
                       .toUtf8()
                       .constData());
}
}

class tst_TextCounts : public QObject
{
    Q_OBJECT

private slots:
    void counts_data();
    void counts();
};

void tst_TextCounts::counts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<TTextCounts>("expected");
    // Words, no spaces, with spaces, Chinese, punctuation, paragraphs.
    QTest::newRow("empty") << QString() << TTextCounts {};
    QTest::newRow("chinese with full-width marks")
        << QStringLiteral("你好，世界。") << TTextCounts { 6, 6, 6, 4, 2, 1 };
    QTest::newRow("latin words") << QStringLiteral("Hello world") << TTextCounts { 2, 10, 11, 0, 0, 1 };
    QTest::newRow("mixed, narrow symbols count in no word")
        << QStringLiteral("我爱Qt 6和C++！") << TTextCounts { 7, 10, 11, 3, 1, 1 };
    QTest::newRow("joined latin words")
        << QStringLiteral("don't e-mail 3.14 end.") << TTextCounts { 4, 19, 22, 0, 4, 1 };
    QTest::newRow("emoji and sequences count once")
        << QStringLiteral("爱你😀❤️👨‍👩‍👧") << TTextCounts { 5, 5, 5, 2, 0, 1 };
    QTest::newRow("han outside the BMP") << QStringLiteral("𠀀𪚥") << TTextCounts { 2, 2, 2, 2, 0, 1 };
    QTest::newRow("full-width space") << QStringLiteral("你　好") << TTextCounts { 2, 2, 3, 2, 0, 1 };
    QTest::newRow("blank paragraphs are not counted")
        << QStringLiteral("第一段\n\n  \n第二段\u2029第三段") << TTextCounts { 9, 9, 11, 9, 0, 3 };
    QTest::newRow("CR LF ends one paragraph")
        << QStringLiteral("甲\r\n乙\r") << TTextCounts { 2, 2, 2, 2, 0, 2 };
    QTest::newRow("embedded picture is no character")
        << QStringLiteral("图\uFFFC片") << TTextCounts { 2, 2, 2, 2, 0, 1 };
}

void tst_TextCounts::counts()
{
    QFETCH(QString, text);
    QFETCH(TTextCounts, expected);
    QCOMPARE(CountText(text), expected);
}

QTEST_GUILESS_MAIN(tst_TextCounts)
#include "tst_textcounts.moc"
