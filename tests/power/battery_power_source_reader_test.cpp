#include "power/battery_power_source_reader.h"

#include "support/battery_printers.h"

#include <gtest/gtest.h>

namespace {

PowerSourceDescription battery(QVariantMap keys)
{
    keys.insert(QStringLiteral("Type"), QStringLiteral("InternalBattery"));
    keys.insert(QStringLiteral("Name"), QStringLiteral("InternalBattery-0"));
    return keys;
}

PowerSourceDescription ups()
{
    return {{QStringLiteral("Type"), QStringLiteral("UPS")},
            {QStringLiteral("Name"), QStringLiteral("Back-UPS 700")},
            {QStringLiteral("Current Capacity"), 40}};
}

BatSourceReading iops(BatSourceReading expected)
{
    expected.name = QStringLiteral("IOPS");
    expected.present = true;
    return expected;
}

TEST(BatteryPowerSourceReader, DecodesTheInternalBattery)
{
    struct Case { const char *what; QList<PowerSourceDescription> sources; BatSourceReading expected; };
    const Case cases[] = {
        {"percent capacity",
         {battery({{"Current Capacity", 80}, {"Max Capacity", 100}, {"Power Source State", "Battery Power"},
                   {"Is Charging", false}, {"Time to Empty", 250}})},
         iops({.level = 80, .charging = false, .onAC = false, .minutes = 250})},
        {"capacity in mAh",
         {battery({{"Current Capacity", 3600}, {"Max Capacity", 4500}})},
         iops({.level = 80, .onAC = false})},
        {"no maximum and more than 100",
         {battery({{"Current Capacity", 3600}})},
         iops({.onAC = false})},
        {"negative current capacity",
         {battery({{"Current Capacity", -1}, {"Max Capacity", 4500}})},
         iops({.onAC = false})},
        {"capacity of the wrong type",
         {battery({{"Current Capacity", "80"}, {"Max Capacity", 100}})},
         iops({.onAC = false})},
        {"charging uses time to full",
         {battery({{"Current Capacity", 54}, {"Max Capacity", 100}, {"Power Source State", "AC Power"},
                   {"Is Charging", true}, {"Time to Empty", 300}, {"Time to Full Charge", 98}})},
         iops({.level = 54, .charging = true, .onAC = true, .minutes = 98})},
        {"charging flag as a number",
         {battery({{"Is Charging", 1}, {"Time to Full Charge", 40}})},
         iops({.charging = true, .onAC = false, .minutes = 40})},
        {"zero time to empty is no estimate",
         {battery({{"Is Charging", false}, {"Time to Empty", 0}})},
         iops({.charging = false, .onAC = false})},
        {"65535 is no estimate",
         {battery({{"Time to Empty", 65535}})},
         iops({.onAC = false})},
        {"65534 is accepted by the reader",
         {battery({{"Time to Empty", 65534}})},
         iops({.onAC = false, .minutes = 65534})},
    };
    for (const Case &c : cases)
        EXPECT_EQ(decodePowerSources(c.sources), c.expected) << c.what;
}

TEST(BatteryPowerSourceReader, PicksTheFirstSourceThatLooksInternalElseKnowsNothing)
{
    PowerSourceDescription namedOnly = {{QStringLiteral("Type"), QStringLiteral("Battery")},
                                        {QStringLiteral("Name"), QStringLiteral("Internal Battery 1")},
                                        {QStringLiteral("Current Capacity"), 61}};
    EXPECT_EQ(decodePowerSources({ups(), namedOnly}).level, 61);

    PowerSourceDescription untyped = {{QStringLiteral("Current Capacity"), 33}};
    EXPECT_EQ(decodePowerSources({ups(), untyped}).level, 33);

    // A lone source counts whatever it is; of several, none that looks internal counts.
    EXPECT_EQ(decodePowerSources({ups()}).level, 40);
    PowerSourceDescription otherUps = ups();
    otherUps[QStringLiteral("Name")] = QStringLiteral("Smart-UPS 1500");
    const BatSourceReading none{.name = QStringLiteral("IOPS")};
    EXPECT_EQ(decodePowerSources({ups(), otherUps}), none);
    EXPECT_EQ(decodePowerSources({}), none);
}

} // namespace
