#include "platform/system_backends.h"

#include "platform/linux/gnome_battery_percentage.h"
#include "platform/linux/sysfs_battery_registry.h"
#include "platform/linux/upower_power_sources.h"
#include "platform/linux/xdg_autostart_login_item.h"
#include "platform/linux/xdg_desktop_launcher.h"

#include <QCoreApplication>
#include <QDir>

PowerSourceList &systemPowerSources()
{
    static UPowerPowerSources sources;
    return sources;
}

SmartBatteryRegistry &systemSmartBatteryRegistry()
{
    static SysfsSmartBatteryRegistry registry(QStringLiteral("/sys"));
    return registry;
}

std::unique_ptr<SmartBatteryRegistry> makeSmartBatteryRegistry(const QString &sysRoot)
{
    return std::make_unique<SysfsSmartBatteryRegistry>(sysRoot);
}

std::unique_ptr<SystemBatteryItem> makeSystemBatteryItem(ToolRunner &tools, const QStringList &desktopNames)
{
    if (desktopNames.contains(QStringLiteral("GNOME"), Qt::CaseInsensitive))
        return std::make_unique<GnomeBatteryPercentage>(tools);
    return std::make_unique<UnreachableSystemBatteryItem>();
}

std::unique_ptr<LoginItem> makeLoginItem(const QString &autostartDir, const QString &executablePath)
{
    return std::make_unique<XdgAutostartLoginItem>(autostartDir, QStringLiteral("com.marblewickhq.pendrapro"),
                                                   executablePath);
}

std::unique_ptr<LoginItem> makeSystemLoginItem()
{
    // A relative XDG_CONFIG_HOME is invalid and ignored.
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || !QDir::isAbsolutePath(configHome))
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return makeLoginItem(configHome + QStringLiteral("/autostart"), QCoreApplication::applicationFilePath());
}

std::unique_ptr<DesktopLauncher> makeSystemDesktopLauncher()
{
    return std::make_unique<XdgDesktopLauncher>();
}
