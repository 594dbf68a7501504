#include "fakes/power_store_harness.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

TEST(PowerStoreLevel, FlickerBetweenTwoLevelsKeepsTheShownLevel)
{
    PowerStoreHarness h;
    h.applyBattery(onBatterySnap(80));
    ASSERT_EQ(h.store.levelPercent(), 80);
    for (int level : {79, 80, 79, 80, 79, 79, 80}) {
        h.applyBattery(onBatterySnap(level));
        EXPECT_EQ(h.store.levelPercent(), 80) << "after reading " << level;
    }
}

TEST(PowerStoreLevel, NewLevelMovesAfterThreeReadingsThenOnePointPerPoll)
{
    PowerStoreHarness h;
    h.applyBattery(onBatterySnap(80));
    const int expected[] = {80, 80, 79, 78, 77, 77};
    for (int shown : expected) {
        h.applyBattery(onBatterySnap(77));
        EXPECT_EQ(h.store.levelPercent(), shown);
    }
}
