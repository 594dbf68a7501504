#pragma once

#include "history/history_records.h"

#include <QMap>

#include <optional>

// What the battery showed at one moment.
struct BatteryReading
{
    bool onBattery = false; // a battery is present and no adapter powers the machine
    bool charging = false;
    double chargeWatts = 0; // W, magnitude of the battery's power
    std::optional<int> fullChargeMah;
    std::optional<int> designMah;
    std::optional<int> cycles;
    std::optional<double> temperatureC;
};

// Turns battery readings into the per-day record: each reading is taken to
// hold until the next one (gaps over 10 min are a sleep and count nothing),
// split at local midnight. Not thread-safe.
class BatteryDayAccumulator
{
public:
    static constexpr double kMaxHeldSeconds = 600;

    // `now`: wall-clock seconds.
    void note(double now, const BatteryReading &reading);
    // The next reading starts a new interval.
    void breakInterval();
    // The days touched since the last take, oldest first; clears them.
    QList<BatteryDay> take();

private:
    // A local day and the wall-clock seconds it spans.
    struct LocalDay
    {
        QDate date;
        double start = 0;
        double end = 0;
    };
    // Each local date costs a look at the time zone; the readings of a day
    // all fall in the day kept from the last one.
    const LocalDay &localDayOf(double seconds);
    BatteryDay &dayOf(double seconds);
    void hold(double from, double to, const BatteryReading &reading);

    std::optional<double> m_lastTime;
    std::optional<BatteryReading> m_last;
    QMap<QDate, BatteryDay> m_days;
    LocalDay m_localDay;
};
