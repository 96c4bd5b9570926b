// One copy per user, tested with the real program: each test gives the copies a temporary folder of
// its own (so test runs beside each other never meet) and an empty current folder.
#include <QLineEdit>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

#include "Plumaret.h"
#include "uFrmMain.h"

namespace {

struct Runtime
{
    QTemporaryDir temp; // TMPDIR of the copies
    QTemporaryDir runtime; // their XDG_RUNTIME_DIR, unless a start says otherwise
    QTemporaryDir work;

    // Where the copies keep their lock and socket.
    QString folder() const { return TSingleInstance::UserFolder(temp.path()); }

    // A copy of the program started in the empty folder; without db.dll a first copy sits in its
    // start-up message box, which is all these tests need of it. runtimeDir "-": none at all.
    std::unique_ptr<QProcess> start(
        const QString &program = QStringLiteral(PLUMARET_EXE), const QString &runtimeDir = QString()) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), temp.path());
        if (runtimeDir == QStringLiteral("-"))
            env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        else
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir.isEmpty() ? runtime.path() : runtimeDir);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(work.path());
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(program, {});
        return p;
    }

    // True once a first copy answers on the user's socket.
    bool firstCopyListens() const
    {
        QLocalSocket socket;
        socket.connectToServer(TSingleInstance(folder()).SocketPath());
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
    void secondCopyWithOtherRuntimeFolderEndsAtOnce_data();
    void secondCopyWithOtherRuntimeFolderEndsAtOnce();
    void unsafeUserFolderIsNotUsed_data();
    void unsafeUserFolderIsNotUsed();
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

void tst_SingleInstance::secondCopyWithOtherRuntimeFolderEndsAtOnce_data()
{
    QTest::addColumn<bool>("none");
    QTest::newRow("another runtime folder (su)") << false;
    QTest::newRow("no runtime folder (ssh)") << true;
}

void tst_SingleInstance::secondCopyWithOtherRuntimeFolderEndsAtOnce()
{
    QFETCH(bool, none);
    Runtime rt;
    auto first = rt.start();
    QTRY_VERIFY_WITH_TIMEOUT(rt.firstCopyListens(), 15000);
    QTemporaryDir otherRuntime;
    auto second = rt.start(QStringLiteral(PLUMARET_EXE), none ? QStringLiteral("-") : otherRuntime.path());
    QVERIFY(endsWithZero(*second));
    QCOMPARE(first->state(), QProcess::Running);
    stop(*first);
}

void tst_SingleInstance::unsafeUserFolderIsNotUsed_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("open to others") << QStringLiteral("open");
    QTest::newRow("a link to a folder") << QStringLiteral("link");
    QTest::newRow("another user's") << QStringLiteral("foreign");
}

// Someone else got there first in the shared temporary folder: the program runs alone instead.
void tst_SingleInstance::unsafeUserFolderIsNotUsed()
{
    QFETCH(QString, kind);
    QTemporaryDir temp;
    QTemporaryDir elsewhere;
    const QString path
        = temp.filePath(QStringLiteral("%1-%2").arg(QLatin1String(SingleInstanceName)).arg(::getuid()));
    const QByteArray native = QFile::encodeName(path);
    if (kind == QStringLiteral("link")) {
        QVERIFY(QFile::link(elsewhere.path(), path));
    } else {
        QVERIFY(QDir().mkdir(path));
        if (kind == QStringLiteral("open")) {
            QVERIFY(::chmod(native.constData(), 0777) == 0);
        } else {
            if (::geteuid() != 0)
                QSKIP("only root can give a folder to another user");
            QVERIFY(::chown(native.constData(), 65534, 65534) == 0);
        }
    }
    QCOMPARE(TSingleInstance::UserFolder(temp.path()), QString());
    TSingleInstance instance(TSingleInstance::UserFolder(temp.path()));
    QVERIFY(instance.TakeLock());
    QVERIFY(QDir(elsewhere.path()).isEmpty());
}

void tst_SingleInstance::killedFirstCopyLeavesNoObstacle()
{
    Runtime rt;
    auto first = rt.start();
    QTRY_VERIFY_WITH_TIMEOUT(rt.firstCopyListens(), 15000);
    ::kill(pid_t(first->processId()), SIGKILL);
    QVERIFY(first->waitForFinished());
    // The dead copy's lock file and socket are still there.
    QVERIFY(QFile::exists(TSingleInstance(rt.folder()).LockPath()));
    QVERIFY(QFile::exists(TSingleInstance(rt.folder()).SocketPath()));
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
    QLockFile lock(TSingleInstance(rt.folder()).LockPath());
    QVERIFY(lock.tryLock(0));
    auto second = rt.start();
    QVERIFY(endsWithZero(*second));
}

void tst_SingleInstance::secondCopyRestoresMinimisedFirstCopy()
{
    // The first copy is this process, so the test can see its window come back.
    Runtime rt;
    TSingleInstance instance(rt.folder());
    QVERIFY(instance.TakeLock());
    instance.Listen();
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
        TSingleInstance first(rt.folder());
        QVERIFY(first.TakeLock());
        TSingleInstance other(rt.folder());
        QVERIFY(!other.TakeLock());
    }
    TSingleInstance next(rt.folder());
    QVERIFY(next.TakeLock());
}

QTEST_MAIN(tst_SingleInstance)
#include "tst_singleinstance.moc"
