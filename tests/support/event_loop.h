#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

// Spins the Qt event loop until `done` holds or `limitMs` passes; returns
// whether `done` held. For work that hops between a queue and the main thread.
inline bool spinUntil(const std::function<bool()> &done, int limitMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}
