#include "CliCommand.h"

#include "DocumentFile.h"

#include <QTextDocument>

namespace {

// Opens IN and saves OUT with the letter editor's own load and save, formats by name as there.
int convert(const QStringList &args)
{
    QTextDocument doc;
    const TTextEncoding encoding = LoadDocumentFile(args.at(0), &doc);
    SaveDocumentFile(args.at(1), &doc, encoding);
    return 0;
}

const CliRegistration registration({
    { QStringLiteral("convert") },
    QStringLiteral("IN OUT"),
    QStringLiteral(
        "opens the letter file IN and saves it as OUT, as the letter editor does (*.txt plain text, "
        "other names RTF)"),
    2,
    2,
    convert,
    {},
});

} // namespace
