#pragma once

#include "history/app_energy_accumulator.h"
#include "history/battery_day_accumulator.h"

class HistoryRecorder;
class PowerStore;
class ProcessEnergyStore;
struct ProcEnergy;

// The battery as the power store publishes it now. Main thread.
BatteryReading batteryReadingOf(const PowerStore &power);
// A pass's processes under the names the battery menu shows.
QList<AppEnergyAccumulator::Sample> historySamplesOf(const QList<ProcEnergy> &pass);
// Hands the recorder every sampler pass and every change of the battery's
// published state, for as long as all three live.
void feedHistory(HistoryRecorder &recorder, const PowerStore &power, const ProcessEnergyStore &processes);
