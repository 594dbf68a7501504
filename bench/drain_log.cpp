// Drain-log costs at the file sizes the retention allows: the why-drain read
// of a 14-day log, one append, and the trim of a 30-day log.
#include "energy/drain_log.h"
#include "energy/drain_records.h"
#include "energy/log_file.h"
#include "platform/clock.h"
#include "platform/defaults.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

constexpr double kNow = 1'750'000'000;
constexpr double kDay = 86400;
// Cadences of the writers: power every 30 s, the leading process every 25 s.
constexpr double kPowerEvery = 30;
constexpr double kProcEvery = 25;

class FixedClock final : public Clock
{
public:
    double now() const override { return kNow; }
    double uptime() const override { return 0; }
};

QByteArray logSpanning(double days)
{
    QByteArray text;
    const double first = kNow - days * kDay;
    double nextProc = first;
    int level = 100;
    for (double t = first; t < kNow; t += kPowerEvery) {
        text += powerRecordLine(t, level, 6.5, 5.25, false, QStringLiteral("Web Content"), 31.5);
        level = level > 5 ? level - (static_cast<long long>(t) % 600 == 0 ? 1 : 0) : 100;
        while (nextProc < t + kPowerEvery) {
            text += procRecordLine(nextProc, QStringLiteral("Web Content"), 31.5, 88.25);
            nextProc += kProcEvery;
        }
        if (static_cast<long long>(t) % 7200 == 0)
            text += eventRecordLine(t, QStringLiteral("display_wake"));
    }
    return text;
}

// Flushed to disk, so that a timed trim does not also pay for writing the
// set-up file (an fsync commits every dirty block of the journal transaction).
void writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.flush())
        std::abort();
    ::fsync(file.handle());
}

struct Fixture
{
    QTemporaryDir dir;
    FixedClock clock;
    Defaults defaults{dir.filePath(QStringLiteral("defaults.json"))};
    QString path = dir.filePath(QStringLiteral("drain.jsonl"));
    DrainLog log{path, defaults, clock, [](int) { return 1; }};
};

void BM_WhyDrainOverFourteenDays(benchmark::State &state)
{
    Fixture fixture;
    const QByteArray text = logSpanning(14);
    writeFile(fixture.path, text);
    const auto analyse = fixture.log.whyDrainAnalysis();
    for (auto _ : state)
        benchmark::DoNotOptimize(analyse());
    state.counters["lines"] = static_cast<double>(text.count('\n'));
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_WhyDrainOverFourteenDays)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// What the queue does per record: build the line, open, append, close.
void BM_AppendOneRecord(benchmark::State &state)
{
    Fixture fixture;
    writeFile(fixture.path, logSpanning(14));
    double t = kNow;
    for (auto _ : state) {
        t += 30;
        LogFile::appendLine(fixture.path, powerRecordLine(t, 50, 6.5, 5.25, false, QStringLiteral("Web Content"), 31.5));
    }
}
BENCHMARK(BM_AppendOneRecord)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The whole path through the log's queue, waiting for the write.
void BM_AppendThroughTheQueue(benchmark::State &state)
{
    Fixture fixture;
    for (auto _ : state) {
        fixture.log.logPower(50, 6.5, 5.25, false);
        fixture.log.waitForWrites();
    }
}
BENCHMARK(BM_AppendThroughTheQueue)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);

// A 31-day file trimmed to 30 days: read, scan every line, rewrite, flush, rename.
void BM_TrimThirtyDayLog(benchmark::State &state)
{
    Fixture fixture;
    fixture.log.setRetentionDays(30);
    fixture.log.waitForWrites();
    const QByteArray text = logSpanning(31);
    for (auto _ : state) {
        state.PauseTiming();
        writeFile(fixture.path, text);
        state.ResumeTiming();
        fixture.log.setRetentionDays(30);
        fixture.log.waitForWrites();
    }
    state.counters["lines"] = static_cast<double>(text.count('\n'));
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_TrimThirtyDayLog)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);

// The in-memory part of that trim, to tell the scan from the disk work.
void BM_TrimFilterOnly(benchmark::State &state)
{
    const QByteArray text = logSpanning(31);
    for (auto _ : state) {
        state.PauseTiming();
        QByteArray copy(text.constData(), text.size());
        state.ResumeTiming();
        benchmark::DoNotOptimize(keepRecordsSince(copy, kNow - 30 * kDay));
    }
}
BENCHMARK(BM_TrimFilterOnly)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Writing the trimmed file safely: temporary file, flush to disk, rename.
void BM_TrimReplaceOnly(benchmark::State &state)
{
    Fixture fixture;
    QByteArray kept = logSpanning(31);
    keepRecordsSince(kept, kNow - 30 * kDay);
    for (auto _ : state)
        LogFile::replaceAtomically(fixture.path, kept);
}
BENCHMARK(BM_TrimReplaceOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
