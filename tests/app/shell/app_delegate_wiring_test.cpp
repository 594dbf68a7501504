#include "app/shell/app_delegate.h"
#include "app/core/notification_center.h"
#include "app/ui/popover_controller.h"
#include "energy/drain_log.h"
#include "platform/defaults.h"
#include "platform/linux/workspace_linux.h"

#include "fakes/fake_logind.h"
#include "fakes/power_store_harness.h"
#include "fakes/recording_status_item.h"
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
        harness.snapshots.setSnapshot(onBatterySnap(70, 6.0, 200));
        delegate.applicationDidFinishLaunching();
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
    const LinuxWorkspaceEvents::ServiceNames names{
        perProcessBusName(QStringLiteral("org.freedesktop.login1")),
        perProcessBusName(QStringLiteral("org.freedesktop.ScreenSaver")),
        perProcessBusName(QStringLiteral("org.gnome.ScreenSaver")),
    };
    // Up before the workspace monitor, which asks it for a sleep delay lock.
    FakeLogind logind{names.logind};
    LinuxWorkspaceEvents workspace{QDBusConnection::sessionBus(), QDBusConnection::sessionBus(), names};
    AppDelegate delegate{DelegateServices{
        harness.clock,
        defaults,
        notifications,
        harness.store,
        harness.powerMode,
        workspace,
        [this] { return std::make_unique<RecordingStatusItem>(harness.clock); },
        [](QSize, AppActions &) { return new QWidget; },
        {},
        {},
        &drainLog,
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
