// The main-thread half of one poll (publish + applyBattery) — it runs on the
// UI thread every 2–12 s, so it must stay far below a frame (goal: < 50 µs).

#include "power/power_store.h"

#include "fakes/power_store_harness.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

namespace {

BatSnap dischargingSnapshot(int poll)
{
    BatSnap snap;
    snap.present = true;
    snap.level = 64 + poll % 3 - 1;
    snap.chargeW = 7.5 + (poll % 5) * 0.4;
    snap.minutes = 180 + poll % 7;
    snap.amperageMA = -620 - (poll % 4) * 30;
    snap.voltageMV = 12'300;
    snap.cycles = 212;
    snap.health = 91;
    snap.rawMax = 4'410;
    snap.design = 4'800;
    snap.sourcesLabel = QStringLiteral("SMC + IOKit + IOPS");
    return snap;
}

PackageReading estimate(double watts)
{
    PackageReading reading;
    reading.watts = watts;
    return reading;
}

void BM_PublishOnePoll(benchmark::State &state)
{
    PowerStoreHarness harness;
    FakeClock &clock = harness.clock;
    PowerStore &store = harness.store;

    // A full history, as after half an hour of polling.
    int poll = 0;
    for (; poll < 800; ++poll) {
        clock.advance(3.0);
        store.publish(dischargingSnapshot(poll), estimate(6.0 + poll % 9), poll % 10 == 0, {0.5, 0.5});
    }

    for (auto _ : state) {
        clock.advance(3.0);
        PackageReading package;
        package.watts = 6.0 + poll % 9;
        package.source = QStringLiteral("sensor (2 domains)");
        package.sample = SocPowerSample{.cpuWatts = package.watts - 1.0, .gpuWatts = 1.0};
        store.publish(dischargingSnapshot(poll), package, poll % 10 == 0, {0.5, 0.5});
        ++poll;
    }
}
BENCHMARK(BM_PublishOnePoll);

// Every poll publishes the 700-entry history, as in fast mode.
void BM_PublishOnePollFastMode(benchmark::State &state)
{
    PowerStoreHarness harness;
    FakeClock &clock = harness.clock;
    PowerStore &store = harness.store;
    store.setFastMode(true);
    int poll = 0;
    for (; poll < 800; ++poll)
        store.publish(dischargingSnapshot(poll), estimate(6.0 + poll % 9), false, {});

    for (auto _ : state) {
        clock.advance(2.0);
        store.publish(dischargingSnapshot(poll), estimate(6.0 + poll % 9), false, {});
        ++poll;
    }
}
BENCHMARK(BM_PublishOnePollFastMode);

} // namespace

int main(int argc, char **argv)
{
    // The store's timers need an application object on this thread.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
