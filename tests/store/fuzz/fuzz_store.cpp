// libFuzzer target: mutated Jet files through the store's in-memory Connect and a query per table.
// The store must refuse what it cannot read with its message, never crash, hang or print.
#include "JetHeader.h"
#include "PlumaretError.h"
#include "uDataBase.h"

#include <QByteArray>
#include <QMap>
#include <QRegularExpression>

#include <cstdint>
#include <cstdio>

namespace {
QMap<QString, quint64> outcomes;
quint64 runs = 0;

void report()
{
    std::fprintf(stderr, "store outcomes after %llu inputs:\n", static_cast<unsigned long long>(runs));
    for (auto it = outcomes.cbegin(); it != outcomes.cend(); ++it)
        std::fprintf(
            stderr, "  %8llu  %s\n", static_cast<unsigned long long>(it.value()), qPrintable(it.key()));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool registered = (std::atexit(report), true);
    (void)registered;
    ++runs;
    // Most mutations change the length, and a file of partial pages is refused before libmdb sees
    // it; cutting to whole pages sends those inputs on into libmdb and the decoding.
    const size_t page = size_t(JetHeader::pageSize(
        size > size_t(JetHeader::VersionOffset) ? data[JetHeader::VersionOffset] : JetHeader::Jet4));
    if (size > page && size % page != 0)
        size -= size % page;
    const QByteArray image = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    TAdoBuilder store(QStringLiteral("unused"));
    try {
        // a short limit keeps the run fast; the loop it cuts is libmdb's, in the child
        store.ConnectImage(image, 1000);
    } catch (const EPlumaretError &) {
        QString why = store.LastConnectError();
        why.replace(QRegularExpression(QStringLiteral("(table|column) .*")), QStringLiteral("\\1 …"));
        ++outcomes[why];
        return 0;
    }
    ++outcomes[QStringLiteral("read")];
    for (const QString &table : store.TableNames()) {
        try {
            store.OpenQuery(
                QStringLiteral("SELECT TOP 5 * FROM [%1] ORDER BY Rnd(Time() * Rnd())").arg(table));
            TResultSet &rs = *store.ResultSet;
            for (rs.MoveFirst(); !rs.AtEnd(); rs.MoveNext())
                for (const QString &name : rs.FieldNames())
                    (void)rs.FieldText(name);
        } catch (const EPlumaretError &) {
            // odd names the engine rejects are fine; crashes are not
        }
    }
    if (runs % 20000 == 0)
        report();
    return 0;
}
