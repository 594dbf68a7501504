#pragma once

#include "platform/serial_queue.h"

#include <QCoreApplication>

// Lets the work hop queue → main thread → queue until nothing is left.
inline void settle(SerialQueue &queue)
{
    for (int hop = 0; hop < 3; ++hop) {
        queue.sync([] {});
        QCoreApplication::sendPostedEvents();
    }
}
