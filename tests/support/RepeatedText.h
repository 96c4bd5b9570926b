#pragma once

#include <QString>

// unit repeated and cut to exactly length characters (UTF-16 units), for long test values.
inline QString RepeatedText(const QString &unit, int length)
{
    QString s;
    while (s.size() < length)
        s += unit;
    s.truncate(length);
    return s;
}
