#include "platform/linux/screensaver_monitor.h"

namespace {

struct ScreensaverSource
{
    QString service;
    QString path;
    QString interface;
};

} // namespace

ScreensaverMonitor::ScreensaverMonitor(const QDBusConnection &sessionBus, const QString &freedesktopService,
                                       const QString &gnomeService, QObject *parent)
    : QObject(parent)
{
    QDBusConnection bus = sessionBus;
    if (!bus.isConnected())
        return;
    // KDE also publishes the freedesktop interface under "/ScreenSaver".
    const ScreensaverSource sources[] = {
        {freedesktopService, QStringLiteral("/org/freedesktop/ScreenSaver"), kFreedesktopService},
        {freedesktopService, QStringLiteral("/ScreenSaver"), kFreedesktopService},
        {gnomeService, QStringLiteral("/org/gnome/ScreenSaver"), kGnomeService},
    };
    for (const ScreensaverSource &source : sources) {
        // Qt D-Bus delivers bus signals only to named slots.
        m_listening |= bus.connect(source.service, source.path, source.interface, QStringLiteral("ActiveChanged"),
                                   this, SLOT(onActiveChanged(bool)));
    }
}

void ScreensaverMonitor::onActiveChanged(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    if (active)
        emit screensDidSleep();
    else
        emit screensDidWake();
}
