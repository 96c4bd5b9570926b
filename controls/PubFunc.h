// Drawing helpers behind the window's decorated areas: colour values, gradients, band stretching.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <cstdint>

class QPainter;

// 0x00BBGGRR when not negative; a negative value names a system colour by its low byte.
using TColor = std::int32_t;

constexpr TColor clBtnFace = TColor(0xFF00000F);

enum THorzStretchType : std::uint8_t { hstNone, hstAll, hstLeft, hstMiddle, hstRight };
enum TVertStretchType : std::uint8_t { vstNone, vstAll, vstTop, vstCenter, vstBottom };

// System colours come from the application palette (see PubFunc.cpp for the index table).
void ColorToRGBBytes(TColor color, std::uint8_t &r, std::uint8_t &g, std::uint8_t &b);
QColor ColorToQColor(TColor color);
TColor QColorToColor(const QColor &color);

// rect uses inclusive-exclusive Left/Top/Right/Bottom like a device rectangle.
void GradientFillRect(QPainter &canvas, const QRect &rect, TColor colorFrom, TColor colorTo, bool vertical);

// Covers the canvas from (0, 0); a source with a device pixel ratio > 1 keeps its sharpness.
void DrawStretchBitmap(
    const QImage &source, QPainter &canvas, QSize size, THorzStretchType horz, TVertStretchType vert);

// Outline styles shared by the paint panel and the splitter bar.
enum TBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
