#pragma once

#include "power/bat_snap.h"

#include <QList>

// Merges the sources' readings (each name at most once, in reading order)
// into one snapshot: per field the first known value in a fixed source order,
// under plausibility limits, with the list of contributing sources.
BatSnap mergeBatteryReadings(const QList<BatSourceReading> &readings);
