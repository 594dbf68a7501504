#pragma once

#include "history/app_energy_accumulator.h"
#include "history/battery_day_accumulator.h"

#include <QObject>

#include <functional>

class Clock;
class HistoryStore;

// Gathers the sampler's passes and the battery's readings in memory and hands
// them to the history store as one batch at most every five minutes, and at
// sleep and quit. A killed process loses at most the batch being gathered.
// Main thread.
class HistoryRecorder : public QObject
{
    Q_OBJECT

public:
    using BatteryReader = std::function<BatteryReading()>;

    static constexpr double kBatchSeconds = 300;

    // `store` and `clock` must outlive the recorder.
    HistoryRecorder(HistoryStore &store, const Clock &clock, BatteryReader readBattery, QObject *parent = nullptr);

    // One pass of the process sampler: each process's name, watts and CPU.
    void notePass(const QList<AppEnergyAccumulator::Sample> &samples);
    // The battery's published state changed.
    void noteBattery();
    // Writes the batch now and waits for it; nothing is counted for the time
    // until the next reading. Before a system sleep.
    void noteSleep();
    // Writes what was gathered; the store finishes it before it goes.
    void flush();

private:
    void writeWhenDue();

    HistoryStore &m_store;
    const Clock &m_clock;
    BatteryReader m_readBattery;
    AppEnergyAccumulator m_apps;
    BatteryDayAccumulator m_days;
    double m_lastWrite;
};
