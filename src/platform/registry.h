#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

class RegistryValue;

// A dictionary-valued registry property ("BatteryData", "PowerTelemetryData",
// "AdapterDetails", "ChargerData"), keyed by string.
using RegistryDictionary = QHash<QString, RegistryValue>;

// One property value of a registry entry. The kinds keep apart what the battery
// decoders treat differently: a 64-bit number object (whose bits may hold an
// unsigned pattern of a negative value), a 32-bit number that only reads as a
// signed 32-bit integer, a plain integer found inside a dictionary, a boolean,
// and strings, dictionaries and lists.
class RegistryValue
{
public:
    enum class Kind { NumberObject, CFNumber, Integer, Boolean, String, Dictionary, List };

    // A 64-bit number object given by its bits; the signed reading is the bits
    // as two's complement.
    static RegistryValue numberObjectBits(quint64 bits);
    static RegistryValue numberObject(qint64 value);
    static RegistryValue cfNumber(qint32 value);
    static RegistryValue integer(qint64 value);
    static RegistryValue boolean(bool value);
    static RegistryValue string(const QString &value);
    static RegistryValue dictionary(const RegistryDictionary &value);
    static RegistryValue list(const QList<RegistryValue> &value);

    // A default value is an empty string; only containers need it.
    RegistryValue();

    Kind kind() const { return m_kind; }

    // NumberObject: the stored bits. Integer: the value's bits.
    quint64 bits() const { return m_bits; }
    // NumberObject and Integer: the bits read as signed. CFNumber: its value.
    qint64 signedValue() const { return static_cast<qint64>(m_bits); }
    bool booleanValue() const { return m_bits != 0; }
    const QString &stringValue() const { return m_string; }
    // Empty unless the kind is Dictionary / List.
    const RegistryDictionary &dictionaryValue() const;
    const QList<RegistryValue> &listValue() const;

private:
    RegistryValue(Kind kind, quint64 bits);

    Kind m_kind = Kind::String;
    quint64 m_bits = 0;
    QString m_string;
    std::shared_ptr<const RegistryDictionary> m_dictionary;
    std::shared_ptr<const QList<RegistryValue>> m_list;
};

// The properties of the smart-battery registry entry by key. Units follow the
// registry: capacities in mAh, voltages in mV, currents in mA (negative while
// discharging), times in minutes, "PowerTelemetryData" powers in mW,
// "AdapterDetails"."Watts" in W. A property the hardware does not report is
// simply not in the map.
using RegistryEntry = QHash<QString, RegistryValue>;

// The smart-battery registry entry, looked up afresh on every call.
class SmartBatteryRegistry
{
public:
    virtual ~SmartBatteryRegistry() = default;

    // The entry's properties, or absent when the machine has no smart battery.
    // Blocking file I/O: call it off the main thread.
    virtual std::optional<RegistryEntry> copySmartBatteryEntry() = 0;
};
