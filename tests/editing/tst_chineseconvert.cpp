#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

#include "ChineseConvert.h"
#include "RtfReader.h"
#include "RtfWriter.h"

Q_DECLARE_METATYPE(TChineseDirection)

namespace {

QTextCharFormat bold()
{
    QTextCharFormat f;
    f.setFontWeight(QFont::Bold);
    return f;
}

} // namespace

class tst_ChineseConvert : public QObject
{
    Q_OBJECT

private slots:
    void phrases_data();
    void phrases();
    void longTextConvertsLikeItsLines();
    void formatsKeptAcrossPhrase();
    void selectionOnly();
    void oneUndoStep();
    void framedLetterRoundTrip();
};

// Expected values are the output of OpenCC's own command, `opencc -c s2t.json` / `-c t2s.json`.
void tst_ChineseConvert::phrases_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<TChineseDirection>("direction");
    QTest::addColumn<QString>("expected");
    const auto s2t = TChineseDirection::cdToTraditional;
    const auto t2s = TChineseDirection::cdToSimplified;
    QTest::newRow("后来") << QStringLiteral("后来") << s2t << QStringLiteral("後來");
    QTest::newRow("皇后 stays") << QStringLiteral("皇后") << s2t << QStringLiteral("皇后");
    QTest::newRow("头发") << QStringLiteral("头发") << s2t << QStringLiteral("頭髮");
    QTest::newRow("出发 is another 发") << QStringLiteral("出发") << s2t << QStringLiteral("出發");
    QTest::newRow("一只 by phrase") << QStringLiteral("一只松鼠在树上") << s2t
                                    << QStringLiteral("一隻松鼠在樹上");
    QTest::newRow("只有 stays") << QStringLiteral("只有你") << s2t << QStringLiteral("只有你");
    QTest::newRow("里程碑 stays") << QStringLiteral("里程碑") << s2t << QStringLiteral("里程碑");
    QTest::newRow("in a sentence") << QStringLiteral("他后来理发了") << s2t << QStringLiteral("他後來理髮了");
    QTest::newRow("後來 back") << QStringLiteral("後來") << t2s << QStringLiteral("后来");
    QTest::newRow("乾淨") << QStringLiteral("乾淨的衣服") << t2s << QStringLiteral("干净的衣服");
    QTest::newRow("乾隆 stays") << QStringLiteral("乾隆皇帝") << t2s << QStringLiteral("乾隆皇帝");
    QTest::newRow("latin and emoji pass")
        << QStringLiteral("I ❤️ 你😀") << s2t << QStringLiteral("I ❤️ 你😀");
}

void tst_ChineseConvert::phrases()
{
    QFETCH(QString, text);
    QFETCH(TChineseDirection, direction);
    QFETCH(QString, expected);
    QCOMPARE(ConvertChinese(text, direction), expected);
}

// A long text is converted in parts; nothing may be lost, doubled or cut at the seams.
void tst_ChineseConvert::longTextConvertsLikeItsLines()
{
    QStringList lines;
    for (int i = 0; i < 20000; ++i)
        lines << QStringLiteral("第%1行：后来她的头发长了").arg(i);
    const QString text = lines.join(QChar::ParagraphSeparator);
    QVERIFY(text.size() > 256 * 1024);
    const QString expectedLine = ConvertChinese(lines.first(), TChineseDirection::cdToTraditional);
    QCOMPARE(expectedLine, QStringLiteral("第0行：後來她的頭髮長了"));
    const QStringList converted
        = ConvertChinese(text, TChineseDirection::cdToTraditional).split(QChar::ParagraphSeparator);
    QCOMPARE(converted.size(), lines.size());
    for (int i = 0; i < lines.size(); ++i)
        QCOMPARE(converted[i], QStringLiteral("第%1行：後來她的頭髮長了").arg(i));
}

// A phrase whose characters carry different formats is still converted as a phrase.
void tst_ChineseConvert::formatsKeptAcrossPhrase()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("我的头"), bold());
    c.insertText(QStringLiteral("发很长"), QTextCharFormat());
    QVERIFY(ConvertChineseInDocument(QTextCursor(&doc), TChineseDirection::cdToTraditional));
    QCOMPARE(doc.toPlainText(), QStringLiteral("我的頭髮很長"));
    const QTextBlock b = doc.begin();
    auto it = b.begin();
    QCOMPARE(it.fragment().text(), QStringLiteral("我的頭"));
    QCOMPARE(it.fragment().charFormat().fontWeight(), int(QFont::Bold));
    ++it;
    QCOMPARE(it.fragment().text(), QStringLiteral("髮很長"));
    QVERIFY(it.fragment().charFormat().fontWeight() != QFont::Bold);
}

void tst_ChineseConvert::selectionOnly()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("后来\n后来"));
    QTextCursor c(doc.lastBlock());
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QVERIFY(ConvertChineseInDocument(c, TChineseDirection::cdToTraditional));
    QCOMPARE(doc.toPlainText(), QStringLiteral("后来\n後來"));
    c.setPosition(doc.lastBlock().position());
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QVERIFY(!ConvertChineseInDocument(c, TChineseDirection::cdToTraditional));
}

void tst_ChineseConvert::oneUndoStep()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("头发\n后来的事\n皇后"));
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("前"), bold());
    const QString before = doc.toPlainText();
    QVERIFY(ConvertChineseInDocument(QTextCursor(&doc), TChineseDirection::cdToTraditional));
    QCOMPARE(doc.toPlainText(), QStringLiteral("前頭髮\n後來的事\n皇后"));
    doc.undo();
    QCOMPARE(doc.toPlainText(), before);
}

// A framed letter there and back: what only has one traditional form comes back as it was.
void tst_ChineseConvert::framedLetterRoundTrip()
{
    const QString letter = QStringLiteral(
        "亲爱的小雨：\n\n    你好！后来我才明白，你的头发在风里飘动的样子，是我见过最美的风景。\n"
        "    愿我们的爱情像钟表一样，一秒一秒地走下去。\n\n此致\n敬礼\n\n永远爱你的阿明\n2026年12月10日");
    QTextDocument doc;
    doc.setPlainText(letter);
    QTextCursor title(&doc);
    title.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat red;
    red.setForeground(QColor(200, 0, 0));
    title.mergeCharFormat(red);

    QVERIFY(ConvertChineseInDocument(QTextCursor(&doc), TChineseDirection::cdToTraditional));
    const QString traditional = doc.toPlainText();
    QVERIFY(traditional.contains(QStringLiteral("後來我才明白，你的頭髮")));
    QVERIFY(traditional.contains(QStringLiteral("鐘錶")));
    // Through RTF, as the letter would be saved between the two conversions.
    QTextDocument reopened;
    ReadRtf(WriteRtf(&doc), &reopened);
    QVERIFY(ConvertChineseInDocument(QTextCursor(&reopened), TChineseDirection::cdToSimplified));
    QCOMPARE(reopened.toPlainText(), letter);
    QCOMPARE(reopened.begin().begin().fragment().charFormat().foreground().color(), QColor(200, 0, 0));
}

QTEST_MAIN(tst_ChineseConvert)
#include "tst_chineseconvert.moc"
