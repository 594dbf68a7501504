#include "energy/proc_energy.h"

#include "platform/format.h"

namespace {

// Below this the watt figure is noise; the CPU word says more.
constexpr double kMinLabelledWatts = 0.08;

} // namespace

QString processEnergyEstimateDescription()
{
    return QStringLiteral("Estimated watts = package/battery draw × each app’s CPU core share. "
                          "Not a measured per-app energy reading.");
}

QString wattsLabel(const ProcEnergy &process)
{
    const double watts = process.estimatedWatts;
    if (watts >= kMinLabelledWatts) {
        if (watts >= 10)
            return formatPrintf("%.0f W", watts);
        if (watts >= 1)
            return formatPrintf("%.1f W", watts);
        return formatPrintf("%.2f W", watts);
    }
    if (process.cpuPercent >= 80)
        return QStringLiteral("High");
    if (process.cpuPercent >= 25)
        return QStringLiteral("Moderate");
    return QStringLiteral("Low");
}
