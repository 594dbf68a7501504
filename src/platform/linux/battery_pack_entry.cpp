#include "platform/linux/battery_pack_entry.h"

#include "platform/format.h"
#include "platform/linux/battery_pack_combination.h"
#include "platform/linux/sysfs_battery_registry.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Doubles for the sums; integerAttribute() keeps a huge value from overflowing them.
std::optional<double> number(const PowerSupplyAttributes &attributes, const QString &name)
{
    const auto value = integerAttribute(attributes, name);
    return value ? std::optional<double>(double(*value)) : std::nullopt;
}

std::optional<double> firstNumber(const PowerSupplyAttributes &attributes, const QString &preferred,
                                  const QString &fallback)
{
    const auto value = firstIntegerAttribute(attributes, preferred, fallback);
    return value ? std::optional<double>(double(*value)) : std::nullopt;
}

// Wh from µWh, or from µAh at the design voltage (the present voltage when
// the design voltage is unknown), as a single pack's capacities convert.
double energyWh(const PowerSupplyAttributes &pack, const QString &energyName, const QString &chargeName)
{
    if (auto energy = number(pack, energyName))
        return std::max(*energy, 0.0) / 1e6;
    const auto charge = number(pack, chargeName);
    const auto voltage = firstNumber(pack, u"voltage_min_design"_s, u"voltage_now"_s);
    if (!charge || !voltage || *voltage <= 0)
        return 0;
    return std::max(*charge, 0.0) / 1e6 * *voltage / 1e6;
}

// The power that really flows: µW, or µA at the present voltage.
double rateW(const PowerSupplyAttributes &pack)
{
    if (auto power = number(pack, u"power_now"_s))
        return std::abs(*power) / 1e6;
    const auto current = number(pack, u"current_now"_s);
    const auto voltage = number(pack, u"voltage_now"_s);
    if (!current || !voltage || *voltage <= 0)
        return 0;
    return std::abs(*current) / 1e6 * *voltage / 1e6;
}

PackEnergy packEnergy(const PowerSupplyAttributes &pack)
{
    return {pack.value(QStringLiteral("status")).trimmed(), energyWh(pack, u"energy_now"_s, u"charge_now"_s),
            energyWh(pack, u"energy_full"_s, u"charge_full"_s),
            energyWh(pack, u"energy_full_design"_s, u"charge_full_design"_s),
            rateW(pack)};
}

QByteArray micro(double units)
{
    return QByteArray::number(roundHalfAway(units * 1e6));
}

// The combined battery written as one pack's attributes, so that it goes
// through the same conversion as a single pack.
PowerSupplyAttributes combinedAttributes(const CombinedEnergy &combined, const PowerSupplyAttributes &reference)
{
    PowerSupplyAttributes battery;
    battery.insert(QStringLiteral("type"), "Battery");
    battery.insert(QStringLiteral("present"), "1");
    battery.insert(QStringLiteral("status"), combined.status);
    if (combined.levelPercent)
        battery.insert(QStringLiteral("capacity"), QByteArray::number(roundHalfAway(*combined.levelPercent)));
    battery.insert(QStringLiteral("energy_now"), micro(combined.energyWh));
    battery.insert(QStringLiteral("energy_full"), micro(combined.fullWh));
    if (combined.designWh > 0)
        battery.insert(QStringLiteral("energy_full_design"), micro(combined.designWh));
    battery.insert(QStringLiteral("power_now"), micro(combined.rateW));
    for (const char *voltage : {"voltage_now", "voltage_min_design"}) {
        if (reference.contains(QLatin1String(voltage)))
            battery.insert(QLatin1String(voltage), reference.value(QLatin1String(voltage)));
    }
    if (combined.minutes) {
        const QString key = combined.status == "Charging" ? QStringLiteral("time_to_full_now")
                                                          : QStringLiteral("time_to_empty_now");
        battery.insert(key, QByteArray::number(roundHalfAway(*combined.minutes * 60.0)));
    }
    return battery;
}

} // namespace

QString batteryPackName(const BatteryPackAttributes &pack)
{
    if (pack.thinkpadAcpi && pack.supplyName == QLatin1String("BAT0"))
        return QStringLiteral("Internal");
    if (pack.thinkpadAcpi && pack.supplyName == QLatin1String("BAT1"))
        return QStringLiteral("External");
    return pack.supplyName;
}

RegistryEntry registryEntryFromPacks(const QList<BatteryPackAttributes> &packs,
                                     const QList<PowerSupplyAttributes> &externalSupplies)
{
    QList<PackEnergy> energies;
    for (const BatteryPackAttributes &pack : packs)
        energies.append(packEnergy(pack.attributes));
    const CombinedEnergy combined = combinePacks(energies);

    const auto carrying = std::max_element(energies.cbegin(), energies.cend(),
                                           [](const PackEnergy &a, const PackEnergy &b) { return a.rateW < b.rateW; });
    const PowerSupplyAttributes &reference = packs.at(carrying - energies.cbegin()).attributes;
    RegistryEntry entry = registryEntryFromPowerSupply(combinedAttributes(combined, reference), externalSupplies);

    QList<RegistryValue> perPack;
    for (const BatteryPackAttributes &pack : packs) {
        RegistryDictionary own = registryEntryFromPowerSupply(pack.attributes, externalSupplies);
        own.insert(QStringLiteral("Name"), RegistryValue::string(batteryPackName(pack)));
        perPack.append(RegistryValue::dictionary(own));
    }
    entry.insert(QStringLiteral("BatteryPacks"), RegistryValue::list(perPack));
    return entry;
}
