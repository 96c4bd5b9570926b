// plumaret-cli letter auto|template|group: the window's letters, composed by the same code.
#include "CliCommand.h"

#include "DocumentFile.h"
#include "LetterComposer.h"
#include "LetterFormat.h"
#include "PaperOptions.h"
#include "PlumaretError.h"
#include "uDataBase.h"

#include <QFileInfo>
#include <QSet>
#include <QTextDocument>

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
    QString out;
    PaperOptions paper;
};

LetterOptions parseOptions(const QStringList &arguments, bool withLines)
{
    LetterOptions o;
    QStringList args = arguments;
    o.paper = TakePaperOptions(args);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        auto value = [&] { return cliOptionValue(args, i); };
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
        else if (a == QLatin1String("--out"))
            o.out = value();
        else if (a.startsWith(QLatin1String("--")))
            throw EPlumaretError(QStringLiteral("unknown option %1").arg(a));
        else
            o.positional.append(a);
    }
    return o;
}

// The letter as the window holds it after framing, written to FILE by its extension.
void writeLetter(const QString &letter, const LetterOptions &o)
{
    QTextDocument doc;
    ReplaceWithFramedLetter(doc, letter);
    if (IsPaperFileName(o.out))
        return WriteLetterPaper(doc, o.paper, o.out);
    const QString suffix = QFileInfo(o.out).suffix().toLower();
    if (suffix != QLatin1String("txt") && suffix != QLatin1String("rtf"))
        throw EPlumaretError(
            QStringLiteral("--out %1: the letter is written as .txt, .rtf, .pdf or .png").arg(o.out));
    SaveDocumentFile(o.out, &doc, TTextEncoding::teGB18030);
}

int printLetter(TLetterComposer &composer, const LetterOptions &o, const QString &body)
{
    const QString letter = composer.FrameLetter(body, o.from, o.to);
    if (!o.out.isEmpty()) {
        writeLetter(letter, o);
    } else if (o.crlf) {
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

const QString commonOptions
    = QStringLiteral("--from NAME --to NAME [--db FILE] [--crlf] [--out FILE.txt|rtf|pdf|png ")
    + PaperOptionsUsage() + u']';

const CliRegistration autoCommand(
    { { QStringLiteral("letter"), QStringLiteral("auto") }, QStringLiteral("[--lines N] ") + commonOptions,
        QStringLiteral("a framed letter of N random phrases (1 to 100, default 20)"), 0, -1, letterAuto,
        WritesPaper });
const CliRegistration templateCommand(
    { { QStringLiteral("letter"), QStringLiteral("template") }, QStringLiteral("ID ") + commonOptions,
        QStringLiteral("the template with this id, framed"), 1, -1, letterTemplate, WritesPaper });
const CliRegistration groupCommand(
    { { QStringLiteral("letter"), QStringLiteral("group") }, QStringLiteral("ID,ID,... ") + commonOptions,
        QStringLiteral("a framed letter of these phrases, in the classes' list order"), 1, -1, letterGroup,
        WritesPaper });

} // namespace
