// Phrase store benchmark: a generated phrase book of 100,000 phrases, 1,000 templates of 2 kB
// and 200 framing phrases. Prints the time of Connect plus the first automatic-writing query
// (TOP 100), the time of each later such query, and the time mdb-export takes to read the same
// tables: the floor for anything that reads the file through libmdb.
//
//   bench_store [phrases]        (default 100000)
#include "PlumaretError.h"
#include "SyntheticPhraseBook.h"
#include "uDataBase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString AutoQuery = QStringLiteral("SELECT TOP 100 id, title FROM LoveWord  WHERE ClassID not in(2, 3, "
                                         "4, 5, 6, 15)  ORDER BY Rnd(id - Time() * id * Rnd() * 100)");

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int phrases = argc > 1 ? std::max(1, atoi(argv[1])) : 100000;
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("db.dll"));
    try {
        TSyntheticPhraseBook { phrases }.write(book);
    } catch (const EPlumaretError &e) {
        std::fprintf(stderr, "cannot write the phrase book: %s\n", qPrintable(e.message()));
        return 1;
    }
    std::printf("phrase book: %d phrases, 1000 templates of 2 kB, 200 framing phrases, %lld bytes\n", phrases,
        static_cast<long long>(QFileInfo(book).size()));

    const int rounds = 5;
    std::vector<double> floorTimes, connectTimes;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        for (const char *table : { "LoveWordClass", "LoveWord", "CommonLanguage", "Template" }) {
            QProcess p;
            p.setStandardOutputFile(QProcess::nullDevice());
            p.start(QStringLiteral("mdb-export"), { book, QLatin1String(table) });
            if (!p.waitForFinished(120000) || p.exitCode() != 0) {
                std::fprintf(stderr, "mdb-export failed on %s\n", table);
                return 1;
            }
        }
        floorTimes.push_back(ms(t));

        QElapsedTimer c;
        c.start();
        TAdoBuilder store(book);
        store.Connect();
        store.OpenQuery(AutoQuery);
        connectTimes.push_back(ms(c));
        if (store.ResultSet->RowCount() != 100) {
            std::fprintf(stderr, "the automatic query gave %d rows\n", store.ResultSet->RowCount());
            return 1;
        }
    }

    TAdoBuilder store(book);
    store.Connect();
    store.OpenQuery(AutoQuery);
    std::vector<double> later;
    for (int i = 0; i < 200; ++i) {
        QElapsedTimer t;
        t.start();
        store.OpenQuery(AutoQuery);
        for (store.ResultSet->MoveFirst(); !store.ResultSet->AtEnd(); store.ResultSet->MoveNext())
            (void)store.ResultSet->FieldText(QStringLiteral("title"));
        later.push_back(ms(t));
    }
    std::vector<double> framing;
    for (int i = 0; i < 200; ++i) {
        QElapsedTimer t;
        t.start();
        store.OpenQuery(QStringLiteral("select top 1 Title from CommonLanguage where TYPE = %1 ORDER BY "
                                       "Rnd(id - Time() * id * Rnd() * 100)")
                            .arg(i % 3));
        framing.push_back(ms(t));
    }
    QElapsedTimer t;
    t.start();
    store.OpenQuery(QStringLiteral("SELECT [ID], [TITLE], [TEXT] FROM Template"));
    const double templates = ms(t);

    const double floorMs = median(floorTimes), connectMs = median(connectTimes);
    std::printf("mdb-export of the 4 tables (floor), median of %d:      %8.1f ms\n", rounds, floorMs);
    std::printf("Connect + first TOP 100 query, median of %d:           %8.1f ms\n", rounds, connectMs);
    std::printf(
        "ratio to the floor:                                   %8.2f  (goal <= 1.5)\n", connectMs / floorMs);
    std::printf("later TOP 100 queries (200 runs): median %.3f ms, max %.3f ms  (goal < 5 ms)\n",
        median(later), *std::max_element(later.begin(), later.end()));
    std::printf("framing query TOP 1 (200 runs):   median %.3f ms, max %.3f ms\n", median(framing),
        *std::max_element(framing.begin(), framing.end()));
    std::printf("all 1000 templates:               %.1f ms\n", templates);
    return 0;
}
