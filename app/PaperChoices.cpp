#include "PaperChoices.h"

#include <QSettings>

namespace {

QSettings userSettings()
{
    return QSettings(QStringLiteral("plumaret"), QStringLiteral("plumaret"));
}

// Names rather than numbers, so that a reordered enum or a hand-edited file cannot pick a wrong value.
template <typename E> E readName(const QSettings &s, const char *key, const QStringList &names, E fallback)
{
    const qsizetype i = names.indexOf(s.value(QLatin1String(key)).toString());
    return i < 0 ? fallback : E(i);
}

} // namespace

Paper::PaperSettings LoadPaperChoices()
{
    using namespace Paper;
    PaperSettings p;
    const QSettings s = userSettings();
    p.kind = readName(s, "paper/kind", PaperKindNames(), p.kind);
    p.size = readName(s, "paper/size", PaperSizeNames(), p.size);
    p.ink = readName(s, "paper/ink", InkNames(), p.ink);
    p.fontFamily = s.value(QStringLiteral("paper/font"), p.fontFamily).toString();
    bool ok = false;
    const qreal points = s.value(QStringLiteral("paper/pointSize")).toReal(&ok);
    if (ok && points >= MinPointSize && points <= MaxPointSize)
        p.pointSize = points;
    p.hand = s.value(QStringLiteral("paper/hand"), p.hand).toBool();
    return p;
}

void SavePaperChoices(const Paper::PaperSettings &p)
{
    using namespace Paper;
    QSettings s = userSettings();
    s.setValue(QStringLiteral("paper/kind"), PaperKindNames().value(p.kind));
    s.setValue(QStringLiteral("paper/size"), PaperSizeNames().value(p.size));
    s.setValue(QStringLiteral("paper/ink"), InkNames().value(p.ink));
    s.setValue(QStringLiteral("paper/font"), p.fontFamily);
    s.setValue(QStringLiteral("paper/pointSize"), p.pointSize);
    s.setValue(QStringLiteral("paper/hand"), p.hand);
}
