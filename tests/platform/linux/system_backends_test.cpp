#include "platform/clock.h"
#include "platform/energy_counters.h"
#include "platform/power_mode.h"
#include "platform/power_sources.h"
#include "platform/registry.h"
#include "platform/system_backends.h"
#include "platform/system_info.h"
#include "platform/tool_runner.h"
#include "power/battery_snapshot.h"
#include "power/ioreport_power_reader.h"
#include "power/power_store.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

// The real backends on this machine: whatever battery it has, and package
// power from RAPL when readable, else the load estimate.
TEST(SystemBackends, PowerStorePollsThisMachine)
{
    SystemBackends backends = makeSystemBackends();
    BatterySnapshot snapshot(*backends.powerSources, *backends.batteryRegistry, ToolRunner::system());
    IOReportPowerReader reader(*backends.energyCounters, Clock::system());
    PowerStore store(Clock::system(), snapshot, &reader, *backends.systemInfo, *backends.powerMode);
    store.poll();
    ASSERT_TRUE(spinUntil([&] { return !store.pollInFlight(); }, 20000));
    EXPECT_NE(store.statusText(), QStringLiteral("—"));
    EXPECT_GT(store.packageWatts(), 0.0);
    if (!reader.isAvailable()) {
        EXPECT_EQ(store.packageSource(), QStringLiteral("estimate"));
    }
}
