#pragma once

#include <QColor>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace Paper {

enum TPaperKind : quint8 { pkRuled, pkGrid, pkPlain, pkFlower };
enum TPaperSize : quint8 { psA4, psA5, psB5, ps16K };
enum TInk : quint8 { inkBlack, inkBlue, inkRed };

// Everything the letter paper needs besides the letter itself; the window's dialog holds one.
struct PaperSettings
{
    TPaperKind kind = pkRuled;
    TPaperSize size = psA4;
    QString fontFamily; // empty or not installed: the first offered font that is installed
    qreal pointSize = 14; // held to 6 … 72 when laid out
    TInk ink = inkBlack;
    TInk ruleInk = inkRed; // rules of 横线信纸 and the grid of 稿纸: 朱红 or 蓝黑
    int gridRows = 20; // 20 or 25; 25 only where the page leaves a gap between rows
    bool hand = false; // 手写效果

    bool operator==(const PaperSettings &) const = default;
};

// Trimmed page sizes in millimetres; 16开 is 正度 185 × 260, not Qt's Prc16K.
QSizeF PageSizeMm(TPaperSize size);
QColor InkColor(TInk ink);

// Names used by the command line and file names: "ruled", "A4", "black" ...
QStringList PaperKindNames();
QStringList PaperSizeNames();
QStringList InkNames();
// Chinese names for the window: 横线信纸, 方格稿纸 ...; 墨黑, 蓝黑, 朱红.
QString PaperKindLabel(TPaperKind kind);
QString PaperSizeLabel(TPaperSize size); // A4, A5, B5, 16开
QString InkLabel(TInk ink);

} // namespace Paper
