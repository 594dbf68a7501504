#include "app/shell/history_wiring.h"

#include "energy/process_energy_store.h"
#include "history/history_recorder.h"
#include "power/power_store.h"

BatteryReading batteryReadingOf(const PowerStore &power)
{
    BatteryReading reading;
    reading.onBattery = power.batteryPresent() && !power.isOnAC();
    reading.charging = power.isCharging();
    reading.chargeWatts = power.chargeWatts();
    reading.fullChargeMah = power.capacityRaw();
    reading.designMah = power.designCapacity();
    reading.cycles = power.cycleCount();
    return reading;
}

QList<AppEnergyAccumulator::Sample> historySamplesOf(const QList<ProcEnergy> &pass)
{
    QList<AppEnergyAccumulator::Sample> samples;
    samples.reserve(pass.size());
    for (const ProcEnergy &process : pass)
        samples.append({process.name, process.estimatedWatts, process.cpuPercent});
    return samples;
}

void feedHistory(HistoryRecorder &recorder, const PowerStore &power, const ProcessEnergyStore &processes)
{
    QObject::connect(&processes, &ProcessEnergyStore::passPublished, &recorder,
                     [&recorder](const QList<ProcEnergy> &pass) { recorder.notePass(historySamplesOf(pass)); });
    for (auto signal : {&PowerStore::batteryPresentChanged, &PowerStore::isOnACChanged, &PowerStore::isChargingChanged,
                        &PowerStore::chargeWattsChanged, &PowerStore::batteryDetailsChanged})
        QObject::connect(&power, signal, &recorder, [&recorder] { recorder.noteBattery(); });
}
