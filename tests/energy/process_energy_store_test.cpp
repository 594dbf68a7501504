#include "energy/process_energy_store.h"
#include "energy/top_process_sink.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_process_table.h"
#include "fakes/power_store_harness.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTimer>

namespace {

struct Note
{
    QString name;
    double score;
    double cpu;
};

class RecordingTopSink : public TopProcessSink
{
public:
    QList<Note> notes;
    int forgets = 0;
    void noteTop(const QString &name, double score, double cpuPercent) override
    {
        notes.append({name, score, cpuPercent});
    }
    void forgetTop() override { ++forgets; }
};

ProcEnergy entry(int id, double watts, double cpu)
{
    ProcEnergy energy;
    energy.id = id;
    energy.name = QStringLiteral("p%1").arg(id);
    energy.estimatedWatts = watts;
    energy.cpuPercent = cpu;
    energy.energyScore = watts * 10;
    return energy;
}

class ProcessEnergyStoreTest : public ::testing::Test
{
protected:
    FakeProcessTable table;
    FakeClock clock;
    PowerFigures power{true, false, false, 6.0, 9.0};
    RecordingTopSink sink;
    std::atomic<int> cpuReads{0};
    std::unique_ptr<ProcessEnergyStore> store;

    void SetUp() override
    {
        table.beforeCpuRead = [this](int) { ++cpuReads; };
        store = std::make_unique<ProcessEnergyStore>(table, clock, [this] { return power; }, &sink);
    }

    // One pass, `seconds` after the previous one.
    void passAfter(double seconds)
    {
        clock.advance(seconds);
        store->sample();
        ASSERT_TRUE(spinUntil([this] { return !store->sampleInFlight(); }));
    }

    QTimer *timer(const char *name) { return store->findChild<QTimer *>(QLatin1String(name)); }
};

} // namespace

TEST(IsSameTopList, ToleratesSmallChangesButNotOtherRows)
{
    const QList<ProcEnergy> base{entry(1, 5, 100), entry(2, 2, 40)};
    struct Case { QList<ProcEnergy> next; bool same; };
    const Case cases[] = {
        {{entry(1, 5.1, 101.9), entry(2, 1.9, 38.1)}, true},
        {{entry(1, 5.15, 100), entry(2, 2, 40)}, false},
        {{entry(1, 5, 102), entry(2, 2, 40)}, false},
        {{entry(2, 2, 40), entry(1, 5, 100)}, false},
        {{entry(1, 5, 100)}, false},
        {{}, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(isSameTopList(base, c.next), c.same);
    EXPECT_TRUE(isSameTopList({}, {}));
}

TEST_F(ProcessEnergyStoreTest, OnePassAtATimePublishesTheRankedListOfTheBatteryDraw)
{
    table.add(1, "alpha");
    table.add(2, "beta");
    QSignalSpy changed(store.get(), &ProcessEnergyStore::topChanged);
    clock.advance(10);
    store->sample();
    store->sample(); // while the first is in flight: dropped
    ASSERT_TRUE(spinUntil([this] { return !store->sampleInFlight(); }));
    EXPECT_EQ(cpuReads.load(), 2) << "one pass over two processes";
    table.burn(1, 30);
    table.burn(2, 10);
    passAfter(10);
    ASSERT_EQ(store->top().size(), 2);
    EXPECT_EQ(changed.size(), 1);
    EXPECT_DOUBLE_EQ(store->top()[0].estimatedWatts + store->top()[1].estimatedWatts, 6.0)
        << "on battery the battery's draw is attributed";
}

TEST_F(ProcessEnergyStoreTest, NearlyUnchangedListsDoNotWakeObservers)
{
    QSignalSpy changed(store.get(), &ProcessEnergyStore::topChanged);
    store->publishTop({entry(1, 5, 100), entry(2, 2, 40)});
    store->publishTop({entry(1, 5.1, 100), entry(2, 2.1, 40)});
    EXPECT_EQ(changed.size(), 1);
    EXPECT_DOUBLE_EQ(store->top()[0].estimatedWatts, 5) << "the shown list stays as it was";
    store->publishTop({entry(2, 2, 40), entry(1, 5, 100)});
    EXPECT_EQ(changed.size(), 2);
}

TEST_F(ProcessEnergyStoreTest, TheLeaderGoesToTheDrainLogAtMostEveryTwentyFiveSeconds)
{
    store->publishTop({entry(1, 5, 100)});
    clock.advance(20);
    store->publishTop({entry(2, 7, 150)});
    clock.advance(5);
    store->publishTop({entry(3, 1, 10)});
    store->publishTop({});
    clock.advance(30);
    store->publishTop({});
    ASSERT_EQ(sink.notes.size(), 2);
    EXPECT_EQ(sink.notes[0].name, QStringLiteral("p1"));
    EXPECT_EQ(sink.notes[0].score, 50);
    EXPECT_EQ(sink.notes[0].cpu, 100);
    EXPECT_EQ(sink.notes[1].name, QStringLiteral("p3"));
}

TEST_F(ProcessEnergyStoreTest, CadenceIsTwentySecondsOrFiveInFastMode)
{
    store->start();
    ASSERT_TRUE(timer("processSampleTimer"));
    EXPECT_TRUE(timer("processSampleTimer")->isActive());
    EXPECT_EQ(timer("processSampleTimer")->interval(), 20000);
    EXPECT_EQ(timer("processPassSoonTimer")->interval(), 3000) << "first pass 3 s after start";
    EXPECT_TRUE(timer("processPassSoonTimer")->isActive());

    store->setFastMode(true);
    EXPECT_EQ(timer("processSampleTimer")->interval(), 5000);
    EXPECT_EQ(timer("processPassSoonTimer")->interval(), 350) << "an extra pass soon after switching on";
    table.add(1, "alpha");
    EXPECT_TRUE(spinUntil([this] { return cpuReads.load() > 0; }, 3000));

    store->setFastMode(false);
    EXPECT_EQ(timer("processSampleTimer")->interval(), 20000);
}

TEST_F(ProcessEnergyStoreTest, APausedStoreRunsNoPassAndResumingRunsOneAtOnce)
{
    table.add(1, "alpha");
    store->setPaused(true);
    store->start();
    store->setFastMode(true);
    EXPECT_FALSE(timer("processSampleTimer")->isActive());
    EXPECT_FALSE(timer("processPassSoonTimer")->isActive()) << "no first pass and no fast-mode pass";
    EXPECT_EQ(sink.forgets, 1) << "the drain log stops naming a leader nobody measures";

    store->setPaused(false);
    EXPECT_TRUE(store->sampleInFlight()) << "at once, not after a timer";
    EXPECT_TRUE(timer("processSampleTimer")->isActive());
    EXPECT_EQ(timer("processSampleTimer")->interval(), 5000) << "fast mode set while paused holds";
    ASSERT_TRUE(spinUntil([this] { return !store->sampleInFlight(); }));
    EXPECT_EQ(cpuReads.load(), 1);
}

TEST_F(ProcessEnergyStoreTest, AStoreNotYetStartedStaysIdleWhenResumed)
{
    store->setPaused(true);
    store->setPaused(false);
    EXPECT_FALSE(store->sampleInFlight());
    EXPECT_FALSE(timer("processSampleTimer")->isActive());
}

TEST(PowerFiguresOf, TakesTheStoresPublishedFigures)
{
    PowerStoreHarness harness;
    harness.publish(onBatterySnap(80, 7.0), 12.0);
    const PowerFigures onBattery = powerFiguresOf(harness.store);
    EXPECT_TRUE(onBattery.batteryPresent);
    EXPECT_FALSE(onBattery.onAC);
    EXPECT_FALSE(onBattery.charging);
    EXPECT_DOUBLE_EQ(onBattery.chargeWatts, 7.0);
    EXPECT_DOUBLE_EQ(onBattery.packageWatts, 12.0);

    harness.publish(heldAtLimitSnap(80), 12.0);
    const PowerFigures held = powerFiguresOf(harness.store);
    EXPECT_TRUE(held.onAC);
    EXPECT_FALSE(held.charging);
}
