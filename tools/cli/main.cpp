// plumaret-cli: command-line tools around the phrase store and the Jet writer.
#include "CliCommand.h"

#include "PlumaretError.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

QString usage()
{
    QList<CliCommand> commands = cliCommands();
    std::sort(commands.begin(), commands.end(),
        [](const CliCommand &a, const CliCommand &b) { return a.words < b.words; });
    QString text = QStringLiteral("usage:\n");
    for (const CliCommand &c : std::as_const(commands))
        text += QStringLiteral("  plumaret-cli %1 %2\n      %3\n")
                    .arg(c.words.join(u' '), c.arguments, c.summary);
    return text;
}

} // namespace

int main(int argc, char *argv[])
{
    // The application object comes after the command is known: letter paper needs fonts and so a
    // Gui application, which the other commands do without.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    if (args.isEmpty() || args.first() == QLatin1String("help") || args.first() == QLatin1String("--help")) {
        (args.isEmpty() ? cliErr : cliOut)(usage());
        return args.isEmpty() ? 1 : 0;
    }

    const CliCommand *match = nullptr;
    for (const CliCommand &c : cliCommands()) {
        if (args.size() >= c.words.size() && args.mid(0, c.words.size()) == c.words
            && (!match || c.words.size() > match->words.size()))
            match = &c;
    }
    if (!match) {
        cliErr(QStringLiteral("plumaret-cli: unknown command \"%1\"\n%2").arg(args.join(u' '), usage()));
        return 1;
    }
    const QStringList rest = args.mid(match->words.size());
    if (rest.size() < match->minArguments
        || (match->maxArguments >= 0 && rest.size() > match->maxArguments)) {
        cliErr(QStringLiteral("usage: plumaret-cli %1 %2\n").arg(match->words.join(u' '), match->arguments));
        return 1;
    }
    std::unique_ptr<QCoreApplication> app;
    if (match->needsGui && match->needsGui(rest)) {
        // The tool never shows a window.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    try {
        const int code = match->run(rest);
        std::fflush(stdout);
        return code;
    } catch (const EPlumaretError &e) {
        std::fflush(stdout);
        cliErr(QStringLiteral("plumaret-cli: %1\n").arg(e.message()));
        return 1;
    } catch (const std::exception &e) {
        std::fflush(stdout);
        cliErr(QStringLiteral("plumaret-cli: %1\n").arg(QString::fromLocal8Bit(e.what())));
        return 1;
    }
}
