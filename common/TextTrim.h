#pragma once

#include <QString>

// Field texts lose leading and trailing characters up to code 32; a full-width blank is content.
inline QString TrimControlChars(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= 32)
        ++first;
    while (last > first && text.at(last - 1).unicode() <= 32)
        --last;
    return text.mid(first, last - first);
}
