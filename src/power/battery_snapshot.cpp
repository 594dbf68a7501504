#include "power/battery_snapshot.h"

#include "platform/power_sources.h"
#include "platform/registry.h"
#include "platform/system_backends.h"
#include "platform/tool_runner.h"
#include "power/battery_merge.h"
#include "power/battery_power_source_reader.h"
#include "power/battery_registry_readers.h"
#include "power/battery_text_readers.h"

#include <chrono>

using namespace std::chrono_literals;

namespace {

// Both tools answer in well under a second; a hung one must not stall polls.
constexpr auto kToolTimeLimit = 5s;

} // namespace

BatterySnapshot::BatterySnapshot(PowerSourceList &sources, SmartBatteryRegistry &registry, ToolRunner &tools)
    : m_sources(sources)
    , m_registry(registry)
    , m_tools(tools)
{
}

BatSnap BatterySnapshot::readSnapshot(bool crossCheck)
{
    return mergeBatteryReadings(readAll(crossCheck));
}

QList<BatSourceReading> BatterySnapshot::readAll(bool crossCheck)
{
    QList<BatSourceReading> readings;
    const BatSourceReading powerSources = readPowerSources();
    readings.append(powerSources);
    // One look at the registry serves its three readers: on Linux a look
    // reads every attribute file of the battery and its supplies.
    const std::optional<RegistryEntry> entry = m_registry.copySmartBatteryEntry();
    readings.append(decodeSmartBattery(entry));
    readings.append(decodeGauge(entry));
    readings.append(decodeTelemetry(entry));
    // pmset fills in for a power-source service that lacks a level or an
    // estimate; the cross-check consults both tools.
    if (crossCheck || !powerSources.level || !powerSources.minutes)
        readings.append(readPmset());
    if (crossCheck)
        readings.append(readIoreg());
    return readings;
}

BatSourceReading BatterySnapshot::readPowerSources()
{
    return decodePowerSources(m_sources.copyPowerSources());
}

BatSourceReading BatterySnapshot::readPmset()
{
    return parsePmset(runTool(QStringLiteral("/usr/bin/pmset"), {QStringLiteral("-g"), QStringLiteral("batt")}));
}

BatSourceReading BatterySnapshot::readIoreg()
{
    return parseIoreg(runTool(QStringLiteral("/usr/sbin/ioreg"),
                              {QStringLiteral("-rn"), QStringLiteral("AppleSmartBattery"), QStringLiteral("-c"),
                               QStringLiteral("AppleSmartBattery")}));
}

std::optional<QString> BatterySnapshot::runTool(const QString &path, const QStringList &arguments)
{
    return m_tools.run(path, arguments, kToolTimeLimit);
}
