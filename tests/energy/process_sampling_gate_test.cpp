#include "energy/process_sampling_gate.h"

#include "energy/power_figures.h"
#include "energy/process_energy_store.h"
#include "fakes/fake_process_table.h"
#include "fakes/power_store_harness.h"
#include "support/event_loop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <atomic>

namespace {

using Window = ProcessSamplingGate::Window;

class ProcessSamplingGateTest : public ::testing::Test
{
protected:
    PowerStoreHarness power;
    FakeProcessTable table;
    std::atomic<int> passes{0};
    std::unique_ptr<ProcessEnergyStore> sampler;
    std::unique_ptr<ProcessSamplingGate> gate;

    void SetUp() override
    {
        table.add(1, QStringLiteral("alpha"));
        table.beforeCpuRead = [this](int) { ++passes; };
        sampler = std::make_unique<ProcessEnergyStore>(
            table, power.clock, [this] { return powerFiguresOf(power.store); }, nullptr);
    }

    // The app's launch order: the gate first, then the sampler's start.
    void launchWith(const BatSnap &snap)
    {
        power.publish(snap);
        gate = std::make_unique<ProcessSamplingGate>(*sampler, power.store);
        sampler->start();
        settle();
    }

    // Lets the gate decide and any pass it started finish.
    void settle()
    {
        QCoreApplication::processEvents();
        ASSERT_TRUE(spinUntil([this] { return !sampler->sampleInFlight(); }));
    }

    // Nothing armed means no pass will ever run without a new consumer.
    bool anyPassScheduled() const
    {
        const QList<QTimer *> timers = sampler->findChildren<QTimer *>();
        return std::any_of(timers.begin(), timers.end(), [](const QTimer *timer) { return timer->isActive(); });
    }
};

} // namespace

TEST_F(ProcessSamplingGateTest, OnACWithNoWindowShownNoPassRunsAndAWindowStartsOneAtOnce)
{
    launchWith(fullOnACSnap());
    EXPECT_EQ(passes.load(), 0);
    EXPECT_FALSE(anyPassScheduled());

    power.clock.advance(600);
    gate->setWindowShown(Window::dashboard, true);
    settle();
    EXPECT_EQ(passes.load(), 1) << "the window's first pass runs at once";
    EXPECT_TRUE(anyPassScheduled());

    gate->setWindowShown(Window::dashboard, false);
    settle();
    EXPECT_FALSE(anyPassScheduled());
    EXPECT_EQ(passes.load(), 1);
}

TEST_F(ProcessSamplingGateTest, UnpluggingStartsPassesAndPluggingInStopsThem)
{
    launchWith(chargingSnap(60));
    EXPECT_FALSE(anyPassScheduled());

    power.clock.advance(30);
    power.publish(onBatterySnap(59));
    settle();
    EXPECT_EQ(passes.load(), 1) << "a pass at once when the adapter goes";
    EXPECT_TRUE(anyPassScheduled()) << "and the 20 s cadence after it";

    power.clock.advance(30);
    power.publish(chargingSnap(59));
    settle();
    EXPECT_FALSE(anyPassScheduled());
}

TEST_F(ProcessSamplingGateTest, OnBatteryPassesRunWithoutAnyWindow)
{
    launchWith(onBatterySnap(80));
    EXPECT_TRUE(anyPassScheduled());
    gate->setWindowShown(Window::batteryMenu, true);
    gate->setWindowShown(Window::batteryMenu, false);
    settle();
    EXPECT_TRUE(anyPassScheduled()) << "the drain alerts still read the list";
}

TEST_F(ProcessSamplingGateTest, WithoutABatteryOnlyShownWindowsRunPasses)
{
    launchWith(desktopSnap());
    EXPECT_FALSE(anyPassScheduled());
    gate->setWindowShown(Window::preferences, true);
    gate->setWindowShown(Window::batteryMenu, true);
    gate->setWindowShown(Window::preferences, false);
    settle();
    EXPECT_TRUE(anyPassScheduled()) << "the battery menu is still shown";
    gate->setWindowShown(Window::batteryMenu, false);
    settle();
    EXPECT_FALSE(anyPassScheduled());
}

TEST_F(ProcessSamplingGateTest, TheMenuClosingAsTheDashboardOpensKeepsTheSamplerRunning)
{
    launchWith(fullOnACSnap());
    gate->setWindowShown(Window::batteryMenu, true);
    settle();
    const int before = passes.load();
    gate->setWindowShown(Window::batteryMenu, false);
    gate->setWindowShown(Window::dashboard, true);
    settle();
    EXPECT_EQ(passes.load(), before) << "no stop and restart, so no extra pass";
    EXPECT_TRUE(anyPassScheduled());
}
