// Letter text that needs no database: the twelve pieces, group bodies, line counts, title cut.
#include "LetterComposer.h"

#include <QStringEncoder>
#include <QTest>

using namespace Letters;

class tst_LetterText : public QObject
{
    Q_OBJECT

private slots:
    void joinLetter_data();
    void joinLetter();
    void dateIgnoresLocale();
    void groupBody_data();
    void groupBody();
    void lineCount_data();
    void lineCount();
    void autoWritingSqlKeepsDoubleBlanks();
    void cutTitle_data();
    void cutTitle();
    void cutTitleNeverSplitsACharacter();
};

void tst_LetterText::joinLetter_data()
{
    QTest::addColumn<QString>("sheName");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("yourName");
    QTest::addColumn<QString>("salutation");
    QTest::addColumn<QString>("expected");

    const QString tail = QStringLiteral("\r\n\r\n    C\r\n");
    QTest::newRow("three indented lines leave two empty lines")
        << QStringLiteral("乙") << QStringLiteral("    a\r\n    b\r\n    c\r\n") << QStringLiteral("甲")
        << QStringLiteral("S")
        << QStringLiteral("S乙：\r\n    O\r\n    a\r\n    b\r\n    c\r\n") + tail
            + QStringLiteral("甲\r\n2024-02-09");
    QTest::newRow("body without final break leaves one")
        << QStringLiteral("乙") << QStringLiteral("模版正文") << QStringLiteral("甲") << QStringLiteral("S")
        << QStringLiteral("S乙：\r\n    O\r\n模版正文") + tail + QStringLiteral("甲\r\n2024-02-09");
    QTest::newRow("empty body") << QStringLiteral("乙") << QString() << QStringLiteral("甲")
                                << QStringLiteral("S")
                                << QStringLiteral("S乙：\r\n    O\r\n") + tail
            + QStringLiteral("甲\r\n2024-02-09");
    QTest::newRow("empty addressee: phrase then colon")
        << QString() << QString() << QStringLiteral("甲") << QStringLiteral("S")
        << QStringLiteral("S：\r\n    O\r\n") + tail + QStringLiteral("甲\r\n2024-02-09");
    QTest::newRow("empty writer: empty second-to-last line")
        << QStringLiteral("乙") << QString() << QString() << QStringLiteral("S")
        << QStringLiteral("S乙：\r\n    O\r\n") + tail + QStringLiteral("\r\n2024-02-09");
    QTest::newRow("names kept untrimmed and format-like text kept")
        << QStringLiteral(" %1 ") << QStringLiteral("%2") << QStringLiteral("\t甲 ") << QString()
        << QStringLiteral(" %1 ：\r\n    O\r\n%2") + tail + QStringLiteral("\t甲 \r\n2024-02-09");
}

void tst_LetterText::joinLetter()
{
    QFETCH(QString, sheName);
    QFETCH(QString, body);
    QFETCH(QString, yourName);
    QFETCH(QString, salutation);
    QFETCH(QString, expected);
    QCOMPARE(JoinLetter(salutation, sheName, QStringLiteral("O"), body, QStringLiteral("C"), yourName,
                 QDate(2024, 2, 9)),
        expected);
}

void tst_LetterText::dateIgnoresLocale()
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
    const QString date = FormatLetterDate(QDate(987, 12, 3));
    QLocale::setDefault(before);
    QCOMPARE(date, QStringLiteral("0987-12-03"));
}

void tst_LetterText::groupBody_data()
{
    QTest::addColumn<GroupRows>("rows");
    QTest::addColumn<QString>("expected");
    const GroupRows three = { { 1, 7, QStringLiteral("一"), false }, { 2, 7, QStringLiteral("二"), false },
        { 3, 7, QStringLiteral("三"), false } };
    QTest::newRow("nothing picked") << three << QString();
    GroupRows firstAndThird = three;
    firstAndThird[0].Picked = firstAndThird[2].Picked = true;
    QTest::newRow("list order, not pick order") << firstAndThird << QStringLiteral("    一\r\n    三\r\n");
    QTest::newRow("title used as stored")
        << GroupRows { { 9, 7, QStringLiteral("  带空格 <b>&amp;</b>"), true } }
        << QStringLiteral("      带空格 <b>&amp;</b>\r\n");
}

void tst_LetterText::groupBody()
{
    QFETCH(GroupRows, rows);
    QFETCH(QString, expected);
    QCOMPARE(GroupBody(rows), expected);
}

void tst_LetterText::lineCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("empty reads as the minimum") << QString() << 1;
    QTest::newRow("not a number") << QStringLiteral("a") << 1;
    QTest::newRow("decimal") << QStringLiteral("1.5") << 1;
    QTest::newRow("lone sign") << QStringLiteral("-") << 1;
    QTest::newRow("zero clamps up") << QStringLiteral("0") << 1;
    QTest::newRow("negative clamps up") << QStringLiteral("-99") << 1;
    QTest::newRow("above range clamps down") << QStringLiteral("150") << 100;
    QTest::newRow("plus sign") << QStringLiteral("+7") << 7;
    QTest::newRow("in range") << QStringLiteral("20") << 20;
    QTest::newRow("huge") << QStringLiteral("99999999999999999999") << 1;
}

void tst_LetterText::lineCount()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(LineCountFromText(text), expected);
}

void tst_LetterText::autoWritingSqlKeepsDoubleBlanks()
{
    QCOMPARE(AutoWritingSql(5),
        QStringLiteral("SELECT TOP 5 id, title FROM LoveWord  WHERE ClassID not in(2, 3, 4, 5, 6, 15)  "
                       "ORDER BY Rnd(id - Time() * id * Rnd() * 100)"));
}

void tst_LetterText::cutTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("expected");
    const QString fifty = QString(50, u'爱');
    QTest::newRow("exactly 100 bytes stays whole") << fifty << fifty;
    QTest::newRow("short title") << QStringLiteral("给你") << QStringLiteral("给你");
    QTest::newRow("ASCII cut at 100") << QString(120, u'a') << QString(100, u'a');
    // "a" + 50 double-byte characters: the 100th byte is the first half of the 50th character.
    QTest::newRow("100th byte inside a character")
        << QStringLiteral("a") + fifty << QStringLiteral("a") + QString(49, u'爱');
    QTest::newRow("combining mark stays with its base")
        << QString(99, u'a') + QStringLiteral("e\u0301z") << QString(99, u'a');
}

void tst_LetterText::cutTitle()
{
    QFETCH(QString, title);
    QFETCH(QString, expected);
    QCOMPARE(CutTitleGbk(title), expected);
}

void tst_LetterText::cutTitleNeverSplitsACharacter()
{
    QStringEncoder gbk("GBK");
    QVERIFY(gbk.isValid());
    const QString mixed = QStringLiteral("我爱你a，亲爱的😀b心");
    for (int n = 0; n < 12; ++n) {
        QString title = QString(n, u'x') + mixed.repeated(10);
        const QString cut = CutTitleGbk(title);
        QVERIFY2(title.startsWith(cut), qPrintable(cut));
        QVERIFY(QByteArray(gbk(cut)).size() <= TemplateTitleMaxBytes);
        QVERIFY(!cut.isEmpty() && !cut.back().isHighSurrogate());
        // one more character would not have fitted
        const qsizetype next = title.at(cut.size()).isHighSurrogate() ? 2 : 1;
        QVERIFY(QByteArray(gbk(title.left(cut.size() + next))).size() > TemplateTitleMaxBytes);
    }
}

QTEST_GUILESS_MAIN(tst_LetterText)
#include "tst_lettertext.moc"
