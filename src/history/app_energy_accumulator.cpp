#include "history/app_energy_accumulator.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 kHour = 3600;

qint64 hourStartOf(double seconds)
{
    return static_cast<qint64>(std::floor(seconds / kHour)) * kHour;
}

} // namespace

void AppEnergyAccumulator::notePass(double now, const QList<Sample> &samples, bool onBattery)
{
    const std::optional<double> last = std::exchange(m_lastPass, now);
    if (!onBattery || !last || now <= *last)
        return;
    const double start = std::max(*last, now - kMaxHeldSeconds);
    // Split the interval at each hour boundary it crosses.
    for (double from = start; from < now;) {
        const qint64 hour = hourStartOf(from);
        const double to = std::min(now, static_cast<double>(hour + kHour));
        for (const Sample &sample : samples)
            add(hour, sample.app, to - from, sample);
        from = to;
    }
}

void AppEnergyAccumulator::breakInterval()
{
    m_lastPass.reset();
}

void AppEnergyAccumulator::add(qint64 hourStart, const QString &app, double seconds, const Sample &sample)
{
    AppHourEnergy &row = m_rows[{hourStart, app}];
    row.hourStart = hourStart;
    row.app = app;
    row.wattHours += std::max(sample.watts, 0.0) * seconds / 3600;
    row.cpuSeconds += std::max(sample.cpuPercent, 0.0) / 100 * seconds;
}

QList<AppHourEnergy> AppEnergyAccumulator::take()
{
    QList<AppHourEnergy> rows = m_rows.values();
    m_rows.clear();
    std::sort(rows.begin(), rows.end(), [](const AppHourEnergy &a, const AppHourEnergy &b) {
        return std::tie(a.hourStart, a.app) < std::tie(b.hourStart, b.app);
    });
    return rows;
}
