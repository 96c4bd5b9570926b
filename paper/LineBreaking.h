#pragma once

#include <QString>
#include <QStringList>

namespace Paper {

// The pieces a line or a grid row is made of: one grapheme each, except that "……" and "——" (two
// ellipses, two dashes) stay one piece so that no break falls inside them.
QStringList LetterPieces(const QString &text);

// Narrow (Latin, digits, ASCII blanks): two of them share one grid cell.
bool IsHalfWidth(const QString &piece);
// 两个字符宽的标点: "……", "——" and the two-em dash.
bool IsDoubleWidthMark(const QString &piece);
// Closing marks (，。、；：？！）》」』” ...) never start a line.
bool IsNoStart(const QString &piece);
// Opening marks (（《「『“ ...) never end a line.
bool IsNoEnd(const QString &piece);
// Whether a line may end between these two neighbours: not before a closing mark, not after an
// opening mark, not inside a Latin word or a number.
bool BreakAllowed(const QString &before, const QString &after);

} // namespace Paper
