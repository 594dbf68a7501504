#pragma once

#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

// Runs command-line tools for their standard output.
class ToolRunner
{
public:
    virtual ~ToolRunner() = default;

    // Starts `program` with `arguments` (no shell), collects standard output
    // while the child runs, discards standard error and waits at most
    // `timeLimit` before killing it. Absent when the program cannot be
    // started, is killed, or prints text that is not valid UTF-8.
    virtual std::optional<QString> run(const QString &program, const QStringList &arguments,
                                       std::chrono::milliseconds timeLimit) = 0;

    // Real child processes, shared for the process.
    static ToolRunner &system();
};

// The real runner, usable from any thread (it needs no event loop).
class ProcessToolRunner final : public ToolRunner
{
public:
    std::optional<QString> run(const QString &program, const QStringList &arguments,
                               std::chrono::milliseconds timeLimit) override;
};
