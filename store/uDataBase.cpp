#include "uDataBase.h"

#include "JetDialect.h"
#include "PlumaretError.h"
#include "StorePreload.h"

#include <QHash>

#include <sqlite3.h>

#include <variant>
#include <vector>

namespace {

using Value = std::variant<std::monostate, qint64, double, QString, QByteArray>;

QString engineMessage(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

} // namespace

// The rows of one result, copied out of the engine when the query ran, so that RowCount is known
// at once and the engine holds nothing between queries.
class TResultCursor
{
public:
    QStringList names;
    QHash<QString, int> index; // case-folded name -> first column of that name
    std::vector<Value> cells; // row-major
    int rows = 0;
    int current = 0;
    bool atEnd = true;

    void clear()
    {
        names.clear();
        index.clear();
        cells.clear();
        rows = 0;
        current = 0;
        atEnd = true;
    }

    int column(const QString &name) const
    {
        const auto it = index.constFind(name.toCaseFolded());
        if (it == index.cend())
            throw EPlumaretError(QStringLiteral("找不到字段“%1”").arg(name));
        return it.value();
    }

    const Value &cell(int col) const
    {
        if (rows == 0)
            throw EPlumaretError(QStringLiteral("结果中没有当前记录"));
        if (col < 0 || col >= names.size())
            throw EPlumaretError(QStringLiteral("字段序号 %1 超出范围").arg(col));
        return cells[size_t(current) * size_t(names.size()) + size_t(col)];
    }
};

class TAdoConnection
{
public:
    ~TAdoConnection() { close(); }
    void close()
    {
        for (sqlite3_stmt *s : std::as_const(statements))
            sqlite3_finalize(s);
        statements.clear();
        rowLists.clear();
        if (db)
            sqlite3_close_v2(db);
        db = nullptr;
        tables.clear();
    }

    // Prepared once and kept: the database never changes while connected.
    sqlite3_stmt *statement(const QString &sql)
    {
        if (sqlite3_stmt *s = statements.value(sql))
            return s;
        const QByteArray text = sql.toUtf8();
        sqlite3_stmt *s = nullptr;
        if (sqlite3_prepare_v3(db, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT, &s, nullptr)
            != SQLITE_OK)
            throw EPlumaretError(engineMessage(db));
        statements.insert(sql, s);
        return s;
    }

    // Rows meeting a fixed filter, computed at its first use. Callers may reorder it.
    std::vector<qint64> &rowList(const QString &sql)
    {
        auto it = rowLists.find(sql);
        if (it != rowLists.end())
            return it.value();
        sqlite3_stmt *s = statement(sql);
        std::vector<qint64> rows;
        int rc;
        while ((rc = sqlite3_step(s)) == SQLITE_ROW)
            rows.push_back(sqlite3_column_int64(s, 0));
        sqlite3_reset(s);
        if (rc != SQLITE_DONE)
            throw EPlumaretError(engineMessage(db));
        return rowLists.insert(sql, std::move(rows)).value();
    }

    sqlite3 *db = nullptr;
    QStringList tables;
    QHash<QString, sqlite3_stmt *> statements;
    QHash<QString, std::vector<qint64>> rowLists;
};

namespace {

void appendRow(sqlite3_stmt *stmt, int columns, std::vector<Value> &cells)
{
    for (int c = 0; c < columns; ++c) {
        switch (sqlite3_column_type(stmt, c)) {
        case SQLITE_INTEGER:
            cells.emplace_back(qint64(sqlite3_column_int64(stmt, c)));
            break;
        case SQLITE_FLOAT:
            cells.emplace_back(sqlite3_column_double(stmt, c));
            break;
        case SQLITE_TEXT: {
            const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(stmt, c));
            cells.emplace_back(QString::fromUtf8(p, sqlite3_column_bytes(stmt, c)));
            break;
        }
        case SQLITE_BLOB: {
            const auto *p = static_cast<const char *>(sqlite3_column_blob(stmt, c));
            cells.emplace_back(QByteArray(p, sqlite3_column_bytes(stmt, c)));
            break;
        }
        default:
            cells.emplace_back(std::monostate());
        }
    }
}

void setNames(sqlite3_stmt *stmt, TResultCursor &cur)
{
    const int columns = sqlite3_column_count(stmt);
    for (int c = 0; c < columns; ++c) {
        const QString name = QString::fromUtf8(sqlite3_column_name(stmt, c));
        cur.names << name;
        const QString key = name.toCaseFolded();
        if (!cur.index.contains(key))
            cur.index.insert(key, c);
    }
}

} // namespace

// ---------------------------------------------------------------- TResultSet

TResultSet::TResultSet()
    : d(std::make_unique<TResultCursor>())
{
}
TResultSet::~TResultSet() = default;

bool TResultSet::ResultIsEmpty() const
{
    return d->rows == 0;
}

void TResultSet::MoveFirst()
{
    d->current = 0;
    d->atEnd = d->rows == 0;
}

bool TResultSet::AtEnd() const
{
    return d->atEnd;
}

void TResultSet::MoveNext()
{
    // Past the last row the last row stays current, as with a dataset's Next at EOF.
    if (d->current + 1 < d->rows)
        ++d->current;
    else
        d->atEnd = true;
}

int TResultSet::RowCount() const
{
    return d->rows;
}

int TResultSet::RowNumber() const
{
    return d->rows == 0 ? 0 : d->current + 1;
}

QStringList TResultSet::FieldNames() const
{
    return d->names;
}

bool TResultSet::FieldIsNull(int column) const
{
    return std::holds_alternative<std::monostate>(d->cell(column));
}

QString TResultSet::FieldTextAt(int column) const
{
    const Value &v = d->cell(column);
    if (const auto *i = std::get_if<qint64>(&v))
        return QString::number(*i);
    if (const auto *r = std::get_if<double>(&v))
        return QString::number(*r, 'g', 15);
    if (const auto *s = std::get_if<QString>(&v))
        return *s;
    if (const auto *b = std::get_if<QByteArray>(&v))
        return QString::fromLatin1(b->toHex());
    return QString();
}

QString TResultSet::FieldText(const QString &name) const
{
    return FieldTextAt(d->column(name));
}

qint32 TResultSet::FieldInteger(const QString &name) const
{
    const int col = d->column(name);
    const Value &v = d->cell(col);
    qint64 value = 0;
    if (const auto *i = std::get_if<qint64>(&v)) {
        value = *i;
    } else if (const auto *r = std::get_if<double>(&v)) {
        value = qRound64(*r);
    } else if (const auto *s = std::get_if<QString>(&v)) {
        bool ok = false;
        value = s->trimmed().toLongLong(&ok);
        if (!ok) {
            const double dv = s->trimmed().toDouble(&ok);
            if (!ok)
                throw EPlumaretError(QStringLiteral("字段“%1”的值“%2”不是有效的整数").arg(name, *s));
            value = qRound64(dv);
        }
    } else if (std::holds_alternative<QByteArray>(v)) {
        throw EPlumaretError(QStringLiteral("字段“%1”是二进制数据，不是整数").arg(name));
    }
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        throw EPlumaretError(QStringLiteral("字段“%1”的值 %2 超出 32 位整数的范围").arg(name).arg(value));
    return qint32(value);
}

// ---------------------------------------------------------------- TDBBuilder / TAdoBuilder

TDBBuilder::~TDBBuilder() = default;

TAdoBuilder::TAdoBuilder(const QString &fileName)
    : Connection(std::make_unique<TAdoConnection>())
    , m_resultSet(std::make_unique<TResultSet>())
    , m_fileName(fileName)
{
    ResultSet = m_resultSet.get();
}

TAdoBuilder::~TAdoBuilder()
{
    ResultSet = nullptr;
    m_resultSet.reset();
    Connection.reset();
}

void TAdoBuilder::Connect()
{
    if (Connection->db)
        return;
    std::optional<TLoadedStore> preloaded = TStorePreload::Take(m_fileName);
    adopt(preloaded ? std::move(*preloaded) : ReadStoreFile(m_fileName));
}

void TAdoBuilder::ConnectImage(const QByteArray &image, int timeLimitMs)
{
    if (Connection->db)
        return;
    adopt(ReadStoreImage(image, timeLimitMs));
}

void TAdoBuilder::adopt(TLoadedStore loaded)
{
    if (!loaded.db) {
        m_lastConnectError = loaded.reason;
        throw EPlumaretError(loaded.failure);
    }
    m_lastConnectError.clear();
    Connection->db = loaded.release();
    Connection->tables = loaded.tables;
    JetDialect::registerFunctions(Connection->db);
}

QString TAdoBuilder::LastConnectError() const
{
    return m_lastConnectError;
}

QStringList TAdoBuilder::TableNames() const
{
    return Connection->tables;
}

void TAdoBuilder::OpenQuery(const QString &sql)
{
    TResultCursor &cur = *m_resultSet->d;
    cur.clear(); // the previous result ends even when this SQL text fails
    if (!Connection->db)
        throw EPlumaretError(QStringLiteral("数据库尚未连接"));
    sqlite3 *db = Connection->db;
    const QString translated = JetDialect::translate(sql);

    JetDialect::RandomPick pick;
    if (JetDialect::randomPick(translated, &pick)) {
        // Draw the rows instead of sorting all of them by a random key: same distribution.
        sqlite3_stmt *row = Connection->statement(pick.rowSql);
        // a partial shuffle gives a uniform sample whatever order the list was left in
        std::vector<qint64> &rows = Connection->rowList(pick.rowsSql);
        const size_t take = pick.limit < 0 ? rows.size() : std::min(rows.size(), size_t(pick.limit));
        auto &rng = JetDialect::generator();
        std::vector<Value> cells;
        const int columns = sqlite3_column_count(row);
        cells.reserve(take * size_t(columns));
        for (size_t i = 0; i < take; ++i) {
            std::uniform_int_distribution<size_t> draw(i, rows.size() - 1);
            std::swap(rows[i], rows[draw(rng)]);
            sqlite3_bind_int64(row, 1, rows[i]);
            const int rc = sqlite3_step(row);
            if (rc == SQLITE_ROW)
                appendRow(row, columns, cells);
            const int end = rc == SQLITE_ROW ? sqlite3_step(row) : rc;
            sqlite3_reset(row);
            if (rc != SQLITE_ROW || end != SQLITE_DONE)
                throw EPlumaretError(engineMessage(db));
        }
        setNames(row, cur);
        cur.cells = std::move(cells);
        cur.rows = int(take);
        cur.current = 0;
        cur.atEnd = take == 0;
        return;
    }

    const QByteArray text = translated.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, &tail) != SQLITE_OK)
        throw EPlumaretError(engineMessage(db));
    if (!stmt)
        throw EPlumaretError(QStringLiteral("SQL 语句为空"));
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> guard(stmt, sqlite3_finalize);
    for (const char *p = tail; p && *p; ++p)
        if (!QChar::isSpace(uchar(*p)) && *p != ';')
            throw EPlumaretError(QStringLiteral("一次只能执行一条 SQL 语句"));
    if (!sqlite3_stmt_readonly(stmt))
        throw EPlumaretError(QStringLiteral("数据库只读，不能执行修改数据的语句"));

    const int columns = sqlite3_column_count(stmt);
    std::vector<Value> cells;
    int rows = 0;
    for (;;) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            throw EPlumaretError(engineMessage(db));
        ++rows;
        appendRow(stmt, columns, cells);
    }
    setNames(stmt, cur);
    cur.cells = std::move(cells);
    cur.rows = rows;
    cur.current = 0;
    cur.atEnd = rows == 0;
}
