// The decoding of the stream the store's reader child sends, from memory: what a well-formed stream
// puts into SQLite, and that a damaged one is refused with its reason.
#include "JetReader.h"

#include <QtTest>

#include <sqlite3.h>

namespace {

constexpr quint8 LongType = 0x04;
constexpr quint8 TextType = 0x0A;

// Builds a stream frame by frame, as the child writes it.
class Stream
{
public:
    explicit Stream(const char *magic = "JETS") { m_bytes.append(magic, 4).append(char(1)); }
    Stream &u8(quint8 v) { return m_bytes.append(char(v)), *this; }
    Stream &u16(quint16 v) { return u8(quint8(v)).u8(quint8(v >> 8)); }
    Stream &u32(quint32 v) { return u16(quint16(v)).u16(quint16(v >> 16)); }
    Stream &raw(const QByteArray &b) { return m_bytes.append(b), *this; }
    Stream &name(const char *n) { return u32(quint32(qstrlen(n))).raw(n); }
    Stream &table(const char *n)
    {
        return u8('T').name(n).u16(2).name("ID").u8(LongType).u16(0).name("title").u8(TextType).u16(0);
    }
    Stream &row(qint32 id, const QString &title)
    {
        QByteArray text(reinterpret_cast<const char *>(title.utf16()), title.size() * 2);
        return u8('R').u32(4).u32(quint32(id)).u32(quint32(text.size())).raw(text);
    }
    Stream &end(quint32 rows) { return u8('E').u32(rows); }
    Stream &finish() { return u8('Z'); }
    QByteArray bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

QStringList rowsOf(sqlite3 *db, const char *sql)
{
    QStringList rows;
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
        return { QString::fromUtf8(sqlite3_errmsg(db)) };
    while (sqlite3_step(st) == SQLITE_ROW)
        rows << QStringLiteral("%1 %2")
                    .arg(sqlite3_column_int(st, 0))
                    .arg(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 1))));
    sqlite3_finalize(st);
    return rows;
}

} // namespace

class tst_JetStream : public QObject
{
    Q_OBJECT

private slots:
    void init() { QCOMPARE(sqlite3_open(":memory:", &m_db), SQLITE_OK); }
    void cleanup() { sqlite3_close(m_db); }

    void wellFormedStreamFillsTheTables()
    {
        const QByteArray stream = Stream()
                                      .table("Words")
                                      .row(1, QStringLiteral("我爱你"))
                                      .row(-7, QStringLiteral("\U0001F339 rose"))
                                      .end(2)
                                      .table("Empty")
                                      .end(0)
                                      .finish()
                                      .bytes();
        const JetReader::Result r = JetReader::decode(stream, m_db);
        QVERIFY2(r.ok, qPrintable(r.reason));
        QCOMPARE(r.jetVersion, 1);
        QCOMPARE(r.tables, QStringList({ QStringLiteral("Words"), QStringLiteral("Empty") }));
        QCOMPARE(rowsOf(m_db, "SELECT ID, title FROM Words ORDER BY rowid"),
            QStringList({ QStringLiteral("1 我爱你"), QStringLiteral("-7 \U0001F339 rose") }));
    }

    void damagedStreamIsRefused_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QString>("reason");
        const QByteArray good = Stream().table("Words").row(1, QStringLiteral("甲")).end(1).finish().bytes();
        QTest::newRow("empty") << QByteArray() << "libmdb cannot open the file";
        QTest::newRow("other magic") << Stream("JETX").finish().bytes() << "libmdb cannot open the file";
        QTest::newRow("no end frame") << good.chopped(1) << "the reader ended early (damaged file)";
        QTest::newRow("cut inside a length") << good.left(good.indexOf('R') + 3) << "row cut short";
        QTest::newRow("cut inside a value") << good.left(good.indexOf('R') + 6) << "value cut short";
        QTest::newRow("fewer rows than the table holds")
            << Stream().table("Words").row(1, QStringLiteral("甲")).end(3).finish().bytes()
            << "table Words holds 3 rows, 1 could be read (damaged file)";
        QTest::newRow("end inside a table")
            << Stream().table("Words").finish().bytes() << "bad frame (damaged file)";
        QTest::newRow("row outside a table")
            << Stream().u8('R').finish().bytes() << "bad frame (damaged file)";
        QTest::newRow("unknown frame") << Stream().u8('Q').bytes() << "bad frame (damaged file)";
        QTest::newRow("long of three bytes")
            << Stream().table("Words").u8('R').u32(3).raw("abc").u32(0).end(1).finish().bytes()
            << "bad value in column 1 (damaged file)";
        QTest::newRow("value longer than the stream")
            << Stream().table("Words").u8('R').u32(4).u32(1).u32(0x7FFFFFFF).finish().bytes()
            << "implausible value length (damaged file)";
        QTest::newRow("too many columns")
            << Stream().u8('T').name("Words").u16(300).finish().bytes() << "bad column count in table Words";
        QTest::newRow("empty table name") << Stream().u8('T').u32(0).finish().bytes() << "bad table name";
    }

    void damagedStreamIsRefused()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QString, reason);
        const JetReader::Result r = JetReader::decode(stream, m_db);
        QVERIFY(!r.ok);
        QCOMPARE(r.reason, reason);
    }

private:
    sqlite3 *m_db = nullptr;
};

QTEST_GUILESS_MAIN(tst_JetStream)
#include "tst_jetstream.moc"
