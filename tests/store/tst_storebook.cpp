// The phrase store over phrase books written by our Jet writer: values of every kind the writer
// stores arrive whole, a password is refused, and the program's five SQL texts work.
#include "JetWriter.h"
#include "PlumaretError.h"
#include "RepeatedText.h"
#include "StorePreload.h"
#include "uDataBase.h"

#include <QtTest>

namespace {

const QString ConnectFailed = QStringLiteral("连接数据库失败，程序将退出");
const QString MissingFile = QStringLiteral("找不到数据库文件，程序将退出");

const QString AutoQuery = QStringLiteral("SELECT TOP %1 id, title FROM LoveWord  WHERE ClassID not in(2, 3, "
                                         "4, 5, 6, 15)  ORDER BY Rnd(id - Time() * id * Rnd() * 100)");
const QString FramingQuery = QStringLiteral("select top 1 Title from CommonLanguage where TYPE = ");
const QString RandomOrder = QStringLiteral(" ORDER BY Rnd(id - Time() * id * Rnd() * 100)");
const QString ClassQuery = QStringLiteral("select classID, Title from LoveWordClass");
const QString ClassPhrasesQuery
    = QStringLiteral("SELECT [ID], ClassID, Title FROM LoveWord WHERE ClassID = ");
const QString TemplateQuery = QStringLiteral("SELECT [ID], [TITLE], [TEXT] FROM Template");

// A small phrase book: 20 classes, 40 phrases (two per class), framing phrases, templates.
jet::Writer smallBook()
{
    jet::Writer w;
    w.setCreationTime(QDateTime(QDate(2024, 6, 1), QTime(12, 0)));
    jet::Table classes { QStringLiteral("LoveWordClass"),
        { { QStringLiteral("classID"), jet::ColumnType::Long },
            { QStringLiteral("Title"), jet::ColumnType::Text, 50 } },
        {} };
    jet::Table words { QStringLiteral("LoveWord"),
        { { QStringLiteral("id"), jet::ColumnType::Long },
            { QStringLiteral("title"), jet::ColumnType::Text, 255 },
            { QStringLiteral("ClassID"), jet::ColumnType::Long } },
        {} };
    for (int c = 1; c <= 20; ++c) {
        classes.rows.append({ c, QStringLiteral("类别%1").arg(c) });
        words.rows.append({ 2 * c - 1, QStringLiteral("第%1类的第一句").arg(c), c });
        words.rows.append({ 2 * c, QStringLiteral("第%1类的第二句").arg(c), c });
    }
    w.addTable(classes);
    w.addTable(words);
    jet::Table common { QStringLiteral("CommonLanguage"),
        { { QStringLiteral("id"), jet::ColumnType::Long },
            { QStringLiteral("Title"), jet::ColumnType::Text, 255 },
            { QStringLiteral("TYPE"), jet::ColumnType::Long } },
        {} };
    for (int i = 0; i < 9; ++i)
        common.rows.append({ i + 1, QStringLiteral("类型%1的第%2句").arg(i % 3).arg(i / 3), i % 3 });
    w.addTable(common);
    jet::Table templates { QStringLiteral("Template"),
        { { QStringLiteral("ID"), jet::ColumnType::Long },
            { QStringLiteral("TITLE"), jet::ColumnType::Text, 100 },
            { QStringLiteral("TEXT"), jet::ColumnType::Memo } },
        {} };
    templates.rows.append({ 1, QStringLiteral("短信"), QStringLiteral("亲爱的，") });
    templates.rows.append({ 2, QStringLiteral("长信"), RepeatedText(QStringLiteral("我想你了。"), 30000) });
    templates.rows.append({ 3, QVariant(), QVariant() });
    w.addTable(templates);
    return w;
}

} // namespace

class tst_StoreBook : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void valuesArriveWhole_data();
    void valuesArriveWhole();
    void passwordIsRefused();
    void timeLimitEndsARead();
    void readsDbDllFromCurrentDirectoryUnchanged();
    void autoWritingText();
    void framingText_data();
    void framingText();
    void classTexts();
    void templateText();
    void testBookFromTheBuild();
    void preloadOnlyServesTheUnchangedFile_data();
    void preloadOnlyServesTheUnchangedFile();

private:
    QString writeBook(const jet::Writer &w);
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_StoreBook::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_StoreBook::cleanup()
{
    m_dir.reset();
}

QString tst_StoreBook::writeBook(const jet::Writer &w)
{
    const QString path = m_dir->filePath(QStringLiteral("book.mdb"));
    w.write(path);
    return path;
}

void tst_StoreBook::valuesArriveWhole_data()
{
    QTest::addColumn<int>("type"); // jet::ColumnType
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text"); // how FieldText shows it; empty: value.toString()

    const int text = int(jet::ColumnType::Text), memo = int(jet::ColumnType::Memo),
              lng = int(jet::ColumnType::Long);
    QTest::newRow("compressible latin-1 text")
        << text << QVariant(QStringLiteral("Grüße, ma chérie")) << QString();
    QTest::newRow("chinese text") << text << QVariant(QStringLiteral("执子之手，与子偕老")) << QString();
    QTest::newRow("emoji in text") << text << QVariant(QStringLiteral("爱你\U0001F496\U0001F339"))
                                   << QString();
    QTest::newRow("mixed text") << text << QVariant(QStringLiteral("abc爱def情ghi")) << QString();
    QTest::newRow("255 characters") << text << QVariant(RepeatedText(QStringLiteral("心"), 255)) << QString();
    QTest::newRow("null text") << text << QVariant() << QString();
    QTest::newRow("inline memo") << memo << QVariant(QStringLiteral("短短一句")) << QString();
    QTest::newRow("single-page memo")
        << memo << QVariant(RepeatedText(QStringLiteral("长相思，"), 1500)) << QString();
    QTest::newRow("100 kB memo beyond libmdb's bind size")
        << memo << QVariant(RepeatedText(QStringLiteral("山无棱，天地合，乃敢与君绝。"), 51200)) << QString();
    QTest::newRow("compressible long memo")
        << memo << QVariant(RepeatedText(QStringLiteral("forever and ever "), 40000)) << QString();
    QTest::newRow("emoji in a long memo")
        << memo << QVariant(RepeatedText(QStringLiteral("\U0001F496情"), 9000)) << QString();
    QTest::newRow("null memo") << memo << QVariant() << QString();
    QTest::newRow("negative long") << lng << QVariant(-2147483647 - 1) << QString();
    QTest::newRow("largest long") << lng << QVariant(2147483647) << QString();
    QTest::newRow("null long") << lng << QVariant() << QString();
    QTest::newRow("short integer") << int(jet::ColumnType::Integer) << QVariant(-1234) << QString();
    QTest::newRow("date and time") << int(jet::ColumnType::DateTime)
                                   << QVariant(QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58)))
                                   << "2024-02-29 23:59:58";
    QTest::newRow("binary") << int(jet::ColumnType::Binary) << QVariant(QByteArray("\x01\xfe\x00z", 4))
                            << "01fe007a";
}

void tst_StoreBook::valuesArriveWhole()
{
    QFETCH(int, type);
    QFETCH(QVariant, value);
    QFETCH(QString, text);
    jet::Writer w;
    w.addTable({ QStringLiteral("T"),
        { { QStringLiteral("id"), jet::ColumnType::Long },
            { QStringLiteral("v"), jet::ColumnType(type), 255 } },
        { { 1, value }, { 2, QVariant() } } });
    TAdoBuilder store(writeBook(w));
    store.Connect();
    store.OpenQuery(QStringLiteral("SELECT v FROM T WHERE id = 1"));
    TResultSet &rs = *store.ResultSet;
    QCOMPARE(rs.RowCount(), 1);
    if (value.isNull()) {
        QVERIFY(rs.FieldIsNull(0));
        QCOMPARE(rs.FieldText(QStringLiteral("v")), QString());
    } else {
        QCOMPARE(rs.FieldText(QStringLiteral("v")), text.isEmpty() ? value.toString() : text);
    }
    if (type == int(jet::ColumnType::Long) || type == int(jet::ColumnType::Integer))
        QCOMPARE(rs.FieldInteger(QStringLiteral("V")), value.toInt());
}

void tst_StoreBook::passwordIsRefused()
{
    jet::Writer w = smallBook();
    w.setDatabasePassword(QStringLiteral("secret"));
    TAdoBuilder store(writeBook(w));
    try {
        store.Connect();
        QFAIL("a password-protected book was opened");
    } catch (const EPlumaretError &e) {
        QCOMPARE(e.message(), ConnectFailed);
    }
}

// A read that does not finish in time (libmdb looping on a damaged file) is killed and refused.
void tst_StoreBook::timeLimitEndsARead()
{
    jet::Table t { QStringLiteral("T"), { { QStringLiteral("v"), jet::ColumnType::Memo } }, {} };
    for (int i = 0; i < 2000; ++i)
        t.rows.append({ RepeatedText(QStringLiteral("心"), 3000) });
    jet::Writer w;
    w.addTable(t);
    const QByteArray image = w.toBytes();
    TAdoBuilder store(QStringLiteral("unused"));
    try {
        store.ConnectImage(image, 1);
        QFAIL("a read over the time limit was accepted");
    } catch (const EPlumaretError &e) {
        QCOMPARE(e.message(), ConnectFailed);
    }
    QVERIFY2(
        store.LastConnectError().contains(QLatin1String("too long")), qPrintable(store.LastConnectError()));
    QVERIFY(store.TableNames().isEmpty());
    store.ConnectImage(image); // the same image within the normal limit
    store.OpenQuery(QStringLiteral("SELECT COUNT(*) AS n FROM T"));
    QCOMPARE(store.ResultSet->FieldInteger(QStringLiteral("n")), 2000);
}

void tst_StoreBook::readsDbDllFromCurrentDirectoryUnchanged()
{
    const QString path = m_dir->filePath(QStringLiteral("db.dll"));
    smallBook().write(path);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    const QDateTime modified = QFileInfo(path).lastModified();
    const QString saved = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    TAdoBuilder store;
    try {
        store.Connect();
    } catch (...) {
        QDir::setCurrent(saved);
        throw;
    }
    QDir::setCurrent(saved);
    QCOMPARE(store.TableNames(),
        QStringList({ QStringLiteral("LoveWordClass"), QStringLiteral("LoveWord"),
            QStringLiteral("CommonLanguage"), QStringLiteral("Template") }));
    f.seek(0);
    QCOMPARE(f.readAll(), before);
    QCOMPARE(QFileInfo(path).lastModified(), modified);
}

void tst_StoreBook::autoWritingText()
{
    TAdoBuilder store(writeBook(smallBook()));
    store.Connect();
    const QSet<int> excluded { 2, 3, 4, 5, 6, 15 };
    QSet<QString> orders;
    for (int count : { 1, 5, 20, 20, 20, 100 }) {
        store.OpenQuery(AutoQuery.arg(count));
        TResultSet &rs = *store.ResultSet;
        QCOMPARE(rs.RowCount(), qMin(count, 28)); // 14 allowed classes of 2 phrases
        QStringList order;
        for (rs.MoveFirst(); !rs.AtEnd(); rs.MoveNext()) {
            const int id = rs.FieldInteger(QStringLiteral("id"));
            QVERIFY2(!excluded.contains((id + 1) / 2), qPrintable(QString::number(id)));
            QVERIFY(
                rs.FieldText(QStringLiteral("Title")).startsWith(QStringLiteral("第%1类").arg((id + 1) / 2)));
            order << QString::number(id);
        }
        if (count == 20)
            orders << order.join(QLatin1Char(','));
    }
    QVERIFY2(orders.size() > 1, "three runs gave the same order");
}

void tst_StoreBook::framingText_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("salutation") << 0;
    QTest::newRow("opening") << 1;
    QTest::newRow("closing") << 2;
}

void tst_StoreBook::framingText()
{
    QFETCH(int, type);
    TAdoBuilder store(writeBook(smallBook()));
    store.Connect();
    QSet<QString> seen;
    for (int run = 0; run < 30; ++run) {
        store.OpenQuery(FramingQuery + QString::number(type) + RandomOrder);
        QCOMPARE(store.ResultSet->RowCount(), 1);
        const QString title = store.ResultSet->FieldText(QStringLiteral("title"));
        QVERIFY2(title.startsWith(QStringLiteral("类型%1").arg(type)), qPrintable(title));
        seen << title;
    }
    // three phrases of this type, thirty draws: all of them come up
    QCOMPARE(seen.size(), 3);
}

void tst_StoreBook::classTexts()
{
    TAdoBuilder store(writeBook(smallBook()));
    store.Connect();
    store.OpenQuery(ClassQuery);
    TResultSet &rs = *store.ResultSet;
    QCOMPARE(rs.RowCount(), 20);
    rs.MoveFirst();
    QCOMPARE(rs.FieldInteger(QStringLiteral("ClassID")), 1);
    QCOMPARE(rs.FieldText(QStringLiteral("title")), QStringLiteral("类别1"));
    store.OpenQuery(ClassPhrasesQuery + QStringLiteral("7"));
    QCOMPARE(rs.RowCount(), 2);
    QStringList titles;
    for (rs.MoveFirst(); !rs.AtEnd(); rs.MoveNext()) {
        QCOMPARE(rs.FieldInteger(QStringLiteral("classid")), 7);
        titles << QString::number(rs.FieldInteger(QStringLiteral("id")))
                + rs.FieldText(QStringLiteral("Title"));
    }
    QCOMPARE(titles, QStringList({ QStringLiteral("13第7类的第一句"), QStringLiteral("14第7类的第二句") }));
}

void tst_StoreBook::templateText()
{
    TAdoBuilder store(writeBook(smallBook()));
    store.Connect();
    store.OpenQuery(TemplateQuery);
    TResultSet &rs = *store.ResultSet;
    QCOMPARE(rs.RowCount(), 3);
    rs.MoveFirst();
    QCOMPARE(rs.FieldText(QStringLiteral("text")), QStringLiteral("亲爱的，"));
    rs.MoveNext();
    QCOMPARE(rs.FieldText(QStringLiteral("Text")), RepeatedText(QStringLiteral("我想你了。"), 30000));
    rs.MoveNext();
    QCOMPARE(rs.FieldInteger(QStringLiteral("id")), 3);
    QCOMPARE(rs.FieldText(QStringLiteral("TITLE")), QString());
    QCOMPARE(rs.FieldText(QStringLiteral("TEXT")), QString());
    rs.MoveNext();
    QVERIFY(rs.AtEnd());
}

// The five texts on the test phrase book the build makes from tests/ sources.
void tst_StoreBook::testBookFromTheBuild()
{
    const QString book = QStringLiteral(PLUMARET_BINARY_DIR "/tests/tools/testbook.mdb");
    if (!QFileInfo::exists(book))
        QSKIP("the test phrase book (target testbook) has not been built");
    TAdoBuilder store(book);
    store.Connect();
    TResultSet &rs = *store.ResultSet;
    store.OpenQuery(ClassQuery);
    QVERIFY(rs.RowCount() > 0);
    QSet<int> classes;
    for (rs.MoveFirst(); !rs.AtEnd(); rs.MoveNext())
        classes << rs.FieldInteger(QStringLiteral("ClassID"));
    store.OpenQuery(
        QStringLiteral("SELECT COUNT(*) AS n FROM LoveWord WHERE ClassID not in(2, 3, 4, 5, 6, 15)"));
    const int allowed = rs.FieldInteger(QStringLiteral("n"));
    QVERIFY(allowed > 1);
    const int asked = qMin(allowed, 5);
    QSet<QString> orders;
    for (int run = 0; run < 5; ++run) {
        store.OpenQuery(AutoQuery.arg(asked));
        QCOMPARE(rs.RowCount(), asked);
        QStringList ids;
        for (rs.MoveFirst(); !rs.AtEnd(); rs.MoveNext())
            ids << rs.FieldText(QStringLiteral("id"));
        orders << ids.join(QLatin1Char(','));
        // every drawn phrase is from an allowed class
        store.OpenQuery(QStringLiteral(
            "SELECT COUNT(*) AS n FROM LoveWord WHERE id in(%1) AND ClassID in(2, 3, 4, 5, 6, 15)")
                            .arg(ids.join(QLatin1Char(','))));
        QCOMPARE(rs.FieldInteger(QStringLiteral("n")), 0);
    }
    QVERIFY(orders.size() > 1);
    for (int type = 0; type < 3; ++type) {
        store.OpenQuery(FramingQuery + QString::number(type) + RandomOrder);
        QVERIFY(rs.RowCount() <= 1);
    }
    for (int c : std::as_const(classes)) {
        store.OpenQuery(ClassPhrasesQuery + QString::number(c));
        for (rs.MoveFirst(); !rs.AtEnd(); rs.MoveNext())
            QCOMPARE(rs.FieldInteger(QStringLiteral("ClassID")), c);
    }
    store.OpenQuery(TemplateQuery);
    QVERIFY(rs.RowCount() > 0);
    QCOMPARE(rs.FieldNames(),
        QStringList({ QStringLiteral("ID"), QStringLiteral("TITLE"), QStringLiteral("TEXT") }));
}

// The start-up preload reads the book before Connect is called: whatever happens to the file in
// between, Connect must report the file as it is then.
void tst_StoreBook::preloadOnlyServesTheUnchangedFile_data()
{
    QTest::addColumn<QString>("atPreload"); // book, none
    QTest::addColumn<QString>("atConnect"); // same, garbage, book, removed
    QTest::addColumn<QString>("message"); // empty: connected

    QTest::newRow("unchanged book") << "book"
                                    << "same" << QString();
    QTest::newRow("book overwritten with garbage") << "book"
                                                   << "garbage" << ConnectFailed;
    QTest::newRow("book removed") << "book"
                                  << "removed" << MissingFile;
    QTest::newRow("book appears") << "none"
                                  << "book" << QString();
    QTest::newRow("still missing") << "none"
                                   << "same" << MissingFile;
}

void tst_StoreBook::preloadOnlyServesTheUnchangedFile()
{
    QFETCH(QString, atPreload);
    QFETCH(QString, atConnect);
    QFETCH(QString, message);
    const QString path = m_dir->filePath(QStringLiteral("db.dll"));
    if (atPreload == QLatin1String("book"))
        smallBook().write(path);

    TStorePreload preload(path);
    // The read finishes first, so that a stale result would be there to be served.
    QTRY_VERIFY_WITH_TIMEOUT(preload.Finished(), 10000);
    if (atConnect == QLatin1String("garbage")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(8192, 'x'));
    } else if (atConnect == QLatin1String("book")) {
        smallBook().write(path);
    } else if (atConnect == QLatin1String("removed")) {
        QVERIFY(QFile::remove(path));
    }

    TAdoBuilder store(path);
    QString error;
    try {
        store.Connect();
    } catch (const EPlumaretError &e) {
        error = e.message();
    }
    QCOMPARE(error, message);
    if (message.isEmpty()) {
        QCOMPARE(store.TableNames().size(), 4);
        // Taken once: a second store reads the file itself.
        TAdoBuilder again(path);
        again.Connect();
        again.OpenQuery(QStringLiteral("SELECT COUNT(*) AS n FROM LoveWord"));
        QCOMPARE(again.ResultSet->FieldInteger(QStringLiteral("n")), 40);
    }
}

QTEST_GUILESS_MAIN(tst_StoreBook)
#include "tst_storebook.moc"
