#include "platform/smc.h"

#include <QtEndian>

SmcRecord makeWriteKeyRecord(std::uint32_t key, std::uint8_t value)
{
    SmcRecord record{};
    qToLittleEndian<quint32>(key, record.data() + SmcRecordOffset::key);
    qToLittleEndian<quint32>(1, record.data() + SmcRecordOffset::dataSize);
    record[SmcRecordOffset::command] = kSmcCommandWriteKey;
    record[SmcRecordOffset::bytes] = value;
    return record;
}

SmcKeyCommand readKeyCommand(const SmcRecord &record)
{
    SmcKeyCommand command;
    command.key = qFromLittleEndian<quint32>(record.data() + SmcRecordOffset::key);
    command.dataSize = qFromLittleEndian<quint32>(record.data() + SmcRecordOffset::dataSize);
    command.command = record[SmcRecordOffset::command];
    command.firstByte = record[SmcRecordOffset::bytes];
    return command;
}
