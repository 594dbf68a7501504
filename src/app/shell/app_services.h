#pragma once

#include "app/shell/app_delegate.h"
#include "app/core/notification_center.h"
#include "app/tray/tray_host_rules.h"
#include "platform/system_backends.h"

#include <memory>

class AppIconLookup;
class InstallTools;
class ChildProcessManifestFetch;
class LocationManager;
class ReverseGeocoder;
class WeatherStore;
class FileManager;
class Keychain;
class PlusAIClient;
class PlusAIKeyStore;
class PlusChatModel;
class PlusFileDownloads;
class QNetworkAccessManager;
class UpdateChecker;
class UpdateInstaller;
class UpdateLog;
class WidgetUpdatePresenter;
class BatterySnapshot;
class ChargeLimitController;
class ChargeSMC;
class ColorSchemeSource;
class TrayPanelProbe;
class DashboardPrefs;
class SerialQueue;
class SystemBatteryMenuHider;
class Clock;
class Defaults;
class DesktopPanelActions;
class PanelActions;
class DrainAlertMonitor;
class DrainLog;
class IOReportPowerReader;
class MenuPanelModel;
class PowerStore;
class ProcessEnergyStore;
class HistoryRecorder;
class HistoryStore;

// The composition root: every store of the running app, created once, wired
// to the real platform backends and to each other, and kept for the life of
// the process. Nothing else creates a store for the app or names a backend.
// Main thread, after the application object.
class AppServices
{
public:
    AppServices();
    ~AppServices();
    AppServices(const AppServices &) = delete;
    AppServices &operator=(const AppServices &) = delete;

    // What the application delegate works with.
    DelegateServices forDelegate();
    // Follows the delegate's requests that other stores answer (update checks).
    void attach(AppDelegate &delegate);

    Clock &clock() const { return m_clock; }
    Defaults &defaults() const { return *m_defaults; }
    NotificationCenter &notifications() { return m_notifications; }
    PowerStore &power() const { return *m_power; }
    MenuPanelModel &menuPanelModel() const { return *m_menuPanelModel; }

private:
    QWidget *makePopoverContent(QSize size, AppActions &actions);
    QWidget *makeDashboardContent(AppActions &actions);
    QWidget *makeAssistantSection(QWidget *parent);
    // What a click on the item opens on the current tray host, for the
    // first-run sheet.
    TrayClickHint clickHint() const;
    QWidget *makePreferencesContent(AppActions &actions);
    PanelActions &panelActions(AppActions &actions);

    Clock &m_clock;
    SystemBackends m_backends;
    std::unique_ptr<Defaults> m_defaults;
    NotificationCenter m_notifications;
    std::unique_ptr<ColorSchemeSource> m_colorScheme;
    std::unique_ptr<TrayPanelProbe> m_trayPanel;

    std::unique_ptr<BatterySnapshot> m_batterySnapshot;
    std::unique_ptr<IOReportPowerReader> m_socReader;
    std::unique_ptr<PowerStore> m_power;
    std::unique_ptr<DrainLog> m_drainLog;
    std::unique_ptr<ProcessEnergyStore> m_processEnergy;
    std::unique_ptr<DrainAlertMonitor> m_drainAlerts;
    std::unique_ptr<HistoryStore> m_history;
    std::unique_ptr<HistoryRecorder> m_historyRecorder;
    std::unique_ptr<ChargeSMC> m_chargeSmc;
    std::unique_ptr<ChargeLimitController> m_chargeLimit;
    std::unique_ptr<MenuPanelModel> m_menuPanelModel;
    std::unique_ptr<AppIconLookup> m_appIcons;
    std::unique_ptr<DashboardPrefs> m_dashboardPrefs;
    std::unique_ptr<SerialQueue> m_systemBatteryQueue;
    std::unique_ptr<SystemBatteryMenuHider> m_systemBatteryHider;
    std::unique_ptr<DesktopPanelActions> m_panelActions;

    std::unique_ptr<QNetworkAccessManager> m_network;
    std::unique_ptr<LocationManager> m_location;
    std::unique_ptr<ReverseGeocoder> m_geocoder;
    std::unique_ptr<WeatherStore> m_weather;
    std::unique_ptr<Keychain> m_keychain;
    std::unique_ptr<PlusAIKeyStore> m_aiKeys;
    std::unique_ptr<PlusAIClient> m_aiClient;
    std::unique_ptr<FileManager> m_fileManager;
    std::unique_ptr<PlusFileDownloads> m_downloads;
    std::unique_ptr<PlusChatModel> m_chat;
    std::unique_ptr<InstallTools> m_installTools;
    std::unique_ptr<UpdateLog> m_updateLog;
    std::unique_ptr<UpdateInstaller> m_updateInstaller;
    std::unique_ptr<WidgetUpdatePresenter> m_updatePresenter;
    std::unique_ptr<ChildProcessManifestFetch> m_manifestFetch;
    std::unique_ptr<UpdateChecker> m_updateChecker;
    // The delegate once attached: it knows the tray host.
    AppDelegate *m_delegate = nullptr;
};
