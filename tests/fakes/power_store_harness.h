#pragma once

#include "fakes/fake_clock.h"
#include "fakes/fake_energy_counters.h"
#include "fakes/fake_power_mode.h"
#include "fakes/fake_snapshot_source.h"
#include "fakes/fake_system_info.h"
#include "power/ioreport_power_reader.h"
#include "power/power_store.h"

#include <optional>

// A PowerStore on fakes, for tests that need the store in a chosen state.
// By default there are no energy counters (package power is the load
// estimate: load 1.0 on 8 CPUs), no Low Power Mode, and the clock stands
// still until advanced.
struct PowerStoreHarness
{
    FakeClock clock;
    FakeSnapshotSource snapshots;
    FakeEnergyCounters energy; // no catalogue: the SoC reader is unavailable
    IOReportPowerReader socReader{energy, clock};
    FakeSystemInfo systemInfo;
    FakePowerModeMonitor powerMode;
    PowerStore store{clock, snapshots, &socReader, systemInfo, powerMode};

    // The battery half of a poll.
    void applyBattery(const BatSnap &snap);
    // The whole main-thread half of a poll with the given package power.
    void publish(const BatSnap &snap, double packageWatts = 5.0,
                 const QString &source = QStringLiteral("estimate"));
};

// Discharging, not on AC.
BatSnap onBatterySnap(int level, double chargeW = 8.0, std::optional<int> minutes = std::nullopt);
// On AC and charging.
BatSnap chargingSnap(int level, double chargeW = 20.0);
// On AC at 100 %, not charging.
BatSnap fullOnACSnap();
// On AC, not charging, below full (a charge limit holds it).
BatSnap heldAtLimitSnap(int level);
// No battery at all.
BatSnap desktopSnap();
