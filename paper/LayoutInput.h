#pragma once

#include "LetterLayout.h"
#include "PieceMeasure.h"

namespace Paper {

// A paragraph of the document as the two layouts read it.
struct LayoutParagraph
{
    int block = 0;
    QStringList pieces;
    QList<int> fonts; // per piece
    Qt::Alignment alignment = Qt::AlignLeft;
    qreal leftMargin = 0; // page units
    qreal rightMargin = 0;
    qreal textIndent = 0;
};

// Starts line or grid row number `row` of the whole letter on the page it falls on.
LaidLine &StartLine(LetterLayout &layout, int row, int block);

void LayoutLines(LetterLayout &layout, const QList<LayoutParagraph> &paragraphs, PieceMeasure &measure);
void LayoutGrid(LetterLayout &layout, const QList<LayoutParagraph> &paragraphs, PieceMeasure &measure);

} // namespace Paper
