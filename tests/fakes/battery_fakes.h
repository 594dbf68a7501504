#pragma once

#include "platform/power_sources.h"
#include "platform/tool_runner.h"

#include <QHash>

// A fixed power-source list.
class FakePowerSourceList final : public PowerSourceList
{
public:
    explicit FakePowerSourceList(QList<PowerSourceDescription> sources = {}) : m_sources(std::move(sources)) {}

    QList<PowerSourceDescription> copyPowerSources() override { return m_sources; }

private:
    QList<PowerSourceDescription> m_sources;
};

// Answers tool runs from recorded output by program path; records every run.
class RecordedToolRunner final : public ToolRunner
{
public:
    void answer(const QString &program, const QString &output) { m_outputs.insert(program, output); }

    std::optional<QString> run(const QString &program, const QStringList &arguments,
                               std::chrono::milliseconds timeLimit) override
    {
        m_runs.append(program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')));
        m_lastTimeLimit = timeLimit;
        const auto found = m_outputs.constFind(program);
        if (found == m_outputs.constEnd())
            return std::nullopt;
        return *found;
    }

    const QStringList &runs() const { return m_runs; }
    std::chrono::milliseconds lastTimeLimit() const { return m_lastTimeLimit; }

private:
    QHash<QString, QString> m_outputs;
    QStringList m_runs;
    std::chrono::milliseconds m_lastTimeLimit{0};
};
