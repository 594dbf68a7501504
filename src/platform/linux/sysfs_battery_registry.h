#pragma once

#include "platform/linux/power_supply_discovery.h"
#include "platform/linux/sysfs_files.h"
#include "platform/registry.h"

#include <QList>
#include <QString>

// Presents a Linux battery as the smart-battery registry entry (mAh, mV, mA
// negative while discharging, minutes, mW). `externalSupplies` are the Mains
// and USB supplies, which tell whether external power is connected. An
// attribute that is missing or unparsable leaves its keys out.
RegistryEntry registryEntryFromPowerSupply(const PowerSupplyAttributes &battery,
                                           const QList<PowerSupplyAttributes> &externalSupplies);

// The smart-battery entry of the system batteries (PowerSupplyDiscovery)
// read from `<sysRoot>/class/power_supply`, where `sysRoot` stands for /sys:
// one pack's own entry, or the packs combined (registryEntryFromPacks()).
class SysfsSmartBatteryRegistry final : public SmartBatteryRegistry
{
public:
    // A minute of polls on battery.
    static constexpr int kSteadyAttributesReadEvery = 20;

    explicit SysfsSmartBatteryRegistry(const QString &sysRoot, SysfsFiles &files = SysfsFiles::real());

    std::optional<RegistryEntry> copySmartBatteryEntry() override;

private:
    PowerSupplyAttributes readAttributes(const QString &supply, const QList<QLatin1String> &names);
    // As readAttributes, opening only the attributes `listed` (the
    // directory's entries) names.
    PowerSupplyAttributes readListedAttributes(const QStringList &listed, const QString &supply,
                                               const QList<QLatin1String> &names);

    void followListing(quint64 listingGeneration);
    // The battery's attribute files. A bound device keeps the same files,
    // so they are listed once per supply listing instead of at every poll.
    QStringList attributeFiles(const QString &battery);
    // The battery's capacities and cycle count, read at its first reading
    // after a supply listing and then at every kSteadyAttributesReadEvery-th.
    PowerSupplyAttributes steadyAttributes(const QString &battery, const QStringList &listed);
    bool stillPresent(const QString &battery, const QStringList &listed);

    struct SteadyAttributes
    {
        PowerSupplyAttributes values;
        int readingsUntilFresh = 0;
    };

    QString m_supplyDirectory;
    SysfsFiles &m_files;
    PowerSupplyDiscovery m_supplies;
    quint64 m_listingGeneration = 0;
    QHash<QString, QStringList> m_attributeFiles;
    QHash<QString, SteadyAttributes> m_steadyAttributes;
};
