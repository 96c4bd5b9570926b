#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QList>
#include <QString>

namespace Paper {

// Advances of the letter's pieces in the layout's fonts, each piece measured once.
class PieceMeasure
{
public:
    explicit PieceMeasure(const QList<QFont> &fonts);
    qreal advance(const QString &piece, int font);

private:
    QList<QFontMetricsF> m_metrics;
    QList<QHash<QString, qreal>> m_cache;
};

} // namespace Paper
