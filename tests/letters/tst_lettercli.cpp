// plumaret-cli letter ...: the window's letters on the command line.
#include "LetterComposer.h"
#include "uDataBase.h"

#include <QDate>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run cli(const QStringList &args, const QString &workingDir = QString())
{
    QProcess p;
    if (!workingDir.isEmpty())
        p.setWorkingDirectory(workingDir);
    p.start(QString::fromUtf8(PLUMARET_CLI), args);
    Run r;
    if (!p.waitForFinished(30000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QSet<QString> titles(const QString &book, const QString &sql)
{
    TAdoBuilder store(book);
    store.Connect();
    store.OpenQuery(sql);
    QSet<QString> set;
    TResultSet &rs = *store.ResultSet;
    if (!rs.ResultIsEmpty())
        for (rs.MoveFirst(); !rs.AtEnd(); rs.MoveNext())
            set.insert(rs.FieldText(QStringLiteral("title")));
    return set;
}

const QString testbook = QString::fromUtf8(LETTERS_TESTBOOK);

} // namespace

class tst_LetterCli : public QObject
{
    Q_OBJECT

private slots:
    void shippedBookNeverDrawsExcludedClasses();
    void lineEnds_data();
    void lineEnds();
    void templateIsTheBody();
    void groupInListOrder();
    void failures_data();
    void failures();
};

void tst_LetterCli::shippedBookNeverDrawsExcludedClasses()
{
    const QString book = QString::fromUtf8(LETTERS_SHIPPED_BOOK);
    const QSet<QString> allowed
        = titles(book, QStringLiteral("SELECT title FROM LoveWord WHERE ClassID NOT IN (2, 3, 4, 5, 6, 15)"));
    QVERIFY(allowed.size() > 5);
    // The program looks for db.dll in the current folder; run it beside the shipped book.
    const QString dir = QFileInfo(book).absolutePath();
    QSet<QString> seen;
    for (int i = 0; i < 200; ++i) {
        const Run r = cli({ QStringLiteral("letter"), QStringLiteral("auto"), QStringLiteral("--lines"),
                              QStringLiteral("5"), QStringLiteral("--from"), QStringLiteral("甲"),
                              QStringLiteral("--to"), QStringLiteral("乙") },
            dir);
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.endsWith('\n') && !r.out.endsWith("\n\n") && !r.out.contains('\r'));
        const QStringList lines = QString::fromUtf8(r.out).chopped(1).split(u'\n');
        QCOMPARE(lines.size(), 2 + 5 + 2 + 3);
        QVERIFY(lines[0].endsWith(QStringLiteral("乙：")));
        QVERIFY(lines[1].startsWith(QStringLiteral("    ")));
        for (int l = 2; l < 7; ++l) {
            QVERIFY(lines[l].startsWith(QStringLiteral("    ")));
            QVERIFY2(allowed.contains(lines[l].mid(4)), qPrintable(lines[l]));
            seen.insert(lines[l]);
        }
        QCOMPARE(lines[7], QString());
        QCOMPARE(lines[8], QString());
        QVERIFY(lines[9].startsWith(QStringLiteral("    ")));
        QCOMPARE(lines[10], QStringLiteral("甲"));
        QCOMPARE(lines[11], QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    }
    QVERIFY2(seen.size() > 20, "200 letters drew hardly any different phrases");
}

void tst_LetterCli::lineEnds_data()
{
    QTest::addColumn<bool>("crlf");
    QTest::newRow("LF and a final newline") << false;
    QTest::newRow("--crlf: the letter's exact text") << true;
}

void tst_LetterCli::lineEnds()
{
    QFETCH(bool, crlf);
    QStringList args { QStringLiteral("letter"), QStringLiteral("auto"), QStringLiteral("--lines"),
        QStringLiteral("2"), QStringLiteral("--to"), QStringLiteral("乙"), QStringLiteral("--from"),
        QStringLiteral("甲"), QStringLiteral("--db"), testbook };
    if (crlf)
        args.append(QStringLiteral("--crlf"));
    const Run r = cli(args);
    QCOMPARE(r.exitCode, 0);
    const QByteArray date = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
    if (crlf) {
        QVERIFY(r.out.endsWith("\r\n甲\r\n" + date));
        QCOMPARE(r.out.count("\r\n"), 8);
        QCOMPARE(r.out.count('\n'), 8);
    } else {
        QVERIFY(r.out.endsWith("\n甲\n" + date + '\n'));
        QCOMPARE(r.out.count('\n'), 9);
        QVERIFY(!r.out.contains('\r'));
    }
}

void tst_LetterCli::templateIsTheBody()
{
    const Run r = cli({ QStringLiteral("letter"), QStringLiteral("template"), QStringLiteral("1"),
        QStringLiteral("--from"), QStringLiteral("甲"), QStringLiteral("--to"), QStringLiteral("乙"),
        QStringLiteral("--db"), testbook, QStringLiteral("--crlf") });
    QCOMPARE(r.exitCode, 0);
    const QStringList lines = QString::fromUtf8(r.out).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.mid(2, 2),
        (QStringList { QStringLiteral("    春天来了，我想和你一起去看花。"),
            QStringLiteral("    每一朵花，都像你的笑。") }));
    // a body without a final line break leaves one empty line before the closing
    QCOMPARE(lines.at(4), QString());
    QVERIFY(lines.at(5).startsWith(QStringLiteral("    ")) && !lines.at(5).trimmed().isEmpty());
}

void tst_LetterCli::groupInListOrder()
{
    // picked as 13 then 1: phrase 1 (class 1) comes first, as in the lists
    const Run r = cli({ QStringLiteral("letter"), QStringLiteral("group"), QStringLiteral("13,1"),
        QStringLiteral("--from"), QStringLiteral("甲"), QStringLiteral("--to"), QStringLiteral("乙"),
        QStringLiteral("--db"), testbook });
    QCOMPARE(r.exitCode, 0);
    const QStringList lines = QString::fromUtf8(r.out).split(u'\n');
    QCOMPARE(lines.mid(2, 4),
        (QStringList { QStringLiteral("    你是我藏在心里的糖，每想一次，心就甜一次。"),
            QStringLiteral("    想你的时候，风也温柔，云也温柔。"), QString(), QString() }));
}

void tst_LetterCli::failures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("inEmptyDir");
    QTest::addColumn<QString>("message");
    QTest::newRow("no db.dll in the current folder") << QStringList { QStringLiteral("letter"),
        QStringLiteral("auto") } << true << QStringLiteral("找不到数据库文件，程序将退出");
    QTest::newRow("not a Jet file") << QStringList { QStringLiteral("letter"), QStringLiteral("auto"),
        QStringLiteral("--db"), QString::fromUtf8(PLUMARET_CLI) }
                                    << false << QStringLiteral("连接数据库失败，程序将退出");
    QTest::newRow("unknown template") << QStringList { QStringLiteral("letter"), QStringLiteral("template"),
        QStringLiteral("99"), QStringLiteral("--db"), testbook }
                                      << false << QStringLiteral("no template with id 99");
    QTest::newRow("phrase without class") << QStringList { QStringLiteral("letter"), QStringLiteral("group"),
        QStringLiteral("1,24"), QStringLiteral("--db"), testbook }
                                          << false << QStringLiteral("no phrase with id 24");
    QTest::newRow("lines not a number") << QStringList { QStringLiteral("letter"), QStringLiteral("auto"),
        QStringLiteral("--lines"), QStringLiteral("%1x"), QStringLiteral("--db"), testbook }
                                        << false << QStringLiteral("\"%1x\"");
}

void tst_LetterCli::failures()
{
    QFETCH(QStringList, args);
    QFETCH(bool, inEmptyDir);
    QFETCH(QString, message);
    QTemporaryDir empty;
    const Run r = cli(args, inEmptyDir ? empty.path() : QString());
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(QString::fromUtf8(r.err).contains(message), r.err.constData());
}

QTEST_GUILESS_MAIN(tst_LetterCli)
#include "tst_lettercli.moc"
