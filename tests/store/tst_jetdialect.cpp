// The Jet-dialect adapter and the Jet text decoding, which need no database file.
#include "JetDialect.h"
#include "JetReader.h"

#include <QtTest>

class tst_JetDialect : public QObject
{
    Q_OBJECT

private slots:
    void translate_data();
    void translate();
    void jet4Text_data();
    void jet4Text();
    void randomPick_data();
    void randomPick();
};

void tst_JetDialect::translate_data()
{
    QTest::addColumn<QString>("jet");
    QTest::addColumn<QString>("sqlite");

    QTest::newRow("automatic writing text")
        << "SELECT TOP 20 id, title FROM LoveWord  WHERE ClassID not in(2, 3, 4, 5, 6, 15)  ORDER BY Rnd(id "
           "- Time() * id * Rnd() * 100)"
        << "SELECT id, title FROM LoveWord  WHERE ClassID not in(2, 3, 4, 5, 6, 15)  ORDER BY Rnd(id - "
           "Time() * id * Rnd() * 100) LIMIT 20";
    QTest::newRow("framing text, lower-case top") << "select top 1 Title from CommonLanguage where TYPE = 2 "
                                                     "ORDER BY Rnd(id - Time() * id * Rnd() * 100)"
                                                  << "select Title from CommonLanguage where TYPE = 2 ORDER "
                                                     "BY Rnd(id - Time() * id * Rnd() * 100) LIMIT 1";
    QTest::newRow("brackets become quoted names") << "SELECT [ID], [TITLE], [TEXT] FROM Template"
                                                  << "SELECT \"ID\", \"TITLE\", \"TEXT\" FROM Template";
    QTest::newRow("bracketed name with blank and quote")
        << "SELECT [Order \"No\"] FROM [Order Details]"
        << "SELECT \"Order \"\"No\"\"\" FROM \"Order Details\"";
    QTest::newRow("no top, unchanged") << "select classID, Title from LoveWordClass"
                                       << "select classID, Title from LoveWordClass";
    QTest::newRow("top after distinct") << "SELECT DISTINCT TOP 3 a FROM t ORDER BY a"
                                        << "SELECT DISTINCT a FROM t ORDER BY a LIMIT 3";
    QTest::newRow("distinctrow is distinct") << "SELECT DISTINCTROW a FROM t"
                                             << "SELECT DISTINCT a FROM t";
    QTest::newRow("top in a subquery ends at its parenthesis")
        << "SELECT a FROM t WHERE id IN (SELECT TOP 2 id FROM u ORDER BY id) AND b = 1"
        << "SELECT a FROM t WHERE id IN (SELECT id FROM u ORDER BY id LIMIT 2) AND b = 1";
    QTest::newRow("outer and inner top") << "SELECT TOP 5 a FROM (SELECT TOP 10 a FROM t) ORDER BY a"
                                         << "SELECT a FROM (SELECT a FROM t LIMIT 10) ORDER BY a LIMIT 5";
    QTest::newRow("top before a semicolon") << "SELECT TOP 1 a FROM t;"
                                            << "SELECT a FROM t LIMIT 1;";
    QTest::newRow("top inside a string stays") << "SELECT 'TOP 5' FROM t"
                                               << "SELECT 'TOP 5' FROM t";
    QTest::newRow("top as a column name stays") << "SELECT top FROM t"
                                                << "SELECT top FROM t";
    QTest::newRow("top percent left for the engine") << "SELECT TOP 10 PERCENT a FROM t"
                                                     << "SELECT TOP 10 PERCENT a FROM t";
    QTest::newRow("double-quoted text is a string") << "SELECT a FROM t WHERE b = \"it's\""
                                                    << "SELECT a FROM t WHERE b = 'it''s'";
    QTest::newRow("ampersand joins text") << "SELECT a & '-' & b FROM t"
                                          << "SELECT a || '-' || b FROM t";
    QTest::newRow("like wildcards") << "SELECT a FROM t WHERE a LIKE '*5%_?'"
                                    << "SELECT a FROM t WHERE a LIKE '%5\\%\\__' ESCAPE '\\'";
    QTest::newRow("like bracket escape") << "SELECT a FROM t WHERE a Like \"[*]x\""
                                         << "SELECT a FROM t WHERE a Like '*x' ESCAPE '\\'";
    QTest::newRow("date literal") << "SELECT a FROM t WHERE d > #6/24/2015#"
                                  << "SELECT a FROM t WHERE d > '2015-06-24 00:00:00'";
    QTest::newRow("chinese text and not in stay")
        << "SELECT title FROM LoveWord WHERE title <> '我爱你' AND ClassID not in(2, 3)"
        << "SELECT title FROM LoveWord WHERE title <> '我爱你' AND ClassID not in(2, 3)";
}

void tst_JetDialect::translate()
{
    QFETCH(QString, jet);
    QFETCH(QString, sqlite);
    QCOMPARE(JetDialect::translate(jet), sqlite);
}

void tst_JetDialect::jet4Text_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("text");

    QTest::newRow("ucs-2") << QByteArray("\x31\x72\x60\x4f", 4) << QString::fromUtf8("爱你");
    QTest::newRow("compressed latin-1") << QByteArray("\xff\xfe"
                                                      "abc\xe4",
        6) << QString::fromUtf8("abcä");
    QTest::newRow("compressed with a ucs-2 run") << QByteArray("\xff\xfe"
                                                               "ab\x00\x31\x72\x60\x4f\x00"
                                                               "c",
        11) << QString::fromUtf8("ab爱你c");
    QTest::newRow("surrogate pair survives")
        << QByteArray("\x3d\xd8\x96\xdc", 4) << QString::fromUtf8("\xF0\x9F\x92\x96");
    QTest::newRow("lone high surrogate") << QByteArray("\x3d\xd8\x41\x00", 4)
                                         << QString::fromUtf8("\xEF\xBF\xBD"
                                                              "A");
    QTest::newRow("lone low surrogate") << QByteArray("\x96\xdc", 2) << QString::fromUtf8("\xEF\xBF\xBD");
    QTest::newRow("odd trailing byte dropped") << QByteArray("\x41\x00\x42", 3) << QStringLiteral("A");
    QTest::newRow("empty") << QByteArray() << QString();
}

void tst_JetDialect::jet4Text()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, text);
    std::string out;
    JetReader::appendJet4TextUtf8(stored.constData(), stored.size(), out);
    QCOMPARE(QString::fromStdString(out), text);
}

void tst_JetDialect::randomPick_data()
{
    QTest::addColumn<QString>("jet");
    QTest::addColumn<QString>("rowsSql"); // empty: the text must run as it is
    QTest::addColumn<QString>("rowSql");
    QTest::addColumn<qint64>("limit");

    QTest::newRow("automatic writing")
        << "SELECT TOP 100 id, title FROM LoveWord  WHERE ClassID not in(2, 3, 4, 5, 6, 15)  ORDER BY Rnd(id "
           "- Time() * id * Rnd() * 100)"
        << "SELECT rowid FROM LoveWord WHERE ClassID not in ( 2 , 3 , 4 , 5 , 6 , 15 )"
        << "SELECT id , title FROM LoveWord WHERE rowid = ?" << qint64(100);
    QTest::newRow("framing phrase") << "select top 1 Title from CommonLanguage where TYPE = 0 ORDER BY "
                                       "Rnd(id - Time() * id * Rnd() * 100)"
                                    << "SELECT rowid FROM CommonLanguage WHERE TYPE = 0"
                                    << "SELECT Title FROM CommonLanguage WHERE rowid = ?" << qint64(1);
    QTest::newRow("no filter, no top") << "SELECT * FROM [Order Details] ORDER BY Rnd()"
                                       << "SELECT rowid FROM \"Order Details\""
                                       << "SELECT * FROM \"Order Details\" WHERE rowid = ?" << qint64(-1);
    QTest::newRow("rnd is only part of the key") << "SELECT TOP 3 a FROM t ORDER BY Rnd(a) + a"
                                                 << ""
                                                 << "" << qint64(0);
    QTest::newRow("second sort key") << "SELECT TOP 3 a FROM t ORDER BY Rnd(a), a"
                                     << ""
                                     << "" << qint64(0);
    QTest::newRow("plain order") << "SELECT TOP 3 a FROM t ORDER BY a"
                                 << ""
                                 << "" << qint64(0);
    QTest::newRow("random filter") << "SELECT a FROM t WHERE Rnd() < 0.5 ORDER BY Rnd()"
                                   << ""
                                   << "" << qint64(0);
    QTest::newRow("time in the filter") << "SELECT a FROM t WHERE a < Time() ORDER BY Rnd()"
                                        << ""
                                        << "" << qint64(0);
    QTest::newRow("aggregate") << "SELECT TOP 1 count(*) FROM t ORDER BY Rnd()"
                               << ""
                               << "" << qint64(0);
    QTest::newRow("group by") << "SELECT TOP 1 a FROM t GROUP BY a ORDER BY Rnd(a)"
                              << ""
                              << "" << qint64(0);
    QTest::newRow("two tables") << "SELECT TOP 1 a FROM t, u ORDER BY Rnd(a)"
                                << ""
                                << "" << qint64(0);
    QTest::newRow("join") << "SELECT TOP 1 a FROM t JOIN u ON t.x = u.x ORDER BY Rnd(a)"
                          << ""
                          << "" << qint64(0);
    QTest::newRow("subquery filter") << "SELECT TOP 1 a FROM t WHERE a IN (SELECT a FROM u) ORDER BY Rnd(a)"
                                     << ""
                                     << "" << qint64(0);
    QTest::newRow("distinct") << "SELECT DISTINCT TOP 2 a FROM t ORDER BY Rnd(a)"
                              << ""
                              << "" << qint64(0);
    QTest::newRow("alias after the table") << "SELECT TOP 2 a FROM t AS x ORDER BY Rnd(a)"
                                           << ""
                                           << "" << qint64(0);
}

void tst_JetDialect::randomPick()
{
    QFETCH(QString, jet);
    QFETCH(QString, rowsSql);
    QFETCH(QString, rowSql);
    QFETCH(qint64, limit);
    JetDialect::RandomPick pick;
    const bool picked = JetDialect::randomPick(JetDialect::translate(jet), &pick);
    QCOMPARE(picked, !rowsSql.isEmpty());
    if (!picked)
        return;
    QCOMPARE(pick.rowsSql, rowsSql);
    QCOMPARE(pick.rowSql, rowSql);
    QCOMPARE(pick.limit, limit);
}

QTEST_GUILESS_MAIN(tst_JetDialect)
#include "tst_jetdialect.moc"
