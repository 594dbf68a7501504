#include "fakes/fake_clock.h"
#include "fakes/fake_energy_counters.h"
#include "power/ioreport_power_reader.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

EnergyChannel channel(const char *group, const char *name, const char *unit)
{
    return {QString::fromUtf8(group), QString::fromUtf8(name), QString::fromUtf8(unit)};
}

std::optional<SocPowerSample> sampleOnQueue(IOReportPowerReader &reader)
{
    std::optional<SocPowerSample> sample;
    reader.queue().sync([&] { sample = reader.sample(); });
    return sample;
}

} // namespace

TEST(IOReportClassification, GroupFilterThenFirstMatchingNameRule)
{
    struct Case { const char *group; const char *name; std::optional<ChannelKind> kind; };
    const Case cases[] = {
        {"Energy Model", "GPU Energy", ChannelKind::gpu},
        {"GPU Stats", "GPU Energy", std::nullopt},
        {"PMP", "DRAM", ChannelKind::dram},
        {"CPU Energy Counters", "ECPU CPU Energy", ChannelKind::cpu},
        {"Energy Model", "PCPU0 CPU Complex Energy x", ChannelKind::cpu},
        {"Energy Model", "GPU Complex", ChannelKind::gpu},
        {"Energy Model", "ANE0", ChannelKind::ane},
        {"Energy Model", "x ANE Energy", ChannelKind::ane},
        {"Energy Model", "Neural Engine", ChannelKind::ane},
        {"Energy Model", "Memory Controller", ChannelKind::dram},
        {"Energy Model", "ISP0", ChannelKind::other},
        {"Energy Model", "Display Energy", ChannelKind::other},
        {"Energy Model", "Display", std::nullopt},
        {"Energy Model", "CPU Energy Memory", ChannelKind::dram}, // "CPU Energy" must end the name
        {"Energy Model", "Fabric", std::nullopt},
        {"", "CPU Energy", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(classifyEnergyChannel(QString::fromUtf8(c.group), QString::fromUtf8(c.name)), c.kind)
            << c.group << " / " << c.name;
}

TEST(IOReportUnits, CounterValuesBecomeJoules)
{
    struct Case { std::int64_t value; const char *unit; std::optional<double> joules; };
    const Case cases[] = {
        {2'500'000'000, "nJ", 2.5},
        {2'500'000, "uJ", 2.5},
        {2'500, "mJ", 2.5},
        {3, "J", 3.0},
        {5'000, "", 5.0}, // an unknown unit with a large value is taken as mJ
        {-5'000, "pW", -5.0},
        {1'000, "", std::nullopt},
        {0, "?", std::nullopt},
    };
    for (const Case &c : cases) {
        const std::optional<double> joules = energyJoules(c.value, QString::fromUtf8(c.unit));
        ASSERT_EQ(joules.has_value(), c.joules.has_value()) << c.value << c.unit;
        if (joules) {
            EXPECT_DOUBLE_EQ(*joules, *c.joules);
        }
    }
}

TEST(IOReportPowerReader, SubscribesOnlyToRecognisedChannelsInCatalogueOrder)
{
    FakeClock clock;
    FakeEnergyCounters counters({
        channel("Energy Model", "GPU Energy", "nJ"),
        channel("GPU Stats", "GPU Energy", "nJ"),
        channel("Energy Model", "Fabric", "nJ"),
        channel("Energy Model", "CPU Energy", " mJ "),
    });
    IOReportPowerReader reader(counters, clock);
    EXPECT_TRUE(reader.isAvailable());
    EXPECT_EQ(counters.subscribedIndices(), (std::vector<int>{0, 3}));
    const std::vector<ChannelMeta> expected{{ChannelKind::gpu, QStringLiteral("nJ")},
                                            {ChannelKind::cpu, QStringLiteral("mJ")}};
    EXPECT_EQ(reader.channels(), expected);
}

TEST(IOReportPowerReader, UnavailableWithoutCatalogueUsableChannelsOrSubscription)
{
    FakeClock clock;
    FakeEnergyCounters none;
    IOReportPowerReader withoutCatalogue(none, clock);
    EXPECT_FALSE(withoutCatalogue.isAvailable());
    EXPECT_EQ(sampleOnQueue(withoutCatalogue), std::nullopt);
    EXPECT_EQ(none.sampleCalls(), 0);

    FakeEnergyCounters foreign({channel("Other", "CPU Energy", "nJ")});
    EXPECT_FALSE(IOReportPowerReader(foreign, clock).isAvailable());

    FakeEnergyCounters refusing({channel("Energy Model", "CPU Energy", "nJ")});
    refusing.setSubscribeSucceeds(false);
    IOReportPowerReader refused(refusing, clock);
    EXPECT_FALSE(refused.isAvailable());
    EXPECT_EQ(sampleOnQueue(refused), std::nullopt);
}

class IOReportSampling : public ::testing::Test
{
protected:
    FakeClock clock;
    FakeEnergyCounters counters{{
        channel("Energy Model", "CPU Energy", "nJ"),
        channel("Energy Model", "GPU Energy", "mJ"),
        channel("Energy Model", "DRAM", "uJ"),
        channel("Energy Model", "ISP", "nJ"),
    }};
    IOReportPowerReader reader{counters, clock};
};

TEST_F(IOReportSampling, FirstSampleSetsTheBaselineThenEachKindIsSummedInWatts)
{
    counters.addEnergy(0, 1'000'000'000);
    EXPECT_EQ(sampleOnQueue(reader), std::nullopt);
    clock.advance(2.0);
    counters.addEnergy(0, 4'000'000'000); // 2 W
    counters.addEnergy(1, 3'000); // 1.5 W
    counters.addEnergy(2, 1'000'000); // 0.5 W
    counters.addEnergy(3, 200'000'000); // 0.1 W
    const std::optional<SocPowerSample> sample = sampleOnQueue(reader);
    ASSERT_TRUE(sample);
    EXPECT_EQ(*sample, (SocPowerSample{2.0, 1.5, 0.0, 0.5, 0.1}));
}

TEST_F(IOReportSampling, ImplausibleChannelsAreDropped)
{
    sampleOnQueue(reader);
    clock.advance(0.5);
    counters.addEnergy(1, 300'000); // 600 W
    counters.addEnergy(0, 500'000'000); // 1 W
    const std::optional<SocPowerSample> sample = sampleOnQueue(reader);
    ASSERT_TRUE(sample);
    EXPECT_DOUBLE_EQ(sample->gpuWatts, 0.0);
    EXPECT_DOUBLE_EQ(sample->cpuWatts, 1.0);
}

TEST_F(IOReportSampling, NoEnergyAnywhereGivesNothing)
{
    sampleOnQueue(reader);
    clock.advance(1.0);
    EXPECT_EQ(sampleOnQueue(reader), std::nullopt);
}

TEST_F(IOReportSampling, IntervalsOutsideTheWindowRebaseline)
{
    struct Case { double gap; bool yields; };
    const Case cases[] = {{0.149, false}, {0.150, true}, {15.0, true}, {15.001, false}};
    for (const Case &c : cases) {
        sampleOnQueue(reader);
        clock.advance(c.gap);
        counters.addEnergy(0, 100'000'000);
        EXPECT_EQ(sampleOnQueue(reader).has_value(), c.yields) << c.gap;
        clock.advance(100); // next case starts from a stale baseline
    }
}

TEST_F(IOReportSampling, TwentySecondGapRebaselinesAndTheNextCallYieldsWatts)
{
    sampleOnQueue(reader);
    clock.advance(20);
    counters.addEnergy(0, 40'000'000'000);
    EXPECT_EQ(sampleOnQueue(reader), std::nullopt);
    clock.advance(3);
    counters.addEnergy(0, 3'000'000'000);
    const std::optional<SocPowerSample> sample = sampleOnQueue(reader);
    ASSERT_TRUE(sample);
    EXPECT_DOUBLE_EQ(sample->cpuWatts, 1.0); // energy of the 20 s gap is not counted
}

TEST_F(IOReportSampling, FailedDeltaRebaselines)
{
    sampleOnQueue(reader);
    clock.advance(1);
    counters.addEnergy(0, 1'000'000'000);
    counters.setDeltaFails(true);
    EXPECT_EQ(sampleOnQueue(reader), std::nullopt);
    counters.setDeltaFails(false);
    clock.advance(1);
    counters.addEnergy(0, 2'000'000'000);
    EXPECT_DOUBLE_EQ(sampleOnQueue(reader)->cpuWatts, 2.0);
    EXPECT_TRUE(reader.isAvailable());
}

TEST_F(IOReportSampling, FailedRawSampleDisablesTheReaderForGood)
{
    sampleOnQueue(reader);
    counters.setSampleFails(true);
    clock.advance(1);
    EXPECT_EQ(sampleOnQueue(reader), std::nullopt);
    EXPECT_TRUE(reader.permanentlyDisabled());
    EXPECT_FALSE(reader.isAvailable());

    counters.setSampleFails(false);
    clock.advance(1);
    EXPECT_EQ(sampleOnQueue(reader), std::nullopt);
    EXPECT_EQ(counters.sampleCalls(), 2);
}
