// Stands in for the Update library: records each DoUpdate call and can run a hook inside it, so a
// test can make a second timer tick arrive while DoUpdate is still running.
#include <QByteArray>
#include <QtGlobal>

namespace {
int calls = 0;
QByteArray lastUrl;
quintptr lastWindow = 0;
void (*hook)() = nullptr;
} // namespace

extern "C" Q_DECL_EXPORT void DoUpdate(quintptr window, const char *url)
{
    ++calls;
    lastUrl = url ? QByteArray(url) : QByteArray();
    lastWindow = window;
    if (hook)
        hook();
}

extern "C" Q_DECL_EXPORT int StandInCalls()
{
    return calls;
}

extern "C" Q_DECL_EXPORT const char *StandInLastUrl()
{
    return lastUrl.constData();
}

extern "C" Q_DECL_EXPORT quintptr StandInLastWindow()
{
    return lastWindow;
}

extern "C" Q_DECL_EXPORT void StandInReset(void (*newHook)())
{
    calls = 0;
    lastUrl.clear();
    lastWindow = 0;
    hook = newHook;
}
