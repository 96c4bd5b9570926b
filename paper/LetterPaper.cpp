#include "LetterPaper.h"

#include "PaperSheet.h"

#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>

namespace Paper {

namespace {

bool plain(const LaidGlyph &g)
{
    return g.xScale == 1 && g.scale == 1 && g.turn == 0 && g.size == 1 && g.shift.isNull();
}

} // namespace

LetterPaper::LetterPaper(const QTextDocument &document, const PaperSettings &settings)
    : m_layout(LayoutLetter(document, settings))
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        m_title = block.text().trimmed();
        if (!m_title.isEmpty())
            break;
    }
}

QPageLayout LetterPaper::pageLayout() const
{
    return QPageLayout(QPageSize(pageSizeMm(), QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
        QPageLayout::Portrait, QMarginsF());
}

void LetterPaper::paintPage(QPainter &painter, int page, const QRectF &target) const
{
    if (page < 0 || page >= pageCount())
        return;
    painter.save();
    painter.setRenderHints(
        QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    painter.translate(target.topLeft());
    painter.scale(
        target.width() / m_layout.geometry.page.width(), target.height() / m_layout.geometry.page.height());
    PaintPaperSheet(painter, m_layout, page);

    painter.setPen(InkColor(m_layout.settings.ink));
    const QTransform sheet = painter.transform();
    int font = -1;
    for (const LaidLine &line : m_layout.pages.at(page).lines) {
        for (const LaidGlyph &g : line.glyphs) {
            if (g.font != font) {
                font = g.font;
                painter.setFont(m_layout.fonts.at(font));
            }
            if (plain(g)) {
                painter.drawText(g.origin, g.text);
                continue;
            }
            // Turned and scaled about the middle of the character's em box.
            const QPointF centre(
                g.advance * g.xScale * g.scale / 2, -EmCentreAboveBaseline * m_layout.em * g.scale);
            painter.translate(g.origin + g.shift + centre);
            painter.rotate(g.turn);
            painter.scale(g.size, g.size);
            painter.translate(-centre);
            painter.scale(g.xScale * g.scale, g.scale);
            painter.drawText(QPointF(0, 0), g.text);
            painter.setTransform(sheet);
        }
    }
    painter.restore();
}

} // namespace Paper
