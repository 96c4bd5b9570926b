#include "PieceMeasure.h"

namespace Paper {

PieceMeasure::PieceMeasure(const QList<QFont> &fonts)
    : m_cache(fonts.size())
{
    for (const QFont &font : fonts)
        m_metrics.append(QFontMetricsF(font));
}

qreal PieceMeasure::advance(const QString &piece, int font)
{
    QHash<QString, qreal> &cache = m_cache[font];
    auto it = cache.constFind(piece);
    if (it == cache.constEnd())
        it = cache.insert(piece, m_metrics.at(font).horizontalAdvance(piece));
    return *it;
}

} // namespace Paper
