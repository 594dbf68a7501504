#include "energy/energy_attribution.h"

#include "platform/process_table.h"

#include <algorithm>

namespace {

// Cores a process must use to be listed; fast mode shows lighter activity.
constexpr double kFastThresholdCores = 0.02;
constexpr double kNormalThresholdCores = 0.08;
// Passes closer together than this would inflate shares from tick rounding.
constexpr double kMinIntervalSeconds = 1.0;
// Total activity below this is spread as if it were this much, so a nearly
// idle machine does not hand all its power to one trickle of CPU.
constexpr double kMinCoreDenominator = 0.05;
constexpr double kEmaWeightOfNew = 0.45;
constexpr qsizetype kFastTopCount = 8;
constexpr qsizetype kNormalTopCount = 5;
// Below this the figures are too small to compare.
constexpr double kMinReconciledWatts = 0.05;
constexpr double kMinScale = 0.6;
constexpr double kMaxScale = 1.35;

void sortByWatts(QList<ProcEnergy> &list)
{
    std::stable_sort(list.begin(), list.end(),
                     [](const ProcEnergy &a, const ProcEnergy &b) { return a.estimatedWatts > b.estimatedWatts; });
}

} // namespace

std::optional<double> reconciliationScale(double estimatedSum, double measuredWatts)
{
    if (estimatedSum <= kMinReconciledWatts || measuredWatts <= kMinReconciledWatts)
        return std::nullopt;
    return std::clamp(measuredWatts / estimatedSum, kMinScale, kMaxScale);
}

EnergyAttribution::EnergyAttribution(const ProcessTable &table, int ownPid, double startUptime)
    : m_table(table)
    , m_ownPid(ownPid)
    , m_ncpu(std::max(table.logicalCpuCount(), 1))
    , m_lastPassUptime(startUptime)
{
}

QList<ProcEnergy> EnergyAttribution::runPass(double uptime, bool fastMode, double watts)
{
    const double interval = std::max(uptime - m_lastPassUptime, kMinIntervalSeconds);
    m_lastPassUptime = uptime;

    const QList<Row> rows = readActiveRows(interval, fastMode);
    forgetEndedProcesses();

    double totalCores = 0;
    for (const Row &row : rows)
        totalCores += row.cores;
    const double denominator = totalCores > kMinCoreDenominator ? totalCores : kMinCoreDenominator;

    QList<ProcEnergy> ranked;
    ranked.reserve(rows.size());
    for (const Row &row : rows)
        ranked.append(attribute(row, watts, denominator));
    sortByWatts(ranked);
    ranked.resize(std::min(ranked.size(), fastMode ? kFastTopCount : kNormalTopCount));

    reconcile(ranked, m_wattsEma, watts);
    return ranked;
}

QList<EnergyAttribution::Row> EnergyAttribution::readActiveRows(double interval, bool fastMode)
{
    const double threshold = fastMode ? kFastThresholdCores : kNormalThresholdCores;
    m_newCpu.clear();
    QList<Row> rows;
    const auto ids = m_table.processIds();
    if (!ids)
        return rows;
    const size_t count = std::min(ids->size(), kMaxProcessesPerPass);
    for (size_t i = 0; i < count; ++i) {
        const int pid = (*ids)[i];
        if (pid <= 0 || pid == m_ownPid)
            continue;
        const auto cpu = m_table.cpuSeconds(pid);
        if (!cpu)
            continue; // ended, or unreadable: counts as gone
        m_newCpu[pid] = *cpu;
        const auto previous = m_lastCpu.find(pid);
        // A new pid has no activity yet; a counter that went backwards is a
        // reused pid, also no activity.
        const double delta = previous == m_lastCpu.end() ? 0.0 : std::max(*cpu - previous->second, 0.0);
        const double cores = std::min(delta / interval, m_ncpu);
        if (cores >= threshold)
            rows.append(describe(pid, cores, fastMode));
    }
    return rows;
}

EnergyAttribution::Row EnergyAttribution::describe(int pid, double cores, bool fastMode) const
{
    Row row;
    row.pid = pid;
    row.name = m_table.shortName(pid).value_or(QStringLiteral("pid %1").arg(pid));
    if (fastMode)
        row.path = m_table.executablePath(pid).value_or(QString());
    row.cores = cores;
    row.cpuPercent = cores * 100;
    return row;
}

void EnergyAttribution::forgetEndedProcesses()
{
    std::erase_if(m_history, [this](const auto &entry) { return !m_newCpu.contains(entry.first); });
    std::erase_if(m_wattsEma, [this](const auto &entry) { return !m_newCpu.contains(entry.first); });
    m_lastCpu.swap(m_newCpu);
}

ProcEnergy EnergyAttribution::attribute(const Row &row, double watts, double coreDenominator)
{
    const double raw = watts * row.cores / coreDenominator;
    const auto previous = m_wattsEma.find(row.pid);
    const double previousEma = previous == m_wattsEma.end() ? raw : previous->second;
    const double ema = kEmaWeightOfNew * raw + (1 - kEmaWeightOfNew) * previousEma;
    m_wattsEma[row.pid] = ema;
    QList<double> &history = m_history[row.pid];
    history.append(ema);
    if (history.size() > kHistoryCap)
        history.remove(0, history.size() - kHistoryCap);

    ProcEnergy energy;
    energy.id = row.pid;
    energy.name = row.name;
    energy.path = row.path;
    energy.energyScore = row.cpuPercent * 0.05 + ema * 10;
    energy.cpuPercent = row.cpuPercent;
    energy.powerShare = row.cores / coreDenominator;
    energy.estimatedWatts = ema;
    energy.samples = history;
    return energy;
}

// Brings the kept estimates to the measured figure. The averages and
// histories keep the unscaled values so the scale never compounds.
void EnergyAttribution::reconcile(QList<ProcEnergy> &ranked, const std::unordered_map<int, double> &emas,
                                  double watts)
{
    double estimatedSum = 0;
    for (const ProcEnergy &energy : ranked)
        estimatedSum += std::max(energy.estimatedWatts, 0.0);
    const auto scale = reconciliationScale(estimatedSum, watts);
    if (!scale)
        return;
    for (ProcEnergy &energy : ranked) {
        const double scaled = *scale * emas.at(energy.id);
        energy.estimatedWatts = scaled;
        energy.powerShare = scaled / std::max(watts, 0.01);
        energy.energyScore = scaled * 10;
    }
    sortByWatts(ranked);
}
