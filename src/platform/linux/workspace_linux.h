#pragma once

#include "platform/workspace.h"

#include <QDBusConnection>

class LogindSleepMonitor;
class ScreensaverMonitor;

// Bus names of the services listened to; tests run their own.
struct WorkspaceServiceNames
{
    QString logind = QStringLiteral("org.freedesktop.login1");
    QString freedesktopScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
    QString gnomeScreenSaver = QStringLiteral("org.gnome.ScreenSaver");
};

// Workspace events from the login manager (machine sleep) and the screen
// saver (display sleep).
class LinuxWorkspaceEvents final : public WorkspaceEvents
{
    Q_OBJECT

public:
    using ServiceNames = WorkspaceServiceNames;

    LinuxWorkspaceEvents(const QDBusConnection &systemBus, const QDBusConnection &sessionBus,
                         const ServiceNames &names = ServiceNames(), QObject *parent = nullptr);

    bool listensForMachineSleep() const;
    bool listensForDisplaySleep() const;

private:
    LogindSleepMonitor *m_logind;
    ScreensaverMonitor *m_screensaver;
};
