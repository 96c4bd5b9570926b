#include "CliCommand.h"

#include "ChineseConvert.h"
#include "DocumentFile.h"
#include "PlumaretError.h"

#include <QTextCursor>
#include <QTextDocument>

#include <optional>

namespace {

// Opens IN and saves OUT with the letter editor's own load and save, formats by name as there;
// --s2t / --t2s convert simplified ↔ traditional on the way, as the window's tools menu does.
int convert(const QStringList &args)
{
    QStringList files;
    std::optional<TChineseDirection> direction;
    for (const QString &arg : args) {
        if (arg == QLatin1String("--s2t") || arg == QLatin1String("--t2s")) {
            if (direction)
                throw EPlumaretError(QStringLiteral("only one of --s2t and --t2s"));
            direction = arg == QLatin1String("--s2t") ? TChineseDirection::cdToTraditional
                                                      : TChineseDirection::cdToSimplified;
        } else if (arg.startsWith(QLatin1String("--"))) {
            throw EPlumaretError(QStringLiteral("unknown option \"%1\"").arg(arg));
        } else {
            files << arg;
        }
    }
    if (files.size() != 2)
        throw EPlumaretError(QStringLiteral("usage: plumaret-cli convert IN OUT [--s2t|--t2s]"));
    QTextDocument doc;
    const TTextEncoding encoding = LoadDocumentFile(files.at(0), &doc);
    if (direction)
        ConvertChineseInDocument(QTextCursor(&doc), *direction);
    SaveDocumentFile(files.at(1), &doc, encoding);
    return 0;
}

const CliRegistration registration({
    { QStringLiteral("convert") },
    QStringLiteral("IN OUT [--s2t|--t2s]"),
    QStringLiteral(
        "opens the letter file IN and saves it as OUT, as the letter editor does (*.txt plain text, "
        "other names RTF); --s2t / --t2s turn simplified Chinese into traditional or back by phrase"),
    2,
    3,
    convert,
    {},
});

} // namespace
