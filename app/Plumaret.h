#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QLockFile;
class TPlumaretApplication;

// The restore request a second copy sends to the first.
inline constexpr int RestoreMessage = 1349;
// Fixed, not taken from the executable's name: a renamed copy is still the same program.
inline constexpr char SingleInstanceName[] = "Plumaret.exe";

// One copy per user: a lock file in a folder of the user's own says who is first, and the first copy
// listens on a local socket beside it for the second copy's message. A crashed first copy leaves a
// lock naming a dead process (taken over) and a dead socket (removed before listening).
class TSingleInstance : public QObject
{
    Q_OBJECT

public:
    // The lock and the socket go into folder; empty: no folder is safe, the copy runs alone.
    explicit TSingleInstance(const QString &folder, QObject *parent = nullptr);
    ~TSingleInstance() override;

    // The folder named after the user id inside tempDir, made when missing. Not XDG_RUNTIME_DIR:
    // a shell after su or over ssh has another or none, and must still find the first copy. Empty
    // when the folder is not safely the user's (another user's, a link, open to others).
    static QString UserFolder(const QString &tempDir);

    // True when this process is the first copy: it holds the lock, or no lock can be made at all (no
    // safe folder) and it runs alone. False: another copy holds it.
    bool TakeLock();
    // The first copy listens for messages from here on; without a lock it never does.
    void Listen();

    // Second copy: hands the message to the first copy and waits until it has been handled. False when
    // no first copy answered.
    bool SendToFirst(int message) const;

    QString LockPath() const;
    QString SocketPath() const;

    // Called in the first copy for each message received, before the sender is released.
    std::function<void(int)> OnMessage;

private:
    void acceptConnections();

    QString m_dir;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};

// The program: single-instance test, window, event loop. Always returns 0.
int RunPlumaret(TPlumaretApplication &app);
