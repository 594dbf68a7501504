#pragma once

#include "platform/smc.h"

#include <QString>

#include <cstdint>
#include <optional>

// The charger modes, each written as a CH0I/CH0C/CH0B triple. `automatic`
// lets the system manage charging (the key name `auto` is taken by C++).
enum class ChargeSMCMode : std::uint8_t {
    automatic = 0,
    inhibit = 1,
    forceDischarge = 2,
};

// The only code that writes charger keys to the system management controller.
// Opens one connection on construction and keeps it for the process; a failed
// open is not retried. Main thread only; every call is synchronous.
class ChargeSMC
{
public:

    explicit ChargeSMC(SmcUserClient &client);
    ChargeSMC(const ChargeSMC &) = delete;
    ChargeSMC &operator=(const ChargeSMC &) = delete;

    bool isAvailable() const { return m_isAvailable; }
    // Why the open or the last apply failed; none after a successful apply.
    const std::optional<QString> &lastError() const { return m_lastError; }

    // Writes the mode's keys in the order CH0I, CH0C, CH0B and stops at the
    // first failure, after which all three are set back to 0 (automatic).
    bool apply(ChargeSMCMode mode);

private:
    void open();
    // The failure text, or none when the controller took the value.
    std::optional<QString> writeKey(std::uint32_t key, std::uint8_t value);

    SmcUserClient &m_client;
    bool m_isAvailable = false;
    std::optional<QString> m_lastError;
    SmcHandle m_connection = 0;
};
