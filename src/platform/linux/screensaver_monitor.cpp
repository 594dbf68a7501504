#include "platform/linux/screensaver_monitor.h"

namespace {

struct ScreensaverSource
{
    const char *service;
    const char *path;
    const char *interface;
};

// KDE also publishes the freedesktop interface under "/ScreenSaver".
constexpr ScreensaverSource kSources[] = {
    {"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver"},
    {"org.freedesktop.ScreenSaver", "/ScreenSaver", "org.freedesktop.ScreenSaver"},
    {"org.gnome.ScreenSaver", "/org/gnome/ScreenSaver", "org.gnome.ScreenSaver"},
};

} // namespace

ScreensaverMonitor::ScreensaverMonitor(const QDBusConnection &sessionBus, QObject *parent)
    : QObject(parent)
{
    QDBusConnection bus = sessionBus;
    if (!bus.isConnected())
        return;
    for (const ScreensaverSource &source : kSources) {
        // Qt D-Bus delivers bus signals only to named slots.
        m_listening |= bus.connect(QLatin1String(source.service), QLatin1String(source.path),
                                   QLatin1String(source.interface), QStringLiteral("ActiveChanged"), this,
                                   SLOT(onActiveChanged(bool)));
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
