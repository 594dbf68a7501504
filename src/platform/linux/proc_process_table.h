#pragma once

#include "platform/process_table.h"

#include <QByteArray>

#include <mutex>
#include <optional>
#include <string_view>
#include <unordered_map>

// The process table from procfs: /proc/<pid>/stat for CPU time, /comm for the
// name (whole from the /exe link or argv[0] when the kernel cut it at 15
// bytes), the /exe link for the path. The root is injectable so tests can
// hand it a tree of their own. On procfs a CPU-time read costs one system
// call: each process's stat file stays open from one pass to the next.
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
    std::optional<std::string_view> readStat(int pid, char *buffer, size_t capacity) const;
    void closeStatFilesExcept(const std::vector<int> &listed) const;

    QByteArray m_root;
    // Per-process files are opened relative to the root, which saves a path
    // walk per file: a pass opens one file for every process.
    int m_rootFd;
    double m_ticksPerSecond;
    // A procfs stat file read again from offset 0 answers afresh, and once
    // its process has ended it answers ESRCH, so it never describes a later
    // process given the same id. Other trees are opened on every read.
    bool m_keepsStatFilesOpen;
    mutable std::mutex m_statFilesMutex;
    mutable std::unordered_map<int, int> m_statFiles;
};

// utime + stime in clock ticks from the text of /proc/<pid>/stat. The name
// field sits in parentheses and may itself hold spaces and ')', so fields are
// counted from the last ')'. Absent for a malformed line or ticks that do not
// fit in 64 bits.
std::optional<unsigned long long> cpuTicksFromStat(std::string_view stat);
