#include "power/battery_registry_readers.h"

#include "platform/format.h"
#include "power/battery_registry_values.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Battery currents beyond 50 A are bit patterns gone wrong, not currents.
constexpr qint64 kAmperageLimitMA = 50000;
// Below 41 mA a current against the reported direction is gauge noise.
constexpr int kNoiseCurrentMA = 41;
// Adapters rated above this are not what is reaching the battery.
constexpr double kMaxAdapterChargeW = 140.0;
// Telemetry's battery power shares the amperage decoding's bound (mW).
constexpr qint64 kTelemetryObjectLimitMW = 50000;
constexpr qint64 kTelemetryIntegerLimitMW = 499999;
// Below these the machine is idle or the value is noise.
constexpr double kMinSystemLoadMW = 150.0;
constexpr double kMinBatteryW = 0.15;
constexpr double kMaxBatteryW = 100.0;
// Telemetry and system load within this of each other describe the same flow.
constexpr double kAgreeingPowerW = 1.5;
// A pack above 8 V is a multi-cell laptop pack whose current can be derived.
constexpr qint64 kMinDerivingVoltageMV = 8000;
// A cell reading below this is an empty slot or a sensor fault.
constexpr qint64 kMinCellVoltageMV = 501;

double watts(qint64 milliamps, qint64 millivolts)
{
    return std::abs(static_cast<double>(milliamps)) / 1000.0 * static_cast<double>(millivolts) / 1000.0;
}

class EntryReader
{
public:
    explicit EntryReader(const RegistryEntry &entry)
        : m_entry(entry)
        , m_batteryData(registryDictionary(entry, QStringLiteral("BatteryData")).value_or(RegistryDictionary()))
    {
    }

    std::optional<qint64> integer(const QString &key) const
    {
        return registryInteger(registryProperty(m_entry, key));
    }
    std::optional<bool> boolean(const QString &key) const
    {
        return registryBoolean(registryProperty(m_entry, key));
    }
    std::optional<qint64> batteryDataInteger(const QString &key) const
    {
        return dictionaryInteger(registryProperty(m_batteryData, key));
    }
    std::optional<double> dictionaryValue(const QString &dictionary, const QString &key) const
    {
        const auto found = registryDictionary(m_entry, dictionary);
        return found ? dictionaryNumber(registryProperty(*found, key)) : std::nullopt;
    }
    const RegistryValue *property(const QString &key) const { return registryProperty(m_entry, key); }
    const RegistryDictionary &batteryData() const { return m_batteryData; }

private:
    const RegistryEntry &m_entry;
    RegistryDictionary m_batteryData;
};

// Sum of the "CellVoltage" list entries for which `counts` holds, absent when
// none does.
template <typename Predicate>
std::optional<qint64> cellVoltageSum(const RegistryDictionary &batteryData, Predicate counts)
{
    const RegistryValue *cells = registryProperty(batteryData, QStringLiteral("CellVoltage"));
    if (!cells || cells->kind() != RegistryValue::Kind::List)
        return std::nullopt;
    std::optional<qint64> sum;
    for (const RegistryValue &cell : cells->listValue()) {
        const auto millivolts = dictionaryInteger(&cell);
        if (millivolts && counts(*millivolts))
            sum = sum.value_or(0) + *millivolts;
    }
    return sum;
}

std::optional<int> smartBatteryLevel(std::optional<qint64> current, std::optional<qint64> maximum)
{
    if (!current || *current < 0)
        return std::nullopt;
    if (!maximum || *maximum <= 100)
        return *current <= 100 ? std::optional<int>(static_cast<int>(*current)) : std::nullopt;
    return percentOf(static_cast<double>(*current), static_cast<double>(*maximum));
}

std::optional<int> smartBatteryVoltage(const EntryReader &entry)
{
    std::optional<qint64> voltage = firstKnown(entry.integer(u"AppleRawBatteryVoltage"_s), entry.integer(u"Voltage"_s));
    if (!voltage || *voltage <= 0)
        voltage = firstKnown(entry.batteryDataInteger(u"Voltage"_s),
                             entry.batteryDataInteger(u"AppleRawBatteryVoltage"_s));
    if (!voltage || *voltage <= 0)
        voltage = cellVoltageSum(entry.batteryData(), [](qint64 mv) { return mv >= kMinCellVoltageMV; });
    if (!voltage || *voltage < 1)
        return std::nullopt;
    return fitInt(voltage);
}

std::optional<int> smartBatteryAmperage(const EntryReader &entry)
{
    for (const QString &key : {u"InstantAmperage"_s, u"Amperage"_s}) {
        if (auto amperage = fitInt(registrySignedQuantity(entry.property(key), kAmperageLimitMA)))
            return amperage;
    }
    return std::nullopt;
}

// Battery power from current and voltage, unless the current is small noise
// that contradicts the charging state.
std::optional<double> chargeWattsFromCurrent(std::optional<int> amperage, std::optional<int> voltage,
                                             std::optional<bool> charging)
{
    if (!amperage || *amperage == 0 || !voltage || *voltage < 1)
        return std::nullopt;
    const int magnitude = std::abs(*amperage);
    if (!charging && *amperage > 0 && *amperage < kNoiseCurrentMA)
        return std::nullopt;
    const bool disagrees = charging && ((*charging && *amperage < 1) || (!*charging && *amperage >= 0));
    if (disagrees && magnitude < kNoiseCurrentMA)
        return std::nullopt;
    return watts(*amperage, *voltage);
}

std::optional<int> smartBatteryMinutes(const EntryReader &entry, const BatSourceReading &reading)
{
    const auto remaining = validMinutes(entry.integer(u"TimeRemaining"_s));
    if (reading.charging == true)
        return firstKnown(validMinutes(entry.integer(u"AvgTimeToFull"_s)), remaining);
    if (reading.onAC == true)
        return remaining;
    return firstKnown(validMinutes(entry.integer(u"AvgTimeToEmpty"_s)), remaining);
}

QList<BatteryPack> smartBatteryPacks(const EntryReader &entry)
{
    QList<BatteryPack> packs;
    const RegistryValue *list = entry.property(u"BatteryPacks"_s);
    if (!list || list->kind() != RegistryValue::Kind::List)
        return packs;
    for (const RegistryValue &value : list->listValue()) {
        const RegistryDictionary &own = value.dictionaryValue();
        const RegistryValue *name = registryProperty(own, QStringLiteral("Name"));
        const BatSourceReading pack = decodeSmartBattery(own);
        packs.append({name ? name->stringValue() : QString(), pack.level, pack.health, pack.cycles});
    }
    return packs;
}

} // namespace

BatSourceReading decodeSmartBattery(const std::optional<RegistryEntry> &found)
{
    BatSourceReading reading;
    reading.name = QStringLiteral("SmartBattery");
    if (!found)
        return reading;
    const EntryReader entry(*found);
    reading.present = true;

    reading.rawCurrent = fitInt(entry.integer(u"AppleRawCurrentCapacity"_s));
    reading.rawMax =
        fitInt(firstKnown(entry.integer(u"AppleRawMaxCapacity"_s), entry.integer(u"NominalChargeCapacity"_s)));
    reading.level = smartBatteryLevel(entry.integer(u"CurrentCapacity"_s), entry.integer(u"MaxCapacity"_s));

    reading.charging = entry.boolean(u"IsCharging"_s);
    if (reading.charging == true)
        reading.onAC = true;
    const auto external =
        firstKnown(entry.boolean(u"ExternalConnected"_s), entry.boolean(u"AppleRawExternalConnected"_s));
    if (external) {
        if (*external || !reading.charging)
            reading.onAC = *external;
        else
            reading.onAC = reading.charging;
    }
    if (entry.boolean(u"FullyCharged"_s) == true) {
        reading.charging = false;
        reading.onAC = true;
    }

    reading.cycles = fitInt(firstKnown(entry.integer(u"CycleCount"_s), entry.batteryDataInteger(u"CycleCount"_s)));
    const auto design =
        fitInt(firstKnown(entry.integer(u"DesignCapacity"_s), entry.batteryDataInteger(u"DesignCapacity"_s)));
    if (design && *design >= 1)
        reading.design = design;
    if (reading.rawMax && reading.design)
        reading.health = percentOf(*reading.rawMax, *reading.design);

    reading.voltageMV = smartBatteryVoltage(entry);
    reading.amperageMA = smartBatteryAmperage(entry);
    reading.chargeW = chargeWattsFromCurrent(reading.amperageMA, reading.voltageMV, reading.charging);

    const auto adapterWatts = entry.dictionaryValue(u"AdapterDetails"_s, u"Watts"_s);
    if (adapterWatts && *adapterWatts > 0)
        reading.adapterW = adapterWatts;

    if (reading.charging == true) {
        // A gauge that reports no current while charging: fall back to the
        // adapter's rating, then to the charger's requested current.
        if ((!reading.chargeW || *reading.chargeW <= 0.1) && reading.adapterW)
            reading.chargeW = std::min(*reading.adapterW, kMaxAdapterChargeW);
        const auto chargingCurrent = entry.dictionaryValue(u"ChargerData"_s, u"ChargingCurrent"_s);
        if ((!reading.chargeW || *reading.chargeW <= 0) && chargingCurrent && *chargingCurrent >= 1
            && reading.voltageMV)
            reading.chargeW = *chargingCurrent / 1000.0 * *reading.voltageMV / 1000.0;
    }

    reading.minutes = smartBatteryMinutes(entry, reading);
    reading.packs = smartBatteryPacks(entry);
    return reading;
}

BatSourceReading decodeGauge(const std::optional<RegistryEntry> &found)
{
    BatSourceReading reading;
    reading.name = QStringLiteral("Gauge");
    if (!found)
        return reading;
    const auto gauge = registryDictionary(*found, QStringLiteral("BatteryData"));
    if (!gauge)
        return reading;
    auto integer = [&](const QString &key) { return dictionaryInteger(registryProperty(*gauge, key)); };
    reading.present = true;

    const auto stateOfCharge = integer(u"StateOfCharge"_s);
    if (stateOfCharge && *stateOfCharge >= 0 && *stateOfCharge <= 100)
        reading.level = static_cast<int>(*stateOfCharge);
    reading.cycles = fitInt(integer(u"CycleCount"_s));

    const auto design = fitInt(integer(u"DesignCapacity"_s));
    if (design && *design > 0) {
        reading.design = design;
        for (const QString &key : {u"FccComp1"_s, u"FccComp2"_s}) {
            const auto fullCharge = fitInt(integer(key));
            if (fullCharge && *fullCharge > 0) {
                reading.rawMax = fullCharge;
                reading.health = percentOf(*fullCharge, *design);
                break;
            }
        }
    }

    const auto voltage = integer(u"Voltage"_s);
    if (voltage && *voltage >= 1)
        reading.voltageMV = fitInt(voltage);
    else
        reading.voltageMV = fitInt(cellVoltageSum(*gauge, [](qint64 mv) { return mv > 0; }));
    return reading;
}

BatSourceReading decodeTelemetry(const std::optional<RegistryEntry> &found)
{
    BatSourceReading reading;
    reading.name = QStringLiteral("Telemetry");
    if (!found)
        return reading;
    const auto telemetry = registryDictionary(*found, QStringLiteral("PowerTelemetryData"));
    if (!telemetry)
        return reading;
    const EntryReader entry(*found);
    reading.present = true;

    std::optional<double> systemW;
    const auto systemLoad = dictionaryNumber(registryProperty(*telemetry, QStringLiteral("SystemLoad")));
    if (systemLoad && *systemLoad > kMinSystemLoadMW)
        systemW = *systemLoad / 1000.0;

    std::optional<qint64> batteryMW;
    const RegistryValue *batteryPower = registryProperty(*telemetry, QStringLiteral("BatteryPower"));
    if (batteryPower && batteryPower->kind() == RegistryValue::Kind::NumberObject)
        batteryMW = registrySignedQuantity(batteryPower, kTelemetryObjectLimitMW);
    else if (auto plain = dictionaryInteger(batteryPower))
        batteryMW = repairWidenedInteger(*plain, kTelemetryIntegerLimitMW);
    std::optional<double> batteryW;
    if (batteryMW) {
        const double w = std::abs(static_cast<double>(*batteryMW)) / 1000.0;
        if (w > kMinBatteryW && w < kMaxBatteryW)
            batteryW = w;
    }

    std::optional<double> powerW = systemW;
    if (batteryW) {
        powerW = batteryW;
        if (systemW && std::abs(*systemW - *batteryW) <= kAgreeingPowerW)
            powerW = (*systemW + *batteryW) * 0.5;
    }
    reading.chargeW = powerW;

    reading.charging = entry.boolean(u"IsCharging"_s);
    reading.onAC = entry.boolean(u"ExternalConnected"_s);

    if (powerW && *powerW > kMinBatteryW) {
        const auto voltage =
            fitInt(firstKnown(entry.integer(u"AppleRawBatteryVoltage"_s), entry.integer(u"Voltage"_s)));
        if (voltage && *voltage > kMinDerivingVoltageMV) {
            const int current = roundHalfAwayInt(*powerW / (*voltage / 1000.0) * 1000.0);
            reading.voltageMV = voltage;
            reading.amperageMA = reading.charging == true ? current : -current;
        }
    }
    return reading;
}
