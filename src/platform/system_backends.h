#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class ChargeThresholds;
class QDBusConnection;
class Clock;
class ColorSchemeSource;
class DesktopLauncher;
class EnergyCounters;
class FileManager;
class Keychain;
class LocationManager;
class LoginItem;
class Notifications;
class QNetworkAccessManager;
class QUrl;
class ReverseGeocoder;
class PowerModeMonitor;
class PowerSourceList;
class ProcessTable;
class SmartBatteryRegistry;
class SmcUserClient;
class StatusItem;
class SystemBatteryItem;
class SystemInfo;
class ToolRunner;
class TrayPanelProbe;
class WorkspaceEvents;

// The machine's real platform services. The only place that knows which
// implementation is real; everything else sees the interfaces. Create on the
// main thread after the application object (the D-Bus backends subscribe to
// signals there).
struct SystemBackends
{
    SystemBackends();
    ~SystemBackends();
    SystemBackends(SystemBackends &&) noexcept;

    std::unique_ptr<PowerSourceList> powerSources;
    std::unique_ptr<SmartBatteryRegistry> batteryRegistry;
    std::unique_ptr<EnergyCounters> energyCounters;
    std::unique_ptr<SystemInfo> systemInfo;
    std::unique_ptr<ProcessTable> processTable;
    std::unique_ptr<PowerModeMonitor> powerMode;
    std::unique_ptr<SmcUserClient> smc;
    std::unique_ptr<Notifications> notifications;
    std::unique_ptr<WorkspaceEvents> workspace;
    std::unique_ptr<DesktopLauncher> desktopLauncher;
    std::unique_ptr<SystemBatteryItem> systemBatteryItem;
    std::unique_ptr<LoginItem> loginItem;
    std::unique_ptr<ChargeThresholds> chargeThresholds;
};

SystemBackends makeSystemBackends();

// The smart-battery registry read below `sysRoot`, a stand-in for /sys (a
// recorded tree, for diagnostics).
std::unique_ptr<SmartBatteryRegistry> makeSmartBatteryRegistry(const QString &sysRoot);

// A StatusNotifierItem on the session bus. With `onlyWithWatcher`, null when
// no watcher (a tray host) answers there, so the caller can fall back to
// XEmbed.
std::unique_ptr<StatusItem> makeStatusNotifierItem(Clock &clock, bool onlyWithWatcher);

// The desktop's own battery indicator for a session whose desktop names are
// `desktopNames` (DesktopLauncher::desktopNames): GNOME's battery percentage
// and XFCE's power manager icon switched through `tools`, Plasma's battery
// applet through its shell on `bus`, LXQt's power management icon in its
// settings below `configHome`; elsewhere one that has nothing to act on.
std::unique_ptr<SystemBatteryItem> makeSystemBatteryItem(ToolRunner &tools, const QStringList &desktopNames,
                                                         const QDBusConnection &bus, const QString &configHome);

// The session's configuration folder: XDG_CONFIG_HOME, else ~/.config.
QString configHomeFolder();

// The login item as the autostart entry "com.marblewickhq.pendrapro.desktop"
// in `autostartDir`, starting `executablePath` (absolute).
std::unique_ptr<LoginItem> makeLoginItem(const QString &autostartDir, const QString &executablePath);
// The same in the session's autostart folder ($XDG_CONFIG_HOME/autostart),
// starting this running executable.
std::unique_ptr<LoginItem> makeSystemLoginItem();

// The running desktop session, for opening its settings.
std::unique_ptr<DesktopLauncher> makeSystemDesktopLauncher();

// The user's secret store: the Secret Service, and a 0600 file in
// `secretsFolder` (created 0700) whenever no Secret Service answers.
std::unique_ptr<Keychain> makeSystemKeychain(const QString &secretsFolder);

// The machine's position service (GeoClue), coarse fixes only.
std::unique_ptr<LocationManager> makeSystemLocationManager();
// Place names from the OpenStreetMap Nominatim server at `baseUrl`
// (https://nominatim.openstreetmap.org); `userAgent` identifies the
// application as the server's usage policy asks.
std::unique_ptr<ReverseGeocoder> makeSystemReverseGeocoder(QNetworkAccessManager &network, Clock &clock,
                                                           const QUrl &baseUrl, const QByteArray &userAgent);

// The desktop's light/dark preference from the XDG desktop portal on the
// session bus (noPreference without one).
std::unique_ptr<ColorSchemeSource> makeSystemColorScheme();

// The desktop's file manager over the session bus; `openFolder` opens a
// folder when no file manager answers (the app passes the desktop's URL
// opener).
std::unique_ptr<FileManager> makeSystemFileManager(std::function<void(const QString &folder)> openFolder);

// The system battery's firmware charge thresholds; whether the desktop can
// hold a limit too is asked of UPower on the system bus.
std::unique_ptr<ChargeThresholds> makeSystemChargeThresholds();

// The tray panel's colours, read from the X server named by $DISPLAY.
std::unique_ptr<TrayPanelProbe> makeSystemTrayPanelProbe();
