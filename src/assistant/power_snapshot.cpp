#include "assistant/power_snapshot.h"

#include "energy/iso_time.h"
#include "platform/format.h"
#include "power/battery_pack_text.h"

#include <QStringList>

namespace PowerSnapshot {

namespace {

// Only the first few processes: the model needs the leaders, not the table.
constexpr int kListedProcesses = 5;
// Below this the battery is idle and a charge/draw line would be noise.
constexpr double kChargeLineThresholdWatts = 0.05;

QString yesNo(bool value)
{
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

} // namespace

QString text(const PowerSnapshotInputs &inputs, double nowSeconds)
{
    const PowerSnapshotInputs::Power &power = inputs.power;
    QStringList lines;
    lines << QStringLiteral("## Pendra Pro live snapshot (local, on-device)");
    lines << QStringLiteral("- Time: ") + formatIsoUtc(nowSeconds);
    if (power.batteryPresent) {
        lines << QStringLiteral("- Battery: ") + QString::number(power.levelPercent) + QStringLiteral("% · ")
                     + power.statusText + QStringLiteral(" · ") + power.timeText;
        lines << QStringLiteral("- AC: ") + yesNo(power.isOnAC) + QStringLiteral(" · Charging: ")
                     + yesNo(power.isCharging);
    } else {
        lines << QStringLiteral("- Battery: not present (desktop/AC)");
    }
    lines << formatPrintf("- Package power: %.1f W (", power.packageWatts) + power.packageSource
                 + QStringLiteral(")");
    if (power.chargeWatts > kChargeLineThresholdWatts)
        lines << formatPrintf("- Charge/draw: %.1f W", power.chargeWatts);
    if (power.hasPowerDistribution) {
        lines << formatPrintf("- Domains · CPU %.1f · GPU %.1f · ANE %.1f · DRAM %.1f W", power.cpuWatts,
                              power.gpuWatts, power.aneWatts, power.dramWatts);
    }
    if (power.healthPercent)
        lines << QStringLiteral("- Battery health: ") + QString::number(*power.healthPercent) + QStringLiteral("%");
    if (power.cycleCount)
        lines << QStringLiteral("- Cycle count: ") + QString::number(*power.cycleCount);
    for (const BatteryPack &pack : power.packs)
        lines << QStringLiteral("- Battery pack ") + pack.name + QStringLiteral(": ") + batteryPackSummary(pack);
    if (!inputs.weatherSummary.isEmpty()) {
        QString weather = QStringLiteral("- Weather: ") + inputs.weatherSummary;
        if (!inputs.weatherPlace.isEmpty())
            weather += QStringLiteral(" · ") + inputs.weatherPlace;
        lines << weather;
    }
    if (!inputs.topProcesses.isEmpty()) {
        lines << QStringLiteral("- Top energy processes:");
        for (const PowerSnapshotInputs::Process &process : inputs.topProcesses.mid(0, kListedProcesses)) {
            lines << QStringLiteral("  - ") + process.name
                         + formatPrintf(" · CPU ~%.0f%% · est %.1f W", process.cpuPercent, process.estimatedWatts);
        }
    }
    if (!inputs.lastDayApps.isEmpty()) {
        lines << QStringLiteral("- Top apps on battery, last 24 hours:");
        for (const PowerSnapshotInputs::AppEnergy &app : inputs.lastDayApps.mid(0, kListedProcesses))
            lines << QStringLiteral("  - ") + app.name + formatPrintf(" · est %.1f Wh", app.wattHours);
    }
    lines << QString();
    lines << QStringLiteral("Answer using this snapshot. Be concrete. If data is missing, say so. Do not invent "
                            "hardware readings.");
    return lines.join(QLatin1Char('\n'));
}

} // namespace PowerSnapshot
