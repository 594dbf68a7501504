#include "power/ioreport_power_reader.h"

#include "platform/clock.h"
#include "platform/energy_counters.h"

#include <cstdlib>

namespace {

// A baseline older than this no longer describes "now"; a younger one gives
// too few counter ticks for a stable average.
constexpr double kMinIntervalMs = 150.0;
constexpr double kMaxIntervalMs = 15000.0;
// A domain above this is a counter glitch, not a chip.
constexpr double kImplausibleWatts = 500.0;

bool isEnergyGroup(const QString &group)
{
    return group == QLatin1String("Energy Model") || group.contains(QLatin1String("Energy"))
        || group == QLatin1String("PMP");
}

void addToKind(SocPowerSample &sums, ChannelKind kind, double watts)
{
    switch (kind) {
    case ChannelKind::cpu: sums.cpuWatts += watts; break;
    case ChannelKind::gpu: sums.gpuWatts += watts; break;
    case ChannelKind::ane: sums.aneWatts += watts; break;
    case ChannelKind::dram: sums.dramWatts += watts; break;
    case ChannelKind::other: sums.otherWatts += watts; break;
    }
}

} // namespace

std::optional<ChannelKind> classifyEnergyChannel(const QString &group, const QString &name)
{
    if (!isEnergyGroup(group))
        return std::nullopt;
    auto has = [&](const char *text) { return name.contains(QLatin1String(text)); };
    if (name.endsWith(QLatin1String("CPU Energy")) || has("CPU Complex Energy"))
        return ChannelKind::cpu;
    if (name.endsWith(QLatin1String("GPU Energy")) || has("GPU Complex"))
        return ChannelKind::gpu;
    if (name.startsWith(QLatin1String("ANE")) || has("ANE Energy") || has("Neural"))
        return ChannelKind::ane;
    if (has("DRAM") || has("Memory"))
        return ChannelKind::dram;
    if (has("ISP"))
        return ChannelKind::other;
    if (has("Display") && has("Energy"))
        return ChannelKind::other;
    return std::nullopt;
}

std::optional<double> energyJoules(std::int64_t value, const QString &unit)
{
    const double v = static_cast<double>(value);
    if (unit == QLatin1String("mJ"))
        return v / 1e3;
    if (unit == QLatin1String("uJ"))
        return v / 1e6;
    if (unit == QLatin1String("nJ"))
        return v / 1e9;
    if (unit == QLatin1String("J"))
        return v;
    if (std::abs(v) > 1000.0)
        return v / 1e3;
    return std::nullopt;
}

IOReportPowerReader::IOReportPowerReader(EnergyCounters &counters, const Clock &clock)
    : m_counters(counters)
    , m_clock(clock)
{
    subscribe();
}


void IOReportPowerReader::subscribe()
{
    const std::optional<QList<EnergyChannel>> catalogue = m_counters.catalogue();
    if (!catalogue)
        return;

    std::vector<int> selected;
    std::vector<ChannelMeta> channels;
    for (int i = 0; i < catalogue->size(); ++i) {
        const EnergyChannel &channel = catalogue->at(i);
        const std::optional<ChannelKind> kind = classifyEnergyChannel(channel.group, channel.name);
        if (!kind)
            continue;
        selected.push_back(i);
        channels.push_back({*kind, channel.unit.trimmed()});
    }
    if (selected.empty() || !m_counters.subscribe(selected))
        return;

    m_channels = std::move(channels);
    m_subscribed = true;
    m_isAvailable = true;
}

std::optional<SocPowerSample> IOReportPowerReader::sample()
{
    Q_ASSERT(m_queue.isCurrent());
    if (!m_subscribed || m_permanentlyDisabled)
        return std::nullopt;

    std::optional<EnergySample> current = m_counters.sample();
    if (!current) {
        m_permanentlyDisabled = true;
        m_isAvailable = false;
        return std::nullopt;
    }

    const double now = m_clock.now();
    if (!m_prevSample) {
        m_prevSample = std::move(current);
        m_prevTime = now;
        return std::nullopt;
    }

    const double elapsedMs = (now - m_prevTime) * 1000.0;
    std::optional<std::vector<std::int64_t>> delta;
    if (elapsedMs >= kMinIntervalMs && elapsedMs <= kMaxIntervalMs)
        delta = m_counters.delta(*m_prevSample, *current);
    m_prevSample = std::move(current);
    m_prevTime = now;
    if (!delta)
        return std::nullopt;

    const double dt = std::max(elapsedMs / 1000.0, 0.001);
    SocPowerSample sums;
    const size_t count = std::min(delta->size(), m_channels.size());
    for (size_t i = 0; i < count; ++i) {
        const std::optional<double> joules = energyJoules((*delta)[i], m_channels[i].unit);
        if (!joules)
            continue;
        const double watts = *joules / dt;
        if (watts > 0.0 && watts < kImplausibleWatts)
            addToKind(sums, m_channels[i].kind, watts);
    }

    const bool anyPower = sums.cpuWatts > 0 || sums.gpuWatts > 0 || sums.aneWatts > 0
        || sums.dramWatts > 0 || sums.otherWatts > 0;
    if (!anyPower)
        return std::nullopt;
    return sums;
}
