#pragma once

#include <optional>

// Kernel figures the power store reads: load and the CPU layout. Called from
// the power store's work queue.
class SystemInfo
{
public:
    virtual ~SystemInfo() = default;

    // One-minute load average (runnable + uninterruptible tasks); absent when
    // it cannot be read.
    virtual std::optional<double> loadAverage1() const = 0;
    // Online logical CPUs; 0 when unknown.
    virtual int logicalCpuCount() const = 0;
    // Logical CPUs on performance cores and on efficiency cores of a hybrid
    // CPU; both 0 on a CPU without core types or when unknown.
    virtual int performanceCpuCount() const = 0;
    virtual int efficiencyCpuCount() const = 0;

};
