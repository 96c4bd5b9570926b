// libFuzzer target: the RTF reader over arbitrary bytes (see build.sh).
#include "RtfReader.h"

#include <QGuiApplication>
#include <QTextDocument>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_rtf";
    static char *argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    QTextDocument doc;
    ReadRtf(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &doc);
    return 0;
}
