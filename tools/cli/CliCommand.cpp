#include "CliCommand.h"

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
