#include "JetWriter.h"

#include "JetHeader.h"
#include "PlumaretError.h"

#include <QDir>
#include <QSaveFile>
#include <QSet>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace jet {
namespace {

constexpr int PageSize = JetHeader::Jet4PageSize;
constexpr int RowPageHeader = 14; // data and LVAL pages: row offsets start here
constexpr int MaxRowsPerPage = 255; // a row pointer keeps the row number in one byte
constexpr int MaxRowSize = 4060; // largest data row Jet 4 accepts
constexpr int MaxInlineLongValue = 64; // longer memos leave the row, as Jet does
constexpr int MaxSingleLongValueRow = 4076;
constexpr int LongValueChunk = 4072; // data bytes of one chained LVAL row (plus its 4-byte link)
constexpr int MaxCompressedMemoChars = 1024;
constexpr int MaxLongValueBytes = 0xFFFFFF; // the length field has 24 bits
constexpr int TdefHeaderSize = 63;
constexpr int ColumnBlockSize = 25;
constexpr int UsageMapBitmapMin = 64;
constexpr int UsageMapBitmapMax = 4000;
constexpr int MaxNameLength = 64;
constexpr int MaxColumns = 255; // readers take the column number as one byte

constexpr quint32 ContainerTables = 0x0F000001;
constexpr quint32 ContainerDatabases = 0x0F000002;
constexpr quint32 ContainerRelationships = 0x0F000003;
constexpr quint32 ContainerRoot = 0x0F000000;
constexpr quint32 SystemObjectFlag = 0x80000000;

void put16(char *p, quint32 v)
{
    p[0] = char(v & 0xFF);
    p[1] = char((v >> 8) & 0xFF);
}

void put32(char *p, quint32 v)
{
    put16(p, v);
    put16(p + 2, v >> 16);
}

quint32 get16(const char *p)
{
    return quint32(quint8(p[0])) | (quint32(quint8(p[1])) << 8);
}

bool isFixed(ColumnType t)
{
    return t == ColumnType::Long || t == ColumnType::Integer || t == ColumnType::DateTime;
}

bool isLongValue(ColumnType t)
{
    return t == ColumnType::Memo || t == ColumnType::Ole;
}

int fixedSize(ColumnType t)
{
    switch (t) {
    case ColumnType::Long:
        return 4;
    case ColumnType::Integer:
        return 2;
    case ColumnType::DateTime:
        return 8;
    default:
        return 0;
    }
}

quint8 typeCode(ColumnType t)
{
    switch (t) {
    case ColumnType::Long:
        return 0x04;
    case ColumnType::Integer:
        return 0x03;
    case ColumnType::DateTime:
        return 0x08;
    case ColumnType::Text:
        return 0x0A;
    case ColumnType::Memo:
        return 0x0C;
    case ColumnType::Binary:
        return 0x09;
    case ColumnType::Ole:
        return 0x0B;
    }
    return 0;
}

QString typeName(ColumnType t)
{
    switch (t) {
    case ColumnType::Long:
        return QStringLiteral("long");
    case ColumnType::Integer:
        return QStringLiteral("integer");
    case ColumnType::DateTime:
        return QStringLiteral("datetime");
    case ColumnType::Text:
        return QStringLiteral("text");
    case ColumnType::Memo:
        return QStringLiteral("memo");
    case ColumnType::Binary:
        return QStringLiteral("binary");
    case ColumnType::Ole:
        return QStringLiteral("ole");
    }
    return QString();
}

double oleDate(const QDateTime &time)
{
    // Jet dates count days from 1899-12-30 in local wall-clock time.
    const QDateTime local = time.toLocalTime();
    const qint64 days = QDate(1899, 12, 30).daysTo(local.date());
    const double fraction = local.time().msecsSinceStartOfDay() / 86400000.0;
    // Before the epoch the time of day still counts away from zero: -1.25 is 1899-12-29 06:00.
    return days < 0 ? double(days) - fraction : double(days) + fraction;
}

QByteArray ucs2(const QString &text)
{
    QByteArray out(text.size() * 2, '\0');
    for (qsizetype i = 0; i < text.size(); ++i)
        put16(out.data() + 2 * i, text.at(i).unicode());
    return out;
}

// The file image as a list of pages; page numbers are handed out before pages are filled.
struct PageFile
{
    std::vector<QByteArray> pages;

    int allocate()
    {
        pages.emplace_back(PageSize, '\0');
        return int(pages.size()) - 1;
    }
    char *at(int page) { return pages[size_t(page)].data(); }
};

// Data and LVAL pages hold rows packed from the end of the page towards the offset table.
void initRowPage(char *p, const char owner[4])
{
    p[0] = 0x01;
    p[1] = 0x01;
    put16(p + 2, PageSize - RowPageHeader);
    std::memcpy(p + 4, owner, 4);
}

int rowCount(const char *p)
{
    return int(get16(p + 12));
}

int rowTop(const char *p)
{
    const int n = rowCount(p);
    return n == 0 ? PageSize : int(get16(p + RowPageHeader + 2 * (n - 1)));
}

bool rowFits(const char *p, int size)
{
    const int n = rowCount(p);
    return n < MaxRowsPerPage && rowTop(p) - size >= RowPageHeader + 2 * (n + 1);
}

int addRow(char *p, const QByteArray &row)
{
    const int n = rowCount(p);
    const int top = rowTop(p) - int(row.size());
    std::memcpy(p + top, row.constData(), size_t(row.size()));
    put16(p + RowPageHeader + 2 * n, quint32(top));
    put16(p + 12, quint32(n + 1));
    put16(p + 2, quint32(top - (RowPageHeader + 2 * (n + 1))));
    return n;
}

quint32 rowPointer(int page, int row)
{
    return (quint32(page) << 8) | quint32(row);
}

const char NoOwner[4] = { 0, 0, 0, 0 };
const char LvalOwner[4] = { 'L', 'V', 'A', 'L' };

// Places long values (memo, OLE) in LVAL pages and returns the 12-byte field header.
class LongValueStore
{
public:
    explicit LongValueStore(PageFile *file)
        : m_file(file)
    {
    }

    QByteArray store(const QByteArray &data)
    {
        QByteArray field(12, '\0');
        const quint32 length = quint32(data.size());
        if (data.size() <= MaxInlineLongValue) {
            put32(field.data(), length | 0x80000000u);
            return field + data;
        }
        if (data.size() <= MaxSingleLongValueRow) {
            put32(field.data(), length | 0x40000000u);
            put32(field.data() + 4, m_file ? placeShared(data) : 0);
            return field;
        }
        put32(field.data(), length);
        if (!m_file)
            return field;
        // The chain is built from its end so that each row knows the pointer to the next.
        const int chunks = int((data.size() + LongValueChunk - 1) / LongValueChunk);
        const qsizetype lastStart = qsizetype(chunks - 1) * LongValueChunk;
        quint32 next = placeShared(QByteArray(4, '\0') + data.mid(lastStart));
        for (int c = chunks - 2; c >= 0; --c) {
            QByteArray row(4, '\0');
            put32(row.data(), next);
            row += data.mid(qsizetype(c) * LongValueChunk, LongValueChunk);
            const int page = m_file->allocate();
            initRowPage(m_file->at(page), LvalOwner);
            next = rowPointer(page, addRow(m_file->at(page), row));
        }
        put32(field.data() + 4, next);
        return field;
    }

private:
    quint32 placeShared(const QByteArray &row)
    {
        if (m_current < 0 || !rowFits(m_file->at(m_current), int(row.size()))) {
            m_current = m_file->allocate();
            initRowPage(m_file->at(m_current), LvalOwner);
        }
        return rowPointer(m_current, addRow(m_file->at(m_current), row));
    }

    PageFile *m_file;
    int m_current = -1;
};

struct ColumnLayout
{
    int fixedOffset = 0;
    int varIndex = 0;
};

struct TableLayout
{
    QList<ColumnLayout> columns;
    int fixedBytes = 0;
    int varCount = 0;
};

TableLayout layoutOf(const Table &table)
{
    TableLayout layout;
    layout.columns.resize(table.columns.size());
    // Long values take the last variable slots, as Jet orders them.
    for (int pass = 0; pass < 2; ++pass) {
        for (qsizetype i = 0; i < table.columns.size(); ++i) {
            const ColumnType t = table.columns.at(i).type;
            if (isFixed(t)) {
                if (pass == 0) {
                    layout.columns[i].fixedOffset = layout.fixedBytes;
                    layout.fixedBytes += fixedSize(t);
                }
            } else if (isLongValue(t) == (pass == 1)) {
                layout.columns[i].varIndex = layout.varCount++;
            }
        }
    }
    return layout;
}

QByteArray encodeValue(const Column &column, const QVariant &value, LongValueStore &longValues)
{
    switch (column.type) {
    case ColumnType::Text:
        return encodeText(value.toString());
    case ColumnType::Memo: {
        const QString text = value.toString();
        return longValues.store(encodeText(text, text.size() <= MaxCompressedMemoChars));
    }
    case ColumnType::Binary:
        return value.toByteArray();
    case ColumnType::Ole:
        return longValues.store(value.toByteArray());
    default:
        return QByteArray();
    }
}

// Jet 4 row: column count, fixed columns, variable data, end offset, variable offsets
// (last first), variable count, null mask.
QByteArray encodeRow(
    const Table &table, const TableLayout &layout, const QVariantList &values, LongValueStore &longValues)
{
    const int columnCount = int(table.columns.size());
    QByteArray row(2 + layout.fixedBytes, '\0');
    put16(row.data(), quint32(columnCount));
    QByteArray nullMask((columnCount + 7) / 8, '\0');
    QList<QByteArray> varData(layout.varCount);

    for (int i = 0; i < columnCount; ++i) {
        const Column &column = table.columns.at(i);
        const QVariant &value = values.at(i);
        if (value.isNull())
            continue;
        nullMask[i / 8] = char(quint8(nullMask.at(i / 8)) | (1 << (i % 8)));
        char *fixed = row.data() + 2 + layout.columns.at(i).fixedOffset;
        switch (column.type) {
        case ColumnType::Long:
            put32(fixed, quint32(qint32(value.toLongLong())));
            break;
        case ColumnType::Integer:
            put16(fixed, quint32(qint16(value.toLongLong())));
            break;
        case ColumnType::DateTime: {
            const double days = oleDate(value.toDateTime());
            quint64 bits;
            std::memcpy(&bits, &days, sizeof bits);
            put32(fixed, quint32(bits));
            put32(fixed + 4, quint32(bits >> 32));
            break;
        }
        default:
            varData[layout.columns.at(i).varIndex] = encodeValue(column, value, longValues);
            break;
        }
    }

    if (layout.varCount > 0) {
        QList<int> offsets;
        for (const QByteArray &data : std::as_const(varData)) {
            offsets.append(int(row.size()));
            row += data;
        }
        QByteArray table(2 * (layout.varCount + 2), '\0');
        put16(table.data(), quint32(row.size())); // end of the variable data
        for (int v = 0; v < layout.varCount; ++v)
            put16(table.data() + 2 * (layout.varCount - v), quint32(offsets.at(v)));
        put16(table.data() + 2 * (layout.varCount + 1), quint32(layout.varCount));
        row += table;
    }
    return row + nullMask;
}

int tdefSize(const Table &table)
{
    int size = TdefHeaderSize + ColumnBlockSize * int(table.columns.size()) + 2;
    for (const Column &c : table.columns)
        size += 2 + 2 * int(c.name.size());
    return size;
}

int tdefPageCount(const Table &table)
{
    const int size = tdefSize(table);
    if (size <= PageSize)
        return 1;
    return 1 + (size - PageSize + (PageSize - 8) - 1) / (PageSize - 8);
}

QByteArray tdefBytes(
    const Table &table, const TableLayout &layout, bool system, int rows, quint32 usedMap, quint32 freeMap)
{
    QByteArray b(tdefSize(table), '\0');
    char *p = b.data();
    p[0] = 0x02;
    p[1] = 0x01;
    put32(p + 8, quint32(b.size()));
    p[12] = 0x59; // unknown; Jet writes 0x59 0x06 here and in every column block
    p[13] = 0x06;
    put32(p + 16, quint32(rows));
    p[24] = 0x01; // lets Access continue autonumbers
    p[40] = system ? 0x53 : 0x4E;
    put16(p + 41, quint32(table.columns.size()));
    put16(p + 43, quint32(layout.varCount));
    put16(p + 45, quint32(table.columns.size()));
    // no indexes: the logical and real index counts at 47 and 51 stay 0
    put32(p + 55, usedMap);
    put32(p + 59, freeMap);

    int pos = TdefHeaderSize;
    for (qsizetype i = 0; i < table.columns.size(); ++i, pos += ColumnBlockSize) {
        const Column &c = table.columns.at(i);
        char *col = p + pos;
        col[0] = char(typeCode(c.type));
        col[1] = 0x59;
        col[2] = 0x06;
        put16(col + 5, quint32(i));
        put16(col + 7, isFixed(c.type) ? 0 : quint32(layout.columns.at(i).varIndex));
        put16(col + 9, quint32(i));
        const bool textual = c.type == ColumnType::Text || c.type == ColumnType::Memo;
        if (textual)
            put16(col + 11, 0x0409); // "General" sort order
        col[15] = char(0x02 | (isFixed(c.type) ? 0x01 : 0x00));
        col[16] = textual ? 0x01 : 0x00; // unicode compression allowed
        put16(col + 21, isFixed(c.type) ? quint32(layout.columns.at(i).fixedOffset) : 0);
        quint32 length = 0;
        if (isFixed(c.type))
            length = quint32(fixedSize(c.type));
        else if (c.type == ColumnType::Text)
            length = quint32(2 * c.maxLength);
        else if (c.type == ColumnType::Binary)
            length = quint32(c.maxLength);
        put16(col + 23, length);
    }
    for (const Column &c : table.columns) {
        const QByteArray name = ucs2(c.name);
        put16(p + pos, quint32(name.size()));
        std::memcpy(p + pos + 2, name.constData(), size_t(name.size()));
        pos += 2 + int(name.size());
    }
    p[pos] = char(0xFF);
    p[pos + 1] = char(0xFF);
    return b;
}

void writeTdef(PageFile &file, const QList<int> &pages, const QByteArray &tdef)
{
    // The first page carries the definition's own header; later pages get an 8-byte header.
    qsizetype done = 0;
    for (qsizetype n = 0; n < pages.size(); ++n) {
        char *p = file.at(pages.at(n));
        const int start = n == 0 ? 0 : 8;
        if (n > 0) {
            p[0] = 0x02;
            p[1] = 0x01;
        }
        const qsizetype take = std::min<qsizetype>(PageSize - start, tdef.size() - done);
        std::memcpy(p + start, tdef.constData() + done, size_t(take));
        done += take;
        if (n + 1 < pages.size())
            put32(p + 4, quint32(pages.at(n + 1)));
        put16(p + 2, quint32(std::max<qsizetype>(0, PageSize - (start + take) - 8)));
    }
}

Table catalogTable()
{
    Table t;
    t.name = QStringLiteral("MSysObjects");
    auto add = [&t](const char *name, ColumnType type, int length = 255) {
        t.columns.append(Column { QString::fromLatin1(name), type, length });
    };
    add("Id", ColumnType::Long);
    add("ParentId", ColumnType::Long);
    add("Name", ColumnType::Text);
    add("Type", ColumnType::Integer);
    add("DateCreate", ColumnType::DateTime);
    add("DateUpdate", ColumnType::DateTime);
    add("Owner", ColumnType::Binary);
    add("Flags", ColumnType::Long);
    add("Database", ColumnType::Memo);
    add("Connect", ColumnType::Memo);
    add("ForeignName", ColumnType::Text);
    add("RmtInfoShort", ColumnType::Binary);
    add("RmtInfoLong", ColumnType::Ole);
    add("Lv", ColumnType::Ole);
    add("LvProp", ColumnType::Ole);
    add("LvModule", ColumnType::Ole);
    add("LvExtra", ColumnType::Ole);
    return t;
}

QVariantList catalogRow(
    quint32 id, quint32 parent, const QString &name, int type, quint32 flags, const QDateTime &time)
{
    QVariantList row(17);
    row[0] = qint32(id);
    row[1] = qint32(parent);
    row[2] = name;
    row[3] = type;
    row[4] = time;
    row[5] = time;
    row[7] = qint32(flags);
    return row;
}

QString where(const Table &, qsizetype, const Column &column)
{
    return QStringLiteral("column %1").arg(column.name);
}

void checkName(const QString &name, const QString &what)
{
    if (name.trimmed().isEmpty())
        throw EPlumaretError(QStringLiteral("%1: the name is empty").arg(what));
    if (name.size() > MaxNameLength)
        throw EPlumaretError(
            QStringLiteral("%1 \"%2\": names are at most %3 characters").arg(what, name).arg(MaxNameLength));
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c == u'.' || c == u'!' || c == u'`' || c == u'[' || c == u']')
            throw EPlumaretError(
                QStringLiteral("%1 \"%2\": the name holds a character Jet refuses (. ! ` [ ] or a "
                               "control character)")
                    .arg(what, name));
    }
}

void checkValue(const Table &table, qsizetype rowIndex, const Column &column, const QVariant &value)
{
    if (value.isNull())
        return;
    bool ok = true;
    switch (column.type) {
    case ColumnType::Long:
    case ColumnType::Integer: {
        const qlonglong v = value.toLongLong(&ok);
        const qlonglong lo = column.type == ColumnType::Long ? -2147483648LL : -32768;
        const qlonglong hi = column.type == ColumnType::Long ? 2147483647LL : 32767;
        if (!ok || v < lo || v > hi)
            throw EPlumaretError(
                QStringLiteral("%1: \"%2\" is not a %3 integer")
                    .arg(where(table, rowIndex, column), value.toString(), typeName(column.type)));
        break;
    }
    case ColumnType::DateTime:
        if (!value.toDateTime().isValid())
            throw EPlumaretError(QStringLiteral("%1: not a date").arg(where(table, rowIndex, column)));
        break;
    case ColumnType::Text:
        if (value.toString().size() > column.maxLength)
            throw EPlumaretError(QStringLiteral("%1: %2 characters, the column holds at most %3")
                                     .arg(where(table, rowIndex, column))
                                     .arg(value.toString().size())
                                     .arg(column.maxLength));
        break;
    case ColumnType::Memo:
        if (value.toString().size() * 2 > MaxLongValueBytes)
            throw EPlumaretError(QStringLiteral("%1: a memo holds at most %2 characters")
                                     .arg(where(table, rowIndex, column))
                                     .arg(MaxLongValueBytes / 2));
        break;
    case ColumnType::Binary:
        if (value.toByteArray().size() > column.maxLength)
            throw EPlumaretError(QStringLiteral("%1: more than %2 bytes")
                                     .arg(where(table, rowIndex, column))
                                     .arg(column.maxLength));
        break;
    case ColumnType::Ole:
        if (value.toByteArray().size() > MaxLongValueBytes)
            throw EPlumaretError(QStringLiteral("%1: too long").arg(where(table, rowIndex, column)));
        break;
    }
}

} // namespace

ERowError::ERowError(const QString &table, qsizetype row, const QString &reason)
    : EPlumaretError(QStringLiteral("table %1, row %2: %3").arg(table).arg(row + 1).arg(reason))
    , m_row(row)
    , m_reason(reason)
{
}

QByteArray encodeText(const QString &text, bool allowCompression)
{
    const QByteArray plain = ucs2(text);
    if (!allowCompression || text.size() < 3)
        return plain;
    // A unit whose low byte is 0 would read as a mode switch: such text stays UCS-2.
    for (const QChar c : text) {
        if ((c.unicode() & 0xFF) == 0)
            return plain;
    }
    const qsizetype n = text.size();
    // run[i]: how many one-byte units start at i.
    std::vector<qsizetype> run(size_t(n) + 1, 0);
    for (qsizetype i = n - 1; i >= 0; --i)
        run[size_t(i)] = text.at(i).unicode() <= 0xFF ? run[size_t(i) + 1] + 1 : 0;

    QByteArray out;
    out.reserve(n + 2);
    out.append(char(0xFF));
    out.append(char(0xFE));
    bool compressed = true;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text.at(i).unicode();
        if (u <= 0xFF) {
            if (!compressed) {
                // Switching back pays one byte, and one more if wide text follows.
                const qsizetype k = run[size_t(i)];
                const bool toEnd = i + k == n;
                if ((toEnd && k > 1) || k > 2) {
                    out.append('\0');
                    compressed = true;
                }
            }
            if (compressed) {
                out.append(char(u));
                continue;
            }
        } else if (compressed) {
            out.append('\0');
            compressed = false;
        }
        out.append(char(u & 0xFF));
        out.append(char(u >> 8));
    }
    return out.size() < plain.size() ? out : plain;
}

void Writer::addTable(Table table)
{
    checkName(table.name, QStringLiteral("table"));
    if (table.name.startsWith(QLatin1String("MSys"), Qt::CaseInsensitive))
        throw EPlumaretError(
            QStringLiteral("table \"%1\": names starting with MSys are reserved").arg(table.name));
    for (const Table &t : std::as_const(m_tables)) {
        if (t.name.compare(table.name, Qt::CaseInsensitive) == 0)
            throw EPlumaretError(QStringLiteral("table \"%1\" is given twice").arg(table.name));
    }
    if (table.columns.isEmpty())
        throw EPlumaretError(QStringLiteral("table \"%1\" has no columns").arg(table.name));
    if (table.columns.size() > MaxColumns)
        throw EPlumaretError(
            QStringLiteral("table \"%1\": at most %2 columns").arg(table.name).arg(MaxColumns));
    QSet<QString> seen;
    for (const Column &c : std::as_const(table.columns)) {
        checkName(c.name, QStringLiteral("table \"%1\", column").arg(table.name));
        if (seen.contains(c.name.toCaseFolded()))
            throw EPlumaretError(
                QStringLiteral("table \"%1\": column \"%2\" is given twice").arg(table.name, c.name));
        seen.insert(c.name.toCaseFolded());
        if (c.type == ColumnType::Text && (c.maxLength < 1 || c.maxLength > 255))
            throw EPlumaretError(QStringLiteral("table \"%1\", column \"%2\": text holds 1 to 255 characters")
                                     .arg(table.name, c.name));
        if (c.type == ColumnType::Binary && (c.maxLength < 1 || c.maxLength > 255))
            throw EPlumaretError(QStringLiteral("table \"%1\", column \"%2\": binary holds 1 to 255 bytes")
                                     .arg(table.name, c.name));
    }
    if (tdefPageCount(table) > 16)
        throw EPlumaretError(QStringLiteral("table \"%1\": the column names are too long").arg(table.name));

    const TableLayout layout = layoutOf(table);
    LongValueStore sizing(nullptr);
    for (qsizetype r = 0; r < table.rows.size(); ++r) {
        const QVariantList &row = table.rows.at(r);
        if (row.size() != table.columns.size())
            throw ERowError(table.name, r,
                QStringLiteral("%1 values for %2 columns").arg(row.size()).arg(table.columns.size()));
        try {
            for (qsizetype c = 0; c < row.size(); ++c)
                checkValue(table, r, table.columns.at(c), row.at(c));
        } catch (const EPlumaretError &e) {
            throw ERowError(table.name, r, e.message());
        }
        const qsizetype size = encodeRow(table, layout, row, sizing).size();
        if (size > MaxRowSize)
            throw ERowError(table.name, r,
                QStringLiteral("the row takes %1 bytes, Jet allows %2").arg(size).arg(MaxRowSize));
    }
    m_tables.append(std::move(table));
}

void Writer::setDatabasePassword(const QString &password)
{
    if (password.size() > 20)
        throw EPlumaretError(QStringLiteral("a Jet 4 database password has at most 20 characters"));
    m_password = password;
}

void Writer::setCreationTime(const QDateTime &time)
{
    m_creationTime = time;
}

QByteArray Writer::toBytes() const
{
    const QDateTime created = m_creationTime.isValid() ? m_creationTime : QDateTime::currentDateTime();
    PageFile file;
    const int headerPage = file.allocate();
    const int firstMapPage = file.allocate();
    initRowPage(file.at(firstMapPage), NoOwner);
    const int catalogPage = file.allocate(); // readers look for MSysObjects on page 2

    QList<Table> tables;
    tables.append(catalogTable());
    tables.append(m_tables);

    QList<QList<int>> tdefPages(tables.size());
    tdefPages[0].append(catalogPage);
    for (qsizetype t = 0; t < tables.size(); ++t) {
        while (tdefPages[t].size() < tdefPageCount(tables.at(t)))
            tdefPages[t].append(file.allocate());
    }

    Table &catalog = tables[0];
    catalog.rows.append(
        catalogRow(ContainerTables, ContainerRoot, QStringLiteral("Tables"), 3, SystemObjectFlag, created));
    catalog.rows.append(catalogRow(
        ContainerDatabases, ContainerRoot, QStringLiteral("Databases"), 3, SystemObjectFlag, created));
    catalog.rows.append(catalogRow(ContainerRelationships, ContainerRoot, QStringLiteral("Relationships"), 3,
        SystemObjectFlag, created));
    catalog.rows.append(
        catalogRow(quint32(catalogPage), ContainerTables, catalog.name, 1, SystemObjectFlag, created));
    for (qsizetype t = 1; t < tables.size(); ++t)
        catalog.rows.append(
            catalogRow(quint32(tdefPages[t].first()), ContainerTables, tables.at(t).name, 1, 0, created));

    struct Placed
    {
        int firstDataPage = 0;
        int dataPages = 0;
        quint32 usedMap = 0;
        quint32 freeMap = 0;
    };
    QList<Placed> placed(tables.size());
    QList<TableLayout> layouts;
    LongValueStore longValues(&file);
    for (qsizetype t = 0; t < tables.size(); ++t) {
        const Table &table = tables.at(t);
        layouts.append(layoutOf(table));
        // Long values first, so that the table's data pages follow each other.
        QList<QByteArray> rows;
        rows.reserve(table.rows.size());
        for (const QVariantList &values : table.rows)
            rows.append(encodeRow(table, layouts.last(), values, longValues));
        char owner[4];
        put32(owner, quint32(tdefPages[t].first()));
        int page = -1;
        for (const QByteArray &row : std::as_const(rows)) {
            if (page < 0 || !rowFits(file.at(page), int(row.size()))) {
                page = file.allocate();
                initRowPage(file.at(page), owner);
                if (placed[t].dataPages++ == 0)
                    placed[t].firstDataPage = page;
            }
            addRow(file.at(page), row);
        }
    }

    int mapPage = firstMapPage;
    auto placeMap = [&](const QByteArray &map) {
        if (!rowFits(file.at(mapPage), int(map.size()))) {
            mapPage = file.allocate();
            initRowPage(file.at(mapPage), NoOwner);
        }
        return rowPointer(mapPage, addRow(file.at(mapPage), map));
    };
    for (qsizetype t = 0; t < tables.size(); ++t) {
        const int count = placed[t].dataPages;
        const int bitmapBytes = std::max(UsageMapBitmapMin, (count + 7) / 8);
        if (bitmapBytes > UsageMapBitmapMax)
            throw EPlumaretError(QStringLiteral("table %1 is too large: %2 data pages, at most %3")
                                     .arg(tables.at(t).name)
                                     .arg(count)
                                     .arg(UsageMapBitmapMax * 8));
        QByteArray used(5 + bitmapBytes, '\0');
        put32(used.data() + 1, quint32(placed[t].firstDataPage));
        for (int i = 0; i < count; ++i)
            used[5 + i / 8] = char(quint8(used.at(5 + i / 8)) | (1 << (i % 8)));
        placed[t].usedMap = placeMap(used);
        // Nothing is offered as free space: a later writer starts new pages.
        QByteArray freeSpace(5 + UsageMapBitmapMin, '\0');
        put32(freeSpace.data() + 1, quint32(placed[t].firstDataPage));
        placed[t].freeMap = placeMap(freeSpace);
    }

    for (qsizetype t = 0; t < tables.size(); ++t) {
        writeTdef(file, tdefPages[t],
            tdefBytes(tables.at(t), layouts.at(t), t == 0, int(tables.at(t).rows.size()), placed[t].usedMap,
                placed[t].freeMap));
    }

    // Database definition page. Fields not named here are unknown; the values are those
    // Access writes into a new file.
    using namespace JetHeader;
    char *h = file.at(headerPage);
    h[1] = 0x01;
    std::memcpy(h + MagicOffset, Magic, sizeof Magic - 1);
    put32(h + VersionOffset, Jet4);
    static const quint8 unknown18[] = { 0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x02, 0x00, 0x00,
        0x00, 0x03, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00 };
    std::memcpy(h + MaskedOffset, unknown18, sizeof unknown18);
    put16(h + CodePageOffset, 1252); // unused for Unicode text
    put32(h + PageKeyOffset, 0); // pages are not encoded
    put16(h + SortOrderOffset, 0x0409); // "General"
    const double date = oleDate(created);
    quint64 dateBits;
    std::memcpy(&dateBits, &date, sizeof dateBits);
    put32(h + CreatedOffset, quint32(dateBits));
    put32(h + CreatedOffset + 4, quint32(dateBits >> 32));
    // The password is masked with the whole days of the creation date, repeated.
    char mask[4];
    put32(mask, quint32(qint32(std::floor(date))));
    QByteArray password = ucs2(m_password);
    password.resize(Jet4PasswordLength, '\0');
    for (int i = 0; i < Jet4PasswordLength; ++i)
        h[PasswordOffset + i] = char(password.at(i) ^ mask[i % 4]);
    applyMask(reinterpret_cast<unsigned char *>(h + MaskedOffset), Jet4MaskedLength);
    put32(h + Unknown98Offset, 0x0654);
    std::memcpy(h + Unknown9COffset, "4.0", 4);

    QByteArray out;
    out.reserve(qsizetype(file.pages.size()) * PageSize);
    for (const QByteArray &page : file.pages)
        out += page;
    return out;
}

void Writer::write(const QString &fileName) const
{
    const QByteArray bytes = toBytes();
    QSaveFile out(fileName);
    if (!out.open(QIODevice::WriteOnly))
        throw EPlumaretError(
            QStringLiteral("cannot write %1: %2").arg(QDir::toNativeSeparators(fileName), out.errorString()));
    out.write(bytes);
    if (!out.commit())
        throw EPlumaretError(
            QStringLiteral("cannot write %1: %2").arg(QDir::toNativeSeparators(fileName), out.errorString()));
}

} // namespace jet
