// libFuzzer target: the plain-text reader, and that its output survives a write and a read.
#include "PlainTextCodec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const TPlainText first
        = DecodePlainText(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    bool ok = true;
    const QByteArray written = EncodePlainText(first.text, first.encoding, &ok);
    if (ok && !first.text.contains(QChar::ReplacementCharacter)) {
        const TPlainText second = DecodePlainText(written);
        if (second.text != first.text)
            abort();
    }
    return 0;
}
