#pragma once

#include <QString>

#include <optional>
#include <vector>

// The machine's process table, read without privileges. Any process may end
// between two calls: every per-process read may come back absent.
class ProcessTable
{
public:
    virtual ~ProcessTable() = default;

    // Ids of the listed processes; absent when the table cannot be listed.
    virtual std::optional<std::vector<int>> processIds() const = 0;
    // Seconds of CPU time (user + system) the process has used since it
    // started; absent when it is gone or cannot be read.
    virtual std::optional<double> cpuSeconds(int pid) const = 0;
    // Short name (at most 15 bytes on Linux), invalid UTF-8 repaired; absent
    // when unreadable.
    virtual std::optional<QString> shortName(int pid) const = 0;
    // Full path of the executable; absent for kernel threads and for other
    // users' processes.
    virtual std::optional<QString> executablePath(int pid) const = 0;
    // Logical CPUs online, at least 1.
    virtual int logicalCpuCount() const = 0;

};
