#include "charge/charge_smc.h"

#include <array>

namespace {

struct KeyWrite
{
    std::uint32_t key;
    std::uint8_t value;
};

// In write order.
std::array<KeyWrite, 3> keyWritesFor(ChargeSMCMode mode)
{
    switch (mode) {
    case ChargeSMCMode::inhibit:
        return {{{kSmcKeyCH0I, 0}, {kSmcKeyCH0C, 2}, {kSmcKeyCH0B, 2}}};
    case ChargeSMCMode::forceDischarge:
        return {{{kSmcKeyCH0I, 1}, {kSmcKeyCH0C, 0}, {kSmcKeyCH0B, 0}}};
    case ChargeSMCMode::automatic:
        break;
    }
    return {{{kSmcKeyCH0I, 0}, {kSmcKeyCH0C, 0}, {kSmcKeyCH0B, 0}}};
}

} // namespace

ChargeSMC &ChargeSMC::shared()
{
    static ChargeSMC smc(SmcUserClient::system());
    return smc;
}

ChargeSMC::ChargeSMC(SmcUserClient &client)
    : m_client(client)
{
    open();
}

void ChargeSMC::open()
{
    const SmcHandle service = m_client.matchingService(kSmcServiceClass);
    if (service == 0) {
        m_lastError = QStringLiteral("AppleSMC not found");
        return;
    }
    SmcHandle connection = 0;
    const SmcReturn code = m_client.openService(service, kSmcConnectionType, connection);
    m_client.releaseService(service);
    if (code != kSmcReturnSuccess || connection == 0) {
        m_lastError = QStringLiteral("IOServiceOpen failed (%1) — not privileged?").arg(code);
        return;
    }
    m_connection = connection;
    m_isAvailable = true;
}

bool ChargeSMC::apply(ChargeSMCMode mode)
{
    if (!m_isAvailable || m_connection == 0) {
        m_lastError = QStringLiteral("SMC unavailable");
        return false;
    }
    for (const KeyWrite &write : keyWritesFor(mode)) {
        if (std::optional<QString> failure = writeKey(write.key, write.value)) {
            m_lastError = std::move(failure);
            for (const KeyWrite &reset : keyWritesFor(ChargeSMCMode::automatic))
                writeKey(reset.key, reset.value);
            return false;
        }
    }
    m_lastError.reset();
    return true;
}

std::optional<QString> ChargeSMC::writeKey(std::uint32_t key, std::uint8_t value)
{
    const SmcRecord input = makeWriteKeyRecord(key, value);
    SmcRecord output{};
    const SmcReturn code = m_client.callStructMethod(m_connection, kSmcSelectorKeyCommand, input, output);
    if (code == kSmcReturnNotPrivileged)
        return QStringLiteral("Not privileged — SMC write blocked on this Mac.");
    const std::uint8_t result = output[SmcRecordOffset::result];
    if (code == kSmcReturnSuccess && result == kSmcResultSuccess)
        return std::nullopt;
    return QStringLiteral("SMC error %1/%2 for key").arg(code).arg(unsigned(result));
}
