#pragma once

#include "energy/proc_energy.h"

// A process as the energy store lists it; named "app<id>" unless `name` is given.
inline ProcEnergy process(int id, double watts, double cpu = 10, const QString &name = {})
{
    ProcEnergy made;
    made.id = id;
    made.name = name.isEmpty() ? QStringLiteral("app%1").arg(id) : name;
    made.estimatedWatts = watts;
    made.cpuPercent = cpu;
    return made;
}
