#include "power/battery_power_source_reader.h"

#include "power/battery_registry_values.h"

#include <algorithm>

namespace {

std::optional<qint64> descriptionInteger(const PowerSourceDescription &description, const QString &key)
{
    const QVariant value = description.value(key);
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return value.toLongLong();
    case QMetaType::ULongLong:
        return static_cast<qint64>(value.toULongLong());
    default:
        return std::nullopt;
    }
}

std::optional<bool> descriptionBoolean(const PowerSourceDescription &description, const QString &key)
{
    const QVariant value = description.value(key);
    if (value.metaType() == QMetaType::fromType<bool>())
        return value.toBool();
    if (auto number = descriptionInteger(description, key))
        return *number != 0;
    return std::nullopt;
}

QString descriptionString(const PowerSourceDescription &description, const QString &key)
{
    const QVariant value = description.value(key);
    return value.metaType() == QMetaType::fromType<QString>() ? value.toString() : QString();
}

bool isInternalBattery(const PowerSourceDescription &description, qsizetype sourceCount)
{
    const QString type = descriptionString(description, QStringLiteral("Type"));
    const QString name = descriptionString(description, QStringLiteral("Name"));
    return type.isEmpty() || type == QLatin1String("InternalBattery") || name.contains(QLatin1String("InternalBattery"))
        || name.contains(QLatin1String("Internal Battery")) || sourceCount == 1;
}

std::optional<int> levelFrom(std::optional<qint64> current, std::optional<qint64> maximum)
{
    if (!current)
        return std::nullopt;
    if (!maximum || *maximum <= 100 || *current < 0) {
        if (*current >= 0 && *current <= 100)
            return static_cast<int>(*current);
        return std::nullopt;
    }
    return percentOf(static_cast<double>(*current), static_cast<double>(*maximum));
}

QList<BatteryPack> packsFrom(const PowerSourceDescription &description)
{
    QList<BatteryPack> packs;
    for (const QVariant &value : description.value(QStringLiteral("Packs")).toList()) {
        const QVariantMap pack = value.toMap();
        // Both figures are percent, so any value outside 0–100 is not one.
        packs.append({descriptionString(pack, QStringLiteral("Name")),
                      levelFrom(descriptionInteger(pack, QStringLiteral("Current Capacity")), std::nullopt),
                      levelFrom(descriptionInteger(pack, QStringLiteral("Health")), std::nullopt),
                      fitInt(descriptionInteger(pack, QStringLiteral("Cycle Count")))});
    }
    return packs;
}

} // namespace

BatSourceReading decodePowerSources(const QList<PowerSourceDescription> &sources)
{
    BatSourceReading reading;
    reading.name = QStringLiteral("IOPS");
    const auto battery = std::find_if(sources.cbegin(), sources.cend(), [&](const PowerSourceDescription &source) {
        return isInternalBattery(source, sources.size());
    });
    if (battery == sources.cend())
        return reading;

    reading.present = true;
    reading.level = levelFrom(descriptionInteger(*battery, QStringLiteral("Current Capacity")),
                              descriptionInteger(*battery, QStringLiteral("Max Capacity")));
    reading.onAC = descriptionString(*battery, QStringLiteral("Power Source State")) == QLatin1String("AC Power");
    reading.charging = descriptionBoolean(*battery, QStringLiteral("Is Charging"));
    if (reading.charging == true)
        reading.minutes = validMinutes(descriptionInteger(*battery, QStringLiteral("Time to Full Charge")));
    else
        reading.minutes = validMinutes(descriptionInteger(*battery, QStringLiteral("Time to Empty")));
    reading.packs = packsFrom(*battery);
    return reading;
}
