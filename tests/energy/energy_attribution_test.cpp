#include "energy/energy_attribution.h"
#include "fakes/fake_process_table.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

constexpr int kOwnPid = 999;

QList<int> ids(const QList<ProcEnergy> &list)
{
    QList<int> result;
    for (const ProcEnergy &energy : list)
        result << energy.id;
    return result;
}

// Runs passes 10 s apart against a fake table.
class AttributionTest : public ::testing::Test
{
protected:
    FakeProcessTable table;
    double uptime = 100;
    std::unique_ptr<EnergyAttribution> attribution;

    void SetUp() override { table.cpuCount = 4; }

    QList<ProcEnergy> pass(double watts, bool fast = false, double after = 10)
    {
        if (!attribution)
            attribution = std::make_unique<EnergyAttribution>(table, kOwnPid, uptime);
        uptime += after;
        return attribution->runPass(uptime, fast, watts);
    }
};

} // namespace

TEST(AttributableWatts, BatteryDrawOnlyWhileTheBatteryAlonePowersTheMachine)
{
    struct Case { PowerFigures power; double watts; };
    const Case cases[] = {
        {{true, false, false, 6.5, 9.0}, 6.5},
        {{true, true, false, 6.5, 9.0}, 9.0}, // on AC
        {{true, false, true, 6.5, 9.0}, 9.0}, // charging
        {{true, false, false, 0.2, 9.0}, 9.0}, // draw too small to trust
        {{false, false, false, 6.5, 9.0}, 9.0}, // desktop
        {{true, true, false, 0, -1.5}, 0.0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(attributableWatts(c.power), c.watts);
}

TEST(ReconciliationScale, ClampsToSixtyAndHundredThirtyFivePercent)
{
    struct Case { double estimated; double measured; std::optional<double> scale; };
    const Case cases[] = {
        {10, 2, 0.6}, {1, 3, 1.35}, {4, 5, 1.25}, {0.05, 3, std::nullopt}, {3, 0.05, std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(reconciliationScale(c.estimated, c.measured), c.scale);
}

TEST_F(AttributionTest, FirstPassListsNothingBecauseEveryProcessIsNew)
{
    table.add(1, "busy", 500);
    EXPECT_TRUE(pass(10).isEmpty());
}

TEST_F(AttributionTest, SharesFollowCpuAndAreReconciledToTheMeasuredWatts)
{
    table.add(1, "alpha", 0, "/bin/alpha");
    table.add(2, "beta", 0, "/bin/beta");
    pass(10);
    table.burn(1, 30); // 3 cores over 10 s
    table.burn(2, 10); // 1 core
    const QList<ProcEnergy> list = pass(8);
    ASSERT_EQ(ids(list), (QList<int>{1, 2}));
    // Estimates sum to the measured 8 W already: scale 1.
    EXPECT_DOUBLE_EQ(list[0].estimatedWatts, 6);
    EXPECT_DOUBLE_EQ(list[0].cpuPercent, 300);
    EXPECT_DOUBLE_EQ(list[0].powerShare, 0.75);
    EXPECT_DOUBLE_EQ(list[0].energyScore, 60) << "after reconciliation the score is 10 × watts";
    EXPECT_EQ(list[0].path, QString()) << "paths only in fast mode";
    EXPECT_EQ(list[0].samples, QList<double>{6});
    EXPECT_DOUBLE_EQ(list[1].estimatedWatts, 2);
}

TEST_F(AttributionTest, SmoothingBlendsNewWattsIntoTheAverageAndKeepsThirtyValues)
{
    table.add(1, "alpha");
    pass(10);
    table.burn(1, 10);
    pass(4); // raw 4 W, first average 4
    table.burn(1, 10);
    const QList<ProcEnergy> second = pass(0); // raw 0: 0.45 × 0 + 0.55 × 4
    ASSERT_EQ(second.size(), 1);
    EXPECT_DOUBLE_EQ(second[0].estimatedWatts, 2.2);
    EXPECT_DOUBLE_EQ(second[0].energyScore, 100 * 0.05 + 2.2 * 10) << "no reconciliation at W = 0";
    EXPECT_EQ(second[0].samples, (QList<double>{4, 2.2}));
    for (int i = 0; i < 40; ++i) {
        table.burn(1, 10);
        pass(4);
    }
    table.burn(1, 10);
    EXPECT_EQ(pass(4)[0].samples.size(), 30);
}

TEST_F(AttributionTest, PassesUnderASecondApartDivideByOneSecondAndCoresAreCappedAtTheCpuCount)
{
    table.add(1, "alpha");
    pass(10);
    table.burn(1, 0.5);
    const QList<ProcEnergy> list = pass(10, false, 0.2);
    ASSERT_EQ(list.size(), 1);
    EXPECT_DOUBLE_EQ(list[0].cpuPercent, 50);
    table.burn(1, 1000);
    EXPECT_DOUBLE_EQ(pass(10)[0].cpuPercent, 400);
}

TEST_F(AttributionTest, ThresholdIsLowerInFastMode)
{
    table.add(1, "light", 0, "/bin/light");
    pass(10);
    table.burn(1, 0.5); // 0.05 cores
    EXPECT_TRUE(pass(10).isEmpty());
    table.burn(1, 0.5);
    const QList<ProcEnergy> fast = pass(10, true);
    ASSERT_EQ(fast.size(), 1);
    EXPECT_EQ(fast[0].path, QStringLiteral("/bin/light"));
}

TEST_F(AttributionTest, SmallTotalActivityIsSharedAsIfItWereFivePercentOfACore)
{
    table.add(1, "trickle");
    pass(10);
    table.burn(1, 0.3); // 0.03 cores
    const QList<ProcEnergy> list = pass(0, true);
    ASSERT_EQ(list.size(), 1);
    EXPECT_DOUBLE_EQ(list[0].powerShare, 0.6);
}

TEST_F(AttributionTest, KeepsEightInFastModeFiveOtherwiseHighestFirstAndStable)
{
    for (int pid = 1; pid <= 10; ++pid)
        table.add(pid, QStringLiteral("p%1").arg(pid));
    pass(10);
    auto burnAll = [&] {
        for (int pid = 1; pid <= 10; ++pid)
            table.burn(pid, pid == 7 ? 20 : 5);
    };
    burnAll();
    EXPECT_EQ(ids(pass(10)), (QList<int>{7, 1, 2, 3, 4}));
    burnAll();
    EXPECT_EQ(ids(pass(10, true)), (QList<int>{7, 1, 2, 3, 4, 5, 6, 8}));
}

TEST_F(AttributionTest, ReconciliationScaleIsClampedAndAveragesStayUnscaled)
{
    table.add(1, "alpha");
    pass(10);
    table.burn(1, 10);
    pass(10); // average 10 W
    table.burn(1, 10);
    // Raw 2 W: average 0.45 × 2 + 0.55 × 10 = 6.4; scale 2 / 6.4 clamps to 0.6.
    const QList<ProcEnergy> low = pass(2);
    EXPECT_DOUBLE_EQ(low[0].estimatedWatts, 6.4 * 0.6);
    EXPECT_DOUBLE_EQ(low[0].powerShare, 6.4 * 0.6 / 2);
    EXPECT_DOUBLE_EQ(low[0].samples.last(), 6.4);
}

TEST_F(AttributionTest, PidReuseCountsAsNoActivity)
{
    table.add(1, "old");
    pass(10);
    table.burn(1, 10);
    EXPECT_EQ(pass(10).size(), 1);
    table.processes[1].cpuSeconds = 0.5; // a new process got the same id
    EXPECT_TRUE(pass(10).isEmpty());
    table.burn(1, 10);
    EXPECT_EQ(pass(10).size(), 1);
}

TEST_F(AttributionTest, AProcessMissingFromOnePassStartsAfresh)
{
    table.add(1, "alpha");
    pass(10);
    table.burn(1, 10);
    pass(10);
    const auto saved = table.processes[1];
    table.processes.erase(1);
    EXPECT_TRUE(pass(10).isEmpty());
    table.processes[1] = saved;
    table.burn(1, 10);
    EXPECT_TRUE(pass(10).isEmpty()) << "back, but new again";
    table.burn(1, 10);
    const QList<ProcEnergy> list = pass(10);
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].samples.size(), 1);
}

TEST_F(AttributionTest, ProcessesEndingMidPassAreSkipped)
{
    table.add(1, "alpha");
    table.add(2, "vanishing");
    table.add(3, "gamma");
    pass(10);
    table.burn(1, 10);
    table.burn(2, 10);
    table.burn(3, 10);
    // Process 2 is listed, then ends before its CPU time is read.
    table.beforeCpuRead = [&](int pid) {
        if (pid == 2)
            table.processes.erase(2);
    };
    EXPECT_EQ(ids(pass(10)), (QList<int>{1, 3}));
}

TEST_F(AttributionTest, UnreadableProcessesAndOwnProcessAreLeftOutButUnreadableNamesFallBackToPidAndId)
{
    table.add(42, "x");
    table.processes[42].name.reset();
    table.add(kOwnPid, "self");
    table.add(5, "other user");
    table.processes[5].cpuReadable = false;
    pass(10);
    for (int pid : {42, 5, kOwnPid})
        table.burn(pid, 10);
    const QList<ProcEnergy> list = pass(10, true);
    EXPECT_EQ(ids(list), QList<int>{42});
    EXPECT_EQ(list.value(0).name, QStringLiteral("pid 42"));
}

TEST_F(AttributionTest, AFailedListingPublishesNothingAndForgetsEveryone)
{
    table.add(1, "alpha");
    pass(10);
    table.burn(1, 10);
    EXPECT_EQ(pass(10).size(), 1);
    table.listingFails = true;
    EXPECT_TRUE(pass(10).isEmpty());
    table.listingFails = false;
    table.burn(1, 10);
    EXPECT_TRUE(pass(10).isEmpty()) << "every process is new after a failed listing";
}

TEST(WattsLabel, WattsFromEightHundredthsOfAWattOtherwiseAWordForCpu)
{
    struct Case { double watts; double cpu; const char *label; };
    const Case cases[] = {
        {12.5, 0, "12 W"}, {10, 0, "10 W"}, {9.96, 0, "10.0 W"}, {1, 0, "1.0 W"}, {0.999, 0, "1.00 W"},
        {0.08, 0, "0.08 W"}, {0.079, 95, "High"}, {0, 80, "High"}, {0, 79.9, "Moderate"}, {0, 25, "Moderate"},
        {0, 24.9, "Low"},
    };
    for (const Case &c : cases) {
        ProcEnergy energy;
        energy.estimatedWatts = c.watts;
        energy.cpuPercent = c.cpu;
        EXPECT_EQ(wattsLabel(energy), QString::fromUtf8(c.label)) << c.watts << " " << c.cpu;
    }
}
