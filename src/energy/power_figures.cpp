#include "energy/power_figures.h"

#include "power/power_store.h"

#include <algorithm>

namespace {

// Below this the battery reading is noise.
constexpr double kMinBatteryDrawWatts = 0.2;

} // namespace

PowerFigures powerFiguresOf(const PowerStore &store)
{
    PowerFigures figures;
    figures.batteryPresent = store.batteryPresent();
    figures.onAC = store.isOnAC();
    figures.charging = store.isCharging();
    figures.chargeWatts = store.chargeWatts();
    figures.packageWatts = store.packageWatts();
    return figures;
}

double attributableWatts(const PowerFigures &power)
{
    const bool onBatteryPower = power.batteryPresent && !power.onAC && !power.charging;
    if (onBatteryPower && power.chargeWatts > kMinBatteryDrawWatts)
        return power.chargeWatts;
    return std::max(power.packageWatts, 0.0);
}
