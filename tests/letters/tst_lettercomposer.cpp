// Composition over real Jet files through the program's own store.
#include "LetterComposer.h"
#include "uDataBase.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace Letters;

namespace {

QStringList column(TDBBuilder &store, const QString &sql, const QString &name)
{
    store.OpenQuery(sql);
    QStringList values;
    TResultSet &rs = *store.ResultSet;
    if (rs.ResultIsEmpty())
        return values;
    for (rs.MoveFirst(); !rs.AtEnd(); rs.MoveNext())
        values.append(rs.FieldText(name));
    return values;
}

QStringList bodyLines(const QString &body)
{
    QStringList lines = body.split(CrLf.toString());
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class tst_LetterComposer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void framedLetterHasTwelvePieces();
    void framingWithoutPhrases();
    void autoWritingLineCount_data();
    void autoWritingLineCount();
    void autoWritingTakesOnlyAllowedClasses();
    void autoWritingIsRandom();
    void autoWritingPhraseIsOneAllowedPhrase();
    void emptyTables();
    void phraseClassesInQueryOrder();
    void classPhrases_data();
    void classPhrases();
    void classWithoutPhrases();
    void templates();
    void templateTitleCutInsideACharacter();

private:
    std::unique_ptr<TAdoBuilder> book;
    std::unique_ptr<TAdoBuilder> sparse;
    std::unique_ptr<TAdoBuilder> empty;
    QSet<QString> allowed;
};

void tst_LetterComposer::initTestCase()
{
    for (const char *file : { LETTERS_TESTBOOK, LETTERS_SPARSEBOOK, LETTERS_EMPTYBOOK }) {
        if (!QFileInfo::exists(QString::fromUtf8(file)))
            QFAIL(qPrintable(QStringLiteral("fixture %1 was not built").arg(QString::fromUtf8(file))));
    }
    book = std::make_unique<TAdoBuilder>(QString::fromUtf8(LETTERS_TESTBOOK));
    book->Connect();
    sparse = std::make_unique<TAdoBuilder>(QString::fromUtf8(LETTERS_SPARSEBOOK));
    sparse->Connect();
    empty = std::make_unique<TAdoBuilder>(QString::fromUtf8(LETTERS_EMPTYBOOK));
    empty->Connect();
    const QStringList titles = column(*book,
        QStringLiteral("SELECT title FROM LoveWord WHERE ClassID IN (1, 7, 16)"), QStringLiteral("title"));
    allowed = QSet<QString>(titles.begin(), titles.end());
    QVERIFY(allowed.size() >= 5);
}

void tst_LetterComposer::framedLetterHasTwelvePieces()
{
    const QStringList salutations = column(
        *book, QStringLiteral("select Title from CommonLanguage where TYPE = 0"), QStringLiteral("title"));
    const QStringList openings = column(
        *book, QStringLiteral("select Title from CommonLanguage where TYPE = 1"), QStringLiteral("title"));
    const QStringList closings = column(
        *book, QStringLiteral("select Title from CommonLanguage where TYPE = 2"), QStringLiteral("title"));
    const QString body = QStringLiteral("    一\r\n    二\r\n    三\r\n");

    TLetterComposer composer(*book);
    const QString letter
        = composer.FrameLetter(body, QStringLiteral("甲"), QStringLiteral("乙"), QDate(2025, 3, 7));
    QVERIFY(!letter.contains(QRegularExpression(QStringLiteral("\r(?!\n)|(?<!\r)\n"))));
    const QStringList lines = letter.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 10);
    QVERIFY(lines[0].endsWith(QStringLiteral("乙：")));
    QVERIFY2(salutations.contains(lines[0].chopped(2)), qPrintable(lines[0]));
    QVERIFY(lines[1].startsWith(QStringLiteral("    ")));
    QVERIFY2(openings.contains(lines[1].mid(4)), qPrintable(lines[1]));
    QCOMPARE(lines.mid(2, 3),
        (QStringList { QStringLiteral("    一"), QStringLiteral("    二"), QStringLiteral("    三") }));
    QCOMPARE(lines[5], QString());
    QCOMPARE(lines[6], QString());
    QVERIFY2(closings.contains(lines[7].mid(4)) && lines[7].startsWith(QStringLiteral("    ")),
        qPrintable(lines[7]));
    QCOMPARE(lines[8], QStringLiteral("甲"));
    QCOMPARE(lines[9], QStringLiteral("2025-03-07"));
    QCOMPARE(composer.FrameLetter(QString(), QString(), QString()).right(10),
        QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
}

void tst_LetterComposer::framingWithoutPhrases()
{
    TLetterComposer composer(*sparse);
    QCOMPARE(composer.PickCommonPhrase(ckSalutation), QString());
    QCOMPARE(composer.FrameLetter(
                 QStringLiteral("正文"), QStringLiteral("甲"), QStringLiteral("乙"), QDate(2025, 1, 1)),
        QStringLiteral("乙：\r\n    \r\n正文\r\n\r\n    \r\n甲\r\n2025-01-01"));
}

void tst_LetterComposer::autoWritingLineCount_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("expected");
    QTest::newRow("one line") << 1 << 1;
    QTest::newRow("five lines") << 5 << 5;
    QTest::newRow("more than the book holds") << 100 << -1;
    QTest::newRow("zero is clamped, never all rows") << 0 << 1;
    QTest::newRow("negative is clamped") << -4 << 1;
}

void tst_LetterComposer::autoWritingLineCount()
{
    QFETCH(int, lines);
    QFETCH(int, expected);
    if (expected < 0)
        expected = int(allowed.size());
    const std::optional<QString> body = TLetterComposer(*book).AutoWritingBody(lines);
    QVERIFY(body);
    QVERIFY(body->endsWith(CrLf));
    const QStringList got = bodyLines(*body);
    QCOMPARE(got.size(), expected);
    for (const QString &line : got) {
        QVERIFY2(line.startsWith(QStringLiteral("    ")), qPrintable(line));
        QVERIFY2(allowed.contains(line.mid(4)), qPrintable(line));
    }
    QCOMPARE(QSet<QString>(got.begin(), got.end()).size(), got.size());
}

void tst_LetterComposer::autoWritingTakesOnlyAllowedClasses()
{
    // All rows at once: exactly the allowed classes, nothing excluded and not the phrase without class.
    const QStringList got = bodyLines(*TLetterComposer(*book).AutoWritingBody(LineCountMax));
    QSet<QString> titles;
    for (const QString &line : got)
        titles.insert(line.mid(4));
    QCOMPARE(titles, allowed);
}

void tst_LetterComposer::autoWritingIsRandom()
{
    TLetterComposer composer(*book);
    QSet<QString> bodies;
    for (int i = 0; i < 20; ++i)
        bodies.insert(*composer.AutoWritingBody(3));
    QVERIFY2(bodies.size() > 1, "twenty draws gave the same three phrases in the same order");
}

void tst_LetterComposer::autoWritingPhraseIsOneAllowedPhrase()
{
    TLetterComposer composer(*book);
    QSet<QString> drawn;
    for (int i = 0; i < 20; ++i) {
        const std::optional<QString> phrase = composer.AutoWritingPhrase();
        QVERIFY(phrase);
        QVERIFY2(allowed.contains(*phrase), qPrintable(*phrase));
        drawn.insert(*phrase);
    }
    QVERIFY2(drawn.size() > 1, "twenty draws gave the same phrase");
}

void tst_LetterComposer::emptyTables()
{
    TLetterComposer composer(*empty);
    QVERIFY(!composer.AutoWritingBody(20));
    QVERIFY(!composer.AutoWritingPhrase());
    QVERIFY(composer.PhraseClasses().isEmpty());
    QVERIFY(composer.Templates().isEmpty());
}

void tst_LetterComposer::phraseClassesInQueryOrder()
{
    const PhraseClassRows rows = TLetterComposer(*sparse).PhraseClasses();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0].ClassID, 9);
    QCOMPARE(rows[0].Title, QStringLiteral("空类"));
    QCOMPARE(rows[2].ClassID, -3);
    QCOMPARE(TLetterComposer(*book).PhraseClasses().size(), 9);
}

void tst_LetterComposer::classPhrases_data()
{
    QTest::addColumn<bool>("sparseBook");
    QTest::addColumn<int>("classId");
    QTest::addColumn<QList<int>>("ids");
    QTest::newRow("class 7") << false << 7 << QList<int> { 12, 13, 14 };
    QTest::newRow("excluded class still listed") << false << 15 << QList<int> { 15 };
    QTest::newRow("negative class id") << true << -3 << QList<int> { 2 };
}

void tst_LetterComposer::classPhrases()
{
    QFETCH(bool, sparseBook);
    QFETCH(int, classId);
    QFETCH(QList<int>, ids);
    const std::optional<GroupRows> rows = TLetterComposer(sparseBook ? *sparse : *book).ClassPhrases(classId);
    QVERIFY(rows);
    QList<int> got;
    for (const GroupNodeData &row : *rows) {
        got.append(row.ID);
        QCOMPARE(row.ClassID, classId);
        QVERIFY(!row.Title.isEmpty());
        QVERIFY(!row.Picked);
    }
    QCOMPARE(got, ids);
}

void tst_LetterComposer::classWithoutPhrases()
{
    QVERIFY(!TLetterComposer(*sparse).ClassPhrases(9));
}

void tst_LetterComposer::templates()
{
    const TemplateRows rows = TLetterComposer(*book).Templates();
    QVERIFY(rows.size() >= 3);
    QCOMPARE(rows[0].ID, 1);
    QCOMPARE(rows[0].Title, QStringLiteral("初春的信"));
    QVERIFY(rows[0].Text.startsWith(QStringLiteral("    春天来了")));
    QVERIFY(rows[0].Text.contains(QStringLiteral("\r\n")));
    QVERIFY2(rows[1].Text.size() > 10000, "a long template text arrives whole");
    QCOMPARE(rows[2].Text, QString());
}

void tst_LetterComposer::templateTitleCutInsideACharacter()
{
    const TemplateRows rows = TLetterComposer(*sparse).Templates();
    QCOMPARE(rows.size(), 1);
    // "a" and sixty double-byte characters: the 100th byte is the first half of the 50th one.
    QCOMPARE(rows[0].Title, QStringLiteral("a") + QString(49, u'爱'));
    QCOMPARE(rows[0].Text, QStringLiteral("正文\r\n第二行"));
}

QTEST_GUILESS_MAIN(tst_LetterComposer)
#include "tst_lettercomposer.moc"
