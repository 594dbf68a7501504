#include "app/shell/app_delegate.h"
#include "app/core/notification_center.h"
#include "app/ui/popover_controller.h"
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

#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

namespace {

// The delegate with a real drain log on a temporary file: what the launch
// sequence and the sleep/wake observers hand to the energy stores.
struct DelegateWiringFixture : ::testing::Test
{
    DelegateWiringFixture()
    {
        processes.add(1, QStringLiteral("alpha"));
        processes.beforeCpuRead = [this](int) { ++passes; };
        harness.snapshots.setSnapshot(onBatterySnap(70, 6.0, 200));
        delegate.applicationDidFinishLaunching();
        delegate.popover()->setScreenArea([](QPoint) { return QRect(0, 0, 1280, 800); });
    }
    ~DelegateWiringFixture() override { delegate.applicationWillTerminate(); }

    QStringList logLines()
    {
        drainLog.waitForWrites();
        QFile file(drainLog.filePath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

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
        .makeStatusItem = [this] { return std::make_unique<RecordingStatusItem>(harness.clock); },
        .makePopoverContent = [](QSize, AppActions &) { return new QWidget; },
        .drainLog = &drainLog,
        .processEnergy = &processEnergy,
        .weather = weather.store.get(),
    }};
};

} // namespace

TEST_F(DelegateWiringFixture, PublishedPowerReachesTheDrainLog)
{
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
