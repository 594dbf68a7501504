#include "app/shell/system_event_router.h"

#include "platform/workspace.h"

SystemEventRouter::SystemEventRouter(WorkspaceEvents &events, std::function<void(bool)> noteTransition,
                                     QObject *parent)
    : QObject(parent)
    , m_noteTransition(std::move(noteTransition))
{
    connect(&events, &WorkspaceEvents::screensDidSleep, this, [this] { route(kDisplaySleep, false); });
    connect(&events, &WorkspaceEvents::screensDidWake, this, [this] { route(kDisplayWake, true); });
    connect(&events, &WorkspaceEvents::willSleep, this, [this] { route(kSystemSleep, false); });
    connect(&events, &WorkspaceEvents::didWake, this, [this] { route(kSystemWake, true); });
}

void SystemEventRouter::route(const QString &name, bool waking)
{
    emit systemEvent(name, waking);
    if (m_noteTransition)
        m_noteTransition(waking);
}
