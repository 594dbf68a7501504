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

TEST(PowerSupplyDiscovery, TakesEveryPresentSystemBatteryAndTheMachinesAdapters)
{
    QTemporaryDir sys;
    const auto supply = [&](const char *name, std::initializer_list<std::pair<const char *, const char *>> attributes) {
        const QString directory = powerSupplyDirectory(sys.path()) + QLatin1String(name);
        for (const auto &[attribute, text] : attributes)
            writeFile(directory + QLatin1Char('/') + QLatin1String(attribute), QByteArray(text) + '\n');
    };
    supply("BAT2", {{"type", "Battery"}});
    supply("BAT1", {{"type", "Battery"}, {"present", "1"}});
    supply("BAT0", {{"type", "Battery"}, {"present", "0"}}); // empty bay
    supply("AAA_hid", {{"type", "Battery"}, {"scope", "Device"}});
    supply("AC", {{"type", "Mains"}});
    supply("ucsi-source-psy-USBC000:001", {{"type", "USB"}});
    supply("hid-pen", {{"type", "USB"}, {"scope", "Device"}});

    const PowerSupplies supplies = discoverPowerSupplies(SysfsFiles::real(), powerSupplyDirectory(sys.path()));
    EXPECT_EQ(supplies.batteries, (QStringList{"BAT1", "BAT2"}));
    EXPECT_EQ(supplies.externalSupplies, (QStringList{"AC", "ucsi-source-psy-USBC000:001"}));
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
