#pragma once

#include "platform/registry.h"

#include <optional>

// Decoding of smart-battery registry properties, shared by the registry
// readers. Every function answers absent for a missing property or one of
// another kind.

// The property `key` of a dictionary or an entry; null when missing.
const RegistryValue *registryProperty(const RegistryDictionary &properties, const QString &key);
// A dictionary property; absent when missing or not a dictionary.
std::optional<RegistryDictionary> registryDictionary(const RegistryDictionary &properties, const QString &key);

// An entry's integer: a number object's integer value, or a 32-bit number
// read as signed 32-bit.
std::optional<qint64> registryInteger(const RegistryValue *value);
// An entry's boolean: a number object (non-zero is true) or a boolean.
std::optional<bool> registryBoolean(const RegistryValue *value);
// An integer inside a dictionary: a plain integer or a number object's value.
std::optional<qint64> dictionaryInteger(const RegistryValue *value);
// A number inside a dictionary, as a double.
std::optional<double> dictionaryNumber(const RegistryValue *value);

// A signed quantity (mA, mW) that firmware may store as the unsigned 64-bit
// or 32-bit pattern of a negative number: a number object's 64-bit reading if
// its magnitude is at most `limit`, else its low 32 bits read as signed if
// those are; a 32-bit number if its magnitude is at most `limit`.
std::optional<qint64> registrySignedQuantity(const RegistryValue *value, qint64 limit);

// A plain integer outside ±`limit` whose low 32 bits, read as signed, lie
// within it was a 32-bit negative number widened without sign extension.
qint64 repairWidenedInteger(qint64 value, qint64 limit);

// The first value when known, else the second: a key and its fallback key.
template <typename T>
std::optional<T> firstKnown(std::optional<T> first, std::optional<T> second)
{
    return first ? first : second;
}

// Narrows to the reading's int fields; a value beyond int means nothing.
std::optional<int> fitInt(std::optional<qint64> value);

// part / whole × 100, rounded half away from zero and clamped to 0–100.
int percentOf(double part, double whole);

// A time estimate in minutes when it is one (1–65534); 0 and 65535 or more
// mean "no estimate".
std::optional<int> validMinutes(std::optional<qint64> minutes);
