#include "LoopbackHttpServer.h"
#include "WebBrowseEx.h"

#include <QSignalSpy>
#include <QTest>
#include <QWebEngineSettings>

namespace {

const TUserInterfaceOptions AdvertisementOptions { DontUse3DBorders, DontUseScrollBars, EnableThemes };

const QByteArray CountingPage = R"(<html><head><title>ad</title></head><body>
<p>ad</p>
<script>
window.ctrlKeys = [];
document.addEventListener('keydown', function (e) { if (e.ctrlKey && e.key !== 'Control') window.ctrlKeys.push(e.key); });
</script></body></html>)";

QVariant evaluate(QWebEnginePage *page, const QString &script)
{
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        return QStringLiteral("<no answer>");
    return result;
}

} // namespace

class tst_WebBrowseEx : public QObject
{
    Q_OBJECT
private slots:
    void hostInfo_data();
    void hostInfo();
    void defaultAnswers();
    void translateUrl_data();
    void translateUrl();
    void keyFilter_data();
    void keyFilter();
    void loadsPageWithoutScrollBars();
    void ctrlNIsSwallowedOtherKeysReachThePage();
    void unreachablePageStaysBlank();
    void localFilesAndNewWindowsAreRefused();
};

void tst_WebBrowseEx::hostInfo_data()
{
    QTest::addColumn<quint32>("options");
    QTest::addColumn<int>("enterMode");
    QTest::addColumn<quint32>("hostFlags");
    QTest::addColumn<quint32>("reported");

    QTest::newRow("none, div") << 0u << int(emFlagDiv) << 0u << 0x100u;
    QTest::newRow("none, p") << 0u << int(emFlagP) << 0u << 0u;
    QTest::newRow("advertisement, div")
        << AdvertisementOptions.bits << int(emFlagDiv) << 0x4000Cu << 0x4010Cu;
    QTest::newRow("advertisement, p") << AdvertisementOptions.bits << int(emFlagP) << 0x4000Cu << 0x4000Cu;
    // Member 15 skips the flag 0x8000, which belongs to no member.
    QTest::newRow("same-window navigation")
        << TUserInterfaceOptions { ForceSameWindowNavigation }.bits << int(emFlagP) << 0x10000u << 0x10000u;
    QTest::newRow("last member") << TUserInterfaceOptions { ForceUserActivationOnActiveXJava }.bits
                                 << int(emFlagP) << 0x20000000u << 0x20000000u;
    QTest::newRow("all members") << ((1u << UserInterfaceOptionCount) - 1) << int(emFlagDiv) << 0x3FFF7FFFu
                                 << 0x3FFF7FFFu;
}

void tst_WebBrowseEx::hostInfo()
{
    QFETCH(quint32, options);
    QFETCH(int, enterMode);
    QFETCH(quint32, hostFlags);
    QFETCH(quint32, reported);

    TWebBrowseEx view;
    QCOMPARE(view.EnterModeOnEdit, emFlagDiv);
    QCOMPARE(view.DisableCtrlShortcuts, QByteArray("N"));
    TUserInterfaceOptions set;
    set.bits = options;
    view.setUserInterfaceOptions(set);
    view.EnterModeOnEdit = TEnterMode(enterMode);
    QCOMPARE(view.HostFlags(), hostFlags);

    TDOCHOSTUIINFO info;
    QCOMPARE(view.GetHostInfo(info), S_OK_);
    QCOMPARE(info.cbSize, 20u);
    QCOMPARE(info.dwFlags, reported);
    QCOMPARE(info.dwDoubleClick, 0u);
    QVERIFY(!info.pchHostCss && !info.pchHostNS);
    QCOMPARE(view.page()->settings()->testAttribute(QWebEngineSettings::ShowScrollBars), !(hostFlags & 0x8));
}

void tst_WebBrowseEx::defaultAnswers()
{
    TWebBrowseEx view;
    QCOMPARE(view.ShowContextMenu(0, QPoint(1, 1)), E_NOTIMPL_);
    QCOMPARE(view.TranslateAccelerator(TKeyMessage {}), S_FALSE_);
    qint32 result = 0;
    QCOMPARE(view.ShowMessage(QStringLiteral("hi"), QString(), 0, result), S_FALSE_);

    view.OnShowContextMenu = [](TWebBrowseEx *, quint32, QPoint, HRESULT_ &r) { r = S_OK_; };
    QCOMPARE(view.ShowContextMenu(0, QPoint()), S_OK_);
    view.OnTranslateAccelerator
        = [](TWebBrowseEx *, const TKeyMessage &m, bool &done) { done = m.virtualKey == 'Q'; };
    QCOMPARE(view.TranslateAccelerator(TKeyMessage { true, 'Q' }), S_OK_);
    QCOMPARE(view.TranslateAccelerator(TKeyMessage { true, 'W' }), S_FALSE_);
    view.OnGetHostInfo = [](TWebBrowseEx *, TDOCHOSTUIINFO &info) {
        info.dwDoubleClick = 2;
        return S_OK_;
    };
    TDOCHOSTUIINFO info;
    view.GetHostInfo(info);
    QCOMPARE(info.dwDoubleClick, 2u);
    QCOMPARE(info.dwFlags, 0x100u);
}

void tst_WebBrowseEx::translateUrl_data()
{
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("url");
    QTest::newRow("no event") << QStringLiteral("<none>") << int(S_FALSE_)
                              << QStringLiteral("http://a.example/");
    QTest::newRow("empty answer") << QString() << int(S_FALSE_) << QStringLiteral("http://a.example/");
    QTest::newRow("replaced") << QStringLiteral("http://b.example/") << int(S_OK_)
                              << QStringLiteral("http://b.example/");
}

void tst_WebBrowseEx::translateUrl()
{
    QFETCH(QString, replacement);
    QFETCH(int, answer);
    QFETCH(QString, url);
    TWebBrowseEx view;
    if (replacement != QLatin1String("<none>"))
        view.OnTranslateUrl = [&](TWebBrowseEx *, const QString &, QString &out) { out = replacement; };
    QString out = QStringLiteral("http://a.example/");
    QCOMPARE(view.TranslateUrl(QStringLiteral("http://a.example/"), out), answer);
    QCOMPARE(out, url);
}

void tst_WebBrowseEx::keyFilter_data()
{
    QTest::addColumn<QByteArray>("shortcuts");
    QTest::addColumn<bool>("keyDown");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("held"); // L = left Ctrl, R = right Ctrl, A = left Alt, G = right Alt (AltGr)
    QTest::addColumn<bool>("swallowed");

    QTest::newRow("left ctrl N") << QByteArray("N") << true << int('N') << "L" << true;
    QTest::newRow("right ctrl N") << QByteArray("N") << true << int('N') << "R" << true;
    QTest::newRow("key up") << QByteArray("N") << false << int('N') << "L" << false;
    QTest::newRow("no ctrl") << QByteArray("N") << true << int('N') << "" << false;
    QTest::newRow("other letter") << QByteArray("N") << true << int('M') << "L" << false;
    QTest::newRow("left ctrl with left alt") << QByteArray("N") << true << int('N') << "LA" << false;
    QTest::newRow("AltGr") << QByteArray("N") << true << int('N') << "LG" << false;
    QTest::newRow("right ctrl with AltGr") << QByteArray("N") << true << int('N') << "RG" << true;
    QTest::newRow("right ctrl with left alt") << QByteArray("N") << true << int('N') << "RA" << false;
    QTest::newRow("empty shortcut list") << QByteArray() << true << int('N') << "L" << false;
    QTest::newRow("lower case never matches") << QByteArray("n") << true << int('N') << "L" << false;
    QTest::newRow("several letters") << QByteArray("NPO") << true << int('P') << "L" << true;
}

void tst_WebBrowseEx::keyFilter()
{
    QFETCH(QByteArray, shortcuts);
    QFETCH(bool, keyDown);
    QFETCH(int, key);
    QFETCH(QString, held);
    QFETCH(bool, swallowed);

    TWebBrowseEx view;
    view.DisableCtrlShortcuts = shortcuts;
    QList<char> masked;
    view.OnMaskedCtrlChar = [&](TWebBrowseEx *, char c) { masked << c; };
    const TKeyMessage message { keyDown, quint16(key), held.contains('L'), held.contains('R'),
        held.contains('A'), held.contains('G') };
    QCOMPARE(view.FilterCtrlKey(message), swallowed);
    QCOMPARE(masked, swallowed ? QList<char> { char(key) } : QList<char> {});
}

void tst_WebBrowseEx::loadsPageWithoutScrollBars()
{
    LoopbackHttpServer server(LoopbackHttpServer::Answer, CountingPage, "text/html");
    TWebBrowseEx view;
    view.setUserInterfaceOptions(AdvertisementOptions);
    view.resize(100, 300);
    view.show();
    QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
    view.load(QUrl(server.url(QStringLiteral("/ad/201072710_1.html"))));
    QVERIFY(loaded.wait(20000));
    QCOMPARE(loaded.first().first().toBool(), true);
    QCOMPARE(view.title(), QStringLiteral("ad"));
    QCOMPARE(server.requests(), 1);
    QVERIFY(!view.page()->settings()->testAttribute(QWebEngineSettings::ShowScrollBars));
}

void tst_WebBrowseEx::ctrlNIsSwallowedOtherKeysReachThePage()
{
    LoopbackHttpServer server(LoopbackHttpServer::Answer, CountingPage, "text/html");
    TWebBrowseEx view;
    QList<char> masked;
    view.OnMaskedCtrlChar = [&](TWebBrowseEx *, char c) { masked << c; };
    view.resize(200, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
    view.load(QUrl(server.url()));
    QVERIFY(loaded.wait(20000));
    QTRY_VERIFY(view.focusProxy());
    // Keys sent before the page has the focus are dropped by the engine, most often on a busy machine.
    view.activateWindow();
    view.setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(evaluate(view.page(), QStringLiteral("document.hasFocus()")).toBool(), 10000);

    QTest::keyClick(view.focusProxy(), Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(view.focusProxy(), Qt::Key_M, Qt::ControlModifier);
    QTRY_COMPARE(
        evaluate(view.page(), QStringLiteral("window.ctrlKeys.join(',')")).toString(), QStringLiteral("m"));
    QCOMPARE(masked, QList<char> { 'N' });
}

void tst_WebBrowseEx::unreachablePageStaysBlank()
{
    quint16 port = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        port = probe.serverPort();
    }
    TWebBrowseEx view;
    view.show();
    QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
    view.load(QUrl(QStringLiteral("http://127.0.0.1:%1/ad/201072710_1.html").arg(port)));
    QVERIFY(loaded.wait(20000));
    QCOMPARE(loaded.first().first().toBool(), false);
    QCOMPARE(evaluate(view.page(), QStringLiteral("document.body ? document.body.innerText : ''")).toString(),
        QString());
}

void tst_WebBrowseEx::localFilesAndNewWindowsAreRefused()
{
    LoopbackHttpServer server(LoopbackHttpServer::Answer, CountingPage, "text/html");
    TWebBrowseEx view;
    view.show();
    QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
    view.load(QUrl(server.url()));
    QVERIFY(loaded.wait(20000));
    QCOMPARE(
        evaluate(view.page(), QStringLiteral("window.open('%1') === null").arg(server.url())).toBool(), true);
    const QVariant fetched = evaluate(view.page(),
        QStringLiteral("(function(){ var r = new XMLHttpRequest(); try { r.open('GET', "
                       "'file:///etc/hostname', false); r.send();"
                       " return r.responseText; } catch (e) { return 'refused'; } })()"));
    QCOMPARE(fetched.toString(), QStringLiteral("refused"));

    loaded.clear();
    view.load(QUrl::fromLocalFile(QStringLiteral(PLUMARET_SOURCE_DIR "/README.md")));
    loaded.wait(3000);
    QCOMPARE(view.url().isLocalFile() && !view.page()->title().isEmpty()
            && view.page()->title() != QLatin1String("ad"),
        false);
}

QTEST_MAIN(tst_WebBrowseEx)
#include "tst_webbrowseex.moc"
