#include "platform/linux/sysfs_battery_registry.h"

#include "platform/format.h"
#include "platform/linux/battery_pack_entry.h"
#include "platform/linux/power_supply_discovery.h"
#include "platform/linux/sysfs_files.h"

#include <algorithm>
#include <utility>
#include <cstdlib>

namespace {

// Type, scope and presence are the discovery's to read: it has just found
// this to be a present system battery.
const QList<QLatin1String> kChangingBatteryAttributes = {
    QLatin1String("status"),
    QLatin1String("capacity"),
    QLatin1String("charge_now"),
    QLatin1String("energy_now"),
    QLatin1String("voltage_now"),
    QLatin1String("current_now"),
    QLatin1String("current_avg"),
    QLatin1String("power_now"),
    QLatin1String("time_to_empty_now"),
    QLatin1String("time_to_empty_avg"),
    QLatin1String("time_to_full_now"),
    QLatin1String("time_to_full_avg"),
    QLatin1String("constant_charge_current"),
};

// Design values are fixed for as long as the pack stays bound; full-charge
// capacity and the cycle count move over hours of use.
const QList<QLatin1String> kSteadyBatteryAttributes = {
    QLatin1String("charge_full"),
    QLatin1String("charge_full_design"),
    QLatin1String("energy_full"),
    QLatin1String("energy_full_design"),
    QLatin1String("voltage_min_design"),
    QLatin1String("cycle_count"),
};

const QList<QLatin1String> kExternalSupplyAttributes = {
    QLatin1String("online"),
    QLatin1String("voltage_max"),
    QLatin1String("current_max"),
};

QByteArray textAttribute(const PowerSupplyAttributes &attributes, const char *name)
{
    return attributes.value(QLatin1String(name)).trimmed();
}

qint64 microToMilli(qint64 value)
{
    return roundHalfAway(static_cast<double>(value) / 1000.0);
}

qint64 secondsToMinutes(qint64 seconds)
{
    return roundHalfAway(static_cast<double>(seconds) / 60.0);
}

// ACPI batteries give the kernel no time estimate; the gauge's own rule is
// what is left (or missing) over the present rate, in the battery's units.
std::optional<qint64> derivedMinutes(const PowerSupplyAttributes &battery, const QByteArray &status)
{
    const bool charging = status == "Charging";
    if (!charging && status != "Discharging")
        return std::nullopt;
    const struct
    {
        const char *now, *full, *rate;
    } units[] = {{"energy_now", "energy_full", "power_now"}, {"charge_now", "charge_full", "current_now"}};
    for (const auto &unit : units) {
        const auto now = integerAttribute(battery, unit.now);
        const auto rate = integerAttribute(battery, unit.rate);
        const auto full = integerAttribute(battery, unit.full);
        // Some drivers sign the rate; the status says the direction.
        if (!now || !rate || *rate == 0 || (charging && !full))
            continue;
        const double left = charging ? std::max<double>(double(*full - *now), 0) : double(*now);
        return roundHalfAway(left / std::abs(double(*rate)) * 60.0);
    }
    return std::nullopt;
}

// Battery capacities in mAh. Batteries that count in energy units give µWh;
// those divide by the design voltage (the pack's nominal voltage), or by the
// present voltage when the design voltage is unknown.
class CapacityReader
{
public:
    explicit CapacityReader(const PowerSupplyAttributes &battery)
        : m_battery(battery)
        , m_voltageUV(firstIntegerAttribute(battery, "voltage_min_design", "voltage_now"))
    {
    }

    std::optional<qint64> milliampHours(const char *chargeName, const char *energyName) const
    {
        if (auto charge = integerAttribute(m_battery, chargeName))
            return microToMilli(*charge);
        const auto energy = integerAttribute(m_battery, energyName);
        if (!energy || !m_voltageUV || *m_voltageUV <= 0)
            return std::nullopt;
        return roundHalfAway(static_cast<double>(*energy) / static_cast<double>(*m_voltageUV) * 1000.0);
    }

private:
    const PowerSupplyAttributes &m_battery;
    std::optional<qint64> m_voltageUV;
};

// Most drivers report current and power as magnitudes; some (macsmc-battery,
// several fuel gauges) already sign them. The status decides the sign; other
// states keep what the driver said.
qint64 signedByStatus(qint64 value, const QByteArray &status)
{
    if (status == "Discharging")
        return -std::llabs(value);
    if (status == "Charging")
        return std::llabs(value);
    return value;
}

std::optional<qint64> batteryCurrentMA(const PowerSupplyAttributes &battery, const char *currentName)
{
    if (auto current = integerAttribute(battery, currentName))
        return microToMilli(*current);
    // Batteries that count in energy units give power instead of current.
    const auto power = integerAttribute(battery, "power_now");
    const auto voltage = integerAttribute(battery, "voltage_now");
    if (!power || !voltage || *voltage <= 0)
        return std::nullopt;
    return roundHalfAway(static_cast<double>(*power) / static_cast<double>(*voltage) * 1000.0);
}

std::optional<bool> externalConnected(const QList<PowerSupplyAttributes> &externalSupplies)
{
    std::optional<bool> connected;
    for (const PowerSupplyAttributes &supply : externalSupplies) {
        const auto online = integerAttribute(supply, "online");
        if (!online)
            continue;
        if (*online != 0)
            return true;
        connected = false;
    }
    return connected;
}

// A USB-PD source reports its contract as voltage_max (µV) and current_max (µA).
std::optional<qint64> adapterWatts(const QList<PowerSupplyAttributes> &externalSupplies)
{
    for (const PowerSupplyAttributes &supply : externalSupplies) {
        const auto online = integerAttribute(supply, "online");
        const auto voltage = integerAttribute(supply, "voltage_max");
        const auto current = integerAttribute(supply, "current_max");
        if (!online || *online == 0 || !voltage || !current || *voltage <= 0 || *current <= 0)
            continue;
        const qint64 watts = roundHalfAway(static_cast<double>(*voltage) / 1e6 * static_cast<double>(*current) / 1e6);
        if (watts > 0)
            return watts;
    }
    return std::nullopt;
}

void putNumber(RegistryEntry &entry, const char *key, std::optional<qint64> value)
{
    if (value)
        entry.insert(QLatin1String(key), RegistryValue::numberObject(*value));
}

void putInteger(RegistryDictionary &dictionary, const char *key, std::optional<qint64> value)
{
    if (value)
        dictionary.insert(QLatin1String(key), RegistryValue::integer(*value));
}

void putDictionary(RegistryEntry &entry, const char *key, const RegistryDictionary &dictionary)
{
    if (!dictionary.isEmpty())
        entry.insert(QLatin1String(key), RegistryValue::dictionary(dictionary));
}

} // namespace

RegistryEntry registryEntryFromPowerSupply(const PowerSupplyAttributes &battery,
                                           const QList<PowerSupplyAttributes> &externalSupplies)
{
    RegistryEntry entry;
    const QByteArray status = textAttribute(battery, "status");
    const CapacityReader capacities(battery);
    const auto rawCurrent = capacities.milliampHours("charge_now", "energy_now");
    const auto rawMax = capacities.milliampHours("charge_full", "energy_full");
    const auto design = capacities.milliampHours("charge_full_design", "energy_full_design");
    // Gauges that count past their last full-charge capacity report above 100.
    auto capacity = integerAttribute(battery, "capacity");
    if (capacity)
        capacity = std::clamp<qint64>(*capacity, 0, 100);

    if (capacity) {
        putNumber(entry, "CurrentCapacity", capacity);
        putNumber(entry, "MaxCapacity", 100);
    } else if (rawCurrent && rawMax) {
        // Without a percentage the level follows from the capacities.
        putNumber(entry, "CurrentCapacity", rawCurrent);
        putNumber(entry, "MaxCapacity", rawMax);
    }
    putNumber(entry, "AppleRawCurrentCapacity", rawCurrent);
    putNumber(entry, "AppleRawMaxCapacity", rawMax);
    putNumber(entry, "DesignCapacity", design);

    std::optional<qint64> voltageMV;
    if (auto voltage = integerAttribute(battery, "voltage_now"))
        voltageMV = microToMilli(*voltage);
    putNumber(entry, "Voltage", voltageMV);
    putNumber(entry, "AppleRawBatteryVoltage", voltageMV);

    // current_avg, where the gauge keeps one, is the steadier reading.
    const auto instantMA = batteryCurrentMA(battery, "current_now");
    const auto averageMA = integerAttribute(battery, "current_avg") ? batteryCurrentMA(battery, "current_avg") : instantMA;
    if (instantMA)
        putNumber(entry, "InstantAmperage", signedByStatus(*instantMA, status));
    if (averageMA)
        putNumber(entry, "Amperage", signedByStatus(*averageMA, status));

    const auto cycles = integerAttribute(battery, "cycle_count");
    putNumber(entry, "CycleCount", cycles);

    const std::optional<bool> connected = externalConnected(externalSupplies);
    if (!status.isEmpty()) {
        entry.insert(QStringLiteral("IsCharging"), RegistryValue::boolean(status == "Charging"));
        // "Full" can linger for a while after unplugging; fully charged means
        // full on external power.
        entry.insert(QStringLiteral("FullyCharged"), RegistryValue::boolean(status == "Full" && connected != false));
    }
    if (connected)
        entry.insert(QStringLiteral("ExternalConnected"), RegistryValue::boolean(*connected));

    const auto toEmpty = firstIntegerAttribute(battery, "time_to_empty_avg", "time_to_empty_now");
    const auto toFull = firstIntegerAttribute(battery, "time_to_full_avg", "time_to_full_now");
    if (toEmpty)
        putNumber(entry, "AvgTimeToEmpty", secondsToMinutes(*toEmpty));
    if (toFull)
        putNumber(entry, "AvgTimeToFull", secondsToMinutes(*toFull));
    if (!toEmpty && !toFull) {
        if (const auto minutes = derivedMinutes(battery, status))
            putNumber(entry, status == "Charging" ? "AvgTimeToFull" : "AvgTimeToEmpty", minutes);
    }

    RegistryDictionary gauge;
    putInteger(gauge, "StateOfCharge", capacity);
    putInteger(gauge, "DesignCapacity", design);
    putInteger(gauge, "FccComp1", rawMax);
    putInteger(gauge, "CycleCount", cycles);
    putInteger(gauge, "Voltage", voltageMV);
    putDictionary(entry, "BatteryData", gauge);

    RegistryDictionary telemetry;
    if (auto power = integerAttribute(battery, "power_now"))
        putInteger(telemetry, "BatteryPower", signedByStatus(microToMilli(*power), status));
    putDictionary(entry, "PowerTelemetryData", telemetry);

    RegistryDictionary adapter;
    putInteger(adapter, "Watts", adapterWatts(externalSupplies));
    putDictionary(entry, "AdapterDetails", adapter);

    RegistryDictionary charger;
    if (auto current = integerAttribute(battery, "constant_charge_current"))
        putInteger(charger, "ChargingCurrent", microToMilli(*current));
    putDictionary(entry, "ChargerData", charger);

    return entry;
}

SysfsSmartBatteryRegistry::SysfsSmartBatteryRegistry(const QString &sysRoot, SysfsFiles &files)
    : m_supplyDirectory(powerSupplyDirectory(sysRoot))
    , m_files(files)
    , m_supplies(files, m_supplyDirectory)
{
}

std::optional<RegistryEntry> SysfsSmartBatteryRegistry::copySmartBatteryEntry()
{
    const PowerSupplies supplies = m_supplies.discover();
    followListing(supplies.listingGeneration);
    QList<BatteryPackAttributes> packs;
    for (const QString &name : supplies.batteries) {
        const QStringList listed = attributeFiles(name);
        PowerSupplyAttributes attributes = readListedAttributes(listed, name, kChangingBatteryAttributes);
        attributes.insert(steadyAttributes(name, listed));
        BatteryPackAttributes pack{name, std::move(attributes), listed.contains(QLatin1String("charge_stop_threshold"))};
        if (stillPresent(name, listed))
            packs.append(pack);
    }
    if (packs.isEmpty())
        return std::nullopt;
    QList<PowerSupplyAttributes> externalSupplies;
    for (const QString &name : supplies.externalSupplies)
        externalSupplies.append(
            readListedAttributes(attributeFiles(name), name, kExternalSupplyAttributes));
    if (packs.size() == 1)
        return registryEntryFromPowerSupply(packs.constFirst().attributes, externalSupplies);
    return registryEntryFromPacks(packs, externalSupplies);
}

// A battery unbound, hot-removed or taken out of its bay while we read
// leaves values that no longer describe anything.
bool SysfsSmartBatteryRegistry::stillPresent(const QString &battery, const QStringList &listed)
{
    const QString attribute = listed.contains(QLatin1String("present")) ? QStringLiteral("present")
                                                                         : QStringLiteral("type");
    const std::optional<QByteArray> text = m_files.read(m_supplyDirectory + battery + u'/' + attribute);
    return text && text->trimmed() != "0";
}

PowerSupplyAttributes SysfsSmartBatteryRegistry::readAttributes(const QString &supply,
                                                                const QList<QLatin1String> &names)
{
    PowerSupplyAttributes attributes;
    const QString directory = m_supplyDirectory + supply + QLatin1Char('/');
    for (const QLatin1String &name : names) {
        if (auto text = m_files.read(directory + name))
            attributes.insert(name, *text);
    }
    return attributes;
}

// What is kept about a supply holds while it stays bound, so until the
// supplies are listed differently.
void SysfsSmartBatteryRegistry::followListing(quint64 listingGeneration)
{
    if (listingGeneration == m_listingGeneration)
        return;
    m_listingGeneration = listingGeneration;
    m_attributeFiles.clear();
    m_steadyAttributes.clear();
}

PowerSupplyAttributes SysfsSmartBatteryRegistry::steadyAttributes(const QString &battery, const QStringList &listed)
{
    SteadyAttributes &steady = m_steadyAttributes[battery];
    if (steady.readingsUntilFresh <= 0) {
        steady.values = readListedAttributes(listed, battery, kSteadyBatteryAttributes);
        steady.readingsUntilFresh = kSteadyAttributesReadEvery;
    }
    --steady.readingsUntilFresh;
    return steady.values;
}

QStringList SysfsSmartBatteryRegistry::attributeFiles(const QString &battery)
{
    if (const auto known = m_attributeFiles.constFind(battery); known != m_attributeFiles.constEnd())
        return *known;
    const QStringList listed = m_files.list(m_supplyDirectory + battery);
    if (!listed.isEmpty())
        m_attributeFiles.insert(battery, listed);
    return listed;
}

PowerSupplyAttributes SysfsSmartBatteryRegistry::readListedAttributes(const QStringList &listed, const QString &supply,
                                                                      const QList<QLatin1String> &names)
{
    // Drivers expose a dozen of the attributes asked for; listing once is
    // cheaper than failing to open the rest.
    QList<QLatin1String> present;
    for (const QLatin1String &name : names) {
        if (listed.contains(name))
            present.append(name);
    }
    return readAttributes(supply, present);
}
