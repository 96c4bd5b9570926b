#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct sqlite3;

// Copies every user table of a Jet/ACE file image into an SQLite database.
//
// libmdb is only ever called in a forked child: on damaged files it loops for ever, prints to
// stdout/stderr and can crash. The child streams raw column bytes back through a pipe; the parent
// validates every frame, decodes the text itself (libmdb turns characters outside the BMP into "?",
// reads Jet 3 text as CP1252 and cuts memos at its bind size) and fills SQLite.
namespace JetReader {

struct Result
{
    bool ok = false;
    QString reason; // why it failed, for tools and tests; the user only sees the fixed message
    QStringList tables; // user tables in catalogue order
    int jetVersion = -1; // byte 0x14 of the header: 0 Jet 3, 1 Jet 4, 2.. ACE
};

// Time the child may take before it is killed; Connect must end within 5 s on any file.
inline constexpr int ReadTimeLimitMs = 4000;

// True when the header holds a database password (which libmdb would not check).
bool hasDatabasePassword(const QByteArray &image);

Result load(const QByteArray &image, sqlite3 *db, int timeLimitMs = ReadTimeLimitMs);

// The parent's half of load: decodes a stream as the child writes it (its frames are described in
// JetReader.cpp) from memory, for tests and fuzzing. On failure db holds an unfinished copy.
Result decode(const QByteArray &stream, sqlite3 *db);

// Jet 4 text: UCS-2LE (surrogate pairs kept), or "compressed Unicode" when it starts FF FE.
void appendJet4TextUtf8(const char *data, qsizetype size, std::string &out);

} // namespace JetReader
