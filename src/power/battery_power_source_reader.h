#pragma once

#include "platform/power_sources.h"
#include "power/bat_snap.h"

// The "IOPS" reading: the internal battery among the system's power sources.
BatSourceReading decodePowerSources(const QList<PowerSourceDescription> &sources);
