#include "platform/linux/power_supply_discovery.h"

#include "charge/charge_smc.h"
#include "fakes/fake_sysfs_files.h"
#include "platform/linux/charge_behaviour_smc.h"
#include "platform/linux/sysfs_battery_registry.h"
#include "platform/linux/sysfs_tree.h"
#include "support/qt_printers.h"
#include "support/test_files.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

TEST(PowerSupplyDiscovery, TakesEveryPresentSystemBatteryAndTheMachinesAdapters)
{
    SysfsTree sysfs;
    sysfs.addSupply("BAT2", {{"type", "Battery\n"}});
    sysfs.addSupply("BAT1", {{"type", "Battery\n"}, {"present", "1\n"}});
    sysfs.addSupply("BAT0", {{"type", "Battery\n"}, {"present", "0\n"}}); // empty bay
    sysfs.addSupply("AAA_hid", {{"type", "Battery\n"}, {"scope", "Device\n"}});
    sysfs.addSupply("AC", {{"type", "Mains\n"}});
    sysfs.addSupply("ucsi-source-psy-USBC000:001", {{"type", "USB\n"}});
    sysfs.addSupply("hid-pen", {{"type", "USB\n"}, {"scope", "Device\n"}});

    PowerSupplyDiscovery discovery(SysfsFiles::real(), powerSupplyDirectory(sysfs.root()));
    const PowerSupplies supplies = discovery.discover();
    EXPECT_EQ(supplies.batteries, (QStringList{"BAT1", "BAT2"}));
    EXPECT_EQ(supplies.externalSupplies, (QStringList{"AC", "ucsi-source-psy-USBC000:001"}));
}

// Asked every few seconds, it must still see a bay emptied or filled in
// place and a supply that comes or goes, while reading little else.
TEST(PowerSupplyDiscovery, SeesPacksComeAndGoReadingKindsOnlyForNewSupplies)
{
    SysfsTree sysfs;
    sysfs.addSupply("AC", {{"type", "Mains\n"}});
    sysfs.addSupply("BAT0", {{"type", "Battery\n"}, {"present", "1\n"}});
    sysfs.addSupply("BAT1", {{"type", "Battery\n"}, {"present", "1\n"}});
    FakeSysfsFiles files;
    QStringList reads;
    files.beforeRead = [&](const QString &path) { reads.append(path.section(QLatin1Char('/'), -2)); };
    PowerSupplyDiscovery discovery(files, powerSupplyDirectory(sysfs.root()));

    EXPECT_EQ(discovery.discover().batteries, (QStringList{"BAT0", "BAT1"}));
    reads.clear();
    writeFile(sysfs.supply("BAT1") + QStringLiteral("present"), "0\n");
    EXPECT_EQ(discovery.discover().batteries, QStringList{"BAT0"});
    EXPECT_EQ(reads, (QStringList{"BAT0/present", "BAT1/present"}));

    reads.clear();
    sysfs.addSupply("BAT2", {{"type", "Battery\n"}});
    EXPECT_EQ(discovery.discover().batteries, (QStringList{"BAT0", "BAT2"}));
    EXPECT_TRUE(reads.contains(QStringLiteral("BAT2/type")));
    EXPECT_TRUE(reads.contains(QStringLiteral("AC/type"))) << "a changed listing reads every kind again";

    QDir(sysfs.supply("BAT0")).removeRecursively();
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
