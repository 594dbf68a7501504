#include "history/health_trend.h"
#include "history/history_tables.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

QList<HealthPoint> wearingDays(int days, double percentPerCycle)
{
    QList<HealthPoint> points;
    for (int i = 0; i < days; ++i)
        points << HealthPoint{QDate(2026, 1, 1).addDays(i), 100 + percentPerCycle * i * 2, 100 + i * 2};
    return points;
}

} // namespace

TEST(HealthTrend, FitsHealthAgainstCyclesOnceThirtyDaysAreRecorded)
{
    EXPECT_EQ(healthTrendText(wearingDays(29, -0.006)), std::nullopt);
    EXPECT_EQ(healthTrendText(wearingDays(30, -0.006)), QStringLiteral("about −0.6 % per 100 cycles"));
    EXPECT_EQ(healthTrendText(wearingDays(30, 0.002)), QStringLiteral("about +0.2 % per 100 cycles"));
    QList<HealthPoint> sameCycles = wearingDays(40, -0.006);
    for (HealthPoint &point : sameCycles)
        point.cycles = 300;
    EXPECT_EQ(healthSlopePerCycle(sameCycles), std::nullopt);
}

TEST(HistoryTables, CsvHasBothTablesWithQuotedNamesAndPointDecimals)
{
    const AppEnergyReport report{
        {{QStringLiteral("a,\"b\""), 1.5, 12}, {QStringLiteral("=cmd|' /c calc'!A0"), 0, 0}, {kOtherApps, 0.5, 3}}, 4};
    const QList<HealthPoint> points{{QDate(2026, 1, 2), 91.25, 120}, {QDate(2026, 1, 3), 91, std::nullopt}};
    EXPECT_EQ(HistoryTables::csv(report, points),
              QStringLiteral("app,wh,share_percent,cpu_seconds\n"
                             "\"a,\"\"b\"\"\",1.5000,37.5,12.0\n"
                             "'=cmd|' /c calc'!A0,0.0000,0.0,0.0\n"
                             "Other,0.5000,12.5,3.0\n"
                             "\n"
                             "day,health_percent,cycles\n"
                             "2026-01-02,91.25,120\n"
                             "2026-01-03,91.00,\n"));
    EXPECT_EQ(HistoryTables::shareText(1, 0), QStringLiteral("—"));
}
