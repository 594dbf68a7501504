// Cost of one battery snapshot on a recorded Linux tree, as the power store
// takes it on every poll. No power-source service answers, so the snapshot
// also asks pmset, which is missing here.

#include "platform/power_sources.h"
#include "platform/registry.h"
#include "platform/system_backends.h"
#include "platform/tool_runner.h"
#include "power/battery_snapshot.h"

#include <benchmark/benchmark.h>

namespace {

class NoPowerSources final : public PowerSourceList
{
public:
    QList<PowerSourceDescription> copyPowerSources() override { return {}; }
};

void snapshotOfTree(benchmark::State &state, const char *tree)
{
    NoPowerSources sources;
    const auto registry = makeSmartBatteryRegistry(QStringLiteral(PENDRA_FIXTURES "/sysfs/") + QLatin1String(tree));
    BatterySnapshot snapshot(sources, *registry, ToolRunner::system());
    for (auto _ : state)
        benchmark::DoNotOptimize(snapshot.readSnapshot(false));
}

void BM_ReadSnapshotAcpiLaptop(benchmark::State &state)
{
    snapshotOfTree(state, "acpi-discharging");
}

void BM_ReadSnapshotAppleSilicon(benchmark::State &state)
{
    snapshotOfTree(state, "macsmc-discharging");
}

void BM_ReadSnapshotDesktop(benchmark::State &state)
{
    snapshotOfTree(state, "desktop");
}

} // namespace

BENCHMARK(BM_ReadSnapshotAcpiLaptop)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadSnapshotAppleSilicon)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadSnapshotDesktop)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
