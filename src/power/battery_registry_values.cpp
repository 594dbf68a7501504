#include "power/battery_registry_values.h"

#include "platform/format.h"
#include "power/bat_snap.h"

#include <algorithm>
#include <limits>

namespace {

quint64 magnitude(qint64 value)
{
    return value < 0 ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
}

bool within(qint64 value, qint64 limit)
{
    return magnitude(value) <= static_cast<quint64>(limit);
}

qint64 lowSigned32(quint64 bits)
{
    return static_cast<qint32>(static_cast<quint32>(bits & 0xffffffffu));
}

} // namespace

const RegistryValue *registryProperty(const RegistryDictionary &properties, const QString &key)
{
    const auto found = properties.constFind(key);
    return found == properties.constEnd() ? nullptr : &found.value();
}

std::optional<RegistryDictionary> registryDictionary(const RegistryDictionary &properties, const QString &key)
{
    const RegistryValue *value = registryProperty(properties, key);
    if (!value || value->kind() != RegistryValue::Kind::Dictionary)
        return std::nullopt;
    return value->dictionaryValue();
}

std::optional<qint64> registryInteger(const RegistryValue *value)
{
    if (!value)
        return std::nullopt;
    switch (value->kind()) {
    case RegistryValue::Kind::NumberObject:
        return value->signedValue();
    case RegistryValue::Kind::CFNumber:
        return static_cast<qint32>(value->signedValue());
    default:
        return std::nullopt;
    }
}

std::optional<bool> registryBoolean(const RegistryValue *value)
{
    if (!value)
        return std::nullopt;
    switch (value->kind()) {
    case RegistryValue::Kind::NumberObject:
    case RegistryValue::Kind::Boolean:
        return value->booleanValue();
    default:
        return std::nullopt;
    }
}

std::optional<qint64> dictionaryInteger(const RegistryValue *value)
{
    if (!value)
        return std::nullopt;
    switch (value->kind()) {
    case RegistryValue::Kind::Integer:
    case RegistryValue::Kind::NumberObject:
        return value->signedValue();
    default:
        return std::nullopt;
    }
}

std::optional<double> dictionaryNumber(const RegistryValue *value)
{
    if (auto integer = dictionaryInteger(value))
        return static_cast<double>(*integer);
    return std::nullopt;
}

std::optional<qint64> registrySignedQuantity(const RegistryValue *value, qint64 limit)
{
    if (!value)
        return std::nullopt;
    switch (value->kind()) {
    case RegistryValue::Kind::NumberObject: {
        // The unsigned 64-bit reading reinterpreted as signed and the signed
        // 64-bit reading are the same two's-complement bits.
        const qint64 wide = value->signedValue();
        if (within(wide, limit))
            return wide;
        const qint64 narrow = lowSigned32(value->bits());
        if (within(narrow, limit))
            return narrow;
        return std::nullopt;
    }
    case RegistryValue::Kind::CFNumber: {
        const qint64 narrow = static_cast<qint32>(value->signedValue());
        if (within(narrow, limit))
            return narrow;
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

qint64 repairWidenedInteger(qint64 value, qint64 limit)
{
    if (within(value, limit))
        return value;
    const qint64 narrow = lowSigned32(static_cast<quint64>(value));
    return within(narrow, limit) ? narrow : value;
}

std::optional<int> fitInt(std::optional<qint64> value)
{
    if (!value || *value < std::numeric_limits<int>::min() || *value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(*value);
}

int percentOf(double part, double whole)
{
    return std::clamp(roundHalfAwayInt(part / whole * 100.0), 0, 100);
}

std::optional<int> validMinutes(std::optional<qint64> minutes)
{
    if (minutes && isValidMinutes(*minutes))
        return static_cast<int>(*minutes);
    return std::nullopt;
}
