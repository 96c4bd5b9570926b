#include "StorePreload.h"

#include "JetReader.h"

#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <mutex>
#include <sqlite3.h>
#include <system_error>

namespace {

const QString MissingFileMessage = QStringLiteral("找不到数据库文件，程序将退出");
const QString ConnectFailedMessage = QStringLiteral("连接数据库失败，程序将退出");

TLoadedStore failed(const QString &message, const QString &reason = QString())
{
    TLoadedStore store;
    store.failure = message;
    store.reason = reason;
    return store;
}

// The live preload, if any; touched only while the lock is held.
std::mutex registryLock;
TStorePreload *livePreload = nullptr;

} // namespace

TLoadedStore::TLoadedStore(TLoadedStore &&other) noexcept
    : db(other.release())
    , tables(std::move(other.tables))
    , failure(std::move(other.failure))
    , reason(std::move(other.reason))
{
}

TLoadedStore &TLoadedStore::operator=(TLoadedStore &&other) noexcept
{
    if (this != &other) {
        if (db)
            sqlite3_close_v2(db);
        db = other.release();
        tables = std::move(other.tables);
        failure = std::move(other.failure);
        reason = std::move(other.reason);
    }
    return *this;
}

TLoadedStore::~TLoadedStore()
{
    if (db)
        sqlite3_close_v2(db);
}

sqlite3 *TLoadedStore::release()
{
    return std::exchange(db, nullptr);
}

TLoadedStore ReadStoreFile(const QString &fileName)
{
    // Relative names resolve against the current directory, not the program's folder. A folder or a
    // pipe of that name is no database file either (reading a pipe could wait for ever).
    if (!QFileInfo(fileName).isFile())
        return failed(MissingFileMessage, QStringLiteral("no such file"));
    // Read-only, and Linux takes no lock on it: other programs may keep using the file.
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return failed(ConnectFailedMessage, file.errorString());
    const QByteArray image = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failed(ConnectFailedMessage, file.errorString());
    return ReadStoreImage(image, JetReader::ReadTimeLimitMs);
}

TLoadedStore ReadStoreImage(const QByteArray &image, int timeLimitMs)
{
    TLoadedStore store;
    if (sqlite3_open_v2(
            ":memory:", &store.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK)
        return failed(ConnectFailedMessage, QStringLiteral("the query engine cannot start"));
    sqlite3_exec(store.db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
    const JetReader::Result read = JetReader::load(image, store.db, timeLimitMs);
    if (!read.ok)
        return failed(ConnectFailedMessage, read.reason);
    store.tables = read.tables;
    return store;
}

TStorePreload::TStorePreload(const QString &fileName)
    : m_stamp(stampOf(fileName))
{
    // The stamp is taken before the read: a file replaced meanwhile never matches it again.
    try {
        m_result = std::async(std::launch::async, [fileName] { return ReadStoreFile(fileName); });
    } catch (const std::system_error &) {
        return; // no thread to spare: Connect reads the file itself
    }
    const std::lock_guard<std::mutex> lock(registryLock);
    livePreload = this;
}

TStorePreload::~TStorePreload()
{
    {
        const std::lock_guard<std::mutex> lock(registryLock);
        if (livePreload == this)
            livePreload = nullptr;
    }
    // The reader must have finished before its result goes; an untaken engine closes with it.
    if (m_result.valid())
        m_result.wait();
}

std::optional<TLoadedStore> TStorePreload::Take(const QString &fileName)
{
    const std::lock_guard<std::mutex> lock(registryLock);
    TStorePreload *preload = livePreload;
    if (!preload || preload->m_taken)
        return std::nullopt;
    const Stamp now = stampOf(fileName);
    if (!(now == preload->m_stamp))
        return std::nullopt;
    preload->m_taken = true;
    TLoadedStore result = preload->m_result.get();
    // Checked again: the file may have changed while it was being read.
    if (!(stampOf(fileName) == preload->m_stamp))
        return std::nullopt;
    return result;
}

bool TStorePreload::Finished() const
{
    return !m_result.valid() || m_result.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

TStorePreload::Stamp TStorePreload::stampOf(const QString &fileName)
{
    const QFileInfo info(fileName);
    Stamp stamp;
    stamp.path = info.absoluteFilePath();
    stamp.exists = info.exists();
    if (stamp.exists) {
        stamp.size = info.size();
        stamp.modified = info.lastModified();
    }
    return stamp;
}
