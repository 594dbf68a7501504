#include "platform/linux/battery_pack_combination.h"

#include <algorithm>

namespace {

bool anyPack(const QList<PackEnergy> &packs, const char *status)
{
    return std::any_of(packs.cbegin(), packs.cend(), [status](const PackEnergy &pack) { return pack.status == status; });
}

QByteArray combinedStatus(const QList<PackEnergy> &packs)
{
    for (const char *status : {"Charging", "Discharging"}) {
        if (anyPack(packs, status))
            return status;
    }
    if (!packs.isEmpty()
        && std::all_of(packs.cbegin(), packs.cend(), [](const PackEnergy &pack) { return pack.status == "Full"; }))
        return "Full";
    // A pack held below its threshold while the others are full or idle:
    // the machine is not charging on purpose.
    if (anyPack(packs, "Not charging"))
        return "Not charging";
    return "Unknown";
}

} // namespace

CombinedEnergy combinePacks(const QList<PackEnergy> &packs)
{
    CombinedEnergy combined;
    combined.status = combinedStatus(packs);
    for (const PackEnergy &pack : packs) {
        combined.energyWh += pack.energyWh;
        combined.fullWh += pack.fullWh;
        combined.designWh += pack.designWh;
        // An idle pack's stray reading must not count against the flow.
        if (pack.status == combined.status)
            combined.rateW += pack.rateW;
    }
    if (combined.fullWh > 0)
        combined.levelPercent = std::clamp(combined.energyWh / combined.fullWh * 100.0, 0.0, 100.0);
    if (combined.rateW > 0) {
        if (combined.status == "Discharging")
            combined.minutes = combined.energyWh / combined.rateW * 60.0;
        else if (combined.status == "Charging" && combined.fullWh > 0)
            combined.minutes = std::max(combined.fullWh - combined.energyWh, 0.0) / combined.rateW * 60.0;
    }
    return combined;
}
