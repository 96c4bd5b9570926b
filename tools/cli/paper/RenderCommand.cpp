// plumaret-cli render: a letter file on letter paper, as PDF or PNG.
#include "CliCommand.h"

#include "DocumentFile.h"
#include "PaperOptions.h"
#include "PlumaretError.h"

#include <QTextDocument>

namespace {

int render(const QStringList &arguments)
{
    QStringList args = arguments;
    const PaperOptions options = TakePaperOptions(args);
    for (const QString &a : std::as_const(args)) {
        if (a.startsWith(QLatin1String("--")))
            throw EPlumaretError(QStringLiteral("unknown option %1").arg(a));
    }
    if (args.size() != 2)
        throw EPlumaretError(QStringLiteral("give IN and OUT"));
    if (!IsPaperFileName(args.at(1)))
        throw EPlumaretError(QStringLiteral("%1: OUT ends in .pdf or .png").arg(args.at(1)));
    QTextDocument doc;
    LoadDocumentFile(args.at(0), &doc);
    WriteLetterPaper(doc, options, args.at(1));
    return 0;
}

const CliRegistration registration({
    { QStringLiteral("render") },
    QStringLiteral("IN OUT ") + PaperOptionsUsage(),
    QStringLiteral("puts the letter file IN (opened as the letter editor opens it) on letter paper: OUT.pdf, "
                   "or OUT.png at 300 dpi (OUT-1.png, OUT-2.png ... for several pages; --long: one picture "
                   "1080 pixels wide)"),
    2,
    -1,
    render,
    [](const QStringList &) { return true; },
});

} // namespace
