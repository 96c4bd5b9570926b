// libFuzzer target: the RTF reader over arbitrary bytes (built with -DPLUMARET_FUZZ=ON).
#include "RtfReader.h"

#include <QGuiApplication>
#include <QTextDocument>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_rtf";
    static char *argv[] = { name, nullptr };
    // No display is needed, nor wanted while fuzzing.
    static const bool offscreen
        = qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qputenv("QT_QPA_PLATFORM", "offscreen");
    (void)offscreen;
    static QGuiApplication app(argc, argv);
    QTextDocument doc;
    ReadRtf(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &doc);
    return 0;
}
