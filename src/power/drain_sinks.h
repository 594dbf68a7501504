#pragma once

// Where the power store reports to the drain history. The energy subsystem
// implements both; the store calls them on the main thread.

class PowerLogSink
{
public:
    virtual ~PowerLogSink() = default;
    // Appends a "power" record; the write itself happens off the main thread.
    virtual void logPower(int levelPercent, double packageWatts, double chargeWatts, bool charging) = 0;
    // A pack was inserted or removed: levels before and after describe
    // different batteries.
    virtual void logPackChange() = 0;
};

class DrainObserver
{
public:
    virtual ~DrainObserver() = default;
    // Called on every publish with the shown level and whether the battery
    // is draining (present, not on AC, not charging).
    virtual void observe(int levelPercent, bool discharging) = 0;
    // A pack was inserted or removed; the next observed level is not
    // comparable with the earlier ones.
    virtual void packsChanged() = 0;
};
