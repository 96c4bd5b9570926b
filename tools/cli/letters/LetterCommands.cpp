// plumaret-cli letter auto|template|group: the window's letters, composed by the same code.
#include "CliCommand.h"

#include "LetterComposer.h"
#include "PlumaretError.h"
#include "uDataBase.h"

#include <QSet>

using namespace Letters;

namespace {

struct LetterOptions
{
    QStringList positional;
    QString from;
    QString to;
    QString db = QString::fromLatin1(DatabaseFileName);
    QString lines;
    bool crlf = false;
};

LetterOptions parseOptions(const QStringList &args, bool withLines)
{
    LetterOptions o;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        auto value = [&]() -> QString {
            if (i + 1 >= args.size())
                throw EPlumaretError(QStringLiteral("%1 needs a value").arg(a));
            return args.at(++i);
        };
        if (a == QLatin1String("--from"))
            o.from = value();
        else if (a == QLatin1String("--to"))
            o.to = value();
        else if (a == QLatin1String("--db"))
            o.db = value();
        else if (withLines && a == QLatin1String("--lines"))
            o.lines = value();
        else if (a == QLatin1String("--crlf"))
            o.crlf = true;
        else if (a.startsWith(QLatin1String("--")))
            throw EPlumaretError(QStringLiteral("unknown option %1").arg(a));
        else
            o.positional.append(a);
    }
    return o;
}

int printLetter(TLetterComposer &composer, const LetterOptions &o, const QString &body)
{
    const QString letter = composer.FrameLetter(body, o.from, o.to);
    if (o.crlf) {
        cliOut(letter);
    } else {
        QString text = letter;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        cliOut(text + u'\n');
    }
    return 0;
}

qint32 parseId(const QString &text)
{
    bool ok = false;
    const qint32 id = text.trimmed().toInt(&ok);
    if (!ok)
        throw EPlumaretError(QStringLiteral("\"%1\" is not an id").arg(text));
    return id;
}

int letterAuto(const QStringList &args)
{
    const LetterOptions o = parseOptions(args, true);
    if (!o.positional.isEmpty())
        throw EPlumaretError(QStringLiteral("unexpected argument %1").arg(o.positional.first()));
    int lines = 20;
    if (!o.lines.isNull()) {
        bool ok = false;
        const qint64 n = o.lines.toLongLong(&ok);
        if (!ok)
            throw EPlumaretError(QStringLiteral("--lines takes a whole number, not \"%1\"").arg(o.lines));
        lines = ClampLineCount(n);
    }
    TAdoBuilder store(o.db);
    store.Connect();
    TLetterComposer composer(store);
    const std::optional<QString> body = composer.AutoWritingBody(lines);
    if (!body)
        throw EPlumaretError(QStringLiteral("the phrase book has no phrase for automatic writing"));
    return printLetter(composer, o, *body);
}

int letterTemplate(const QStringList &args)
{
    const LetterOptions o = parseOptions(args, false);
    if (o.positional.size() != 1)
        throw EPlumaretError(QStringLiteral("give one template id"));
    const qint32 id = parseId(o.positional.first());
    TAdoBuilder store(o.db);
    store.Connect();
    TLetterComposer composer(store);
    for (const TemplateNodeData &row : composer.Templates()) {
        if (row.ID == id)
            return printLetter(composer, o, row.Text);
    }
    throw EPlumaretError(QStringLiteral("no template with id %1").arg(id));
}

int letterGroup(const QStringList &args)
{
    const LetterOptions o = parseOptions(args, false);
    if (o.positional.size() != 1)
        throw EPlumaretError(QStringLiteral("give the phrase ids as ID,ID,..."));
    QSet<qint32> wanted;
    for (const QString &part : o.positional.first().split(u',', Qt::SkipEmptyParts))
        wanted.insert(parseId(part));
    if (wanted.isEmpty())
        throw EPlumaretError(QStringLiteral("give the phrase ids as ID,ID,..."));

    TAdoBuilder store(o.db);
    store.Connect();
    TLetterComposer composer(store);
    // As in the window: the picked rows of the class lists, in list order.
    GroupRows picked;
    QSet<qint32> found;
    for (const PhraseClassRow &cls : composer.PhraseClasses()) {
        const std::optional<GroupRows> rows = composer.ClassPhrases(cls.ClassID);
        if (!rows)
            continue;
        for (GroupNodeData row : *rows) {
            if (wanted.contains(row.ID)) {
                row.Picked = true;
                found.insert(row.ID);
                picked.append(row);
            }
        }
    }
    for (const qint32 id : std::as_const(wanted)) {
        if (!found.contains(id))
            throw EPlumaretError(QStringLiteral("no phrase with id %1 in any class").arg(id));
    }
    return printLetter(composer, o, GroupBody(picked));
}

const QString commonOptions = QStringLiteral("--from NAME --to NAME [--db FILE] [--crlf]");

const CliRegistration autoCommand(
    { { QStringLiteral("letter"), QStringLiteral("auto") }, QStringLiteral("[--lines N] ") + commonOptions,
        QStringLiteral("a framed letter of N random phrases (1 to 100, default 20)"), 0, -1, letterAuto });
const CliRegistration templateCommand(
    { { QStringLiteral("letter"), QStringLiteral("template") }, QStringLiteral("ID ") + commonOptions,
        QStringLiteral("the template with this id, framed"), 1, -1, letterTemplate });
const CliRegistration groupCommand(
    { { QStringLiteral("letter"), QStringLiteral("group") }, QStringLiteral("ID,ID,... ") + commonOptions,
        QStringLiteral("a framed letter of these phrases, in the classes' list order"), 1, -1, letterGroup });

} // namespace
