#pragma once

#include "power/ioreport_power_reader.h"

#include <QList>
#include <QString>

#include <optional>

// Package power as the work queue measured it.
struct PackageReading
{
    double watts = 0; // W; 0 when not even the load estimate was possible
    QString source = QStringLiteral("estimate"); // "sensor", "sensor (N domains)" or "estimate"
    std::optional<SocPowerSample> sample; // present only when the source is a sensor

    bool operator==(const PackageReading &) const = default;
};

// Fractions of the logical CPUs on performance and on efficiency cores.
struct CoreShares
{
    double performance = 0;
    double efficiency = 0;

    bool operator==(const CoreShares &) const = default;
};

// The arithmetic and texts of the power store, free of state.
namespace PowerStoreRules {

struct IntervalInputs
{
    bool fastMode = false;
    bool batteryPresent = false;
    bool onAC = false;
    bool charging = false;
    int levelPercent = 0;
    bool lowPowerMode = false;
};
// Seconds between polls.
double pollInterval(const IntervalInputs &in);

// Package power from a SoC sample; absent when the sample shows too little
// activity to trust (the load estimate runs instead).
std::optional<PackageReading> packageFromSample(const SocPowerSample &sample);
// W estimated from the one-minute load; 0 when the load is unknown.
double loadEstimateWatts(std::optional<double> loadAverage1, int logicalCpus);
CoreShares coreShares(int performanceCpus, int efficiencyCpus);

// The next package smoother value: reacts faster the further the reading is
// from the smoothed value.
double smoothPackageWatts(std::optional<double> previous, double watts);
// The next value of one domain field.
double smoothDomainWatts(double previous, double fresh);

// "charging-onAC-present", each "true" or "false".
QString powerModeKey(bool charging, bool onAC, bool present);
// Whether a system estimate can be believed in this mode: at most 20 h on
// battery, at most 8 h to full, and none on AC without charging.
bool isPlausibleMinutes(int minutes, bool onAC, bool charging);

// Status line for the charging/AC state with display power `displayWatts`.
QString statusText(bool charging, bool onAC, int shownLevel, double displayWatts);
// Statuses of one kind are throttled against each other: "chg", "ac", "batt",
// or the text itself.
QString statusKind(const QString &status);
// Time line for `minutes` (> 0) to full while charging, else to empty.
QString timeText(bool charging, int minutes);
// Whether `minutes` (−1 when absent) falls in another 5-minute bucket than the
// minutes behind the last published time text (−1 when none).
bool timeBucketChanged(int lastDisplayedMinutes, int minutes);

// At most 60 entries picked evenly from `history`, first and last included.
QList<double> sparkSamples(const QList<double> &history);

} // namespace PowerStoreRules
