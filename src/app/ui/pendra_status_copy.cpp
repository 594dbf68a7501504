#include "app/ui/pendra_status_copy.h"

#include "energy/process_energy_store.h"
#include "platform/format.h"
#include "power/power_store.h"

namespace PendraStatusCopy {

QString powerSourceLine(bool batteryPresent, bool charging, bool onAC, int levelPercent, double packageWatts)
{
    if (!batteryPresent)
        return QStringLiteral("Desktop · AC only");
    const QString watts = formatPrintf("%.1f W", packageWatts);
    if (charging)
        return QStringLiteral("Charging · package ") + watts;
    if (!onAC)
        return QStringLiteral("On Battery · package ") + watts;
    if (levelPercent >= 100)
        return QStringLiteral("Fully Charged · package ") + watts;
    return QStringLiteral("On Adapter · package ") + watts;
}

QString powerSourceLine(const PowerStore &store)
{
    return powerSourceLine(store.batteryPresent(), store.isCharging(), store.isOnAC(), store.levelPercent(),
                           store.packageWatts());
}

QString topAppLine(const QList<ProcEnergy> &top)
{
    if (top.isEmpty())
        return QStringLiteral("None");
    const ProcEnergy &first = top.first();
    return first.name + QStringLiteral(" · ") + powerLabel(first.cpuPercent, first.estimatedWatts);
}

QString topAppLine(const ProcessEnergyStore &store)
{
    return topAppLine(store.top());
}

QString powerLabel(double cpuPercent, double estimatedWatts)
{
    ProcEnergy process;
    process.cpuPercent = cpuPercent;
    process.estimatedWatts = estimatedWatts;
    return wattsLabel(process);
}

QString cpuWord(double cpuPercent)
{
    if (cpuPercent >= 80)
        return QStringLiteral("High");
    if (cpuPercent >= 25)
        return QStringLiteral("Moderate");
    return QStringLiteral("Low");
}

QString lowPowerLine(bool lowPowerOn)
{
    return lowPowerOn ? QStringLiteral("Low Power On") : QStringLiteral("Low Power Off");
}

QString stripTimeSuffix(const QString &timeText)
{
    static const QString suffixes[] = {QStringLiteral(" remaining"), QStringLiteral(" remaining."),
                                       QStringLiteral(" until full"), QStringLiteral(" left")};
    QString text = timeText;
    for (const QString &suffix : suffixes) {
        const qsizetype at = text.indexOf(suffix, 0, Qt::CaseInsensitive);
        if (at >= 0)
            text.remove(at, suffix.size());
    }
    return text;
}

} // namespace PendraStatusCopy
