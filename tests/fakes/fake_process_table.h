#pragma once

#include "platform/process_table.h"

#include <QString>

#include <functional>
#include <map>
#include <optional>

// A process table held in memory. Change it only while no pass runs.
class FakeProcessTable final : public ProcessTable
{
public:
    struct Process
    {
        double cpuSeconds = 0;
        std::optional<QString> name;
        std::optional<QString> path;
        bool cpuReadable = true;
    };

    std::map<int, Process> processes; // listed in id order
    bool listingFails = false;
    int cpuCount = 4;
    // Runs before each CPU read, e.g. to end a process mid-pass.
    std::function<void(int pid)> beforeCpuRead;

    void add(int pid, const QString &name, double cpuSeconds = 0, std::optional<QString> path = std::nullopt)
    {
        processes[pid] = Process{cpuSeconds, name, std::move(path), true};
    }
    void burn(int pid, double cpuSeconds) { processes.at(pid).cpuSeconds += cpuSeconds; }

    std::optional<std::vector<int>> processIds() const override
    {
        if (listingFails)
            return std::nullopt;
        std::vector<int> ids;
        for (const auto &entry : processes)
            ids.push_back(entry.first);
        return ids;
    }

    std::optional<double> cpuSeconds(int pid) const override
    {
        if (beforeCpuRead)
            beforeCpuRead(pid);
        const auto it = processes.find(pid);
        if (it == processes.end() || !it->second.cpuReadable)
            return std::nullopt;
        return it->second.cpuSeconds;
    }

    std::optional<QString> shortName(int pid) const override
    {
        const auto it = processes.find(pid);
        return it == processes.end() ? std::nullopt : it->second.name;
    }

    std::optional<QString> executablePath(int pid) const override
    {
        const auto it = processes.find(pid);
        return it == processes.end() ? std::nullopt : it->second.path;
    }

    int logicalCpuCount() const override { return cpuCount; }
};
