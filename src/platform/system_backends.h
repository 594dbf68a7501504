#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class PowerSourceList;
class SmartBatteryRegistry;

// The machine's real battery backends, created on first use and kept for the
// process. The only place that knows which implementation is real.
PowerSourceList &systemPowerSources();
SmartBatteryRegistry &systemSmartBatteryRegistry();

// The smart-battery registry read below `sysRoot`, a stand-in for /sys (a
// recorded tree, for diagnostics).
std::unique_ptr<SmartBatteryRegistry> makeSmartBatteryRegistry(const QString &sysRoot);

class DesktopLauncher;
class LoginItem;
class SystemBatteryItem;
class ToolRunner;

// The desktop's own battery indicator for a session whose desktop names are
// `desktopNames` (DesktopLauncher::desktopNames): GNOME's top-bar battery
// percentage, switched through `tools`; on other desktops one that has
// nothing to act on.
std::unique_ptr<SystemBatteryItem> makeSystemBatteryItem(ToolRunner &tools, const QStringList &desktopNames);

// The login item as the autostart entry "com.marblewickhq.pendrapro.desktop"
// in `autostartDir`, starting `executablePath` (absolute).
std::unique_ptr<LoginItem> makeLoginItem(const QString &autostartDir, const QString &executablePath);
// The same in the session's autostart folder ($XDG_CONFIG_HOME/autostart),
// starting this running executable.
std::unique_ptr<LoginItem> makeSystemLoginItem();

// The running desktop session, for opening its settings.
std::unique_ptr<DesktopLauncher> makeSystemDesktopLauncher();
