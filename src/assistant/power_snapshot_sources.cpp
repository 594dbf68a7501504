#include "assistant/power_snapshot_sources.h"

#include "energy/process_energy_store.h"
#include "power/power_store.h"

namespace PowerSnapshotSources {

PowerSnapshotInputs read(const PowerStore &power, const ProcessEnergyStore &processes, const Weather &weather)
{
    PowerSnapshotInputs inputs;
    PowerSnapshotInputs::Power &p = inputs.power;
    p.batteryPresent = power.batteryPresent();
    p.levelPercent = power.levelPercent();
    p.statusText = power.statusText();
    p.timeText = power.timeText();
    p.isOnAC = power.isOnAC();
    p.isCharging = power.isCharging();
    p.packageWatts = power.packageWatts();
    p.packageSource = power.packageSource();
    p.chargeWatts = power.chargeWatts();
    p.hasPowerDistribution = power.hasPowerDistribution();
    p.cpuWatts = power.cpuDomainWatts();
    p.gpuWatts = power.gpuDomainWatts();
    p.aneWatts = power.aneDomainWatts();
    p.dramWatts = power.dramDomainWatts();
    p.healthPercent = power.healthPercent();
    p.cycleCount = power.cycleCount();
    p.packs = power.batteryPacks();
    for (const ProcEnergy &process : processes.top())
        inputs.topProcesses.append({process.name, process.cpuPercent, process.estimatedWatts});
    inputs.weatherSummary = weather.summary;
    inputs.weatherPlace = weather.place;
    return inputs;
}

} // namespace PowerSnapshotSources
