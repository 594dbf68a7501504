#pragma once

#include "platform/energy_counters.h"

#include <atomic>
#include <mutex>

// Energy counters whose catalogue and cumulative values the test sets. Deltas
// are plain differences of the subscribed counters.
class FakeEnergyCounters final : public EnergyCounters
{
public:
    FakeEnergyCounters() = default;
    explicit FakeEnergyCounters(QList<EnergyChannel> catalogue) : m_catalogue(std::move(catalogue)) {}

    std::optional<QList<EnergyChannel>> catalogue() override { return m_catalogue; }

    bool subscribe(const std::vector<int> &channelIndices) override
    {
        m_subscribed = channelIndices;
        return m_subscribeSucceeds;
    }

    std::optional<EnergySample> sample() override
    {
        std::lock_guard lock(m_mutex);
        m_sampleCalls += 1;
        if (m_sampleFails)
            return std::nullopt;
        EnergySample sample;
        for (int index : m_subscribed)
            sample.counters.push_back(m_counters.value(index));
        return sample;
    }

    std::optional<std::vector<std::int64_t>> delta(const EnergySample &previous, const EnergySample &current) override
    {
        if (m_deltaFails)
            return std::nullopt;
        std::vector<std::int64_t> differences;
        for (std::size_t i = 0; i < current.counters.size() && i < previous.counters.size(); ++i)
            differences.push_back(static_cast<std::int64_t>(current.counters[i] - previous.counters[i]));
        return differences;
    }

    // Set before the reader is created.
    void setSubscribeSucceeds(bool succeeds) { m_subscribeSucceeds = succeeds; }
    const std::vector<int> &subscribedIndices() const { return m_subscribed; }

    // Adds `amount` (in the channel's unit) to the counter of catalogue entry `index`.
    void addEnergy(int index, std::uint64_t amount)
    {
        std::lock_guard lock(m_mutex);
        while (m_counters.size() <= index)
            m_counters.append(0);
        m_counters[index] += amount;
    }
    void setSampleFails(bool fails) { m_sampleFails = fails; }
    void setDeltaFails(bool fails) { m_deltaFails = fails; }
    int sampleCalls() const { return m_sampleCalls; }

private:
    mutable std::mutex m_mutex;
    std::optional<QList<EnergyChannel>> m_catalogue;
    bool m_subscribeSucceeds = true;
    std::vector<int> m_subscribed;
    QList<std::uint64_t> m_counters;
    std::atomic<bool> m_sampleFails = false;
    std::atomic<bool> m_deltaFails = false;
    std::atomic<int> m_sampleCalls = 0;
};
