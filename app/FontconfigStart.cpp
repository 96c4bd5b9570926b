#include "FontconfigStart.h"

#include <fontconfig/fontconfig.h>

namespace {

// The start under way; only the main thread touches it.
std::thread *runningStart = nullptr;

} // namespace

TFontconfigStart::TFontconfigStart()
    : m_thread([] { FcInit(); })
{
    runningStart = &m_thread;
}

TFontconfigStart::~TFontconfigStart()
{
    WaitForFontconfig();
}

void WaitForFontconfig()
{
    if (runningStart && runningStart->joinable())
        runningStart->join();
    runningStart = nullptr;
}
