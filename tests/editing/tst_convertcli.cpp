#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// plumaret-cli convert: the letter editor's open and save on the command line.
class TestConvertCli : public QObject
{
    Q_OBJECT

private:
    QString cli() const { return QStringLiteral(PLUMARET_BINARY_DIR "/tools/plumaret-cli"); }

    int run(const QStringList &args, QByteArray *err = nullptr)
    {
        QProcess p;
        p.start(cli(), QStringList { QStringLiteral("convert") } + args);
        if (!p.waitForFinished(60000))
            return -1;
        if (err)
            *err = p.readAllStandardError();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    static QByteArray contents(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

private slots:
    void init() { QVERIFY2(QFile::exists(cli()), "plumaret-cli is missing from the build"); }

    void convertsThroughRtfAndBack_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("output");
        QTest::newRow("gbk with lone LF") << QByteArray("a\n\xC4\xE3") << QByteArray("a\r\n\xC4\xE3");
        QTest::newRow("utf-8 input comes back as gb18030 after rtf")
            << QByteArray("\xE4\xBD\xA0") << QByteArray("\xC4\xE3");
    }

    void convertsThroughRtfAndBack()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, output);
        QTemporaryDir dir;
        QFile in(dir.filePath(QStringLiteral("in.txt")));
        QVERIFY(in.open(QIODevice::WriteOnly));
        in.write(input);
        in.close();
        QCOMPARE(run({ in.fileName(), dir.filePath(QStringLiteral("mid.rtf")) }), 0);
        QVERIFY(contents(dir.filePath(QStringLiteral("mid.rtf"))).startsWith("{\\rtf1"));
        QCOMPARE(
            run({ dir.filePath(QStringLiteral("mid.rtf")), dir.filePath(QStringLiteral("out.txt")) }), 0);
        QCOMPARE(contents(dir.filePath(QStringLiteral("out.txt"))), output);
    }

    void failuresExitOneWithTheMessage()
    {
        QTemporaryDir dir;
        QByteArray err;
        const QString missing = dir.filePath(QStringLiteral("missing.txt"));
        QCOMPARE(run({ missing, dir.filePath(QStringLiteral("x.txt")) }, &err), 1);
        QCOMPARE(err,
            QStringLiteral("plumaret-cli: Cannot open file \"%1\". No such file or directory\n")
                .arg(missing)
                .toUtf8());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x.txt"))));

        QFile in(dir.filePath(QStringLiteral("in.txt")));
        QVERIFY(in.open(QIODevice::WriteOnly));
        in.write("x");
        in.close();
        const QString nowhere = dir.filePath(QStringLiteral("no-folder/out.txt"));
        QCOMPARE(run({ in.fileName(), nowhere }, &err), 1);
        QVERIFY2(
            err.startsWith(QStringLiteral("plumaret-cli: Cannot create file \"%1\". ").arg(nowhere).toUtf8()),
            err.constData());
    }
};

QTEST_APPLESS_MAIN(TestConvertCli)
#include "tst_convertcli.moc"
