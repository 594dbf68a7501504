#pragma once

#include "probe/probe_report.h"

class EnergyCounters;
class SnapshotSource;
struct SystemBackends;

// The machine's energy counters: every channel and whether the SoC power
// reader can use them.
QList<ProbeField> energySection(EnergyCounters &counters);

// The power store's published fields after `polls` polls one second apart,
// reading batteries through `snapshots` and the machine's energy counters.
// Needs a running QCoreApplication; spins its event loop.
QList<ProbeField> powerStoreSection(SnapshotSource &snapshots, const SystemBackends &backends, int polls);
