#pragma once

#include "assistant/power_snapshot.h"

class PowerStore;
class ProcessEnergyStore;

namespace PowerSnapshotSources {

// The weather store's two fields the snapshot shows.
struct Weather
{
    QString summary;
    QString place;
};

// The snapshot's inputs as the stores publish them now. Main thread.
PowerSnapshotInputs read(const PowerStore &power, const ProcessEnergyStore &processes, const Weather &weather);

} // namespace PowerSnapshotSources
