#include "platform/linux/power_profiles_monitor.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QFile>

namespace {

struct DaemonName
{
    const char *service;
    const char *path;
    const char *interface;
};

// The daemon renamed itself; older releases answer only to the legacy name.
constexpr DaemonName kDaemons[] = {
    {"org.freedesktop.UPower.PowerProfiles", "/org/freedesktop/UPower/PowerProfiles",
     "org.freedesktop.UPower.PowerProfiles"},
    {"net.hadess.PowerProfiles", "/net/hadess/PowerProfiles", "net.hadess.PowerProfiles"},
};
constexpr int kDaemonCount = sizeof(kDaemons) / sizeof(kDaemons[0]);
// Properties.Get on a running daemon answers in milliseconds; a hung daemon
// must not keep the value unknown for the default 25 s.
constexpr int kCallTimeoutMs = 3000;

const QString kActiveProfile = QStringLiteral("ActiveProfile");

std::optional<QString> readPlatformProfile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return QString::fromUtf8(file.read(64)).trimmed();
}

} // namespace

PowerModeMonitor &PowerModeMonitor::system()
{
    static PowerProfilesMonitor *monitor = new PowerProfilesMonitor(QDBusConnection::systemBus());
    return *monitor;
}

PowerProfilesMonitor::PowerProfilesMonitor(QDBusConnection bus, QString platformProfilePath, QObject *parent)
    : PowerModeMonitor(parent)
    , m_bus(std::move(bus))
    , m_platformProfilePath(std::move(platformProfilePath))
{
    if (m_bus.isConnected()) {
        for (const DaemonName &daemon : kDaemons) {
            m_bus.connect(QLatin1String(daemon.service), QLatin1String(daemon.path),
                          QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"),
                          this, SLOT(onPropertiesChanged(QString, QVariantMap, QStringList)));
        }
    }
    refresh();
}

void PowerProfilesMonitor::refresh()
{
    m_platformProfile = readPlatformProfile(m_platformProfilePath);
    update();
    askDaemon(0);
}

void PowerProfilesMonitor::askDaemon(int serviceIndex)
{
    if (!m_bus.isConnected() || serviceIndex >= kDaemonCount)
        return;
    const DaemonName &daemon = kDaemons[serviceIndex];
    QDBusMessage get = QDBusMessage::createMethodCall(QLatin1String(daemon.service), QLatin1String(daemon.path),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << QLatin1String(daemon.interface) << kActiveProfile;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(get, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, serviceIndex](QDBusPendingCallWatcher *finished) { onGetFinished(finished, serviceIndex); });
}

void PowerProfilesMonitor::onGetFinished(QDBusPendingCallWatcher *watcher, int serviceIndex)
{
    watcher->deleteLater();
    const QDBusPendingReply<QDBusVariant> reply = *watcher;
    if (reply.isError()) {
        askDaemon(serviceIndex + 1);
        return;
    }
    m_daemonProfile = reply.value().variant().toString();
    update();
}

void PowerProfilesMonitor::onPropertiesChanged(const QString &interface, const QVariantMap &changed,
                                               const QStringList &invalidated)
{
    Q_UNUSED(interface);
    if (changed.contains(kActiveProfile)) {
        m_daemonProfile = changed.value(kActiveProfile).toString();
        update();
    } else if (invalidated.contains(kActiveProfile)) {
        askDaemon(0);
    }
}

void PowerProfilesMonitor::update()
{
    const bool enabled = m_daemonProfile ? *m_daemonProfile == QLatin1String("power-saver")
                                         : m_platformProfile.value_or(QString()) == QLatin1String("low-power");
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    emit lowPowerModeChanged(enabled);
}
