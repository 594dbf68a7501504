#include "power/power_store_readings.h"

#include "platform/system_info.h"
#include "power/ioreport_power_reader.h"

PowerStoreReadings::PowerStoreReadings(IOReportPowerReader *socReader, const SystemInfo &systemInfo)
    : m_socReader(socReader)
    , m_systemInfo(systemInfo)
{
}

PackageReading PowerStoreReadings::readPackagePower()
{
    if (m_socReader && m_socReader->isAvailable() && !m_socReader->permanentlyDisabled()) {
        std::optional<SocPowerSample> sample;
        m_socReader->queue().sync([&] { sample = m_socReader->sample(); });
        if (sample) {
            if (std::optional<PackageReading> reading = PowerStoreRules::packageFromSample(*sample))
                return *reading;
        }
    }
    PackageReading estimate;
    estimate.watts = PowerStoreRules::loadEstimateWatts(m_systemInfo.loadAverage1(), logicalCpuCount());
    return estimate;
}

CoreShares PowerStoreReadings::readCoreShares()
{
    m_logicalCpuCount = m_systemInfo.logicalCpuCount();
    return PowerStoreRules::coreShares(m_systemInfo.performanceCpuCount(),
                                       m_systemInfo.efficiencyCpuCount());
}

int PowerStoreReadings::logicalCpuCount()
{
    if (!m_logicalCpuCount)
        m_logicalCpuCount = m_systemInfo.logicalCpuCount();
    return *m_logicalCpuCount;
}
