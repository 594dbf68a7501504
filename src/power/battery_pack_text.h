#pragma once

#include "power/bat_snap.h"

#include <QString>

// One pack's figures on one line, e.g. "29% · health 93% · 487 cycles";
// figures the pack does not report are left out.
QString batteryPackSummary(const BatteryPack &pack);
