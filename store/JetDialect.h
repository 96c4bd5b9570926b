#pragma once

#include <QString>

struct sqlite3;

// The program's SQL texts are written for the Jet engine; SQLite runs them after this translation.
namespace JetDialect {

// Rewrites a Jet SQL text for SQLite: `SELECT [DISTINCT] TOP n ...` gets `LIMIT n` at the end of
// its own SELECT (subqueries included), [names] and "strings" are quoted the SQLite way, `&` joins
// text, LIKE patterns with * and ? become SQLite patterns, #m/d/yyyy# dates become ISO text.
// Anything else is passed on unchanged, so SQLite reports what it cannot run.
QString translate(const QString &jetSql);

// Jet functions the texts use: Rnd([x]) a fresh uniform number in [0, 1) at every call,
// Time() the fraction of the day now, Now(), Len, UCase, LCase, Left, Right, Mid, IIf, Nz, Int.
void registerFunctions(sqlite3 *db);

} // namespace JetDialect
