#include "platform/linux/power_profiles_monitor.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace {

// Properties.Get on a running daemon answers in milliseconds; a hung daemon
// must not keep the value unknown for the default 25 s.
constexpr int kCallTimeoutMs = 3000;

const QString kActiveProfile = QStringLiteral("ActiveProfile");

} // namespace


QList<PowerProfilesMonitor::Daemon> PowerProfilesMonitor::standardDaemons()
{
    // The daemon renamed itself; older releases answer only to the legacy name.
    return {
        {QStringLiteral("org.freedesktop.UPower.PowerProfiles"), QStringLiteral("/org/freedesktop/UPower/PowerProfiles"),
         QStringLiteral("org.freedesktop.UPower.PowerProfiles")},
        {QStringLiteral("net.hadess.PowerProfiles"), QStringLiteral("/net/hadess/PowerProfiles"),
         QStringLiteral("net.hadess.PowerProfiles")},
    };
}

PowerProfilesMonitor::PowerProfilesMonitor(QDBusConnection bus, QString platformProfilePath, QList<Daemon> daemons,
                                           SysfsFiles &files, QObject *parent)
    : PowerModeMonitor(parent)
    , m_bus(std::move(bus))
    , m_platformProfilePath(std::move(platformProfilePath))
    , m_daemons(std::move(daemons))
    , m_files(files)
{
    if (m_bus.isConnected()) {
        // A daemon that starts, restarts or quits later is asked again.
        auto *watcher = new QDBusServiceWatcher(this);
        watcher->setConnection(m_bus);
        watcher->setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
        for (const Daemon &daemon : std::as_const(m_daemons)) {
            watcher->addWatchedService(daemon.service);
            m_bus.connect(daemon.service, daemon.path,
                          QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"),
                          this, SLOT(onPropertiesChanged(QString, QVariantMap, QStringList)));
        }
        connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] { askDaemon(0); });
    }
    refresh();
}

void PowerProfilesMonitor::refresh()
{
    const std::optional<QByteArray> profile = m_files.read(m_platformProfilePath);
    m_platformProfile = profile ? std::optional(QString::fromUtf8(profile->trimmed())) : std::nullopt;
    update();
    askDaemon(0);
}

void PowerProfilesMonitor::askDaemon(int serviceIndex)
{
    if (!m_bus.isConnected())
        return;
    if (serviceIndex >= m_daemons.size()) {
        // No daemon answers (any more): the platform profile decides.
        m_daemonProfile.reset();
        update();
        return;
    }
    const Daemon &daemon = m_daemons.at(serviceIndex);
    QDBusMessage get = QDBusMessage::createMethodCall(daemon.service, daemon.path,
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << daemon.interface << kActiveProfile;
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
