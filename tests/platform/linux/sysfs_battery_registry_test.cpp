#include "platform/linux/sysfs_battery_registry.h"
#include "platform/linux/sysfs_files.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace {

QString tree(const char *name)
{
    return QStringLiteral(PENDRA_FIXTURES "/sysfs/") + QLatin1String(name);
}

// "key=value" lines, sorted: "#76" is a number object, "76" a plain integer.
QString describe(const RegistryValue &value);

QStringList describeEntries(const RegistryDictionary &entries)
{
    QStringList lines;
    for (auto it = entries.constBegin(); it != entries.constEnd(); ++it)
        lines.append(it.key() + QLatin1Char('=') + describe(it.value()));
    std::sort(lines.begin(), lines.end());
    return lines;
}

QString describe(const RegistryValue &value)
{
    switch (value.kind()) {
    case RegistryValue::Kind::NumberObject:
        return QLatin1Char('#') + QString::number(value.signedValue());
    case RegistryValue::Kind::CFNumber:
        return QStringLiteral("cf") + QString::number(value.signedValue());
    case RegistryValue::Kind::Integer:
        return QString::number(value.signedValue());
    case RegistryValue::Kind::Boolean:
        return value.booleanValue() ? QStringLiteral("true") : QStringLiteral("false");
    case RegistryValue::Kind::String:
        return QLatin1Char('"') + value.stringValue() + QLatin1Char('"');
    case RegistryValue::Kind::Dictionary:
        return QLatin1Char('{') + describeEntries(value.dictionaryValue()).join(QStringLiteral(", ")) + QLatin1Char('}');
    case RegistryValue::Kind::List:
        return QStringLiteral("(list)");
    }
    return {};
}

QStringList entryOf(const QString &root)
{
    SysfsSmartBatteryRegistry registry(root);
    const auto entry = registry.copySmartBatteryEntry();
    return entry ? describeEntries(*entry) : QStringList{QStringLiteral("<no entry>")};
}

TEST(SysfsBatteryRegistry, AcpiBatteryCountingInEnergyUnits)
{
    const QStringList expected = {
        "Amperage=#-735", // 8.716 W at 11.856 V
        "AppleRawBatteryVoltage=#11856",
        "AppleRawCurrentCapacity=#3753", // 43.24 Wh at the 11.52 V design voltage
        "AppleRawMaxCapacity=#4938",
        "AvgTimeToEmpty=#298", // 43.24 Wh at 8.716 W: no time from the kernel
        "BatteryData={CycleCount=312, DesignCapacity=4950, FccComp1=4938, StateOfCharge=76, Voltage=11856}",
        "CurrentCapacity=#76",
        "CycleCount=#312",
        "DesignCapacity=#4950",
        "ExternalConnected=false",
        "FullyCharged=false",
        "InstantAmperage=#-735",
        "IsCharging=false",
        "MaxCapacity=#100",
        "PowerTelemetryData={BatteryPower=-8716}",
        "Voltage=#11856",
    };
    EXPECT_EQ(entryOf(tree("acpi-discharging")), expected);
}

TEST(SysfsBatteryRegistry, AppleSiliconBatteryWithSignedCurrentAndTimes)
{
    const QStringList expected = {
        "Amperage=#-1234",
        "AppleRawBatteryVoltage=#12453",
        "AppleRawCurrentCapacity=#3645",
        "AppleRawMaxCapacity=#5788",
        "AvgTimeToEmpty=#294",
        "BatteryData={CycleCount=124, DesignCapacity=6075, FccComp1=5788, StateOfCharge=63, Voltage=12453}",
        "CurrentCapacity=#63",
        "CycleCount=#124",
        "DesignCapacity=#6075",
        "ExternalConnected=false",
        "FullyCharged=false",
        "InstantAmperage=#-1234",
        "IsCharging=false",
        "MaxCapacity=#100",
        "PowerTelemetryData={BatteryPower=-15367}",
        "Voltage=#12453",
    };
    EXPECT_EQ(entryOf(tree("macsmc-discharging")), expected);
}

TEST(SysfsBatteryRegistry, ChargingOnUsbPowerDeliveryReportsTheAdapter)
{
    const QStringList entry = entryOf(tree("acpi-charging"));
    EXPECT_TRUE(entry.contains("AdapterDetails={Watts=65}")) << entry.join('\n').toStdString();
    EXPECT_TRUE(entry.contains("InstantAmperage=#1893"));
    EXPECT_TRUE(entry.contains("IsCharging=true"));
    EXPECT_TRUE(entry.contains("ExternalConnected=true"));
    EXPECT_TRUE(entry.contains("AppleRawCurrentCapacity=#2861"));
    EXPECT_TRUE(entry.contains("DesignCapacity=#5650"));

    const QStringList apple = entryOf(tree("macsmc-charging"));
    EXPECT_TRUE(apple.contains("AvgTimeToFull=#50"));
    EXPECT_TRUE(apple.contains("PowerTelemetryData={BatteryPower=26880}"));
}

TEST(SysfsBatteryRegistry, FullAndHeldBatteries)
{
    const QStringList full = entryOf(tree("acpi-full"));
    EXPECT_TRUE(full.contains("FullyCharged=true"));
    EXPECT_TRUE(full.contains("IsCharging=false"));
    EXPECT_TRUE(full.contains("InstantAmperage=#0"));

    const QStringList held = entryOf(tree("acpi-held-at-limit"));
    EXPECT_TRUE(held.contains("FullyCharged=false"));
    EXPECT_TRUE(held.contains("IsCharging=false"));
    EXPECT_TRUE(held.contains("ExternalConnected=true"));
    EXPECT_TRUE(held.contains("InstantAmperage=#0"));
}

TEST(SysfsBatteryRegistry, NoSystemBatteryMeansNoEntry)
{
    // The desktop's only battery belongs to a mouse.
    EXPECT_EQ(entryOf(tree("desktop")), QStringList{"<no entry>"});
    EXPECT_EQ(entryOf(QStringLiteral("/nonexistent/sys")), QStringList{"<no entry>"});
}

// A writable copy of a sysfs tree for cases the recorded trees do not cover.
class SysfsTree
{
public:
    void write(const QString &supply, const QString &attribute, const QByteArray &contents)
    {
        const QString directory = supplyPath(supply);
        QDir().mkpath(directory);
        QFile file(directory + QLatin1Char('/') + attribute);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    void battery(const QString &name, std::initializer_list<std::pair<const char *, const char *>> attributes)
    {
        write(name, QStringLiteral("type"), "Battery\n");
        for (const auto &[attribute, value] : attributes)
            write(name, QLatin1String(attribute), QByteArray(value) + '\n');
    }
    QString root() const { return m_dir.path(); }
    QString supplyPath(const QString &supply) const { return m_dir.path() + QStringLiteral("/class/power_supply/") + supply; }

private:
    QTemporaryDir m_dir;
};

TEST(SysfsBatteryRegistry, FullAfterUnpluggingIsNotFullyCharged)
{
    SysfsTree sysfs;
    sysfs.battery("BAT0", {{"status", "Full"}, {"capacity", "100"}});
    sysfs.write("AC", "type", "Mains\n");
    sysfs.write("AC", "online", "0\n");
    EXPECT_TRUE(entryOf(sysfs.root()).contains("FullyCharged=false"));
    sysfs.write("AC", "online", "1\n");
    EXPECT_TRUE(entryOf(sysfs.root()).contains("FullyCharged=true"));
}

TEST(SysfsBatteryRegistry, MalformedValuesAreLeftOutAndHarmNothingElse)
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
        SysfsTree sysfs;
        sysfs.battery("BAT0", {{"cycle_count", "5"}});
        sysfs.write("BAT0", "capacity", c.capacity);
        QStringList expected = {"BatteryData={CycleCount=5}", "CycleCount=#5"};
        if (c.level) {
            const QString level = QString::number(*c.level);
            expected = {"BatteryData={CycleCount=5, StateOfCharge=" + level + "}", "CurrentCapacity=#" + level,
                        "CycleCount=#5", "MaxCapacity=#100"};
        }
        EXPECT_EQ(entryOf(sysfs.root()), expected) << c.what;
    }
}

TEST(SysfsBatteryRegistry, ChoosesTheFirstPresentSystemBattery)
{
    SysfsTree sysfs;
    sysfs.battery("BAT1", {{"capacity", "20"}});
    sysfs.battery("BAT0", {{"capacity", "90"}, {"present", "0"}}); // empty bay
    sysfs.battery("AAA_hid", {{"capacity", "5"}, {"scope", "Device"}});
    sysfs.battery("BAT2", {{"capacity", "40"}});
    EXPECT_TRUE(entryOf(sysfs.root()).contains("CurrentCapacity=#20"));
}

TEST(SysfsBatteryRegistry, CurrentSignFollowsTheStatus)
{
    struct Case { const char *what; const char *status; const char *current; const char *expected; };
    const Case cases[] = {
        {"discharging magnitude", "Discharging", "1500000", "InstantAmperage=#-1500"},
        {"discharging already signed", "Discharging", "-1500000", "InstantAmperage=#-1500"},
        {"charging with a negative driver value", "Charging", "-1500000", "InstantAmperage=#1500"},
        {"not charging keeps the driver's sign", "Not charging", "-12000", "InstantAmperage=#-12"},
        {"unknown status keeps it too", "Unknown", "12000", "InstantAmperage=#12"},
    };
    for (const Case &c : cases) {
        SysfsTree sysfs;
        sysfs.battery("BAT0", {{"status", c.status}, {"current_now", c.current}});
        EXPECT_TRUE(entryOf(sysfs.root()).contains(c.expected)) << c.what;
    }
}

TEST(SysfsBatteryRegistry, AverageCurrentAndTimesPreferTheAveragedAttributes)
{
    SysfsTree sysfs;
    sysfs.battery("BAT0", {{"status", "Discharging"}, {"current_now", "2000000"}, {"current_avg", "1700000"},
                           {"time_to_empty_now", "7200"}, {"time_to_empty_avg", "9030"}});
    const QStringList entry = entryOf(sysfs.root());
    EXPECT_TRUE(entry.contains("InstantAmperage=#-2000"));
    EXPECT_TRUE(entry.contains("Amperage=#-1700"));
    EXPECT_TRUE(entry.contains("AvgTimeToEmpty=#151")); // 150.5 min rounds away from zero
}

TEST(SysfsBatteryRegistry, CapacitiesNeedAVoltageToConvertEnergy)
{
    SysfsTree sysfs;
    sysfs.battery("BAT0", {{"energy_now", "40000000"}, {"energy_full", "50000000"}});
    EXPECT_EQ(entryOf(sysfs.root()), QStringList{});

    // Without a percentage the level comes from the capacities.
    sysfs.write("BAT0", "voltage_now", "10000000\n");
    const QStringList entry = entryOf(sysfs.root());
    EXPECT_TRUE(entry.contains("CurrentCapacity=#4000"));
    EXPECT_TRUE(entry.contains("MaxCapacity=#5000"));
}

TEST(SysfsBatteryRegistry, ExternalPowerNeedsAReadableAdapter)
{
    SysfsTree sysfs;
    sysfs.battery("BAT0", {{"capacity", "50"}});
    EXPECT_FALSE(entryOf(sysfs.root()).join(' ').contains("ExternalConnected"));

    sysfs.write("AC", "type", "Mains\n");
    EXPECT_FALSE(entryOf(sysfs.root()).join(' ').contains("ExternalConnected"));

    sysfs.write("AC", "online", "0\n");
    sysfs.write("ucsi-source-psy-USBC000:001", "type", "USB\n");
    sysfs.write("ucsi-source-psy-USBC000:001", "online", "1\n");
    EXPECT_TRUE(entryOf(sysfs.root()).contains("ExternalConnected=true"));
    // No contract published: no adapter rating.
    EXPECT_FALSE(entryOf(sysfs.root()).join(' ').contains("AdapterDetails"));
}

// Delegates to the real files, failing or removing what a test names.
class InterferingFiles final : public SysfsFiles
{
public:
    std::optional<QByteArray> read(const QString &path) override
    {
        if (path.endsWith(m_unreadable))
            return std::nullopt;
        if (!m_trigger.isEmpty() && path.endsWith(m_trigger))
            QDir(m_removeOnTrigger).removeRecursively();
        return SysfsFiles::real().read(path);
    }
    QStringList list(const QString &directory) override { return SysfsFiles::real().list(directory); }

    QString m_unreadable = QStringLiteral("<none>");
    QString m_trigger;
    QString m_removeOnTrigger;
};

TEST(SysfsBatteryRegistry, BatteryVanishingWhileReadIsNoEntry)
{
    SysfsTree sysfs;
    sysfs.battery("BAT0", {{"status", "Discharging"}, {"capacity", "50"}, {"voltage_now", "12000000"}});
    sysfs.write("AC", "type", "Mains\n");
    sysfs.write("AC", "online", "0\n");
    InterferingFiles files;
    files.m_trigger = QStringLiteral("BAT0/status");
    files.m_removeOnTrigger = sysfs.supplyPath(QStringLiteral("BAT0"));
    SysfsSmartBatteryRegistry registry(sysfs.root(), files);
    EXPECT_FALSE(registry.copySmartBatteryEntry().has_value());
}

TEST(SysfsBatteryRegistry, UnreadableAttributeFallsBackWithoutPoisoning)
{
    InterferingFiles files;
    files.m_unreadable = QStringLiteral("BAT0/capacity"); // as EACCES or EIO would
    SysfsSmartBatteryRegistry registry(tree("acpi-discharging"), files);
    const auto entry = registry.copySmartBatteryEntry();
    ASSERT_TRUE(entry);
    const QStringList lines = describeEntries(*entry);
    EXPECT_TRUE(lines.contains("CurrentCapacity=#3753"));
    EXPECT_TRUE(lines.contains("MaxCapacity=#4938"));
    EXPECT_TRUE(lines.contains("Voltage=#11856"));
}

} // namespace
