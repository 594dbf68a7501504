#pragma once

#include "power/bat_snap.h"

#include <QList>
#include <QString>

#include <optional>

// What the live snapshot reports, copied from the stores' published values
// on the main thread; reading them starts no measurement.
struct PowerSnapshotInputs
{
    struct Power
    {
        bool batteryPresent = false;
        int levelPercent = 0; // 0–100
        QString statusText;
        QString timeText;
        bool isOnAC = false;
        bool isCharging = false;
        double packageWatts = 0; // W, whole chip
        QString packageSource; // "sensor", "sensor (N domains)" or "estimate"
        double chargeWatts = 0; // W, battery power, never negative
        bool hasPowerDistribution = false;
        double cpuWatts = 0, gpuWatts = 0, aneWatts = 0, dramWatts = 0; // W per chip domain
        std::optional<int> healthPercent;
        std::optional<int> cycleCount;
        QList<BatteryPack> packs; // empty with a single pack
    };

    struct Process
    {
        QString name;
        double cpuPercent = 0; // percent of one core
        double estimatedWatts = 0; // W
    };

    Power power;
    QList<Process> topProcesses; // in the energy store's order

    // An app's energy on battery over the last 24 hours, from the history.
    struct AppEnergy
    {
        QString name;
        double wattHours = 0; // Wh
    };
    QList<AppEnergy> lastDayApps; // largest first
    QString weatherSummary; // empty: no weather line
    QString weatherPlace;
};

namespace PowerSnapshot {

// The Markdown snapshot attached to questions: one line per fact, optional
// lines only when their figure is known, joined with "\n" and no trailing
// newline. `nowSeconds` is wall-clock seconds since the epoch.
QString text(const PowerSnapshotInputs &inputs, double nowSeconds);

} // namespace PowerSnapshot
