// One copy per user, tested with the real program: each test gives the copies a runtime folder of
// its own (the user's XDG_RUNTIME_DIR) and an empty current folder.
#include <QLineEdit>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

#include "Plumaret.h"
#include "uFrmMain.h"

namespace {

struct Runtime
{
    QTemporaryDir dir; // created 0700, as a runtime folder must be
    QTemporaryDir work;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }

    // A copy of the program started in the empty folder; without db.dll a first copy sits in its
    // start-up message box, which is all these tests need of it.
    std::unique_ptr<QProcess> start(const QString &program = QStringLiteral(PLUMARET_EXE)) const
    {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(environment());
        p->setWorkingDirectory(work.path());
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(program, {});
        return p;
    }

    // True once a first copy answers on the user's socket.
    bool firstCopyListens() const
    {
        QLocalSocket socket;
        socket.connectToServer(TSingleInstance(dir.path()).SocketPath());
        return socket.waitForConnected(200);
    }
};

bool endsWithZero(QProcess &p, int ms = 15000)
{
    return p.waitForFinished(ms) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

void stop(QProcess &p)
{
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished();
    }
}

} // namespace

class tst_SingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void secondCopyEndsAtOnce_data();
    void secondCopyEndsAtOnce();
    void killedFirstCopyLeavesNoObstacle();
    void twoUsersEachRunAFirstCopy();
    void secondCopyWithoutFirstToTalkToEndsSilently();
    void secondCopyRestoresMinimisedFirstCopy();
    void firstCopyReleasesOnExit();
};

void tst_SingleInstance::secondCopyEndsAtOnce_data()
{
    QTest::addColumn<bool>("renamed");
    QTest::newRow("same executable") << false;
    QTest::newRow("copy under another name in another folder") << true;
}

void tst_SingleInstance::secondCopyEndsAtOnce()
{
    QFETCH(bool, renamed);
    Runtime rt;
    auto first = rt.start();
    QVERIFY(first->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(rt.firstCopyListens(), 15000);

    QString program = QStringLiteral(PLUMARET_EXE);
    QTemporaryDir elsewhere;
    if (renamed) {
        program = elsewhere.filePath(QStringLiteral("love-letters"));
        QVERIFY(QFile::copy(QStringLiteral(PLUMARET_EXE), program));
    }
    auto second = rt.start(program);
    QVERIFY(endsWithZero(*second));
    QCOMPARE(first->state(), QProcess::Running);
    stop(*first);
}

void tst_SingleInstance::killedFirstCopyLeavesNoObstacle()
{
    Runtime rt;
    auto first = rt.start();
    QTRY_VERIFY_WITH_TIMEOUT(rt.firstCopyListens(), 15000);
    ::kill(pid_t(first->processId()), SIGKILL);
    QVERIFY(first->waitForFinished());
    // The dead copy's lock file and socket are still there.
    QVERIFY(QFile::exists(TSingleInstance(rt.dir.path()).LockPath()));
    QVERIFY(QFile::exists(TSingleInstance(rt.dir.path()).SocketPath()));
    QVERIFY(!rt.firstCopyListens());

    auto next = rt.start();
    QTRY_VERIFY_WITH_TIMEOUT(rt.firstCopyListens(), 15000);
    QCOMPARE(next->state(), QProcess::Running);
    // And it really is the first copy now: a further start ends at once.
    auto third = rt.start();
    QVERIFY(endsWithZero(*third));
    stop(*next);
}

void tst_SingleInstance::twoUsersEachRunAFirstCopy()
{
    Runtime alice;
    Runtime bob;
    auto a = alice.start();
    auto b = bob.start();
    QTRY_VERIFY_WITH_TIMEOUT(alice.firstCopyListens(), 15000);
    QTRY_VERIFY_WITH_TIMEOUT(bob.firstCopyListens(), 15000);
    QCOMPARE(a->state(), QProcess::Running);
    QCOMPARE(b->state(), QProcess::Running);
    stop(*a);
    stop(*b);
}

void tst_SingleInstance::secondCopyWithoutFirstToTalkToEndsSilently()
{
    // The lock is held (by this test process) but nobody listens: a first copy still starting up.
    Runtime rt;
    QLockFile lock(TSingleInstance(rt.dir.path()).LockPath());
    QVERIFY(lock.tryLock(0));
    auto second = rt.start();
    QVERIFY(endsWithZero(*second));
}

void tst_SingleInstance::secondCopyRestoresMinimisedFirstCopy()
{
    // The first copy is this process, so the test can see its window come back.
    Runtime rt;
    TSingleInstance instance(rt.dir.path());
    QVERIFY(instance.TryBecomeFirst());
    TfrmMain window;
    instance.OnMessage = [&window](int message) {
        if (message == RestoreMessage)
            window.RestoreApplication();
    };
    window.PlaceAtDesignSize();
    window.QMainWindow::setVisible(true);
    QApplication::setActiveWindow(&window);
    window.edtYourName->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), window.edtYourName);
    const QRect before = window.geometry();
    window.setWindowState(Qt::WindowMinimized);
    QTRY_VERIFY(window.isMinimized());

    // The second copy waits for our answer, so our event loop must run meanwhile.
    auto second = rt.start();
    QTRY_VERIFY_WITH_TIMEOUT(second->state() == QProcess::NotRunning, 15000);
    QCOMPARE(second->exitCode(), 0);
    QVERIFY(!window.isMinimized());
    QCOMPARE(window.geometry(), before);
    QTRY_VERIFY(window.isActiveWindow());
    QTRY_COMPARE(QApplication::focusWidget(), window.edtYourName);
}

void tst_SingleInstance::firstCopyReleasesOnExit()
{
    Runtime rt;
    {
        TSingleInstance first(rt.dir.path());
        QVERIFY(first.TryBecomeFirst());
        TSingleInstance other(rt.dir.path());
        QVERIFY(!other.TryBecomeFirst());
    }
    TSingleInstance next(rt.dir.path());
    QVERIFY(next.TryBecomeFirst());
}

QTEST_MAIN(tst_SingleInstance)
#include "tst_singleinstance.moc"
