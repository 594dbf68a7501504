#include "charge/charge_smc.h"

#include <QLoggingCategory>

#include <array>

Q_LOGGING_CATEGORY(lcChargeSmc, "pendrapro.charge.smc", QtWarningMsg)

namespace {

constexpr char16_t kNeedsWriteAccess[] =
    u"Charge control needs write access to charge_behaviour — see the README's Charge management.";

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


ChargeSMC::ChargeSMC(SmcUserClient &client)
    : m_client(client)
{
    open();
}

void ChargeSMC::open()
{
    const SmcHandle service = m_client.matchingService(kSmcServiceClass);
    if (service == 0) {
        m_lastError = QStringLiteral("No battery offers charge_behaviour");
        return;
    }
    SmcHandle connection = 0;
    const SmcReturn code = m_client.openService(service, kSmcConnectionType, connection);
    m_client.releaseService(service);
    if (code != kSmcReturnSuccess || connection == 0) {
        qCWarning(lcChargeSmc, "opening the charge controller failed (%d)", int(code));
        m_lastError = QString::fromUtf16(kNeedsWriteAccess);
        return;
    }
    m_connection = connection;
    m_isAvailable = true;
}

bool ChargeSMC::apply(ChargeSMCMode mode)
{
    if (!m_isAvailable || m_connection == 0) {
        m_lastError = QStringLiteral("Charge control unavailable");
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
        return QString::fromUtf16(kNeedsWriteAccess);
    const std::uint8_t result = output[SmcRecordOffset::result];
    if (code == kSmcReturnSuccess && result == kSmcResultSuccess)
        return std::nullopt;
    qCWarning(lcChargeSmc, "charge key write failed (%d/%u)", int(code), unsigned(result));
    return QStringLiteral("The battery driver refused the charge mode");
}
