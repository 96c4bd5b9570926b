#include "PageGeometry.h"

#include <QtMath>

namespace Paper {

namespace {

// 稿纸 keeps a gap of 0.4 cell between rows; 25 rows are drawn only while a gap of 0.1 cell is left.
constexpr qreal GridRowPitch = 1.4;
constexpr qreal MinDenseRowPitch = 1.1;

} // namespace

qreal PageGeometry::rule(int row) const
{
    return text.top() + (row + 1) * pitch;
}

qreal PageGeometry::baseline(int row) const
{
    return rule(row) - ruleDrop;
}

QRectF PageGeometry::cellRect(int row, int column) const
{
    return QRectF(text.left() + column * cell, text.top() + row * pitch, cell, cell);
}

PageGeometry MakePageGeometry(const PaperSettings &settings, qreal em, qreal lineSpacing, qreal lineFactor)
{
    PageGeometry g;
    g.page = PageSizeMm(settings.size) * UnitsPerMm;
    const qreal side = g.page.width() * 0.1;
    const qreal top = g.page.height() * 0.09;
    const qreal bottom = g.page.height() * 0.09;
    const QRectF area(side, top, g.page.width() - 2 * side, g.page.height() - top - bottom);
    g.footBaseline = g.page.height() - bottom / 2;

    if (settings.kind != pkGrid) {
        g.text = area;
        g.pitch = lineSpacing * qMax<qreal>(lineFactor, 1.5);
        g.rowsPerPage = qMax(1, qFloor(area.height() / g.pitch));
        // Chinese characters reach a little below the baseline; the rule lies clear of them.
        g.ruleDrop = 0.22 * em;
        return g;
    }

    g.cell = area.width() / GridColumns;
    g.rowsPerPage = 20;
    g.pitch = qMin(g.cell * GridRowPitch, area.height() / g.rowsPerPage);
    if (settings.gridRows == 25 && area.height() / 25 >= g.cell * MinDenseRowPitch) {
        g.rowsPerPage = 25;
        g.pitch = area.height() / 25;
    }
    const qreal height = g.rowsPerPage * g.pitch - (g.pitch - g.cell);
    g.text = QRectF(area.left(), area.top() + (area.height() - height) / 2, area.width(), height);
    return g;
}

} // namespace Paper
