#pragma once

// Time as every store reads it, so that timing rules can be driven in tests.
class Clock
{
public:
    virtual ~Clock() = default;

    // Wall-clock seconds since the Unix epoch (fractional).
    virtual double now() const = 0;
    // Seconds since boot, monotonic; never jumps with the wall clock.
    virtual double uptime() const = 0;

    // The real clock, shared for the life of the process.
    static Clock &system();
};
