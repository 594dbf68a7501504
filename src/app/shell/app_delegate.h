#pragma once

#include "app/core/app_actions.h"
#include "app/tray/menu_bar_battery_icon.h"
#include "energy/process_sampling_gate.h"

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QSize>

#include <functional>
#include <memory>

class AppWindow;
class ChargeLimitController;
class ColorSchemeSource;
class DashboardPrefs;
class LoginItem;
class SystemBatteryMenuHider;
class WeatherStore;
class QWidget;
class Clock;
class Defaults;
class DrainAlertMonitor;
class DrainLog;
class MainMenu;
class NotificationCenter;
class PopoverController;
class PopoverKeyMonitor;
class PowerModeMonitor;
class PowerStore;
class ProcessEnergyStore;
class StatusClickRouter;
class StatusItem;
class StatusItemRedrawer;
class TrayHostTracker;
class TrayPanelProbe;
class SystemEventRouter;
class WorkspaceEvents;

// What the delegate works with: the composition root's stores (AppServices),
// or fakes in tests.
class HistoryRecorder;

struct DelegateServices
{
    Clock &clock;
    Defaults &defaults;
    NotificationCenter &notifications;
    PowerStore &power;
    PowerModeMonitor &powerMode;
    WorkspaceEvents &workspace;
    std::function<std::unique_ptr<StatusItem>()> makeStatusItem;
    // The popover's content, built once ahead of the first click; its
    // actions reach the delegate.
    std::function<QWidget *(QSize, AppActions &)> makePopoverContent;
    // The dashboard's and the preferences window's content, built each time
    // their window is (re)created.
    std::function<QWidget *(AppActions &)> makeDashboardContent = {};
    std::function<QWidget *(AppActions &)> makePreferencesContent = {};
    // The energy and charge stores; absent ones are simply not started.
    DrainLog *drainLog = nullptr;
    DrainAlertMonitor *drainAlerts = nullptr;
    ProcessEnergyStore *processEnergy = nullptr;
    ChargeLimitController *chargeLimit = nullptr;
    // System integration; absent ones are left alone.
    LoginItem *loginItem = nullptr;
    SystemBatteryMenuHider *systemBatteryHider = nullptr;
    // The dashboard's width follows its card-width setting.
    DashboardPrefs *dashboardPrefs = nullptr;
    // The outside temperature joins the status item's title.
    WeatherStore *weather = nullptr;
    // The desktop's light or dark preference and the panel's measured
    // colours colour the tray icon.
    ColorSchemeSource *colorScheme = nullptr;
    TrayPanelProbe *trayPanel = nullptr;
    // Writes its batch before the system sleeps.
    HistoryRecorder *history = nullptr;
};

// The application's one delegate: starts the stores, owns the status item,
// the popover, the dashboard and preferences windows and the menus, and
// routes clicks, notifications and sleep/wake events.
class AppDelegate : public QObject, public AppActions
{
    Q_OBJECT

public:
    static constexpr auto kPostLaunchDelay = std::chrono::milliseconds(1200);
    static constexpr int kDashboardHeight = 560;
    static inline const QString kWebsite = QStringLiteral("https://marblewickhq.com/pendrapro");
    static constexpr double kInitialStatusItemLength = 52;

    explicit AppDelegate(DelegateServices services, QObject *parent = nullptr);
    ~AppDelegate() override;

    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    // Another launch or the desktop asked the app to come forward.
    bool applicationShouldHandleReopen(bool hasVisibleWindows);

    // AppActions
    void openDashboard() override;
    void openPreferences() override;
    void closeDashboard() override;
    void forceShowPopover() override;
    void openPendraPro() override;
    void checkUpdates() override;
    void openWebsite() override;
    void quitApp() override;

    StatusItem *statusItem() const { return m_statusItem.get(); }
    PopoverController *popover() const { return m_popover.get(); }
    StatusItemRedrawer *redrawer() const { return m_redrawer.get(); }
    StatusClickRouter *clickRouter() const { return m_clickRouter.get(); }
    TrayHostTracker *trayHost() const { return m_trayHost.get(); }
    SystemEventRouter *systemEvents() const { return m_systemEvents.get(); }
    ProcessSamplingGate *processSampling() const { return m_processSampling.get(); }
    AppWindow *dashboardWindow() const { return m_dashboardWindow.get(); }
    AppWindow *preferencesWindow() const { return m_preferencesWindow.get(); }
    MainMenu *mainMenu() const { return m_mainMenu.get(); }

signals:
    // The user asked for an update check ("Check for Updates").
    void updateCheckRequested();
    // 1.2 s after launch: report a previous self-update and check silently.
    void postLaunchDelayElapsed();

private:
    // Launch, in order.
    void mirrorLoginItemState();
    void buildMainMenu();
    void startPowerStore();
    void startProcessEnergySampler();
    void startChargeController();
    void observeWorkspaceEvents();
    void hideSystemBatteryIcon();
    void createStatusItem();
    void createPopover();
    void installKeyMonitor();
    void observePopoverAndPowerModeNotices();
    void subscribeToPowerStore();
    void observeAppNotifications();
    void schedulePostLaunchWork();

    MenuBarBatteryIcon::Inputs statusInputs() const;
    void popoverDidShow();
    void popoverDidClose();
    void startWeatherWhenTheTitleShowsIt();
    void noteWindowShown(ProcessSamplingGate::Window window, bool shown);
    void leaveFastMode();
    void refitDashboard();
    int dashboardCardWidth() const;
    void decorateWindow(QWidget *window);

    Clock &m_clock;
    Defaults &m_defaults;
    NotificationCenter &m_notifications;
    PowerStore &m_power;
    PowerModeMonitor &m_powerMode;
    WorkspaceEvents &m_workspace;
    std::function<std::unique_ptr<StatusItem>()> m_makeStatusItem;
    std::function<QWidget *(QSize, AppActions &)> m_makePopoverContent;
    std::function<QWidget *(AppActions &)> m_makeDashboardContent;
    std::function<QWidget *(AppActions &)> m_makePreferencesContent;
    DrainLog *m_drainLog;
    DrainAlertMonitor *m_drainAlerts;
    ProcessEnergyStore *m_processEnergy;
    ChargeLimitController *m_chargeLimit;
    LoginItem *m_loginItem;
    SystemBatteryMenuHider *m_systemBatteryHider;
    DashboardPrefs *m_dashboardPrefs;
    WeatherStore *m_weather;
    ColorSchemeSource *m_colorScheme;
    TrayPanelProbe *m_trayPanel;
    HistoryRecorder *m_history;

    std::unique_ptr<ProcessSamplingGate> m_processSampling;
    std::unique_ptr<TrayHostTracker> m_trayHost;
    std::unique_ptr<StatusItem> m_statusItem;
    std::unique_ptr<StatusItemRedrawer> m_redrawer;
    std::unique_ptr<PopoverController> m_popover;
    std::unique_ptr<StatusClickRouter> m_clickRouter;
    std::unique_ptr<PopoverKeyMonitor> m_escapeMonitor;
    std::unique_ptr<SystemEventRouter> m_systemEvents;
    std::unique_ptr<AppWindow> m_dashboardWindow;
    std::unique_ptr<AppWindow> m_preferencesWindow;
    std::unique_ptr<MainMenu> m_mainMenu;
    QList<QMetaObject::Connection> m_cancellables;
};
