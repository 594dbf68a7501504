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
    struct AttributeFile
    {
        QString name;
        QString path;
    };
    // The attributes a supply's driver offers, listed once per supply
    // listing, since a bound device keeps the same files.
    struct SupplyFiles
    {
        QList<AttributeFile> changing; // a battery's, read at every poll
        QList<AttributeFile> steady; // a battery's capacities and cycle count
        QList<AttributeFile> external; // a mains or USB supply's
        QString presence; // `present`, or `type` where the driver has none
        bool hasStopThreshold = false;
    };

    void followListing(quint64 listingGeneration);
    SupplyFiles supplyFiles(const QString &supply);
    PowerSupplyAttributes readAttributes(const QList<AttributeFile> &files);
    // The battery's capacities and cycle count, read at its first reading
    // after a supply listing and then at every kSteadyAttributesReadEvery-th.
    PowerSupplyAttributes steadyAttributes(const QString &battery, const SupplyFiles &files);
    bool stillPresent(const SupplyFiles &files);

    struct SteadyAttributes
    {
        PowerSupplyAttributes values;
        int readingsUntilFresh = 0;
    };

    QString m_supplyDirectory;
    SysfsFiles &m_files;
    PowerSupplyDiscovery m_supplies;
    quint64 m_listingGeneration = 0;
    QHash<QString, SupplyFiles> m_supplyFiles;
    QHash<QString, SteadyAttributes> m_steadyAttributes;
};
