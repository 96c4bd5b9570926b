#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

#include "TextFind.h"

namespace {

QTextCursor at(QTextDocument *doc, int position)
{
    QTextCursor c(doc);
    c.setPosition(position);
    return c;
}

} // namespace

class tst_TextFind : public QObject
{
    Q_OBJECT

private slots:
    void findNext_data();
    void findNext();
    void wrapsAndReportsIt();
    void notFound();
    void replaceAll_data();
    void replaceAll();
    void replaceAllIsOneUndoStepAndKeepsFormat();
    void replacementContainingTheTextIsNotSearchedAgain();
    void isMatch();
};

void tst_TextFind::findNext_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<bool>("wholeWords");
    QTest::addColumn<bool>("backward");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("expected"); // start of the match, -1 for none

    QTest::newRow("chinese") << QStringLiteral("我爱你，你爱我") << QStringLiteral("爱我") << false << false
                             << false << 0 << 5;
    QTest::newRow("full-width punctuation")
        << QStringLiteral("你好！你好，") << QStringLiteral("好，") << false << false << false << 0 << 4;
    QTest::newRow("emoji exactly") << QStringLiteral("a😀b😁c😀") << QStringLiteral("😀") << false << false
                                   << false << 3 << 7;
    QTest::newRow("ignoring case") << QStringLiteral("I Love You") << QStringLiteral("love") << false << false
                                   << false << 0 << 2;
    QTest::newRow("matching case") << QStringLiteral("love Love") << QStringLiteral("Love") << true << false
                                   << false << 0 << 5;
    QTest::newRow("whole word skips part of a word")
        << QStringLiteral("lovely love") << QStringLiteral("love") << false << true << false << 0 << 7;
    QTest::newRow("whole word beside chinese")
        << QStringLiteral("我love你") << QStringLiteral("love") << false << true << false << 0 << 1;
    QTest::newRow("whole word does not split chinese")
        << QStringLiteral("亲爱的") << QStringLiteral("爱") << false << true << false << 0 << 1;
    QTest::newRow("next paragraph") << QStringLiteral("想你\n想你") << QStringLiteral("想你") << false
                                    << false << false << 1 << 3;
    QTest::newRow("backward") << QStringLiteral("想你想你想你") << QStringLiteral("想你") << false << false
                              << true << 4 << 2;
    QTest::newRow("backward into previous paragraph")
        << QStringLiteral("想你\n不") << QStringLiteral("想你") << false << false << true << 4 << 0;
}

void tst_TextFind::findNext()
{
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(bool, caseSensitive);
    QFETCH(bool, wholeWords);
    QFETCH(bool, backward);
    QFETCH(int, from);
    QFETCH(int, expected);
    QTextDocument doc;
    doc.setPlainText(text);
    const TFindResult r = FindText(&doc, what, at(&doc, from), { caseSensitive, wholeWords }, backward);
    QCOMPARE(r.Match.isNull() ? -1 : r.Match.selectionStart(), expected);
    if (!r.Match.isNull())
        QCOMPARE(r.Match.selectedText(), text.mid(expected, what.size()));
    QVERIFY(!r.Wrapped);
}

void tst_TextFind::wrapsAndReportsIt()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("想你\n今天\n想你"));
    TFindResult r = FindText(&doc, QStringLiteral("想你"), at(&doc, 0), {});
    QCOMPARE(r.Match.selectionStart(), 0);
    QVERIFY(!r.Wrapped);
    r = FindText(&doc, QStringLiteral("想你"), r.Match, {});
    QCOMPARE(r.Match.selectionStart(), 6);
    QVERIFY(!r.Wrapped);
    r = FindText(&doc, QStringLiteral("想你"), r.Match, {});
    QCOMPARE(r.Match.selectionStart(), 0);
    QVERIFY(r.Wrapped);
    r = FindText(&doc, QStringLiteral("想你"), r.Match, {}, true);
    QCOMPARE(r.Match.selectionStart(), 6);
    QVERIFY(r.Wrapped);
    // The only match, found again from itself.
    doc.setPlainText(QStringLiteral("只有一个爱"));
    r = FindText(&doc, QStringLiteral("爱"), at(&doc, 5), {});
    QCOMPARE(r.Match.selectionStart(), 4);
    QVERIFY(r.Wrapped);
}

void tst_TextFind::notFound()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("想你\n念你"));
    QVERIFY(FindText(&doc, QStringLiteral("恨"), at(&doc, 3), {}).Match.isNull());
    QVERIFY(FindText(&doc, QStringLiteral("恨"), at(&doc, 3), {}, true).Match.isNull());
    QVERIFY(FindText(&doc, QString(), at(&doc, 0), {}).Match.isNull());
    // Matches never run across a paragraph break.
    QVERIFY(FindText(&doc, QStringLiteral("你念"), at(&doc, 0), {}).Match.isNull());
}

void tst_TextFind::replaceAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("with");
    QTest::addColumn<bool>("wholeWords");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("count");
    QTest::newRow("every paragraph") << QStringLiteral("亲爱的\n亲爱的你") << QStringLiteral("亲爱的")
                                     << QStringLiteral("最爱的") << false
                                     << QStringLiteral("最爱的\n最爱的你") << 2;
    QTest::newRow("to nothing") << QStringLiteral("啊啊，好啊") << QStringLiteral("啊") << QString() << false
                                << QStringLiteral("，好") << 3;
    QTest::newRow("longer replacement") << QStringLiteral("ab-ab") << QStringLiteral("ab")
                                        << QStringLiteral("😀😀") << false << QStringLiteral("😀😀-😀😀") << 2;
    QTest::newRow("whole words only") << QStringLiteral("love lovely love") << QStringLiteral("love")
                                      << QStringLiteral("爱") << true << QStringLiteral("爱 lovely 爱") << 2;
    QTest::newRow("none") << QStringLiteral("你好") << QStringLiteral("再见") << QStringLiteral("x") << false
                          << QStringLiteral("你好") << 0;
}

void tst_TextFind::replaceAll()
{
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(QString, with);
    QFETCH(bool, wholeWords);
    QFETCH(QString, expected);
    QFETCH(int, count);
    QTextDocument doc;
    doc.setPlainText(text);
    QCOMPARE(CountMatches(&doc, what, { false, wholeWords }), count);
    QCOMPARE(ReplaceAll(&doc, what, with, { false, wholeWords }), count);
    QCOMPARE(doc.toPlainText(), expected);
}

void tst_TextFind::replaceAllIsOneUndoStepAndKeepsFormat()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat red;
    red.setForeground(Qt::red);
    c.insertText(QStringLiteral("想你"), red);
    c.insertText(QStringLiteral("，还是想你\n想你"), QTextCharFormat());
    doc.clearUndoRedoStacks();
    QCOMPARE(ReplaceAll(&doc, QStringLiteral("想你"), QStringLiteral("爱你"), {}), 3);
    QCOMPARE(doc.toPlainText(), QStringLiteral("爱你，还是爱你\n爱你"));
    QCOMPARE(doc.begin().begin().fragment().text(), QStringLiteral("爱你"));
    QCOMPARE(doc.begin().begin().fragment().charFormat().foreground().color(), QColor(Qt::red));
    doc.undo();
    QCOMPARE(doc.toPlainText(), QStringLiteral("想你，还是想你\n想你"));
    QVERIFY(!doc.isUndoAvailable());
}

void tst_TextFind::replacementContainingTheTextIsNotSearchedAgain()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("爱爱"));
    QCOMPARE(ReplaceAll(&doc, QStringLiteral("爱"), QStringLiteral("爱爱"), {}), 2);
    QCOMPARE(doc.toPlainText(), QStringLiteral("爱爱爱爱"));
}

void tst_TextFind::isMatch()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("Love lovely\n你"));
    QTextCursor c(&doc);
    c.setPosition(4, QTextCursor::KeepAnchor);
    QVERIFY(IsMatch(c, QStringLiteral("love"), {}));
    QVERIFY(!IsMatch(c, QStringLiteral("love"), { true, false }));
    c.setPosition(5);
    c.setPosition(9, QTextCursor::KeepAnchor);
    QVERIFY(IsMatch(c, QStringLiteral("love"), {}));
    QVERIFY(!IsMatch(c, QStringLiteral("love"), { false, true }));
    c.setPosition(0);
    QVERIFY(!IsMatch(c, QStringLiteral("love"), {}));
}

QTEST_MAIN(tst_TextFind)
#include "tst_textfind.moc"
