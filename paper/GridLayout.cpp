// 方格稿纸: every character and full-width mark in a cell of its own, as manuscript paper is written.
#include "LayoutInput.h"
#include "LineBreaking.h"

#include <QtMath>

namespace Paper {

namespace {

// A closing mark that joins a full row's last cell is written smaller, against the cell's right side.
constexpr qreal JoinedMarkScale = 0.7;

// What takes one grid position: a character, a pair of narrow ones, or a two-cell mark.
struct Unit
{
    QList<qsizetype> pieces;
    int cells = 1;
};

QList<Unit> units(const LayoutParagraph &p)
{
    QList<Unit> result;
    for (qsizetype i = 0; i < p.pieces.size(); ++i) {
        const QString &piece = p.pieces.at(i);
        if (IsHalfWidth(piece) && !result.isEmpty() && result.last().pieces.size() == 1
            && IsHalfWidth(p.pieces.at(result.last().pieces.first()))) {
            result.last().pieces.append(i);
            continue;
        }
        result.append(Unit { { i }, IsDoubleWidthMark(piece) ? 2 : 1 });
    }
    return result;
}

class GridWriter
{
public:
    GridWriter(LetterLayout &layout, PieceMeasure &measure)
        : m_layout(layout)
        , m_g(layout.geometry)
        , m_measure(measure)
    {
    }

    void write(const LayoutParagraph &p)
    {
        const int margin = qBound(0, qRound(p.leftMargin / m_g.cell), GridColumns - 1);
        const int firstIndent = qBound(0, qRound(p.textIndent / m_g.cell), GridColumns - 1 - margin);
        const qsizetype firstLine = m_lines.size();
        newRow(p.block);
        int column = margin + firstIndent;
        for (const Unit &unit : units(p)) {
            const QString &lead = p.pieces.at(unit.pieces.first());
            if (column >= GridColumns && unit.pieces.size() == 1 && IsNoStart(lead)) {
                joinLastCell(p, unit);
                continue;
            }
            if (column + unit.cells > GridColumns || (column == GridColumns - 1 && IsNoEnd(lead))) {
                newRow(p.block);
                column = margin;
            }
            place(p, unit, column);
            column += unit.cells;
        }
        if (p.alignment & (Qt::AlignRight | Qt::AlignHCenter)) {
            for (qsizetype i = firstLine; i < m_lines.size(); ++i)
                align(lineAt(m_lines.at(i)), p.alignment);
        }
    }

private:
    void newRow(int block)
    {
        LaidLine &line = StartLine(m_layout, m_row++, block);
        line.baseline = m_g.cellRect(line.row, 0).center().y() + EmCentreAboveBaseline * m_layout.em;
        m_lines.append({ m_layout.pages.size() - 1, m_layout.pages.last().lines.size() - 1 });
    }

    // Lines are kept by index: the page's list moves its lines as it grows.
    LaidLine &lineAt(const QPair<qsizetype, qsizetype> &at)
    {
        return m_layout.pages[at.first].lines[at.second];
    }
    LaidLine &line() { return lineAt(m_lines.last()); }

    LaidGlyph glyph(const LayoutParagraph &p, qsizetype piece, const QString &text, int column, int cells)
    {
        LaidGlyph g;
        g.text = text;
        g.font = p.fonts.at(piece);
        g.advance = m_measure.advance(text, g.font);
        g.column = column;
        g.cells = cells;
        return g;
    }

    void centre(LaidGlyph &g, qreal centreX) { g.origin = QPointF(centreX - g.advance / 2, line().baseline); }

    void place(const LayoutParagraph &p, const Unit &unit, int column)
    {
        const QRectF cell = m_g.cellRect(line().row, column);
        const QString &lead = p.pieces.at(unit.pieces.first());
        if (unit.pieces.size() == 2 || IsHalfWidth(lead)) {
            // Two narrow characters share the cell, each in its half; blanks only keep their place.
            for (qsizetype k = 0; k < unit.pieces.size(); ++k) {
                const qsizetype i = unit.pieces.at(k);
                if (p.pieces.at(i).trimmed().isEmpty())
                    continue;
                LaidGlyph g = glyph(p, i, p.pieces.at(i), column, 1);
                const qreal half = unit.pieces.size() == 2 ? cell.width() / 4 : 0;
                centre(g, cell.center().x() + (k == 0 ? -half : half));
                line().glyphs.append(g);
            }
            return;
        }
        if (unit.cells == 2 && lead.size() == 2) {
            // …… and ——: one character in each of the two cells; dashes fill their cells so the line
            // runs on unbroken.
            for (int k = 0; k < 2; ++k) {
                LaidGlyph g = glyph(p, unit.pieces.first(), lead.mid(k, 1), column + k, k == 0 ? 2 : 0);
                const QRectF c = m_g.cellRect(line().row, column + k);
                if (lead.at(0) == QChar(u'…')) {
                    centre(g, c.center().x());
                } else {
                    g.origin = QPointF(c.left(), line().baseline);
                    g.xScale = c.width() / g.advance;
                }
                line().glyphs.append(g);
            }
            return;
        }
        LaidGlyph g = glyph(p, unit.pieces.first(), lead, column, unit.cells);
        if (unit.cells == 2) {
            g.origin = QPointF(cell.left(), line().baseline);
            g.xScale = 2 * cell.width() / g.advance;
        } else {
            centre(g, cell.center().x());
        }
        line().glyphs.append(g);
    }

    void joinLastCell(const LayoutParagraph &p, const Unit &unit)
    {
        LaidGlyph g = glyph(p, unit.pieces.first(), p.pieces.at(unit.pieces.first()), GridColumns - 1, 0);
        const QRectF cell = m_g.cellRect(line().row, GridColumns - 1);
        g.scale = JoinedMarkScale;
        g.origin = QPointF(cell.right() - JoinedMarkScale * m_layout.em * 0.6, line().baseline);
        line().glyphs.append(g);
    }

    void align(LaidLine &row, Qt::Alignment alignment)
    {
        int end = 0;
        for (const LaidGlyph &g : std::as_const(row.glyphs))
            end = qMax(end, g.column + qMax(1, g.cells));
        int shift = GridColumns - end;
        if (alignment & Qt::AlignHCenter)
            shift /= 2;
        for (LaidGlyph &g : row.glyphs) {
            g.column += shift;
            g.origin.rx() += shift * m_g.cell;
        }
    }

    LetterLayout &m_layout;
    const PageGeometry &m_g;
    PieceMeasure &m_measure;
    int m_row = 0;
    QList<QPair<qsizetype, qsizetype>> m_lines; // page, line
};

} // namespace

void LayoutGrid(LetterLayout &layout, const QList<LayoutParagraph> &paragraphs, PieceMeasure &measure)
{
    GridWriter writer(layout, measure);
    for (const LayoutParagraph &p : paragraphs)
        writer.write(p);
}

} // namespace Paper
