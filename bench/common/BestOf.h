#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <functional>

// The best of several runs in milliseconds: the least disturbed by whatever else the machine does.
inline double bestOf(int runs, const std::function<void()> &work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}
