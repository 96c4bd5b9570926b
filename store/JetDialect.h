#pragma once

#include <QString>

#include <random>

struct sqlite3;

// The program's SQL texts are written for the Jet engine; SQLite runs them after this translation.
namespace JetDialect {

// Rewrites a Jet SQL text for SQLite: `SELECT [DISTINCT] TOP n ...` gets `LIMIT n` at the end of
// its own SELECT (subqueries included), [names] and "strings" are quoted the SQLite way, `&` joins
// text, LIKE patterns with * and ? become SQLite patterns, #m/d/yyyy# dates become ISO text.
// Anything else is passed on unchanged, so SQLite reports what it cannot run.
QString translate(const QString &jetSql);

// A translated text of the form `SELECT cols FROM table [WHERE cond] ORDER BY Rnd(...) [LIMIT n]`.
// Every row's sort key is a fresh uniform number, so the result is a uniform random sample of the
// rows meeting cond, in random order. The store answers it by drawing from the (fixed, read-only)
// list of those rows instead of computing and sorting a key for each of them.
struct RandomPick
{
    QString rowsSql; // SELECT rowid FROM table [WHERE cond]
    QString rowSql; // SELECT cols FROM table WHERE rowid = ?
    qint64 limit = -1;
};
bool randomPick(const QString &sqliteSql, RandomPick *pick);

// The generator behind Rnd, seeded once per process from the system's entropy.
std::mt19937_64 &generator();

// Jet functions the texts use: Rnd([x]) a fresh uniform number in [0, 1) at every call,
// Time() the fraction of the day now, Now(), Len, UCase, LCase, Left, Right, Mid, IIf, Nz, Int.
void registerFunctions(sqlite3 *db);

} // namespace JetDialect
