#include "LetterExport.h"
#include "LetterFixture.h"
#include "LetterPaper.h"
#include "PaperFonts.h"
#include "PlumaretError.h"
#include "TmpfsMount.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <functional>
#include <unistd.h>

using namespace Paper;

namespace {

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString withoutSpace(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

QByteArray readAll(const QString &fileName)
{
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &fileName, const QByteArray &data)
{
    QFile f(fileName);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(data), data.size());
}

using Export = std::function<void(const LetterPaper &, const QString &)>;

// The message of the error the export throws; empty when it reports success.
QString exportError(const Export &write, const LetterPaper &paper, const QString &file)
{
    try {
        write(paper, file);
    } catch (const EPlumaretError &e) {
        return e.message();
    }
    return QString();
}

} // namespace

class tst_LetterExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pdfGivesBackTheLetter_data();
    void pdfGivesBackTheLetter();
    void pdfPageSizeTitleAndCreator_data();
    void pdfPageSizeTitleAndCreator();
    void pngPagesAt300Dpi_data();
    void pngPagesAt300Dpi();
    void longPictureForPhones();
    void failedExportKeepsTheOldFile_data();
    void failedExportKeepsTheOldFile();
    void fullDiskKeepsTheOldFile();

private:
    QTemporaryDir m_dir;
};

void tst_LetterExport::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(!OfferedFonts().isEmpty(), "no letter font installed (scripts/install-deps.sh installs them)");
}

void tst_LetterExport::pdfGivesBackTheLetter_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<TPaperKind>("kind");
    QTest::addColumn<bool>("hand");
    QTest::addColumn<int>("bodyLines");
    for (const OfferedFont &font : OfferedFonts()) {
        QTest::addRow("%s", qPrintable(font.family)) << font.family << pkRuled << false << 5;
        QTest::addRow("%s, 手写", qPrintable(font.family)) << font.family << pkPlain << true << 5;
    }
    QTest::newRow("grid, two pages") << OfferedFonts().first().family << pkGrid << false << 12;
    QTest::newRow("ruled, three pages") << OfferedFonts().first().family << pkRuled << false << 45;
}

void tst_LetterExport::pdfGivesBackTheLetter()
{
    QFETCH(QString, family);
    QFETCH(TPaperKind, kind);
    QFETCH(bool, hand);
    QFETCH(int, bodyLines);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    PaperSettings s;
    s.kind = kind;
    s.fontFamily = family;
    s.hand = hand;
    const auto doc = FramedLetter(bodyLines);
    const LetterPaper paper(*doc, s);
    const QString pdf = m_dir.filePath(QStringLiteral("信.pdf"));
    ExportPdf(paper, pdf);

    QString text = run(QStringLiteral("pdftotext"),
        { QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-") });
    text.remove(QRegularExpression(QStringLiteral("第\\s*\\d+\\s*页\\s*/\\s*共\\s*\\d+\\s*页")));
    text.remove(QStringLiteral("20×20=400"));
    QCOMPARE(withoutSpace(text), withoutSpace(doc->toPlainText()));

    // Every font is embedded: pdffonts' "emb" column says yes for each line.
    const QStringList fonts
        = run(QStringLiteral("pdffonts"), { pdf }).split(u'\n', Qt::SkipEmptyParts).mid(2);
    QVERIFY(!fonts.isEmpty());
    for (const QString &line : fonts)
        QVERIFY2(line.contains(QRegularExpression(QStringLiteral("Identity-H\\s+yes"))), qPrintable(line));
}

void tst_LetterExport::pdfPageSizeTitleAndCreator_data()
{
    QTest::addColumn<TPaperSize>("size");
    QTest::newRow("A4") << psA4;
    QTest::newRow("A5") << psA5;
    QTest::newRow("B5") << psB5;
    QTest::newRow("16K") << ps16K;
}

void tst_LetterExport::pdfPageSizeTitleAndCreator()
{
    QFETCH(TPaperSize, size);
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        QSKIP("pdfinfo (poppler-utils) is not installed");
    PaperSettings s;
    s.size = size;
    const LetterPaper paper(*FramedLetter(1), s);
    const QString pdf = m_dir.filePath(QStringLiteral("size.pdf"));
    ExportPdf(paper, pdf);
    const QString info = run(QStringLiteral("pdfinfo"), { pdf });
    QVERIFY(info.contains(QStringLiteral("Title:           我最亲爱的小雨：")));
    QVERIFY(info.contains(QStringLiteral("Creator:         墨韵笺语工坊")));
    const QRegularExpressionMatch m
        = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(info);
    QVERIFY(m.hasMatch());
    // Qt writes the page box in whole points.
    const QSizeF mm = PageSizeMm(size);
    QVERIFY(qAbs(m.captured(1).toDouble() - mm.width() / 25.4 * 72) <= 0.5);
    QVERIFY(qAbs(m.captured(2).toDouble() - mm.height() / 25.4 * 72) <= 0.5);
}

void tst_LetterExport::pngPagesAt300Dpi_data()
{
    QTest::addColumn<TPaperSize>("size");
    QTest::addColumn<int>("bodyLines");
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("A4, one page") << psA4 << 2 << QSize(2480, 3508)
                                  << QStringList { QStringLiteral("信.png") };
    QTest::newRow("16K, two pages") << ps16K << 18 << QSize(2185, 3071)
                                    << QStringList { QStringLiteral("信-1.png"), QStringLiteral("信-2.png") };
}

void tst_LetterExport::pngPagesAt300Dpi()
{
    QFETCH(TPaperSize, size);
    QFETCH(int, bodyLines);
    QFETCH(QSize, pixels);
    QFETCH(QStringList, files);
    QTemporaryDir dir;
    PaperSettings s;
    s.size = size;
    const LetterPaper paper(*FramedLetter(bodyLines), s);
    ExportPng(paper, dir.filePath(QStringLiteral("信.png")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), files);
    for (int page = 0; page < files.size(); ++page) {
        const QImage image(dir.filePath(files.at(page)));
        QCOMPARE(image.size(), pixels);
        QCOMPARE(image.dotsPerMeterX(), 11811);
        QCOMPARE(image.dotsPerMeterY(), 11811);
        // Every pixel as painted, in its own colour.
        QVERIFY(image.convertToFormat(QImage::Format_RGB32) == RenderPage(paper, page));
    }
}

void tst_LetterExport::longPictureForPhones()
{
    const LetterPaper paper(*FramedLetter(30), PaperSettings());
    QVERIFY(paper.pageCount() >= 2);
    const QString file = m_dir.filePath(QStringLiteral("长图.png"));
    ExportLongPng(paper, file);
    const QImage image(file);
    QCOMPARE(image.size(), QSize(1080, paper.pageCount() * 1527));
    // The second page begins with paper, not with what is left of the first.
    QCOMPARE(image.pixelColor(540, 1527 + 2), image.pixelColor(540, 2));
}

void tst_LetterExport::failedExportKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Export>("write");
    QTest::newRow("pdf") << QStringLiteral("信.pdf") << Export(ExportPdf);
    QTest::newRow("png") << QStringLiteral("信.png") << Export(ExportPng);
    QTest::newRow("long png") << QStringLiteral("信.png") << Export(ExportLongPng);
}

void tst_LetterExport::failedExportKeepsTheOldFile()
{
    QFETCH(QString, name);
    QFETCH(Export, write);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("只读"));
    // root writes into any folder whatever its mode, so it gets a read-only file system instead.
    TmpfsMount mount(folder, QStringLiteral("size=1m"));
    const QString file = QDir(folder).filePath(name);
    writeFile(file, "old letter");
    if (mount.mounted())
        QVERIFY(mount.remountReadOnly());
    else
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    const LetterPaper paper(*FramedLetter(2), PaperSettings());
    const QString error = exportError(write, paper, file);
    QVERIFY2(error.contains(QDir::toNativeSeparators(file)), qPrintable(error));
    QVERIFY2(!error.endsWith(QStringLiteral("：")), qPrintable(error));
    QCOMPARE(readAll(file), QByteArray("old letter"));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList { name });
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void tst_LetterExport::fullDiskKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("满"));
    TmpfsMount mount(folder, QStringLiteral("size=64k"));
    if (!mount.mounted())
        QSKIP("mounting a small tmpfs needs root");
    const QString file = QDir(folder).filePath(QStringLiteral("信.pdf"));
    writeFile(file, "old letter");
    writeFile(QDir(folder).filePath(QStringLiteral("filler")), QByteArray(48 * 1024, 'x'));

    const LetterPaper paper(*FramedLetter(30), PaperSettings());
    const QString error = exportError(ExportPdf, paper, file);
    QVERIFY2(error.contains(QDir::toNativeSeparators(file)), qPrintable(error));
    QVERIFY2(error.contains(qt_error_string(ENOSPC)), qPrintable(error));
    QCOMPARE(readAll(file), QByteArray("old letter"));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name),
        (QStringList { QStringLiteral("filler"), QStringLiteral("信.pdf") }));
}

QTEST_MAIN(tst_LetterExport)
#include "tst_letterexport.moc"
