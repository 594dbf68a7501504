// History costs on a busy machine: gathering and writing one hour of 300
// processes sampled every 20 s (12 batches), and the dashboard's queries on
// a synthetic year. The year's file size is reported as a counter.
#include "history/app_energy_accumulator.h"
#include "history/history_database.h"
#include "history/history_span.h"

#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr double kNow = 1'750'000'000 - 1'750'000'000 % 3600; // a whole hour
constexpr int kProcesses = 300;
constexpr double kPassEvery = 20; // s
constexpr double kBatchEvery = 300; // s
constexpr int kAppsPerHour = HistoryDatabase::kAppsPerHour + 1; // with "Other"

QList<AppEnergyAccumulator::Sample> busyPass()
{
    QList<AppEnergyAccumulator::Sample> samples;
    for (int i = 0; i < kProcesses; ++i)
        samples.append({QStringLiteral("process-%1").arg(i), 20.0 / (i + 1), 100.0 / (i + 1)});
    return samples;
}

// A year of history: every hour of it with 16 apps (as if the apps were kept
// a year rather than 35 days), one day row a day.
struct Year
{
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("history.sqlite"));
    std::unique_ptr<HistoryDatabase> database;

    Year()
    {
        database = std::make_unique<HistoryDatabase>(path, HistoryDatabase::Access::readWrite, [] { return kNow; });
        const qint64 first = qint64(kNow) - 365 * 86400;
        for (int day = 0; day < 365; ++day) {
            HistoryBatch batch;
            for (int hour = 0; hour < 24; ++hour) {
                const qint64 start = first + (day * 24 + hour) * 3600;
                for (int app = 0; app < kAppsPerHour; ++app)
                    batch.apps << AppHourEnergy{start, app == 15 ? kOtherApps : QStringLiteral("app-%1").arg((app * 7 + day) % 40),
                                                1.0 / (app + 1), 30.0 / (app + 1)};
            }
            BatteryDay row;
            row.day = QDateTime::fromSecsSinceEpoch(first + day * 86400).date();
            row.fullChargeMah = 5000 - day * 2;
            row.designMah = 5000;
            row.cycles = day;
            row.minTemperatureC = 25;
            row.maxTemperatureC = 38;
            row.minutesOnBattery = 240;
            row.drawnWattHours = 30;
            row.chargeSessions = 2;
            batch.days << row;
            if (database->write(batch, first + (day + 1) * 86400) != HistoryDatabase::WriteResult::written)
                std::abort();
        }
        // Closing checkpoints the journal into the file, as quitting the app does.
        database.reset();
        database = std::make_unique<HistoryDatabase>(path, HistoryDatabase::Access::readWrite, [] { return kNow; });
    }
    double megabytes() const
    {
        double bytes = 0;
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            bytes += QFileInfo(path + suffix).size();
        return bytes / 1e6;
    }
};

Year &year()
{
    static Year instance;
    return instance;
}

} // namespace

// One hour of a busy machine: 180 passes of 300 processes gathered, written
// in 12 batches. CPU time per iteration is CPU time per hour recorded.
void BM_RecordOneBusyHour(benchmark::State &state)
{
    QTemporaryDir dir;
    HistoryDatabase database(dir.filePath(QStringLiteral("history.sqlite")), HistoryDatabase::Access::readWrite,
                             [] { return kNow; });
    const QList<AppEnergyAccumulator::Sample> pass = busyPass();
    AppEnergyAccumulator apps;
    double now = kNow;
    int transactions = 0;
    for (auto _ : state) {
        const double hourEnd = now + 3600;
        double nextBatch = now + kBatchEvery;
        for (; now < hourEnd; now += kPassEvery) {
            apps.notePass(now, pass, true);
            if (now >= nextBatch) {
                database.write(HistoryBatch{apps.take(), {}}, static_cast<qint64>(now) / 3600 * 3600);
                ++transactions;
                nextBatch += kBatchEvery;
            }
        }
    }
    state.counters["transactions_per_hour"] = double(transactions) / state.iterations();
}
BENCHMARK(BM_RecordOneBusyHour)->Unit(benchmark::kMillisecond)->Iterations(24);

void BM_YearFileSize(benchmark::State &state)
{
    Year &y = year();
    for (auto _ : state)
        benchmark::DoNotOptimize(y.megabytes());
    state.counters["megabytes"] = y.megabytes();
}
BENCHMARK(BM_YearFileSize)->Iterations(1);

void BM_SevenDayAppsOnAYear(benchmark::State &state)
{
    Year &y = year();
    const HistorySpan span = HistorySpan::lastDays(kNow, 7);
    for (auto _ : state)
        benchmark::DoNotOptimize(y.database->apps(span.sinceHour, span.sinceDay));
}
BENCHMARK(BM_SevenDayAppsOnAYear)->Unit(benchmark::kMillisecond);

void BM_HealthSeriesOnAYear(benchmark::State &state)
{
    Year &y = year();
    for (auto _ : state)
        benchmark::DoNotOptimize(y.database->health());
}
BENCHMARK(BM_HealthSeriesOnAYear)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
