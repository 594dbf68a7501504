#include "power/ioreport_power_reader.h"
#include "power/power_store.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

// The real backends on this machine: whatever battery it has, and package
// power from RAPL when readable, else the load estimate.
TEST(PowerStoreShared, OneInstanceThatPollsThisMachine)
{
    PowerStore &store = PowerStore::shared();
    EXPECT_EQ(&store, &PowerStore::shared());
    store.poll();
    ASSERT_TRUE(spinUntil([&] { return !store.pollInFlight(); }, 20000));
    EXPECT_NE(store.statusText(), QStringLiteral("—"));
    EXPECT_GT(store.packageWatts(), 0.0);
    if (!IOReportPowerReader::shared().isAvailable()) {
        EXPECT_EQ(store.packageSource(), QStringLiteral("estimate"));
    }
}
