#include "JetReader.h"

#include "JetHeader.h"

#include <QDate>
#include <QTime>

#include <mdbtools.h>
#include <sqlite3.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <iconv.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// Stream from the child to the parent (all integers little-endian):
//
//   header  "JETS" u8 jetVersion
//   table   'T' u32 nameLen name(UTF-8) u16 columnCount
//           per column: u32 nameLen name(UTF-8) u8 type u8 scale u8 precision
//   row     'R' per column: u32 length (0xFFFFFFFF = NULL) then the raw bytes of the value
//           (text as stored, memo/OLE as the whole long value, boolean as one byte 0/1)
//   table end 'E' u32 rowCount (the count the table definition holds)
//   end     'Z'
//
// The parent trusts nothing of it: every length is checked against the frame and the limits below.

#if defined(__SANITIZE_ADDRESS__)
#define PLUMARET_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PLUMARET_ASAN 1
#endif
#endif

namespace {

constexpr quint32 NullLength = 0xFFFFFFFFu;
constexpr int MaxColumns = 256;
constexpr quint32 MaxNameBytes = 256 * 4;

// ---------------------------------------------------------------- child side

class PipeWriter
{
public:
    explicit PipeWriter(int fd)
        : m_fd(fd)
    {
        m_buf.reserve(Capacity);
    }
    void bytes(const void *p, size_t n)
    {
        const char *c = static_cast<const char *>(p);
        if (m_buf.size() + n > Capacity)
            flush();
        if (n >= Capacity) {
            writeAll(c, n);
            return;
        }
        m_buf.insert(m_buf.end(), c, c + n);
    }
    void u8(quint8 v) { bytes(&v, 1); }
    void u16(quint16 v)
    {
        const unsigned char b[2] = { quint8(v), quint8(v >> 8) };
        bytes(b, 2);
    }
    void u32(quint32 v)
    {
        const unsigned char b[4] = { quint8(v), quint8(v >> 8), quint8(v >> 16), quint8(v >> 24) };
        bytes(b, 4);
    }
    void flush()
    {
        writeAll(m_buf.data(), m_buf.size());
        m_buf.clear();
    }

private:
    static constexpr size_t Capacity = 1 << 16;
    void writeAll(const char *p, size_t n)
    {
        while (n > 0) {
            const ssize_t w = ::write(m_fd, p, n);
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                _exit(10); // the parent went away
            }
            p += w;
            n -= size_t(w);
        }
    }
    int m_fd;
    std::vector<char> m_buf;
};

quint32 le32(const unsigned char *p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

// A long value (memo, OLE): 12-byte header at the row, then inline data, one LVAL row, or a chain
// of LVAL rows each starting with the pg_row pointer of the next. libmdb's own readers cut at the
// bind size, so the chain is walked here, with a bound on the steps against cycles.
bool readLongValue(
    MdbHandle *mdb, const unsigned char *field, int fieldLen, size_t pageCount, std::string &out)
{
    out.clear();
    if (fieldLen < MDB_MEMO_OVERHEAD)
        return false;
    unsigned char header[MDB_MEMO_OVERHEAD];
    std::memcpy(header, field, MDB_MEMO_OVERHEAD);
    const quint32 word = le32(header);
    const quint32 length = word & 0x3FFFFFFFu;
    if (word & 0x80000000u) {
        out.assign(
            reinterpret_cast<const char *>(field) + MDB_MEMO_OVERHEAD, size_t(fieldLen - MDB_MEMO_OVERHEAD));
        return true;
    }
    int pgRow = int(le32(header + 4));
    if (word & 0x40000000u) {
        void *buf = nullptr;
        int off = 0;
        size_t len = 0;
        if (mdb_find_pg_row(mdb, pgRow, &buf, &off, &len) != 0)
            return false;
        out.assign(static_cast<const char *>(buf) + off, std::min<size_t>(len, length));
        return true;
    }
    if ((word & 0xFF000000u) != 0)
        return false;
    for (size_t steps = 0; pgRow != 0 && out.size() < length; ++steps) {
        if (steps > pageCount * 256)
            return false;
        void *buf = nullptr;
        int off = 0;
        size_t len = 0;
        if (mdb_find_pg_row(mdb, pgRow, &buf, &off, &len) != 0 || len < 4)
            return false;
        const unsigned char *row = static_cast<const unsigned char *>(buf) + off;
        out.append(reinterpret_cast<const char *>(row) + 4, len - 4);
        // every byte of a value is stored once: more than the file holds means a cycle
        if (out.size() > pageCount * size_t(mdb->fmt->pg_size))
            return false;
        pgRow = int(le32(row));
    }
    if (out.size() > length)
        out.resize(length);
    return true;
}

[[noreturn]] void childMain(const QByteArray &image, int fd, int noise)
{
    // What libmdb prints goes to the parent, which only counts it, never to the user's terminal.
    const int devNull = ::open("/dev/null", O_RDWR);
    if (devNull >= 0)
        ::dup2(devNull, STDIN_FILENO);
    ::dup2(noise, STDOUT_FILENO);
    ::dup2(noise, STDERR_FILENO);
#ifndef PLUMARET_ASAN
    // A damaged length must not let libmdb eat the machine's memory; ASan needs its address space.
    const rlimit limit { rlim_t(4) << 30, rlim_t(4) << 30 };
    ::setrlimit(RLIMIT_AS, &limit);
#endif
    // Jet 3 names (tables, columns) as GBK; the values are decoded by the parent
    ::setenv("MDB_JET3_CHARSET", "CP936", 1);
    MdbHandle *mdb
        = mdb_open_buffer(const_cast<char *>(image.constData()), size_t(image.size()), MDB_NOFLAGS);
    if (!mdb)
        _exit(2);
    const size_t pageCount = size_t(image.size()) / size_t(mdb->fmt->pg_size) + 1;
    PipeWriter w(fd);
    w.bytes("JETS", 4);
    w.u8(quint8(mdb->f->jet_version));

    if (!mdb_read_catalog(mdb, MDB_TABLE))
        _exit(3);
    std::string value;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || !mdb_is_user_table(entry))
            continue;
        MdbTableDef *table = mdb_read_table(entry);
        if (!table)
            _exit(4);
        if (!mdb_read_columns(table))
            _exit(5);
        mdb_rewind_table(table);
        const size_t nameLen = strnlen(entry->object_name, sizeof entry->object_name);
        w.u8('T');
        w.u32(quint32(nameLen));
        w.bytes(entry->object_name, nameLen);
        const unsigned columns = table->columns->len;
        w.u16(quint16(columns));
        for (unsigned c = 0; c < columns; ++c) {
            auto *col = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, c));
            const size_t len = strnlen(col->name, sizeof col->name);
            w.u32(quint32(len));
            w.bytes(col->name, len);
            w.u8(quint8(col->col_type));
            w.u8(quint8(col->col_scale));
            w.u8(quint8(col->col_prec));
        }
        while (mdb_fetch_row(table)) {
            w.u8('R');
            for (unsigned c = 0; c < columns; ++c) {
                auto *col = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, c));
                if (col->col_type == MDB_BOOL) {
                    // libmdb keeps the null bit (the value of a boolean) in cur_value_len
                    w.u32(1);
                    w.u8(col->cur_value_len ? 0 : 1);
                    continue;
                }
                const int start = col->cur_value_start;
                const int len = col->cur_value_len;
                if (len <= 0 || start < 0 || start + len > mdb->fmt->pg_size) {
                    w.u32(NullLength);
                    continue;
                }
                const unsigned char *field = mdb->pg_buf + start;
                if (col->col_type == MDB_MEMO || col->col_type == MDB_OLE) {
                    if (!readLongValue(mdb, field, len, pageCount, value))
                        _exit(6);
                    w.u32(quint32(value.size()));
                    w.bytes(value.data(), value.size());
                } else {
                    w.u32(quint32(len));
                    w.bytes(field, size_t(len));
                }
            }
        }
        w.u8('E');
        w.u32(quint32(table->num_rows));
    }
    w.u8('Z');
    w.flush();
    _exit(0);
}

// ---------------------------------------------------------------- parent side

// Buffered reading of the stream's fields; where its bytes come from is up to fill().
class StreamIn
{
public:
    virtual ~StreamIn() = default;

    bool bytes(void *dst, size_t n)
    {
        char *d = static_cast<char *>(dst);
        while (n > 0) {
            if (m_pos == m_end && !refill())
                return false;
            const size_t k = std::min(n, m_end - m_pos);
            std::memcpy(d, m_data + m_pos, k);
            m_pos += k;
            d += k;
            n -= k;
        }
        return true;
    }
    bool u8(quint8 &v) { return bytes(&v, 1); }
    bool u16(quint16 &v)
    {
        unsigned char b[2];
        if (!bytes(b, 2))
            return false;
        v = quint16(b[0] | b[1] << 8);
        return true;
    }
    bool u32(quint32 &v)
    {
        unsigned char b[4];
        if (!bytes(b, 4))
            return false;
        v = le32(b);
        return true;
    }
    // Reads n bytes into out; avoids the copy when they lie whole in the buffer.
    bool view(size_t n, std::string &scratch, const char *&data)
    {
        if (m_end - m_pos >= n) {
            data = m_data + m_pos;
            m_pos += n;
            return true;
        }
        scratch.resize(n);
        if (!bytes(scratch.data(), n))
            return false;
        data = scratch.data();
        return true;
    }
    quint64 total() const { return m_total; }

protected:
    // The next piece of the stream, or nothing at its end or on failure.
    virtual std::string_view fill() = 0;

private:
    bool refill()
    {
        const std::string_view piece = fill();
        m_data = piece.data();
        m_pos = 0;
        m_end = piece.size();
        m_total += piece.size();
        return m_end > 0;
    }

    const char *m_data = nullptr;
    size_t m_pos = 0;
    size_t m_end = 0;
    quint64 m_total = 0;
};

// The stream as the child writes it into a pipe, read within a deadline while its noise is drained.
class PipeIn : public StreamIn
{
public:
    PipeIn(int fd, int noise, std::chrono::steady_clock::time_point deadline)
        : m_fd(fd)
        , m_noise(noise)
        , m_deadline(deadline)
    {
        m_buf.resize(1 << 16);
    }

    bool timedOut() const { return m_timedOut; }
    bool flooded() const { return m_noiseBytes > NoiseLimit; }

protected:
    std::string_view fill() override
    {
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                m_deadline - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0) {
                m_timedOut = true;
                return {};
            }
            pollfd p[2] = { { m_fd, POLLIN, 0 }, { m_noise, POLLIN, 0 } };
            const int r = ::poll(p, m_noise >= 0 ? 2 : 1, int(left));
            if (r < 0 && errno == EINTR)
                continue;
            if (r < 0)
                return {};
            if (r == 0)
                continue;
            if (m_noise >= 0 && (p[1].revents & (POLLIN | POLLHUP))) {
                // libmdb's endless loops on damaged files print warnings at tens of MB/s: a flood
                // ends the read long before the time limit
                char sink[1 << 14];
                const ssize_t k = ::read(m_noise, sink, sizeof sink);
                if (k > 0)
                    m_noiseBytes += quint64(k);
                else if (k == 0 || errno != EINTR)
                    m_noise = -1;
                if (flooded())
                    return {};
            }
            if (!(p[0].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const ssize_t n = ::read(m_fd, m_buf.data(), m_buf.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return {};
            return std::string_view(m_buf.data(), size_t(n));
        }
    }

private:
    static constexpr quint64 NoiseLimit = 1 << 20;
    int m_fd;
    int m_noise;
    quint64 m_noiseBytes = 0;
    std::chrono::steady_clock::time_point m_deadline;
    std::vector<char> m_buf;
    bool m_timedOut = false;
};

// A whole stream held in memory.
class MemoryIn : public StreamIn
{
public:
    explicit MemoryIn(const QByteArray &stream)
        : m_stream(stream)
    {
    }

protected:
    std::string_view fill() override
    {
        if (m_given)
            return {};
        m_given = true;
        return std::string_view(m_stream.constData(), size_t(m_stream.size()));
    }

private:
    const QByteArray &m_stream;
    bool m_given = false;
};

void appendUtf8(char32_t c, std::string &out)
{
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

// UCS-2LE units (two bytes each) to UTF-8; pairs of surrogates are joined, lone ones become U+FFFD.
void appendUcs2(const unsigned char *p, size_t units, char16_t &pendingHigh, std::string &out)
{
    for (size_t i = 0; i < units; ++i) {
        const char16_t u = char16_t(p[2 * i] | p[2 * i + 1] << 8);
        if (pendingHigh) {
            if (u >= 0xDC00 && u <= 0xDFFF) {
                appendUtf8(0x10000 + ((char32_t(pendingHigh) - 0xD800) << 10) + (u - 0xDC00), out);
                pendingHigh = 0;
                continue;
            }
            appendUtf8(0xFFFD, out);
            pendingHigh = 0;
        }
        if (u >= 0xD800 && u <= 0xDBFF)
            pendingHigh = u;
        else if (u >= 0xDC00 && u <= 0xDFFF)
            appendUtf8(0xFFFD, out);
        else
            appendUtf8(u, out);
    }
}

struct Column
{
    quint8 type = 0;
    quint8 scale = 0;
    quint8 precision = 0;
};

const char *sqlType(quint8 type)
{
    switch (type) {
    case MDB_BOOL:
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_COMPLEX:
        return "INTEGER";
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
        return "REAL";
    case MDB_NUMERIC:
        return "NUMERIC";
    case MDB_TEXT:
    case MDB_MEMO:
    case MDB_DATETIME:
    case MDB_REPID:
        // Jet compares text without regard to case
        return "TEXT COLLATE NOCASE";
    default:
        return "BLOB";
    }
}

// Size a fixed-length value must have; 0 for variable ones.
int fixedSize(quint8 type)
{
    switch (type) {
    case MDB_BOOL:
    case MDB_BYTE:
        return 1;
    case MDB_INT:
        return 2;
    case MDB_LONGINT:
    case MDB_FLOAT:
    case MDB_COMPLEX:
        return 4;
    case MDB_MONEY:
    case MDB_DOUBLE:
    case MDB_DATETIME:
        return 8;
    case MDB_REPID:
        return 16;
    case MDB_NUMERIC:
        return 17;
    default:
        return 0;
    }
}

QString quoteIdentifier(const QString &name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

class Loader
{
public:
    Loader(sqlite3 *db, int jetVersion)
        : m_db(db)
        , m_jet3(jetVersion == MDB_VER_JET3)
    {
    }
    ~Loader()
    {
        if (m_insert)
            sqlite3_finalize(m_insert);
        if (m_iconv != iconv_t(-1))
            iconv_close(m_iconv);
    }

    bool exec(const char *sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

    bool beginTable(const QString &name, const QStringList &names, const std::vector<Column> &cols)
    {
        if (m_insert) {
            sqlite3_finalize(m_insert);
            m_insert = nullptr;
        }
        m_cols = cols;
        QString create = QLatin1String("CREATE TABLE ") + quoteIdentifier(name) + QLatin1String(" (");
        QString insert = QLatin1String("INSERT INTO ") + quoteIdentifier(name) + QLatin1String(" VALUES (");
        for (int i = 0; i < names.size(); ++i) {
            if (i) {
                create += QLatin1String(", ");
                insert += QLatin1String(", ");
            }
            create += quoteIdentifier(names[i]) + QLatin1Char(' ')
                + QLatin1String(sqlType(cols[size_t(i)].type));
            insert += QLatin1Char('?');
        }
        create += QLatin1Char(')');
        insert += QLatin1Char(')');
        if (sqlite3_exec(m_db, create.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            return false;
        const QByteArray ins = insert.toUtf8();
        return sqlite3_prepare_v3(
                   m_db, ins.constData(), int(ins.size()), SQLITE_PREPARE_PERSISTENT, &m_insert, nullptr)
            == SQLITE_OK;
    }

    // Binds one value; data/size are the raw bytes of the stream.
    bool bind(int index, const char *data, quint32 size)
    {
        const Column &col = m_cols[size_t(index)];
        const int fixed = fixedSize(col.type);
        if (fixed && int(size) != fixed)
            return false;
        const auto *u = reinterpret_cast<const unsigned char *>(data);
        const int slot = index + 1;
        switch (col.type) {
        case MDB_BOOL:
        case MDB_BYTE:
            return sqlite3_bind_int(m_insert, slot, u[0]) == SQLITE_OK;
        case MDB_INT:
            return sqlite3_bind_int(m_insert, slot, qint16(u[0] | u[1] << 8)) == SQLITE_OK;
        case MDB_LONGINT:
        case MDB_COMPLEX:
            return sqlite3_bind_int(m_insert, slot, qint32(le32(u))) == SQLITE_OK;
        case MDB_FLOAT: {
            float f;
            std::memcpy(&f, u, 4);
            return bindReal(slot, f);
        }
        case MDB_DOUBLE: {
            double d;
            std::memcpy(&d, u, 8);
            return bindReal(slot, d);
        }
        case MDB_MONEY: {
            qint64 v;
            std::memcpy(&v, u, 8);
            return sqlite3_bind_double(m_insert, slot, double(v) / 10000.0) == SQLITE_OK;
        }
        case MDB_DATETIME: {
            double d;
            std::memcpy(&d, u, 8);
            return bindDate(slot, d);
        }
        case MDB_TEXT:
        case MDB_MEMO:
            return bindText(slot, data, size);
        case MDB_REPID:
            return bindGuid(slot, u);
        case MDB_NUMERIC:
            return bindNumeric(slot, u, col.scale);
        default:
            // the bytes live in the pipe buffer, which the next value may refill
            if (size == 0)
                return sqlite3_bind_null(m_insert, slot) == SQLITE_OK;
            return sqlite3_bind_blob64(m_insert, slot, data, size, SQLITE_TRANSIENT) == SQLITE_OK;
        }
    }

    bool bindNull(int index) { return sqlite3_bind_null(m_insert, index + 1) == SQLITE_OK; }

    bool insertRow()
    {
        const int rc = sqlite3_step(m_insert);
        sqlite3_reset(m_insert);
        return rc == SQLITE_DONE;
    }

private:
    bool bindReal(int slot, double d)
    {
        if (std::isnan(d))
            return sqlite3_bind_null(m_insert, slot) == SQLITE_OK;
        return sqlite3_bind_double(m_insert, slot, d) == SQLITE_OK;
    }

    // Days since 1899-12-30; the fraction is the time of day also for dates before it.
    bool bindDate(int slot, double d)
    {
        if (!std::isfinite(d) || std::fabs(d) > 3e6)
            return sqlite3_bind_null(m_insert, slot) == SQLITE_OK;
        const double day = std::trunc(d);
        qint64 ms = qint64(std::llround(std::fabs(d - day) * 86400000.0));
        qint64 days = qint64(day);
        if (ms >= 86400000) {
            ms -= 86400000;
            days += 1;
        }
        const QDate date = QDate(1899, 12, 30).addDays(days);
        const QTime time = QTime::fromMSecsSinceStartOfDay(int(ms));
        const QByteArray text = (date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ')
            + time.toString(QStringLiteral("HH:mm:ss")))
                                    .toLatin1();
        return sqlite3_bind_text(m_insert, slot, text.constData(), int(text.size()), SQLITE_TRANSIENT)
            == SQLITE_OK;
    }

    bool bindGuid(int slot, const unsigned char *u)
    {
        char s[40];
        std::snprintf(s, sizeof s, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
            u[3], u[2], u[1], u[0], u[5], u[4], u[7], u[6], u[8], u[9], u[10], u[11], u[12], u[13], u[14],
            u[15]);
        return sqlite3_bind_text(m_insert, slot, s, 38, SQLITE_TRANSIENT) == SQLITE_OK;
    }

    // Byte 0 is the sign; then four 32-bit little-endian words, the most significant first.
    bool bindNumeric(int slot, const unsigned char *u, int scale)
    {
        unsigned __int128 v = 0;
        for (int word = 0; word < 4; ++word)
            v = (v << 32) | le32(u + 1 + 4 * word);
        std::string digits;
        do {
            digits.insert(digits.begin(), char('0' + int(v % 10)));
            v /= 10;
        } while (v);
        scale = std::min(scale, 38);
        while (int(digits.size()) <= scale)
            digits.insert(digits.begin(), '0');
        if (scale > 0)
            digits.insert(digits.end() - scale, '.');
        if (u[0] & 0x80)
            digits.insert(digits.begin(), '-');
        return sqlite3_bind_text(m_insert, slot, digits.data(), int(digits.size()), SQLITE_TRANSIENT)
            == SQLITE_OK;
    }

    bool bindText(int slot, const char *data, quint32 size)
    {
        // SQLITE_TRANSIENT copies, so one buffer serves every text of the row
        std::string &out = m_text;
        out.clear();
        if (m_jet3)
            appendJet3(data, size, out);
        else
            JetReader::appendJet4TextUtf8(data, size, out);
        // libmdb and its tools cannot tell an empty text from NULL; neither does the store
        if (out.empty())
            return sqlite3_bind_null(m_insert, slot) == SQLITE_OK;
        return sqlite3_bind_text64(m_insert, slot, out.data(), out.size(), SQLITE_TRANSIENT, SQLITE_UTF8)
            == SQLITE_OK;
    }

    // Jet 3 phrase books were written on Chinese Windows: their text is in code page 936.
    void appendJet3(const char *data, size_t size, std::string &out)
    {
        if (m_iconv == iconv_t(-1))
            m_iconv = iconv_open("UTF-8", "GB18030");
        if (m_iconv == iconv_t(-1)) {
            out.append(data, size);
            return;
        }
        iconv(m_iconv, nullptr, nullptr, nullptr, nullptr);
        char *in = const_cast<char *>(data);
        size_t inLeft = size;
        out.resize(size * 4 + 4);
        char *o = out.data();
        size_t outLeft = out.size();
        while (inLeft > 0) {
            if (iconv(m_iconv, &in, &inLeft, &o, &outLeft) != size_t(-1))
                break;
            if (errno == E2BIG)
                break;
            // an invalid or cut byte sequence: one replacement character, go on
            ++in;
            --inLeft;
            if (outLeft >= 3) {
                std::memcpy(o, "\xEF\xBF\xBD", 3);
                o += 3;
                outLeft -= 3;
            }
        }
        out.resize(size_t(o - out.data()));
    }

    sqlite3 *m_db;
    bool m_jet3;
    sqlite3_stmt *m_insert = nullptr;
    std::vector<Column> m_cols;
    std::string m_text;
    iconv_t m_iconv = iconv_t(-1);
};

struct ChildGuard
{
    pid_t pid = -1;
    int fd = -1;
    int noise = -1;
    ~ChildGuard()
    {
        if (fd >= 0)
            ::close(fd);
        if (noise >= 0)
            ::close(noise);
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
        }
    }
    // Waits for a normal end; a child that crashed or failed makes the whole read fail.
    bool finishedCleanly(std::chrono::steady_clock::time_point deadline)
    {
        for (;;) {
            int status = 0;
            const pid_t r = ::waitpid(pid, &status, WNOHANG);
            if (r == pid) {
                pid = -1;
                return WIFEXITED(status) && WEXITSTATUS(status) == 0;
            }
            if (r < 0 && errno == ECHILD) {
                pid = -1; // SIGCHLD ignored by the host: the complete, checked stream must do
                return true;
            }
            if (r < 0 && errno != EINTR)
                return false;
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            ::usleep(200);
        }
    }
};

} // namespace

namespace JetReader {

void appendJet4TextUtf8(const char *data, qsizetype size, std::string &out)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    char16_t pendingHigh = 0;
    if (size >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        // compressed: single bytes are U+0000..U+00FF; each 0x00 byte switches to UCS-2 and back
        bool compressed = true;
        qsizetype i = 2;
        while (i < size) {
            if (p[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                if (pendingHigh) {
                    appendUtf8(0xFFFD, out);
                    pendingHigh = 0;
                }
                appendUtf8(p[i], out);
                ++i;
            } else if (i + 1 < size) {
                appendUcs2(p + i, 1, pendingHigh, out);
                i += 2;
            } else {
                break;
            }
        }
    } else {
        appendUcs2(p, size_t(size / 2), pendingHigh, out);
    }
    if (pendingHigh)
        appendUtf8(0xFFFD, out);
}

bool hasDatabasePassword(const QByteArray &image)
{
    using namespace JetHeader;
    if (image.size() < Jet4HeaderLength)
        return false;
    const auto *h = reinterpret_cast<const unsigned char *>(image.constData());
    const quint8 version = h[VersionOffset];
    const int length = maskedLength(version);
    unsigned char plain[Jet4MaskedLength];
    std::memcpy(plain, h + MaskedOffset, size_t(length));
    applyMask(plain, length);
    // A Jet 4 password is UCS-2 and further XOR-masked with the integer part of the creation date.
    const unsigned char *password = plain + (PasswordOffset - MaskedOffset);
    if (version == Jet3) {
        for (int i = 0; i < Jet3PasswordLength; ++i)
            if (password[i])
                return true;
        return false;
    }
    double created;
    std::memcpy(&created, plain + (CreatedOffset - MaskedOffset), 8);
    qint32 maskValue = 0;
    if (std::isfinite(created) && std::fabs(created) < 2147483647.0)
        maskValue = qint32(created);
    const unsigned char mask[4]
        = { quint8(maskValue), quint8(maskValue >> 8), quint8(maskValue >> 16), quint8(maskValue >> 24) };
    for (int i = 0; i < Jet4PasswordLength; ++i)
        if (password[i] ^ mask[i % 4])
            return true;
    return false;
}

namespace {

// Why the image cannot go to libmdb, or nothing.
QString headerProblem(const QByteArray &image)
{
    using namespace JetHeader;
    if (image.size() < Jet4PageSize)
        return QStringLiteral("file too short for a Jet database");
    // Jet 3, Jet 4 and ACE files share the first nine bytes of the name.
    if (image.at(0) != 0 || std::memcmp(image.constData() + MagicOffset, Magic, 9) != 0)
        return QStringLiteral("not a Jet database");
    // Jet allocates whole pages; anything else was cut short or is not a Jet file.
    if (image.size() % pageSize(quint8(image.at(VersionOffset))) != 0)
        return QStringLiteral("the file is not a whole number of pages (cut short)");
    if (hasDatabasePassword(image))
        return QStringLiteral("the database has a password");
    return {};
}

QString systemReason(const char *call)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(call), QString::fromLocal8Bit(std::strerror(errno)));
}

// Forks the child that reads image with libmdb and writes the stream; empty on success, else why not.
QString startChild(const QByteArray &image, ChildGuard &child)
{
    // libmdb opens a code-page converter for Jet 3 files; loading its module (dlopen) in a child
    // forked from a threaded program could deadlock, so it is loaded here once and kept.
    static const iconv_t keepLoaded = iconv_open("UTF-8", "CP936");
    (void)keepLoaded;

    int fds[2];
    int noise[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return systemReason("pipe");
    if (::pipe2(noise, O_CLOEXEC) != 0) {
        const QString why = systemReason("pipe");
        ::close(fds[0]);
        ::close(fds[1]);
        return why;
    }
    child.pid = ::fork();
    if (child.pid < 0) {
        const QString why = systemReason("fork");
        ::close(fds[0]);
        ::close(fds[1]);
        ::close(noise[0]);
        ::close(noise[1]);
        return why;
    }
    if (child.pid == 0) {
        ::close(fds[0]);
        ::close(noise[0]);
        childMain(image, fds[1], noise[1]);
    }
    ::close(fds[1]);
    ::close(noise[1]);
    child.fd = fds[0];
    child.noise = noise[0];
    return {};
}

// Decodes the stream up to its end frame into db, inside a transaction that the caller commits.
// Empty on success, else why the stream was refused; nothing of it is trusted.
QString readStream(StreamIn &in, sqlite3 *db, quint64 streamLimit, Result &result, QStringList &tables)
{
    char magic[4];
    quint8 version = 0;
    if (!in.bytes(magic, 4) || std::memcmp(magic, "JETS", 4) != 0 || !in.u8(version))
        return QStringLiteral("libmdb cannot open the file");
    result.jetVersion = version;

    Loader loader(db, version);
    if (!loader.exec("BEGIN"))
        return QStringLiteral("cannot start the copy");

    std::vector<Column> cols;
    std::string scratch;
    bool inTable = false;
    bool tableOpen = false; // between 'T' and 'E'
    QString tableName;
    quint64 tableRows = 0;
    for (;;) {
        quint8 tag = 0;
        if (!in.u8(tag))
            return QStringLiteral("the reader ended early (damaged file)");
        if (in.total() > streamLimit)
            return QStringLiteral("implausible amount of data (damaged file)");
        if (tag == 'Z') {
            if (tableOpen)
                return QStringLiteral("bad frame (damaged file)");
            return {};
        }
        if (tag == 'E') {
            quint32 expected = 0;
            if (!tableOpen || !in.u32(expected))
                return QStringLiteral("bad frame (damaged file)");
            // libmdb stops quietly at a missing data page; the table definition knows better
            if (expected != tableRows)
                return QStringLiteral("table %1 holds %2 rows, %3 could be read (damaged file)")
                    .arg(tableName)
                    .arg(expected)
                    .arg(tableRows);
            tableOpen = false;
            continue;
        }
        if (tag == 'T') {
            if (tableOpen)
                return QStringLiteral("bad frame (damaged file)");
            quint32 len = 0;
            if (!in.u32(len) || len == 0 || len > MaxNameBytes
                || !in.bytes((scratch.resize(len), scratch.data()), len))
                return QStringLiteral("bad table name");
            const QString name = QString::fromUtf8(scratch.data(), qsizetype(len));
            tableName = name;
            tableRows = 0;
            tableOpen = true;
            quint16 count = 0;
            if (!in.u16(count) || count > MaxColumns)
                return QStringLiteral("bad column count in table %1").arg(name);
            QStringList names;
            cols.assign(count, Column());
            for (quint16 c = 0; c < count; ++c) {
                quint32 nlen = 0;
                if (!in.u32(nlen) || nlen == 0 || nlen > MaxNameBytes
                    || !in.bytes((scratch.resize(nlen), scratch.data()), nlen) || !in.u8(cols[c].type)
                    || !in.u8(cols[c].scale) || !in.u8(cols[c].precision))
                    return QStringLiteral("bad column in table %1").arg(name);
                names << QString::fromUtf8(scratch.data(), qsizetype(nlen));
            }
            inTable = count > 0;
            if (!inTable)
                continue; // nothing SQLite could hold
            if (!loader.beginTable(name, names, cols))
                return QStringLiteral("cannot create table %1: %2")
                    .arg(name, QString::fromUtf8(sqlite3_errmsg(db)));
            tables << name;
            continue;
        }
        if (tag != 'R' || !tableOpen)
            return QStringLiteral("bad frame (damaged file)");
        ++tableRows;
        if (!inTable)
            return QStringLiteral("row in a table without columns (damaged file)");
        for (int c = 0; c < int(cols.size()); ++c) {
            quint32 len = 0;
            if (!in.u32(len))
                return QStringLiteral("row cut short");
            if (len == NullLength) {
                if (!loader.bindNull(c))
                    return QStringLiteral("bind failed");
                continue;
            }
            if (len > streamLimit)
                return QStringLiteral("implausible value length (damaged file)");
            const char *data = nullptr;
            if (!in.view(len, scratch, data))
                return QStringLiteral("value cut short");
            if (!loader.bind(c, data, len))
                return QStringLiteral("bad value in column %1 (damaged file)").arg(c + 1);
        }
        if (!loader.insertRow())
            return QStringLiteral("insert failed: %1").arg(QString::fromUtf8(sqlite3_errmsg(db)));
    }
}

bool commit(sqlite3 *db)
{
    return sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace

Result load(const QByteArray &image, sqlite3 *db, int timeLimitMs)
{
    Result result;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeLimitMs);
    result.reason = headerProblem(image);
    if (!result.reason.isEmpty())
        return result;

    ChildGuard child;
    result.reason = startChild(image, child);
    if (!result.reason.isEmpty())
        return result;

    PipeIn in(child.fd, child.noise, deadline);
    auto fail = [&](const QString &why) {
        result.ok = false;
        result.reason = in.timedOut() ? QStringLiteral("reading the file took too long")
            : in.flooded()            ? QStringLiteral("libmdb floods warnings (damaged file)")
                                      : why;
        return result;
    };
    QStringList tables;
    const QString problem = readStream(in, db, quint64(image.size()) * 16 + (16u << 20), result, tables);
    if (!problem.isEmpty())
        return fail(problem);
    if (!child.finishedCleanly(deadline))
        return fail(QStringLiteral("the reader did not end cleanly"));
    if (!commit(db))
        return fail(QStringLiteral("cannot finish the copy"));
    result.ok = true;
    result.tables = tables;
    return result;
}

Result decode(const QByteArray &stream, sqlite3 *db)
{
    Result result;
    MemoryIn in(stream);
    QStringList tables;
    result.reason = readStream(in, db, quint64(stream.size()), result, tables);
    if (!result.reason.isEmpty())
        return result;
    if (!commit(db)) {
        result.reason = QStringLiteral("cannot finish the copy");
        return result;
    }
    result.ok = true;
    result.tables = tables;
    return result;
}

} // namespace JetReader
