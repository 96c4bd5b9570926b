// The writer's text encoding and its refusals, and the phrase-book source reader.
#include "JetWriter.h"
#include "PhraseBookSource.h"
#include "PlumaretError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using jet::ColumnType;

class tst_JetWriter : public QObject
{
    Q_OBJECT

private slots:
    void encodeText_data();
    void encodeText();
    void refusesWhatJetCannotStore_data();
    void refusesWhatJetCannotStore();
    void writesWholePagesWithJet4Header();
    void reportsWriteFailure();
    void parsesValues_data();
    void parsesValues();
    void reportsFileAndLine_data();
    void reportsFileAndLine();
    void readsFolderInNameOrder();
    void refusesFolderWithoutTables();
};

static QByteArray hex(const char *h)
{
    return QByteArray::fromHex(h);
}

void tst_JetWriter::encodeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("allowCompression");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("latin compressed") << u"hello"_qs << true << hex("fffe68656c6c6f");
    QTest::newRow("compression not wanted") << u"hello"_qs << false << hex("680065006c006c006f00");
    QTest::newRow("two characters gain nothing") << u"hi"_qs << true << hex("68006900");
    QTest::newRow("chinese stays UCS-2") << u"你好世界"_qs << true << hex("604f7d59164e4c75");
    QTest::newRow("mixed text switches modes") << u"abc你好defg"_qs << true
                                               << hex("fffe616263"
                                                      "00604f7d59"
                                                      "0064656667");
    QTest::newRow("short latin run stays wide") << u"你好ab你好cdefg"_qs << true
                                                << hex("fffe00604f7d5961006200604f7d59"
                                                       "006364656667");
    QTest::newRow("wide character inside latin") << u"I ❤ you"_qs << true
                                                 << hex("fffe4920"
                                                        "006427"
                                                        "0020796f75");
    QTest::newRow("low byte zero cannot be compressed")
        << u"abc一def"_qs << true << hex("610062006300004e640065006600");
    QTest::newRow("emoji with low byte zero")
        << u"smile 😀"_qs << true << hex("73006d0069006c00650020003dd800de");
    QTest::newRow("empty") << QString() << true << QByteArray();
}

void tst_JetWriter::encodeText()
{
    QFETCH(QString, text);
    QFETCH(bool, allowCompression);
    QFETCH(QByteArray, bytes);
    QCOMPARE(jet::encodeText(text, allowCompression).toHex(), bytes.toHex());
}

void tst_JetWriter::refusesWhatJetCannotStore_data()
{
    QTest::addColumn<jet::Table>("table");
    QTest::addColumn<QString>("message");

    const QList<jet::Column> idText { { u"id"_qs, ColumnType::Long, 255 },
        { u"title"_qs, ColumnType::Text, 5 } };
    auto table = [&](const QList<QVariantList> &rows) { return jet::Table { u"T"_qs, idText, rows }; };

    QTest::newRow("text longer than its column")
        << table({ { 1, u"123456"_qs } })
        << u"table T, row 1: column title: 6 characters, the column holds at most 5"_qs;
    QTest::newRow("long out of range")
        << table({ { 1, u"a"_qs }, { qlonglong(2147483648LL), u"b"_qs } })
        << u"table T, row 2: column id: \"2147483648\" is not a long integer"_qs;
    QTest::newRow("long not a number")
        << table({ { u"x1"_qs, u"a"_qs } }) << u"\"x1\" is not a long integer"_qs;
    QTest::newRow("value count") << table({ { 1 } }) << u"table T, row 1: 1 values for 2 columns"_qs;
    QTest::newRow("column named twice") << jet::Table { u"T"_qs,
        { { u"id"_qs, ColumnType::Long, 255 }, { u"ID"_qs, ColumnType::Text, 255 } }, {} }
                                        << u"table \"T\": column \"ID\" is given twice"_qs;
    QTest::newRow("no columns") << jet::Table { u"T"_qs, {}, {} } << u"table \"T\" has no columns"_qs;
    QTest::newRow("reserved table name")
        << jet::Table { u"MSysThings"_qs, idText, {} } << u"names starting with MSys are reserved"_qs;
    QTest::newRow("bracket in a name")
        << jet::Table { u"T[1]"_qs, idText, {} } << u"a character Jet refuses"_qs;
    QTest::newRow("text length out of range") << jet::Table { u"T"_qs, { { u"t"_qs, ColumnType::Text, 256 } },
        {} } << u"text holds 1 to 255 characters"_qs;

    QList<jet::Column> wide;
    QVariantList wideRow;
    for (int i = 0; i < 9; ++i) {
        wide.append({ u"c%1"_qs.arg(i), ColumnType::Text, 255 });
        wideRow.append(QString(255, QChar(0x7231)));
    }
    QTest::newRow("row larger than a page")
        << jet::Table { u"T"_qs, wide, { wideRow } } << u"table T, row 1: the row takes"_qs;
}

void tst_JetWriter::refusesWhatJetCannotStore()
{
    QFETCH(jet::Table, table);
    QFETCH(QString, message);
    jet::Writer writer;
    try {
        writer.addTable(table);
        QFAIL("the table was accepted");
    } catch (const EPlumaretError &e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
    }
    QVERIFY(writer.tables().isEmpty());
}

void tst_JetWriter::writesWholePagesWithJet4Header()
{
    jet::Writer writer;
    writer.addTable({ u"T"_qs, { { u"id"_qs, ColumnType::Long, 255 } }, { { 1 }, { 2 } } });
    QVERIFY_THROWS_EXCEPTION(
        EPlumaretError, writer.addTable({ u"t"_qs, { { u"id"_qs, ColumnType::Long, 255 } }, {} }));
    const QByteArray file = writer.toBytes();
    QVERIFY(!file.isEmpty());
    QCOMPARE(file.size() % 4096, 0);
    QCOMPARE(file.mid(0, 20), QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20));
    QCOMPARE(int(file.at(0x14)), 1); // Jet 4
    QCOMPARE(int(file.at(2 * 4096)), 2); // the catalog's table definition
}

void tst_JetWriter::reportsWriteFailure()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    jet::Writer writer;
    writer.addTable({ u"T"_qs, { { u"id"_qs, ColumnType::Long, 255 } }, { { 1 } } });
    const QString target = dir.filePath(u"missing/folder/db.mdb"_qs);
    try {
        writer.write(target);
        QFAIL("writing into a missing folder succeeded");
    } catch (const EPlumaretError &e) {
        QVERIFY2(e.message().startsWith(u"cannot write %1: "_qs.arg(QDir::toNativeSeparators(target))),
            qPrintable(e.message()));
    }
    QVERIFY(!QFile::exists(target));
}

void tst_JetWriter::parsesValues_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QList<jet::Column>>("columns");
    QTest::addColumn<QList<QVariantList>>("rows");

    const QList<jet::Column> idText { { u"id"_qs, ColumnType::Long, 255 },
        { u"t"_qs, ColumnType::Text, 255 } };
    QTest::newRow("escapes") << QByteArray("id:long\tt:text\n1\ta\\tb\\nc\\rd\\\\e\\\\N\n") << idText
                             << QList<QVariantList> { { 1, u"a\tb\nc\rd\\e\\N"_qs } };
    QTest::newRow("NULL and empty") << QByteArray("id:long\tt:text\n\\N\t\n-5\t\\N\n") << idText
                                    << QList<QVariantList> { { QVariant(), u""_qs }, { -5, QVariant() } };
    QTest::newRow("comments, blank lines, BOM, CR LF")
        << QByteArray("\xEF\xBB\xBF# c\r\n\r\nid:long\tt:text\r\n# c\r\n7\t爱\r\n") << idText
        << QList<QVariantList> { { 7, u"爱"_qs } };
    QTest::newRow("block joined with CR LF")
        << QByteArray("id:long\tt:memo\n1\t<<<\n# kept\n\\t kept\n\n>>>\n2\tx\n")
        << QList<jet::Column> { { u"id"_qs, ColumnType::Long, 255 }, { u"t"_qs, ColumnType::Memo, 255 } }
        << QList<QVariantList> { { 1, u"# kept\r\n\\t kept\r\n"_qs }, { 2, u"x"_qs } };
    QTest::newRow("text(N)") << QByteArray("t:text(3)\nabc\n")
                             << QList<jet::Column> { { u"t"_qs, ColumnType::Text, 3 } }
                             << QList<QVariantList> { { u"abc"_qs } };
}

void tst_JetWriter::parsesValues()
{
    QFETCH(QByteArray, content);
    QFETCH(QList<jet::Column>, columns);
    QFETCH(QList<QVariantList>, rows);
    const jet::Table table = phrasebook::parseTable(u"T"_qs, content, u"T.tsv"_qs);
    QCOMPARE(table.name, u"T"_qs);
    QCOMPARE(table.columns.size(), columns.size());
    for (qsizetype i = 0; i < columns.size(); ++i) {
        QCOMPARE(table.columns.at(i).name, columns.at(i).name);
        QCOMPARE(int(table.columns.at(i).type), int(columns.at(i).type));
        QCOMPARE(table.columns.at(i).maxLength, columns.at(i).maxLength);
    }
    QCOMPARE(table.rows.size(), rows.size());
    for (qsizetype r = 0; r < rows.size(); ++r) {
        for (qsizetype c = 0; c < columns.size(); ++c) {
            const QVariant got = table.rows.at(r).at(c);
            const QVariant want = rows.at(r).at(c);
            QCOMPARE(got.isNull(), want.isNull());
            QCOMPARE(got.toString(), want.toString());
        }
    }
}

void tst_JetWriter::reportsFileAndLine_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");

    QTest::newRow("no header") << QByteArray("# only a comment\n") << u"T.tsv:1: no header line"_qs;
    QTest::newRow("unknown type") << QByteArray("# c\nid:integer\n")
                                  << u"T.tsv:2: column \"id:integer\" is not"_qs;
    QTest::newRow("missing type") << QByteArray("id\n") << u"T.tsv:1: column \"id\" is not name:type"_qs;
    QTest::newRow("text(0)") << QByteArray("t:text(0)\n") << u"T.tsv:1: column \"t\": text(N) takes N"_qs;
    QTest::newRow("text(256)") << QByteArray("t:text(256)\n") << u"T.tsv:1: column \"t\": text(N) takes N"_qs;
    QTest::newRow("column named twice")
        << QByteArray("a:long\tA:text\n") << u"T.tsv:1: column \"A\" is named twice"_qs;
    QTest::newRow("too few fields") << QByteArray("a:long\tb:text\n1\tx\n2\n")
                                    << u"T.tsv:3: 1 fields, the header names 2 columns"_qs;
    QTest::newRow("too many fields") << QByteArray("a:long\n1\t2\n") << u"T.tsv:2: 2 fields"_qs;
    QTest::newRow("long not a number")
        << QByteArray("a:long\n12x\n") << u"T.tsv:2: column \"a\": \"12x\" is not"_qs;
    QTest::newRow("long overflow") << QByteArray("a:long\n2147483648\n") << u"T.tsv:2: column \"a\""_qs;
    QTest::newRow("empty long") << QByteArray("a:long\tb:text\n\tx\n")
                                << u"T.tsv:2: column \"a\": \"\" is not"_qs;
    QTest::newRow("unknown escape") << QByteArray("t:text\nC:\\path\n") << u"T.tsv:2: unknown escape \\p"_qs;
    QTest::newRow("backslash at the end") << QByteArray("t:text\nend\\\n") << u"T.tsv:2: a backslash ends"_qs;
    QTest::newRow("open block") << QByteArray("a:long\tt:memo\n1\t<<<\nline\n\n")
                                << u"T.tsv:2: the block started here has no closing line"_qs;
    QTest::newRow("error after a block counts block lines")
        << QByteArray("a:long\tt:memo\n1\t<<<\nx\ny\n>>>\nz\tw\n") << u"T.tsv:6: column \"a\": \"z\""_qs;
    QTest::newRow("invalid UTF-8") << QByteArray("t:text\nok\n\xC3\x28\n")
                                   << u"T.tsv:3: the line is not valid UTF-8"_qs;
    QTest::newRow("text too long") << QByteArray("t:text(2)\nabc\n")
                                   << u"T.tsv:2: column \"t\": 3 characters"_qs;
}

void tst_JetWriter::reportsFileAndLine()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    try {
        phrasebook::parseTable(u"T"_qs, content, u"T.tsv"_qs);
        QFAIL("the source was accepted");
    } catch (const EPlumaretError &e) {
        QVERIFY2(e.message().startsWith(message), qPrintable(e.message()));
    }
}

void tst_JetWriter::readsFolderInNameOrder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const char *name : { "b.tsv", "a.tsv", "notes.txt" }) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x:long\n1\n");
    }
    const QList<jet::Table> tables = phrasebook::readFolder(dir.path());
    QCOMPARE(tables.size(), 2);
    QCOMPARE(tables.at(0).name, u"a"_qs);
    QCOMPARE(tables.at(1).name, u"b"_qs);
}

void tst_JetWriter::refusesFolderWithoutTables()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY_THROWS_EXCEPTION(EPlumaretError, phrasebook::readFolder(dir.path()));
    QVERIFY_THROWS_EXCEPTION(EPlumaretError, phrasebook::readFolder(dir.filePath(u"missing"_qs)));
}

QTEST_GUILESS_MAIN(tst_JetWriter)
#include "tst_jetwriter.moc"
