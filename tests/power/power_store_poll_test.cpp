#include "fakes/power_store_harness.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

// Polls once and waits until the cycle has come back to the main thread.
bool pollAndWait(PowerStore &store)
{
    store.poll();
    return spinUntil([&] { return !store.pollInFlight(); });
}

} // namespace

TEST(PowerStorePoll, OnePollAtATimeReadsOnTheQueueAndPublishesOnTheMainThread)
{
    PowerStoreHarness h;
    h.snapshots.setSnapshot(onBatterySnap(64, 8.0, 127));

    h.store.poll();
    h.store.poll(); // overlaps the first: dropped
    EXPECT_TRUE(h.store.pollInFlight());
    ASSERT_TRUE(spinUntil([&] { return !h.store.pollInFlight(); }));
    EXPECT_EQ(h.snapshots.crossChecks().size(), 1u);
    EXPECT_EQ(h.store.levelPercent(), 64);
    EXPECT_EQ(h.store.statusText(), QStringLiteral("On battery · 8.0 W"));
    EXPECT_EQ(h.store.timeText(), QStringLiteral("2h 5m left"));
}

TEST(PowerStorePoll, CommandLineToolsAreConsultedEveryFortyFiveSeconds)
{
    PowerStoreHarness h;
    h.snapshots.setSnapshot(onBatterySnap(64));
    ASSERT_TRUE(pollAndWait(h.store));
    h.clock.advance(44);
    ASSERT_TRUE(pollAndWait(h.store));
    h.clock.advance(1);
    ASSERT_TRUE(pollAndWait(h.store));
    const std::vector<bool> expected{true, false, true};
    EXPECT_EQ(h.snapshots.crossChecks(), expected);
}

TEST(PowerStorePoll, CoreSharesAreReadEveryThirtySecondsOrInFastMode)
{
    PowerStoreHarness h;
    h.snapshots.setSnapshot(onBatterySnap(64));
    h.systemInfo.setCoreCounts(6, 2);
    ASSERT_TRUE(pollAndWait(h.store));
    EXPECT_DOUBLE_EQ(h.store.pCoreShare(), 0.75);
    EXPECT_DOUBLE_EQ(h.store.eCoreShare(), 0.25);

    h.systemInfo.setCoreCounts(2, 6);
    h.clock.advance(29);
    ASSERT_TRUE(pollAndWait(h.store));
    EXPECT_DOUBLE_EQ(h.store.pCoreShare(), 0.75);

    h.clock.advance(1);
    ASSERT_TRUE(pollAndWait(h.store));
    EXPECT_DOUBLE_EQ(h.store.pCoreShare(), 0.25);

    h.systemInfo.setCoreCounts(4, 4);
    h.store.setFastMode(true);
    ASSERT_TRUE(pollAndWait(h.store));
    EXPECT_DOUBLE_EQ(h.store.pCoreShare(), 0.5);
}

TEST(PowerStorePoll, StartRunsTheTimerAndPollsAtOnceThenTheTimerPollsOnItsOwn)
{
    PowerStoreHarness h;
    h.snapshots.setSnapshot(fullOnACSnap());
    h.store.start();
    EXPECT_DOUBLE_EQ(h.store.timerInterval(), 4.0);
    ASSERT_TRUE(spinUntil([&] { return h.store.statusText() == QStringLiteral("Full · on AC"); }));
    EXPECT_DOUBLE_EQ(h.store.timerInterval(), 10.0);

    // Fast mode polls every 2 s (switching it only restarts the timer);
    // nothing from here asks for the next poll.
    h.store.setFastMode(true);
    h.snapshots.setSnapshot(chargingSnap(64));
    ASSERT_TRUE(spinUntil([&] { return h.store.isCharging(); }, 10000));
}

TEST(PowerStorePoll, DestroyingTheStoreWithAPollInFlightIsSafe)
{
    FakeClock clock;
    FakeSnapshotSource snapshots;
    FakeEnergyCounters energy;
    IOReportPowerReader reader(energy, clock);
    FakeSystemInfo systemInfo;
    FakePowerModeMonitor powerMode;
    auto store = std::make_unique<PowerStore>(clock, snapshots, &reader, systemInfo, powerMode);
    store->poll();
    store.reset();
    spinUntil([] { return false; }, 100);
    EXPECT_EQ(snapshots.crossChecks().size(), 1u);
}

// A store over a real SoC reader whose counters the test drives.
struct SensorStore
{
    FakeClock clock;
    FakeSnapshotSource snapshots;
    FakeEnergyCounters energy{{
        {QStringLiteral("Energy Model"), QStringLiteral("CPU Energy"), QStringLiteral("nJ")},
        {QStringLiteral("Energy Model"), QStringLiteral("GPU Energy"), QStringLiteral("nJ")},
    }};
    IOReportPowerReader reader{energy, clock};
    FakeSystemInfo systemInfo;
    FakePowerModeMonitor powerMode;
    PowerStore store{clock, snapshots, &reader, systemInfo, powerMode};
};

TEST(PowerStorePoll, PackagePowerIsTheLoadEstimateUntilTheSocReaderHasABaseline)
{
    SensorStore s;
    s.systemInfo.setLoadAverage1(4.0);
    s.systemInfo.setLogicalCpuCount(8);
    s.snapshots.setSnapshot(onBatterySnap(50));

    ASSERT_TRUE(pollAndWait(s.store)); // the first sample sets the baseline
    EXPECT_EQ(s.store.packageSource(), QStringLiteral("estimate"));
    EXPECT_NEAR(s.store.packageWatts(), 11.2, 1e-9);

    s.clock.advance(0.5);
    s.energy.addEnergy(0, 2'000'000'000); // 4 W
    s.energy.addEnergy(1, 1'000'000'000); // 2 W
    ASSERT_TRUE(pollAndWait(s.store));
    EXPECT_EQ(s.store.packageSource(), QStringLiteral("sensor (2 domains)"));
    EXPECT_NEAR(s.store.cpuDomainWatts(), 4.0, 1e-9);
}
