#include "platform/linux/power_supply_discovery.h"

#include "platform/linux/sysfs_files.h"

#include <limits>

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

std::optional<qint64> integerAttribute(const PowerSupplyAttributes &attributes, const char *name)
{
    const auto found = attributes.constFind(QLatin1String(name));
    if (found == attributes.constEnd())
        return std::nullopt;
    bool ok = false;
    const qint64 value = found->trimmed().toLongLong(&ok, 10);
    if (!ok || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return value;
}

std::optional<qint64> firstIntegerAttribute(const PowerSupplyAttributes &attributes, const char *preferred,
                                            const char *fallback)
{
    if (auto value = integerAttribute(attributes, preferred))
        return value;
    return integerAttribute(attributes, fallback);
}

QString powerSupplyDirectory(const QString &sysRoot)
{
    return sysRoot + QStringLiteral("/class/power_supply/");
}

PowerSupplyDiscovery::PowerSupplyDiscovery(SysfsFiles &files, QString supplyDirectory)
    : m_files(files)
    , m_supplyDirectory(std::move(supplyDirectory))
{
}

PowerSupplyDiscovery::Kind PowerSupplyDiscovery::kindOf(const QString &name)
{
    if (const auto known = m_kinds.constFind(name); known != m_kinds.constEnd())
        return *known;
    const QString directory = m_supplyDirectory + name + QLatin1Char('/');
    const Kind kind{m_files.read(directory + QStringLiteral("type")).value_or(QByteArray()).trimmed(),
                    m_files.read(directory + QStringLiteral("scope")).value_or(QByteArray()).trimmed()};
    // A supply whose type could not be read is asked again next time.
    if (!kind.type.isEmpty())
        m_kinds.insert(name, kind);
    return kind;
}

PowerSupplies PowerSupplyDiscovery::discover()
{
    const QMutexLocker lock(&m_mutex);
    const QStringList listed = m_files.list(m_supplyDirectory);
    if (listed != m_listed) {
        m_listed = listed;
        m_kinds.clear();
        ++m_listingGeneration;
    }
    PowerSupplies supplies;
    supplies.listingGeneration = m_listingGeneration;
    for (const QString &name : listed) {
        const Kind kind = kindOf(name);
        PowerSupplyAttributes selection{{QStringLiteral("type"), kind.type}, {QStringLiteral("scope"), kind.scope}};
        if (isExternalSupply(selection)) {
            supplies.externalSupplies.append(name);
            continue;
        }
        if (kind.type != "Battery")
            continue;
        if (auto present = m_files.read(m_supplyDirectory + name + QStringLiteral("/present")))
            selection.insert(QStringLiteral("present"), *present);
        if (isSystemBattery(selection))
            supplies.batteries.append(name);
    }
    return supplies;
}
