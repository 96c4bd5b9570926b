#include "PaperSettings.h"

namespace Paper {

QSizeF PageSizeMm(TPaperSize size)
{
    switch (size) {
    case psA4:
        return { 210, 297 };
    case psA5:
        return { 148, 210 };
    case psB5:
        return { 176, 250 };
    case ps16K:
        return { 185, 260 };
    }
    return { 210, 297 };
}

QColor InkColor(TInk ink)
{
    switch (ink) {
    case inkBlack:
        return QColor(0x1c, 0x1a, 0x1a); // 墨黑
    case inkBlue:
        return QColor(0x1d, 0x2e, 0x5c); // 蓝黑
    case inkRed:
        return QColor(0xc4, 0x30, 0x24); // 朱红
    }
    return Qt::black;
}

QStringList PaperKindNames()
{
    return { QStringLiteral("ruled"), QStringLiteral("grid"), QStringLiteral("plain"),
        QStringLiteral("flower") };
}

QStringList PaperSizeNames()
{
    return { QStringLiteral("A4"), QStringLiteral("A5"), QStringLiteral("B5"), QStringLiteral("16K") };
}

QStringList InkNames()
{
    return { QStringLiteral("black"), QStringLiteral("blue"), QStringLiteral("red") };
}

QString PaperKindLabel(TPaperKind kind)
{
    static const QString labels[] = { QStringLiteral("横线信纸"), QStringLiteral("方格稿纸"),
        QStringLiteral("素笺"), QStringLiteral("花笺") };
    return labels[kind];
}

QString PaperSizeLabel(TPaperSize size)
{
    return size == ps16K ? QStringLiteral("16开") : PaperSizeNames().at(size);
}

QString InkLabel(TInk ink)
{
    static const QString labels[]
        = { QStringLiteral("墨黑"), QStringLiteral("蓝黑"), QStringLiteral("朱红") };
    return labels[ink];
}

} // namespace Paper
