#pragma once

#include "PaperSettings.h"

#include <QRectF>
#include <QSizeF>

namespace Paper {

// Page coordinates are hundredths of a millimetre, so the layout is the same on every device.
inline constexpr qreal UnitsPerMm = 100;
inline constexpr int GridColumns = 20;
// The middle of a Chinese character's em box lies this many ems above its baseline.
inline constexpr qreal EmCentreAboveBaseline = 0.38;

// Where the paper puts its lines or its grid on every page of the letter.
struct PageGeometry
{
    QSizeF page; // the whole sheet
    QRectF text; // lined paper: the area of the lines; grid paper: the grid itself
    qreal pitch = 0; // from one rule (or grid row) to the next
    int rowsPerPage = 1;
    qreal ruleDrop = 0; // lined paper: the rule lies this far below the baseline
    qreal cell = 0; // grid paper: side of a square cell
    qreal footBaseline = 0; // "第 N 页 / 共 M 页" and the grid's count

    qreal rule(int row) const; // lined paper
    qreal baseline(int row) const;
    QRectF cellRect(int row, int column) const; // grid paper
};

// em: the letter's font size in page units; lineFactor: 1.5 for one and a half line spacing.
PageGeometry MakePageGeometry(const PaperSettings &settings, qreal em, qreal lineSpacing, qreal lineFactor);

// A point size in page units.
inline qreal PointsToUnits(qreal points)
{
    return points * 25.4 / 72 * UnitsPerMm;
}

} // namespace Paper
