#include "platform/linux/sysfs_battery_registry.h"

#include "fakes/fake_sysfs_files.h"
#include "platform/linux/sysfs_tree.h"
#include "support/qt_printers.h"
#include "support/test_files.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <QDir>

#include <algorithm>
#include <functional>

// The recorded trees are read end to end, through the readers, in
// tests/power/battery_snapshot_test.cpp; these are the encoder's edge cases
// and the reader's file handling.

namespace {

// "key=value" lines, sorted: "#76" is a number object, "76" a plain integer.
QStringList describeEntries(const RegistryDictionary &entries)
{
    QStringList lines;
    for (auto it = entries.constBegin(); it != entries.constEnd(); ++it) {
        const RegistryValue &value = it.value();
        QString text;
        if (value.kind() == RegistryValue::Kind::NumberObject)
            text = QLatin1Char('#') + QString::number(value.signedValue());
        else if (value.kind() == RegistryValue::Kind::Integer)
            text = QString::number(value.signedValue());
        else if (value.kind() == RegistryValue::Kind::Boolean)
            text = value.booleanValue() ? QStringLiteral("true") : QStringLiteral("false");
        else if (value.kind() == RegistryValue::Kind::Dictionary)
            text = QLatin1Char('{') + describeEntries(value.dictionaryValue()).join(QStringLiteral(", ")) + QLatin1Char('}');
        else
            text = QStringLiteral("<unexpected kind>");
        lines.append(it.key() + QLatin1Char('=') + text);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

QStringList encode(const PowerSupplyAttributes &battery, const QList<PowerSupplyAttributes> &external = {})
{
    return describeEntries(registryEntryFromPowerSupply(battery, external));
}

QStringList entryOf(const QString &root, SysfsFiles &files = SysfsFiles::real())
{
    SysfsSmartBatteryRegistry registry(root, files);
    const auto entry = registry.copySmartBatteryEntry();
    return entry ? describeEntries(*entry) : QStringList{QStringLiteral("<no entry>")};
}

QString tree(const char *name)
{
    return TestPaths::fixtures() + QStringLiteral("/sysfs/") + QLatin1String(name);
}

const PowerSupplyAttributes kMainsOffline = {{"type", "Mains\n"}, {"online", "0\n"}};
const PowerSupplyAttributes kMainsOnline = {{"type", "Mains\n"}, {"online", "1\n"}};
const std::map<QString, QByteArray> kDischargingBattery = {
    {"type", "Battery\n"}, {"status", "Discharging\n"}, {"capacity", "50\n"}};

TEST(SysfsBatteryEncoding, MalformedValuesAreLeftOutAndHarmNothingElse)
{
    struct Case { const char *what; QByteArray capacity; std::optional<int> level; };
    const Case cases[] = {
        {"plain", "76\n", 76},
        {"surrounding blanks", " 76 \n", 76},
        {"no final newline", "76", 76},
        {"not a number", "unknown\n", std::nullopt},
        {"trailing garbage", "76%\n", std::nullopt},
        {"empty", "", std::nullopt},
        {"beyond int", "99999999999\n", std::nullopt},
        {"binary junk", QByteArray("\x00\xff\x37", 3), std::nullopt},
        {"counted past full", "104\n", 100},
    };
    for (const Case &c : cases) {
        QStringList expected = {"BatteryData={CycleCount=5}", "CycleCount=#5"};
        if (c.level) {
            const QString level = QString::number(*c.level);
            expected = {"BatteryData={CycleCount=5, StateOfCharge=" + level + "}", "CurrentCapacity=#" + level,
                        "CycleCount=#5", "MaxCapacity=#100"};
        }
        EXPECT_EQ(encode({{"type", "Battery\n"}, {"cycle_count", "5\n"}, {"capacity", c.capacity}}), expected) << c.what;
    }
}

TEST(SysfsBatteryEncoding, CurrentAndPowerSignFollowTheStatus)
{
    struct Case { const char *what; QByteArray status; QByteArray value; const char *current; const char *power; };
    const Case cases[] = {
        {"discharging magnitude", "Discharging", "1500000", "InstantAmperage=#-1500", "BatteryPower=-1500"},
        {"discharging already signed", "Discharging", "-1500000", "InstantAmperage=#-1500", "BatteryPower=-1500"},
        {"charging with a negative driver value", "Charging", "-1500000", "InstantAmperage=#1500", "BatteryPower=1500"},
        {"not charging keeps the driver's sign", "Not charging", "-12000", "InstantAmperage=#-12", "BatteryPower=-12"},
        {"unknown status keeps it too", "Unknown", "12000", "InstantAmperage=#12", "BatteryPower=12"},
    };
    for (const Case &c : cases) {
        const QStringList entry = encode({{"status", c.status}, {"current_now", c.value}, {"power_now", c.value}});
        EXPECT_TRUE(entry.contains(c.current)) << c.what;
        EXPECT_TRUE(entry.contains(QStringLiteral("PowerTelemetryData={%1}").arg(c.power))) << c.what;
    }
}

// Each rule as lines the entry has and keys it must not have.
TEST(SysfsBatteryEncoding, AveragesCapacitiesAndExternalPower)
{
    const PowerSupplyAttributes full = {{"status", "Full"}, {"capacity", "100"}};
    const PowerSupplyAttributes energy = {{"energy_now", "40000000"}, {"energy_full", "50000000"}};
    PowerSupplyAttributes energyWithVoltage = energy;
    energyWithVoltage.insert(QStringLiteral("voltage_now"), "10000000\n");
    const PowerSupplyAttributes usbOnline = {{"type", "USB\n"}, {"online", "1\n"}};
    struct Case
    {
        const char *what;
        PowerSupplyAttributes battery;
        QList<PowerSupplyAttributes> external;
        QStringList has, hasNot;
    };
    const Case cases[] = {
        // 150.5 min rounds away from zero.
        {"averaged current and time are preferred",
         {{"status", "Discharging"}, {"current_now", "2000000"}, {"current_avg", "1700000"},
          {"time_to_empty_now", "7200"}, {"time_to_empty_avg", "9030"}},
         {}, {"InstantAmperage=#-2000", "Amperage=#-1700", "AvgTimeToEmpty=#151"}, {}},
        // Without a percentage the level comes from the capacities.
        {"energy capacities with a voltage", energyWithVoltage, {}, {"CurrentCapacity=#4000", "MaxCapacity=#5000"}, {}},
        {"no adapter", full, {}, {"FullyCharged=true"}, {"ExternalConnected"}},
        {"adapter without online", full, {{{"type", "Mains\n"}}}, {}, {"ExternalConnected"}},
        // "Full" lingers after unplugging.
        {"unplugged", full, {kMainsOffline}, {"ExternalConnected=false", "FullyCharged=false"}, {}},
        {"plugged", full, {kMainsOnline}, {"ExternalConnected=true", "FullyCharged=true"}, {}},
        // No USB-PD contract published: no adapter rating.
        {"any online supply counts", full, {kMainsOffline, usbOnline}, {"ExternalConnected=true"}, {"AdapterDetails"}},
    };
    for (const Case &c : cases) {
        const QStringList entry = encode(c.battery, c.external);
        for (const QString &line : c.has)
            EXPECT_TRUE(entry.contains(line)) << c.what << ": " << line.toStdString();
        for (const QString &key : c.hasNot)
            EXPECT_FALSE(entry.join(QLatin1Char(' ')).contains(key)) << c.what << ": " << key.toStdString();
    }
    // Energy capacities need a voltage: without one there is no entry at all.
    EXPECT_EQ(encode(energy), QStringList{});
}

TEST(SysfsBatteryRegistry, NoSystemBatteryMeansNoEntry)
{
    // The desktop's only battery belongs to a mouse.
    EXPECT_EQ(entryOf(tree("desktop")), QStringList{"<no entry>"});
    EXPECT_EQ(entryOf(QStringLiteral("/nonexistent/sys")), QStringList{"<no entry>"});
}

TEST(SysfsBatteryRegistry, BatteryVanishingWhileReadIsNoEntry)
{
    const struct
    {
        const char *how;
        std::function<void(const QString &battery)> vanish;
    } cases[] = {
        {"unbound", [](const QString &battery) { QDir(battery).removeRecursively(); }},
        {"taken out of its bay", [](const QString &battery) { writeFile(battery + QStringLiteral("present"), "0\n"); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.how);
        SysfsTree sysfs;
        std::map<QString, QByteArray> attributes = kDischargingBattery;
        attributes.emplace("present", "1\n");
        const QString battery = sysfs.addSupply("BAT0", attributes);
        FakeSysfsFiles files;
        files.beforeRead = [&](const QString &path) {
            if (path.endsWith(QLatin1String("BAT0/status")))
                c.vanish(battery);
        };
        EXPECT_EQ(entryOf(sysfs.root(), files), QStringList{"<no entry>"});
    }
}

// Read every few seconds, the battery's folder is listed again only after a
// supply was bound or unbound, which is when its files may differ.
TEST(SysfsBatteryRegistry, ListsTheBatterysFilesAgainOnlyAfterTheSuppliesChange)
{
    SysfsTree sysfs;
    const QString battery = sysfs.addSupply("BAT0", kDischargingBattery);
    FakeSysfsFiles files;
    int batteryListings = 0;
    files.beforeList = [&](const QString &directory) { batteryListings += directory.endsWith(QLatin1String("BAT0")); };
    SysfsSmartBatteryRegistry registry(sysfs.root(), files);

    ASSERT_TRUE(registry.copySmartBatteryEntry());
    writeFile(battery + QStringLiteral("capacity"), "49\n");
    const auto second = registry.copySmartBatteryEntry();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->value(QStringLiteral("CurrentCapacity")).signedValue(), 49);
    EXPECT_EQ(batteryListings, 1);

    sysfs.addSupply("AC", {{"type", "Mains\n"}});
    writeFile(battery + QStringLiteral("cycle_count"), "12\n");
    const auto third = registry.copySmartBatteryEntry();
    ASSERT_TRUE(third);
    EXPECT_EQ(batteryListings, 2);
    EXPECT_EQ(third->value(QStringLiteral("CycleCount")).signedValue(), 12);
}

// Capacities and the cycle count move over hours: between listings they are
// read at every kSteadyAttributesReadEvery-th reading.
TEST(SysfsBatteryRegistry, CapacitiesAndCyclesAreReadAgainOncePerMinuteOfPolls)
{
    SysfsTree sysfs;
    std::map<QString, QByteArray> attributes = kDischargingBattery;
    attributes.emplace("cycle_count", "10\n");
    const QString battery = sysfs.addSupply("BAT0", attributes);
    SysfsSmartBatteryRegistry registry(sysfs.root(), SysfsFiles::real());
    const auto cycles = [&] { return registry.copySmartBatteryEntry()->value(QStringLiteral("CycleCount")).signedValue(); };
    ASSERT_EQ(cycles(), 10);

    writeFile(battery + QStringLiteral("cycle_count"), "11\n");
    int readings = 1;
    while (cycles() == 10 && readings < 100)
        ++readings;
    EXPECT_EQ(readings, SysfsSmartBatteryRegistry::kSteadyAttributesReadEvery);
}

TEST(SysfsBatteryRegistry, UnreadableAttributeFallsBackWithoutPoisoning)
{
    FakeSysfsFiles files;
    files.unreadable = QStringLiteral("BAT0/capacity"); // as EACCES or EIO would
    const QStringList entry = entryOf(tree("acpi-discharging"), files);
    EXPECT_TRUE(entry.contains("CurrentCapacity=#3753"));
    EXPECT_TRUE(entry.contains("MaxCapacity=#4938"));
    EXPECT_TRUE(entry.contains("Voltage=#11856"));
}

} // namespace
