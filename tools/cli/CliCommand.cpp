#include "CliCommand.h"

#include "PlumaretError.h"

#include <QList>

#include <cstdio>

namespace {

QList<CliCommand> &registry()
{
    static QList<CliCommand> commands;
    return commands;
}

void writeUtf8(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

} // namespace

CliRegistration::CliRegistration(CliCommand command)
{
    registry().append(std::move(command));
}

QString cliOptionValue(const QStringList &args, qsizetype &i)
{
    if (i + 1 >= args.size())
        throw EPlumaretError(QStringLiteral("%1 needs a value").arg(args.at(i)));
    return args.at(++i);
}

const QList<CliCommand> &cliCommands()
{
    return registry();
}

void cliOut(const QString &text)
{
    writeUtf8(stdout, text);
}

void cliErr(const QString &text)
{
    writeUtf8(stderr, text);
}
