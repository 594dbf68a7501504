// The main-thread half of one poll (publish + applyBattery) — it runs on the
// UI thread every 2–12 s, so it must stay far below a frame (goal: < 50 µs).

#include "platform/clock.h"
#include "platform/power_mode.h"
#include "platform/system_info.h"
#include "power/power_store.h"
#include "power/snapshot_source.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

namespace {

class SteppedClock final : public Clock
{
public:
    double now() const override { return m_now; }
    double uptime() const override { return m_now; }
    void advance(double seconds) { m_now += seconds; }

private:
    double m_now = 1'000'000.0;
};

class FixedSnapshot final : public SnapshotSource
{
public:
    BatSnap readSnapshot(bool) override { return {}; }
};

class FixedSystemInfo final : public SystemInfo
{
public:
    std::optional<double> loadAverage1() const override { return 1.0; }
    int logicalCpuCount() const override { return 8; }
    int performanceCpuCount() const override { return 4; }
    int efficiencyCpuCount() const override { return 4; }
};

class NoLowPowerMode final : public PowerModeMonitor
{
public:
    bool isLowPowerModeEnabled() const override { return false; }
};

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
    SteppedClock clock;
    FixedSnapshot snapshots;
    FixedSystemInfo systemInfo;
    NoLowPowerMode powerMode;
    PowerStore store(clock, snapshots, nullptr, systemInfo, powerMode);

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
    SteppedClock clock;
    FixedSnapshot snapshots;
    FixedSystemInfo systemInfo;
    NoLowPowerMode powerMode;
    PowerStore store(clock, snapshots, nullptr, systemInfo, powerMode);
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
