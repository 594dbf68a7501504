#include "platform/linux/power_supply_discovery.h"

#include "platform/linux/sysfs_files.h"

#include <limits>

namespace {

// Type and scope as kindOf() keeps them; presence as read.
bool isDeviceScoped(const QByteArray &scope)
{
    return scope == "Device";
}

bool isExternalSupply(const QByteArray &type, const QByteArray &scope)
{
    return (type == "Mains" || type == "USB") && !isDeviceScoped(scope);
}

// The machine's own battery: type "Battery", scope not "Device" (that marks
// the battery of a mouse or a headset) and not reported absent (present 0
// is an empty bay).
bool isSystemBattery(const QByteArray &type, const QByteArray &scope, const QByteArray &present)
{
    return type == "Battery" && !isDeviceScoped(scope) && present != "0";
}

} // namespace

std::optional<qint64> integerAttribute(const PowerSupplyAttributes &attributes, const QString &name)
{
    const auto found = attributes.constFind(name);
    if (found == attributes.constEnd())
        return std::nullopt;
    bool ok = false;
    const qint64 value = QByteArrayView(*found).trimmed().toLongLong(&ok, 10);
    if (!ok || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return value;
}

std::optional<qint64> firstIntegerAttribute(const PowerSupplyAttributes &attributes, const QString &preferred,
                                            const QString &fallback)
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
        if (isExternalSupply(kind.type, kind.scope)) {
            supplies.externalSupplies.append(name);
            continue;
        }
        if (kind.type != "Battery")
            continue;
        const QByteArray present =
            m_files.read(m_supplyDirectory + name + QStringLiteral("/present")).value_or(QByteArray()).trimmed();
        if (isSystemBattery(kind.type, kind.scope, present))
            supplies.batteries.append(name);
    }
    return supplies;
}
