#include "LetterLayout.h"

#include "HandJitter.h"
#include "LayoutInput.h"
#include "LineBreaking.h"
#include "PaperFonts.h"

#include <QTextBlock>
#include <QTextDocument>

#include <cmath>

namespace Paper {

namespace {

// Grid paper keeps a margin around each character inside its cell.
constexpr qreal MaxEmPerCell = 0.78;
constexpr qreal MinPointSize = 6;
constexpr qreal MaxPointSize = 72;
// The document measures margins and indents in pixels of 96 per inch.
constexpr qreal UnitsPerDocumentPixel = 25.4 / 96 * UnitsPerMm;

QList<QFont> letterFonts(const QString &family, qreal em)
{
    QList<QFont> fonts;
    for (int style = 0; style < 4; ++style) {
        QFont font(family);
        font.setPixelSize(qMax(1, qRound(em)));
        font.setHintingPreference(QFont::PreferNoHinting);
        font.setKerning(false);
        font.setBold(style & 1);
        font.setItalic(style & 2);
        fonts.append(font);
    }
    return fonts;
}

int fontIndex(const QTextCharFormat &format)
{
    return (format.fontWeight() >= QFont::Bold ? 1 : 0) + (format.fontItalic() ? 2 : 0);
}

LayoutParagraph readParagraph(const QTextBlock &block)
{
    LayoutParagraph p;
    p.block = block.blockNumber();
    const QTextBlockFormat format = block.blockFormat();
    p.alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    p.leftMargin = format.leftMargin() * UnitsPerDocumentPixel;
    p.rightMargin = format.rightMargin() * UnitsPerDocumentPixel;
    p.textIndent = format.textIndent() * UnitsPerDocumentPixel;

    const QString text = block.text();
    QList<int> fontAt(text.size(), 0);
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const int first = fragment.position() - block.position();
        const int style = fontIndex(fragment.charFormat());
        for (int i = 0; i < fragment.length() && first + i < text.size(); ++i)
            fontAt[first + i] = style;
    }
    p.pieces = LetterPieces(text);
    qsizetype at = 0;
    for (const QString &piece : std::as_const(p.pieces)) {
        p.fonts.append(fontAt.value(at));
        at += piece.size();
    }
    return p;
}

qreal lineFactor(const QTextDocument &document)
{
    qreal factor = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        if (format.lineHeightType() == QTextBlockFormat::ProportionalHeight)
            factor = qMax(factor, format.lineHeight() / 100);
    }
    return factor;
}

} // namespace

LetterLayout LayoutLetter(const QTextDocument &document, const PaperSettings &settings)
{
    LetterLayout layout;
    layout.settings = settings;
    // A size from outside (a spin box, the command line) never makes a page hold no line or a
    // thousand; NaN becomes the smallest size.
    layout.em = PointsToUnits(std::isnan(settings.pointSize)
            ? MinPointSize
            : qBound(MinPointSize, settings.pointSize, MaxPointSize));
    const QString family = ResolveFontFamily(settings.fontFamily);
    layout.fonts = letterFonts(family, layout.em);
    layout.geometry = MakePageGeometry(
        settings, layout.em, QFontMetricsF(layout.fonts.first()).lineSpacing(), lineFactor(document));
    if (settings.kind == pkGrid && layout.em > layout.geometry.cell * MaxEmPerCell) {
        layout.em = layout.geometry.cell * MaxEmPerCell;
        layout.fonts = letterFonts(family, layout.em);
    }

    QList<LayoutParagraph> paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        paragraphs.append(readParagraph(block));

    PieceMeasure measure(layout.fonts);
    if (settings.kind == pkGrid)
        LayoutGrid(layout, paragraphs, measure);
    else
        LayoutLines(layout, paragraphs, measure);
    if (layout.pages.isEmpty())
        layout.pages.append(LaidPage());

    if (settings.hand) {
        HandJitter jitter(document.toPlainText(), layout.em);
        for (LaidPage &page : layout.pages) {
            for (LaidLine &line : page.lines) {
                for (LaidGlyph &glyph : line.glyphs)
                    jitter.apply(glyph);
            }
        }
    }
    return layout;
}

} // namespace Paper

namespace Paper {

LaidLine &StartLine(LetterLayout &layout, int row, int block)
{
    const int perPage = layout.geometry.rowsPerPage;
    while (layout.pages.size() <= row / perPage)
        layout.pages.append(LaidPage());
    LaidLine &line = layout.pages[row / perPage].lines.emplace_back();
    line.block = block;
    line.row = row % perPage;
    return line;
}

} // namespace Paper
