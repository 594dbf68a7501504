#pragma once

#include "platform/linux/sysfs_files.h"
#include "platform/power_mode.h"

#include <QDBusConnection>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

class QDBusPendingCallWatcher;

// Low Power Mode on Linux: power-profiles-daemon's "power-saver" profile, or,
// without the daemon, the ACPI platform profile "low-power". The daemon is
// asked asynchronously and then followed through PropertiesChanged, so the
// main thread never waits on the bus.
class PowerProfilesMonitor final : public PowerModeMonitor
{
    Q_OBJECT

public:
    // Where one release of the daemon answers.
    struct Daemon
    {
        QString service;
        QString path;
        QString interface;
    };
    // The daemon's current name, then its legacy name.
    static QList<Daemon> standardDaemons();

    // `bus` is the system bus in production; `daemons` are asked in order.
    explicit PowerProfilesMonitor(QDBusConnection bus,
                                  QString platformProfilePath = QStringLiteral("/sys/firmware/acpi/platform_profile"),
                                  QList<Daemon> daemons = standardDaemons(), SysfsFiles &files = SysfsFiles::real(),
                                  QObject *parent = nullptr);

    bool isLowPowerModeEnabled() const override { return m_enabled; }
    // Whether a daemon answered (tests wait for this).
    bool hasDaemonProfile() const { return m_daemonProfile.has_value(); }

    // Asks the daemon again and re-reads the platform profile.
    void refresh();

private slots:
    // String-based because QtDBus delivers bus signals only to slots.
    void onPropertiesChanged(const QString &interface, const QVariantMap &changed,
                             const QStringList &invalidated);

private:
    void askDaemon(int serviceIndex);
    void onGetFinished(QDBusPendingCallWatcher *watcher, int serviceIndex);
    void update();

    QDBusConnection m_bus;
    QString m_platformProfilePath;
    QList<Daemon> m_daemons;
    SysfsFiles &m_files;
    std::optional<QString> m_daemonProfile;
    std::optional<QString> m_platformProfile;
    bool m_enabled = false;
};
