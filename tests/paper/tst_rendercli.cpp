// plumaret-cli render and letter --out: letter paper from the command line.
#include "DocumentFile.h"
#include "LetterFixture.h"
#include "PaperFonts.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int code = -1;
    QString err;
};

Run cli(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(PLUMARET_CLI), args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return {};
    return { p.exitCode(), QString::fromUtf8(p.readAllStandardError()) };
}

QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
        { QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-") });
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).remove(QRegularExpression(QStringLiteral("\\s")));
}

} // namespace

class tst_RenderCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void renderPutsTheLetterFileOnPaper_data();
    void renderPutsTheLetterFileOnPaper();
    void unknownValuesAreRefused_data();
    void unknownValuesAreRefused();
    void letterOutWritesByExtension_data();
    void letterOutWritesByExtension();

private:
    QTemporaryDir m_dir;
    QString m_letter; // the letter's characters without white space
};

void tst_RenderCli::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const auto doc = FramedLetter(3);
    SaveDocumentFile(m_dir.filePath(QStringLiteral("letter.txt")), doc.get(), TTextEncoding::teGB18030);
    SaveDocumentFile(m_dir.filePath(QStringLiteral("letter.rtf")), doc.get(), TTextEncoding::teGB18030);
    m_letter = doc->toPlainText().remove(QRegularExpression(QStringLiteral("\\s")));
}

void tst_RenderCli::renderPutsTheLetterFileOnPaper_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QSize>("picture"); // empty for a PDF
    QTest::newRow("text to PDF") << QStringLiteral("letter.txt") << QStringList() << QStringLiteral("信.pdf")
                                 << QSize();
    QTest::newRow("RTF to PDF on grid paper, 16开, by hand")
        << QStringLiteral("letter.rtf")
        << QStringList { QStringLiteral("--paper"), QStringLiteral("grid"), QStringLiteral("--size"),
               QStringLiteral("16K"), QStringLiteral("--hand"), QStringLiteral("--ink"),
               QStringLiteral("red") }
        << QStringLiteral("稿.pdf") << QSize();
    QTest::newRow("PNG at 300 dpi") << QStringLiteral("letter.rtf")
                                    << QStringList { QStringLiteral("--paper"), QStringLiteral("flower") }
                                    << QStringLiteral("信.png") << QSize(2480, 3508);
    QTest::newRow("long picture") << QStringLiteral("letter.txt")
                                  << QStringList { QStringLiteral("--long"), QStringLiteral("--size"),
                                         QStringLiteral("A5") }
                                  << QStringLiteral("长图.png") << QSize(1080, 1532);
}

void tst_RenderCli::renderPutsTheLetterFileOnPaper()
{
    QFETCH(QString, in);
    QFETCH(QStringList, options);
    QFETCH(QString, out);
    QFETCH(QSize, picture);
    const QString file = m_dir.filePath(out);
    const Run r = cli(QStringList { QStringLiteral("render"), m_dir.filePath(in), file } + options);
    QCOMPARE(r.code, 0);
    if (picture.isValid()) {
        QCOMPARE(QImage(file).size(), picture);
    } else if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        QSKIP("pdftotext (poppler-utils) is not installed");
    } else {
        QCOMPARE(pdfText(file).remove(QStringLiteral("20×20=400")), m_letter);
    }
}

void tst_RenderCli::unknownValuesAreRefused_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("message");
    QTest::newRow("paper") << QStringList { QStringLiteral("--paper"), QStringLiteral("wavy") }
                           << QStringLiteral("x.pdf") << QStringLiteral("ruled, grid, plain, flower");
    QTest::newRow("size") << QStringList { QStringLiteral("--size"), QStringLiteral("A3") }
                          << QStringLiteral("x.pdf") << QStringLiteral("A4, A5, B5, 16K");
    QTest::newRow("ink") << QStringList { QStringLiteral("--ink"), QStringLiteral("green") }
                         << QStringLiteral("x.pdf") << QStringLiteral("black, blue, red");
    QTest::newRow("font lists the installed ones")
        << QStringList { QStringLiteral("--font"), QStringLiteral("Comic Sans") } << QStringLiteral("x.pdf")
        << Paper::OfferedFonts().first().family;
    QTest::newRow("option without its value")
        << QStringList { QStringLiteral("--paper") } << QStringLiteral("x.pdf")
        << QStringLiteral("--paper needs a value");
    QTest::newRow("picture format") << QStringList() << QStringLiteral("x.jpg")
                                    << QStringLiteral(".pdf or .png");
}

void tst_RenderCli::unknownValuesAreRefused()
{
    QFETCH(QStringList, options);
    QFETCH(QString, out);
    QFETCH(QString, message);
    const QString file = m_dir.filePath(out);
    const Run r
        = cli(QStringList { QStringLiteral("render"), m_dir.filePath(QStringLiteral("letter.txt")), file }
            + options);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(!QFile::exists(file));
}

void tst_RenderCli::letterOutWritesByExtension_data()
{
    QTest::addColumn<QString>("out");
    QTest::addColumn<QByteArray>("start"); // the file's first bytes
    QTest::newRow("txt") << QStringLiteral("l.txt") << QByteArray();
    QTest::newRow("rtf") << QStringLiteral("l.rtf") << QByteArray("{\\rtf1");
    QTest::newRow("pdf") << QStringLiteral("l.pdf") << QByteArray("%PDF-");
    QTest::newRow("png") << QStringLiteral("l.png") << QByteArray("\x89PNG");
}

void tst_RenderCli::letterOutWritesByExtension()
{
    QFETCH(QString, out);
    QFETCH(QByteArray, start);
    const QString file = m_dir.filePath(out);
    const Run r = cli({ QStringLiteral("letter"), QStringLiteral("auto"), QStringLiteral("--lines"),
        QStringLiteral("3"), QStringLiteral("--from"), QStringLiteral("阿明"), QStringLiteral("--to"),
        QStringLiteral("小雨"), QStringLiteral("--db"), QStringLiteral(LETTERS_TESTBOOK),
        QStringLiteral("--out"), file, QStringLiteral("--paper"), QStringLiteral("plain") });
    QCOMPARE(r.code, 0);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray data = f.readAll();
    QVERIFY(data.startsWith(start));
    if (start.isEmpty()) {
        // Plain text as the letter editor saves it: GB18030 with CR LF, signature and date last.
        QVERIFY(data.contains(QByteArray("\xB0\xA2\xC3\xF7\r\n"))); // 阿明 in GB18030
    }
}

QTEST_MAIN(tst_RenderCli)
#include "tst_rendercli.moc"
