#include "platform/linux/battery_pack_combination.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

TEST(BatteryPackCombination, PacksAddUpToTheMachinesBattery)
{
    struct Case
    {
        const char *name;
        QList<PackEnergy> packs;
        QByteArray status;
        std::optional<double> level;
        double rateW;
        std::optional<double> minutes;
    };
    const Case cases[] = {
        {"external drains, internal idle",
         {{"Unknown", 21.43, 22.8, 24.05, 0}, {"Discharging", 19.4, 66.9, 72, 9.12}},
         "Discharging", 45.518, 9.12, 268.62},
        {"one charges, the other waits",
         {{"Charging", 15.2, 22.8, 24.05, 27.5}, {"Unknown", 33.45, 66.9, 72, 0}},
         "Charging", 54.236, 27.5, 89.56},
        // A waiting pack's stray reading is not part of the flow.
        {"stray rate on the idle pack",
         {{"Discharging", 30, 50, 50, 8}, {"Not charging", 40, 50, 50, 0.4}},
         "Discharging", 70, 8, 525},
        {"charging wins over discharging",
         {{"Discharging", 10, 50, 50, 5}, {"Charging", 20, 50, 50, 20}},
         "Charging", 30, 20, 210},
        {"both draining", {{"Discharging", 20, 40, 40, 4}, {"Discharging", 20, 40, 40, 6}}, "Discharging", 50, 10, 240},
        {"all full", {{"Full", 50, 50, 55, 0}, {"Full", 40, 40, 45, 0}}, "Full", 100, 0, std::nullopt},
        {"full and held", {{"Full", 50, 50, 55, 0}, {"Not charging", 32, 40, 45, 0}}, "Not charging", 91.111, 0,
         std::nullopt},
        {"idle without a rate", {{"Unknown", 20, 40, 40, 0}, {"Unknown", 30, 40, 40, 0}}, "Unknown", 62.5, 0,
         std::nullopt},
        {"discharging without a rate", {{"Discharging", 20, 40, 40, 0}, {"Unknown", 30, 40, 40, 0}}, "Discharging",
         62.5, 0, std::nullopt},
        {"no full-charge energy", {{"Discharging", 20, 0, 0, 5}, {"Unknown", 30, 0, 0, 0}}, "Discharging",
         std::nullopt, 5, 600},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const CombinedEnergy combined = combinePacks(c.packs);
        EXPECT_EQ(combined.status, c.status);
        ASSERT_EQ(combined.levelPercent.has_value(), c.level.has_value());
        if (c.level) {
            EXPECT_NEAR(*combined.levelPercent, *c.level, 0.001);
        }
        EXPECT_DOUBLE_EQ(combined.rateW, c.rateW);
        ASSERT_EQ(combined.minutes.has_value(), c.minutes.has_value());
        if (c.minutes) {
            EXPECT_NEAR(*combined.minutes, *c.minutes, 0.01);
        }
    }
}

} // namespace
