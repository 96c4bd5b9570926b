#include "PubFunc.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPalette>
#include <cmath>

namespace {

// Windows system-colour indexes and the palette roles that stand in for them. Indexes not listed
// (25 and above 30) resolve to black, as the platform answers for an unknown index.
struct SystemColor
{
    int index;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

constexpr SystemColor systemColors[] = {
    { 0, QPalette::Active, QPalette::Button }, // COLOR_SCROLLBAR
    { 1, QPalette::Active, QPalette::Dark }, // COLOR_BACKGROUND (desktop)
    { 2, QPalette::Active, QPalette::Highlight }, // COLOR_ACTIVECAPTION
    { 3, QPalette::Inactive, QPalette::Mid }, // COLOR_INACTIVECAPTION
    { 4, QPalette::Active, QPalette::Window }, // COLOR_MENU
    { 5, QPalette::Active, QPalette::Base }, // COLOR_WINDOW
    { 6, QPalette::Active, QPalette::Shadow }, // COLOR_WINDOWFRAME
    { 7, QPalette::Active, QPalette::WindowText }, // COLOR_MENUTEXT
    { 8, QPalette::Active, QPalette::Text }, // COLOR_WINDOWTEXT
    { 9, QPalette::Active, QPalette::HighlightedText }, // COLOR_CAPTIONTEXT
    { 10, QPalette::Active, QPalette::Window }, // COLOR_ACTIVEBORDER
    { 11, QPalette::Inactive, QPalette::Window }, // COLOR_INACTIVEBORDER
    { 12, QPalette::Active, QPalette::Mid }, // COLOR_APPWORKSPACE
    { 13, QPalette::Active, QPalette::Highlight }, // COLOR_HIGHLIGHT
    { 14, QPalette::Active, QPalette::HighlightedText }, // COLOR_HIGHLIGHTTEXT
    { 15, QPalette::Active, QPalette::Button }, // COLOR_BTNFACE
    { 16, QPalette::Active, QPalette::Dark }, // COLOR_BTNSHADOW
    { 17, QPalette::Disabled, QPalette::Text }, // COLOR_GRAYTEXT
    { 18, QPalette::Active, QPalette::ButtonText }, // COLOR_BTNTEXT
    { 19, QPalette::Inactive, QPalette::WindowText }, // COLOR_INACTIVECAPTIONTEXT
    { 20, QPalette::Active, QPalette::Light }, // COLOR_BTNHIGHLIGHT
    { 21, QPalette::Active, QPalette::Shadow }, // COLOR_3DDKSHADOW
    { 22, QPalette::Active, QPalette::Midlight }, // COLOR_3DLIGHT
    { 23, QPalette::Active, QPalette::ToolTipText }, // COLOR_INFOTEXT
    { 24, QPalette::Active, QPalette::ToolTipBase }, // COLOR_INFOBK
    { 26, QPalette::Active, QPalette::Link }, // COLOR_HOTLIGHT
    { 27, QPalette::Active, QPalette::Highlight }, // COLOR_GRADIENTACTIVECAPTION
    { 28, QPalette::Inactive, QPalette::Mid }, // COLOR_GRADIENTINACTIVECAPTION
    { 29, QPalette::Active, QPalette::Highlight }, // COLOR_MENUHILIGHT
    { 30, QPalette::Active, QPalette::Window }, // COLOR_MENUBAR
};

std::uint32_t systemColorValue(int index)
{
    for (const SystemColor &s : systemColors) {
        if (s.index == index) {
            const QColor c = QGuiApplication::palette().color(s.group, s.role);
            return std::uint32_t(c.red()) | std::uint32_t(c.green()) << 8 | std::uint32_t(c.blue()) << 16;
        }
    }
    return 0;
}

// A block transfer: opaque, nearest-neighbour when the rectangles differ in size.
void blit(QPainter &p, const QRect &dst, const QImage &src, const QRect &from)
{
    if (dst.width() < 1 || dst.height() < 1 || from.width() < 1 || from.height() < 1)
        return;
    p.drawImage(dst, src, from);
}

QImage whiteImage(int w, int h)
{
    QImage img(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

} // namespace

void ColorToRGBBytes(TColor color, std::uint8_t &r, std::uint8_t &g, std::uint8_t &b)
{
    std::uint32_t value = std::uint32_t(color);
    if (color < 0)
        value = systemColorValue(int(value & 0xFF));
    r = std::uint8_t(value & 0xFF);
    g = std::uint8_t((value >> 8) & 0xFF);
    b = std::uint8_t((value >> 16) & 0xFF);
}

QColor ColorToQColor(TColor color)
{
    std::uint8_t r, g, b;
    ColorToRGBBytes(color, r, g, b);
    return QColor(r, g, b);
}

TColor QColorToColor(const QColor &color)
{
    return TColor(
        std::uint32_t(color.red()) | std::uint32_t(color.green()) << 8 | std::uint32_t(color.blue()) << 16);
}

void GradientFillRect(QPainter &canvas, const QRect &rect, TColor colorFrom, TColor colorTo, bool vertical)
{
    if (rect.isEmpty())
        return;
    // The platform fill puts the start colour exactly on the first row (column) and reaches the end
    // colour one step past the last one; sample pixel centres the same way.
    const QPointF start(rect.left(), rect.top());
    const QPointF stop = vertical ? QPointF(rect.left(), rect.top() + rect.height())
                                  : QPointF(rect.left() + rect.width(), rect.top());
    const QPointF centre = vertical ? QPointF(0, 0.5) : QPointF(0.5, 0);
    QLinearGradient gradient(start + centre, stop + centre);
    gradient.setColorAt(0, ColorToQColor(colorFrom));
    gradient.setColorAt(1, ColorToQColor(colorTo));
    canvas.fillRect(rect, gradient);
}

void DrawStretchBitmap(
    const QImage &source, QPainter &canvas, QSize size, THorzStretchType horz, TVertStretchType vert)
{
    if (source.isNull())
        return;
    if (horz == hstNone && vert == vstNone) {
        canvas.drawImage(QPoint(0, 0), source);
        return;
    }

    // Work in the source's device pixels so that a 2x picture stays sharp.
    const qreal dpr = source.devicePixelRatio();
    const int Gw = source.width();
    const int Gh = source.height();
    const int W = int(std::lround(size.width() * dpr));
    const int H = int(std::lround(size.height() * dpr));
    if (W < 1 || H < 1)
        return;
    const int dx = W - Gw;
    const int dy = H - Gh;

    QImage src = source;
    src.setDevicePixelRatio(1);

    // Bands of negative extent (target smaller than the source) are skipped; the fixed parts are
    // then clipped by the working bitmap.
    QImage rw = whiteImage(W, Gh);
    {
        QPainter p(&rw);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        switch (horz) {
        case hstNone:
            blit(p, QRect(0, 0, Gw, Gh), src, src.rect());
            break;
        case hstAll:
            blit(p, rw.rect(), src, src.rect());
            break;
        case hstLeft:
            blit(p, QRect(0, 0, dx, Gh), src, QRect(0, 0, 1, Gh));
            blit(p, QRect(dx, 0, Gw, Gh), src, src.rect());
            break;
        case hstMiddle: {
            const int m = Gw / 2;
            blit(p, QRect(0, 0, m, Gh), src, QRect(0, 0, m, Gh));
            blit(p, QRect(m, 0, dx, Gh), src, QRect(m, 0, 1, Gh));
            blit(p, QRect(W - m, 0, m, Gh), src, QRect(m, 0, Gw - m, Gh));
            break;
        }
        case hstRight:
            blit(p, QRect(0, 0, Gw, Gh), src, src.rect());
            blit(p, QRect(Gw, 0, W - Gw, Gh), src, QRect(Gw - 1, 0, 1, Gh));
            break;
        }
    }

    QImage f = whiteImage(W, H);
    {
        QPainter p(&f);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        switch (vert) {
        case vstNone:
            blit(p, QRect(0, 0, W, Gh), rw, rw.rect());
            break;
        case vstAll:
            blit(p, f.rect(), rw, rw.rect());
            break;
        case vstTop:
            blit(p, QRect(0, 0, W, dy), rw, QRect(0, 0, W, 1));
            blit(p, QRect(0, dy, W, Gh), rw, rw.rect());
            break;
        case vstCenter: {
            const int n = Gh / 2;
            blit(p, QRect(0, 0, W, n), rw, QRect(0, 0, W, n));
            blit(p, QRect(0, n, W, dy), rw, QRect(0, n, W, 1));
            blit(p, QRect(0, H - n, W, n), rw, QRect(0, n, W, Gh - n));
            break;
        }
        case vstBottom:
            blit(p, QRect(0, 0, W, Gh), rw, rw.rect());
            blit(p, QRect(0, Gh, W, H - Gh), rw, QRect(0, Gh - 1, W, 1));
            break;
        }
    }

    f.setDevicePixelRatio(dpr);
    canvas.save();
    canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);
    canvas.drawImage(QPoint(0, 0), f);
    canvas.restore();
}
