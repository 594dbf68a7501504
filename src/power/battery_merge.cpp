#include "power/battery_merge.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

namespace {

using SourceOrder = std::span<const char *const>;

// Who knows best, per field.
constexpr std::array<const char *, 3> kStateOrder = {"SmartBattery", "IOPS", "pmset"};
constexpr std::array<const char *, 3> kLevelOrder = {"IOPS", "SmartBattery", "pmset"};
constexpr std::array<const char *, 4> kMinutesOrder = {"IOPS", "pmset", "SmartBattery", "ioreg"};
// Battery details: the readings closest to the gauge first.
constexpr std::array<const char *, 6> kDetailOrder = {"SmartBattery", "Gauge", "Telemetry", "ioreg", "IOPS", "pmset"};

// Estimates longer than these are the gauge extrapolating from a near-zero
// current, not a forecast.
constexpr int kMaxMinutesOnBattery = 1200;
constexpr int kMaxMinutesCharging = 480;
// Below 20 mA the current says nothing about the power flowing.
constexpr int kMinMergedCurrentMA = 20;
// No laptop battery moves 500 A; beyond that a reading is a misprinted bit
// pattern, and INT_MIN has no absolute value.
constexpr int kMaxPlausibleCurrentMA = 499999;
constexpr double kMinCurrentChargeW = 0.08;
constexpr double kMinTelemetryChargeW = 0.15;

class Readings
{
public:
    explicit Readings(const QList<BatSourceReading> &readings)
        : m_readings(readings)
    {
    }

    const BatSourceReading *named(const char *name) const
    {
        for (const BatSourceReading &reading : m_readings) {
            if (reading.name == QLatin1String(name))
                return &reading;
        }
        return nullptr;
    }

    // The first known value of `field` among the named sources.
    template <typename T>
    std::optional<T> first(std::optional<T> BatSourceReading::*field, SourceOrder names) const
    {
        return firstWhere(field, names, [](const T &) { return true; });
    }

    // The first known value of `field` among the named sources that `accept` takes.
    template <typename T, typename Predicate>
    std::optional<T> firstWhere(std::optional<T> BatSourceReading::*field, SourceOrder names, Predicate accept) const
    {
        for (const char *name : names) {
            const BatSourceReading *reading = named(name);
            if (reading && reading->*field && accept(*(reading->*field)))
                return reading->*field;
        }
        return std::nullopt;
    }

    bool anyPresent() const
    {
        return std::any_of(m_readings.cbegin(), m_readings.cend(),
                           [](const BatSourceReading &reading) { return reading.present == true; });
    }

    // The first source's list of packs, in detail order.
    QList<BatteryPack> packs() const
    {
        for (const char *name : kDetailOrder) {
            const BatSourceReading *reading = named(name);
            if (reading && !reading->packs.isEmpty())
                return reading->packs;
        }
        return {};
    }

    QStringList names() const
    {
        QStringList names;
        for (const BatSourceReading &reading : m_readings)
            names.append(reading.name);
        return names;
    }

private:
    const QList<BatSourceReading> &m_readings;
};

bool isMeaningful(const BatSourceReading *reading)
{
    return reading
        && (reading->present == true || reading->level || reading->charging || reading->minutes);
}

bool isPlausibleMinutes(int minutes, bool onAC, bool charging)
{
    if (!isValidMinutes(minutes))
        return false;
    if (!onAC)
        return minutes <= kMaxMinutesOnBattery;
    return charging && minutes <= kMaxMinutesCharging;
}

double mergedChargeW(const Readings &readings, const BatSnap &snap)
{
    double chargeW = readings.firstWhere(&BatSourceReading::chargeW, kDetailOrder, [](double w) { return w > 0; }).value_or(0);
    if (snap.amperageMA && snap.voltageMV && *snap.voltageMV >= 1
        && std::abs(*snap.amperageMA) >= kMinMergedCurrentMA) {
        const double fromCurrent = std::abs(*snap.amperageMA) / 1000.0 * *snap.voltageMV / 1000.0;
        if (fromCurrent > kMinCurrentChargeW)
            return fromCurrent;
    }
    const BatSourceReading *telemetry = readings.named("Telemetry");
    if (telemetry && telemetry->chargeW && *telemetry->chargeW > kMinTelemetryChargeW)
        return *telemetry->chargeW;
    return chargeW;
}

void labelSources(const Readings &readings, BatSnap &snap)
{
    const BatSourceReading *smartBattery = readings.named("SmartBattery");
    QStringList tags;
    if (isMeaningful(smartBattery) || isMeaningful(readings.named("Gauge")))
        tags.append(QStringLiteral("SMC"));
    if (smartBattery && smartBattery->amperageMA)
        tags.append(QStringLiteral("IOKit"));
    if (isMeaningful(readings.named("IOPS")))
        tags.append(QStringLiteral("IOPS"));
    if (isMeaningful(readings.named("pmset")))
        tags.append(QStringLiteral("pmset"));

    if (tags.isEmpty()) {
        snap.sourceNames = readings.names();
        snap.sourcesLabel = snap.sourceNames.join(QStringLiteral(" · "));
    } else {
        snap.sourceNames = tags;
        snap.sourcesLabel = tags.join(QStringLiteral(" + "));
    }
}

} // namespace

BatSnap mergeBatteryReadings(const QList<BatSourceReading> &list)
{
    const Readings readings(list);
    BatSnap snap;

    snap.charging = readings.first(&BatSourceReading::charging, kStateOrder).value_or(false);
    snap.onAC = readings.first(&BatSourceReading::onAC, kStateOrder).value_or(false)
        || snap.charging;
    snap.level = readings
                     .firstWhere(&BatSourceReading::level, kLevelOrder,
                                 [](int level) { return level >= 0 && level <= 100; })
                     .value_or(0);

    snap.cycles = readings.first(&BatSourceReading::cycles, kDetailOrder);
    snap.health = readings.first(&BatSourceReading::health, kDetailOrder);
    snap.rawMax = readings.first(&BatSourceReading::rawMax, kDetailOrder);
    snap.design = readings.first(&BatSourceReading::design, kDetailOrder);
    snap.rawCurrent = readings.first(&BatSourceReading::rawCurrent, kDetailOrder);
    snap.amperageMA = readings.firstWhere(&BatSourceReading::amperageMA, kDetailOrder, [](int mA) {
        return mA >= -kMaxPlausibleCurrentMA && mA <= kMaxPlausibleCurrentMA;
    });
    snap.voltageMV = readings.first(&BatSourceReading::voltageMV, kDetailOrder);
    snap.packs = readings.packs();
    snap.present = readings.anyPresent() || snap.level >= 1 || snap.rawCurrent.has_value();

    snap.adapterW = readings.firstWhere(&BatSourceReading::adapterW, kDetailOrder, [](double w) { return w > 0; }).value_or(0);
    snap.chargeW = mergedChargeW(readings, snap);

    snap.minutes = readings.firstWhere(&BatSourceReading::minutes, kMinutesOrder,
                                       [&](int minutes) { return isPlausibleMinutes(minutes, snap.onAC, snap.charging); });

    labelSources(readings, snap);
    snap.level = std::clamp(snap.level, 0, 100);
    snap.minutesIsLiveEstimate = false;
    return snap;
}
