#include "app/shell/app_delegate.h"
#include "app/shell/app_window.h"
#include "app/shell/main_menu.h"
#include "app/core/menu_bar_settings.h"
#include "app/core/notification_center.h"
#include "app/ui/popover_controller.h"
#include "app/ui/popover_panel.h"
#include "app/tray/status_click_router.h"
#include "app/tray/status_item_redrawer.h"
#include "app/shell/system_event_router.h"
#include "energy/drain_log.h"
#include "energy/power_figures.h"
#include "energy/process_energy_store.h"
#include "platform/defaults.h"
#include "platform/linux/workspace_linux.h"

#include "fakes/fake_logind.h"
#include "fakes/fake_process_table.h"
#include "fakes/power_store_harness.h"
#include "fakes/recording_status_item.h"
#include "fakes/weather_harness.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The launched delegate over fakes, with a real drain log on a temporary file:
// what the launch sequence and the sleep/wake observers hand to the stores.
struct DelegateFixture : ::testing::Test
{
    DelegateFixture()
    {
        processes.add(1, QStringLiteral("alpha"));
        processes.beforeCpuRead = [this](int) { ++passes; };
        setState(onBatterySnap(83, 8.0, 125), 7.4);
        delegate.applicationDidFinishLaunching();
        delegate.popover()->setScreenArea([](QPoint) { return QRect(0, 0, 1280, 800); });
    }
    ~DelegateFixture() override
    {
        delegate.popover()->close();
        delegate.applicationWillTerminate();
    }

    // The store shows `snap`, both from direct publishes and from its own polls.
    void setState(const BatSnap &snap, double watts = 5.0)
    {
        harness.snapshots.setSnapshot(snap);
        harness.publish(snap, watts);
    }

    void click()
    {
        harness.clock.advance(1.0);
        item->click({640, 12});
    }

    QStringList logLines()
    {
        drainLog.waitForWrites();
        QFile file(drainLog.filePath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    RecordingStatusItem *item = nullptr;
    int statusItemsMade = 0;
    PowerStoreHarness harness;
    QTemporaryDir dir;
    Defaults defaults{dir.filePath(QStringLiteral("defaults.json"))};
    DrainLog drainLog{dir.filePath(QStringLiteral("drain.jsonl")), defaults, harness.clock, [](int) { return 1; }};
    NotificationCenter notifications;
    WeatherHarness weather;
    FakeProcessTable processes;
    std::atomic<int> passes{0};
    ProcessEnergyStore processEnergy{processes, harness.clock, [this] { return powerFiguresOf(harness.store); },
                                     &drainLog};
    const LinuxWorkspaceEvents::ServiceNames names{
        perProcessBusName(QStringLiteral("org.freedesktop.login1")),
        perProcessBusName(QStringLiteral("org.freedesktop.ScreenSaver")),
        perProcessBusName(QStringLiteral("org.gnome.ScreenSaver")),
    };
    // Up before the workspace monitor, which asks it for a sleep delay lock.
    FakeLogind logind{names.logind};
    LinuxWorkspaceEvents workspace{QDBusConnection::sessionBus(), QDBusConnection::sessionBus(), names};
    AppDelegate delegate{DelegateServices{
        .clock = harness.clock,
        .defaults = defaults,
        .notifications = notifications,
        .power = harness.store,
        .powerMode = harness.powerMode,
        .workspace = workspace,
        .makeStatusItem = [this]() -> std::unique_ptr<StatusItem> {
            auto made = std::make_unique<RecordingStatusItem>(harness.clock);
            item = made.get();
            ++statusItemsMade;
            return made;
        },
        .makePopoverContent = [](QSize, AppActions &) { return new QWidget; },
        .drainLog = &drainLog,
        .processEnergy = &processEnergy,
        .weather = weather.store.get(),
    }};
};

// The tests of what reaches the energy stores.
using DelegateWiringFixture = DelegateFixture;

} // namespace

TEST_F(DelegateFixture, LaunchDrawsTheStatusItemFromTheStore)
{
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->label, QStringLiteral("83% 2h 05m"));
    EXPECT_GE(item->length(), 36);
    EXPECT_TRUE(delegate.popover()->isWarm());
    EXPECT_FALSE(delegate.popover()->isShown());
}

TEST_F(DelegateFixture, TheTitleFollowsTheTimeLeftAtOnce)
{
    // Level, adapter and charging stay as they were: only the time moves.
    const std::optional<int> before = harness.store.remainingMinutes();
    for (int poll = 0; poll < 20 && harness.store.remainingMinutes() == before; ++poll) {
        harness.clock.advance(30);
        setState(onBatterySnap(83, 8.0, 95), 7.4);
    }
    const int minutes = harness.store.remainingMinutes().value_or(0);
    ASSERT_NE(minutes, before.value_or(0));
    EXPECT_EQ(item->label, QStringLiteral("83% %1h %2m").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0')));
}

TEST_F(DelegateFixture, LowPowerModeDisplaySettingAndLevelChangesRedrawAtOnce)
{
    const QString before = delegate.redrawer()->lastStatusKey();
    harness.powerMode.setLowPowerMode(true);
    EXPECT_NE(delegate.redrawer()->lastStatusKey(), before);
    EXPECT_TRUE(delegate.redrawer()->lastStatusKey().contains(QStringLiteral("|lowPower|")));

    MenuBarSettings::setDisplayMode(defaults, notifications, MenuBarDisplayMode::watts);
    EXPECT_TRUE(item->label.startsWith(QStringLiteral("83% ")));
    EXPECT_TRUE(item->label.endsWith(QLatin1Char('W')));

    MenuBarSettings::setDisplayMode(defaults, notifications, MenuBarDisplayMode::percent);
    setState(chargingSnap(60));
    EXPECT_EQ(item->label, QStringLiteral("60%"));
    EXPECT_EQ(delegate.redrawer()->lastStatusDrawAt(), harness.clock.now());
}

TEST_F(DelegateFixture, PopoverSwitchesTheStoreToFastModeWhileOpenAndEscapeOrANotificationClosesIt)
{
    click();
    ASSERT_TRUE(delegate.popover()->isShown());
    EXPECT_TRUE(harness.store.fastMode());
    QTest::keyClick(delegate.popover()->panel(), Qt::Key_Escape);
    EXPECT_FALSE(delegate.popover()->isShown());
    EXPECT_FALSE(harness.store.fastMode());

    click();
    ASSERT_TRUE(delegate.popover()->isShown());
    notifications.post(AppNotification::closePopover);
    EXPECT_FALSE(delegate.popover()->isShown());
}

TEST_F(DelegateFixture, DoubleClickOpensTheDashboardWindow)
{
    click();
    harness.clock.advance(0.2);
    item->click({640, 12});
    EXPECT_FALSE(delegate.popover()->isShown());
    ASSERT_NE(delegate.dashboardWindow(), nullptr);
    EXPECT_TRUE(delegate.dashboardWindow()->isVisible());
}

TEST_F(DelegateFixture, NotificationsOpenAndCloseTheDashboardAndASecondLaunchReopensIt)
{
    notifications.post(AppNotification::openDashboard);
    ASSERT_TRUE(delegate.dashboardWindow()->isVisible());
    notifications.post(AppNotification::closeDashboard);
    EXPECT_FALSE(delegate.dashboardWindow()->isVisible());
    EXPECT_TRUE(delegate.applicationShouldHandleReopen(false));
    EXPECT_TRUE(delegate.dashboardWindow()->isVisible());
}

TEST_F(DelegateFixture, RebuiltStatusItemIsDrawnNamedAndRouted)
{
    const QString label = item->label;
    notifications.post(AppNotification::rebuildStatusItem);
    EXPECT_EQ(statusItemsMade, 2);
    EXPECT_EQ(item->label, label);
    EXPECT_EQ(item->autosaveName(), QStringLiteral("PendraProBattery"));
    click();
    EXPECT_TRUE(delegate.popover()->isShown()) << "the new item's clicks are routed";
}

TEST_F(DelegateFixture, MainMenuActionsReachTheDelegate)
{
    MainMenu *menu = delegate.mainMenu();
    menu->fullWindowAction()->trigger();
    ASSERT_TRUE(delegate.dashboardWindow()->isVisible());
    EXPECT_TRUE(delegate.dashboardWindow()->window()->actions().contains(menu->preferencesAction()));
    menu->closeWindowAction()->trigger();
    EXPECT_FALSE(delegate.dashboardWindow()->isVisible());
}

TEST_F(DelegateFixture, TerminationDropsSubscriptions)
{
    delegate.applicationWillTerminate();
    setState(onBatterySnap(40, 8.0, 125));
    EXPECT_EQ(item->label, QStringLiteral("83% 2h 05m"));
}

TEST_F(DelegateFixture, SleepNoticeReachesThePowerStore)
{
    ASSERT_EQ(harness.store.timeEstimateSource(), QStringLiteral("System"));
    ASSERT_TRUE(logind.isServing());
    QSignalSpy events(delegate.systemEvents(), &SystemEventRouter::systemEvent);
    logind.prepareForSleep(true);
    ASSERT_TRUE(spinUntil([&] { return events.count() == 1; }, 3000));
    EXPECT_EQ(events.at(0).at(0).value<DrainEvent>(), DrainEvent::SystemSleep);
    // The store now holds its estimate for two seconds.
    harness.publish(onBatterySnap(83, 8.0, 125), 7.4);
    EXPECT_EQ(harness.store.timeEstimateSource(), QStringLiteral("—"));
}

TEST_F(DelegateWiringFixture, PublishedPowerReachesTheDrainLog)
{
    harness.clock.advance(60); // the store logs power at most every half minute
    harness.publish(onBatterySnap(70, 6.0, 200), 9.0);
    const QStringList lines = logLines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.last().contains(QStringLiteral("\"kind\":\"power\""))) << lines.last().toStdString();
}

TEST_F(DelegateWiringFixture, SleepRecordIsOnDiskBeforeTheSleepDelayLockIsReleased)
{
    ASSERT_TRUE(workspace.listensForMachineSleep()) << "run under dbus-run-session";
    ASSERT_TRUE(logind.isServing());
    FakeLogindManager &manager = logind.manager();
    ASSERT_TRUE(spinUntil([&] { return manager.locksHeld() == 1; }));
    QByteArray logAtRelease;
    manager.onLockReleased = [&] {
        QFile file(drainLog.filePath());
        if (file.open(QIODevice::ReadOnly))
            logAtRelease = file.readAll();
    };

    logind.prepareForSleep(true);
    ASSERT_TRUE(spinUntil([&] { return manager.locksHeld() == 0; }));
    EXPECT_TRUE(logAtRelease.contains("\"name\":\"system_sleep\"")) << logAtRelease.toStdString();

    logind.prepareForSleep(false);
    EXPECT_TRUE(spinUntil([&] { return manager.locksTaken() == 2 && manager.locksHeld() == 1; }))
        << "a new lock after the resume";
}

// The test's tray host draws no title beside the icon, and no window is open.
TEST_F(DelegateWiringFixture, LaunchLeavesTheWeatherAloneWhereNothingShowsIt)
{
    QCoreApplication::processEvents();
    EXPECT_EQ(weather.sourcesMade, 0) << "no position source is even loaded";
    EXPECT_EQ(weather.store->summary(), QStringLiteral("Locating…"));
    EXPECT_TRUE(weather.server.requests().isEmpty());
}

TEST_F(DelegateWiringFixture, OnACTheBatteryMenuStartsAProcessPassAsItOpens)
{
    harness.publish(fullOnACSnap());
    QCoreApplication::processEvents();
    ASSERT_TRUE(spinUntil([this] { return !processEnergy.sampleInFlight(); }));
    const int before = passes.load();

    delegate.forceShowPopover();
    ASSERT_TRUE(delegate.popover()->isShown());
    EXPECT_TRUE(spinUntil([&] { return passes.load() > before; }));
    EXPECT_TRUE(processEnergy.fastMode());
}
