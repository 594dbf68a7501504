#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

#include <utility>

// Runs work on the main thread from any thread. The owner is held weakly:
// take the QPointer on the main thread before handing work to a queue; if the
// owner is gone when the work would run, the work is dropped.
template <typename Owner, typename Work>
void postToMain(QPointer<Owner> owner, Work &&work)
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [owner, work = std::forward<Work>(work)]() mutable {
            if (owner)
                work(owner.data());
        },
        Qt::QueuedConnection);
}
