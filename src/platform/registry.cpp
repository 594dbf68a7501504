#include "platform/registry.h"

RegistryValue::RegistryValue() = default;

RegistryValue::RegistryValue(Kind kind, quint64 bits)
    : m_kind(kind)
    , m_bits(bits)
{
}

RegistryValue RegistryValue::numberObjectBits(quint64 bits)
{
    return RegistryValue(Kind::NumberObject, bits);
}

RegistryValue RegistryValue::numberObject(qint64 value)
{
    return RegistryValue(Kind::NumberObject, static_cast<quint64>(value));
}

RegistryValue RegistryValue::cfNumber(qint32 value)
{
    return RegistryValue(Kind::CFNumber, static_cast<quint64>(static_cast<qint64>(value)));
}

RegistryValue RegistryValue::integer(qint64 value)
{
    return RegistryValue(Kind::Integer, static_cast<quint64>(value));
}

RegistryValue RegistryValue::boolean(bool value)
{
    return RegistryValue(Kind::Boolean, value ? 1 : 0);
}

RegistryValue RegistryValue::string(const QString &value)
{
    RegistryValue result(Kind::String, 0);
    result.m_string = value;
    return result;
}

RegistryValue RegistryValue::dictionary(const RegistryDictionary &value)
{
    RegistryValue result(Kind::Dictionary, 0);
    result.m_dictionary = std::make_shared<const RegistryDictionary>(value);
    return result;
}

RegistryValue RegistryValue::list(const QList<RegistryValue> &value)
{
    RegistryValue result(Kind::List, 0);
    result.m_list = std::make_shared<const QList<RegistryValue>>(value);
    return result;
}

const RegistryDictionary &RegistryValue::dictionaryValue() const
{
    static const RegistryDictionary empty;
    return m_dictionary ? *m_dictionary : empty;
}

const QList<RegistryValue> &RegistryValue::listValue() const
{
    static const QList<RegistryValue> empty;
    return m_list ? *m_list : empty;
}
