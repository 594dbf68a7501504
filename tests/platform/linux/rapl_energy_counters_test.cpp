#include "platform/linux/rapl_energy_counters.h"

#include "fakes/fake_sysfs_files.h"
#include "support/qt_printers.h"
#include "support/test_files.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <numeric>

namespace {

// A powercap tree like the kernel's: flat zone directories in one folder.
struct PowercapTree : QTemporaryDir
{
    QString root() const { return path(); }

    void addZone(const QString &zone, const QString &name, quint64 energy,
                 std::optional<quint64> maxRange = 262'143'328'850)
    {
        set(zone, "name", name.toUtf8());
        setEnergy(zone, energy);
        if (maxRange)
            set(zone, "max_energy_range_uj", QByteArray::number(*maxRange));
    }
    void setEnergy(const QString &zone, quint64 energy) { set(zone, "energy_uj", QByteArray::number(energy)); }
    void set(const QString &zone, const char *attribute, const QByteArray &value)
    {
        writeFile(filePath(zone + QLatin1Char('/') + QLatin1String(attribute)), value + '\n');
    }
};

QStringList channelNames(const std::optional<QList<EnergyChannel>> &catalogue)
{
    if (!catalogue)
        return {QStringLiteral("<no catalogue>")};
    QStringList names;
    for (const EnergyChannel &channel : *catalogue) {
        EXPECT_EQ(channel.group, QStringLiteral("Energy Model"));
        EXPECT_EQ(channel.unit, QStringLiteral("uJ"));
        names << channel.name;
    }
    return names;
}

} // namespace

TEST(RaplCounterDelta, HandlesWraparoundAndClampsBackwardsCounters)
{
    struct Case { quint64 previous; quint64 current; std::optional<quint64> range; quint64 delta; };
    const Case cases[] = {
        {100, 250, 1000, 150},
        {900, 100, 1000, 200}, // wrapped past the range
        {900, 100, std::nullopt, 0}, // backwards without a range: no energy, not 2^64
        {2000, 100, 1000, 0}, // previous beyond the range: the counter was reset
        {5, 5, 1000, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(raplCounterDelta(c.previous, c.current, c.range), c.delta) << c.previous << " → " << c.current;
}

// Each case samples every channel, moves the `later` counters and samples
// again; a case without deltas checks the channels only.
TEST(RaplEnergyCounters, ZonesBecomeChannelsAndCountersTheirEnergy)
{
    struct Zone
    {
        const char *zone, *name;
        quint64 energy;
        std::optional<quint64> maxRange = 262'143'328'850;
    };
    struct Case
    {
        const char *what;
        std::vector<Zone> zones;
        std::vector<std::pair<const char *, quint64>> later;
        QStringList channels;
        std::vector<std::int64_t> delta;
    };
    const Case cases[] = {
        // +6 J package, +2 J uncore, +0.5 J dram; core, psys and MMIO are left out.
        {"package, uncore and dram",
         {{"intel-rapl:0", "package-0", 10'000'000}, {"intel-rapl:0:0", "core", 5'000'000},
          {"intel-rapl:0:1", "uncore", 1'000'000}, {"intel-rapl:0:2", "dram", 2'000'000},
          {"intel-rapl:1", "psys", 50'000'000}, {"intel-rapl-mmio:0", "package-0", 10'000'000}},
         {{"intel-rapl:0", 16'000'000}, {"intel-rapl:0:1", 3'000'000}, {"intel-rapl:0:2", 2'500'000}},
         {"CPU Energy", "GPU Energy", "DRAM Energy"}, {4'000'000, 2'000'000, 500'000}},
        {"hex zone indices, each package with its channels",
         {{"intel-rapl:a", "package-10", 0}, {"intel-rapl:2", "package-2", 0}, {"intel-rapl:2:b", "dram", 0},
          {"intel-rapl:3", "dram", 0}},
         {}, {"CPU Energy", "DRAM Energy", "DRAM Energy", "CPU Energy"}, {}},
        {"wrapped package counter", {{"intel-rapl:0", "package-0", 999'000'000, 1'000'000'000}},
         {{"intel-rapl:0", 4'000'000}}, {"CPU Energy"}, {5'000'000}},
        {"uncore ahead of its package gives no negative CPU energy",
         {{"intel-rapl:0", "package-0", 1'000'000}, {"intel-rapl:0:0", "uncore", 500'000}},
         {{"intel-rapl:0", 1'100'000}, {"intel-rapl:0:0", 700'000}}, {"CPU Energy", "GPU Energy"}, {0, 200'000}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        PowercapTree tree;
        for (const Zone &zone : c.zones)
            tree.addZone(QString::fromLatin1(zone.zone), QString::fromLatin1(zone.name), zone.energy, zone.maxRange);
        RaplEnergyCounters counters(tree.root());
        EXPECT_EQ(channelNames(counters.catalogue()), c.channels);
        if (c.delta.empty())
            continue;
        std::vector<int> channels(c.delta.size());
        std::iota(channels.begin(), channels.end(), 0);
        ASSERT_TRUE(counters.subscribe(channels));
        const std::optional<EnergySample> first = counters.sample();
        for (const auto &[zone, energy] : c.later)
            tree.setEnergy(QString::fromLatin1(zone), energy);
        const std::optional<EnergySample> second = counters.sample();
        ASSERT_TRUE(first && second);
        EXPECT_EQ(counters.delta(*first, *second), c.delta);
    }
}

TEST(RaplEnergyCounters, NoPowercapMeansNoCatalogue)
{
    QTemporaryDir empty;
    EXPECT_EQ(RaplEnergyCounters(empty.path()).catalogue(), std::nullopt);
    EXPECT_EQ(RaplEnergyCounters(empty.path() + QStringLiteral("/missing")).catalogue(), std::nullopt);
}

TEST(RaplEnergyCounters, UnreadableCountersFailTheSampleAndHideTheZone)
{
    PowercapTree tree;
    tree.addZone(QStringLiteral("intel-rapl:0"), QStringLiteral("package-0"), 1'000'000);
    FakeSysfsFiles files;
    RaplEnergyCounters counters(tree.root(), files);
    ASSERT_TRUE(counters.subscribe({0}));
    EXPECT_TRUE(counters.sample());
    // As for an unprivileged user on kernels that restrict energy_uj to root.
    files.unreadable = QStringLiteral("/energy_uj");
    EXPECT_EQ(counters.sample(), std::nullopt);
    EXPECT_EQ(RaplEnergyCounters(tree.root(), files).catalogue(), std::nullopt);
}

TEST(RaplEnergyCounters, RecordedHybridLaptopTreeGivesCpuAndGpuChannels)
{
    RaplEnergyCounters counters(TestPaths::fixtures() + QStringLiteral("/powercap/hybrid-laptop"));
    EXPECT_EQ(channelNames(counters.catalogue()), (QStringList{QStringLiteral("CPU Energy"), QStringLiteral("GPU Energy")}));
    ASSERT_TRUE(counters.subscribe({0, 1}));
    const std::optional<EnergySample> sample = counters.sample();
    ASSERT_TRUE(sample);
    EXPECT_EQ(counters.delta(*sample, *sample), (std::vector<std::int64_t>{0, 0}));
}
