// A /proc/<pid>/stat line: the process name in it is chosen by whoever
// started the process, and may hold spaces, parentheses and digits.

#include "fuzz_checks.h"
#include "platform/linux/proc_process_table.h"

#include <cstdint>
#include <limits>

namespace {

using Wide = unsigned __int128;
constexpr Wide kBeyond64Bits = Wide(std::numeric_limits<unsigned long long>::max()) + 1;

// A decimal field in 128 bits, saturating just past 64 bits; absent unless
// all digits.
std::optional<Wide> wideField(std::string_view field)
{
    if (field.empty())
        return std::nullopt;
    Wide value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = std::min(value * 10 + Wide(c - '0'), kBeyond64Bits);
    }
    return value;
}

// utime + stime read independently: fields 14 and 15, counted after the last
// ')' and separated by spaces, on the line's first row.
std::optional<Wide> expectedTicks(std::string_view stat)
{
    const size_t close = stat.rfind(')');
    if (close == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = stat.substr(close + 1);
    rest = rest.substr(0, rest.find('\n'));
    std::optional<Wide> utime;
    for (int index = 0; index <= 12; ++index) {
        const size_t start = rest.find_first_not_of(' ');
        if (start == std::string_view::npos)
            return std::nullopt;
        rest.remove_prefix(start);
        const std::string_view field = rest.substr(0, rest.find(' '));
        rest.remove_prefix(field.size());
        if (index == 11 && !(utime = wideField(field)))
            return std::nullopt;
        if (index == 12) {
            const auto stime = wideField(field);
            return stime ? std::optional<Wide>(*utime + *stime) : std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view stat(reinterpret_cast<const char *>(data), size);
    const std::optional<unsigned long long> ticks = cpuTicksFromStat(stat);
    const std::optional<Wide> expected = expectedTicks(stat);
    if (ticks)
        require(expected && *expected == *ticks, "the ticks are utime + stime, exactly");
    else
        require(!expected || *expected >= kBeyond64Bits, "a well-formed line is read");
    return 0;
}
