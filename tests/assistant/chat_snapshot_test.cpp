#include "assistant/power_snapshot.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

constexpr double kJan31At0905 = 1738314300; // 2025-01-31T09:05:00Z

PowerSnapshotInputs laptop()
{
    PowerSnapshotInputs in;
    in.power.batteryPresent = true;
    in.power.levelPercent = 76;
    in.power.statusText = QStringLiteral("On battery");
    in.power.timeText = QStringLiteral("3:12 left");
    in.power.packageWatts = 7.25;
    in.power.packageSource = QStringLiteral("sensor (3 domains)");
    in.power.chargeWatts = 9.96;
    in.power.hasPowerDistribution = true;
    in.power.cpuWatts = 4.04;
    in.power.gpuWatts = 1.15;
    in.power.dramWatts = 0.5;
    in.power.healthPercent = 91;
    in.power.cycleCount = 214;
    in.weatherSummary = QStringLiteral("21°C · Partly cloudy");
    in.weatherPlace = QStringLiteral("Lyon, Auvergne-Rhône-Alpes");
    for (int i = 1; i <= 7; ++i)
        in.topProcesses.append({QStringLiteral("proc%1").arg(i), 100.0 / i, 3.0 / i});
    return in;
}

TEST(PowerSnapshotTest, LaptopWithEveryLineListsFiveProcesses)
{
    EXPECT_EQ(PowerSnapshot::text(laptop(), kJan31At0905),
              "## Pendra Pro live snapshot (local, on-device)\n"
              "- Time: 2025-01-31T09:05:00Z\n"
              "- Battery: 76% · On battery · 3:12 left\n"
              "- AC: no · Charging: no\n"
              "- Package power: 7.2 W (sensor (3 domains))\n"
              "- Charge/draw: 10.0 W\n"
              "- Domains · CPU 4.0 · GPU 1.1 · ANE 0.0 · DRAM 0.5 W\n"
              "- Battery health: 91%\n"
              "- Cycle count: 214\n"
              "- Weather: 21°C · Partly cloudy · Lyon, Auvergne-Rhône-Alpes\n"
              "- Top energy processes:\n"
              "  - proc1 · CPU ~100% · est 3.0 W\n"
              "  - proc2 · CPU ~50% · est 1.5 W\n"
              "  - proc3 · CPU ~33% · est 1.0 W\n"
              "  - proc4 · CPU ~25% · est 0.8 W\n"
              "  - proc5 · CPU ~20% · est 0.6 W\n"
              "\n"
              "Answer using this snapshot. Be concrete. If data is missing, say so. Do not invent hardware readings.");
}

TEST(PowerSnapshotTest, DesktopWithoutOptionalFiguresHasOnlyTheFixedLines)
{
    PowerSnapshotInputs in;
    in.power.isOnAC = true;
    in.power.packageWatts = 12.25;
    in.power.packageSource = QStringLiteral("estimate");
    EXPECT_EQ(PowerSnapshot::text(in, kJan31At0905),
              "## Pendra Pro live snapshot (local, on-device)\n"
              "- Time: 2025-01-31T09:05:00Z\n"
              "- Battery: not present (desktop/AC)\n"
              "- Package power: 12.2 W (estimate)\n"
              "\n"
              "Answer using this snapshot. Be concrete. If data is missing, say so. Do not invent hardware readings.");
}

TEST(PowerSnapshotTest, OptionalLinesFollowTheirThresholds)
{
    struct Case
    {
        double chargeWatts;
        QString place;
        const char *expectedLine; // present in the text
        const char *absentPiece;
    };
    const Case cases[] = {
        {0.05, QString(), "- Weather: 21°C · Partly cloudy\n", "Charge/draw"},
        {0.051, QStringLiteral("Lyon"), "- Charge/draw: 0.1 W\n", "Partly cloudy · \n"},
    };
    for (const Case &c : cases) {
        PowerSnapshotInputs in = laptop();
        in.power.chargeWatts = c.chargeWatts;
        in.weatherPlace = c.place;
        const QString text = PowerSnapshot::text(in, kJan31At0905);
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.expectedLine))) << text.toStdString();
        EXPECT_FALSE(text.contains(QString::fromUtf8(c.absentPiece))) << text.toStdString();
    }
    PowerSnapshotInputs none = laptop();
    none.topProcesses.clear();
    none.weatherSummary.clear();
    const QString text = PowerSnapshot::text(none, kJan31At0905);
    EXPECT_FALSE(text.contains(QStringLiteral("Top energy processes")));
    EXPECT_FALSE(text.contains(QStringLiteral("Weather")));
    EXPECT_FALSE(text.endsWith(u'\n'));
}

TEST(PowerSnapshotTest, SeveralPacksFollowTheHealthLinesAndTheLastDaysAppsTheCurrentProcesses)
{
    PowerSnapshotInputs in = laptop();
    in.power.cycleCount.reset();
    in.power.packs = {{"Internal", 94, 95, 215}, {"External", 29, 93, 487}};
    for (int i = 1; i <= 6; ++i)
        in.lastDayApps.append({QStringLiteral("app%1").arg(i), 12.0 / i});
    const QString text = PowerSnapshot::text(in, kJan31At0905);
    EXPECT_TRUE(text.contains(QStringLiteral("- Battery health: 91%\n"
                                             "- Battery pack Internal: 94% · health 95% · 215 cycles\n"
                                             "- Battery pack External: 29% · health 93% · 487 cycles\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("  - proc5 · CPU ~20% · est 0.6 W\n"
                                             "- Top apps on battery, last 24 hours:\n"
                                             "  - app1 · est 12.0 Wh\n"
                                             "  - app2 · est 6.0 Wh\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("app5 · est 2.4 Wh")));
    EXPECT_FALSE(text.contains(QStringLiteral("app6")));
}

} // namespace
