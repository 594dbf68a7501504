#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The system management controller's user client: find the controller's
// service, open a connection to it, and exchange 80-byte key records through
// one struct method. Return codes are IOKit return codes (0 = success);
// a record's result byte is the controller's own status for that command.

using SmcReturn = std::int32_t;
using SmcHandle = std::uint32_t; // service or connection; 0 = none

inline constexpr SmcReturn kSmcReturnSuccess = 0;
inline constexpr SmcReturn kSmcReturnError = static_cast<SmcReturn>(0xE00002BC);
inline constexpr SmcReturn kSmcReturnNoDevice = static_cast<SmcReturn>(0xE00002C0);
inline constexpr SmcReturn kSmcReturnNotPrivileged = static_cast<SmcReturn>(0xE00002C1);
inline constexpr SmcReturn kSmcReturnBadArgument = static_cast<SmcReturn>(0xE00002C2);

// Controller result bytes (offset 40 of the returned record).
inline constexpr std::uint8_t kSmcResultSuccess = 0x00;
inline constexpr std::uint8_t kSmcResultBadCommand = 0x82;
inline constexpr std::uint8_t kSmcResultKeyNotFound = 0x84;
inline constexpr std::uint8_t kSmcResultKeySizeMismatch = 0x87;
inline constexpr std::uint8_t kSmcResultBadArgument = 0x89;

inline constexpr const char *kSmcServiceClass = "AppleSMC";
inline constexpr std::uint32_t kSmcConnectionType = 0;
// The struct method that carries a key command record in and its reply out.
inline constexpr std::uint32_t kSmcSelectorKeyCommand = 2;
inline constexpr std::uint8_t kSmcCommandWriteKey = 6;

inline constexpr std::size_t kSmcRecordSize = 80;
using SmcRecord = std::array<std::uint8_t, kSmcRecordSize>;

// Byte offsets in the record. Multi-byte fields are little-endian, the host
// order of every machine that has this controller.
namespace SmcRecordOffset {
inline constexpr std::size_t key = 0; // 32-bit packed key
inline constexpr std::size_t version = 4; // 6 bytes
inline constexpr std::size_t powerLimits = 12; // 16 bytes
inline constexpr std::size_t dataSize = 28; // 32-bit
inline constexpr std::size_t dataType = 32; // 32-bit
inline constexpr std::size_t dataAttributes = 36;
inline constexpr std::size_t result = 40;
inline constexpr std::size_t status = 41;
inline constexpr std::size_t command = 42;
inline constexpr std::size_t data32 = 44; // 32-bit
inline constexpr std::size_t bytes = 48; // 32 data bytes
} // namespace SmcRecordOffset

// Four-character key code, first character in the most significant byte:
// "CH0I" → 0x43483049.
constexpr std::uint32_t smcKey(const char (&code)[5])
{
    return std::uint32_t(std::uint8_t(code[0])) << 24 | std::uint32_t(std::uint8_t(code[1])) << 16
        | std::uint32_t(std::uint8_t(code[2])) << 8 | std::uint32_t(std::uint8_t(code[3]));
}

// The charger keys. CH0I non-zero cuts the adapter off so the machine runs
// from its battery; CH0C or CH0B non-zero stops charging.
inline constexpr std::uint32_t kSmcKeyCH0I = smcKey("CH0I");
inline constexpr std::uint32_t kSmcKeyCH0C = smcKey("CH0C");
inline constexpr std::uint32_t kSmcKeyCH0B = smcKey("CH0B");

// A command record that writes the one-byte `value` to `key`; every other
// field is zero.
SmcRecord makeWriteKeyRecord(std::uint32_t key, std::uint8_t value);

// The fields of a key command that a user client acts on.
struct SmcKeyCommand
{
    std::uint32_t key = 0;
    std::uint32_t dataSize = 0;
    std::uint8_t command = 0;
    std::uint8_t firstByte = 0; // data byte 0

    bool operator==(const SmcKeyCommand &) const = default;
};

SmcKeyCommand readKeyCommand(const SmcRecord &record);

class SmcUserClient
{
public:
    virtual ~SmcUserClient() = default;

    // The first service of `className`, or 0 when there is none. The caller
    // releases a found service with releaseService.
    virtual SmcHandle matchingService(const char *className) = 0;
    // Opens a connection of `type` on `service`; `connection` is set only on
    // success.
    virtual SmcReturn openService(SmcHandle service, std::uint32_t type, SmcHandle &connection) = 0;
    virtual void releaseService(SmcHandle service) = 0;
    // Sends `input` to the struct method `selector`; the reply lands in
    // `output` (same layout, result byte set by the controller).
    virtual SmcReturn callStructMethod(SmcHandle connection, std::uint32_t selector, const SmcRecord &input,
                                       SmcRecord &output)
        = 0;

};
