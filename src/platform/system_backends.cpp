#include "platform/system_backends.h"

#include "platform/desktop_launcher.h"
#include "platform/linux/charge_behaviour_smc.h"
#include "platform/linux/fallback_keychain.h"
#include "platform/linux/freedesktop_file_manager.h"
#include "platform/linux/freedesktop_notifications.h"
#include "platform/linux/geoclue_location_manager.h"
#include "platform/linux/gnome_battery_percentage.h"
#include "platform/linux/lxqt_power_management_icon.h"
#include "platform/linux/nominatim_reverse_geocoder.h"
#include "platform/linux/plasma_battery_applet.h"
#include "platform/linux/portal_color_scheme.h"
#include "platform/linux/power_profiles_monitor.h"
#include "platform/linux/proc_process_table.h"
#include "platform/linux/proc_system_info.h"
#include "platform/linux/rapl_energy_counters.h"
#include "platform/linux/secret_service_keychain.h"
#include "platform/linux/secret_service_presence.h"
#include "platform/linux/secrets_file_keychain.h"
#include "platform/linux/status_notifier_item.h"
#include "platform/linux/sysfs_battery_registry.h"
#include "platform/linux/sysfs_charge_thresholds.h"
#include "platform/linux/upower_power_sources.h"
#include "platform/linux/workspace_linux.h"
#include "platform/linux/xdg_autostart_login_item.h"
#include "platform/linux/xdg_desktop_launcher.h"
#include "platform/linux/xfce_power_manager_icon.h"
#include "platform/linux/x11_tray_panel_probe.h"
#include "platform/tool_runner.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QVariantMap>

SystemBackends::SystemBackends() = default;
SystemBackends::~SystemBackends() = default;
SystemBackends::SystemBackends(SystemBackends &&) noexcept = default;

SystemBackends makeSystemBackends()
{
    const QDBusConnection systemBus = QDBusConnection::systemBus();
    const QDBusConnection sessionBus = QDBusConnection::sessionBus();
    SystemBackends backends;
    backends.powerSources = std::make_unique<UPowerPowerSources>();
    backends.batteryRegistry = std::make_unique<SysfsSmartBatteryRegistry>(QStringLiteral("/sys"));
    backends.energyCounters = std::make_unique<RaplEnergyCounters>();
    backends.systemInfo = std::make_unique<ProcSystemInfo>();
    backends.processTable = std::make_unique<ProcProcessTable>();
    backends.powerMode = std::make_unique<PowerProfilesMonitor>(systemBus);
    backends.smc = std::make_unique<ChargeBehaviourSmc>();
    backends.notifications = std::make_unique<FreedesktopNotifications>(sessionBus);
    backends.workspace = std::make_unique<LinuxWorkspaceEvents>(systemBus, sessionBus);
    backends.desktopLauncher = makeSystemDesktopLauncher();
    backends.systemBatteryItem = makeSystemBatteryItem(ToolRunner::system(), backends.desktopLauncher->desktopNames(),
                                                       sessionBus, configHomeFolder());
    backends.loginItem = makeSystemLoginItem();
    backends.chargeThresholds = makeSystemChargeThresholds();
    return backends;
}

std::unique_ptr<SmartBatteryRegistry> makeSmartBatteryRegistry(const QString &sysRoot)
{
    return std::make_unique<SysfsSmartBatteryRegistry>(sysRoot);
}

std::unique_ptr<StatusItem> makeStatusNotifierItem(Clock &clock, bool onlyWithWatcher)
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (onlyWithWatcher && !StatusNotifierItem::watcherAvailable(bus))
        return nullptr;
    return std::make_unique<StatusNotifierItem>(bus, clock);
}

std::unique_ptr<SystemBatteryItem> makeSystemBatteryItem(ToolRunner &tools, const QStringList &desktopNames,
                                                         const QDBusConnection &bus, const QString &configHome)
{
    const auto runs = [&desktopNames](const char *name) {
        return desktopNames.contains(QLatin1String(name), Qt::CaseInsensitive);
    };
    if (runs("GNOME"))
        return std::make_unique<GnomeBatteryPercentage>(tools);
    if (runs("KDE"))
        return std::make_unique<PlasmaBatteryApplet>(bus);
    if (runs("XFCE"))
        return std::make_unique<XfcePowerManagerIcon>(tools);
    if (runs("LXQt"))
        return std::make_unique<LxqtPowerManagementIcon>(configHome);
    return std::make_unique<UnreachableSystemBatteryItem>();
}

std::unique_ptr<LoginItem> makeLoginItem(const QString &autostartDir, const QString &executablePath)
{
    return std::make_unique<XdgAutostartLoginItem>(autostartDir, QStringLiteral("com.marblewickhq.pendrapro"),
                                                   executablePath);
}

QString configHomeFolder()
{
    // A relative XDG_CONFIG_HOME is invalid and ignored.
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || !QDir::isAbsolutePath(configHome))
        return QDir::homePath() + QStringLiteral("/.config");
    return configHome;
}

std::unique_ptr<LoginItem> makeSystemLoginItem()
{
    return makeLoginItem(configHomeFolder() + QStringLiteral("/autostart"), QCoreApplication::applicationFilePath());
}

std::unique_ptr<DesktopLauncher> makeSystemDesktopLauncher()
{
    return std::make_unique<XdgDesktopLauncher>();
}

std::unique_ptr<Keychain> makeSystemKeychain(const QString &secretsFolder)
{
    return std::make_unique<FallbackKeychain>(std::make_unique<SecretServiceKeychain>(),
                                              std::make_unique<SecretsFileKeychain>(secretsFolder),
                                              [] { return secretStoreOnBus(QDBusConnection::sessionBus()); });
}

std::unique_ptr<LocationManager> makeSystemLocationManager()
{
    // GeoClue matches the desktop id against the installed .desktop file
    // when it decides whether the application may locate the machine.
    return std::make_unique<GeoClueLocationManager>(
        [] {
            const QVariantMap parameters{{QStringLiteral("desktopId"), QStringLiteral("com.marblewickhq.pendrapro")}};
            return std::unique_ptr<QGeoPositionInfoSource>(
                QGeoPositionInfoSource::createSource(QStringLiteral("geoclue2"), parameters, nullptr));
        },
        QDBusConnection::systemBus());
}

std::unique_ptr<ReverseGeocoder> makeSystemReverseGeocoder(QNetworkAccessManager &network, Clock &clock,
                                                           const QUrl &baseUrl, const QByteArray &userAgent)
{
    return std::make_unique<NominatimReverseGeocoder>(network, clock, baseUrl, userAgent);
}

std::unique_ptr<ColorSchemeSource> makeSystemColorScheme()
{
    return std::make_unique<PortalColorScheme>(QDBusConnection::sessionBus());
}

std::unique_ptr<FileManager> makeSystemFileManager(std::function<void(const QString &folder)> openFolder)
{
    return std::make_unique<FreedesktopFileManager>(QDBusConnection::sessionBus(), std::move(openFolder));
}

std::unique_ptr<ChargeThresholds> makeSystemChargeThresholds()
{
    auto thresholds = std::make_unique<SysfsChargeThresholds>();
    thresholds->askDesktop(QDBusConnection::systemBus());
    return thresholds;
}

std::unique_ptr<TrayPanelProbe> makeSystemTrayPanelProbe()
{
    return std::make_unique<X11TrayPanelProbe>(qgetenv("DISPLAY"));
}
