#include "app/shell/app_services.h"

#include "app/shell/history_wiring.h"
#include "app/ui/app_icon_lookup.h"
#include "app/battery_menu/main_root.h"
#include "app/battery_menu/menu_panel_model.h"
#include "app/core/panel_actions.h"
#include "app/dashboard/dashboard_prefs.h"
#include "app/dashboard/dashboard_root.h"
#include "app/dashboard/sibling_app.h"
#include "app/tray/status_item_factory.h"
#include "app/tray/tray_host_tracker.h"
#include "app/assistant/plus_chat_section.h"
#include "app/assistant/plus_prefs_chat_pane.h"
#include "app/preferences/pendra_onboarding_sheet.h"
#include "app/preferences/preferences_root.h"
#include "app/assistant/plus_weather_section.h"
#include "app/assistant/weather_display_link.h"
#include "app/updates/widget_update_presenter.h"
#include "assistant/ai_client.h"
#include "assistant/ai_key_store.h"
#include "assistant/plus_chat_model.h"
#include "assistant/plus_file_downloads.h"
#include "assistant/power_snapshot_sources.h"
#include "assistant/weather_store.h"
#include "charge/charge_limit_controller.h"
#include "charge/charge_smc.h"
#include "energy/drain_alert_monitor.h"
#include "energy/drain_log.h"
#include "energy/power_figures.h"
#include "energy/process_energy_store.h"
#include "history/history_recorder.h"
#include "history/history_store.h"
#include "integration/system_battery_menu_hider.h"
#include "platform/clock.h"
#include "platform/tray_panel.h"
#include "platform/color_scheme.h"
#include "platform/desktop_launcher.h"
#include "platform/login_items.h"
#include "platform/serial_queue.h"
#include "platform/system_battery_item.h"
#include "platform/defaults.h"
#include "platform/energy_counters.h"
#include "platform/file_manager.h"
#include "platform/keychain.h"
#include "platform/location.h"
#include "platform/notifications.h"
#include "platform/paths.h"
#include "platform/power_mode.h"
#include "platform/process_table.h"
#include "platform/smc.h"
#include "platform/status_item.h"
#include "platform/system_info.h"
#include "platform/tool_runner.h"
#include "platform/workspace.h"
#include "power/battery_snapshot.h"
#include "power/ioreport_power_reader.h"
#include "power/power_store.h"
#include "updates/install_tools.h"
#include "updates/manifest_fetch.h"
#include "updates/running_app.h"
#include "updates/update_checker.h"
#include "updates/update_endpoints.h"
#include "updates/update_files.h"
#include "updates/update_installer.h"
#include "updates/version_rules.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QVBoxLayout>

#include <QDir>
#include <QStandardPaths>

namespace {

// The child answers within the manifest's own 12 s transfer limit.
constexpr auto kManifestChildTimeLimit = std::chrono::seconds(15);

} // namespace

AppServices::AppServices()
    : m_clock(Clock::system())
    , m_backends(makeSystemBackends())
    , m_defaults(std::make_unique<Defaults>(Paths::configDir() + QStringLiteral("/defaults.json")))
    , m_colorScheme(makeSystemColorScheme())
    , m_trayPanel(makeSystemTrayPanelProbe())
{
    m_batterySnapshot = std::make_unique<BatterySnapshot>(*m_backends.powerSources, *m_backends.batteryRegistry,
                                                          ToolRunner::system());
    m_socReader = std::make_unique<IOReportPowerReader>(*m_backends.energyCounters, m_clock);
    m_power = std::make_unique<PowerStore>(m_clock, *m_batterySnapshot, m_socReader.get(), *m_backends.systemInfo,
                                           *m_backends.powerMode);

    QDir().mkpath(Paths::supportDir());
    m_drainLog = std::make_unique<DrainLog>(Paths::supportDir() + QStringLiteral("/drain.jsonl"), *m_defaults,
                                            m_clock, DrainLog::systemRandom());
    m_processEnergy = std::make_unique<ProcessEnergyStore>(
        *m_backends.processTable, m_clock, [power = m_power.get()] { return powerFiguresOf(*power); },
        m_drainLog.get());
    m_drainAlerts = std::make_unique<DrainAlertMonitor>(
        *m_defaults, m_clock, *m_backends.notifications, [processes = m_processEnergy.get()] {
            const QList<ProcEnergy> &top = processes->top();
            return top.isEmpty() ? std::nullopt : std::optional<QString>(top.first().name);
        });

    m_history = std::make_unique<HistoryStore>(Paths::supportDir() + QStringLiteral("/history.sqlite"), *m_defaults,
                                               m_clock);
    m_historyRecorder = std::make_unique<HistoryRecorder>(*m_history, m_clock,
                                                          [power = m_power.get()] { return batteryReadingOf(*power); });
    feedHistory(*m_historyRecorder, *m_power, *m_processEnergy);

    m_chargeSmc = std::make_unique<ChargeSMC>(*m_backends.smc);
    m_chargeLimit = std::make_unique<ChargeLimitController>(*m_power, *m_chargeSmc, *m_defaults,
                                                            m_backends.chargeThresholds.get());

    m_menuPanelModel = std::make_unique<MenuPanelModel>(
        *m_power, [processes = m_processEnergy.get()] { return processes->top(); },
        [powerMode = m_backends.powerMode.get()] { return powerMode->isLowPowerModeEnabled(); });
    m_appIcons =
        std::make_unique<AppIconLookup>(QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation));
    m_dashboardPrefs = std::make_unique<DashboardPrefs>(*m_defaults, m_notifications);

    m_systemBatteryQueue = std::make_unique<SerialQueue>("pendrapro.systemBattery");
    m_systemBatteryHider =
        std::make_unique<SystemBatteryMenuHider>(*m_defaults, *m_backends.systemBatteryItem, *m_systemBatteryQueue);

    m_network = std::make_unique<QNetworkAccessManager>();
    m_location = makeSystemLocationManager();
    m_geocoder = makeSystemReverseGeocoder(
        *m_network, m_clock, QUrl(QStringLiteral("https://nominatim.openstreetmap.org")),
        "PendraPro/" + RunningApp::current().version.toUtf8() + " (com.marblewickhq.pendrapro)");
    m_weather = std::make_unique<WeatherStore>(*m_location, *m_geocoder, *m_network, m_clock,
                                               QUrl(QStringLiteral("https://api.open-meteo.com")));
    postDisplayChangesOnWeatherUpdates(*m_weather, m_notifications);

    m_keychain = makeSystemKeychain(Paths::configDir() + QStringLiteral("/secrets"));
    m_aiKeys = std::make_unique<PlusAIKeyStore>(*m_keychain, *m_defaults);
    m_aiClient = std::make_unique<PlusAIClient>(*m_network, *m_defaults, PlusAIHosts::production());
    m_fileManager = makeSystemFileManager(
        [](const QString &folder) { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); });
    m_downloads = std::make_unique<PlusFileDownloads>(*m_network, *m_fileManager,
                                                      PlusFileDownloads::userDownloadsFolder());
    m_chat = std::make_unique<PlusChatModel>(
        *m_defaults, *m_aiKeys, *m_aiClient, *m_downloads, *m_fileManager, m_clock, [this] {
            PowerSnapshotInputs inputs =
                PowerSnapshotSources::read(*m_power, *m_processEnergy, {m_weather->summary(), m_weather->place()});
            for (const AppEnergyTotal &app : m_history->lastDayApps())
                inputs.lastDayApps.append({app.app, app.wattHours});
            return inputs;
        });
    const UpdateFiles updateFiles = UpdateFiles::standard();
    const UpdateEndpoints endpoints = UpdateEndpoints::buildDefaults();
    const RunningApp runningApp = RunningApp::current();
    m_installTools = std::make_unique<ProcessInstallTools>();
    m_updateLog = std::make_unique<UpdateLog>(updateFiles.logPath, m_clock);
    m_updateInstaller =
        std::make_unique<UpdateInstaller>(endpoints, updateFiles, *m_updateLog, runningApp, *m_installTools);
    m_updatePresenter = std::make_unique<WidgetUpdatePresenter>([] { QApplication::quit(); });
    m_manifestFetch = std::make_unique<ChildProcessManifestFetch>(QCoreApplication::applicationFilePath(),
                                                                  kManifestChildTimeLimit);
    m_updateChecker = std::make_unique<UpdateChecker>(*m_manifestFetch, *m_updatePresenter, *m_updateInstaller,
                                                      *m_updateLog, endpoints, runningApp, updateFiles.resultPath,
                                                      InstallTarget::InstallProbes::system());
}

// Stores stop their timers and finish their queued work before the backends
// they read go away.
AppServices::~AppServices()
{
    // Waits for a running install before the installer and presenter go.
    m_updateChecker.reset();
    m_manifestFetch.reset();
    m_chat.reset();
    m_downloads.reset();
    m_weather.reset();
    m_systemBatteryHider.reset();
    m_systemBatteryQueue.reset();
    m_menuPanelModel.reset();
    m_chargeLimit.reset();
    m_chargeSmc.reset();
    m_drainAlerts.reset();
    m_processEnergy.reset();
    // The batch being gathered is written before the file closes.
    m_historyRecorder->flush();
    m_historyRecorder.reset();
    m_history.reset();
    m_drainLog.reset();
    m_power.reset();
}

DelegateServices AppServices::forDelegate()
{
    return DelegateServices{
        m_clock,
        *m_defaults,
        m_notifications,
        *m_power,
        *m_backends.powerMode,
        *m_backends.workspace,
        [this] { return createStatusItem(m_clock); },
        [this](QSize size, AppActions &actions) { return makePopoverContent(size, actions); },
        [this](AppActions &actions) { return makeDashboardContent(actions); },
        [this](AppActions &actions) { return makePreferencesContent(actions); },
        m_drainLog.get(),
        m_drainAlerts.get(),
        m_processEnergy.get(),
        m_chargeLimit.get(),
        m_backends.loginItem.get(),
        m_systemBatteryHider.get(),
        m_dashboardPrefs.get(),
        m_weather.get(),
        m_colorScheme.get(),
        m_trayPanel.get(),
        m_historyRecorder.get(),
    };
}

void AppServices::attach(AppDelegate &delegate)
{
    m_delegate = &delegate;
    UpdateChecker *checker = m_updateChecker.get();
    QObject::connect(&delegate, &AppDelegate::updateCheckRequested, checker, &UpdateChecker::checkNow);
    QObject::connect(&delegate, &AppDelegate::postLaunchDelayElapsed, checker, &UpdateChecker::checkAtLaunch);
}

PanelActions &AppServices::panelActions(AppActions &actions)
{
    if (!m_panelActions)
        m_panelActions = std::make_unique<DesktopPanelActions>(actions, *m_backends.desktopLauncher);
    return *m_panelActions;
}

QWidget *AppServices::makePopoverContent(QSize size, AppActions &actions)
{
    auto *root = new MainRoot(MainRoot::Services{*m_menuPanelModel, *m_chargeLimit, *m_defaults, m_notifications,
                                                 panelActions(actions), *m_appIcons,
                                                 m_drainLog->whyDrainAnalysis(),
                                                 [this](QWidget *parent) { return makeAssistantSection(parent); }},
                              size);
    presentOnboardingWhenAsked(root, *m_defaults, [this] { return clickHint(); });
    return root;
}

TrayClickHint AppServices::clickHint() const
{
    const TrayHostTracker *tracker = m_delegate ? m_delegate->trayHost() : nullptr;
    return trayClickHint(tracker ? tracker->host() : trayHostBehaviour(TrayHost::unknown));
}

QWidget *AppServices::makeAssistantSection(QWidget *parent)
{
    auto *section = new QWidget(parent);
    auto *column = new QVBoxLayout(section);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(new PlusWeatherSection(*m_weather, section));
    column->addWidget(new PlusChatSection(*m_chat, *m_aiKeys, *m_aiClient, PlusChatSection::Layout::compact, section));
    return section;
}

QWidget *AppServices::makeDashboardContent(AppActions &actions)
{
    auto *root = new DashboardRoot(DashboardRoot::Services{
        *m_power, *m_processEnergy, *m_backends.powerMode, *m_dashboardPrefs, *m_defaults, m_notifications,
        panelActions(actions), *m_appIcons, SiblingApp::locateInstalled(),
        VersionRules::displayForm(RunningApp::current().version),
        m_drainLog->whyDrainAnalysis(), m_history.get()});
    QObject::connect(root, &DashboardRoot::updatesRequested, root, [&actions] { actions.checkUpdates(); });
    presentOnboardingWhenAsked(root, *m_defaults, [this] { return clickHint(); });
    return root;
}

QWidget *AppServices::makePreferencesContent(AppActions &actions)
{
    return new PreferencesRoot(PreferencesRoot::Services{
        *m_defaults, m_notifications, *m_dashboardPrefs, *m_chargeLimit, *m_drainAlerts, *m_drainLog,
        *m_systemBatteryHider, *m_backends.loginItem, *m_weather, actions, panelActions(actions),
        RunningApp::current().version,
        [this](QWidget *parent) { return new PlusPrefsChatPane(*m_chat, *m_aiKeys, *m_aiClient, parent); },
        m_history.get()});
}
