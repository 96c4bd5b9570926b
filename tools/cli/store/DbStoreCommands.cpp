#include "CliCommand.h"

#include "PlumaretError.h"
#include "uDataBase.h"

#include <algorithm>

namespace {

QString escapeField(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'\\':
            out += QLatin1String("\\\\");
            break;
        case u'\t':
            out += QLatin1String("\\t");
            break;
        case u'\r':
            out += QLatin1String("\\r");
            break;
        case u'\n':
            out += QLatin1String("\\n");
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Header line of column names, then one line per row, through the program's own cursor.
void printQuery(TAdoBuilder &store, const QString &sql)
{
    store.OpenQuery(sql);
    TResultSet &rs = *store.ResultSet;
    const QStringList names = rs.FieldNames();
    QStringList header;
    for (const QString &name : names)
        header.append(escapeField(name));
    QString text = header.join(u'\t') + u'\n';
    if (!rs.ResultIsEmpty()) {
        for (rs.MoveFirst(); !rs.AtEnd(); rs.MoveNext()) {
            QStringList fields;
            fields.reserve(names.size());
            for (const QString &name : names)
                fields.append(escapeField(rs.FieldText(name)));
            text += fields.join(u'\t');
            text += u'\n';
            if (text.size() > 1 << 16) {
                cliOut(text);
                text.clear();
            }
        }
    }
    cliOut(text);
}

int dbQuery(const QStringList &args)
{
    TAdoBuilder store(args.at(0));
    store.Connect();
    printQuery(store, args.at(1));
    return 0;
}

int dbDump(const QStringList &args)
{
    TAdoBuilder store(args.at(0));
    store.Connect();
    const QStringList existing = store.TableNames();
    QStringList tables = existing;
    if (args.size() > 1) {
        // Unknown names are refused before anything is printed.
        tables.clear();
        for (const QString &name : args.mid(1)) {
            const auto found = std::find_if(existing.begin(), existing.end(),
                [&](const QString &t) { return t.compare(name, Qt::CaseInsensitive) == 0; });
            if (found == existing.end())
                throw EPlumaretError(QStringLiteral("no table \"%1\" in %2").arg(name, args.at(0)));
            tables.append(*found);
        }
    }
    for (const QString &table : tables) {
        cliOut(QStringLiteral("## %1\n").arg(table));
        printQuery(store, QStringLiteral("SELECT * FROM [%1]").arg(table));
    }
    return 0;
}

const CliRegistration queryRegistration({
    { QStringLiteral("db"), QStringLiteral("query") },
    QStringLiteral("DB SQL"),
    QStringLiteral("runs SQL through the program's phrase store and prints the result, TAB separated"),
    2,
    2,
    dbQuery,
    {},
});

const CliRegistration dumpRegistration({
    { QStringLiteral("db"), QStringLiteral("dump") },
    QStringLiteral("DB [TABLE...]"),
    QStringLiteral("prints every named table (all tables when none is named) as db query would"),
    1,
    -1,
    dbDump,
    {},
});

} // namespace
