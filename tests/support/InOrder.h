#pragma once

#include <QString>
#include <QStringList>

// True when each part occurs in text after the end of the one before it.
inline bool ContainsInOrder(const QString &text, const QStringList &parts)
{
    qsizetype at = 0;
    for (const QString &part : parts) {
        at = text.indexOf(part, at);
        if (at < 0)
            return false;
        at += part.size();
    }
    return true;
}
