#pragma once

#include "platform/process_table.h"

#include <QByteArray>

#include <optional>
#include <string_view>

// The process table from procfs: /proc/<pid>/stat for CPU time, /comm for the
// name (whole from the /exe link or argv[0] when the kernel cut it at 15
// bytes), the /exe link for the path. The root is injectable so tests can
// hand it a tree of their own. A CPU-time read costs three system calls.
class ProcProcessTable final : public ProcessTable
{
public:
    explicit ProcProcessTable(QByteArray root = "/proc");
    ~ProcProcessTable() override;

    ProcProcessTable(const ProcProcessTable &) = delete;
    ProcProcessTable &operator=(const ProcProcessTable &) = delete;

    std::optional<std::vector<int>> processIds() const override;
    std::optional<double> cpuSeconds(int pid) const override;
    std::optional<QString> shortName(int pid) const override;
    std::optional<QString> executablePath(int pid) const override;
    int logicalCpuCount() const override;

private:
    std::optional<QString> untruncatedName(int pid, std::string_view comm) const;

    QByteArray m_root;
    // Per-process files are opened relative to the root, which saves a path
    // walk per file: a pass opens one file for every process.
    int m_rootFd;
    double m_ticksPerSecond;
};

// utime + stime in clock ticks from the text of /proc/<pid>/stat. The name
// field sits in parentheses and may itself hold spaces and ')', so fields are
// counted from the last ')'. Absent for a malformed line or ticks that do not
// fit in 64 bits.
std::optional<unsigned long long> cpuTicksFromStat(std::string_view stat);
