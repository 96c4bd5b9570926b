#pragma once

#include <QList>
#include <QString>

namespace Paper {

struct OfferedFont
{
    QString family; // as fontconfig names it
    QString label; // as the chooser shows it
};

// The fonts the letter paper offers, in the chooser's order, that are installed here. Each of them
// gives back its real characters from a PDF (Noto CJK does not: Qt writes Kangxi radicals into the
// PDF's text map for many of its ideographs).
QList<OfferedFont> OfferedFonts();
// The family to draw with: requested when it is offered and installed, else the first offered one,
// else the application's default family.
QString ResolveFontFamily(const QString &requested);

} // namespace Paper
