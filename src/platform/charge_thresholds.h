#pragma once

#include <optional>

// The charge thresholds a battery's firmware keeps on its own, in percent of
// full charge: it stops charging at `end` and starts again only once the
// level has fallen to `start`.
struct ChargeThresholdValues
{
    std::optional<int> start; // none where the firmware takes only an end threshold
    int end = 100;

    bool operator==(const ChargeThresholdValues &) const = default;
};

// The system battery's firmware charge thresholds. Calls are synchronous and
// take at most a few milliseconds of firmware work; main thread.
class ChargeThresholds
{
public:
    virtual ~ChargeThresholds() = default;

    // The thresholds in force, or none when the battery offers no end
    // threshold (or there is no battery).
    virtual std::optional<ChargeThresholdValues> read() = 0;
    // Sets both thresholds, in the order that keeps start below end at every
    // step; a start is written only where the battery offers one. 0 on
    // success, else the errno of the failing write (EACCES or EPERM when not
    // allowed, EINVAL when the firmware refuses the value).
    virtual int write(const ChargeThresholdValues &values) = 0;
    // Whether the desktop's power service can hold a limit on this battery
    // too (its own charge threshold switch). May turn true some time after
    // construction, once the service has answered.
    virtual bool desktopCanHoldLimit() const = 0;
};
