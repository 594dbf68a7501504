#pragma once

#include "platform/system_info.h"

#include <atomic>
#include <optional>

// Settable kernel figures; read from the power store's queue.
class FakeSystemInfo final : public SystemInfo
{
public:
    std::optional<double> loadAverage1() const override
    {
        const double load = m_load.load();
        return load < 0 ? std::nullopt : std::optional<double>(load);
    }
    int logicalCpuCount() const override { return m_logical.load(); }
    int performanceCpuCount() const override { return m_performance.load(); }
    int efficiencyCpuCount() const override { return m_efficiency.load(); }

    // Absent makes the load unreadable.
    void setLoadAverage1(std::optional<double> load) { m_load = load.value_or(-1.0); }
    void setLogicalCpuCount(int count) { m_logical = count; }
    void setCoreCounts(int performance, int efficiency)
    {
        m_performance = performance;
        m_efficiency = efficiency;
    }

private:
    std::atomic<double> m_load = 1.0;
    std::atomic<int> m_logical = 8;
    std::atomic<int> m_performance = 0;
    std::atomic<int> m_efficiency = 0;
};
