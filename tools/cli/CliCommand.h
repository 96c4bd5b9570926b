#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Subcommands of plumaret-cli. A command registers itself from its own source file with a
// static CliRegistration, so adding one means adding a file to tools/cli/.
struct CliCommand
{
    QStringList words; // e.g. {"db", "build"}
    QString arguments; // shown in the usage text, e.g. "SRC OUT"
    QString summary;
    int minArguments = 0;
    int maxArguments = -1; // -1: no limit
    // Gets the arguments after the command words; throws EPlumaretError on failure.
    std::function<int(const QStringList &arguments)> run;
    // Whether these arguments need fonts (a Gui application); none when empty.
    std::function<bool(const QStringList &arguments)> needsGui;
};

struct CliRegistration
{
    explicit CliRegistration(CliCommand command);
};

const QList<CliCommand> &cliCommands();

// The value after the option args[i], stepping i over it; throws EPlumaretError when it is missing.
QString cliOptionValue(const QStringList &args, qsizetype &i);

// UTF-8 to standard output / standard error, unchanged (no newline translation).
void cliOut(const QString &text);
void cliErr(const QString &text);
