// Lined and plain paper: lines filled greedily and broken by the Chinese rules.
#include "LayoutInput.h"
#include "LineBreaking.h"

namespace Paper {

namespace {

bool isBlank(const QString &piece)
{
    return piece == QLatin1String(" ") || piece == QLatin1String("\t");
}

// End of the line that starts at `first`: as many pieces as fit, then back to the last place where
// a line may end. A run with no such place (a long Latin word) is cut where it overflows.
qsizetype lineEnd(const QList<qreal> &advances, const QStringList &pieces, qsizetype first, qreal width)
{
    qreal x = 0;
    qsizetype end = first;
    while (end < pieces.size() && (x + advances.at(end) <= width || isBlank(pieces.at(end))))
        x += advances.at(end++);
    if (end == pieces.size())
        return end;
    if (end == first)
        return first + 1;
    for (qsizetype b = end; b > first; --b) {
        if (BreakAllowed(pieces.at(b - 1), pieces.at(b)))
            return b;
    }
    return end;
}

} // namespace

void LayoutLines(LetterLayout &layout, const QList<LayoutParagraph> &paragraphs, PieceMeasure &measure)
{
    const PageGeometry &g = layout.geometry;
    int row = 0;
    for (const LayoutParagraph &p : paragraphs) {
        // Leading blanks are the letter's indent: four of them are the two characters of 空两格.
        qsizetype first = 0;
        while (first < p.pieces.size() && isBlank(p.pieces.at(first)))
            ++first;
        const qreal indent = first * layout.em / 2 + p.textIndent;
        QList<qreal> advances;
        for (qsizetype i = 0; i < p.pieces.size(); ++i)
            advances.append(measure.advance(p.pieces.at(i), p.fonts.at(i)));

        bool firstLine = true;
        do {
            const qreal start = g.text.left() + p.leftMargin + (firstLine ? indent : 0);
            const qreal width = g.text.right() - p.rightMargin - start;
            const qsizetype end = lineEnd(advances, p.pieces, first, width);
            qsizetype shown = end;
            while (shown > first && isBlank(p.pieces.at(shown - 1)))
                --shown;
            qreal used = 0;
            for (qsizetype i = first; i < shown; ++i)
                used += advances.at(i);

            qreal x = start;
            if (p.alignment & Qt::AlignRight)
                x += width - used;
            else if (p.alignment & Qt::AlignHCenter)
                x += (width - used) / 2;

            LaidLine &line = StartLine(layout, row++, p.block);
            line.baseline = g.baseline(line.row);
            for (qsizetype i = first; i < shown; ++i) {
                LaidGlyph glyph;
                glyph.text = p.pieces.at(i);
                glyph.origin = QPointF(x, line.baseline);
                glyph.advance = advances.at(i);
                glyph.font = p.fonts.at(i);
                x += glyph.advance;
                if (!isBlank(glyph.text))
                    line.glyphs.append(glyph);
            }
            first = end;
            while (first < p.pieces.size() && isBlank(p.pieces.at(first)))
                ++first;
            firstLine = false;
        } while (first < p.pieces.size());
    }
}

} // namespace Paper
