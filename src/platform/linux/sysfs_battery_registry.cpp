#include "platform/linux/sysfs_battery_registry.h"

#include "platform/format.h"
#include "platform/linux/battery_pack_entry.h"
#include "platform/linux/power_supply_discovery.h"
#include "platform/linux/sysfs_files.h"

#include <algorithm>
#include <utility>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

// Type, scope and presence are the discovery's to read: it has just found
// this to be a present system battery.
const QStringList kChangingBatteryAttributes = {
    u"status"_s,
    u"capacity"_s,
    u"charge_now"_s,
    u"energy_now"_s,
    u"voltage_now"_s,
    u"current_now"_s,
    u"current_avg"_s,
    u"power_now"_s,
    u"time_to_empty_now"_s,
    u"time_to_empty_avg"_s,
    u"time_to_full_now"_s,
    u"time_to_full_avg"_s,
    u"constant_charge_current"_s,
};

// Design values are fixed for as long as the pack stays bound; full-charge
// capacity and the cycle count move over hours of use.
const QStringList kSteadyBatteryAttributes = {
    u"charge_full"_s,
    u"charge_full_design"_s,
    u"energy_full"_s,
    u"energy_full_design"_s,
    u"voltage_min_design"_s,
    u"cycle_count"_s,
};

const QStringList kExternalSupplyAttributes = {
    u"online"_s,
    u"voltage_max"_s,
    u"current_max"_s,
};

QByteArray textAttribute(const PowerSupplyAttributes &attributes, const QString &name)
{
    return attributes.value(name).trimmed();
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
        QString now, full, rate;
    } units[] = {{u"energy_now"_s, u"energy_full"_s, u"power_now"_s},
                 {u"charge_now"_s, u"charge_full"_s, u"current_now"_s}};
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
        , m_voltageUV(firstIntegerAttribute(battery, u"voltage_min_design"_s, u"voltage_now"_s))
    {
    }

    std::optional<qint64> milliampHours(const QString &chargeName, const QString &energyName) const
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

std::optional<qint64> batteryCurrentMA(const PowerSupplyAttributes &battery, const QString &currentName)
{
    if (auto current = integerAttribute(battery, currentName))
        return microToMilli(*current);
    // Batteries that count in energy units give power instead of current.
    const auto power = integerAttribute(battery, u"power_now"_s);
    const auto voltage = integerAttribute(battery, u"voltage_now"_s);
    if (!power || !voltage || *voltage <= 0)
        return std::nullopt;
    return roundHalfAway(static_cast<double>(*power) / static_cast<double>(*voltage) * 1000.0);
}

std::optional<bool> externalConnected(const QList<PowerSupplyAttributes> &externalSupplies)
{
    std::optional<bool> connected;
    for (const PowerSupplyAttributes &supply : externalSupplies) {
        const auto online = integerAttribute(supply, u"online"_s);
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
        const auto online = integerAttribute(supply, u"online"_s);
        const auto voltage = integerAttribute(supply, u"voltage_max"_s);
        const auto current = integerAttribute(supply, u"current_max"_s);
        if (!online || *online == 0 || !voltage || !current || *voltage <= 0 || *current <= 0)
            continue;
        const qint64 watts = roundHalfAway(static_cast<double>(*voltage) / 1e6 * static_cast<double>(*current) / 1e6);
        if (watts > 0)
            return watts;
    }
    return std::nullopt;
}

void putNumber(RegistryEntry &entry, const QString &key, std::optional<qint64> value)
{
    if (value)
        entry.insert(key, RegistryValue::numberObject(*value));
}

void putInteger(RegistryDictionary &dictionary, const QString &key, std::optional<qint64> value)
{
    if (value)
        dictionary.insert(key, RegistryValue::integer(*value));
}

void putDictionary(RegistryEntry &entry, const QString &key, const RegistryDictionary &dictionary)
{
    if (!dictionary.isEmpty())
        entry.insert(key, RegistryValue::dictionary(dictionary));
}

} // namespace

RegistryEntry registryEntryFromPowerSupply(const PowerSupplyAttributes &battery,
                                           const QList<PowerSupplyAttributes> &externalSupplies)
{
    RegistryEntry entry;
    const QByteArray status = textAttribute(battery, u"status"_s);
    const CapacityReader capacities(battery);
    const auto rawCurrent = capacities.milliampHours(u"charge_now"_s, u"energy_now"_s);
    const auto rawMax = capacities.milliampHours(u"charge_full"_s, u"energy_full"_s);
    const auto design = capacities.milliampHours(u"charge_full_design"_s, u"energy_full_design"_s);
    // Gauges that count past their last full-charge capacity report above 100.
    auto capacity = integerAttribute(battery, u"capacity"_s);
    if (capacity)
        capacity = std::clamp<qint64>(*capacity, 0, 100);

    if (capacity) {
        putNumber(entry, u"CurrentCapacity"_s, capacity);
        putNumber(entry, u"MaxCapacity"_s, 100);
    } else if (rawCurrent && rawMax) {
        // Without a percentage the level follows from the capacities.
        putNumber(entry, u"CurrentCapacity"_s, rawCurrent);
        putNumber(entry, u"MaxCapacity"_s, rawMax);
    }
    putNumber(entry, u"AppleRawCurrentCapacity"_s, rawCurrent);
    putNumber(entry, u"AppleRawMaxCapacity"_s, rawMax);
    putNumber(entry, u"DesignCapacity"_s, design);

    std::optional<qint64> voltageMV;
    if (auto voltage = integerAttribute(battery, u"voltage_now"_s))
        voltageMV = microToMilli(*voltage);
    putNumber(entry, u"Voltage"_s, voltageMV);
    putNumber(entry, u"AppleRawBatteryVoltage"_s, voltageMV);

    // current_avg, where the gauge keeps one, is the steadier reading.
    const auto instantMA = batteryCurrentMA(battery, u"current_now"_s);
    const auto averageMA =
        integerAttribute(battery, u"current_avg"_s) ? batteryCurrentMA(battery, u"current_avg"_s) : instantMA;
    if (instantMA)
        putNumber(entry, u"InstantAmperage"_s, signedByStatus(*instantMA, status));
    if (averageMA)
        putNumber(entry, u"Amperage"_s, signedByStatus(*averageMA, status));

    const auto cycles = integerAttribute(battery, u"cycle_count"_s);
    putNumber(entry, u"CycleCount"_s, cycles);

    const std::optional<bool> connected = externalConnected(externalSupplies);
    if (!status.isEmpty()) {
        entry.insert(QStringLiteral("IsCharging"), RegistryValue::boolean(status == "Charging"));
        // "Full" can linger for a while after unplugging; fully charged means
        // full on external power.
        entry.insert(QStringLiteral("FullyCharged"), RegistryValue::boolean(status == "Full" && connected != false));
    }
    if (connected)
        entry.insert(QStringLiteral("ExternalConnected"), RegistryValue::boolean(*connected));

    const auto toEmpty = firstIntegerAttribute(battery, u"time_to_empty_avg"_s, u"time_to_empty_now"_s);
    const auto toFull = firstIntegerAttribute(battery, u"time_to_full_avg"_s, u"time_to_full_now"_s);
    if (toEmpty)
        putNumber(entry, u"AvgTimeToEmpty"_s, secondsToMinutes(*toEmpty));
    if (toFull)
        putNumber(entry, u"AvgTimeToFull"_s, secondsToMinutes(*toFull));
    if (!toEmpty && !toFull) {
        if (const auto minutes = derivedMinutes(battery, status))
            putNumber(entry, status == "Charging" ? u"AvgTimeToFull"_s : u"AvgTimeToEmpty"_s, minutes);
    }

    RegistryDictionary gauge;
    putInteger(gauge, u"StateOfCharge"_s, capacity);
    putInteger(gauge, u"DesignCapacity"_s, design);
    putInteger(gauge, u"FccComp1"_s, rawMax);
    putInteger(gauge, u"CycleCount"_s, cycles);
    putInteger(gauge, u"Voltage"_s, voltageMV);
    putDictionary(entry, u"BatteryData"_s, gauge);

    RegistryDictionary telemetry;
    if (auto power = integerAttribute(battery, u"power_now"_s))
        putInteger(telemetry, u"BatteryPower"_s, signedByStatus(microToMilli(*power), status));
    putDictionary(entry, u"PowerTelemetryData"_s, telemetry);

    RegistryDictionary adapter;
    putInteger(adapter, u"Watts"_s, adapterWatts(externalSupplies));
    putDictionary(entry, u"AdapterDetails"_s, adapter);

    RegistryDictionary charger;
    if (auto current = integerAttribute(battery, u"constant_charge_current"_s))
        putInteger(charger, u"ChargingCurrent"_s, microToMilli(*current));
    putDictionary(entry, u"ChargerData"_s, charger);

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
        const SupplyFiles files = supplyFiles(name);
        PowerSupplyAttributes attributes = readAttributes(files.changing);
        attributes.insert(steadyAttributes(name, files));
        BatteryPackAttributes pack{name, std::move(attributes), files.hasStopThreshold};
        if (stillPresent(files))
            packs.append(pack);
    }
    if (packs.isEmpty())
        return std::nullopt;
    QList<PowerSupplyAttributes> externalSupplies;
    for (const QString &name : supplies.externalSupplies)
        externalSupplies.append(readAttributes(supplyFiles(name).external));
    if (packs.size() == 1)
        return registryEntryFromPowerSupply(packs.constFirst().attributes, externalSupplies);
    return registryEntryFromPacks(packs, externalSupplies);
}

// A battery unbound, hot-removed or taken out of its bay while we read
// leaves values that no longer describe anything.
bool SysfsSmartBatteryRegistry::stillPresent(const SupplyFiles &files)
{
    const std::optional<QByteArray> text = m_files.read(files.presence);
    return text && text->trimmed() != "0";
}

// Values are kept trimmed, so that every later look at one is free of copies.
PowerSupplyAttributes SysfsSmartBatteryRegistry::readAttributes(const QList<AttributeFile> &files)
{
    PowerSupplyAttributes attributes;
    for (const AttributeFile &file : files) {
        if (std::optional<QByteArray> text = m_files.read(file.path))
            attributes.insert(file.name, std::move(*text).trimmed());
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
    m_supplyFiles.clear();
    m_steadyAttributes.clear();
}

PowerSupplyAttributes SysfsSmartBatteryRegistry::steadyAttributes(const QString &battery, const SupplyFiles &files)
{
    SteadyAttributes &steady = m_steadyAttributes[battery];
    if (steady.readingsUntilFresh <= 0) {
        steady.values = readAttributes(files.steady);
        steady.readingsUntilFresh = kSteadyAttributesReadEvery;
    }
    --steady.readingsUntilFresh;
    return steady.values;
}

// Drivers expose a dozen of the attributes asked for; listing the directory
// once is cheaper than failing to open the rest at every poll.
SysfsSmartBatteryRegistry::SupplyFiles SysfsSmartBatteryRegistry::supplyFiles(const QString &supply)
{
    if (const auto known = m_supplyFiles.constFind(supply); known != m_supplyFiles.constEnd())
        return *known;
    const QStringList listed = m_files.list(m_supplyDirectory + supply);
    const QString directory = m_supplyDirectory + supply + u'/';
    const auto offered = [&](const QStringList &names) {
        QList<AttributeFile> files;
        for (const QString &name : names) {
            if (listed.contains(name))
                files.append({name, directory + name});
        }
        return files;
    };
    const SupplyFiles files{offered(kChangingBatteryAttributes), offered(kSteadyBatteryAttributes),
                            offered(kExternalSupplyAttributes),
                            directory + (listed.contains(u"present"_s) ? u"present"_s : u"type"_s),
                            listed.contains(u"charge_stop_threshold"_s)};
    // A directory that could not be listed is listed again next time.
    if (!listed.isEmpty())
        m_supplyFiles.insert(supply, files);
    return files;
}
