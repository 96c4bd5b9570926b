// plumaret-cli as a user runs it: db build from text sources, db query and db dump through
// the program's own phrase store.
#include "JetWriter.h"
#include "RunProgram.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using jet::ColumnType;

namespace {

Run cli(const QStringList &args)
{
    return RunProgram(QStringLiteral(PLUMARET_CLI), args);
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QString unescape(const QString &field)
{
    QString out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field.at(i) != u'\\' || i + 1 == field.size()) {
            out += field.at(i);
            continue;
        }
        switch (field.at(++i).unicode()) {
        case u't':
            out += u'\t';
            break;
        case u'r':
            out += u'\r';
            break;
        case u'n':
            out += u'\n';
            break;
        default:
            out += field.at(i);
        }
    }
    return out;
}

// Lines of db query output split into fields, header first.
QList<QStringList> parseOutput(const QString &out)
{
    QList<QStringList> lines;
    QStringList raw = out.split(u'\n');
    if (!raw.isEmpty() && raw.last().isEmpty())
        raw.removeLast();
    for (const QString &line : std::as_const(raw))
        lines.append(line.split(u'\t'));
    return lines;
}

const QString ConnectFailed = QStringLiteral("连接数据库失败，程序将退出");

} // namespace

class tst_PlumaretCli : public QObject
{
    Q_OBJECT

private slots:
    void dbBuildReportsErrors_data();
    void dbBuildReportsErrors();
    void failedBuildKeepsTheOldFile();
    void refusesBadCommandLines_data();
    void refusesBadCommandLines();
    void dbQueryEscapesFields();
    void dbQueryReportsEngineErrors_data();
    void dbQueryReportsEngineErrors();
    void dbDumpNamedTables();
    void automaticWritingQueryOnTestbook();
    void framingClassAndTemplateQueriesOnTestbook();
    void dumpMatchesLibmdbOnCorpus_data();
    void dumpMatchesLibmdbOnCorpus();

private:
    QTemporaryDir m_dir;
    const QString m_testbook = QStringLiteral(PLUMARET_BINARY_DIR "/tests/tools/testbook.mdb");
};

void tst_PlumaretCli::dbBuildReportsErrors_data()
{
    QTest::addColumn<QByteArray>("content"); // of SRC/T.tsv; empty: SRC holds no table
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    QTest::newRow("valid") << QByteArray("id:long\tt:text\n1\tx\n") << 0 << QString();
    QTest::newRow("bad row names file and line") << QByteArray("id:long\tt:text\n1\tx\n2\n") << 1
                                                 << u"T.tsv:3: 1 fields, the header names 2 columns"_qs;
    QByteArray wide = "# nine full text columns\n";
    QStringList header;
    QStringList row;
    for (int i = 0; i < 9; ++i) {
        header.append(u"c%1:text"_qs.arg(i));
        row.append(QString(255, QChar(0x7231)));
    }
    wide += (header.join(u'\t') + u'\n' + row.join(u'\t') + u'\n').toUtf8();
    QTest::newRow("row too large for a page names its line")
        << wide << 1 << u"T.tsv:3: the row takes 4616 bytes, Jet allows 4060"_qs;
    QTest::newRow("no tables") << QByteArray() << 1 << u"no TABLE.tsv files"_qs;
}

void tst_PlumaretCli::dbBuildReportsErrors()
{
    QFETCH(QByteArray, content);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const QString src = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(src));
    if (!content.isEmpty())
        writeFile(src + u"/T.tsv"_qs, content);
    const QString out = src + u".mdb"_qs;

    const Run r = cli({ u"db"_qs, u"build"_qs, src, out });
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(r.out, QString());
    QCOMPARE(QFile::exists(out), exitCode == 0);
    if (exitCode == 0) {
        QCOMPARE(r.err, QString());
    } else {
        QVERIFY2(r.err.startsWith(u"plumaret-cli: "_qs) && r.err.contains(message), qPrintable(r.err));
    }
}

void tst_PlumaretCli::failedBuildKeepsTheOldFile()
{
    const QString src = m_dir.filePath(u"broken"_qs);
    QVERIFY(QDir().mkpath(src));
    writeFile(src + u"/T.tsv"_qs, "id:long\nnot a number\n");
    const QString out = m_dir.filePath(u"old.mdb"_qs);
    writeFile(out, "old contents");
    QCOMPARE(cli({ u"db"_qs, u"build"_qs, src, out }).exitCode, 1);
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("old contents"));
}

void tst_PlumaretCli::refusesBadCommandLines_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing") << QStringList() << u"usage:"_qs;
    QTest::newRow("unknown command") << QStringList { u"db"_qs, u"drop"_qs }
                                     << u"unknown command \"db drop\""_qs;
    QTest::newRow("missing argument")
        << QStringList { u"db"_qs, u"build"_qs, u"src"_qs } << u"usage: plumaret-cli db build SRC OUT"_qs;
}

void tst_PlumaretCli::refusesBadCommandLines()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const Run r = cli(args);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
}

void tst_PlumaretCli::dbQueryEscapesFields()
{
    jet::Writer writer;
    writer.addTable({ u"T"_qs,
        { { u"id"_qs, ColumnType::Long, 255 }, { u"t"_qs, ColumnType::Text, 255 },
            { u"m"_qs, ColumnType::Memo, 255 } },
        { { 1, u"back\\slash"_qs, u"tab\there"_qs }, { 2, u"cr\rlf\n"_qs, u"第一行\r\n第二行"_qs },
            { 3, QVariant(), u""_qs }, { QVariant(), u"\\t is not a tab"_qs, QVariant() } } });
    const QString db = m_dir.filePath(u"escapes.mdb"_qs);
    writer.write(db);
    const Run r = cli({ u"db"_qs, u"query"_qs, db, u"SELECT id, t, m AS Memo FROM T ORDER BY t"_qs });
    QCOMPARE(r.err, QString());
    QCOMPARE(r.exitCode, 0);
    // NULL is an empty field; a NULL long reads as empty too, not as 0.
    QCOMPARE(r.out,
        u"id\tt\tMemo\n"
        "3\t\t\n"
        "\t\\\\t is not a tab\t\n"
        "1\tback\\\\slash\ttab\\there\n"
        "2\tcr\\rlf\\n\t第一行\\r\\n第二行\n"_qs);
}

void tst_PlumaretCli::dbQueryReportsEngineErrors_data()
{
    QTest::addColumn<QString>("db");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("message");
    QTest::newRow("bad SQL") << m_testbook << u"SELEKT 1"_qs << QString();
    QTest::newRow("missing table") << m_testbook << u"SELECT * FROM Nowhere"_qs << u"Nowhere"_qs;
    QTest::newRow("password-protected book")
        << QStringLiteral(PLUMARET_BINARY_DIR "/tests/tools/testbook-password.mdb") << u"SELECT 1"_qs
        << ConnectFailed;
    QTest::newRow("missing file") << m_dir.filePath(u"none.mdb"_qs) << u"SELECT 1"_qs
                                  << u"找不到数据库文件，程序将退出"_qs;
}

void tst_PlumaretCli::dbQueryReportsEngineErrors()
{
    QFETCH(QString, db);
    QFETCH(QString, sql);
    QFETCH(QString, message);
    const Run r = cli({ u"db"_qs, u"query"_qs, db, sql });
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.out, QString());
    QVERIFY2(r.err.startsWith(u"plumaret-cli: "_qs) && r.err.contains(message), qPrintable(r.err));
}

void tst_PlumaretCli::dbDumpNamedTables()
{
    Run r = cli({ u"db"_qs, u"dump"_qs, m_testbook, u"lovewordclass"_qs, u"CommonLanguage"_qs });
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out.startsWith(u"## LoveWordClass\n"_qs), qPrintable(r.out.left(40)));
    QCOMPARE(r.out.count(u"\n## "_qs), 1);
    QVERIFY(r.out.contains(u"\n## CommonLanguage\n"_qs));
    QCOMPARE(parseOutput(r.out).size(), 2 + 10 + 7);

    r = cli({ u"db"_qs, u"dump"_qs, m_testbook, u"Template"_qs, u"Nowhere"_qs });
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.out, QString());
    QVERIFY2(r.err.contains(u"no table \"Nowhere\""_qs), qPrintable(r.err));
}

void tst_PlumaretCli::automaticWritingQueryOnTestbook()
{
    // Phrases of the test book outside the classes 2, 3, 4, 5, 6 and 15.
    const QSet<QString> allowed { u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs, u"12"_qs, u"13"_qs, u"14"_qs, u"16"_qs,
        u"17"_qs, u"18"_qs, u"20"_qs, u"23"_qs };
    const QString sql
        = u"SELECT TOP %1 id, title FROM LoveWord  WHERE ClassID not in(2, 3, 4, 5, 6, 15)  ORDER BY "
          "Rnd(id - Time() * id * Rnd() * 100)"_qs.arg(5);
    QSet<QString> orders;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const Run r = cli({ u"db"_qs, u"query"_qs, m_testbook, sql });
        QCOMPARE(r.exitCode, 0);
        const QList<QStringList> lines = parseOutput(r.out);
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines.first().join(u' ').toLower(), u"id title"_qs);
        QStringList ids;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            QVERIFY2(allowed.contains(lines.at(i).first()), qPrintable(lines.at(i).join(u' ')));
            ids.append(lines.at(i).first());
        }
        orders.insert(ids.join(u','));
    }
    QVERIFY2(orders.size() > 1, "eight runs gave the same rows in the same order");
}

void tst_PlumaretCli::framingClassAndTemplateQueriesOnTestbook()
{
    const QList<QSet<QString>> framing { { u"亲爱的"_qs, u"我最爱的"_qs },
        { u"见字如面，展信舒颜。"_qs, u"提笔的时候，窗外正下着小雨。"_qs },
        { u"永远爱你的人"_qs, u"想你想到睡不着的人"_qs } };
    for (int type = 0; type < 3; ++type) {
        const Run r = cli({ u"db"_qs, u"query"_qs, m_testbook,
            u"select top 1 Title from CommonLanguage where TYPE = %1 ORDER BY Rnd(id - Time() * id * "
            "Rnd() * 100)"_qs.arg(type) });
        QCOMPARE(r.exitCode, 0);
        const QList<QStringList> lines = parseOutput(r.out);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(framing.at(type).contains(lines.at(1).first()), qPrintable(r.out));
    }

    Run r = cli({ u"db"_qs, u"query"_qs, m_testbook, u"select classID, Title from LoveWordClass"_qs });
    QCOMPARE(r.exitCode, 0);
    QList<QStringList> lines = parseOutput(r.out);
    QCOMPARE(lines.size(), 10);
    QCOMPARE(lines.first().join(u' ').toLower(), u"classid title"_qs);

    r = cli({ u"db"_qs, u"query"_qs, m_testbook,
        u"SELECT [ID], ClassID, Title FROM LoveWord WHERE ClassID = 7"_qs });
    QCOMPARE(r.exitCode, 0);
    // Column names are compared without regard to case, as the store does.
    QCOMPARE(r.out.section(u'\n', 0, 0).toLower(), u"id\tclassid\ttitle"_qs);
    QCOMPARE(r.out.section(u'\n', 1),
        u"12\t7\t夜深了，星星替我看着你。\n13\t7\t想你的时候，风也温柔，云也温柔。\n"
        "14\t7\t隔着千山万水，我的心还是朝着你的方向。\n"_qs);

    r = cli({ u"db"_qs, u"query"_qs, m_testbook, u"SELECT [ID], [TITLE], [TEXT] FROM Template"_qs });
    QCOMPARE(r.exitCode, 0);
    lines = parseOutput(r.out);
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines.at(3), (QStringList { u"3"_qs, u"空白的信"_qs, QString() }));
    // The long template arrives whole: 361 lines joined with CR LF.
    const QString text = unescape(lines.at(2).at(2));
    QCOMPARE(text.count(u"\r\n"_qs), 360);
    QVERIFY(text.startsWith(u"第001段："_qs));
    QVERIFY(text.endsWith(
        u"第360段：想你的时候，风也温柔，云也温柔，连时间都慢了下来，我把每一天都写成给你的信。\r\n全文完。"_qs));
}

void tst_PlumaretCli::dumpMatchesLibmdbOnCorpus_data()
{
    QTest::addColumn<QString>("file");
    const QDir corpus(QStringLiteral(PLUMARET_SHARED_DIR "/corpus/jet"));
    if (!corpus.exists())
        QSKIP("the third-party corpus (../shared/corpus) is not beside this clone");
    if (QStandardPaths::findExecutable(u"mdb-export"_qs).isEmpty())
        QSKIP("mdbtools is not installed; scripts/install-deps.sh installs it");
    for (const QString &name : corpus.entryList({ u"jet4-*.mdb"_qs }, QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(name)) << corpus.filePath(name);
}

void tst_PlumaretCli::dumpMatchesLibmdbOnCorpus()
{
    QFETCH(QString, file);
    const Run dump = cli({ u"db"_qs, u"dump"_qs, file });
    QVERIFY2(dump.exitCode == 0 || dump.exitCode == 1, "plumaret-cli crashed or hung");
    if (dump.exitCode == 1) {
        // Refused files are refused with the store's message only.
        QCOMPARE(dump.err.trimmed(), u"plumaret-cli: "_qs + ConnectFailed);
        QCOMPARE(dump.out, QString());
        return;
    }

    // Split the dump into its tables.
    QMap<QString, QList<QStringList>> tables;
    QString current;
    for (const QString &line : dump.out.split(u'\n')) {
        if (line.startsWith(u"## "_qs)) {
            current = line.mid(3);
            tables[current];
        } else if (!current.isEmpty() && !line.isEmpty()) {
            tables[current].append(line.split(u'\t'));
        }
    }
    const Run listed = RunProgram(u"mdb-tables"_qs, { u"-1"_qs, file });
    QStringList names = listed.out.split(u'\n', Qt::SkipEmptyParts);
    for (QString &n : names)
        n = n.trimmed();
    QCOMPARE(QStringList(tables.keys()), [&] {
        QStringList s = names;
        s.sort();
        return s;
    }());

    for (const QString &table : std::as_const(names)) {
        const QList<QStringList> &lines = tables.value(table);
        QVERIFY(!lines.isEmpty());
        const Run count = RunProgram(u"mdb-count"_qs, { file, table });
        QCOMPARE(qlonglong(lines.size() - 1), count.out.trimmed().toLongLong());

        // Text and memo columns, as mdb-schema names their types.
        const Run schema = RunProgram(u"mdb-schema"_qs, { u"-T"_qs, table, file });
        static const QRegularExpression textColumn(
            QStringLiteral("^\\s*\\[(.+)\\]\\s+(Text|Memo)"), QRegularExpression::MultilineOption);
        // mdb-json escapes what mdb-export would print raw (control characters, OLE bytes).
        const Run exported = RunProgram(u"mdb-json"_qs, { file, table });
        QList<QJsonObject> records;
        for (const QString &line : exported.out.split(u'\n', Qt::SkipEmptyParts))
            records.append(QJsonDocument::fromJson(line.toUtf8()).object());
        for (auto it = textColumn.globalMatch(schema.out); it.hasNext();) {
            const QString column = it.next().captured(1);
            const qsizetype dumpIndex = lines.first().indexOf(column);
            QVERIFY2(dumpIndex >= 0, qPrintable(column));
            QStringList ours;
            QStringList theirs;
            for (qsizetype r = 1; r < lines.size(); ++r)
                ours.append(unescape(lines.at(r).value(dumpIndex)));
            // libmdb leaves out NULLs and empty texts alike; both print as an empty field.
            for (const QJsonObject &record : std::as_const(records))
                theirs.append(record.value(column).toString());
            ours.sort();
            theirs.sort();
            QCOMPARE(ours, theirs);
        }
    }
}

QTEST_GUILESS_MAIN(tst_PlumaretCli)
#include "tst_plumaretcli.moc"
