#include "LoopbackHttpServer.h"
#include "UpdateCheck.h"
#include "UpdateNotice.h"

#include <QApplication>
#include <QLabel>
#include <QLibrary>
#include <QSignalSpy>
#include <QTest>

using DoUpdateFn = void (*)(WId, const char *);

class tst_Update : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void check_data();
    void check();
    void noServer();
    void doUpdateReturnsAtOnceAndShowsTheNotice();
};

void tst_Update::parse_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("version"); // empty: no notice
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("link");

    QTest::newRow("plain") << QByteArray("version: 1.2\n\n新增了模版。\n") << "1.2"
                           << "新增了模版。"
                           << "";
    QTest::newRow("crlf-and-link") << QByteArray(
        "Version: 2.0.1\r\nlink: http://a.example/x\r\n\r\n第一行\r\n第二行")
                                   << "2.0.1"
                                   << "第一行\n第二行"
                                   << "http://a.example/x";
    QTest::newRow("gb18030") << QByteArray("version: 3\n\n\xd0\xc2\xb0\xe6") << "3"
                             << "新版"
                             << "";
    QTest::newRow("utf8-bom") << QByteArray("\xef\xbb\xbfversion: 3\n\nok") << "3"
                              << "ok"
                              << "";
    QTest::newRow("no-version") << QByteArray("link: http://a.example/\n\nhello") << ""
                                << ""
                                << "";
    QTest::newRow("bad-version") << QByteArray("version: one\n\nhello") << ""
                                 << ""
                                 << "";
    QTest::newRow("version-with-junk") << QByteArray("version: 1.2beta\n\nhello") << ""
                                       << ""
                                       << "";
    QTest::newRow("no-message") << QByteArray("version: 2\n\n") << ""
                                << ""
                                << "";
    QTest::newRow("no-colon") << QByteArray("version 2\n\nhello") << ""
                              << ""
                              << "";
    QTest::newRow("binary") << QByteArray("version: 2\n\nab\0cd", 16) << ""
                            << ""
                            << "";
    QTest::newRow("file-link") << QByteArray("version: 2\nlink: file:///etc/passwd\n\nhi") << ""
                               << ""
                               << "";
    QTest::newRow("javascript-link") << QByteArray("version: 2\nlink: javascript:alert(1)\n\nhi") << ""
                                     << ""
                                     << "";
    QTest::newRow("overlong-message") << ("version: 2\n\n" + QByteArray(3000, 'a')) << ""
                                      << ""
                                      << "";
    QTest::newRow("html-page") << QByteArray("<html><body>404</body></html>") << ""
                               << ""
                               << "";
}

void tst_Update::parse()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, version);
    QFETCH(QString, message);
    QFETCH(QString, link);
    const std::optional<UpdateNotice> notice = UpdateNotice::parse(data);
    QCOMPARE(notice.has_value(), !version.isEmpty());
    if (!notice)
        return;
    QCOMPARE(notice->version.toString(), version);
    QCOMPARE(notice->message, message);
    QCOMPARE(notice->link.toString(), link);
}

void tst_Update::check_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("shown");

    QTest::newRow("newer") << int(LoopbackHttpServer::Answer)
                           << QByteArray("version: 1.1\n\n修正了若干问题。") << true;
    QTest::newRow("same") << int(LoopbackHttpServer::Answer) << QByteArray("version: 1.0.0\n\n同一版本")
                          << false;
    QTest::newRow("older") << int(LoopbackHttpServer::Answer) << QByteArray("version: 0.9\n\n旧版本")
                           << false;
    QTest::newRow("malformed") << int(LoopbackHttpServer::Answer) << QByteArray("这不是通知") << false;
    QTest::newRow("empty") << int(LoopbackHttpServer::Answer) << QByteArray() << false;
    QTest::newRow("silent-server") << int(LoopbackHttpServer::Silent) << QByteArray() << false;
    QTest::newRow("trickling-server") << int(LoopbackHttpServer::Trickle) << QByteArray() << false;
    QTest::newRow("huge-answer") << int(LoopbackHttpServer::Huge) << QByteArray() << false;
    QTest::newRow("redirect-loop") << int(LoopbackHttpServer::RedirectLoop) << QByteArray() << false;
}

void tst_Update::check()
{
    QFETCH(int, mode);
    QFETCH(QByteArray, body);
    QFETCH(bool, shown);

    LoopbackHttpServer server(LoopbackHttpServer::Mode(mode), body);
    QWidget window;
    UpdateCheck check(&window, QUrl(server.url()), QVersionNumber(1, 0, 0));
    check.setTimeout(1500);
    QSignalSpy finished(&check, &UpdateCheck::finished);
    check.start();
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.first().first().toBool(), shown);
    QCOMPARE(check.noticeWindow() != nullptr, shown);
    if (shown) {
        QVERIFY(check.noticeWindow()->isVisible());
        QVERIFY(!check.noticeWindow()->isModal());
        QCOMPARE(check.noticeWindow()->findChild<QLabel *>(QStringLiteral("message"))->text(),
            QStringLiteral("修正了若干问题。"));
        // Without a link of its own the notice points at the vendor page of the same host.
        QVERIFY(check.noticeWindow()
                    ->findChild<QLabel *>(QStringLiteral("link"))
                    ->text()
                    .contains(server.url(QStringLiteral("/201071910.html"))));
    }
}

void tst_Update::noServer()
{
    quint16 port = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        port = probe.serverPort();
    }
    UpdateCheck check(
        nullptr, QUrl(QStringLiteral("http://127.0.0.1:%1/x.txt").arg(port)), QVersionNumber(1));
    QSignalSpy finished(&check, &UpdateCheck::finished);
    check.start();
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.first().first().toBool(), false);
}

void tst_Update::doUpdateReturnsAtOnceAndShowsTheNotice()
{
    QLibrary library(QStringLiteral(UPDATE_LIBRARY));
    auto doUpdate = reinterpret_cast<DoUpdateFn>(library.resolve("DoUpdate"));
    QVERIFY2(doUpdate, qPrintable(library.errorString()));

    LoopbackHttpServer server(LoopbackHttpServer::Answer, QByteArray("version: 7\n\n有新版本了"));
    QWidget window;
    window.show();
    doUpdate(window.winId(), server.url().toUtf8().constData());
    // Nothing can have been fetched yet: the call only started the check.
    QVERIFY(QApplication::topLevelWidgets().size() == 1);
    QTRY_VERIFY_WITH_TIMEOUT(window.findChild<QWidget *>(QStringLiteral("UpdateNoticeWindow")), 10000);
    doUpdate(window.winId(), nullptr);
}

QTEST_MAIN(tst_Update)
#include "tst_update.moc"
