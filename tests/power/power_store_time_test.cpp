#include "fakes/power_store_harness.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTimer>

namespace {

BatSnap chargingWithMinutes(int level, int minutes)
{
    BatSnap snap = chargingSnap(level);
    snap.minutes = minutes;
    return snap;
}

} // namespace

TEST(PowerStoreTime, ImplausibleEstimatesAreNeverShown)
{
    BatSnap liveEstimate = onBatterySnap(60, 8.0, 90);
    liveEstimate.minutesIsLiveEstimate = true;
    for (const BatSnap &snap : {chargingWithMinutes(40, 500), liveEstimate}) {
        PowerStoreHarness h;
        for (int poll = 0; poll < 5; ++poll) {
            h.applyBattery(snap);
            h.clock.advance(21);
        }
        EXPECT_EQ(h.store.remainingMinutes(), std::nullopt) << snap.minutes.value_or(-1);
        EXPECT_EQ(h.store.timeText(), QStringLiteral("Calculating…"));
        EXPECT_EQ(h.store.timeEstimateSource(), QStringLiteral("—"));
    }
}

TEST(PowerStoreTime, UnplugDropsTheMinutesToFullAndShowsTheNextEstimateAtOnce)
{
    PowerStoreHarness h;
    for (int poll = 0; poll < 10; ++poll) {
        h.applyBattery(chargingWithMinutes(70, 90));
        h.clock.advance(4);
    }
    ASSERT_EQ(h.store.timeText(), QStringLiteral("1h 30m to full"));

    h.applyBattery(onBatterySnap(70, 9.0));
    EXPECT_EQ(h.store.remainingMinutes(), std::nullopt);
    EXPECT_EQ(h.store.timeText(), QStringLiteral("Calculating…"));
    h.applyBattery(onBatterySnap(70, 9.0, 243));
    EXPECT_EQ(h.store.remainingMinutes(), 243);
    EXPECT_EQ(h.store.timeText(), QStringLiteral("4h 0m left"));
}

TEST(PowerStoreTime, FirstEstimateIsShownAtOnceAndKeptWhileASnapshotHasNone)
{
    PowerStoreHarness h;
    h.applyBattery(onBatterySnap(70, 9.0, 150));
    EXPECT_EQ(h.store.remainingMinutes(), 150);
    EXPECT_FALSE(h.store.minutesIsLiveEstimate());
    h.clock.advance(3);
    h.applyBattery(onBatterySnap(70, 9.0));
    EXPECT_EQ(h.store.remainingMinutes(), 150);
    EXPECT_EQ(h.store.timeText(), QStringLiteral("2h 30m left"));
    EXPECT_EQ(h.store.timeEstimateSource(), QStringLiteral("System"));
}

TEST(PowerStoreTime, TimeTextChangesAtMostEveryTwentySeconds)
{
    PowerStoreHarness h;
    h.applyBattery(onBatterySnap(70, 9.0, 100));
    const double start = h.clock.now();
    std::vector<double> changes{start};
    QObject::connect(&h.store, &PowerStore::timeTextChanged, [&] { changes.push_back(h.clock.now()); });
    for (int poll = 0; poll < 200; ++poll) {
        h.clock.advance(3);
        h.applyBattery(onBatterySnap(70, 9.0, 40));
    }
    ASSERT_GE(changes.size(), 5u) << "the estimate got stuck";
    for (size_t i = 1; i < changes.size(); ++i)
        EXPECT_GE(changes[i] - changes[i - 1], 20.0);
    EXPECT_EQ(h.store.remainingMinutes(), 40);
    EXPECT_EQ(h.store.timeText(), QStringLiteral("40 min left"));
}

TEST(PowerStoreTime, WithoutADischargeThereAreNoMinutes)
{
    struct Case { BatSnap snap; const char *time; };
    const Case cases[] = {
        {heldAtLimitSnap(80), "On AC power"},
        {desktopSnap(), "Desktop / AC"},
    };
    for (const Case &c : cases) {
        PowerStoreHarness h;
        // An estimate from before, at the same level, must not survive.
        h.applyBattery(onBatterySnap(c.snap.level, 5.0, 300));
        h.clock.advance(30);
        h.publish(c.snap);
        EXPECT_EQ(h.store.timeText(), QString::fromUtf8(c.time)) << c.time;
        EXPECT_EQ(h.store.remainingMinutes(), std::nullopt) << c.time;
        EXPECT_EQ(h.store.timeEstimateSource(), QStringLiteral("—")) << c.time;
    }
}

TEST(PowerStoreTime, WakeFreezesEstimatesForFortyFiveSeconds)
{
    PowerStoreHarness h;
    h.applyBattery(onBatterySnap(70, 9.0, 120));
    ASSERT_EQ(h.store.timeText(), QStringLiteral("2h 0m left"));

    h.store.noteTransition(true);
    for (int elapsed = 0; elapsed < 45; elapsed += 5) {
        h.applyBattery(onBatterySnap(70, 9.0, 30));
        EXPECT_EQ(h.store.remainingMinutes(), 120) << elapsed;
        EXPECT_EQ(h.store.timeText(), QStringLiteral("2h 0m left")) << elapsed;
        EXPECT_EQ(h.store.timeEstimateSource(), QStringLiteral("—")) << elapsed;
        h.clock.advance(5);
    }
    h.applyBattery(onBatterySnap(70, 9.0, 30));
    EXPECT_EQ(h.store.timeEstimateSource(), QStringLiteral("System"));
    // The new estimate must repeat before it counts, then the shown value walks.
    for (int poll = 0; poll < 3; ++poll)
        h.applyBattery(onBatterySnap(70, 9.0, 30));
    EXPECT_EQ(h.store.remainingMinutes(), 119);
}

TEST(PowerStoreTime, WakeBeforeAnyEstimateShowsCalculating)
{
    PowerStoreHarness h;
    h.store.noteTransition(true);
    h.applyBattery(onBatterySnap(70, 9.0, 120));
    EXPECT_EQ(h.store.timeText(), QStringLiteral("Calculating…"));
    h.clock.advance(45);
    h.applyBattery(onBatterySnap(70, 9.0, 120));
    EXPECT_EQ(h.store.timeText(), QStringLiteral("2h 0m left"));
}

TEST(PowerStoreTime, SleepFreezesEstimatesForTwoSeconds)
{
    PowerStoreHarness h;
    h.applyBattery(onBatterySnap(70, 9.0, 120));
    h.store.noteTransition(false);
    h.clock.advance(1.9);
    h.applyBattery(onBatterySnap(70, 9.0, 30));
    EXPECT_EQ(h.store.timeEstimateSource(), QStringLiteral("—"));
    h.clock.advance(0.1);
    h.applyBattery(onBatterySnap(70, 9.0, 30));
    EXPECT_EQ(h.store.timeEstimateSource(), QStringLiteral("System"));
}

TEST(PowerStoreTime, WakeSchedulesPollsAfterFiveAndFifteenSeconds)
{
    PowerStoreHarness h;
    auto *soon = h.store.findChild<QTimer *>(QStringLiteral("pendrapro.power.wakePollSoon"));
    auto *later = h.store.findChild<QTimer *>(QStringLiteral("pendrapro.power.wakePollLater"));
    ASSERT_TRUE(soon && later);
    EXPECT_FALSE(soon->isActive());

    h.store.noteTransition(false);
    EXPECT_FALSE(soon->isActive());
    h.store.noteTransition(true);
    EXPECT_TRUE(soon->isActive());
    EXPECT_TRUE(later->isActive());
    EXPECT_TRUE(soon->isSingleShot());
    EXPECT_EQ(soon->interval(), 5000);
    EXPECT_EQ(later->interval(), 15000);

    // Each of them runs a whole poll when it fires.
    h.snapshots.setSnapshot(onBatterySnap(55));
    soon->start(0);
    ASSERT_TRUE(spinUntil([&] { return h.store.levelPercent() == 55; }));
    EXPECT_EQ(h.snapshots.crossChecks().size(), 1u);
    later->start(0);
    ASSERT_TRUE(spinUntil([&] { return h.snapshots.crossChecks().size() == 2; }));
}

TEST(PowerStoreTime, WakeRestartsLevelHysteresisCounting)
{
    PowerStoreHarness h;
    h.applyBattery(onBatterySnap(50));
    h.applyBattery(onBatterySnap(49));
    h.applyBattery(onBatterySnap(49));
    h.store.noteTransition(true);
    h.applyBattery(onBatterySnap(49));
    EXPECT_EQ(h.store.levelPercent(), 50);
    h.applyBattery(onBatterySnap(49));
    h.applyBattery(onBatterySnap(49));
    EXPECT_EQ(h.store.levelPercent(), 49);
}
