#include "JetDialect.h"

#include <QDateTime>
#include <QList>
#include <QStringList>

#include <sqlite3.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

enum class Kind { Space, Word, Number, String, Quoted, Bracket, Date, Comment, Punct };

struct Token
{
    Kind kind;
    QString text;
};

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') || c.unicode() >= 0x80;
}

// Splits into tokens; unterminated quotes run to the end, so SQLite reports them.
QList<Token> tokenize(const QString &sql)
{
    QList<Token> out;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto until = [&](qsizetype from, QChar close, bool doubled) {
        qsizetype j = from;
        while (j < n) {
            if (sql[j] == close) {
                if (doubled && j + 1 < n && sql[j + 1] == close) {
                    j += 2;
                    continue;
                }
                return j + 1;
            }
            ++j;
        }
        return n;
    };
    while (i < n) {
        const QChar c = sql[i];
        qsizetype j = i + 1;
        Kind kind = Kind::Punct;
        if (c.isSpace()) {
            while (j < n && sql[j].isSpace())
                ++j;
            kind = Kind::Space;
        } else if (c == QLatin1Char('\'')) {
            j = until(i + 1, c, true);
            kind = Kind::String;
        } else if (c == QLatin1Char('"')) {
            j = until(i + 1, c, true);
            kind = Kind::Quoted;
        } else if (c == QLatin1Char('[')) {
            j = until(i + 1, QLatin1Char(']'), false);
            kind = Kind::Bracket;
        } else if (c == QLatin1Char('#')) {
            const qsizetype close = sql.indexOf(QLatin1Char('#'), i + 1);
            j = close > 0 ? close + 1 : i + 1;
            kind = close > 0 ? Kind::Date : Kind::Punct;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            j = sql.indexOf(QLatin1Char('\n'), i);
            j = j < 0 ? n : j;
            kind = Kind::Comment;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            j = sql.indexOf(QLatin1String("*/"), i + 2);
            j = j < 0 ? n : j + 2;
            kind = Kind::Comment;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && sql[i + 1].isDigit())) {
            while (j < n
                && (sql[j].isLetterOrNumber() || sql[j] == QLatin1Char('.')
                    || ((sql[j] == QLatin1Char('+') || sql[j] == QLatin1Char('-'))
                        && (sql[j - 1] == QLatin1Char('e') || sql[j - 1] == QLatin1Char('E')))))
                ++j;
            kind = Kind::Number;
        } else if (isWordChar(c)) {
            while (j < n && isWordChar(sql[j]))
                ++j;
            kind = Kind::Word;
        } else {
            static const QStringList twoChar { QStringLiteral("<>"), QStringLiteral("<="),
                QStringLiteral(">="), QStringLiteral("||"), QStringLiteral("!="), QStringLiteral("==") };
            if (i + 1 < n && twoChar.contains(sql.mid(i, 2)))
                j = i + 2;
        }
        out.append({ kind, sql.mid(i, j - i) });
        i = j;
    }
    return out;
}

QString sqlString(const QString &value)
{
    QString s = value;
    s.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

QString unquote(const Token &t)
{
    const QChar open = t.text.at(0);
    const QChar close = open == QLatin1Char('[') ? QLatin1Char(']') : open;
    QString body = t.text.mid(1);
    if (body.endsWith(close))
        body.chop(1);
    if (open != QLatin1Char('['))
        body.replace(QString(2, close), QString(close));
    return body;
}

// Jet wildcards: * any run, ? one character, # one digit (kept as one character), [x] x itself.
QString likePattern(const QString &jet)
{
    QString out;
    for (qsizetype i = 0; i < jet.size(); ++i) {
        const QChar c = jet[i];
        if (c == QLatin1Char('*')) {
            out += QLatin1Char('%');
        } else if (c == QLatin1Char('?') || c == QLatin1Char('#')) {
            out += QLatin1Char('_');
        } else if (c == QLatin1Char('[') && i + 2 < jet.size() && jet[i + 2] == QLatin1Char(']')) {
            const QChar lit = jet[i + 1];
            if (lit == QLatin1Char('%') || lit == QLatin1Char('_') || lit == QLatin1Char('\\'))
                out += QLatin1Char('\\');
            out += lit;
            i += 2;
        } else {
            if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
                out += QLatin1Char('\\');
            out += c;
        }
    }
    return out;
}

QString dateLiteral(const QString &body)
{
    static const char *const formats[]
        = { "M/d/yyyy H:mm:ss", "M/d/yyyy H:mm", "M/d/yyyy", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd", "M/d/yy" };
    const QString text = body.trimmed();
    for (const char *f : formats) {
        const QDateTime dt = QDateTime::fromString(text, QLatin1String(f));
        if (dt.isValid())
            return sqlString(dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    }
    return QString();
}

bool isWord(const Token &t, const char *word)
{
    return t.kind == Kind::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

// ---------------------------------------------------------------- functions

} // namespace

namespace JetDialect {
std::mt19937_64 &generator()
{
    static std::mt19937_64 g { std::random_device {}() };
    return g;
}
} // namespace JetDialect

namespace {
using JetDialect::generator;

void fnRnd(sqlite3_context *ctx, int, sqlite3_value **)
{
    // 53 random bits: uniform on [0, 1), never 1
    sqlite3_result_double(ctx, double(generator()() >> 11) * 0x1.0p-53);
}

void fnTime(sqlite3_context *ctx, int, sqlite3_value **)
{
    sqlite3_result_double(ctx, QTime::currentTime().msecsSinceStartOfDay() / 86400000.0);
}

void fnNow(sqlite3_context *ctx, int, sqlite3_value **)
{
    const QByteArray now
        = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1();
    sqlite3_result_text(ctx, now.constData(), int(now.size()), SQLITE_TRANSIENT);
}

QString textArg(sqlite3_value *v)
{
    const auto *p = static_cast<const char16_t *>(sqlite3_value_text16(v));
    return p ? QString::fromUtf16(p, sqlite3_value_bytes16(v) / 2) : QString();
}

void resultText(sqlite3_context *ctx, const QString &s)
{
    sqlite3_result_text16(ctx, s.utf16(), int(s.size() * 2), SQLITE_TRANSIENT);
}

bool anyNull(int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return true;
    return false;
}

void fnLen(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    sqlite3_result_int(ctx, int(textArg(argv[0]).size()));
}

void fnUCase(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    resultText(ctx, textArg(argv[0]).toUpper());
}

void fnLCase(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    resultText(ctx, textArg(argv[0]).toLower());
}

void fnLeft(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    resultText(ctx, textArg(argv[0]).left(qMax(0, sqlite3_value_int(argv[1]))));
}

void fnRight(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    resultText(ctx, textArg(argv[0]).right(qMax(0, sqlite3_value_int(argv[1]))));
}

void fnMid(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    const QString s = textArg(argv[0]);
    const int start = qMax(1, sqlite3_value_int(argv[1]));
    resultText(ctx, argc > 2 ? s.mid(start - 1, qMax(0, sqlite3_value_int(argv[2]))) : s.mid(start - 1));
}

void fnIIf(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const bool cond = sqlite3_value_type(argv[0]) != SQLITE_NULL && sqlite3_value_double(argv[0]) != 0.0;
    sqlite3_result_value(ctx, argv[cond ? 1 : 2]);
}

void fnNz(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) != SQLITE_NULL)
        return sqlite3_result_value(ctx, argv[0]);
    if (argc > 1)
        return sqlite3_result_value(ctx, argv[1]);
    sqlite3_result_int(ctx, 0);
}

void fnInt(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    sqlite3_result_double(ctx, std::floor(sqlite3_value_double(argv[0])));
}

} // namespace

namespace JetDialect {

QString translate(const QString &jetSql)
{
    const QList<Token> tokens = tokenize(jetSql);
    struct Scope
    {
        int depth;
        QString limit;
    };
    QList<Scope> scopes; // open SELECTs that got a TOP
    QString out;
    out.reserve(jetSql.size() + 16);
    int depth = 0;
    auto closeScopes = [&](int atDepth) {
        while (!scopes.isEmpty() && scopes.last().depth >= atDepth) {
            out += QLatin1String(" LIMIT ") + scopes.last().limit;
            scopes.removeLast();
        }
    };
    auto nextSolid = [&](qsizetype from) {
        while (
            from < tokens.size() && (tokens[from].kind == Kind::Space || tokens[from].kind == Kind::Comment))
            ++from;
        return from;
    };
    bool afterLike = false;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const Token &t = tokens[i];
        switch (t.kind) {
        case Kind::Word:
            if (isWord(t, "SELECT")) {
                out += t.text;
                qsizetype k = nextSolid(i + 1);
                if (k < tokens.size()
                    && (isWord(tokens[k], "DISTINCT") || isWord(tokens[k], "DISTINCTROW")
                        || isWord(tokens[k], "ALL"))) {
                    out += QLatin1Char(' ')
                        + (isWord(tokens[k], "ALL") ? QStringLiteral("ALL") : QStringLiteral("DISTINCT"));
                    i = k;
                    k = nextSolid(k + 1);
                }
                if (k < tokens.size() && isWord(tokens[k], "TOP")) {
                    const qsizetype m = nextSolid(k + 1);
                    if (m < tokens.size() && tokens[m].kind == Kind::Number) {
                        const qsizetype p = nextSolid(m + 1);
                        // TOP n PERCENT has no SQLite equivalent: leave it for SQLite to reject
                        if (!(p < tokens.size() && isWord(tokens[p], "PERCENT"))) {
                            scopes.append({ depth, tokens[m].text });
                            i = m;
                        }
                    }
                }
                afterLike = false;
                continue;
            }
            out += isWord(t, "DISTINCTROW") ? QStringLiteral("DISTINCT") : t.text;
            afterLike = isWord(t, "LIKE");
            continue;
        case Kind::Bracket: {
            QString name = unquote(t);
            name.replace(QLatin1Char('"'), QLatin1String("\"\""));
            out += QLatin1Char('"') + name + QLatin1Char('"');
            break;
        }
        case Kind::Quoted:
        case Kind::String:
            if (afterLike) {
                out += sqlString(likePattern(unquote(t))) + QLatin1String(" ESCAPE '\\'");
            } else {
                out += sqlString(unquote(t));
            }
            break;
        case Kind::Date: {
            const QString iso = dateLiteral(t.text.mid(1, t.text.size() - 2));
            out += iso.isEmpty() ? t.text : iso;
            break;
        }
        case Kind::Punct:
            if (t.text == QLatin1String("(")) {
                ++depth;
            } else if (t.text == QLatin1String(")")) {
                closeScopes(depth);
                --depth;
            } else if (t.text == QLatin1String(";")) {
                closeScopes(depth);
            } else if (t.text == QLatin1String("&")) {
                out += QLatin1String("||");
                break;
            }
            out += t.text;
            break;
        case Kind::Space:
        case Kind::Comment:
            out += t.text;
            continue; // LIKE 'x': the pattern comes after blanks
        case Kind::Number:
            out += t.text;
            break;
        }
        afterLike = false;
    }
    closeScopes(std::numeric_limits<int>::min());
    return out;
}

bool randomPick(const QString &sqliteSql, RandomPick *pick)
{
    QList<Token> all = tokenize(sqliteSql);
    QList<Token> t;
    for (const Token &tok : all)
        if (tok.kind != Kind::Space && tok.kind != Kind::Comment)
            t.append(tok);
    while (!t.isEmpty() && t.last().text == QLatin1String(";"))
        t.removeLast();
    if (t.size() < 8 || !isWord(t[0], "SELECT"))
        return false;
    // top-level clause positions; anything that is not a plain one-table filter disqualifies
    qsizetype from = -1, where = -1, order = -1, limit = -1;
    int depth = 0;
    for (qsizetype i = 1; i < t.size(); ++i) {
        const Token &k = t[i];
        if (k.text == QLatin1String("(")) {
            ++depth;
        } else if (k.text == QLatin1String(")")) {
            --depth;
        } else if (k.kind == Kind::Word) {
            if (isWord(k, "SELECT") || isWord(k, "rowid"))
                return false; // subquery, or a text that uses rowid itself
            for (const char *fn : { "count", "sum", "min", "max", "avg", "total", "group_concat" })
                if (isWord(k, fn))
                    return false; // an aggregate sees all rows
            if (depth != 0)
                continue;
            if (isWord(k, "FROM") && from < 0)
                from = i;
            else if (isWord(k, "WHERE") && where < 0)
                where = i;
            else if (isWord(k, "ORDER") && order < 0)
                order = i;
            else if (isWord(k, "LIMIT") && limit < 0)
                limit = i;
            else if (isWord(k, "GROUP") || isWord(k, "HAVING") || isWord(k, "UNION") || isWord(k, "EXCEPT")
                || isWord(k, "INTERSECT") || isWord(k, "JOIN") || isWord(k, "DISTINCT") || isWord(k, "OFFSET")
                || isWord(k, "WINDOW") || isWord(k, "ALL"))
                return false;
        } else if (depth == 0 && k.text == QLatin1String(",") && from > 0) {
            return false; // a comma after FROM at the top: more tables, or more sort keys
        }
    }
    if (depth != 0 || from < 2 || order < 0)
        return false;
    const qsizetype tableAt = from + 1;
    const qsizetype fromEnd = where > 0 ? where : order;
    if (fromEnd != tableAt + 1 || !(t[tableAt].kind == Kind::Word || t[tableAt].kind == Kind::Quoted))
        return false;
    if (where > 0 && where > order)
        return false;
    // ORDER BY Rnd( ... ) and nothing else up to LIMIT or the end
    const qsizetype keyEnd = limit > 0 ? limit : t.size();
    if (order + 4 >= keyEnd || !isWord(t[order + 1], "BY") || !isWord(t[order + 2], "Rnd")
        || t[order + 3].text != QLatin1String("(") || t[keyEnd - 1].text != QLatin1String(")"))
        return false;
    depth = 0;
    for (qsizetype i = order + 3; i < keyEnd; ++i) {
        if (t[i].text == QLatin1String("("))
            ++depth;
        else if (t[i].text == QLatin1String(")") && --depth == 0 && i != keyEnd - 1)
            return false; // Rnd(...) is only part of the key
    }
    qint64 count = -1;
    if (limit > 0) {
        bool ok = false;
        if (limit + 2 != t.size() || t[limit + 1].kind != Kind::Number)
            return false;
        count = t[limit + 1].text.toLongLong(&ok);
        if (!ok || count < 0)
            return false;
    }
    auto join = [&](qsizetype a, qsizetype b) {
        QString s;
        for (qsizetype i = a; i < b; ++i) {
            if (i > a)
                s += QLatin1Char(' ');
            s += t[i].text;
        }
        return s;
    };
    QString cond;
    if (where > 0) {
        // the filter must give the same rows every time for the row list to be kept
        for (qsizetype i = where + 1; i < order; ++i)
            for (const char *fn :
                { "Rnd", "random", "Time", "Now", "date", "datetime", "julianday", "strftime" })
                if (isWord(t[i], fn))
                    return false;
        cond = join(where + 1, order);
    }
    const QString table = t[tableAt].text;
    pick->rowsSql = QLatin1String("SELECT rowid FROM ") + table
        + (cond.isEmpty() ? QString() : QLatin1String(" WHERE ") + cond);
    pick->rowSql = QLatin1String("SELECT ") + join(1, from) + QLatin1String(" FROM ") + table
        + QLatin1String(" WHERE rowid = ?");
    pick->limit = count;
    return true;
}

void registerFunctions(sqlite3 *db)
{
    struct Fn
    {
        const char *name;
        int args;
        void (*fn)(sqlite3_context *, int, sqlite3_value **);
        bool deterministic;
    };
    // Time() and Now() count as fixed within one run of a statement, as in Jet, so SQLite
    // evaluates them once instead of at every row; Rnd must stay fresh at every call.
    static const Fn fns[] = {
        { "Rnd", 0, fnRnd, false },
        { "Rnd", 1, fnRnd, false },
        { "Time", 0, fnTime, true },
        { "Now", 0, fnNow, true },
        { "Len", 1, fnLen, true },
        { "UCase", 1, fnUCase, true },
        { "LCase", 1, fnLCase, true },
        { "Left", 2, fnLeft, true },
        { "Right", 2, fnRight, true },
        { "Mid", 2, fnMid, true },
        { "Mid", 3, fnMid, true },
        { "IIf", 3, fnIIf, true },
        { "Nz", 1, fnNz, true },
        { "Nz", 2, fnNz, true },
        { "Int", 1, fnInt, true },
    };
    for (const Fn &f : fns)
        sqlite3_create_function_v2(db, f.name, f.args,
            SQLITE_UTF8 | (f.deterministic ? SQLITE_DETERMINISTIC : 0), nullptr, f.fn, nullptr, nullptr,
            nullptr);
}

} // namespace JetDialect
