#include "power/battery_snapshot.h"

#include "platform/linux/sysfs_battery_registry.h"
#include "platform/tool_runner.h"

#include "battery_watts.h"
#include "fakes/battery_fakes.h"
#include "support/battery_printers.h"
#include "support/test_paths.h"
#include "fakes/fake_registry.h"

#include <gtest/gtest.h>

#include <QFile>

using namespace std::chrono_literals;

namespace {

const QString kPmset = QStringLiteral("/usr/bin/pmset");
const QString kIoreg = QStringLiteral("/usr/sbin/ioreg");

QString sysfsTree(const char *name)
{
    return TestPaths::fixtures() + QStringLiteral("/sysfs/") + QLatin1String(name);
}

PowerSourceDescription internalBattery(int percent, std::optional<int> minutesToEmpty)
{
    PowerSourceDescription description = {{QStringLiteral("Type"), QStringLiteral("InternalBattery")},
                                          {QStringLiteral("Current Capacity"), percent},
                                          {QStringLiteral("Max Capacity"), 100},
                                          {QStringLiteral("Power Source State"), QStringLiteral("Battery Power")},
                                          {QStringLiteral("Is Charging"), false}};
    if (minutesToEmpty)
        description.insert(QStringLiteral("Time to Empty"), *minutesToEmpty);
    return description;
}

QStringList names(const QList<BatSourceReading> &readings)
{
    QStringList result;
    for (const BatSourceReading &reading : readings)
        result.append(reading.name);
    return result;
}

TEST(BatterySnapshot, PmsetFillsInForMissingLevelOrEstimateAndACrossCheckRunsBothToolsWithATimeLimit)
{
    const QString pmset = QStringLiteral("/usr/bin/pmset -g batt");
    struct Case { const char *what; QList<PowerSourceDescription> sources; bool crossCheck; QStringList readings; QStringList runs; };
    const Case cases[] = {
        {"power sources know everything", {internalBattery(70, 200)}, false,
         {"IOPS", "SmartBattery", "Gauge", "Telemetry"}, {}},
        {"no estimate", {internalBattery(70, std::nullopt)}, false,
         {"IOPS", "SmartBattery", "Gauge", "Telemetry", "pmset"}, {pmset}},
        {"no power sources", {}, false, {"IOPS", "SmartBattery", "Gauge", "Telemetry", "pmset"}, {pmset}},
        {"cross-check", {internalBattery(70, 200)}, true, {"IOPS", "SmartBattery", "Gauge", "Telemetry", "pmset", "ioreg"},
         {pmset, "/usr/sbin/ioreg -rn AppleSmartBattery -c AppleSmartBattery"}},
    };
    for (const Case &c : cases) {
        FakePowerSourceList sources(c.sources);
        FakeSmartBatteryRegistry registry;
        RecordedToolRunner tools;
        BatterySnapshot snapshot(sources, registry, tools);
        EXPECT_EQ(names(snapshot.readAll(c.crossCheck)), c.readings) << c.what;
        EXPECT_EQ(tools.runs(), c.runs) << c.what;
        if (!c.runs.isEmpty()) {
            EXPECT_GT(tools.lastTimeLimit(), 0ms) << c.what;
        }
    }
}

TEST(BatterySnapshot, EachSnapshotLooksTheEntryUpOnceAndAfresh)
{
    FakePowerSourceList sources;
    FakeSmartBatteryRegistry registry(RegistryEntry{{"CurrentCapacity", RegistryValue::numberObject(50)}});
    RecordedToolRunner tools;
    BatterySnapshot snapshot(sources, registry, tools);
    snapshot.readSnapshot(false);
    EXPECT_EQ(registry.lookups(), 1);
    snapshot.readSnapshot(false);
    EXPECT_EQ(registry.lookups(), 2);
}

struct TreeCase
{
    const char *tree;
    BatSnap expected;
};

BatSnap fromRegistry(BatSnap snap)
{
    snap.present = true;
    snap.sourcesLabel = QStringLiteral("SMC + IOKit");
    snap.sourceNames = {QStringLiteral("SMC"), QStringLiteral("IOKit")};
    return snap;
}

TEST(BatterySnapshot, RecordedLinuxTreesWithoutPowerSources)
{
    const TreeCase cases[] = {
        // ACPI gives no time: energy ÷ power, (full − now) ÷ current.
        {"acpi-discharging",
         fromRegistry({.level = 76, .chargeW = watts(735, 11856), .minutes = 298, .cycles = 312, .health = 100, .rawMax = 4938,
                       .design = 4950, .rawCurrent = 3753, .amperageMA = -735, .voltageMV = 11856})},
        {"acpi-charging",
         fromRegistry({.level = 54, .charging = true, .onAC = true, .chargeW = watts(1893, 12603), .adapterW = 65,
                       .minutes = 77, .cycles = 87, .health = 94, .rawMax = 5296, .design = 5650, .rawCurrent = 2861,
                       .amperageMA = 1893, .voltageMV = 12603})},
        {"acpi-full",
         fromRegistry({.level = 100, .onAC = true, .cycles = 87, .health = 94, .rawMax = 5296, .design = 5650,
                       .rawCurrent = 5296, .amperageMA = 0, .voltageMV = 13012})},
        // Held at a limit on AC: no time estimate survives.
        {"acpi-held-at-limit",
         fromRegistry({.level = 80, .onAC = true, .cycles = 312, .health = 100, .rawMax = 4938, .design = 4950,
                       .rawCurrent = 3951, .amperageMA = 0, .voltageMV = 12480})},
        {"macsmc-discharging",
         fromRegistry({.level = 63, .chargeW = watts(1234, 12453), .minutes = 294, .cycles = 124, .health = 95,
                       .rawMax = 5788, .design = 6075, .rawCurrent = 3645, .amperageMA = -1234, .voltageMV = 12453})},
        {"macsmc-charging",
         fromRegistry({.level = 71, .charging = true, .onAC = true, .chargeW = watts(2100, 12800), .minutes = 50,
                       .cycles = 124, .health = 95, .rawMax = 5788, .design = 6075, .rawCurrent = 4110,
                       .amperageMA = 2100, .voltageMV = 12800})},
        // Several packs are one battery: energies add up, the flow is the
        // discharging (or charging) pack's, and each pack keeps its details.
        {"thinkpad-two-packs-discharging",
         fromRegistry({.level = 46, .chargeW = watts(835, 10920), .minutes = 269, .health = 93, .rawMax = 8306,
                       .design = 8894, .rawCurrent = 3781, .amperageMA = -835, .voltageMV = 10920,
                       .packs = {{"Internal", 94, 95, 215}, {"External", 29, 93, 487}}})},
        {"thinkpad-two-packs-charging",
         fromRegistry({.level = 54, .charging = true, .onAC = true, .chargeW = watts(2195, 12530), .minutes = 90,
                       .health = 93, .rawMax = 7827, .design = 8381, .rawCurrent = 4245, .amperageMA = 2195,
                       .voltageMV = 12530, .packs = {{"Internal", 67, 95, 215}, {"External", 50, 93, 487}}})},
        {"thinkpad-external-removed",
         fromRegistry({.level = 88, .chargeW = watts(600, 12240), .minutes = 164, .cycles = 215, .health = 95,
                       .rawMax = 1990, .design = 2099, .rawCurrent = 1750, .amperageMA = -600, .voltageMV = 12240})},
        // A charge-unit pack counts at its design voltage, as a single one does.
        {"two-packs-mixed-units",
         fromRegistry({.level = 70, .chargeW = watts(650, 11300), .minutes = 501, .health = 93, .rawMax = 7944,
                       .design = 8505, .rawCurrent = 5523, .amperageMA = -650, .voltageMV = 11300,
                       .packs = {{"BAT0", 55, 95, 96}, {"BAT1", 83, 92, 31}}})},
        {"desktop",
         {.sourcesLabel = QStringLiteral("IOPS · SmartBattery · Gauge · Telemetry · pmset"),
          .sourceNames = {"IOPS", "SmartBattery", "Gauge", "Telemetry", "pmset"}}},
    };
    for (const TreeCase &c : cases) {
        FakePowerSourceList sources;
        SysfsSmartBatteryRegistry registry(sysfsTree(c.tree));
        RecordedToolRunner tools;
        BatterySnapshot snapshot(sources, registry, tools);
        EXPECT_EQ(snapshot.readSnapshot(false), c.expected) << c.tree;
    }
}

TEST(BatterySnapshot, MissingToolsLeaveTheirReadingsEmpty)
{
    FakePowerSourceList sources;
    FakeSmartBatteryRegistry registry;
    BatterySnapshot snapshot(sources, registry, ToolRunner::system());
    EXPECT_EQ(snapshot.runTool(QStringLiteral("/nonexistent/pmset"), {}), std::nullopt);
    if (QFile::exists(kPmset) || QFile::exists(kIoreg))
        GTEST_SKIP() << "this machine has the tools";
    EXPECT_EQ(snapshot.readPmset(), BatSourceReading{.name = QStringLiteral("pmset")});
    EXPECT_EQ(snapshot.readIoreg(), BatSourceReading{.name = QStringLiteral("ioreg")});
}

} // namespace
