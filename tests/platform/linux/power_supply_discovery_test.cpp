#include "platform/linux/power_supply_discovery.h"

#include "charge/charge_smc.h"
#include "fakes/fake_sysfs_files.h"
#include "platform/linux/charge_behaviour_smc.h"
#include "platform/linux/sysfs_battery_registry.h"
#include "support/qt_printers.h"
#include "support/test_files.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

void writeSupply(const QTemporaryDir &sys, const char *name,
                 std::initializer_list<std::pair<const char *, const char *>> attributes)
{
    const QString directory = powerSupplyDirectory(sys.path()) + QLatin1String(name);
    for (const auto &[attribute, text] : attributes)
        writeFile(directory + QLatin1Char('/') + QLatin1String(attribute), QByteArray(text) + '\n');
}

TEST(PowerSupplyDiscovery, TakesEveryPresentSystemBatteryAndTheMachinesAdapters)
{
    QTemporaryDir sys;
    const auto supply = [&](const char *name, std::initializer_list<std::pair<const char *, const char *>> attributes) {
        writeSupply(sys, name, attributes);
    };
    supply("BAT2", {{"type", "Battery"}});
    supply("BAT1", {{"type", "Battery"}, {"present", "1"}});
    supply("BAT0", {{"type", "Battery"}, {"present", "0"}}); // empty bay
    supply("AAA_hid", {{"type", "Battery"}, {"scope", "Device"}});
    supply("AC", {{"type", "Mains"}});
    supply("ucsi-source-psy-USBC000:001", {{"type", "USB"}});
    supply("hid-pen", {{"type", "USB"}, {"scope", "Device"}});

    PowerSupplyDiscovery discovery(SysfsFiles::real(), powerSupplyDirectory(sys.path()));
    const PowerSupplies supplies = discovery.discover();
    EXPECT_EQ(supplies.batteries, (QStringList{"BAT1", "BAT2"}));
    EXPECT_EQ(supplies.externalSupplies, (QStringList{"AC", "ucsi-source-psy-USBC000:001"}));
}

// Asked every few seconds, it must still see a bay emptied or filled in
// place and a supply that comes or goes, while reading little else.
TEST(PowerSupplyDiscovery, SeesPacksComeAndGoReadingKindsOnlyForNewSupplies)
{
    QTemporaryDir sys;
    writeSupply(sys, "AC", {{"type", "Mains"}});
    writeSupply(sys, "BAT0", {{"type", "Battery"}, {"present", "1"}});
    writeSupply(sys, "BAT1", {{"type", "Battery"}, {"present", "1"}});
    FakeSysfsFiles files;
    QStringList reads;
    files.beforeRead = [&](const QString &path) { reads.append(path.section(QLatin1Char('/'), -2)); };
    PowerSupplyDiscovery discovery(files, powerSupplyDirectory(sys.path()));

    EXPECT_EQ(discovery.discover().batteries, (QStringList{"BAT0", "BAT1"}));
    reads.clear();
    writeFile(powerSupplyDirectory(sys.path()) + QStringLiteral("BAT1/present"), "0\n");
    EXPECT_EQ(discovery.discover().batteries, QStringList{"BAT0"});
    EXPECT_EQ(reads, (QStringList{"BAT0/present", "BAT1/present"}));

    reads.clear();
    writeSupply(sys, "BAT2", {{"type", "Battery"}});
    EXPECT_EQ(discovery.discover().batteries, (QStringList{"BAT0", "BAT2"}));
    EXPECT_TRUE(reads.contains(QStringLiteral("BAT2/type")));
    EXPECT_TRUE(reads.contains(QStringLiteral("AC/type"))) << "a changed listing reads every kind again";

    QDir(powerSupplyDirectory(sys.path()) + QStringLiteral("BAT0")).removeRecursively();
    EXPECT_EQ(discovery.discover().batteries, QStringList{"BAT2"});
}

// With the first bay empty, the reading and the charge control must both
// describe the battery in the second one.
TEST(PowerSupplyDiscovery, ReadingAndChargeControlTakeTheSameBattery)
{
    const QString sys = TestPaths::fixtures() + QStringLiteral("/sysfs/acpi-empty-first-bay");

    SysfsSmartBatteryRegistry registry(sys);
    const std::optional<RegistryEntry> entry = registry.copySmartBatteryEntry();
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->value(QStringLiteral("CurrentCapacity")).signedValue(), 64);
    EXPECT_EQ(entry->value(QStringLiteral("CycleCount")).signedValue(), 148);

    FakeSysfsFiles files;
    QStringList written;
    files.answerWrite = [&](const QString &path, const QByteArray &) {
        written.append(path.mid(sys.size()));
        return 0;
    };
    ChargeBehaviourSmc client(sys, files);
    ChargeSMC smc(client);
    ASSERT_TRUE(smc.isAvailable());
    EXPECT_TRUE(smc.apply(ChargeSMCMode::forceDischarge));
    written.removeDuplicates(); // the fixture keeps showing "auto", so each key write repeats it
    EXPECT_EQ(written, QStringList{"/class/power_supply/BAT1/charge_behaviour"});
}

} // namespace
