#pragma once

class QPainter;

namespace Paper {

struct LetterLayout;

// Draws the paper of one page in page units: its colour, the rules, grid, border or ornaments, and
// the foot ("第 N 页 / 共 M 页" when there are several pages, the grid's cell count).
void PaintPaperSheet(QPainter &painter, const LetterLayout &layout, int page);

} // namespace Paper
