#pragma once

#include "platform/energy_counters.h"
#include "platform/serial_queue.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

class Clock;


enum class ChannelKind { cpu, gpu, ane, dram, other };

// One subscribed channel, index-aligned with the subscription.
struct ChannelMeta
{
    ChannelKind kind;
    QString unit; // trimmed; empty when the channel has none

    bool operator==(const ChannelMeta &) const = default;
};

// Average watts per chip domain over the last sampling interval.
struct SocPowerSample
{
    double cpuWatts = 0;
    double gpuWatts = 0;
    double aneWatts = 0;
    double dramWatts = 0;
    double otherWatts = 0;

    bool operator==(const SocPowerSample &) const = default;
};

// The domain a channel counts toward; absent for channels the reader does not
// subscribe to (foreign group or unrecognised name).
std::optional<ChannelKind> classifyEnergyChannel(const QString &group, const QString &name);

// Joules of a counter difference `value` in `unit`; absent when the unit is
// unknown and the value too small to guess (an unknown unit is taken as mJ).
std::optional<double> energyJoules(std::int64_t value, const QString &unit);

// Turns cumulative energy counters into average watts per domain between two
// consecutive `sample` calls.
class IOReportPowerReader
{
public:
    // Subscribes at once; `counters` and `clock` must outlive the reader.
    IOReportPowerReader(EnergyCounters &counters, const Clock &clock);

    IOReportPowerReader(const IOReportPowerReader &) = delete;
    IOReportPowerReader &operator=(const IOReportPowerReader &) = delete;


    // "pendrapro.ioreport": every call of `sample` runs here.
    SerialQueue &queue() { return m_queue; }

    // A subscription exists and sampling has not failed. Safe from any thread.
    bool isAvailable() const { return m_isAvailable.load(); }
    // A raw sample failed; the reader is not used again. Safe from any thread.
    bool permanentlyDisabled() const { return m_permanentlyDisabled.load(); }

    const std::vector<ChannelMeta> &channels() const { return m_channels; }

    // Average watts since the previous call; absent on the first call, after a
    // gap outside 150 ms–15 s, or when no domain drew power. Call on `queue()`.
    std::optional<SocPowerSample> sample();

private:
    void subscribe();

    SerialQueue m_queue{"pendrapro.ioreport"};
    EnergyCounters &m_counters;
    const Clock &m_clock;
    std::atomic<bool> m_isAvailable = false;
    std::atomic<bool> m_permanentlyDisabled = false;
    bool m_subscribed = false;
    std::vector<ChannelMeta> m_channels;
    std::optional<EnergySample> m_prevSample;
    double m_prevTime = 0;
};
