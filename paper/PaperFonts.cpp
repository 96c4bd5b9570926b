#include "PaperFonts.h"

#include <QFontDatabase>
#include <QGuiApplication>

namespace Paper {

QList<OfferedFont> OfferedFonts()
{
    static const OfferedFont candidates[] = {
        { QStringLiteral("LXGW WenKai"), QStringLiteral("霞鹜文楷") },
        { QStringLiteral("AR PL UKai CN"), QStringLiteral("楷体") },
        { QStringLiteral("AR PL UMing CN"), QStringLiteral("宋体") },
        { QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("黑体") },
    };
    const QStringList installed = QFontDatabase::families();
    QList<OfferedFont> offered;
    for (const OfferedFont &font : candidates) {
        if (installed.contains(font.family, Qt::CaseInsensitive))
            offered.append(font);
    }
    return offered;
}

QString ResolveFontFamily(const QString &requested)
{
    const QList<OfferedFont> offered = OfferedFonts();
    for (const OfferedFont &font : offered) {
        if (font.family.compare(requested, Qt::CaseInsensitive) == 0 || font.label == requested)
            return font.family;
    }
    return offered.isEmpty() ? QGuiApplication::font().family() : offered.first().family;
}

} // namespace Paper
