// Files written by the Jet writer, read back by two independent readers: libmdb's tools
// (mdb-ver, mdb-tables, mdb-schema, mdb-export, mdb-count) and the npm package mdb-reader.
#include "JetWriter.h"
#include "PhraseBookSource.h"
#include "PlumaretError.h"
#include "RepeatedText.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using jet::ColumnType;

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QString &program, const QStringList &args, int timeoutMs = 120000)
{
    QProcess p;
    p.start(program, args);
    Run r;
    if (!p.waitForStarted(10000))
        return r;
    p.closeWriteChannel();
    // Read while waiting: the 20,000-row outputs do not fit a pipe.
    QByteArray out;
    QByteArray err;
    QElapsedTimer timer;
    timer.start();
    while (p.state() != QProcess::NotRunning && timer.elapsed() < timeoutMs) {
        p.waitForReadyRead(200);
        out += p.readAllStandardOutput();
        err += p.readAllStandardError();
    }
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.out = out + p.readAllStandardOutput();
    r.err = err + p.readAllStandardError();
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

// libmdb turns every UTF-16 surrogate into "?" and cannot tell an empty text from NULL.
QString asLibmdbSees(const QVariant &value)
{
    if (value.isNull())
        return QString();
    QString text = value.toString();
    for (QChar &c : text) {
        if (c.isSurrogate())
            c = u'?';
    }
    return text;
}

QString libmdbType(const jet::Column &c)
{
    switch (c.type) {
    case ColumnType::Long:
        return u"Long Integer"_qs;
    case ColumnType::Text:
        return u"Text (%1)"_qs.arg(c.maxLength);
    case ColumnType::Memo:
        return u"Memo/Hyperlink (255)"_qs;
    default:
        return QString();
    }
}

QString mdbReaderType(ColumnType t)
{
    switch (t) {
    case ColumnType::Long:
        return u"long"_qs;
    case ColumnType::Text:
        return u"text"_qs;
    case ColumnType::Memo:
        return u"memo"_qs;
    default:
        return QString();
    }
}

struct Fixture
{
    QString file;
    QList<jet::Table> tables;
};

} // namespace

Q_DECLARE_METATYPE(Fixture)

class tst_JetReaders : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void mdbVerSaysJet4_data() { fixtures(); }
    void mdbVerSaysJet4();
    void libmdbReadsEverything_data() { fixtures(); }
    void libmdbReadsEverything();
    void mdbReaderReadsEverything_data() { fixtures(); }
    void mdbReaderReadsEverything();
    void mdbReaderSeesThePassword();

private:
    void fixtures();
    QJsonObject readWithMdbReader(const QString &file);

    QTemporaryDir m_dir;
    QList<QPair<QString, Fixture>> m_fixtures;
    QString m_node;
    QString m_readerDir;
    QString m_readerProblem;
};

void tst_JetReaders::initTestCase()
{
    QVERIFY(m_dir.isValid());
    if (QStandardPaths::findExecutable(u"mdb-export"_qs).isEmpty())
        QSKIP("mdbtools (mdb-export, mdb-schema, mdb-ver) is not installed; scripts/install-deps.sh installs "
              "it");

    // One table per concern: value kinds and long-value sizes, many rows, none, Unicode names.
    jet::Table mixed { u"Mixed"_qs,
        { { u"id"_qs, ColumnType::Long, 255 }, { u"title"_qs, ColumnType::Text, 255 },
            { u"body"_qs, ColumnType::Memo, 255 }, { u"tag"_qs, ColumnType::Text, 10 } },
        {} };
    QString hundredKb;
    for (int line = 1; hundredKb.size() < 50000; ++line)
        hundredKb += u"第%1行：我想你了 line %1 of a long letter\r\n"_qs.arg(line);
    hundredKb.truncate(50000); // 100,000 bytes of UCS-2
    mixed.rows = {
        { 1, u"plain ascii"_qs, u"inline memo"_qs, u"a"_qs },
        { qlonglong(-2147483648LL), u"你好世界"_qs, RepeatedText(u"单页的长信。"_qs, 1500), u"中文"_qs },
        { 2147483647, u"emoji 😀🏾 and ❤"_qs, hundredKb, u"😀"_qs },
        { QVariant(), QVariant(), QVariant(), QVariant() },
        { 0, u""_qs, u""_qs, u""_qs },
        { 5, RepeatedText(u"爱"_qs, 255), RepeatedText(u"compressible memo "_qs, 1000), u"t\tc\r\nl\\"_qs },
        { 6, RepeatedText(u"latin text "_qs, 255), RepeatedText(u"满"_qs, 32), u"x"_qs },
        { 7, u"one LVAL row, full"_qs, RepeatedText(u"页"_qs, 2038), QVariant() },
        { 8, u"two chained rows"_qs, RepeatedText(u"链"_qs, 2039), QVariant() },
        { 9, u"two full chunks"_qs, RepeatedText(u"整"_qs, 4072), QVariant() },
    };
    jet::Table many { u"Many"_qs,
        { { u"n"_qs, ColumnType::Long, 255 }, { u"word"_qs, ColumnType::Text, 50 },
            { u"note"_qs, ColumnType::Memo, 255 } },
        {} };
    for (int i = 0; i < 20000; ++i) {
        many.rows.append({ i, i % 2 ? u"词语%1"_qs.arg(i) : u"word %1"_qs.arg(i),
            i % 500 == 0 ? QVariant(RepeatedText(u"备注%1 "_qs.arg(i), 300)) : QVariant() });
    }
    jet::Table empty { u"Empty"_qs,
        { { u"id"_qs, ColumnType::Long, 255 }, { u"t"_qs, ColumnType::Text, 255 } }, {} };
    jet::Table unicodeNames { u"情书"_qs,
        { { u"编号"_qs, ColumnType::Long, 255 }, { u"内容"_qs, ColumnType::Text, 255 } },
        { { 1, u"见字如面"_qs }, { 2, u"Ünïcödé"_qs } } };

    jet::Writer writer;
    for (const jet::Table &t : { mixed, many, empty, unicodeNames })
        writer.addTable(t);
    const QString written = m_dir.filePath(u"written.mdb"_qs);
    writer.write(written);
    m_fixtures.append({ u"written"_qs, Fixture { written, writer.tables() } });

    const QString testbook = QStringLiteral(PLUMARET_BINARY_DIR "/tests/tools/testbook.mdb");
    QVERIFY2(QFile::exists(testbook), "the build makes testbook.mdb (target testbook)");
    m_fixtures.append({ u"testbook"_qs,
        Fixture { testbook,
            phrasebook::readFolder(QStringLiteral(PLUMARET_SOURCE_DIR "/tests/tools/testbook")) } });

    // mdb-reader is installed with the machine's npm into the build tree, once.
    m_node = QStandardPaths::findExecutable(u"node"_qs);
    const QString npm = QStandardPaths::findExecutable(u"npm"_qs);
    m_readerDir = QStringLiteral(PLUMARET_BINARY_DIR "/tests/tools/mdb-reader");
    if (m_node.isEmpty() || npm.isEmpty()) {
        m_readerProblem = u"node and npm are not installed"_qs;
        return;
    }
    if (!QFile::exists(m_readerDir + u"/node_modules/mdb-reader/package.json"_qs)) {
        QDir().mkpath(m_readerDir);
        const Run install = run(npm,
            { u"install"_qs, u"--prefix"_qs, m_readerDir, u"--no-audit"_qs, u"--no-fund"_qs,
                u"--prefer-offline"_qs, u"mdb-reader@3"_qs },
            300000);
        if (install.exitCode != 0) {
            m_readerProblem
                = u"npm could not install mdb-reader: %1"_qs.arg(QString::fromUtf8(install.err.right(400)));
            return;
        }
    }
    // The script runs from the install folder so that its import finds the package.
    QFile::remove(m_readerDir + u"/mdbread.mjs"_qs);
    QVERIFY(QFile::copy(
        QStringLiteral(PLUMARET_SOURCE_DIR "/tests/tools/mdbread.mjs"), m_readerDir + u"/mdbread.mjs"_qs));
}

void tst_JetReaders::fixtures()
{
    QTest::addColumn<Fixture>("fixture");
    for (const auto &f : std::as_const(m_fixtures))
        QTest::newRow(qPrintable(f.first)) << f.second;
}

void tst_JetReaders::mdbVerSaysJet4()
{
    QFETCH(Fixture, fixture);
    const Run r = run(u"mdb-ver"_qs, { fixture.file });
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out.trimmed(), QByteArray("JET4"));
}

void tst_JetReaders::libmdbReadsEverything()
{
    QFETCH(Fixture, fixture);

    const Run tables = run(u"mdb-tables"_qs, { u"-1"_qs, fixture.file });
    QCOMPARE(tables.exitCode, 0);
    QStringList expectedNames;
    for (const jet::Table &t : std::as_const(fixture.tables))
        expectedNames.append(t.name);
    QStringList names = QString::fromUtf8(tables.out).split(u'\n', Qt::SkipEmptyParts);
    for (QString &n : names)
        n = n.trimmed();
    QCOMPARE(names, expectedNames);

    for (const jet::Table &table : std::as_const(fixture.tables)) {
        const Run schema = run(u"mdb-schema"_qs, { u"-T"_qs, table.name, fixture.file });
        QCOMPARE(schema.exitCode, 0);
        static const QRegularExpression columnLine(
            QStringLiteral("^\\s*\\[(.+)\\]\\s+(.+?),?\\s*$"), QRegularExpression::MultilineOption);
        QStringList seen;
        const QString schemaText = QString::fromUtf8(schema.out);
        const QString body = schemaText.mid(schemaText.indexOf(u"CREATE TABLE"_qs));
        for (auto it = columnLine.globalMatch(body.section(u'(', 1)); it.hasNext();) {
            const auto m = it.next();
            seen.append(m.captured(1) + u' ' + m.captured(2));
        }
        QStringList expected;
        for (const jet::Column &c : table.columns)
            expected.append(c.name + u' ' + libmdbType(c));
        QCOMPARE(seen, expected);

        const Run count = run(u"mdb-count"_qs, { fixture.file, table.name });
        QCOMPARE(count.out.trimmed().toLongLong(), qlonglong(table.rows.size()));

        // Unit and record separators keep values with TAB, CR and LF apart.
        const Run exported = run(u"mdb-export"_qs,
            { u"-Q"_qs, u"-d"_qs, u"\x1f"_qs, u"-R"_qs, u"\x1e"_qs, fixture.file, table.name });
        QCOMPARE(exported.exitCode, 0);
        QVERIFY2(exported.err.isEmpty(), exported.err.constData());
        QStringList records = QString::fromUtf8(exported.out).split(u'\x1e');
        QCOMPARE(records.takeLast(), QString());
        QCOMPARE(records.size(), table.rows.size() + 1);
        QStringList header;
        for (const jet::Column &c : table.columns)
            header.append(c.name);
        QCOMPARE(records.first().split(u'\x1f'), header);
        for (qsizetype r = 0; r < table.rows.size(); ++r) {
            const QStringList fields = records.at(r + 1).split(u'\x1f');
            QCOMPARE(fields.size(), table.columns.size());
            for (qsizetype c = 0; c < fields.size(); ++c) {
                if (fields.at(c) != asLibmdbSees(table.rows.at(r).at(c))) {
                    QFAIL(qPrintable(
                        u"table %1 row %2 column %3: read %4 characters \"%5\", wrote \"%6\""_qs.arg(
                            table.name, QString::number(r + 1), table.columns.at(c).name,
                            QString::number(fields.at(c).size()), fields.at(c).left(80),
                            asLibmdbSees(table.rows.at(r).at(c)).left(80))));
                }
            }
        }
    }
}

QJsonObject tst_JetReaders::readWithMdbReader(const QString &file)
{
    const Run r = run(m_node, { m_readerDir + u"/mdbread.mjs"_qs, file });
    if (r.exitCode != 0)
        qWarning("mdb-reader failed: %s", r.err.constData());
    return QJsonDocument::fromJson(r.out).object();
}

void tst_JetReaders::mdbReaderReadsEverything()
{
    QFETCH(Fixture, fixture);
    if (!m_readerProblem.isEmpty())
        QSKIP(qPrintable(m_readerProblem));

    const QJsonObject db = readWithMdbReader(fixture.file);
    QVERIFY(!db.isEmpty());
    QVERIFY(db.value(u"password"_qs).isNull());
    const QJsonArray tables = db.value(u"tables"_qs).toArray();
    QCOMPARE(tables.size(), fixture.tables.size());
    for (qsizetype t = 0; t < tables.size(); ++t) {
        const jet::Table &want = fixture.tables.at(t);
        const QJsonObject got = tables.at(t).toObject();
        QCOMPARE(got.value(u"name"_qs).toString(), want.name);
        QCOMPARE(got.value(u"rowCount"_qs).toInteger(), qint64(want.rows.size()));
        const QJsonArray columns = got.value(u"columns"_qs).toArray();
        QCOMPARE(columns.size(), want.columns.size());
        for (qsizetype c = 0; c < columns.size(); ++c) {
            const QJsonObject col = columns.at(c).toObject();
            QCOMPARE(col.value(u"name"_qs).toString(), want.columns.at(c).name);
            QCOMPARE(col.value(u"type"_qs).toString(), mdbReaderType(want.columns.at(c).type));
            if (want.columns.at(c).type == ColumnType::Text)
                QCOMPARE(col.value(u"size"_qs).toInt(), 2 * want.columns.at(c).maxLength);
        }
        const QJsonArray rows = got.value(u"rows"_qs).toArray();
        QCOMPARE(rows.size(), want.rows.size());
        for (qsizetype r = 0; r < rows.size(); ++r) {
            const QJsonArray values = rows.at(r).toArray();
            QCOMPARE(values.size(), want.columns.size());
            for (qsizetype c = 0; c < values.size(); ++c) {
                const QVariant &w = want.rows.at(r).at(c);
                const QJsonValue v = values.at(c);
                const bool same = w.isNull() ? v.isNull()
                    : want.columns.at(c).type == ColumnType::Long
                    ? v.isDouble() && v.toInteger() == w.toLongLong()
                    : v.isString() && v.toString() == w.toString();
                if (!same) {
                    QFAIL(qPrintable(u"table %1 row %2 column %3: read %4, wrote \"%5\""_qs.arg(want.name,
                        QString::number(r + 1), want.columns.at(c).name,
                        QString::fromUtf8(QJsonDocument(QJsonArray { v }).toJson(QJsonDocument::Compact))
                            .left(80),
                        w.toString().left(80))));
                }
            }
        }
    }
}

void tst_JetReaders::mdbReaderSeesThePassword()
{
    if (!m_readerProblem.isEmpty())
        QSKIP(qPrintable(m_readerProblem));
    jet::Writer writer;
    writer.addTable({ u"T"_qs, { { u"id"_qs, ColumnType::Long, 255 } }, { { 1 } } });
    writer.setDatabasePassword(u"爱你1314abcdefghijklm"_qs); // the full 20 characters
    const QString file = m_dir.filePath(u"password.mdb"_qs);
    writer.write(file);
    const QJsonObject db = readWithMdbReader(file);
    QCOMPARE(db.value(u"password"_qs).toString(), u"爱你1314abcdefghijklm"_qs);
    QCOMPARE(db.value(u"tables"_qs).toArray().size(), 1);
    QVERIFY_THROWS_EXCEPTION(EPlumaretError, writer.setDatabasePassword(QString(21, u'x')));
}

QTEST_GUILESS_MAIN(tst_JetReaders)
#include "tst_jetreaders.moc"
