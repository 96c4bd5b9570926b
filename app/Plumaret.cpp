#include "Plumaret.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "FirstPaintHook.h"
#include "PlumaretApplication.h"
#include "uDataBase.h"
#include "uFrmMain.h"

namespace {

constexpr char ReplyDone[] = "done\n";
// A window that is not painted (started minimised) listens after this long all the same.
constexpr int ListenLatestMs = 1000;

// Ends the event loop when the window closes, even while other windows of the program are open.
class TCloseWatcher : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Close)
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

TSingleInstance::TSingleInstance(const QString &folder, QObject *parent)
    : QObject(parent)
    , m_dir(folder)
{
}

QString TSingleInstance::UserFolder(const QString &tempDir)
{
    const uid_t uid = ::getuid();
    const QString path
        = QDir(tempDir).filePath(QStringLiteral("%1-%2").arg(QLatin1String(SingleInstanceName)).arg(uid));
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    // The temporary folder is shared: someone else may have put a folder or a link there first.
    struct stat st = {};
    if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != uid
        || (st.st_mode & 077) != 0)
        return {};
    return path;
}

TSingleInstance::~TSingleInstance()
{
    if (m_server)
        m_server->close();
    if (m_lock)
        m_lock->unlock();
}

QString TSingleInstance::LockPath() const
{
    return QDir(m_dir).filePath(QStringLiteral("%1.lock").arg(QLatin1String(SingleInstanceName)));
}

QString TSingleInstance::SocketPath() const
{
    return QDir(m_dir).filePath(
        QStringLiteral("%1-%2").arg(QLatin1String(SingleInstanceName)).arg(::getuid()));
}

bool TSingleInstance::TakeLock()
{
    if (m_dir.isEmpty())
        return true;
    m_lock = std::make_unique<QLockFile>(LockPath());
    // Only a dead owner makes the lock stale, never its age: the first copy may run for weeks.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() == QLockFile::LockFailedError)
            return false;
        // The lock cannot be made at all: run alone, nobody can find us.
        m_lock.reset();
        return true;
    }
    return true;
}

void TSingleInstance::Listen()
{
    if (!m_lock || m_server)
        return;
    // We hold the lock, so a socket left behind belongs to a copy that died.
    QLocalServer::removeServer(SocketPath());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (m_server->listen(SocketPath()))
        connect(m_server, &QLocalServer::newConnection, this, &TSingleInstance::acceptConnections);
}

void TSingleInstance::acceptConnections()
{
    while (QLocalSocket *peer = m_server->nextPendingConnection()) {
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
            while (peer->canReadLine()) {
                bool ok = false;
                const int message = peer->readLine().trimmed().toInt(&ok);
                if (ok && OnMessage)
                    OnMessage(message);
                peer->write(ReplyDone);
                peer->flush();
            }
            // A peer that never sends a line is not kept forever.
            if (peer->bytesAvailable() > 64)
                peer->abort();
        });
    }
}

bool TSingleInstance::SendToFirst(int message) const
{
    QLocalSocket socket;
    socket.connectToServer(SocketPath());
    if (!socket.waitForConnected(2000))
        return false;
    socket.write(QByteArray::number(message) + '\n');
    if (!socket.waitForBytesWritten(2000))
        return false;
    // Like a synchronous window message: wait until the first copy has handled it, however busy it
    // is; a first copy that dies closes the socket and ends the wait.
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(-1))
            return false;
    }
    return socket.readLine() == ReplyDone;
}

int RunPlumaret(TPlumaretApplication &app)
{
    TSingleInstance instance(TSingleInstance::UserFolder(QDir::tempPath()));
    if (!instance.TakeLock()) {
        instance.SendToFirst(RestoreMessage);
        return 0;
    }

    try {
        TfrmMain window(nullptr, TfrmMain::TStartOrder::VisibleFirst);
        TCloseWatcher watcher;
        window.installEventFilter(&watcher);
        instance.OnMessage = [&window](int message) {
            if (message == RestoreMessage)
                window.RestoreApplication();
        };
        // Until the window is painted a second copy finds nobody listening and just ends, which is
        // all that restoring a window not yet on the screen could do. A start-up box holds the
        // window back; the copy listens behind it after a while all the same.
        new TFirstPaintHook(
            &window, [&instance] { instance.Listen(); }, ListenLatestMs);
        window.show();
        // A failed database connection keeps the window from appearing; the box has been shown.
        if (window.isVisible())
            app.exec();
        instance.OnMessage = nullptr;
    } catch (...) {
        ShowException(std::current_exception());
    }
    return 0;
}
