#pragma once

#include <thread>

// Starts fontconfig (reading its configuration and caches, several milliseconds) in a worker thread
// while Qt loads its platform plugin. Qt does not wait for it: it would read everything a second
// time itself, so the first text is measured only after WaitForFontconfig().
class TFontconfigStart
{
protected:
    TFontconfigStart();
    ~TFontconfigStart();

private:
    std::thread m_thread;
};

// Returns once an early start of fontconfig has finished; at once when there is none.
void WaitForFontconfig();
