#pragma once

#include "app/dashboard/dashboard_prefs.h"
#include "app/preferences/preferences_root.h"
#include "app/core/notification_center.h"
#include "charge/charge_limit_controller.h"
#include "energy/drain_alert_monitor.h"
#include "energy/drain_log.h"
#include "fakes/battery_fakes.h"
#include "fakes/fake_smc_user_client.h"
#include "fakes/panel_fixture.h"
#include "fakes/power_store_harness.h"
#include "fakes/recording_app_actions.h"
#include "fakes/recording_notifications.h"
#include "fakes/weather_harness.h"
#include "history/history_store.h"
#include "integration/system_battery_menu_hider.h"
#include "platform/defaults.h"
#include "platform/login_items.h"
#include "platform/notifications.h"
#include "platform/serial_queue.h"
#include "platform/system_backends.h"
#include "platform/system_battery_item.h"

#include <QDBusConnection>
#include <QLabel>
#include <QTemporaryDir>

#include <memory>

// A login item that is on or off, and can be told to refuse changes.
class ToggleLoginItem final : public LoginItem
{
public:
    bool isEnabled() const override { return enabled; }
    std::optional<QString> registerItem() override { return change(true); }
    std::optional<QString> unregisterItem() override { return change(false); }

    bool enabled = false;
    bool refuse = false;

private:
    std::optional<QString> change(bool on)
    {
        if (refuse)
            return QStringLiteral("refused");
        enabled = on;
        return std::nullopt;
    }
};

// The preferences window's content over real stores on fakes: settings in a
// temporary folder, a charge controller on a fake SMC (and, when a test
// gives them, the firmware's charge thresholds), a drain log in the
// same folder, the weather store on loopback. Settings written before
// `build` are what the stores and controls start from.
class PreferencesFixture
{
public:
    PreferencesFixture() { defaults = std::make_unique<Defaults>(dir.filePath(QStringLiteral("settings.json"))); }

    ~PreferencesFixture()
    {
        root.reset();
        if (drainLog)
            drainLog->waitForWrites();
    }

    PreferencesRoot &build(QSize size = {780, 560})
    {
        prefs = std::make_unique<DashboardPrefs>(*defaults, center);
        smc = std::make_unique<ChargeSMC>(smcClient);
        charge = std::make_unique<ChargeLimitController>(power.store, *smc, *defaults, chargeThresholds);
        drainAlerts = std::make_unique<DrainAlertMonitor>(*defaults, power.clock, notifications,
                                                          [] { return std::optional<QString>(); });
        drainLog = std::make_unique<DrainLog>(dir.filePath(QStringLiteral("drain.jsonl")), *defaults, power.clock,
                                              [](int) { return 1; });
        batteryItem = makeSystemBatteryItem(batteryTools, desktopNames, QDBusConnection::sessionBus(), dir.path());
        systemBattery = std::make_unique<SystemBatteryMenuHider>(*defaults, *batteryItem, batteryQueue);
        history = std::make_unique<HistoryStore>(dir.filePath(QStringLiteral("history.sqlite")), *defaults,
                                                 power.clock);
        root = std::make_unique<PreferencesRoot>(PreferencesRoot::Services{
            *defaults, center, *prefs, *charge, *drainAlerts, *drainLog, *systemBattery, loginItem, *weather.store,
            app, panel, QStringLiteral("v0.1.6-Pro-Beta"), [](QWidget *parent) {
                auto *chat = new QLabel(QStringLiteral("chat pane"), parent);
                chat->setObjectName(QStringLiteral("chatPaneStandIn"));
                return chat;
            },
            history.get()});
        root->resize(size);
        return *root;
    }

    template <typename Widget = QWidget>
    Widget *child(const char *objectName) const
    {
        return root->findChild<Widget *>(QString::fromLatin1(objectName));
    }

    QTemporaryDir dir;
    PowerStoreHarness power;
    FakeSmcUserClient smcClient;
    ChargeThresholds *chargeThresholds = nullptr; // none: the firmware keeps no thresholds
    NotificationCenter center;
    RecordingNotifications notifications;
    // The session's desktop, which decides the battery icon switch.
    QStringList desktopNames{QStringLiteral("XFCE")};
    RecordedToolRunner batteryTools;
    std::unique_ptr<SystemBatteryItem> batteryItem;
    SerialQueue batteryQueue{"test.systemBattery"};
    ToggleLoginItem loginItem;
    WeatherHarness weather;
    RecordingAppActions app;
    RecordingPanelActions panel;
    std::unique_ptr<Defaults> defaults;
    std::unique_ptr<DashboardPrefs> prefs;
    std::unique_ptr<ChargeSMC> smc;
    std::unique_ptr<ChargeLimitController> charge;
    std::unique_ptr<DrainAlertMonitor> drainAlerts;
    std::unique_ptr<DrainLog> drainLog;
    std::unique_ptr<SystemBatteryMenuHider> systemBattery;
    std::unique_ptr<HistoryStore> history;
    std::unique_ptr<PreferencesRoot> root;
};
