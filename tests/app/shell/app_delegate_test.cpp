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
#include "platform/defaults.h"
#include "platform/linux/workspace_linux.h"

#include "fakes/fake_logind.h"
#include "fakes/power_store_harness.h"
#include "fakes/recording_status_item.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct DelegateFixture : ::testing::Test
{
    DelegateFixture()
    {
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

    RecordingStatusItem *item = nullptr;
    int statusItemsMade = 0;
    PowerStoreHarness harness;
    QTemporaryDir dir;
    Defaults defaults{dir.filePath(QStringLiteral("defaults.json"))};
    NotificationCenter notifications;
    const LinuxWorkspaceEvents::ServiceNames names{
        perProcessBusName(QStringLiteral("org.freedesktop.login1")),
        perProcessBusName(QStringLiteral("org.freedesktop.ScreenSaver")),
        perProcessBusName(QStringLiteral("org.gnome.ScreenSaver")),
    };
    LinuxWorkspaceEvents workspace{QDBusConnection::sessionBus(), QDBusConnection::sessionBus(), names};
    AppDelegate delegate{DelegateServices{
        harness.clock,
        defaults,
        notifications,
        harness.store,
        harness.powerMode,
        workspace,
        [this]() -> std::unique_ptr<StatusItem> {
            auto made = std::make_unique<RecordingStatusItem>(harness.clock);
            item = made.get();
            ++statusItemsMade;
            return made;
        },
        [](QSize, AppActions &) { return new QWidget; },
    }};
};

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
    FakeLogind logind(names.logind);
    ASSERT_TRUE(logind.isServing());
    QSignalSpy events(delegate.systemEvents(), &SystemEventRouter::systemEvent);
    logind.prepareForSleep(true);
    ASSERT_TRUE(spinUntil([&] { return events.count() == 1; }, 3000));
    EXPECT_EQ(events.at(0).at(0).value<DrainEvent>(), DrainEvent::SystemSleep);
    // The store now holds its estimate for two seconds.
    harness.publish(onBatterySnap(83, 8.0, 125), 7.4);
    EXPECT_EQ(harness.store.timeEstimateSource(), QStringLiteral("—"));
}

