#pragma once

#include "platform/workspace.h"

#include <QDBusConnection>

class LogindSleepMonitor;
class ScreensaverMonitor;

// Workspace events from the login manager (machine sleep) and the screen
// saver (display sleep).
class LinuxWorkspaceEvents final : public WorkspaceEvents
{
    Q_OBJECT

public:
    LinuxWorkspaceEvents(const QDBusConnection &systemBus, const QDBusConnection &sessionBus,
                         QObject *parent = nullptr);

    bool listensForMachineSleep() const;
    bool listensForDisplaySleep() const;

private:
    LogindSleepMonitor *m_logind;
    ScreensaverMonitor *m_screensaver;
};
