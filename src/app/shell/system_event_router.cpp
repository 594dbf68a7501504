#include "app/shell/system_event_router.h"

#include "platform/workspace.h"

SystemEventRouter::SystemEventRouter(WorkspaceEvents &events, std::function<void(bool)> noteTransition,
                                     QObject *parent)
    : QObject(parent)
    , m_noteTransition(std::move(noteTransition))
{
    connect(&events, &WorkspaceEvents::screensDidSleep, this, [this] { route(DrainEvent::DisplaySleep); });
    connect(&events, &WorkspaceEvents::screensDidWake, this, [this] { route(DrainEvent::DisplayWake); });
    connect(&events, &WorkspaceEvents::willSleep, this, [this] { route(DrainEvent::SystemSleep); });
    connect(&events, &WorkspaceEvents::didWake, this, [this] { route(DrainEvent::SystemWake); });
}

bool SystemEventRouter::isWaking(DrainEvent event)
{
    return event == DrainEvent::DisplayWake || event == DrainEvent::SystemWake;
}

void SystemEventRouter::route(DrainEvent event)
{
    emit systemEvent(event);
    if (m_noteTransition)
        m_noteTransition(isWaking(event));
}
