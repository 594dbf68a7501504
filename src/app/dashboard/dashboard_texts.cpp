#include "app/dashboard/dashboard_texts.h"

#include "app/ui/pendra_status_copy.h"
#include "platform/format.h"

namespace DashboardTexts {

namespace {

constexpr int kListedCulprits = 5;

} // namespace

Chip statusChip(bool batteryPresent, bool charging, bool onAC, int levelPercent, int dropPercent)
{
    if (!batteryPresent)
        return {QStringLiteral("Desktop"), ChipKind::neutral};
    if (charging)
        return {QStringLiteral("Charging"), ChipKind::charging};
    if (!onAC) {
        if (dropPercent > kFastDrainPoints)
            return {QStringLiteral("Draining fast"), ChipKind::drainingFast};
        return {QStringLiteral("On battery"), ChipKind::neutral};
    }
    return {levelPercent > 99 ? QStringLiteral("Full") : QStringLiteral("Plugged in"), ChipKind::neutral};
}

QString timeHeadline(bool batteryPresent, bool charging, bool onAC, const QString &timeText,
                     std::optional<int> remainingMinutes)
{
    if (!batteryPresent)
        return kRunningOnAdapter;
    if ((timeText == kCalculating || !remainingMinutes) && (!onAC || charging))
        return PendraStatusCopy::kEstimatingTimeLeft;
    return timeText;
}

QString percentText(bool batteryPresent, int levelPercent)
{
    return batteryPresent ? formatPrintf("%d%%", levelPercent) : QStringLiteral("AC");
}

QString packageLine(double packageWatts, const QString &powerSource)
{
    return formatPrintf("Package %.1f W · ", packageWatts) + powerSource;
}

QString watts(double watts)
{
    return formatPrintf("%.1f W", watts);
}

QString appsSummary(const QList<ProcEnergy> &top)
{
    if (top.isEmpty())
        return PendraStatusCopy::kNothingHeavy;
    const ProcEnergy &first = top.first();
    return first.name + QStringLiteral(" · ") + PendraStatusCopy::powerLabel(first.cpuPercent, first.estimatedWatts);
}

QString shareText(const ProcEnergy &process)
{
    return formatPrintf("%.0f%%", process.powerShare * 100.0);
}

QString whySummary(const WhyDrain &why)
{
    return why.dropPercent > 0 ? dropText(why) : kSteady;
}

QString dropText(const WhyDrain &why)
{
    return formatPrintf("%d%% · ", why.dropPercent) + why.windowLabel;
}

bool lacksHistory(const WhyDrain &why)
{
    return why.summary.contains(QStringLiteral("not enough"), Qt::CaseInsensitive);
}

QList<DrainCulprit> listedCulprits(const WhyDrain &why)
{
    return why.culprits.mid(0, kListedCulprits);
}

} // namespace DashboardTexts
