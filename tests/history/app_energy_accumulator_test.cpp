#include "history/app_energy_accumulator.h"
#include "history/battery_day_accumulator.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QDateTime>

namespace {

constexpr double kHourStart = 1'700'002'800; // a whole UTC hour
using Sample = AppEnergyAccumulator::Sample;

} // namespace

TEST(AppEnergyAccumulator, SplitsAPassAtTheHourBoundary)
{
    AppEnergyAccumulator apps;
    apps.notePass(kHourStart - 10, {}, true);
    // 36 W for 20 s: 10 s in each hour, 0.1 Wh each; 50 % of a core.
    apps.notePass(kHourStart + 10, {{QStringLiteral("firefox"), 36, 50}}, true);
    const QList<AppHourEnergy> rows = apps.take();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].hourStart, qint64(kHourStart) - 3600);
    EXPECT_EQ(rows[1].hourStart, qint64(kHourStart));
    for (const AppHourEnergy &row : rows) {
        EXPECT_NEAR(row.wattHours, 0.1, 1e-9);
        EXPECT_NEAR(row.cpuSeconds, 5, 1e-9);
    }
    EXPECT_TRUE(apps.take().isEmpty());
}

TEST(AppEnergyAccumulator, CountsOnlyPassesOnBattery)
{
    AppEnergyAccumulator apps;
    apps.notePass(kHourStart, {}, true);
    apps.notePass(kHourStart + 20, {{QStringLiteral("make"), 20, 100}}, false);
    apps.notePass(kHourStart + 40, {{QStringLiteral("make"), 18, 100}, {QStringLiteral("make"), 18, 100}}, true);
    const QList<AppHourEnergy> rows = apps.take();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_NEAR(rows[0].wattHours, 2 * 18 * 20 / 3600.0, 1e-9); // two processes of one name add up
}

TEST(AppEnergyAccumulator, CountsNothingForASleepAndAtMostAMinuteForAGap)
{
    AppEnergyAccumulator apps;
    apps.notePass(kHourStart, {}, true);
    apps.breakInterval(); // the machine slept
    apps.notePass(kHourStart + 7200, {{QStringLiteral("a"), 36, 0}}, true);
    EXPECT_TRUE(apps.take().isEmpty());
    apps.notePass(kHourStart + 7200 + 900, {{QStringLiteral("a"), 36, 0}}, true); // a paused sampler
    const QList<AppHourEnergy> rows = apps.take();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_NEAR(rows[0].wattHours, 36 * AppEnergyAccumulator::kMaxHeldSeconds / 3600, 1e-9);
}

TEST(BatteryDayAccumulator, SumsBatteryTimeAndEnergySplitAtMidnightAndCountsChargeSessions)
{
    const double midnight = QDateTime(QDate(2026, 3, 10), QTime(0, 0)).toSecsSinceEpoch();
    BatteryDayAccumulator days;
    BatteryReading onBattery{true, false, 12, 4000, 5000, 310, 31.5};
    days.note(midnight - 300, onBattery);
    onBattery.temperatureC = 35;
    days.note(midnight + 300, onBattery); // 12 W held 5 min each side of midnight
    BatteryReading charging{false, true, 20, 3990, 5000, 311, std::nullopt};
    days.note(midnight + 600, charging);
    const QList<BatteryDay> rows = days.take();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].day, QDate(2026, 3, 9));
    EXPECT_NEAR(rows[0].minutesOnBattery, 5, 1e-9);
    EXPECT_NEAR(rows[0].drawnWattHours, 1, 1e-9);
    EXPECT_EQ(rows[0].chargeSessions, 0);
    EXPECT_NEAR(rows[1].minutesOnBattery, 10, 1e-9); // on battery until the adapter came
    EXPECT_NEAR(rows[1].drawnWattHours, 2, 1e-9);
    EXPECT_EQ(rows[1].chargeSessions, 1);
    EXPECT_EQ(rows[1].fullChargeMah, 3990);
    EXPECT_EQ(rows[1].cycles, 311);
    EXPECT_EQ(rows[1].minTemperatureC, 35.0);
    EXPECT_NEAR(*rows[1].healthPercent(), 79.8, 1e-9);
}
