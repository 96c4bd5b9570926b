#include "PaperSheet.h"

#include "LetterLayout.h"

#include <QPainter>
#include <QPainterPath>

namespace Paper {

namespace {

constexpr qreal mm = UnitsPerMm;

QColor paperColour(TPaperKind kind)
{
    switch (kind) {
    case pkRuled:
        return QColor(0xff, 0xfd, 0xf7);
    case pkGrid:
        return QColor(0xff, 0xfe, 0xfa);
    case pkPlain:
        return QColor(0xfd, 0xfa, 0xf2);
    case pkFlower:
        return QColor(0xfb, 0xee, 0xec); // a pale 薛涛笺 pink
    }
    return Qt::white;
}

void paintRules(QPainter &p, const LetterLayout &layout, const QColor &ink)
{
    const PageGeometry &g = layout.geometry;
    p.setPen(QPen(ink, 0.25 * mm));
    for (int row = 0; row < g.rowsPerPage; ++row)
        p.drawLine(QPointF(g.text.left(), g.rule(row)), QPointF(g.text.right(), g.rule(row)));
    // A double rule heads the sheet, as on printed letter paper.
    p.setPen(QPen(ink, 0.5 * mm));
    const qreal head = g.text.top();
    p.drawLine(QPointF(g.text.left(), head), QPointF(g.text.right(), head));
    p.setPen(QPen(ink, 0.2 * mm));
    p.drawLine(QPointF(g.text.left(), head + 0.8 * mm), QPointF(g.text.right(), head + 0.8 * mm));
}

void paintGrid(QPainter &p, const LetterLayout &layout, const QColor &ink)
{
    const PageGeometry &g = layout.geometry;
    p.setPen(QPen(ink, 0.2 * mm));
    p.setBrush(Qt::NoBrush);
    for (int row = 0; row < g.rowsPerPage; ++row) {
        const QRectF band = g.cellRect(row, 0).united(g.cellRect(row, GridColumns - 1));
        p.drawRect(band);
        for (int column = 1; column < GridColumns; ++column) {
            const qreal x = g.cellRect(row, column).left();
            p.drawLine(QPointF(x, band.top()), QPointF(x, band.bottom()));
        }
    }
    const qreal gap = g.pitch - g.cell;
    p.setPen(QPen(ink, 0.5 * mm));
    p.drawRect(g.text.adjusted(-gap, -gap, gap, gap));
}

void paintBorder(QPainter &p, const LetterLayout &layout)
{
    const QRectF sheet(QPointF(0, 0), layout.geometry.page);
    const QColor line(0xb0, 0x9c, 0x7e);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(line, 0.35 * mm));
    p.drawRect(sheet.adjusted(9 * mm, 9 * mm, -9 * mm, -9 * mm));
    p.setPen(QPen(line, 0.15 * mm));
    p.drawRect(sheet.adjusted(10.5 * mm, 10.5 * mm, -10.5 * mm, -10.5 * mm));
}

void blossom(QPainter &p, QPointF centre, qreal r, qreal turn)
{
    p.save();
    p.translate(centre);
    p.rotate(turn);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe6, 0x8f, 0x9c, 200));
    for (int i = 0; i < 5; ++i) {
        p.drawEllipse(QPointF(0, -r * 0.62), r * 0.5, r * 0.5);
        p.rotate(72);
    }
    p.setBrush(QColor(0xf6, 0xd8, 0x6b));
    p.drawEllipse(QPointF(0, 0), r * 0.2, r * 0.2);
    p.restore();
}

// A plum branch growing in from a corner; mirrored for the opposite corner.
void plumBranch(QPainter &p, QPointF corner, qreal size, bool mirrored)
{
    p.save();
    p.translate(corner);
    if (mirrored)
        p.scale(-1, -1);
    const qreal s = size;
    QPainterPath branch;
    branch.moveTo(0, 0.05 * s);
    branch.cubicTo(0.25 * s, 0.10 * s, 0.45 * s, 0.22 * s, 0.78 * s, 0.20 * s);
    QPainterPath twig;
    twig.moveTo(0.40 * s, 0.17 * s);
    twig.cubicTo(0.46 * s, 0.30 * s, 0.52 * s, 0.38 * s, 0.62 * s, 0.46 * s);
    QPainterPath sprig;
    sprig.moveTo(0.62 * s, 0.21 * s);
    sprig.cubicTo(0.68 * s, 0.12 * s, 0.74 * s, 0.08 * s, 0.86 * s, 0.05 * s);
    const QColor bark(0x6e, 0x4e, 0x3e, 210);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(bark, 0.022 * s, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(branch);
    p.setPen(QPen(bark, 0.012 * s, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(twig);
    p.drawPath(sprig);
    const struct
    {
        qreal x, y, r, turn;
    } flowers[] = { { 0.30, 0.12, 0.055, 10 }, { 0.55, 0.24, 0.065, 40 }, { 0.79, 0.19, 0.05, 70 },
        { 0.50, 0.33, 0.045, 20 }, { 0.63, 0.47, 0.055, 55 }, { 0.86, 0.06, 0.04, 5 } };
    for (const auto &f : flowers)
        blossom(p, QPointF(f.x * s, f.y * s), f.r * s, f.turn);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8a, 0x5a, 0x4a, 160));
    for (const QPointF bud :
        { QPointF(0.70 * s, 0.22 * s), QPointF(0.44 * s, 0.25 * s), QPointF(0.93 * s, 0.04 * s) })
        p.drawEllipse(bud, 0.014 * s, 0.014 * s);
    p.restore();
}

void paintFoot(QPainter &p, const LetterLayout &layout, int page)
{
    const PageGeometry &g = layout.geometry;
    QFont font = layout.fonts.first();
    font.setPixelSize(qRound(PointsToUnits(9)));
    p.setFont(font);
    p.setPen(QColor(0x80, 0x78, 0x70));
    const QRectF foot(g.text.left(), g.footBaseline - font.pixelSize(), g.text.width(), 2 * font.pixelSize());
    if (layout.pages.size() > 1) {
        p.drawText(foot, Qt::AlignCenter,
            QStringLiteral("第 %1 页 / 共 %2 页").arg(page + 1).arg(layout.pages.size()));
    }
    if (layout.settings.kind == pkGrid) {
        p.drawText(foot, Qt::AlignRight | Qt::AlignVCenter,
            QStringLiteral("%1×%2=%3").arg(GridColumns).arg(g.rowsPerPage).arg(GridColumns * g.rowsPerPage));
    }
}

} // namespace

void PaintPaperSheet(QPainter &painter, const LetterLayout &layout, int page)
{
    const TPaperKind kind = layout.settings.kind;
    const QRectF sheet(QPointF(0, 0), layout.geometry.page);
    painter.fillRect(sheet, paperColour(kind));
    const QColor ink = InkColor(layout.settings.ruleInk);
    switch (kind) {
    case pkRuled:
        paintRules(painter, layout, QColor(ink.red(), ink.green(), ink.blue(), 190));
        break;
    case pkGrid:
        paintGrid(painter, layout, QColor(ink.red(), ink.green(), ink.blue(), 200));
        break;
    case pkPlain:
        paintBorder(painter, layout);
        break;
    case pkFlower: {
        const qreal size = sheet.width() * 0.36;
        plumBranch(painter, QPointF(sheet.right() - size * 0.98, 4 * mm), size, false);
        plumBranch(painter, QPointF(size * 0.6, sheet.bottom() - 3 * mm), size * 0.6, true);
        break;
    }
    }
    paintFoot(painter, layout, page);
}

} // namespace Paper
