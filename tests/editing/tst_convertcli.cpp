#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

// plumaret-cli convert: the letter editor's open and save on the command line.
class tst_ConvertCli : public QObject
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

    void convertsChineseOnTheWay_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("output");
        QTest::newRow("s2t by phrase") << QStringLiteral("他后来理发了\r\n皇后") << QStringLiteral("--s2t")
                                       << QStringLiteral("他後來理髮了\r\n皇后");
        QTest::newRow("t2s") << QStringLiteral("他後來理髮了\r\n皇后") << QStringLiteral("--t2s")
                             << QStringLiteral("他后来理发了\r\n皇后");
    }

    void convertsChineseOnTheWay()
    {
        QFETCH(QString, input);
        QFETCH(QString, option);
        QFETCH(QString, output);
        QStringEncoder gb18030("GB18030");
        QTemporaryDir dir;
        QFile in(dir.filePath(QStringLiteral("in.txt")));
        QVERIFY(in.open(QIODevice::WriteOnly));
        in.write(gb18030.encode(input));
        in.close();
        const QString out = dir.filePath(QStringLiteral("out.txt"));
        QCOMPARE(run({ in.fileName(), out, option }), 0);
        QCOMPARE(contents(out), QByteArray(gb18030.encode(output)));

        QByteArray err;
        QCOMPARE(run({ in.fileName(), out, QStringLiteral("--s2t"), QStringLiteral("--t2s") }, &err), 1);
        QCOMPARE(run({ in.fileName(), QStringLiteral("--s2t"), out }), 0);
        QCOMPARE(run({ in.fileName(), QStringLiteral("--s2x") }, &err), 1);
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

QTEST_APPLESS_MAIN(tst_ConvertCli)
#include "tst_convertcli.moc"
