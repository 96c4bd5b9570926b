// libFuzzer target: the store's decoding of the stream its reader child writes, from memory. The
// child reads damaged files, so no stream may crash the decoding or make it read out of bounds.
#include "JetReader.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(":memory:", &db) != SQLITE_OK)
        std::abort();
    const QByteArray stream = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)JetReader::decode(stream, db);
    sqlite3_close(db);
    return 0;
}
