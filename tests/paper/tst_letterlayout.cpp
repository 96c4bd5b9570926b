#include "LetterExport.h"
#include "LetterFixture.h"
#include "LetterPaper.h"
#include "LineBreaking.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

using namespace Paper;

namespace {

PaperSettings settingsFor(TPaperKind kind)
{
    PaperSettings s;
    s.kind = kind;
    return s;
}

std::unique_ptr<QTextDocument> paragraph(const QString &text, bool right = false)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setPlainText(text);
    if (right) {
        QTextBlockFormat format;
        format.setAlignment(Qt::AlignRight);
        QTextCursor(doc.get()).mergeBlockFormat(format);
    }
    return doc;
}

struct Found
{
    int page = -1;
    const LaidLine *line = nullptr;
    const LaidGlyph *glyph = nullptr;
};

Found findGlyph(const LetterLayout &layout, const QString &text)
{
    for (int p = 0; p < layout.pages.size(); ++p) {
        for (const LaidLine &line : layout.pages.at(p).lines) {
            for (const LaidGlyph &g : line.glyphs) {
                if (g.text == text)
                    return { p, &line, &g };
            }
        }
    }
    return {};
}

QList<const LaidLine *> allLines(const LetterLayout &layout)
{
    QList<const LaidLine *> lines;
    for (const LaidPage &page : layout.pages) {
        for (const LaidLine &line : page.lines)
            lines.append(&line);
    }
    return lines;
}

QString lineText(const LaidLine &line)
{
    QString text;
    for (const LaidGlyph &g : line.glyphs)
        text += g.text;
    return text;
}

QString filler(int n)
{
    return QString(qMax(0, n), u'一');
}

// How many "一" the first line of a paragraph of lined paper holds.
int lineCapacity()
{
    const LetterLayout layout = LayoutLetter(*paragraph(filler(200)), settingsFor(pkRuled));
    return int(layout.pages.first().lines.first().glyphs.size());
}

} // namespace

class tst_LetterLayout : public QObject
{
    Q_OBJECT

private slots:
    void gridCells_data();
    void gridCells();
    void lineBreaks_data();
    void lineBreaks();
    void baselinesStandOnTheRules();
    void longLetterGoesOnToMorePages_data();
    void longLetterGoesOnToMorePages();
    void emptyLetterIsOneBlankPage_data();
    void emptyLetterIsOneBlankPage();
    void denseGridOnlyWhereRowsKeepAGap();
    void anyFontSizeKeepsTheLetterOnThePage_data();
    void anyFontSizeKeepsTheLetterOnThePage();
    void handwritingRepeatsForTheSameLetter();
    void paperColourUnderTheText_data();
    void paperColourUnderTheText();
    void inkBetweenTheRules();
};

void tst_LetterLayout::gridCells_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("right");
    QTest::addColumn<QString>("probe");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("cells");

    QTest::newRow("character per cell")
        << QStringLiteral("你好") << false << QStringLiteral("好") << 0 << 1 << 1;
    QTest::newRow("mark in a cell of its own")
        << QStringLiteral("你，好") << false << QStringLiteral("好") << 0 << 2 << 1;
    QTest::newRow("four blanks are two empty cells")
        << QStringLiteral("    你") << false << QStringLiteral("你") << 0 << 2 << 1;
    QTest::newRow("wrapped row starts at the edge")
        << QStringLiteral("    ") + filler(18) + QStringLiteral("你") << false << QStringLiteral("你") << 1
        << 0 << 1;
    QTest::newRow("two digits share a cell")
        << filler(2) + QStringLiteral("2024年") << false << QStringLiteral("4") << 0 << 3 << 1;
    QTest::newRow("odd digit alone") << filler(1) + QStringLiteral("123年") << false << QStringLiteral("年")
                                     << 0 << 3 << 1;
    QTest::newRow("two Latin letters share a cell")
        << QStringLiteral("ab你") << false << QStringLiteral("b") << 0 << 0 << 1;
    QTest::newRow("dash over two cells")
        << filler(3) + QStringLiteral("——好") << false << QStringLiteral("—") << 0 << 3 << 2;
    QTest::newRow("after the dash") << filler(3) + QStringLiteral("——好") << false << QStringLiteral("好")
                                    << 0 << 5 << 1;
    QTest::newRow("ellipsis over two cells")
        << filler(3) + QStringLiteral("……") << false << QStringLiteral("…") << 0 << 3 << 2;
    QTest::newRow("ellipsis never split")
        << filler(19) + QStringLiteral("……") << false << QStringLiteral("…") << 1 << 0 << 2;
    QTest::newRow("dash never split")
        << filler(19) + QStringLiteral("——") << false << QStringLiteral("—") << 1 << 0 << 2;
    QTest::newRow("mark in the last free cell")
        << filler(19) + QStringLiteral("。") << false << QStringLiteral("。") << 0 << 19 << 1;
    QTest::newRow("full stop joins a full row")
        << filler(20) + QStringLiteral("。") << false << QStringLiteral("。") << 0 << 19 << 0;
    QTest::newRow("closing quote joins a full row")
        << filler(20) + QStringLiteral("”好") << false << QStringLiteral("”") << 0 << 19 << 0;
    QTest::newRow("two closing marks both join")
        << filler(20) + QStringLiteral("”。") << false << QStringLiteral("。") << 0 << 19 << 0;
    QTest::newRow("next row after a joined mark")
        << filler(20) + QStringLiteral("，好") << false << QStringLiteral("好") << 1 << 0 << 1;
    QTest::newRow("opening quote never ends a row")
        << filler(19) + QStringLiteral("“好”") << false << QStringLiteral("“") << 1 << 0 << 1;
    QTest::newRow("opening title mark never ends a row")
        << filler(19) + QStringLiteral("《书》") << false << QStringLiteral("《") << 1 << 0 << 1;
    QTest::newRow("right-aligned ends in the last cell")
        << QStringLiteral("阿明") << true << QStringLiteral("明") << 0 << 19 << 1;
    QTest::newRow("right-aligned digits")
        << QStringLiteral("12月10") << true << QStringLiteral("月") << 0 << 18 << 1;
}

void tst_LetterLayout::gridCells()
{
    QFETCH(QString, text);
    QFETCH(bool, right);
    QFETCH(QString, probe);
    const LetterLayout layout = LayoutLetter(*paragraph(text, right), settingsFor(pkGrid));
    const Found found = findGlyph(layout, probe);
    QVERIFY2(found.glyph, qPrintable(probe));
    QTEST(found.line->row, "row");
    QTEST(found.glyph->column, "column");
    QTEST(found.glyph->cells, "cells");
    // A glyph on a grid row stays inside its cell's column span (a joined mark inside the last one).
    const QRectF cell = layout.geometry.cellRect(found.line->row, found.glyph->column);
    QVERIFY(found.glyph->origin.x() >= cell.left() - 1);
    QVERIFY(found.glyph->origin.x() < cell.right());
}

void tst_LetterLayout::lineBreaks_data()
{
    QTest::addColumn<int>("fill"); // "一" before the tail, relative to a line's capacity
    QTest::addColumn<QString>("tail");
    QTest::addColumn<int>("firstLine"); // glyphs on the first line, relative to the capacity
    QTest::addColumn<QString>("secondLine"); // start of the second line

    QTest::newRow("fits exactly") << -1 << QStringLiteral("。好") << 0 << QStringLiteral("好");
    QTest::newRow("comma never starts a line") << 0 << QStringLiteral("，好") << -1 << QStringLiteral("一，");
    QTest::newRow("full stop never starts a line")
        << 0 << QStringLiteral("。") << -1 << QStringLiteral("一。");
    QTest::newRow("closing quote never starts a line")
        << 0 << QStringLiteral("”好") << -1 << QStringLiteral("一”");
    QTest::newRow("closing title mark never starts a line")
        << 0 << QStringLiteral("》好") << -1 << QStringLiteral("一》");
    QTest::newRow("quote and full stop go down together")
        << 0 << QStringLiteral("”。") << -1 << QStringLiteral("一”。");
    QTest::newRow("opening quote never ends a line")
        << -1 << QStringLiteral("“好”") << -1 << QStringLiteral("“好");
    QTest::newRow("opening bracket never ends a line")
        << -1 << QStringLiteral("（好）") << -1 << QStringLiteral("（好");
    QTest::newRow("ellipsis never split") << -1 << QStringLiteral("……好") << -1 << QStringLiteral("……好");
    QTest::newRow("dash never split") << -1 << QStringLiteral("——好") << -1 << QStringLiteral("——好");
    QTest::newRow("Latin word never split") << -1 << QStringLiteral("love") << -1 << QStringLiteral("love");
    QTest::newRow("number never split") << -1 << QStringLiteral("2024年") << -1 << QStringLiteral("2024年");
}

void tst_LetterLayout::lineBreaks()
{
    QFETCH(int, fill);
    QFETCH(QString, tail);
    QFETCH(int, firstLine);
    QFETCH(QString, secondLine);
    const int capacity = lineCapacity();
    QVERIFY(capacity > 10);
    const QString text = filler(capacity + fill) + tail;
    const LetterLayout layout = LayoutLetter(*paragraph(text), settingsFor(pkRuled));
    const QList<const LaidLine *> lines = allLines(layout);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0)->glyphs.size(), capacity + firstLine);
    QVERIFY2(lineText(*lines.at(1)).startsWith(secondLine), qPrintable(lineText(*lines.at(1))));
    QCOMPARE(lineText(*lines.at(0)) + lineText(*lines.at(1)), text);
}

void tst_LetterLayout::baselinesStandOnTheRules()
{
    const LetterLayout layout = LayoutLetter(*FramedLetter(40), settingsFor(pkRuled));
    const PageGeometry &g = layout.geometry;
    QVERIFY(layout.pages.size() >= 3);
    QVERIFY(g.rule(g.rowsPerPage - 1) <= g.text.bottom());
    for (const LaidPage &page : layout.pages) {
        for (int i = 0; i < page.lines.size(); ++i) {
            const LaidLine &line = page.lines.at(i);
            QCOMPARE(line.row, i);
            QCOMPARE(line.baseline + g.ruleDrop, g.rule(line.row));
            for (const LaidGlyph &glyph : line.glyphs)
                QCOMPARE(glyph.origin.y(), line.baseline);
        }
    }
}

void tst_LetterLayout::longLetterGoesOnToMorePages_data()
{
    QTest::addColumn<TPaperKind>("kind");
    QTest::newRow("ruled") << pkRuled;
    QTest::newRow("grid") << pkGrid;
    QTest::newRow("flower") << pkFlower;
}

void tst_LetterLayout::longLetterGoesOnToMorePages()
{
    QFETCH(TPaperKind, kind);
    const auto doc = FramedLetter(30);
    const LetterLayout layout = LayoutLetter(*doc, settingsFor(kind));
    QVERIFY(layout.pages.size() >= 2);
    for (int p = 0; p + 1 < layout.pages.size(); ++p)
        QCOMPARE(layout.pages.at(p).lines.size(), layout.geometry.rowsPerPage);

    // Every paragraph comes back whole and once, in order, however its lines fell on the pages.
    QStringList texts(doc->blockCount());
    int lastBlock = 0;
    for (const LaidLine *line : allLines(layout)) {
        QVERIFY(line->block >= lastBlock);
        lastBlock = line->block;
        texts[line->block] += lineText(*line);
    }
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
        QCOMPARE(texts.at(block.blockNumber()), block.text().remove(u' '));
}

void tst_LetterLayout::emptyLetterIsOneBlankPage_data()
{
    QTest::addColumn<TPaperKind>("kind");
    QTest::newRow("ruled") << pkRuled;
    QTest::newRow("grid") << pkGrid;
    QTest::newRow("plain") << pkPlain;
    QTest::newRow("flower") << pkFlower;
}

void tst_LetterLayout::emptyLetterIsOneBlankPage()
{
    QFETCH(TPaperKind, kind);
    const QTextDocument empty;
    const LetterPaper paper(empty, settingsFor(kind));
    QCOMPARE(paper.pageCount(), 1);
    for (const LaidLine &line : paper.layout().pages.first().lines)
        QVERIFY(line.glyphs.isEmpty());
    QCOMPARE(RenderPage(paper, 0, 30).size(), QSize(248, 351));
}

void tst_LetterLayout::denseGridOnlyWhereRowsKeepAGap()
{
    PaperSettings s = settingsFor(pkGrid);
    s.gridRows = 25;
    const LetterLayout a4 = LayoutLetter(QTextDocument(), s);
    QCOMPARE(a4.geometry.rowsPerPage, 25);
    QVERIFY(a4.geometry.pitch > a4.geometry.cell);
    QVERIFY(a4.geometry.text.bottom() <= a4.geometry.page.height());
    s.gridRows = 20;
    QCOMPARE(LayoutLetter(QTextDocument(), s).geometry.rowsPerPage, 20);
}

void tst_LetterLayout::anyFontSizeKeepsTheLetterOnThePage_data()
{
    QTest::addColumn<qreal>("points");
    QTest::newRow("zero") << qreal(0);
    QTest::newRow("negative") << qreal(-12);
    QTest::newRow("not a number") << qreal(qQNaN());
    QTest::newRow("huge") << qreal(1e9);
    QTest::newRow("smallest") << qreal(6);
    QTest::newRow("largest") << qreal(72);
}

void tst_LetterLayout::anyFontSizeKeepsTheLetterOnThePage()
{
    QFETCH(qreal, points);
    PaperSettings s = settingsFor(pkRuled);
    s.pointSize = points;
    const LetterLayout layout = LayoutLetter(*FramedLetter(2), s);
    const PageGeometry &g = layout.geometry;
    QVERIFY(g.rowsPerPage >= 3 && g.rowsPerPage <= 100);
    for (const LaidLine *line : allLines(layout)) {
        QVERIFY(line->baseline > 0 && line->baseline < g.page.height());
        for (const LaidGlyph &glyph : line->glyphs)
            QVERIFY(
                glyph.origin.x() >= g.text.left() && glyph.origin.x() + glyph.advance <= g.text.right() + 1);
    }
}

void tst_LetterLayout::handwritingRepeatsForTheSameLetter()
{
    PaperSettings s = settingsFor(pkPlain);
    s.hand = true;
    const LetterLayout first = LayoutLetter(*FramedLetter(3), s);
    const LetterLayout again = LayoutLetter(*FramedLetter(3), s);
    const auto other = FramedLetter(3);
    QTextCursor(other.get()).insertText(QStringLiteral("嗨"));
    const LetterLayout changed = LayoutLetter(*other, s);

    const QList<const LaidLine *> a = allLines(first), b = allLines(again), c = allLines(changed);
    int moved = 0, differs = 0;
    for (int i = 0; i < a.size(); ++i) {
        for (int k = 0; k < a.at(i)->glyphs.size(); ++k) {
            const LaidGlyph &g = a.at(i)->glyphs.at(k);
            QCOMPARE(g.shift, b.at(i)->glyphs.at(k).shift);
            QCOMPARE(g.turn, b.at(i)->glyphs.at(k).turn);
            QCOMPARE(g.size, b.at(i)->glyphs.at(k).size);
            QVERIFY(qAbs(g.turn) <= 6 && qAbs(g.shift.x()) <= first.em / 8 && qAbs(g.size - 1) <= 0.1);
            moved += g.turn != 0;
            if (i > 0 && k < c.at(i)->glyphs.size())
                differs += g.turn != c.at(i)->glyphs.at(k).turn;
        }
    }
    QVERIFY(moved > 0);
    QVERIFY(differs > 0);
    QCOMPARE(RenderPage(LetterPaper(*FramedLetter(3), s), 0, 60),
        RenderPage(LetterPaper(*FramedLetter(3), s), 0, 60));
}

void tst_LetterLayout::paperColourUnderTheText_data()
{
    QTest::addColumn<TPaperKind>("kind");
    QTest::addColumn<QColor>("paper");
    QTest::newRow("ruled") << pkRuled << QColor(0xff, 0xfd, 0xf7);
    QTest::newRow("grid") << pkGrid << QColor(0xff, 0xfe, 0xfa);
    QTest::newRow("plain") << pkPlain << QColor(0xfd, 0xfa, 0xf2);
    QTest::newRow("flower") << pkFlower << QColor(0xfb, 0xee, 0xec);
}

void tst_LetterLayout::paperColourUnderTheText()
{
    QFETCH(TPaperKind, kind);
    QFETCH(QColor, paper);
    const LetterPaper letter(*FramedLetter(2), settingsFor(kind));
    const QImage image = RenderPage(letter, 0, 100);
    const qreal scale = image.width() / letter.layout().geometry.page.width();
    // Beside the salutation's last character, inside the text area, there is paper, not white.
    const LaidLine &first = letter.layout().pages.first().lines.first();
    const LaidGlyph &last = first.glyphs.last();
    const QPointF beside(last.origin.x() + last.advance * 3, first.baseline - letter.layout().em / 2);
    QCOMPARE(image.pixelColor((beside * scale).toPoint()), paper);
}

void tst_LetterLayout::inkBetweenTheRules()
{
    PaperSettings s = settingsFor(pkRuled);
    s.ink = inkBlue;
    const LetterPaper letter(*FramedLetter(1), s);
    const LetterLayout &layout = letter.layout();
    const QImage image = RenderPage(letter, 0, 150);
    const qreal scale = image.width() / layout.geometry.page.width();
    const QColor ink = InkColor(inkBlue);
    const QColor rule = InkColor(s.ruleInk);

    // The first character's ink lies between its rule and the one above, and is the ink's colour.
    const LaidLine &line = layout.pages.first().lines.first();
    const LaidGlyph &g = line.glyphs.first();
    const int top = qCeil(layout.geometry.rule(line.row) * scale - layout.geometry.pitch * scale) + 2;
    const int bottom = qFloor(layout.geometry.rule(line.row) * scale) - 2;
    int inked = 0, inkColoured = 0;
    for (int y = qRound(layout.geometry.text.top() * scale) + 2;
         y < qRound(layout.geometry.rule(line.row + 1) * scale) - 2; ++y) {
        for (int x = qFloor(g.origin.x() * scale); x < qCeil((g.origin.x() + g.advance) * scale); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.lightness() > 160 || (y >= bottom - 1 && y <= bottom + 3))
                continue;
            QVERIFY2(y >= top && y <= bottom,
                qPrintable(QStringLiteral("ink at row %1 outside %2..%3").arg(y).arg(top).arg(bottom)));
            ++inked;
            inkColoured += qAbs(c.hue() - ink.hue()) < 20 || c.lightness() < 60;
        }
    }
    QVERIFY(inked > 20);
    QVERIFY(inkColoured * 10 > inked * 8);
    // Beyond the salutation the rule shows in its own colour.
    const QColor onRule = image.pixelColor(qRound((layout.geometry.text.right() - 1000) * scale),
        qRound(layout.geometry.rule(line.row) * scale));
    QVERIFY2(qAbs(onRule.hue() - rule.hue()) < 15, qPrintable(onRule.name()));
}

QTEST_MAIN(tst_LetterLayout)
#include "tst_letterlayout.moc"
