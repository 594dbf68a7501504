#pragma once

#include "power/power_store_rules.h"

#include <optional>

class IOReportPowerReader;
class SystemInfo;

// What the power store measures off the main thread, on its work queue.
class PowerStoreReadings
{
public:
    // `socReader` may be null (no energy counters); the others must outlive this.
    PowerStoreReadings(IOReportPowerReader *socReader, const SystemInfo &systemInfo);

    // Package power from the SoC reader, sampled synchronously on the reader's
    // queue, or else estimated from the load average.
    PackageReading readPackagePower();
    // Reads the logical CPU count for the estimate too: like the shares, it
    // changes only when a CPU goes off- or online, so a poll need not ask.
    CoreShares readCoreShares();

private:
    int logicalCpuCount();

    IOReportPowerReader *m_socReader;
    const SystemInfo &m_systemInfo;
    std::optional<int> m_logicalCpuCount;
};
