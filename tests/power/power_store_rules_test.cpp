#include "power/power_store_rules.h"
#include "power/power_store_smoothers.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

using namespace PowerStoreRules;

TEST(PowerStoreRules, PollIntervalFollowsModeAndLowPowerMode)
{
    struct Case { IntervalInputs in; double expected; };
    const Case cases[] = {
        {{.fastMode = true, .batteryPresent = true, .onAC = false, .lowPowerMode = true}, 2.0},
        {{.batteryPresent = true, .onAC = true, .charging = false, .levelPercent = 100}, 10.0},
        {{.batteryPresent = true, .onAC = true, .charging = false, .levelPercent = 100, .lowPowerMode = true}, 10.0},
        {{.batteryPresent = true, .onAC = true, .charging = false, .levelPercent = 99}, 4.0},
        {{.batteryPresent = true, .onAC = false}, 3.0},
        {{.batteryPresent = true, .onAC = false, .lowPowerMode = true}, 8.0},
        {{.batteryPresent = true, .onAC = true, .charging = true, .levelPercent = 100}, 4.0},
        {{.batteryPresent = true, .onAC = true, .charging = true, .lowPowerMode = true}, 12.0},
        {{.batteryPresent = false, .onAC = true, .levelPercent = 100}, 4.0},
        {{.batteryPresent = false, .onAC = true, .lowPowerMode = true}, 12.0},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_DOUBLE_EQ(pollInterval(cases[i].in), cases[i].expected) << "case " << i;
}

TEST(PowerStoreRules, TimeTextRoundsDownToFiveMinutesAndNeverShowsZero)
{
    struct Case { bool charging; int minutes; const char *expected; };
    const Case cases[] = {
        {false, 3, "1 min left"},
        {false, 5, "5 min left"},
        {false, 59, "55 min left"},
        {false, 64, "1h 0m left"},
        {false, 127, "2h 5m left"},
        {false, 1200, "20h 0m left"},
        {true, 4, "1 min to full"},
        {true, 127, "2h 5m to full"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(timeText(c.charging, c.minutes), QString::fromUtf8(c.expected)) << c.minutes;
}

TEST(PowerStoreRules, StatusTextShowsWattsOnlyAboveTwoTenthsOfAWatt)
{
    struct Case { bool charging; bool onAC; int level; double watts; const char *expected; };
    const Case cases[] = {
        {true, true, 50, 20.25, "Charging · 20.2 W"},
        {true, true, 50, 0.2, "Charging"},
        {false, false, 50, 7.96, "On battery · 8.0 W"},
        {false, false, 50, 0.0, "On battery"},
        {false, true, 100, 3.0, "Full · on AC"},
        {false, true, 99, 0.0, "Plugged in"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(statusText(c.charging, c.onAC, c.level, c.watts), QString::fromUtf8(c.expected));
}

TEST(PowerStoreRules, StatusKindGroupsTextsThatAreThrottledTogether)
{
    EXPECT_EQ(statusKind(QStringLiteral("Charging · 20.0 W")), QStringLiteral("chg"));
    EXPECT_EQ(statusKind(QStringLiteral("Charging")), QStringLiteral("chg"));
    EXPECT_EQ(statusKind(QStringLiteral("Full · on AC")), QStringLiteral("ac"));
    EXPECT_EQ(statusKind(QStringLiteral("Plugged in")), QStringLiteral("ac"));
    EXPECT_EQ(statusKind(QStringLiteral("On battery · 3.1 W")), QStringLiteral("batt"));
    EXPECT_EQ(statusKind(QStringLiteral("No battery")), QStringLiteral("No battery"));
}

TEST(PowerStoreRules, TimeBucketChangesAcrossFiveMinuteBoundaries)
{
    struct Case { int last; int minutes; bool changed; };
    const Case cases[] = {
        {-1, -1, true}, {-1, 42, true},
        {0, 0, false}, {0, -1, false}, {0, 1, true},
        {42, 44, false}, {42, 45, true}, {45, 49, false}, {45, 44, true},
        {3, -1, true}, {1, 4, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(timeBucketChanged(c.last, c.minutes), c.changed) << c.last << " → " << c.minutes;
}

TEST(PowerStoreRules, ImplausibleEstimatesAreRejectedPerMode)
{
    struct Case { int minutes; bool onAC; bool charging; bool plausible; };
    const Case cases[] = {
        {1200, false, false, true}, {1201, false, false, false}, {1300, false, false, false},
        {480, true, true, true}, {500, true, true, false},
        {30, true, false, false}, // on AC without charging nothing counts down
        {0, false, false, false}, {65535, false, false, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(isPlausibleMinutes(c.minutes, c.onAC, c.charging), c.plausible) << c.minutes;
}

TEST(PowerStoreRules, LoadEstimateScalesWithLoadPerCpu)
{
    struct Case { std::optional<double> load; int cpus; double watts; };
    const Case cases[] = {
        {4.0, 8, 11.2},
        {0.0, 8, 2.2},
        {16.0, 8, 20.2}, // saturates at full load
        {6.0, 12, 17.5},
        {1.0, 0, 20.2}, // an unknown CPU count counts as one CPU
        {std::nullopt, 8, 0.0},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(loadEstimateWatts(c.load, c.cpus), c.watts, 1e-9) << c.cpus;
}

TEST(PowerStoreRules, PackageSourceCountsActiveDomains)
{
    struct Case { SocPowerSample sample; std::optional<double> watts; const char *source; };
    const Case cases[] = {
        {{.gpuWatts = 3.0}, 3.0, "sensor"},
        {{.cpuWatts = 2.0, .gpuWatts = 1.0}, 3.0, "sensor (2 domains)"},
        {{.cpuWatts = 2.0, .gpuWatts = 1.0, .aneWatts = 0.5, .dramWatts = 0.5}, 4.0, "sensor (4 domains)"},
        {{.cpuWatts = 2.0, .gpuWatts = 0.01}, 2.01, "sensor"},
        {{.cpuWatts = 0.06}, 0.1, "sensor"},
        {{.cpuWatts = 200.0}, 120.0, "sensor"},
        {{.cpuWatts = 0.04}, std::nullopt, ""},
        {{.otherWatts = 5.0}, std::nullopt, ""},
        {{}, std::nullopt, ""},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::optional<PackageReading> reading = packageFromSample(cases[i].sample);
        ASSERT_EQ(reading.has_value(), cases[i].watts.has_value()) << "case " << i;
        if (!reading)
            continue;
        EXPECT_NEAR(reading->watts, *cases[i].watts, 1e-9) << "case " << i;
        EXPECT_EQ(reading->source, QString::fromUtf8(cases[i].source)) << "case " << i;
        EXPECT_EQ(reading->sample, cases[i].sample);
    }
}

TEST(PowerStoreRules, CoreSharesAreFractionsOfTypedCores)
{
    EXPECT_EQ(coreShares(8, 8), (CoreShares{0.5, 0.5}));
    EXPECT_EQ(coreShares(4, 12), (CoreShares{0.25, 0.75}));
    EXPECT_EQ(coreShares(0, 0), (CoreShares{0.0, 0.0}));
}

TEST(PowerStoreRules, PackageSmootherReactsFasterToLargeJumps)
{
    EXPECT_DOUBLE_EQ(smoothPackageWatts(std::nullopt, 7.0), 7.0);
    EXPECT_DOUBLE_EQ(smoothPackageWatts(10.0, 11.0), 11.0 * 0.22 + 10.0 * 0.78);
    EXPECT_DOUBLE_EQ(smoothPackageWatts(10.0, 13.0), 13.0 * 0.35 + 10.0 * 0.65);
    EXPECT_DOUBLE_EQ(smoothPackageWatts(10.0, 15.0), 15.0 * 0.55 + 10.0 * 0.45);
    EXPECT_DOUBLE_EQ(smoothDomainWatts(0.0, 4.0), 4.0);
    EXPECT_DOUBLE_EQ(smoothDomainWatts(2.0, 4.0), 4.0 * 0.45 + 2.0 * 0.55);
}

TEST(PowerStoreRules, SparkPicksSixtyEvenlySpacedPointsIncludingBothEnds)
{
    QList<double> shortHistory{1, 2, 3};
    EXPECT_EQ(sparkSamples(shortHistory), shortHistory);

    QList<double> history;
    for (int i = 0; i < 700; ++i)
        history.append(i);
    const QList<double> spark = sparkSamples(history);
    ASSERT_EQ(spark.size(), 60);
    EXPECT_EQ(spark.first(), 0);
    EXPECT_EQ(spark.last(), 699);
    EXPECT_EQ(spark[1], 12); // 699 / 59 = 11.85 → 12
    EXPECT_EQ(spark[30], 355); // 355.42 → 355
    for (int i = 1; i < 60; ++i)
        EXPECT_GT(spark[i], spark[i - 1]);

    QList<double> sixtyOne;
    for (int i = 0; i < 61; ++i)
        sixtyOne.append(i);
    const QList<double> picked = sparkSamples(sixtyOne);
    ASSERT_EQ(picked.size(), 60);
    EXPECT_EQ(picked.last(), 60);
}

TEST(WattRing, KeepsTheLast700InTimeOrder)
{
    WattRing ring;
    EXPECT_TRUE(ring.history().isEmpty());
    for (int i = 0; i < 5; ++i)
        ring.push(i);
    EXPECT_EQ(ring.history(), (QList<double>{0, 1, 2, 3, 4}));
    for (int i = 5; i < 1000; ++i)
        ring.push(i);
    const QList<double> history = ring.history();
    EXPECT_EQ(ring.filled(), 700);
    ASSERT_EQ(history.size(), 700);
    EXPECT_EQ(history.first(), 300);
    EXPECT_EQ(history.last(), 999);
}

TEST(AmperageSmoother, LimitsEachReadingToTwentyPercentOrOneHundredMilliamps)
{
    AmperageSmoother smoother;
    EXPECT_FALSE(smoother.value());
    smoother.add(-1000);
    EXPECT_DOUBLE_EQ(*smoother.value(), -1000);
    smoother.add(-5000); // clamped to −1200
    EXPECT_DOUBLE_EQ(*smoother.value(), -1000 * 0.88 + -1200 * 0.12);

    AmperageSmoother small;
    small.add(200);
    small.add(900); // bound is 100 mA below 500 mA
    EXPECT_DOUBLE_EQ(*small.value(), 200 * 0.88 + 300 * 0.12);
    small.clear();
    EXPECT_FALSE(small.value());
}

TEST(MinutesSmoother, ShownValueWalksOneMinuteAtATimeTowardTheAverage)
{
    MinutesSmoother smoother;
    smoother.add(100, -1);
    int shown = 100;
    // A new estimate must repeat before it counts; the display then walks.
    for (int poll = 0; poll < 3; ++poll)
        EXPECT_EQ(smoother.add(40, shown), 100) << poll;
    std::vector<int> seen;
    for (int poll = 0; poll < 200; ++poll) {
        shown = smoother.add(40, shown);
        seen.push_back(shown);
    }
    for (size_t i = 1; i < seen.size(); ++i) {
        EXPECT_GE(seen[i - 1] - seen[i], 0) << i;
        EXPECT_LE(seen[i - 1] - seen[i], 1) << i;
    }
    EXPECT_EQ(seen.back(), 40);
}

TEST(MinutesSmoother, ResetForgetsTheAverage)
{
    MinutesSmoother smoother;
    smoother.add(100, -1);
    smoother.reset();
    EXPECT_FALSE(smoother.hasEstimate());
    EXPECT_EQ(smoother.add(30, -1), 30);
}

// Wake forgetting the candidate is tested through the store.
TEST(LevelHysteresis, ResetTakesTheNextLevelAtOnceAndImpossibleLevelsAreIgnored)
{
    LevelHysteresis level;
    level.apply(50);
    level.reset();
    EXPECT_EQ(level.apply(48), 48);
    EXPECT_EQ(level.apply(120), 48);
}
