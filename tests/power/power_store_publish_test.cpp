#include "fakes/power_store_harness.h"
#include "power/drain_sinks.h"
#include "support/all_signals_spy.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <memory>

namespace {

struct PowerRecord
{
    int level;
    double packageWatts;
    double chargeWatts;
    bool charging;
};

class RecordingPowerLog final : public PowerLogSink
{
public:
    void logPower(int levelPercent, double packageWatts, double chargeWatts, bool charging) override
    {
        records.push_back({levelPercent, packageWatts, chargeWatts, charging});
    }
    void logPackChange() override {}
    std::vector<PowerRecord> records;
};

class RecordingDrainObserver final : public DrainObserver
{
public:
    void observe(int levelPercent, bool discharging) override { calls.emplace_back(levelPercent, discharging); }
    void packsChanged() override {}
    std::vector<std::pair<int, bool>> calls;
};

PackageReading sensorReading(const SocPowerSample &sample)
{
    return *PowerStoreRules::packageFromSample(sample);
}

} // namespace

TEST(PowerStorePublish, RepeatingTheSameStateEmitsNothing)
{
    struct Case { const char *name; BatSnap snap; };
    BatSnap detailed = onBatterySnap(64, 7.5, 200);
    detailed.cycles = 120;
    detailed.health = 91;
    detailed.rawMax = 4400;
    detailed.design = 4800;
    detailed.amperageMA = -600;
    detailed.voltageMV = 12400;
    const Case cases[] = {
        {"battery", detailed},
        {"held", heldAtLimitSnap(80)},
        {"desktop", desktopSnap()},
    };
    for (const Case &c : cases) {
        PowerStoreHarness h;
        AllSignalsSpy spies(&h.store);
        ASSERT_GE(spies.signalCount(), 18);
        h.publish(c.snap, 6.0);
        EXPECT_FALSE(spies.takeEmitted().isEmpty()) << c.name;
        h.clock.advance(0.5);
        h.publish(c.snap, 6.0);
        // The history grows on every poll while it is short and every publish
        // is announced; nothing else may move.
        EXPECT_EQ(spies.takeEmitted(), (QStringList{QStringLiteral("wattHistoryChanged()"), QStringLiteral("published()")}))
            << c.name;
    }
}

TEST(PowerStorePublish, BatteryDetailsComeFromTheSnapshot)
{
    PowerStoreHarness h;
    BatSnap snap = onBatterySnap(64);
    snap.cycles = 120;
    snap.health = 91;
    snap.rawMax = 4400;
    snap.design = 4800;
    QSignalSpy spy(&h.store, &PowerStore::batteryDetailsChanged);
    h.applyBattery(snap);
    EXPECT_EQ(h.store.cycleCount(), 120);
    EXPECT_EQ(h.store.healthPercent(), 91);
    EXPECT_EQ(h.store.capacityRaw(), 4400);
    EXPECT_EQ(h.store.designCapacity(), 4800);
    EXPECT_EQ(h.store.batterySourcesUsed(), QStringLiteral("SMC + IOPS"));
    EXPECT_EQ(spy.count(), 1);
    snap.sourcesLabel.clear();
    h.applyBattery(snap);
    EXPECT_EQ(h.store.batterySourcesUsed(), QStringLiteral("—"));
}

TEST(PowerStorePublish, PackageWattsMoveOnlyByAtLeastFiveHundredthsOrOnANewSourceAndNeverToZero)
{
    PowerStoreHarness h;
    QSignalSpy watts(&h.store, &PowerStore::packageWattsChanged);
    QSignalSpy source(&h.store, &PowerStore::packageSourceChanged);
    h.publish(onBatterySnap(50), 5.0);
    EXPECT_DOUBLE_EQ(h.store.packageWatts(), 5.0);
    EXPECT_EQ(watts.count(), 1);

    h.publish(onBatterySnap(50), 5.04); // smoothed to 5.009, rounds to 5.0
    EXPECT_DOUBLE_EQ(h.store.packageWatts(), 5.0);
    EXPECT_EQ(watts.count(), 1);

    h.publish(onBatterySnap(50), 5.5); // smoothed to 5.12
    EXPECT_NEAR(h.store.packageWatts(), 5.5 * 0.22 + (5.04 * 0.22 + 5.0 * 0.78) * 0.78, 1e-9);
    EXPECT_EQ(watts.count(), 2);

    const double before = h.store.packageWatts();
    h.publish(onBatterySnap(50), before, QStringLiteral("sensor"));
    EXPECT_EQ(h.store.packageSource(), QStringLiteral("sensor"));
    EXPECT_EQ(source.count(), 1);

    h.publish(onBatterySnap(50), 0.0, QStringLiteral("sensor")); // no reading leaves the published value
    EXPECT_DOUBLE_EQ(h.store.packageWatts(), before);
    EXPECT_EQ(watts.count(), 2);
}

TEST(PowerStorePublish, DomainsAreSmoothedAndGoStaleWithTheEstimate)
{
    PowerStoreHarness h;
    QSignalSpy domains(&h.store, &PowerStore::domainWattsChanged);
    QSignalSpy distribution(&h.store, &PowerStore::hasPowerDistributionChanged);
    const PackageReading first = sensorReading({.cpuWatts = 4.0, .gpuWatts = 2.0, .otherWatts = 0.5});
    h.store.publish(onBatterySnap(50), first, false, {});
    EXPECT_DOUBLE_EQ(h.store.cpuDomainWatts(), 4.0);
    EXPECT_DOUBLE_EQ(h.store.gpuDomainWatts(), 2.0);
    EXPECT_DOUBLE_EQ(h.store.otherDomainWatts(), 0.5);
    EXPECT_TRUE(h.store.hasPowerDistribution());
    EXPECT_EQ(domains.count(), 1);

    const PackageReading second = sensorReading({.cpuWatts = 8.0, .gpuWatts = 2.0, .aneWatts = 1.0});
    h.store.publish(onBatterySnap(50), second, false, {});
    EXPECT_DOUBLE_EQ(h.store.cpuDomainWatts(), 8.0 * 0.45 + 4.0 * 0.55);
    EXPECT_DOUBLE_EQ(h.store.aneDomainWatts(), 1.0);
    EXPECT_EQ(domains.count(), 2);

    h.publish(onBatterySnap(50), 9.0);
    EXPECT_FALSE(h.store.hasPowerDistribution());
    EXPECT_DOUBLE_EQ(h.store.gpuDomainWatts(), 2.0);
    EXPECT_EQ(domains.count(), 2);
    EXPECT_EQ(distribution.count(), 2);
}

TEST(PowerStorePublish, CoreSharesMoveOnlyWhenReadAndByMoreThanTwoHundredths)
{
    PowerStoreHarness h;
    QSignalSpy spy(&h.store, &PowerStore::coreSharesChanged);
    PackageReading package;
    package.watts = 5;
    h.store.publish(onBatterySnap(50), package, true, {0.75, 0.25});
    EXPECT_DOUBLE_EQ(h.store.pCoreShare(), 0.75);
    EXPECT_DOUBLE_EQ(h.store.eCoreShare(), 0.25);
    h.store.publish(onBatterySnap(50), package, true, {0.76, 0.24});
    EXPECT_DOUBLE_EQ(h.store.pCoreShare(), 0.75);
    h.store.publish(onBatterySnap(50), package, false, {0.0, 0.0});
    EXPECT_DOUBLE_EQ(h.store.pCoreShare(), 0.75);
    EXPECT_EQ(spy.count(), 1);
}

TEST(PowerStorePublish, HistoryIsPublishedEveryPollWhileShortThenEveryTwelveSeconds)
{
    PowerStoreHarness h;
    QSignalSpy spy(&h.store, &PowerStore::wattHistoryChanged);
    for (int poll = 0; poll < 10; ++poll)
        h.publish(onBatterySnap(50), 10.0 + poll * 10); // each far enough to move the smoother
    EXPECT_EQ(h.store.wattHistory().size(), 7);
    EXPECT_EQ(spy.count(), 7);

    h.clock.advance(12);
    h.publish(onBatterySnap(50), 200);
    EXPECT_EQ(h.store.wattHistory().size(), 11);
    EXPECT_EQ(h.store.wattHistory().last(), h.store.packageWatts());
    EXPECT_EQ(h.store.wattHistorySpark(), h.store.wattHistory());

    h.store.setFastMode(true);
    h.publish(onBatterySnap(50), 210);
    EXPECT_EQ(h.store.wattHistory().size(), 12);
}

TEST(PowerStorePublish, DrainLogGetsARecordEveryThirtySeconds)
{
    PowerStoreHarness h;
    RecordingPowerLog log;
    h.store.setPowerLogSink(&log);
    for (int second = 0; second <= 60; second += 3) {
        h.publish(chargingSnap(42, 20.0), 6.0);
        h.clock.advance(3);
    }
    ASSERT_EQ(log.records.size(), 3u);
    EXPECT_EQ(log.records[0].level, 42);
    EXPECT_DOUBLE_EQ(log.records[0].packageWatts, 6.0);
    EXPECT_DOUBLE_EQ(log.records[0].chargeWatts, 20.0);
    EXPECT_TRUE(log.records[0].charging);
}

TEST(PowerStorePublish, DrainObserverSeesEveryPublishWithTheDischargingFlag)
{
    PowerStoreHarness h;
    RecordingDrainObserver observer;
    h.store.setDrainObserver(&observer);
    h.publish(onBatterySnap(70));
    h.publish(onBatterySnap(70));
    h.publish(chargingSnap(70));
    h.publish(desktopSnap());
    const std::vector<std::pair<int, bool>> expected{{70, true}, {70, true}, {70, false}, {0, false}};
    EXPECT_EQ(observer.calls, expected);
}

TEST(PowerStorePublish, TimerFollowsTheModeAndLowPowerMode)
{
    PowerStoreHarness h;
    EXPECT_DOUBLE_EQ(h.store.timerInterval(), 0.0);
    h.powerMode.setLowPowerMode(true);
    h.publish(chargingSnap(70));
    EXPECT_DOUBLE_EQ(h.store.timerInterval(), 12.0);
    h.store.setFastMode(true);
    EXPECT_DOUBLE_EQ(h.store.timerInterval(), 2.0);
    h.store.setFastMode(false);
    EXPECT_DOUBLE_EQ(h.store.timerInterval(), 12.0);
}

TEST(PowerStorePublish, StatusTextWithinOneKindChangesAtMostEveryFiveSeconds)
{
    PowerStoreHarness h;
    h.applyBattery(onBatterySnap(70, 4.0));
    ASSERT_EQ(h.store.statusText(), QStringLiteral("On battery · 4.0 W"));
    std::vector<double> changes{h.clock.now()};
    QObject::connect(&h.store, &PowerStore::statusTextChanged, [&] { changes.push_back(h.clock.now()); });
    for (int poll = 0; poll < 60; ++poll) {
        h.clock.advance(1);
        h.applyBattery(onBatterySnap(70, 14.0));
    }
    ASSERT_GE(changes.size(), 4u);
    for (size_t i = 1; i < changes.size(); ++i)
        EXPECT_GE(changes[i] - changes[i - 1], 5.0);
}

TEST(PowerStorePublish, ChargeWattsAreSmoothedAndFadeOutWhenIdle)
{
    PowerStoreHarness h;
    h.applyBattery(onBatterySnap(70, 10.0));
    EXPECT_DOUBLE_EQ(h.store.chargeWatts(), 10.0);
    EXPECT_EQ(h.store.statusText(), QStringLiteral("On battery · 10.0 W"));

    h.applyBattery(onBatterySnap(70, 10.2)); // too small a step to publish
    EXPECT_DOUBLE_EQ(h.store.chargeWatts(), 10.0);

    for (int poll = 0; poll < 20; ++poll)
        h.applyBattery(onBatterySnap(70, 0.0));
    EXPECT_DOUBLE_EQ(h.store.chargeWatts(), 0.0);
    h.clock.advance(5);
    h.applyBattery(onBatterySnap(70, 0.0));
    EXPECT_EQ(h.store.statusText(), QStringLiteral("On battery"));
}

TEST(PowerStorePublish, BatteryPowerComesFromTheSmoothedCurrentWhenKnown)
{
    PowerStoreHarness h;
    BatSnap snap = onBatterySnap(70, 3.0);
    snap.amperageMA = -1000;
    snap.voltageMV = 12000;
    h.applyBattery(snap);
    EXPECT_DOUBLE_EQ(h.store.chargeWatts(), 12.0);

    snap.amperageMA = -10; // below 25 mA: not a usable reading, the smoother keeps its value
    h.applyBattery(snap);
    EXPECT_DOUBLE_EQ(h.store.chargeWatts(), 12.0);
}
