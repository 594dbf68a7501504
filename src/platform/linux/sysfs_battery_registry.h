#pragma once

#include "platform/registry.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

class SysfsFiles;

// Raw texts of one power_supply device's attributes, by attribute name
// ("status", "voltage_now", …). Units are the kernel's: µV, µA, µW, µAh,
// µWh, seconds.
using PowerSupplyAttributes = QHash<QString, QByteArray>;

// Presents a Linux battery as the smart-battery registry entry (mAh, mV, mA
// negative while discharging, minutes, mW). `externalSupplies` are the Mains
// and USB supplies, which tell whether external power is connected. An
// attribute that is missing or unparsable leaves its keys out.
RegistryEntry registryEntryFromPowerSupply(const PowerSupplyAttributes &battery,
                                           const QList<PowerSupplyAttributes> &externalSupplies);

// The smart-battery entry read from `<sysRoot>/class/power_supply`, where
// `sysRoot` stands for /sys. The battery is the first supply (by name) whose
// type is "Battery", whose scope is not "Device" (that marks the battery of a
// mouse or a headset) and which is not reported absent.
class SysfsSmartBatteryRegistry final : public SmartBatteryRegistry
{
public:
    explicit SysfsSmartBatteryRegistry(const QString &sysRoot);
    SysfsSmartBatteryRegistry(const QString &sysRoot, SysfsFiles &files);

    std::optional<RegistryEntry> copySmartBatteryEntry() override;

private:
    PowerSupplyAttributes readAttributes(const QString &supply, const QList<QLatin1String> &names);
    // As readAttributes, opening only the attributes the directory lists.
    PowerSupplyAttributes readListedAttributes(const QString &supply, const QList<QLatin1String> &names);

    QString m_supplyDirectory;
    SysfsFiles &m_files;
};
