#include "platform/linux/power_supply_discovery.h"

#include "platform/linux/sysfs_files.h"

namespace {

QByteArray textAttribute(const PowerSupplyAttributes &attributes, const char *name)
{
    return attributes.value(QLatin1String(name)).trimmed();
}

bool isDeviceScoped(const PowerSupplyAttributes &attributes)
{
    return textAttribute(attributes, "scope") == "Device";
}

bool isExternalSupply(const PowerSupplyAttributes &attributes)
{
    const QByteArray type = textAttribute(attributes, "type");
    return (type == "Mains" || type == "USB") && !isDeviceScoped(attributes);
}

} // namespace

bool isSystemBattery(const PowerSupplyAttributes &attributes)
{
    return textAttribute(attributes, "type") == "Battery" && !isDeviceScoped(attributes)
        && textAttribute(attributes, "present") != "0";
}

QString powerSupplyDirectory(const QString &sysRoot)
{
    return sysRoot + QStringLiteral("/class/power_supply/");
}

PowerSupplies discoverPowerSupplies(SysfsFiles &files, const QString &supplyDirectory)
{
    PowerSupplies supplies;
    for (const QString &name : files.list(supplyDirectory)) {
        PowerSupplyAttributes selection;
        for (const char *attribute : {"type", "scope", "present"}) {
            if (auto text = files.read(supplyDirectory + name + QLatin1Char('/') + QLatin1String(attribute)))
                selection.insert(QLatin1String(attribute), *text);
        }
        if (isSystemBattery(selection))
            supplies.batteries.append(name);
        else if (isExternalSupply(selection))
            supplies.externalSupplies.append(name);
    }
    return supplies;
}
