// The battery menu's model refreshes every 0.45 s while the popover is open;
// a refresh with nothing changed must publish nothing and stay far below a
// frame (goal: < 20 µs).

#include "app/battery_menu/menu_panel_model.h"
#include "power/power_store.h"

#include "fakes/power_store_harness.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

namespace {

BatSnap dischargingSnapshot()
{
    BatSnap snap;
    snap.present = true;
    snap.level = 64;
    snap.chargeW = 7.5;
    snap.minutes = 185;
    snap.cycles = 212;
    snap.health = 91;
    return snap;
}

QList<ProcEnergy> fiveOfEight()
{
    QList<ProcEnergy> apps;
    for (int i = 0; i < 8; ++i) {
        ProcEnergy app;
        app.id = 100 + i;
        app.name = QStringLiteral("app%1").arg(i);
        app.path = QStringLiteral("/usr/bin/app%1").arg(i);
        app.estimatedWatts = 3.0 - i * 0.3;
        app.cpuPercent = 40 - i * 4;
        app.samples = QList<double>(30, app.estimatedWatts);
        apps.append(app);
    }
    return apps;
}

void BM_RefreshWithNothingChanged(benchmark::State &state)
{
    PowerStoreHarness harness;
    FakeClock &clock = harness.clock;
    PowerStore &store = harness.store;
    store.setFastMode(true);
    // A full history (700 samples, a 60-point spark), as after an hour.
    for (int poll = 0; poll < 800; ++poll) {
        clock.advance(2.0);
        PackageReading package;
        package.watts = 6.0 + poll % 9;
        store.publish(dischargingSnapshot(), package, false, {});
    }

    // Fast mode keeps eight processes; the panel shows five.
    const QList<ProcEnergy> top = fiveOfEight();
    MenuPanelModel model(store, [&top] { return top; }, [] { return false; });
    model.refresh();
    int published = 0;
    for (const auto signal : {&MenuPanelModel::levelPercentChanged, &MenuPanelModel::packageWattsChanged,
                              &MenuPanelModel::timeDetailChanged, &MenuPanelModel::sparkChanged,
                              &MenuPanelModel::sparkLabelChanged, &MenuPanelModel::topAppsChanged})
        QObject::connect(&model, signal, [&published] { ++published; });

    for (auto _ : state)
        model.refresh();
    if (published != 0)
        state.SkipWithError("a refresh with nothing changed published a change");
}
BENCHMARK(BM_RefreshWithNothingChanged);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
