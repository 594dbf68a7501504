#include "app/shell/app_delegate.h"

#include "app/shell/app_window.h"
#include "app/dashboard/dashboard_prefs.h"
#include "app/shell/main_menu.h"
#include "app/core/menu_bar_settings.h"
#include "app/core/notification_center.h"
#include "app/core/pendra_pro_locator.h"
#include "app/ui/popover_controller.h"
#include "app/ui/popover_key_monitor.h"
#include "app/ui/popover_panel.h"
#include "app/tray/status_click_router.h"
#include "app/tray/status_item_redrawer.h"
#include "app/tray/tray_host_tracker.h"
#include "app/tray/tray_icon_status_item.h"
#include "app/shell/system_event_router.h"
#include "charge/charge_limit_controller.h"
#include "energy/drain_alert_monitor.h"
#include "energy/drain_log.h"
#include "assistant/weather_store.h"
#include "energy/process_energy_store.h"
#include "energy/process_sampling_gate.h"
#include "history/history_recorder.h"
#include "integration/launch_at_login_helper.h"
#include "integration/menu_bar_position_store.h"
#include "integration/system_battery_menu_hider.h"
#include "platform/clock.h"
#include "platform/power_mode.h"
#include "platform/status_item.h"
#include "platform/tray_panel.h"
#include "platform/workspace.h"
#include "power/power_store.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDesktopServices>
#include <QLayout>
#include <QMenuBar>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace {

// The width of the dashboard's regular card setting.
constexpr int kRegularCardWidth = 440;

const AppWindowStyle kDashboardStyle{
    QStringLiteral("dashboardWindow"),
    QStringLiteral("Pendra Pro"),
    QSize(360, 420),
    QColor::fromRgbF(0.05f, 0.05f, 0.08f, 1.0f),
};

const AppWindowStyle kPreferencesStyle{
    QStringLiteral("preferencesWindow"),
    QStringLiteral("Customize"),
    QSize(640, 420),
    QColor::fromRgbF(0.06f, 0.06f, 0.08f, 1.0f),
};

const QSize kPreferencesSize(780, 560);

} // namespace

AppDelegate::AppDelegate(DelegateServices services, QObject *parent)
    : QObject(parent)
    , m_clock(services.clock)
    , m_defaults(services.defaults)
    , m_notifications(services.notifications)
    , m_power(services.power)
    , m_powerMode(services.powerMode)
    , m_workspace(services.workspace)
    , m_makeStatusItem(std::move(services.makeStatusItem))
    , m_makePopoverContent(std::move(services.makePopoverContent))
    , m_makeDashboardContent(std::move(services.makeDashboardContent))
    , m_makePreferencesContent(std::move(services.makePreferencesContent))
    , m_drainLog(services.drainLog)
    , m_drainAlerts(services.drainAlerts)
    , m_processEnergy(services.processEnergy)
    , m_chargeLimit(services.chargeLimit)
    , m_loginItem(services.loginItem)
    , m_systemBatteryHider(services.systemBatteryHider)
    , m_dashboardPrefs(services.dashboardPrefs)
    , m_weather(services.weather)
    , m_colorScheme(services.colorScheme)
    , m_trayPanel(services.trayPanel)
    , m_history(services.history)
{
}

AppDelegate::~AppDelegate()
{
    applicationWillTerminate();
}

void AppDelegate::applicationDidFinishLaunching()
{
    mirrorLoginItemState();
    buildMainMenu();
    startPowerStore();
    startProcessEnergySampler();
    startChargeController();
    observeWorkspaceEvents();
    hideSystemBatteryIcon();
    createStatusItem();
    createPopover();
    installKeyMonitor();
    observePopoverAndPowerModeNotices();
    subscribeToPowerStore();
    observeAppNotifications();
    schedulePostLaunchWork();
}

void AppDelegate::applicationWillTerminate()
{
    // Restores only what this app hid, so a second call does nothing.
    if (m_systemBatteryHider)
        m_systemBatteryHider->restoreAndWait();
    for (const QMetaObject::Connection &connection : std::as_const(m_cancellables))
        disconnect(connection);
    m_cancellables.clear();
}

bool AppDelegate::applicationShouldHandleReopen(bool hasVisibleWindows)
{
    if (!hasVisibleWindows)
        openDashboard();
    else if (m_dashboardWindow && m_dashboardWindow->isVisible())
        m_dashboardWindow->open(m_dashboardWindow->window()->size());
    return true;
}

// ---- Launch steps

void AppDelegate::mirrorLoginItemState()
{
    if (m_loginItem)
        LaunchAtLoginHelper::syncSetting(*m_loginItem, m_defaults);
}

void AppDelegate::buildMainMenu()
{
    m_mainMenu = std::make_unique<MainMenu>(*this);
}

// The title carries the temperature only where the host draws it; weather
// surfaces in the windows start the store themselves when they appear.
void AppDelegate::startWeatherWhenTheTitleShowsIt()
{
    if (m_weather && m_trayHost->host().drawsLabel)
        m_weather->startOnce();
}

void AppDelegate::startPowerStore()
{
    m_power.setPowerLogSink(m_drainLog);
    m_power.setDrainObserver(m_drainAlerts);
    m_power.start();
}

void AppDelegate::startProcessEnergySampler()
{
    if (!m_processEnergy)
        return;
    m_processSampling = std::make_unique<ProcessSamplingGate>(*m_processEnergy, m_power);
    m_processEnergy->start();
}

void AppDelegate::startChargeController()
{
    if (m_chargeLimit)
        m_chargeLimit->start();
}

void AppDelegate::observeWorkspaceEvents()
{
    m_systemEvents = std::make_unique<SystemEventRouter>(
        m_workspace, [power = QPointer<PowerStore>(&m_power)](bool waking) {
            if (power)
                power->noteTransition(waking);
        });
    // The history's batch must be on disk before the machine suspends too.
    if (m_history) {
        connect(m_systemEvents.get(), &SystemEventRouter::systemEvent, m_history, [history = m_history](DrainEvent event) {
            if (event == DrainEvent::SystemSleep)
                history->noteSleep();
        });
    }
    // The router hands each event to its followers before the power store,
    // so the drain log records the event ahead of the polls it causes.
    if (m_drainLog) {
        connect(m_systemEvents.get(), &SystemEventRouter::systemEvent, m_drainLog, [log = m_drainLog](DrainEvent event) {
            log->logEvent(event);
            // The machine suspends once the handlers return: the sleep
            // record must be on disk by then.
            if (event == DrainEvent::SystemSleep)
                log->waitForWrites();
        });
    }
}

void AppDelegate::hideSystemBatteryIcon()
{
    // Queues the desktop calls itself and starts the watchdog.
    if (m_systemBatteryHider)
        m_systemBatteryHider->launch();
}

void AppDelegate::createStatusItem()
{
    if (!m_redrawer) {
        m_trayHost = std::make_unique<TrayHostTracker>(m_defaults, m_colorScheme, m_trayPanel,
                                                       QDBusConnection::sessionBus());
        m_redrawer = std::make_unique<StatusItemRedrawer>(m_clock, [this] { return statusInputs(); });
        m_redrawer->setLookProvider([tracker = m_trayHost.get()] { return tracker->look(); });
        connect(m_trayHost.get(), &TrayHostTracker::lookChanged, this, [this] { m_redrawer->forceRedraw(); });
        connect(m_trayHost.get(), &TrayHostTracker::hostChanged, this, [this] {
            if (m_clickRouter)
                m_clickRouter->setHostBehaviour(m_trayHost->host());
            m_redrawer->forceRedraw();
            startWeatherWhenTheTitleShowsIt();
        });
    }
    m_statusItem.reset();
    m_statusItem = m_makeStatusItem();
    if (!m_statusItem)
        return;
    if (auto *xembed = qobject_cast<TrayIconStatusItem *>(m_statusItem.get()))
        m_trayHost->follow(false, [xembed] { return xembed->iconGeometry(); });
    else
        m_trayHost->follow(true);
    m_statusItem->setLength(kInitialStatusItemLength);
    MenuBarPositionStore::configure(*m_statusItem, m_defaults);
    if (m_clickRouter)
        m_clickRouter->attach(m_statusItem.get());
    m_redrawer->setStatusItem(m_statusItem.get());
}

void AppDelegate::createPopover()
{
    m_popover = std::make_unique<PopoverController>(
        m_clock, [this](QSize size) -> QWidget * { return m_makePopoverContent(size, *this); });
    connect(m_popover.get(), &PopoverController::shown, this, &AppDelegate::popoverDidShow);
    connect(m_popover.get(), &PopoverController::closed, this, &AppDelegate::popoverDidClose);
    if (m_trayPanel)
        m_popover->setPanelLocator([panel = m_trayPanel](QPoint anchor) { return panel->panelHolding(anchor); });
    m_mainMenu->installInto(m_popover->panel());
    m_popover->warmUp();

    m_clickRouter = std::make_unique<StatusClickRouter>(*m_popover, *this, m_clock);
    m_clickRouter->setHostBehaviour(m_trayHost->host());
    m_clickRouter->attach(m_statusItem.get());
}

void AppDelegate::installKeyMonitor()
{
    m_escapeMonitor = std::make_unique<PopoverKeyMonitor>(*m_popover);
}

void AppDelegate::observePopoverAndPowerModeNotices()
{
    m_notifications.observe(AppNotification::closePopover, this, [this] { m_popover->close(); });
    connect(&m_powerMode, &PowerModeMonitor::lowPowerModeChanged, this,
            [this] { m_redrawer->forceRedrawImmediately(); });
}

void AppDelegate::subscribeToPowerStore()
{
    m_cancellables << connect(&m_power, &PowerStore::packageWattsChanged, this,
                              [this] { m_redrawer->requestThrottledRedraw(); });
    // Together with the notifications for settings and weather and the power
    // mode's signal these cover every input of the title, so no timer has to
    // poll it; a redraw with an unchanged key draws nothing.
    for (auto signal : {&PowerStore::levelPercentChanged, &PowerStore::isOnACChanged, &PowerStore::isChargingChanged,
                        &PowerStore::batteryPresentChanged, &PowerStore::remainingMinutesChanged,
                        &PowerStore::timeTextChanged})
        m_cancellables << connect(&m_power, signal, this, [this] { m_redrawer->redrawImmediately(); });
}

void AppDelegate::observeAppNotifications()
{
    m_notifications.observe(AppNotification::rebuildStatusItem, this, [this] { createStatusItem(); });
    m_notifications.observe(AppNotification::openDashboard, this, [this] { openDashboard(); });
    m_notifications.observe(AppNotification::openPreferences, this, [this] { openPreferences(); });
    m_notifications.observe(AppNotification::menuBarDisplayChanged, this, [this] { m_redrawer->forceRedraw(); });
    m_notifications.observe(AppNotification::dashboardPrefsChanged, this, [this] { refitDashboard(); });
    m_notifications.observe(AppNotification::closeDashboard, this, [this] { closeDashboard(); });
}

void AppDelegate::schedulePostLaunchWork()
{
    QTimer::singleShot(kPostLaunchDelay, this, [this] { emit postLaunchDelayElapsed(); });
}

// ---- Status item

MenuBarBatteryIcon::Inputs AppDelegate::statusInputs() const
{
    MenuBarBatteryIcon::Inputs in;
    in.level = m_power.levelPercent();
    in.charging = m_power.isCharging();
    in.onAC = m_power.isOnAC();
    in.present = m_power.batteryPresent();
    in.minutes = m_power.remainingMinutes();
    in.mode = MenuBarSettings::displayMode(m_defaults);
    in.watts = m_power.packageWatts();
    in.lowPowerMode = m_powerMode.isLowPowerModeEnabled();
    in.criticalPercent = MenuBarSettings::criticalBatteryPercent(m_defaults);
    in.powerTimeText = m_power.timeText();
    if (m_weather)
        in.tempC = m_weather->tempC();
    return in;
}

// ---- Popover and fast mode

void AppDelegate::popoverDidShow()
{
    if (!m_power.fastMode())
        m_power.setFastMode(true);
    // Fast mode first, so a sampler that resumes for the menu starts with a
    // fast pass.
    if (m_processEnergy)
        m_processEnergy->setFastMode(true);
    noteWindowShown(ProcessSamplingGate::Window::batteryMenu, true);
}

void AppDelegate::popoverDidClose()
{
    leaveFastMode();
    noteWindowShown(ProcessSamplingGate::Window::batteryMenu, false);
}

void AppDelegate::noteWindowShown(ProcessSamplingGate::Window window, bool shown)
{
    if (m_processSampling)
        m_processSampling->setWindowShown(window, shown);
}

void AppDelegate::leaveFastMode()
{
    if (m_power.fastMode())
        m_power.setFastMode(false);
    if (m_processEnergy)
        m_processEnergy->setFastMode(false);
}

void AppDelegate::forceShowPopover()
{
    m_popover->forceShow(m_clickRouter->lastClickPosition());
}

// ---- Windows

void AppDelegate::openDashboard()
{
    m_popover->close();
    leaveFastMode();
    if (!m_dashboardWindow) {
        std::function<QWidget *()> content;
        if (m_makeDashboardContent)
            content = [this] { return m_makeDashboardContent(*this); };
        m_dashboardWindow = std::make_unique<AppWindow>(kDashboardStyle, std::move(content),
                                                        [this](QWidget *window) { decorateWindow(window); });
        connect(m_dashboardWindow.get(), &AppWindow::shownChanged, this,
                [this](bool shown) { noteWindowShown(ProcessSamplingGate::Window::dashboard, shown); });
    }
    m_dashboardWindow->open(QSize(dashboardOpenWidth(dashboardCardWidth()), kDashboardHeight));
}

void AppDelegate::openPreferences()
{
    m_popover->close();
    leaveFastMode();
    if (!m_preferencesWindow) {
        std::function<QWidget *()> content;
        if (m_makePreferencesContent)
            content = [this] { return m_makePreferencesContent(*this); };
        m_preferencesWindow = std::make_unique<AppWindow>(kPreferencesStyle, std::move(content),
                                                          [this](QWidget *window) { decorateWindow(window); });
        connect(m_preferencesWindow.get(), &AppWindow::shownChanged, this,
                [this](bool shown) { noteWindowShown(ProcessSamplingGate::Window::preferences, shown); });
    }
    m_preferencesWindow->open(kPreferencesSize);
}

void AppDelegate::closeDashboard()
{
    if (m_dashboardWindow)
        m_dashboardWindow->orderOut();
}

void AppDelegate::refitDashboard()
{
    if (!m_dashboardWindow || !m_dashboardWindow->window())
        return;
    QWidget *window = m_dashboardWindow->window();
    if (const std::optional<int> width = dashboardRefitWidth(dashboardCardWidth(), window->width()))
        window->resize(*width, window->height());
}

int AppDelegate::dashboardCardWidth() const
{
    return m_dashboardPrefs ? windowWidth(m_dashboardPrefs->width()) : kRegularCardWidth;
}

void AppDelegate::decorateWindow(QWidget *window)
{
    m_mainMenu->installInto(window);
    if (QLayout *layout = window->layout())
        layout->setMenuBar(m_mainMenu->createMenuBar(window));
}

// ---- Other actions

void AppDelegate::openPendraPro()
{
    PendraProLocator::open();
}

void AppDelegate::checkUpdates()
{
    emit updateCheckRequested();
}

void AppDelegate::openWebsite()
{
    QDesktopServices::openUrl(QUrl(kWebsite));
}

void AppDelegate::quitApp()
{
    QApplication::quit();
}
