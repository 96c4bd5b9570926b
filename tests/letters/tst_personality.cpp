#include "Personality.h"
#include "PlumaretError.h"

#include <QStringEncoder>
#include <QTest>

using namespace Personality;

// The template's lines without their CR LF; fails the test when a line ends otherwise.
static QStringList splitLines(const QString &text)
{
    [&] { QVERIFY2(text.endsWith(QStringLiteral("\r\n")), "the last line must end in CR LF"); }();
    QStringList lines = text.split(QStringLiteral("\r\n"));
    lines.removeLast();
    for (const QString &line : lines)
        [&] { QVERIFY2(!line.contains(u'\r') && !line.contains(u'\n'), qPrintable(line)); }();
    return lines;
}

class tst_Personality : public QObject
{
    Q_OBJECT

private slots:
    void templateShape_data();
    void templateShape();
    void userTextIsInsertedLiterally_data();
    void userTextIsInsertedLiterally();
    void fieldTextsAreTrimmed_data();
    void fieldTextsAreTrimmed();
    void badTemplateUseThrows_data();
    void badTemplateUseThrows();
    void numbersAndPercentSigns();
};

void tst_Personality::templateShape_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("lines");
    // 1-based line number of each placeholder, in placeholder order.
    QTest::addColumn<QList<int>>("placeholderLines");
    // A piece of text that must follow a placeholder directly (its line given by the index).
    QTest::addColumn<QString>("context");
    QTest::addColumn<int>("contextLine");

    QTest::newRow("大胆表白") << int(ppBold) << 17 << QList<int> { 3, 4, 7, 12 } << "" << 0;
    QTest::newRow("无敌情书: eyes word after the blank")
        << int(ppInvincible) << 31 << QList<int> { 7, 25, 29 } << "%s眼睛" << 7;
    QTest::newRow("思春情书: film between title marks")
        << int(ppSpring) << 15 << QList<int> { 2, 10, 13, 13 } << "《%s》" << 13;
}

void tst_Personality::templateShape()
{
    QFETCH(int, page);
    QFETCH(QList<int>, placeholderLines);
    QFETCH(QString, context);
    QFETCH(int, contextLine);

    const QString templ = LetterTemplate(page);
    const QStringList lines = splitLines(templ);
    QTEST(int(lines.size()), "lines");
    QCOMPARE(FieldCount(page), int(placeholderLines.size()));

    QList<int> found;
    for (int i = 0; i < lines.size(); ++i)
        for (qsizetype n = lines.at(i).count(QStringLiteral("%s")); n > 0; --n)
            found << i + 1;
    QCOMPARE(found, placeholderLines);
    // No directive but %s.
    QCOMPARE(templ.count(u'%'), placeholderLines.size());
    if (!context.isEmpty())
        QVERIFY(lines.at(contextLine - 1).contains(context));

    // Plain-text letter files are GBK: every character must have a GBK code.
    QStringEncoder gbk("GBK");
    QVERIFY(gbk.isValid());
    const QByteArray bytes = gbk.encode(templ);
    QVERIFY(!gbk.hasError());
}

void tst_Personality::userTextIsInsertedLiterally_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("format directives typed by the user")
        << int(ppBold)
        << QStringList { QStringLiteral("%s"), QStringLiteral("100%"), QStringLiteral("%d%%"),
               QStringLiteral("%n%1") };
    QTest::newRow("ordinary words") << int(ppInvincible)
                                    << QStringList { QStringLiteral("水汪汪的"), QStringLiteral("被好好珍惜"),
                                           QStringLiteral("永远开得灿烂") };
    QTest::newRow("line breaks inside a text")
        << int(ppSpring)
        << QStringList { QStringLiteral("喝了十罐汽水"), QStringLiteral("海\r\n边"), QStringLiteral("图书馆"),
               QStringLiteral("%s") };
}

void tst_Personality::userTextIsInsertedLiterally()
{
    QFETCH(int, page);
    QFETCH(QStringList, texts);

    // The expected letter: the template cut at its blanks, the texts put between the pieces.
    const QStringList pieces = LetterTemplate(page).split(QStringLiteral("%s"));
    QCOMPARE(pieces.size(), texts.size() + 1);
    QString expected = pieces.first();
    for (int i = 0; i < texts.size(); ++i)
        expected += texts.at(i) + pieces.at(i + 1);

    QCOMPARE(MakeLetter(page, texts), expected);
}

void tst_Personality::fieldTextsAreTrimmed_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("inserted");

    QTest::newRow("blanks and tabs") << " \t乌黑亮丽  "
                                     << "乌黑亮丽";
    QTest::newRow("control characters") << QString::fromUtf8("\x01柔顺\x1f") << "柔顺";
    QTest::newRow("inner blanks stay") << " 像 瀑布 "
                                       << "像 瀑布";
    QTest::newRow("full-width blank is content") << "　"
                                                 << "　";
    QTest::newRow("full-width blank at the edge stays") << " 　长发　 "
                                                        << "　长发　";
}

void tst_Personality::fieldTextsAreTrimmed()
{
    QFETCH(QString, typed);
    QFETCH(QString, inserted);
    QCOMPARE(TrimBlanks(typed), inserted);
    const QString letter
        = MakeLetter(ppBold, { typed, QStringLiteral("E"), QStringLiteral("S"), QStringLiteral("C") });
    const QString line3 = letter.split(QStringLiteral("\r\n")).at(2);
    QVERIFY2(line3.contains(QStringLiteral("一头") + inserted + QStringLiteral("的")), qPrintable(line3));
}

void tst_Personality::badTemplateUseThrows_data()
{
    QTest::addColumn<QString>("templ");
    QTest::addColumn<int>("texts");

    QTest::newRow("too few values") << "%s and %s" << 1;
    QTest::newRow("too many values") << "%s" << 2;
    QTest::newRow("unknown directive") << "%d" << 0;
    QTest::newRow("lone percent at the end") << "50%" << 0;
    QTest::newRow("number directive given text") << "%2f" << 1;
}

void tst_Personality::badTemplateUseThrows()
{
    QFETCH(QString, templ);
    QFETCH(int, texts);
    QList<TTemplateArg> args;
    for (int i = 0; i < texts; ++i)
        args << QStringLiteral("x");
    QVERIFY_THROWS_EXCEPTION(EPlumaretError, FillTemplate(templ, args));
}

void tst_Personality::numbersAndPercentSigns()
{
    const QList<TTemplateArg> args { QStringLiteral("%%"), 62.5L, 9.125L };
    QCOMPARE(FillTemplate(QStringLiteral("%s:%2f%%,%.2f"), args), QStringLiteral("%%:62.50%,9.13"));
    QCOMPARE(FillTemplate(QStringLiteral("%2f"), { 0.5L }, u','), QStringLiteral("0,50"));
    QVERIFY_THROWS_EXCEPTION(EPlumaretError, FillTemplate(QStringLiteral("%s"), { 1.0L }));
}

QTEST_GUILESS_MAIN(tst_Personality)
#include "tst_personality.moc"
