#include "power/battery_merge.h"

#include "support/battery_printers.h"

#include <gtest/gtest.h>

namespace {

BatSourceReading named(const char *name, BatSourceReading reading = {})
{
    reading.name = QLatin1String(name);
    return reading;
}

// A full first poll's readings, all empty.
QList<BatSourceReading> nothingKnown()
{
    return {named("IOPS"), named("SmartBattery"), named("Gauge"), named("Telemetry"), named("pmset")};
}

TEST(BatteryMerge, DesktopWithoutBatteryListsEveryReading)
{
    BatSnap expected;
    expected.sourcesLabel = QStringLiteral("IOPS · SmartBattery · Gauge · Telemetry · pmset");
    expected.sourceNames = {QStringLiteral("IOPS"), QStringLiteral("SmartBattery"), QStringLiteral("Gauge"),
                            QStringLiteral("Telemetry"), QStringLiteral("pmset")};
    EXPECT_EQ(mergeBatteryReadings(nothingKnown()), expected);
}

TEST(BatteryMerge, StateFollowsSmartBatteryThenIopsThenPmset)
{
    struct Case
    {
        const char *what;
        QList<BatSourceReading> readings;
        bool charging;
        bool onAC;
    };
    const Case cases[] = {
        {"smart battery first",
         {named("IOPS", {.charging = true, .onAC = true}), named("SmartBattery", {.charging = false, .onAC = false})},
         false, false},
        {"power sources when the smart battery does not know",
         {named("IOPS", {.charging = true, .onAC = false}), named("SmartBattery")}, true, true},
        {"pmset last", {named("IOPS"), named("pmset", {.charging = false, .onAC = true})}, false, true},
        {"telemetry does not decide", {named("Telemetry", {.charging = true, .onAC = true})}, false, false},
        {"charging forces AC", {named("SmartBattery", {.charging = true, .onAC = false})}, true, true},
    };
    for (const Case &c : cases) {
        const BatSnap snap = mergeBatteryReadings(c.readings);
        EXPECT_EQ(snap.charging, c.charging) << c.what;
        EXPECT_EQ(snap.onAC, c.onAC) << c.what;
    }
}

TEST(BatteryMerge, LevelPrefersPowerSourcesAndPresenceHasThreeWitnesses)
{
    struct Case { const char *what; QList<BatSourceReading> readings; int level; bool present; };
    const Case cases[] = {
        {"power sources first", {named("IOPS", {.level = 80}), named("SmartBattery", {.level = 79})}, 80, false},
        {"smart battery next", {named("IOPS"), named("SmartBattery", {.level = 79}), named("pmset", {.level = 78})}, 79, false},
        {"out of range is skipped", {named("IOPS", {.level = 120}), named("pmset", {.level = 78})}, 78, false},
        {"gauge level is not a candidate", {named("Gauge", {.level = 60})}, 0, false},
        {"a reading that found the battery", {named("SmartBattery", {.present = true})}, 0, true},
        {"a level of 0 is no witness", {named("pmset", {.present = false, .level = 0})}, 0, false},
        {"a raw capacity", {named("ioreg", {.rawCurrent = 0})}, 0, true},
    };
    for (const Case &c : cases) {
        const BatSnap snap = mergeBatteryReadings(c.readings);
        EXPECT_EQ(snap.level, c.level) << c.what;
        EXPECT_EQ(snap.present, c.present || c.level >= 1) << c.what;
    }
}

TEST(BatteryMerge, DetailsTakeTheFirstKnownValueInDetailOrder)
{
    const QList<BatSourceReading> readings = {
        named("IOPS", {.cycles = 1, .rawCurrent = 1}),
        named("SmartBattery", {.adapterW = 0.0, .cycles = 312, .amperageMA = -735}),
        named("Gauge", {.health = 97, .design = 4950, .voltageMV = 11850}),
        named("Telemetry", {.adapterW = 60.0, .amperageMA = -700, .voltageMV = 11856}),
        named("pmset", {.rawMax = 1}),
        named("ioreg", {.adapterW = 96.0, .rawMax = 4938, .rawCurrent = 3753}),
    };
    const BatSnap snap = mergeBatteryReadings(readings);
    EXPECT_EQ(snap.cycles, 312);
    EXPECT_EQ(snap.health, 97);
    EXPECT_EQ(snap.design, 4950);
    EXPECT_EQ(snap.rawMax, 4938);
    EXPECT_EQ(snap.rawCurrent, 3753);
    EXPECT_EQ(snap.amperageMA, -735);
    EXPECT_EQ(snap.voltageMV, 11850);
    EXPECT_EQ(snap.adapterW, 60.0);
}

TEST(BatteryMerge, ChargePowerPrefersMergedCurrentThenTelemetry)
{
    struct Case { const char *what; QList<BatSourceReading> readings; double chargeW; };
    const Case cases[] = {
        {"current times voltage",
         {named("SmartBattery", {.chargeW = 3.0, .amperageMA = -1000, .voltageMV = 12000}), named("Telemetry", {.chargeW = 9.0})},
         12.0},
        {"below 20 mA the current says nothing",
         {named("SmartBattery", {.chargeW = 3.0, .amperageMA = 15, .voltageMV = 12000}), named("Telemetry", {.chargeW = 9.0})},
         9.0},
        {"tiny telemetry is ignored",
         {named("SmartBattery", {.chargeW = 3.0}), named("Telemetry", {.chargeW = 0.1})}, 3.0},
        {"first positive in detail order",
         {named("SmartBattery", {.chargeW = 0.0}), named("Gauge"), named("ioreg", {.chargeW = 4.5})}, 4.5},
        {"nothing known", nothingKnown(), 0.0},
    };
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(mergeBatteryReadings(c.readings).chargeW, c.chargeW) << c.what;
}

TEST(BatteryMerge, MinutesMustBePlausibleForThePowerState)
{
    struct Case { const char *what; QList<BatSourceReading> readings; std::optional<int> minutes; };
    const Case cases[] = {
        {"on battery, first plausible",
         {named("IOPS", {.onAC = false, .minutes = 65534}), named("pmset", {.minutes = 300}), named("SmartBattery", {.minutes = 200})},
         300},
        {"on battery up to 1200", {named("IOPS", {.onAC = false, .minutes = 1200})}, 1200},
        {"on battery beyond 1200", {named("IOPS", {.onAC = false, .minutes = 1201})}, std::nullopt},
        {"charging up to 480",
         {named("IOPS", {.charging = true, .minutes = 500}), named("SmartBattery", {.minutes = 480})}, 480},
        {"held at a limit on AC: nothing",
         {named("IOPS", {.charging = false, .onAC = true, .minutes = 90}), named("pmset", {.minutes = 80}),
          named("SmartBattery", {.minutes = 70}), named("ioreg", {.minutes = 60})},
         std::nullopt},
        {"ioreg last", {named("IOPS"), named("ioreg", {.minutes = 60})}, 60},
        {"gauge and telemetry are no candidates", {named("Gauge", {.minutes = 60}), named("Telemetry", {.minutes = 60})},
         std::nullopt},
        {"zero is no estimate", {named("IOPS", {.minutes = 0})}, std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(mergeBatteryReadings(c.readings).minutes, c.minutes) << c.what;
}

TEST(BatteryMerge, SourcesLabelNamesTheContributors)
{
    struct Case { const char *what; QList<BatSourceReading> readings; const char *label; };
    const Case cases[] = {
        {"every tag",
         {named("IOPS", {.level = 80}), named("SmartBattery", {.present = true, .amperageMA = -500}), named("Gauge"),
          named("Telemetry"), named("pmset", {.charging = false})},
         "SMC + IOKit + IOPS + pmset"},
        {"the gauge stands in for the smart battery",
         {named("IOPS"), named("SmartBattery"), named("Gauge", {.present = true})}, "SMC"},
        {"an amperage alone does not make a reading meaningful",
         {named("IOPS", {.minutes = 30}), named("SmartBattery", {.amperageMA = -500})}, "IOKit + IOPS"},
        {"telemetry and ioreg carry no tag",
         {named("IOPS"), named("Telemetry", {.present = true}), named("ioreg", {.present = true})}, "IOPS · Telemetry · ioreg"},
    };
    for (const Case &c : cases) {
        const BatSnap snap = mergeBatteryReadings(c.readings);
        EXPECT_EQ(snap.sourcesLabel, QString::fromUtf8(c.label)) << c.what;
        const QString separator = snap.sourcesLabel.contains(QStringLiteral(" + ")) ? QStringLiteral(" + ") : QStringLiteral(" · ");
        EXPECT_EQ(snap.sourceNames, snap.sourcesLabel.split(separator)) << c.what;
    }
}

} // namespace
