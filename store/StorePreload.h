#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <future>
#include <optional>

struct sqlite3;

// What reading a phrase-book file gave: an engine holding its tables, or why there is none.
struct TLoadedStore
{
    sqlite3 *db = nullptr;
    QStringList tables;
    QString failure; // the user's message; empty when db is set
    QString reason; // why it failed, for tools and tests

    TLoadedStore() = default;
    TLoadedStore(TLoadedStore &&other) noexcept;
    TLoadedStore &operator=(TLoadedStore &&other) noexcept;
    ~TLoadedStore();
    // Hands the engine over; the caller closes it.
    sqlite3 *release();
};

// The whole of Connect's work on a file or on an image already in memory.
TLoadedStore ReadStoreFile(const QString &fileName);
TLoadedStore ReadStoreImage(const QByteArray &image, int timeLimitMs);

// Reads a phrase-book file in the background while the program builds its window, so that the
// store's Connect only waits for what is left. While one lives, a Connect on the same unchanged
// file takes its result, failures included, instead of reading the file again.
class TStorePreload
{
public:
    explicit TStorePreload(const QString &fileName);
    ~TStorePreload();
    TStorePreload(const TStorePreload &) = delete;
    TStorePreload &operator=(const TStorePreload &) = delete;

    // The result for fileName, once; nothing when no preload of that file lives, it was taken
    // already, or the file changed since the preload began.
    static std::optional<TLoadedStore> Take(const QString &fileName);
    // Whether the background read has ended (or never began), its result waiting to be taken.
    bool Finished() const;

private:
    struct Stamp
    {
        QString path;
        bool exists = false;
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const Stamp &) const = default;
    };
    static Stamp stampOf(const QString &fileName);

    Stamp m_stamp;
    std::future<TLoadedStore> m_result;
    bool m_taken = false;
};
