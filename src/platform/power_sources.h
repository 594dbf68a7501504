#pragma once

#include <QList>
#include <QVariantMap>

// One power source's description, keyed like the system's power-source
// descriptions:
//   "Type"                string, "InternalBattery" for a built-in battery
//   "Name"                string, e.g. "InternalBattery-0"
//   "Current Capacity"    integer, percent when "Max Capacity" is 100
//   "Max Capacity"        integer
//   "Power Source State"  string, "AC Power" or "Battery Power"
//   "Is Charging"         bool
//   "Time to Empty"       integer, minutes
//   "Time to Full Charge" integer, minutes
//   "Packs"               list, when the battery is several packs: per pack a
//                         map with "Name" (string), "Current Capacity"
//                         (percent), "Health" (percent of design) and
//                         "Cycle Count" (integer)
// Keys the source does not know are missing.
using PowerSourceDescription = QVariantMap;

// The system's list of power sources.
class PowerSourceList
{
public:
    virtual ~PowerSourceList() = default;

    // Every power source's description, in the service's order; empty when the
    // service is unavailable. May block briefly on IPC: call it off the main
    // thread.
    virtual QList<PowerSourceDescription> copyPowerSources() = 0;
};
