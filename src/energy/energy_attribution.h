#pragma once

#include "energy/power_figures.h"
#include "energy/proc_energy.h"

#include <QList>

#include <optional>
#include <unordered_map>

class ProcessTable;

// The factor that brings the kept estimates (summing to `estimatedSum` W) to
// the measured `measuredWatts`, limited to 0.6…1.35 because the CPU-share
// estimate is only roughly right; absent when either figure is too small to
// compare.
std::optional<double> reconciliationScale(double estimatedSum, double measuredWatts);

// Turns each process's CPU time since the previous pass into a share of the
// measured power. Keeps per-process memory from pass to pass; not thread-safe
// (the sampler runs it on its own queue).
class EnergyAttribution
{
public:
    // Processes beyond this are not looked at in one pass.
    static constexpr size_t kMaxProcessesPerPass = 16384;
    static constexpr int kHistoryCap = 30;

    // `ownPid` is left out of every pass; `startUptime` (monotonic seconds)
    // stands for the previous pass before the first.
    EnergyAttribution(const ProcessTable &table, int ownPid, double startUptime);

    // One pass at monotonic time `uptime`: the ranked list, at most 8 entries
    // in fast mode (which also resolves paths) and 5 otherwise.
    QList<ProcEnergy> runPass(double uptime, bool fastMode, double watts);

private:
    struct Row
    {
        int pid = 0;
        QString name;
        QString path;
        double cores = 0;
        double cpuPercent = 0;
    };

    QList<Row> readActiveRows(double interval, bool fastMode);
    Row describe(int pid, double cores, bool fastMode) const;
    ProcEnergy attribute(const Row &row, double watts, double coreDenominator);
    void forgetEndedProcesses();
    static void reconcile(QList<ProcEnergy> &ranked, const std::unordered_map<int, double> &emas, double watts);

    const ProcessTable &m_table;
    int m_ownPid;
    double m_ncpu;
    double m_lastPassUptime;
    std::unordered_map<int, double> m_lastCpu; // CPU seconds at the previous pass
    std::unordered_map<int, double> m_newCpu; // this pass's readings
    std::unordered_map<int, double> m_wattsEma;
    std::unordered_map<int, QList<double>> m_history;
};
