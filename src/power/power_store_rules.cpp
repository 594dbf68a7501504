#include "power/power_store_rules.h"

#include "platform/format.h"
#include "power/bat_snap.h"

#include <algorithm>
#include <cmath>

namespace PowerStoreRules {

namespace {

// Domains below these draw nothing worth showing; the sensors idle at a few mW.
constexpr double kMinPackageWatts = 0.05;
constexpr double kActiveDomainWatts = 0.02;
constexpr double kMinShownPackageWatts = 0.1;
constexpr double kMaxPackageWatts = 120.0;
// Estimates beyond these are the gauge guessing, not measuring.
constexpr int kMaxMinutesOnBattery = 1200;
constexpr int kMaxMinutesToFull = 480;
constexpr int kSparkPoints = 60;

int floorToFive(int minutes)
{
    return minutes < 1 ? -1 : minutes / 5 * 5;
}

} // namespace

double pollInterval(const IntervalInputs &in)
{
    if (in.fastMode)
        return 2.0;
    if (in.batteryPresent && in.onAC && !in.charging && in.levelPercent > 99)
        return 10.0;
    if (in.batteryPresent && !in.onAC)
        return in.lowPowerMode ? 8.0 : 3.0;
    return in.lowPowerMode ? 12.0 : 4.0;
}

std::optional<PackageReading> packageFromSample(const SocPowerSample &sample)
{
    const double domains[] = {sample.cpuWatts, sample.gpuWatts, sample.aneWatts, sample.dramWatts};
    const bool anyDomain = std::any_of(std::begin(domains), std::end(domains), [](double w) { return w > 0; })
        || sample.otherWatts > 0;
    // "Other" (image processor, display) is outside the package figure.
    const double total = sample.cpuWatts + sample.gpuWatts + sample.aneWatts + sample.dramWatts;
    if (!anyDomain || total <= kMinPackageWatts)
        return std::nullopt;

    const auto active = std::count_if(std::begin(domains), std::end(domains),
                                      [](double w) { return w > kActiveDomainWatts; });
    PackageReading reading;
    reading.watts = std::clamp(total, kMinShownPackageWatts, kMaxPackageWatts);
    reading.source = active <= 1 ? QStringLiteral("sensor")
                                 : formatPrintf("sensor (%d domains)", static_cast<int>(active));
    reading.sample = sample;
    return reading;
}

double loadEstimateWatts(std::optional<double> loadAverage1, int logicalCpus)
{
    if (!loadAverage1)
        return 0.0;
    const int n = std::max(logicalCpus, 1);
    const double utilisation = std::min(*loadAverage1 / n, 1.0);
    // Small machines idle lower and peak lower than large ones.
    return n < 10 ? 2.2 + 18.0 * utilisation : 3.5 + 28.0 * utilisation;
}

CoreShares coreShares(int performanceCpus, int efficiencyCpus)
{
    const int total = performanceCpus + efficiencyCpus;
    if (total <= 0)
        return {};
    return {static_cast<double>(performanceCpus) / total, static_cast<double>(efficiencyCpus) / total};
}

double smoothPackageWatts(std::optional<double> previous, double watts)
{
    if (!previous)
        return watts;
    const double distance = std::abs(watts - *previous);
    const double alpha = distance > 4.0 ? 0.55 : distance > 1.5 ? 0.35 : 0.22;
    return watts * alpha + *previous * (1.0 - alpha);
}

double smoothDomainWatts(double previous, double fresh)
{
    return previous > 0.01 ? fresh * 0.45 + previous * 0.55 : fresh;
}

QString powerModeKey(bool charging, bool onAC, bool present)
{
    auto word = [](bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); };
    return word(charging) + u'-' + word(onAC) + u'-' + word(present);
}

bool isPlausibleMinutes(int minutes, bool onAC, bool charging)
{
    if (!isValidMinutes(minutes))
        return false;
    if (!onAC)
        return minutes <= kMaxMinutesOnBattery;
    return charging && minutes <= kMaxMinutesToFull;
}

QString statusText(bool charging, bool onAC, int shownLevel, double displayWatts)
{
    const bool showWatts = displayWatts > 0.2;
    if (charging)
        return showWatts ? formatPrintf("Charging · %.1f W", displayWatts) : QStringLiteral("Charging");
    if (!onAC)
        return showWatts ? formatPrintf("On battery · %.1f W", displayWatts) : QStringLiteral("On battery");
    return shownLevel >= 100 ? QStringLiteral("Full · on AC") : QStringLiteral("Plugged in");
}

QString statusKind(const QString &status)
{
    if (status.startsWith(QLatin1String("Charging")))
        return QStringLiteral("chg");
    if (status.startsWith(QLatin1String("Full")) || status.startsWith(QLatin1String("Plugged")))
        return QStringLiteral("ac");
    if (status.startsWith(QLatin1String("On battery")))
        return QStringLiteral("batt");
    return status;
}

QString timeText(bool charging, int minutes)
{
    const int m5 = minutes / 5 * 5;
    const int shown = m5 < 2 ? 1 : m5;
    if (m5 < 60)
        return charging ? formatPrintf("%d min to full", shown) : formatPrintf("%d min left", shown);
    return charging ? formatPrintf("%dh %dm to full", shown / 60, shown % 60)
                    : formatPrintf("%dh %dm left", shown / 60, shown % 60);
}

bool timeBucketChanged(int lastDisplayedMinutes, int minutes)
{
    if (lastDisplayedMinutes == -1)
        return true;
    if (lastDisplayedMinutes == 0)
        return minutes >= 1;
    return floorToFive(minutes) != floorToFive(lastDisplayedMinutes);
}

QList<double> sparkSamples(const QList<double> &history)
{
    const qsizetype n = history.size();
    if (n <= kSparkPoints)
        return history;
    QList<double> spark;
    spark.reserve(kSparkPoints);
    for (int i = 0; i < kSparkPoints; ++i) {
        const double position = static_cast<double>(n - 1) / (kSparkPoints - 1) * i;
        const qsizetype index = std::min<qsizetype>(roundHalfAway(position), n - 1);
        spark.append(history.at(index));
    }
    return spark;
}

} // namespace PowerStoreRules
