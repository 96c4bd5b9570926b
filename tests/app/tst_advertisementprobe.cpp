#include "AdvertisementProbe.h"
#include "LoopbackHttpServer.h"

#include <QSignalSpy>
#include <QTest>

class tst_AdvertisementProbe : public QObject
{
    Q_OBJECT
private slots:
    void answers_data();
    void answers();
    void closedPortIsNoAnswer();
    void deletedWhileAsking();
};

void tst_AdvertisementProbe::answers_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("url"); // empty: the server's page
    QTest::addColumn<bool>("answered");

    QTest::newRow("page answers") << int(LoopbackHttpServer::Answer) << QString() << true;
    QTest::newRow("one redirect, then the page")
        << int(LoopbackHttpServer::RedirectOnce) << QString() << true;
    QTest::newRow("not found") << int(LoopbackHttpServer::NotFound) << QString() << false;
    QTest::newRow("endless redirects") << int(LoopbackHttpServer::RedirectLoop) << QString() << false;
    // The status line is enough: a body that never ends does not hold the answer up.
    QTest::newRow("trickling answer") << int(LoopbackHttpServer::Trickle) << QString() << true;
    QTest::newRow("connected, never answers") << int(LoopbackHttpServer::Silent) << QString() << false;
    QTest::newRow("local file") << int(LoopbackHttpServer::Answer) << QStringLiteral("file:///etc/hostname")
                                << false;
    QTest::newRow("not a URL") << int(LoopbackHttpServer::Answer) << QStringLiteral("http://") << false;
}

void tst_AdvertisementProbe::answers()
{
    QFETCH(int, mode);
    QFETCH(QString, url);
    QFETCH(bool, answered);

    LoopbackHttpServer server(LoopbackHttpServer::Mode(mode), "<html>ad</html>", "text/html");
    TAdvertisementProbe probe(QUrl(url.isEmpty() ? server.url(QStringLiteral("/ad/201072710_1.html")) : url));
    QSignalSpy finished(&probe, &TAdvertisementProbe::finished);
    probe.start();
    QVERIFY(finished.wait(TAdvertisementProbe::TotalTimeoutMs + 5000));
    QCOMPARE(finished.first().first().toBool(), answered);
    // Said once only, whatever the reply does later.
    QTest::qWait(200);
    QCOMPARE(finished.size(), 1);
}

void tst_AdvertisementProbe::closedPortIsNoAnswer()
{
    quint16 port = 0;
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        port = closed.serverPort();
    }
    TAdvertisementProbe probe(QUrl(QStringLiteral("http://127.0.0.1:%1/ad/201072710_1.html").arg(port)));
    QSignalSpy finished(&probe, &TAdvertisementProbe::finished);
    probe.start();
    QVERIFY(finished.wait(TAdvertisementProbe::SilenceTimeoutMs + 5000));
    QCOMPARE(finished.first().first().toBool(), false);
}

void tst_AdvertisementProbe::deletedWhileAsking()
{
    LoopbackHttpServer server(LoopbackHttpServer::Silent);
    auto probe = std::make_unique<TAdvertisementProbe>(QUrl(server.url()));
    QSignalSpy finished(probe.get(), &TAdvertisementProbe::finished);
    probe->start();
    QTest::qWait(100);
    probe.reset();
    QTest::qWait(100);
    QCOMPARE(finished.size(), 0);
}

QTEST_MAIN(tst_AdvertisementProbe)
#include "tst_advertisementprobe.moc"
