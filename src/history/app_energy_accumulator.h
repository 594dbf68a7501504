#pragma once

#include "history/history_records.h"

#include <QHash>
#include <QList>

#include <optional>

// Turns the process sampler's passes into energy per app per hour. Each pass's
// watts are taken to have held since the previous pass (at most 60 s, so a
// pass after a sleep or a pause counts no more than one regular gap), split
// at hour boundaries. Only passes on battery count. Not thread-safe.
class AppEnergyAccumulator
{
public:
    struct Sample
    {
        QString app;
        double watts = 0; // W attributed to the process
        double cpuPercent = 0; // percent of one core
    };

    // Longer gaps than this are not believed to have held the pass's watts.
    static constexpr double kMaxHeldSeconds = 60;

    // `now`: wall-clock seconds. Processes of one name add up.
    void notePass(double now, const QList<Sample> &samples, bool onBattery);
    // The next pass starts a new interval: nothing is counted for the time
    // the machine slept.
    void breakInterval();
    // The rows gathered so far, by hour and app; clears them.
    QList<AppHourEnergy> take();

private:
    void add(qint64 hourStart, const QString &app, double seconds, const Sample &sample);

    std::optional<double> m_lastPass;
    QHash<QPair<qint64, QString>, AppHourEnergy> m_rows;
};
