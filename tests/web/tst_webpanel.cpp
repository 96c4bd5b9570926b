// The window's advertisement panel: a phrase until the page has answered, the web engine only then.
#include "AdvertisementProbe.h"
#include "LoopbackHttpServer.h"
#include "ProcessTree.h"
#include "VerticalPhrase.h"
#include "uFrmMain.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString EngineProgram = QStringLiteral("QtWebEngineProcess");

const QByteArray Page = R"(<html><head><title>ad</title></head><body><p>ad</p></body></html>)";

} // namespace

class tst_WebPanel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void pageThatNeverAnswersLeavesThePhrase_data();
    void pageThatNeverAnswersLeavesThePhrase();
    void pageThatAnswersReplacesThePhrase();
    void programWithUnreachableHostStartsNoEngine();

private:
    QString m_startDir;
    std::unique_ptr<QTemporaryDir> m_work;
};

void tst_WebPanel::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    m_startDir = QDir::currentPath();
    if (!QFile::exists(QStringLiteral(WINDOW_FIXTURE_DB)))
        QSKIP("no fixture phrase book is built (target testbook)");
}

void tst_WebPanel::init()
{
    m_work = std::make_unique<QTemporaryDir>();
    QVERIFY(QFile::copy(QStringLiteral(WINDOW_FIXTURE_DB), m_work->filePath(QStringLiteral("db.dll"))));
    QVERIFY(QDir::setCurrent(m_work->path()));
}

void tst_WebPanel::cleanup()
{
    QDir::setCurrent(m_startDir);
    m_work.reset();
}

void tst_WebPanel::pageThatNeverAnswersLeavesThePhrase_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("connected, never answers") << int(LoopbackHttpServer::Silent);
    QTest::newRow("not found") << int(LoopbackHttpServer::NotFound);
}

void tst_WebPanel::pageThatNeverAnswersLeavesThePhrase()
{
    QFETCH(int, mode);
    LoopbackHttpServer server { LoopbackHttpServer::Mode(mode) };
    TfrmMain w;
    w.AdvertisementUrl = QUrl(server.url(QStringLiteral("/ad/201072710_1.html")));
    w.AdPanelCandidates = { QStringLiteral(AD_PANEL) };
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTRY_VERIFY(!w.pnlPhrase->phrase().isEmpty());
    QVERIFY(w.pnlPhrase->isVisible());
    QCOMPARE(w.pnlPhrase->geometry(), w.pnlAD->rect());

    TAdvertisementProbe *probe = nullptr;
    QTRY_VERIFY((probe = w.findChild<TAdvertisementProbe *>()));
    QSignalSpy finished(probe, &TAdvertisementProbe::finished);
    QVERIFY(finished.wait(TAdvertisementProbe::TotalTimeoutMs + 5000));
    QCOMPARE(finished.first().first().toBool(), false);
    QTest::qWait(500);
    QVERIFY(!w.wbAD);
    QVERIFY(w.pnlPhrase->isVisible());
    // PLUMARET_SCREENSHOT_DIR keeps a picture of the window with its phrase.
    const QString shots = qEnvironmentVariable("PLUMARET_SCREENSHOT_DIR");
    if (!shots.isEmpty())
        w.grab().save(QDir(shots).filePath(QStringLiteral("window-phrase.png")));
    QCOMPARE(ProcessTree::countDescendantsRunning(QCoreApplication::applicationPid(), EngineProgram), 0);
}

void tst_WebPanel::pageThatAnswersReplacesThePhrase()
{
    LoopbackHttpServer server(LoopbackHttpServer::Answer, Page, "text/html");
    TfrmMain w;
    w.AdvertisementUrl = QUrl(server.url(QStringLiteral("/ad/201072710_1.html")));
    w.AdPanelCandidates = { QStringLiteral(AD_PANEL) };
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTRY_VERIFY_WITH_TIMEOUT(w.wbAD, 20000);
    QCOMPARE(w.wbAD->metaObject()->className(), "TWebBrowseEx");
    QTRY_VERIFY_WITH_TIMEOUT(w.wbAD->isVisible(), 30000);
    QVERIFY(!w.pnlPhrase->isVisible());
    QCOMPARE(w.wbAD->geometry(), w.pnlAD->rect());
    QCOMPARE(w.wbAD->property("title").toString(), QStringLiteral("ad"));
    // The plain request and the engine's navigation.
    QVERIFY(server.requests() >= 2);
    QVERIFY(ProcessTree::countDescendantsRunning(QCoreApplication::applicationPid(), EngineProgram) > 0);

    // Ctrl+N in the page is swallowed and never reaches the window's "new letter".
    QSignalSpy fileNew(w.FileNew, &QAction::triggered);
    QTRY_VERIFY(w.wbAD->focusProxy());
    w.activateWindow();
    w.wbAD->setFocus();
    QTRY_VERIFY(w.wbAD->focusProxy()->hasFocus());
    QTest::keyClick(w.wbAD->focusProxy(), Qt::Key_N, Qt::ControlModifier);
    QTest::qWait(200);
    QCOMPARE(fileNew.size(), 0);
}

void tst_WebPanel::programWithUnreachableHostStartsNoEngine()
{
    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // A folder of its own for the one-copy lock: another copy on the machine would end this one.
    env.insert(QStringLiteral("TMPDIR"), runtime.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    QProcess program;
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(m_work->path());
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(PLUMARET_EXE), {});
    QVERIFY(program.waitForStarted());
    // Looked at all along, so that an engine started and ended early is caught too.
    QElapsedTimer clock;
    clock.start();
    int engines = 0;
    qint64 ranMs = 0;
    while (clock.elapsed() < 10000 && program.state() == QProcess::Running) {
        engines = qMax(engines, ProcessTree::countDescendantsRunning(program.processId(), EngineProgram));
        ranMs = clock.elapsed();
        QTest::qWait(250);
    }
    const bool running = program.state() == QProcess::Running;
    program.kill();
    program.waitForFinished();
    QVERIFY2(running,
        qPrintable(QStringLiteral("the program ended after %1 ms (exit %2, %3)")
                       .arg(ranMs)
                       .arg(program.exitCode())
                       .arg(program.exitStatus() == QProcess::CrashExit ? "crashed" : "normal")));
    QCOMPARE(engines, 0);
}

int main(int argc, char **argv)
{
    // As the program does: the engine shares GL contexts with the window.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    tst_WebPanel test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_webpanel.moc"
