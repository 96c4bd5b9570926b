// The phrase store over real Jet files: Connect's two messages, damaged files, the cursor, and
// agreement with libmdb's own tools where libmdb is right.
#include "PlumaretError.h"
#include "uDataBase.h"

#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

namespace {

QString corpusDir()
{
    return QStringLiteral(PLUMARET_SHARED_DIR "/corpus/jet");
}

QString corpusFile(const QString &name)
{
    return corpusDir() + QLatin1Char('/') + name;
}

#define REQUIRE_CORPUS()                                                                                     \
    if (!QFileInfo::exists(corpusDir()))                                                                     \
    QSKIP("the shared corpus (../shared/corpus) is not present; a fresh clone has none")

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

const QString MissingFile = QStringLiteral("找不到数据库文件，程序将退出");
const QString ConnectFailed = QStringLiteral("连接数据库失败，程序将退出");

QString connectError(TAdoBuilder &store)
{
    try {
        store.Connect();
    } catch (const EPlumaretError &e) {
        return e.message();
    }
    return QString();
}

// Sends this process's stdout and stderr to a file while alive, to see what libmdb would print.
class OutputCapture
{
public:
    explicit OutputCapture(const QString &path)
    {
        std::fflush(stdout);
        std::fflush(stderr);
        m_file = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        m_out = ::dup(STDOUT_FILENO);
        m_err = ::dup(STDERR_FILENO);
        ::dup2(m_file, STDOUT_FILENO);
        ::dup2(m_file, STDERR_FILENO);
    }
    ~OutputCapture()
    {
        std::fflush(stdout);
        std::fflush(stderr);
        ::dup2(m_out, STDOUT_FILENO);
        ::dup2(m_err, STDERR_FILENO);
        ::close(m_out);
        ::close(m_err);
        ::close(m_file);
    }

private:
    int m_file = -1, m_out = -1, m_err = -1;
};

QString runTool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class tst_Store : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void missingFileInCurrentDirectory_data();
    void missingFileInCurrentDirectory();
    void refusedFiles_data();
    void refusedFiles();
    void libmdbPrintsNothing();
    void rowsMatchMdbTools_data();
    void rowsMatchMdbTools();
    void valuesLibmdbGetsWrong_data();
    void valuesLibmdbGetsWrong();
    void columnTypes_data();
    void columnTypes();
    void nullReadsAsEmptyOrZero();
    void columnNamesIgnoreCase();
    void unknownColumnIsNamed();
    void cursorWalk();
    void emptyResult();
    void newQueryEndsPrevious();
    void engineErrors_data();
    void engineErrors();
    void rndIsFreshAtEveryCall();
    void topPicksInRandomOrder();
    void randomPickKeepsFilterAndCount_data();
    void randomPickKeepsFilterAndCount();
    void queryBeforeConnect();

private:
    QString m_savedCwd;
};

void tst_Store::initTestCase()
{
    m_savedCwd = QDir::currentPath();
}

void tst_Store::missingFileInCurrentDirectory_data()
{
    QTest::addColumn<bool>("folder");
    QTest::newRow("nothing named db.dll") << false;
    QTest::newRow("a folder named db.dll") << true;
}

void tst_Store::missingFileInCurrentDirectory()
{
    QFETCH(bool, folder);
    // db.dll beside the program does not count: only the current directory does
    QFile beside(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("db.dll")));
    QVERIFY(!beside.exists());
    QVERIFY(beside.open(QIODevice::WriteOnly));
    beside.write("not a database either");
    beside.close();
    const auto removeBeside = qScopeGuard([&] { beside.remove(); });
    QTemporaryDir dir;
    if (folder)
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("db.dll")));
    QVERIFY(QDir::setCurrent(dir.path()));
    TAdoBuilder store;
    const QString error = connectError(store);
    QDir::setCurrent(m_savedCwd);
    QCOMPARE(error, MissingFile);
}

void tst_Store::refusedFiles_data()
{
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("text file") << QByteArray("this is not a database\n");
    QTest::newRow("zero pages") << QByteArray(8192, '\0');
    if (!QFileInfo::exists(corpusDir()))
        return;
    const QByteArray wide = readAll(corpusFile(QStringLiteral("jet4-msproject-wide.mdb")));
    const QByteArray memo = readAll(corpusFile(QStringLiteral("jet4-cjk-memo-ole.mdb")));
    const QByteArray nwind = readAll(corpusFile(QStringLiteral("jet3-northwind.mdb")));
    // cut at a page boundary these make libmdb loop for ever
    QTest::newRow("jet4 wide cut at page 31") << wide.left(126976);
    QTest::newRow("jet4 memo cut at page 81") << memo.left(81 * 4096);
    QTest::newRow("jet3 cut at page 736") << nwind.left(736 * 2048);
    QTest::newRow("jet4 cut inside a page") << memo.left(200000);
    // libmdb reads 453 of the 512 rows and reports no error
    QTest::newRow("jet4 cut among its data pages")
        << readAll(corpusFile(QStringLiteral("jet4-512rows.mdb"))).left(20 * 4096);
    QTest::newRow("jet4 first page only") << memo.left(4096);
    QByteArray zeroedCatalog = memo;
    zeroedCatalog.replace(2 * 4096, 4096, QByteArray(4096, '\xff'));
    QTest::newRow("jet4 catalogue page overwritten") << zeroedCatalog;
    QTest::newRow("database password") << readAll(corpusFile(QStringLiteral("jet4-dbpassword.mdb")));
    QTest::newRow("ace agile encryption")
        << readAll(corpusFile(QStringLiteral("ace14-agile-encrypted.accdb")));
}

void tst_Store::refusedFiles()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    {
        QFile f(dir.filePath(QStringLiteral("db.dll")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QVERIFY(QDir::setCurrent(dir.path()));
    TAdoBuilder store;
    QElapsedTimer clock;
    clock.start();
    const QString error = connectError(store);
    const qint64 elapsed = clock.elapsed();
    QDir::setCurrent(m_savedCwd);
    QCOMPARE(error, ConnectFailed);
    // a bound on hanging, not a speed target: the user must not wait on a damaged file for ever
    QVERIFY2(elapsed < 5000, qPrintable(QStringLiteral("took %1 ms").arg(elapsed)));
    QVERIFY(store.TableNames().isEmpty());
}

void tst_Store::libmdbPrintsNothing()
{
    REQUIRE_CORPUS();
    // the truncated copy makes libmdb print warnings without end; the unknown type one, hex dumps
    const QByteArray wide = readAll(corpusFile(QStringLiteral("jet4-msproject-wide.mdb")));
    const QByteArray memo = readAll(corpusFile(QStringLiteral("jet4-cjk-memo-ole.mdb")));
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("output.txt"));
    {
        OutputCapture capture(log);
        for (const QByteArray &image : { wide.left(126976), memo.left(50 * 4096), memo, wide }) {
            TAdoBuilder store;
            try {
                store.ConnectImage(image);
            } catch (const EPlumaretError &) {
            }
        }
    }
    QCOMPARE(readAll(log), QByteArray());
}

void tst_Store::rowsMatchMdbTools_data()
{
    QTest::addColumn<QString>("file");
    for (const char *name : { "jet4-512rows.mdb", "jet4-cjk-memo-ole.mdb", "jet4-msproject-wide.mdb",
             "jet4-rc4-encoded.mdb", "jet4-unicode-comp.mdb", "ace12-longtext.accdb" })
        QTest::newRow(name) << QString::fromLatin1(name);
}

// Same tables, row counts (mdb-count) and values (mdb-export) as libmdb's tools give.
void tst_Store::rowsMatchMdbTools()
{
    REQUIRE_CORPUS();
    if (QStandardPaths::findExecutable(QStringLiteral("mdb-export")).isEmpty())
        QSKIP("mdbtools (mdb-export, mdb-count) is not installed");
    QFETCH(QString, file);
    const QString path = corpusFile(file);
    TAdoBuilder store(path);
    store.Connect();
    QStringList tables = runTool(QStringLiteral("mdb-tables"), { QStringLiteral("-1"), path })
                             .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(store.TableNames(), tables);
    // marks outside Latin-1: one file holds every character from U+0001 to U+00FF
    const QString nullMark(QChar(0x2400)), fieldSep(QChar(0x241F)), rowSep(QChar(0x241E));
    for (const QString &table : tables) {
        store.OpenQuery(QStringLiteral("SELECT * FROM [%1]").arg(table));
        TResultSet &rs = *store.ResultSet;
        const int count = runTool(QStringLiteral("mdb-count"), { path, table }).trimmed().toInt();
        QCOMPARE(rs.RowCount(), count);
        const QString csv = runTool(QStringLiteral("mdb-export"),
            { QStringLiteral("-Q"), QStringLiteral("-H"), QStringLiteral("-d"), fieldSep,
                QStringLiteral("-R"), rowSep, QStringLiteral("-0"), nullMark, QStringLiteral("-b"),
                QStringLiteral("hex"), QStringLiteral("-D"), QStringLiteral("%Y-%m-%d %H:%M:%S"),
                QStringLiteral("-T"), QStringLiteral("%Y-%m-%d %H:%M:%S"), path, table });
        const QStringList rows = csv.split(rowSep, Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), count);
        rs.MoveFirst();
        for (int r = 0; r < rows.size(); ++r, rs.MoveNext()) {
            QVERIFY(!rs.AtEnd());
            const QStringList fields = rows[r].split(fieldSep);
            QCOMPARE(fields.size(), rs.FieldNames().size());
            for (int c = 0; c < fields.size(); ++c) {
                const QString where
                    = QStringLiteral("%1 row %2 column %3").arg(table).arg(r + 1).arg(rs.FieldNames()[c]);
                const QString theirs = fields[c];
                const QString ours = rs.FieldTextAt(c);
                if (theirs == nullMark) {
                    QVERIFY2(rs.FieldIsNull(c), qPrintable(where));
                    continue;
                }
                bool a = false, b = false;
                const double x = theirs.toDouble(&a), y = ours.toDouble(&b);
                if (a && b)
                    QVERIFY2(qAbs(x - y) <= 1e-9 * qMax(1.0, qAbs(x)),
                        qPrintable(where + QStringLiteral(": ") + theirs + QStringLiteral(" vs ") + ours));
                else
                    QVERIFY2(theirs.compare(ours,
                                 theirs.size() > 64 && ours.size() == theirs.size() ? Qt::CaseInsensitive
                                                                                    : Qt::CaseSensitive)
                            == 0,
                        qPrintable(where + QStringLiteral(": ") + theirs.left(80) + QStringLiteral(" vs ")
                            + ours.left(80)));
            }
        }
    }
}

void tst_Store::valuesLibmdbGetsWrong_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");

    QTest::newRow("emoji outside the BMP") << "ace12-unicode-emoji.accdb"
                                           << "SELECT TestTextUncompressed AS v FROM TestText WHERE ID = 1"
                                           << QString::fromUtf8("✔️☝☝🏾");
    QTest::newRow("emoji in a compressed memo") << "ace12-unicode-emoji.accdb"
                                                << "SELECT TestMemoCompressed AS v FROM TestText WHERE ID = 1"
                                                << QString::fromUtf8("✔️☝☝🏾");
    QTest::newRow("jet3 text is GBK") << "jet3-gbk.mdb"
                                      << "SELECT field1 AS v FROM table1" << QString::fromUtf8("GBK编码");
    QTest::newRow("jet3 latin-1 accents")
        << "jet3-northwind.mdb"
        << "SELECT CompanyName AS v FROM Customers WHERE CustomerID = 'FRANS'"
        << QString::fromUtf8("Franchi S.p.A.");
    QTest::newRow("memo over several long-value pages") << "ace12-longtext.accdb"
                                                        << "SELECT Len(LongText) AS v FROM Table1"
                                                        << "5000";
    QTest::newRow("compressed cjk text")
        << "jet4-unicode-comp.mdb"
        << "SELECT [Unicode] AS v FROM [Table] WHERE ID = 5" << QString::fromUtf8("漢字仮名交じり文");
}

void tst_Store::valuesLibmdbGetsWrong()
{
    REQUIRE_CORPUS();
    QFETCH(QString, file);
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    TAdoBuilder store(corpusFile(file));
    store.Connect();
    store.OpenQuery(sql);
    QCOMPARE(store.ResultSet->RowCount(), 1);
    QCOMPARE(store.ResultSet->FieldText(QStringLiteral("v")), expected);
}

void tst_Store::columnTypes_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("integer");

    const QString memo = QStringLiteral("jet4-cjk-memo-ole.mdb");
    const QString nwind = QStringLiteral("jet3-northwind.mdb");
    QTest::newRow("long integer") << memo << "SELECT NumberField AS v FROM Table1 WHERE ID = 1"
                                  << "3" << 3;
    QTest::newRow("text") << memo << "SELECT ShortTextField AS v FROM Table1 WHERE ID = 2"
                          << "普林斯顿大学" << -1;
    QTest::newRow("currency") << memo << "SELECT CurrencyField AS v FROM Table1 WHERE ID = 1"
                              << "6.23" << 6;
    QTest::newRow("date/time") << memo << "SELECT DateField AS v FROM Table1 WHERE ID = 1"
                               << "2015-06-24 00:00:00" << -1;
    QTest::newRow("boolean true") << memo << "SELECT YesNoField AS v FROM Table1 WHERE ID = 1"
                                  << "1" << 1;
    QTest::newRow("boolean false") << memo << "SELECT YesNoField AS v FROM Table1 WHERE ID = 2"
                                   << "0" << 0;
    QTest::newRow("inline memo") << memo << "SELECT PlainTextMemo AS v FROM Table1 WHERE ID = 1"
                                 << "red and brown" << -1;
    QTest::newRow("short integer") << nwind << "SELECT UnitsInStock AS v FROM Products WHERE ProductID = 2"
                                   << "17" << 17;
    QTest::newRow("single")
        << nwind << "SELECT Discount AS v FROM [Order Details] WHERE OrderID = 10250 AND ProductID = 51"
        << "0.150000005960464" << 0;
    QTest::newRow("double") << "jet4-msproject-wide.mdb"
                            << "SELECT PROJ_OPT_MINUTES_PER_DAY * 1.0 AS v FROM MSP_PROJECTS"
                            << "480" << 480;
    QTest::newRow("memo longer than a page")
        << nwind << "SELECT Length(Notes) > 400 AS v FROM Employees WHERE EmployeeID = 5"
        << "1" << 1;
}

void tst_Store::columnTypes()
{
    REQUIRE_CORPUS();
    QFETCH(QString, file);
    QFETCH(QString, sql);
    QFETCH(QString, text);
    QFETCH(int, integer);
    TAdoBuilder store(corpusFile(file));
    store.Connect();
    store.OpenQuery(sql);
    QCOMPARE(store.ResultSet->RowCount(), 1);
    QCOMPARE(store.ResultSet->FieldText(QStringLiteral("v")), text);
    if (integer >= 0)
        QCOMPARE(store.ResultSet->FieldInteger(QStringLiteral("v")), integer);
}

void tst_Store::nullReadsAsEmptyOrZero()
{
    REQUIRE_CORPUS();
    TAdoBuilder store(corpusFile(QStringLiteral("jet4-cjk-memo-ole.mdb")));
    store.Connect();
    store.OpenQuery(QStringLiteral("SELECT DateField, PlainTextMemo, OLEObject FROM Table1 WHERE ID = 2"));
    TResultSet &rs = *store.ResultSet;
    QCOMPARE(rs.RowCount(), 1);
    for (const QString &name : rs.FieldNames()) {
        QCOMPARE(rs.FieldText(name), QString());
        QCOMPARE(rs.FieldInteger(name), 0);
    }
}

void tst_Store::columnNamesIgnoreCase()
{
    REQUIRE_CORPUS();
    TAdoBuilder store(corpusFile(QStringLiteral("jet4-cjk-memo-ole.mdb")));
    store.Connect();
    store.OpenQuery(QStringLiteral("SELECT [ID], ShortTextField AS Title FROM Table1 WHERE ID = 1"));
    QCOMPARE(store.ResultSet->FieldNames(), QStringList({ QStringLiteral("ID"), QStringLiteral("Title") }));
    QCOMPARE(store.ResultSet->FieldText(QStringLiteral("title")), QStringLiteral("the quick"));
    QCOMPARE(store.ResultSet->FieldText(QStringLiteral("TITLE")), QStringLiteral("the quick"));
    QCOMPARE(store.ResultSet->FieldInteger(QStringLiteral("id")), 1);
}

void tst_Store::unknownColumnIsNamed()
{
    REQUIRE_CORPUS();
    TAdoBuilder store(corpusFile(QStringLiteral("jet4-cjk-memo-ole.mdb")));
    store.Connect();
    store.OpenQuery(QStringLiteral("SELECT ID FROM Table1"));
    try {
        store.ResultSet->FieldText(QStringLiteral("ClassID"));
        QFAIL("an unknown column was read");
    } catch (const EPlumaretError &e) {
        QVERIFY2(e.message().contains(QLatin1String("ClassID")), qPrintable(e.message()));
    }
    QVERIFY_THROWS_EXCEPTION(EPlumaretError, store.ResultSet->FieldInteger(QStringLiteral("nothing")));
}

void tst_Store::cursorWalk()
{
    REQUIRE_CORPUS();
    TAdoBuilder store(corpusFile(QStringLiteral("jet4-512rows.mdb")));
    store.Connect();
    store.OpenQuery(QStringLiteral("SELECT TOP 3 CD_AGENTE FROM Table1 ORDER BY CD_AGENTE"));
    TResultSet &rs = *store.ResultSet;
    QVERIFY(!rs.ResultIsEmpty());
    QCOMPARE(rs.RowCount(), 3);
    QStringList first;
    int expectedRow = 1;
    for (rs.MoveFirst(); !rs.AtEnd(); rs.MoveNext()) {
        QCOMPARE(rs.RowNumber(), expectedRow++);
        first << rs.FieldText(QStringLiteral("cd_agente"));
    }
    QCOMPARE(expectedRow, 4);
    QStringList sorted = first;
    sorted.sort(Qt::CaseInsensitive);
    QCOMPARE(first, sorted);
    rs.MoveFirst();
    QVERIFY(!rs.AtEnd());
    QCOMPARE(rs.RowNumber(), 1);
    QCOMPARE(rs.FieldText(QStringLiteral("CD_AGENTE")), first.first());
}

void tst_Store::emptyResult()
{
    REQUIRE_CORPUS();
    TAdoBuilder store(corpusFile(QStringLiteral("jet4-512rows.mdb")));
    store.Connect();
    store.OpenQuery(QStringLiteral("SELECT CD_AGENTE FROM Table1 WHERE CD_AGENTE = 'no such agent'"));
    TResultSet &rs = *store.ResultSet;
    QVERIFY(rs.ResultIsEmpty());
    QVERIFY(rs.AtEnd());
    rs.MoveFirst();
    QVERIFY(rs.AtEnd());
    QCOMPARE(rs.RowCount(), 0);
    QCOMPARE(rs.FieldNames(), QStringList(QStringLiteral("CD_AGENTE")));
    QVERIFY_THROWS_EXCEPTION(EPlumaretError, rs.FieldText(QStringLiteral("CD_AGENTE")));
}

void tst_Store::newQueryEndsPrevious()
{
    REQUIRE_CORPUS();
    TAdoBuilder store(corpusFile(QStringLiteral("jet4-512rows.mdb")));
    store.Connect();
    TResultSet &rs = *store.ResultSet;
    store.OpenQuery(QStringLiteral("SELECT CD_AGENTE FROM Table1"));
    QCOMPARE(rs.RowCount(), 512);
    rs.MoveNext();
    store.OpenQuery(QStringLiteral("SELECT TOP 2 RS_AGENTE FROM Table1"));
    QCOMPARE(rs.RowCount(), 2);
    QCOMPARE(rs.RowNumber(), 1);
    QVERIFY_THROWS_EXCEPTION(EPlumaretError, rs.FieldText(QStringLiteral("CD_AGENTE")));
    // a failing text ends the previous result too
    QVERIFY_THROWS_EXCEPTION(EPlumaretError, store.OpenQuery(QStringLiteral("SELECT nothing FROM Table1")));
    QVERIFY(rs.ResultIsEmpty());
    QVERIFY(rs.AtEnd());
}

void tst_Store::engineErrors_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing table") << "SELECT id FROM LoveWord"
                                   << "no such table: LoveWord";
    QTest::newRow("missing column") << "SELECT ClassID FROM Table1"
                                    << "no such column: ClassID";
    QTest::newRow("bad syntax") << "SELECT FROM WHERE"
                                << "syntax error";
    QTest::newRow("unknown function") << "SELECT Foo(1) FROM Table1"
                                      << "no such function: Foo";
    QTest::newRow("writing is refused") << "DELETE FROM Table1"
                                        << "只读";
}

void tst_Store::engineErrors()
{
    REQUIRE_CORPUS();
    QFETCH(QString, sql);
    QFETCH(QString, message);
    TAdoBuilder store(corpusFile(QStringLiteral("jet4-512rows.mdb")));
    store.Connect();
    try {
        store.OpenQuery(sql);
        QFAIL("the engine accepted a bad text");
    } catch (const EPlumaretError &e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
    }
    store.OpenQuery(QStringLiteral("SELECT COUNT(*) AS n FROM Table1"));
    QCOMPARE(store.ResultSet->FieldInteger(QStringLiteral("n")), 512);
}

void tst_Store::rndIsFreshAtEveryCall()
{
    REQUIRE_CORPUS();
    TAdoBuilder store(corpusFile(QStringLiteral("jet4-512rows.mdb")));
    store.Connect();
    store.OpenQuery(QStringLiteral("SELECT Rnd() AS a, Rnd(5) AS b, Rnd(-1) AS c, Time() AS t FROM Table1"));
    TResultSet &rs = *store.ResultSet;
    QSet<QString> seen;
    for (rs.MoveFirst(); !rs.AtEnd(); rs.MoveNext()) {
        for (const char *col : { "a", "b", "c", "t" }) {
            const double v = rs.FieldText(QLatin1String(col)).toDouble();
            QVERIFY2(v >= 0.0 && v < 1.0, col);
        }
        seen << rs.FieldText(QStringLiteral("a")) << rs.FieldText(QStringLiteral("b"))
             << rs.FieldText(QStringLiteral("c"));
    }
    // 1536 draws from 2^53 values: a repeat means the calls were not fresh
    QCOMPARE(seen.size(), 3 * 512);
}

void tst_Store::topPicksInRandomOrder()
{
    REQUIRE_CORPUS();
    TAdoBuilder store(corpusFile(QStringLiteral("jet4-512rows.mdb")));
    store.Connect();
    QSet<QString> orders;
    for (int run = 0; run < 5; ++run) {
        store.OpenQuery(QStringLiteral(
            "SELECT TOP 10 CD_AGENTE FROM Table1 ORDER BY Rnd(Len(CD_AGENTE) - Time() * Rnd() * 100)"));
        QCOMPARE(store.ResultSet->RowCount(), 10);
        QStringList order;
        for (store.ResultSet->MoveFirst(); !store.ResultSet->AtEnd(); store.ResultSet->MoveNext())
            order << store.ResultSet->FieldText(QStringLiteral("CD_AGENTE"));
        orders << order.join(QLatin1Char(','));
    }
    QVERIFY(orders.size() > 1);
}

void tst_Store::randomPickKeepsFilterAndCount_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("minimumProduct"); // every row must have ProductID >= this

    QTest::newRow("top below the matching rows")
        << "SELECT TOP 100 OrderID, ProductID FROM [Order Details] WHERE ProductID >= 70 ORDER BY "
           "Rnd(OrderID - Time() * OrderID * Rnd() * 100)"
        << 100 << 70;
    QTest::newRow("top above the matching rows") << "SELECT TOP 1000 OrderID, ProductID FROM [Order Details] "
                                                    "WHERE ProductID = 77 ORDER BY Rnd(OrderID)"
                                                 << 0 << 77;
    QTest::newRow("no top: every row")
        << "SELECT OrderID, ProductID FROM [Order Details] ORDER BY Rnd()" << 2155 << 1;
    QTest::newRow("top 0") << "SELECT TOP 0 OrderID, ProductID FROM [Order Details] ORDER BY Rnd()" << 0 << 1;
}

// The random sample must be a sample of the matching rows: right count, no repeats, filter kept.
void tst_Store::randomPickKeepsFilterAndCount()
{
    REQUIRE_CORPUS();
    QFETCH(QString, sql);
    QFETCH(int, rows);
    QFETCH(int, minimumProduct);
    TAdoBuilder store(corpusFile(QStringLiteral("jet3-northwind.mdb")));
    store.Connect();
    if (rows == 0 && sql.contains(QLatin1String("TOP 1000"))) {
        store.OpenQuery(QStringLiteral("SELECT COUNT(*) AS n FROM [Order Details] WHERE ProductID = 77"));
        rows = store.ResultSet->FieldInteger(QStringLiteral("n"));
        QVERIFY(rows > 0);
    }
    for (int run = 0; run < 3; ++run) {
        store.OpenQuery(sql);
        TResultSet &rs = *store.ResultSet;
        QCOMPARE(rs.RowCount(), rows);
        QCOMPARE(rs.FieldNames(), QStringList({ QStringLiteral("OrderID"), QStringLiteral("ProductID") }));
        QSet<QString> seen;
        for (rs.MoveFirst(); !rs.AtEnd(); rs.MoveNext()) {
            QVERIFY(rs.FieldInteger(QStringLiteral("productid")) >= minimumProduct);
            seen << rs.FieldText(QStringLiteral("OrderID")) + QLatin1Char('/')
                    + rs.FieldText(QStringLiteral("ProductID"));
        }
        QCOMPARE(seen.size(), rows);
    }
}

void tst_Store::queryBeforeConnect()
{
    TAdoBuilder store(QStringLiteral("does-not-matter.mdb"));
    QVERIFY_THROWS_EXCEPTION(EPlumaretError, store.OpenQuery(QStringLiteral("SELECT 1")));
    QVERIFY(store.ResultSet->ResultIsEmpty());
}

QTEST_GUILESS_MAIN(tst_Store)
#include "tst_store.moc"
