#pragma once

#include "PageGeometry.h"
#include "PaperSettings.h"

#include <QFont>
#include <QList>
#include <QPointF>
#include <QString>

class QTextDocument;

namespace Paper {

// One character (or the two of a grid cell's pair) placed on a page, in page units.
struct LaidGlyph
{
    QString text;
    QPointF origin; // left end of the baseline
    qreal advance = 0;
    qreal xScale = 1; // dashes stretched over their cells
    qreal scale = 1; // a closing mark squeezed into the full row's last cell
    int font = 0; // index into LetterLayout::fonts
    int column = -1; // grid paper: the cell; -1 on lined paper
    int cells = 0; // grid paper: cells taken; 0 for a mark that joined the cell before it
    // 手写效果: moved, turned (degrees) and scaled about the glyph's centre.
    QPointF shift;
    qreal turn = 0;
    qreal size = 1;
};

struct LaidLine
{
    int block = 0; // paragraph of the document
    int row = 0; // line or grid row on its page
    qreal baseline = 0;
    QList<LaidGlyph> glyphs;
};

struct LaidPage
{
    QList<LaidLine> lines;
};

// A letter laid out on its paper: the same for the preview, the PDF and the pictures.
struct LetterLayout
{
    PaperSettings settings;
    PageGeometry geometry;
    QList<QFont> fonts; // regular, bold, italic, bold italic
    qreal em = 0;
    QList<LaidPage> pages; // at least one, for an empty letter too
};

LetterLayout LayoutLetter(const QTextDocument &document, const PaperSettings &settings);

} // namespace Paper
