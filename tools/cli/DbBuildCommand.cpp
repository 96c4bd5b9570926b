#include "CliCommand.h"

#include "JetWriter.h"
#include "PhraseBookSource.h"

namespace {

int dbBuild(const QStringList &args)
{
    jet::Writer writer;
    phrasebook::addToWriter(phrasebook::readSources(args.at(0)), writer);
    writer.write(args.at(1));
    return 0;
}

const CliRegistration registration({
    { QStringLiteral("db"), QStringLiteral("build") },
    QStringLiteral("SRC OUT"),
    QStringLiteral("builds the Jet 4.0 database OUT from the TABLE.tsv files of the folder SRC"),
    2,
    2,
    dbBuild,
    {},
});

} // namespace
