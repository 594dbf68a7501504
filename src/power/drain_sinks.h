#pragma once

// Where the power store reports to the drain history. The energy subsystem
// implements both; the store calls them on the main thread.

class PowerLogSink
{
public:
    virtual ~PowerLogSink() = default;
    // Appends a "power" record; the write itself happens off the main thread.
    virtual void logPower(int levelPercent, double packageWatts, double chargeWatts, bool charging) = 0;
};

class DrainObserver
{
public:
    virtual ~DrainObserver() = default;
    // Called on every publish with the shown level and whether the battery
    // is draining (present, not on AC, not charging).
    virtual void observe(int levelPercent, bool discharging) = 0;
};
