#pragma once

#include "energy/drain_records.h"

#include <QObject>

#include <functional>

class WorkspaceEvents;

// Hands each of the four sleep and wake events on: first to whoever follows
// `systemEvent` (the drain log), then to the power store as a transition
// (waking true after a wake, false before a sleep).
class SystemEventRouter : public QObject
{
    Q_OBJECT

public:
    SystemEventRouter(WorkspaceEvents &events, std::function<void(bool waking)> noteTransition,
                      QObject *parent = nullptr);

    static bool isWaking(DrainEvent event);

signals:
    void systemEvent(DrainEvent event);

private:
    void route(DrainEvent event);

    std::function<void(bool)> m_noteTransition;
};
