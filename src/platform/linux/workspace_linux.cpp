#include "platform/linux/workspace_linux.h"

#include "platform/linux/logind_sleep_monitor.h"
#include "platform/linux/screensaver_monitor.h"


LinuxWorkspaceEvents::LinuxWorkspaceEvents(const QDBusConnection &systemBus, const QDBusConnection &sessionBus,
                                           const ServiceNames &names, QObject *parent)
    : WorkspaceEvents(parent)
    , m_logind(new LogindSleepMonitor(systemBus, names.logind, this))
    , m_screensaver(new ScreensaverMonitor(sessionBus, names.freedesktopScreenSaver, names.gnomeScreenSaver, this))
{
    connect(m_logind, &LogindSleepMonitor::willSleep, this, &WorkspaceEvents::willSleep);
    connect(m_logind, &LogindSleepMonitor::didWake, this, &WorkspaceEvents::didWake);
    connect(m_screensaver, &ScreensaverMonitor::screensDidSleep, this, &WorkspaceEvents::screensDidSleep);
    connect(m_screensaver, &ScreensaverMonitor::screensDidWake, this, &WorkspaceEvents::screensDidWake);
}

bool LinuxWorkspaceEvents::listensForMachineSleep() const
{
    return m_logind->isListening();
}

bool LinuxWorkspaceEvents::listensForDisplaySleep() const
{
    return m_screensaver->isListening();
}
