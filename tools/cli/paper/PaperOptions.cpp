#include "PaperOptions.h"

#include "CliCommand.h"
#include "LetterExport.h"
#include "LetterPaper.h"
#include "PaperFonts.h"
#include "PlumaretError.h"

#include <QFileInfo>

using namespace Paper;

namespace {

template <typename Enum> Enum choose(const QString &option, const QString &value, const QStringList &names)
{
    const qsizetype i = names.indexOf(value, 0);
    if (i < 0) {
        for (qsizetype k = 0; k < names.size(); ++k) {
            if (names.at(k).compare(value, Qt::CaseInsensitive) == 0)
                return Enum(k);
        }
        throw EPlumaretError(
            QStringLiteral("%1 takes %2, not \"%3\"").arg(option, names.join(QStringLiteral(", ")), value));
    }
    return Enum(i);
}

QString chooseFont(const QString &value)
{
    const QList<OfferedFont> fonts = OfferedFonts();
    QStringList names;
    for (const OfferedFont &font : fonts) {
        if (font.family.compare(value, Qt::CaseInsensitive) == 0 || font.label == value)
            return font.family;
        names.append(QStringLiteral("%1 (%2)").arg(font.family, font.label));
    }
    throw EPlumaretError(fonts.isEmpty()
            ? QStringLiteral("--font: no letter font is installed")
            : QStringLiteral("--font takes one of the installed fonts: %1; not \"%2\"")
                  .arg(names.join(QStringLiteral(", ")), value));
}

QString suffix(const QString &fileName)
{
    return QFileInfo(fileName).suffix().toLower();
}

} // namespace

PaperOptions TakePaperOptions(QStringList &args)
{
    PaperOptions o;
    QStringList rest;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        auto value = [&] { return cliOptionValue(args, i); };
        if (a == QLatin1String("--paper"))
            o.settings.kind = choose<TPaperKind>(a, value(), PaperKindNames());
        else if (a == QLatin1String("--size"))
            o.settings.size = choose<TPaperSize>(a, value(), PaperSizeNames());
        else if (a == QLatin1String("--ink"))
            o.settings.ink = choose<TInk>(a, value(), InkNames());
        else if (a == QLatin1String("--font"))
            o.settings.fontFamily = chooseFont(value());
        else if (a == QLatin1String("--hand"))
            o.settings.hand = true;
        else if (a == QLatin1String("--long"))
            o.longPicture = true;
        else
            rest.append(a);
    }
    args = rest;
    return o;
}

QString PaperOptionsUsage()
{
    return QStringLiteral("[--paper %1] [--size %2] [--font NAME] [--ink %3] [--hand] [--long]")
        .arg(PaperKindNames().join(u'|'), PaperSizeNames().join(u'|'), InkNames().join(u'|'));
}

bool IsPaperFileName(const QString &fileName)
{
    const QString s = suffix(fileName);
    return s == QLatin1String("pdf") || s == QLatin1String("png");
}

bool WritesPaper(const QStringList &args)
{
    const qsizetype out = args.indexOf(QLatin1String("--out"));
    return out >= 0 && out + 1 < args.size() && IsPaperFileName(args.at(out + 1));
}

void WriteLetterPaper(const QTextDocument &document, const PaperOptions &options, const QString &fileName)
{
    if (!IsPaperFileName(fileName))
        throw EPlumaretError(QStringLiteral("%1: the letter paper is written as .pdf or .png").arg(fileName));
    const LetterPaper paper(document, options.settings);
    if (suffix(fileName) == QLatin1String("pdf"))
        ExportPdf(paper, fileName);
    else if (options.longPicture)
        ExportLongPng(paper, fileName);
    else
        ExportPng(paper, fileName);
}
