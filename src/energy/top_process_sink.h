#pragma once

#include <QString>

// Where the process sampler reports the process that currently leads the
// energy list. Called on the main thread.
class TopProcessSink
{
public:
    virtual ~TopProcessSink() = default;
    // `score`: the process's energy score; `cpuPercent`: percent of one core.
    virtual void noteTop(const QString &name, double score, double cpuPercent) = 0;
    // The sampler stopped measuring: nothing leads until the next note.
    virtual void forgetTop() = 0;
};
