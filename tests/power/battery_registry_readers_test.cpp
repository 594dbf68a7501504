#include "power/battery_registry_readers.h"

#include "battery_watts.h"
#include "support/battery_printers.h"

#include <gtest/gtest.h>

namespace {

constexpr auto num = &RegistryValue::numberObject;
constexpr auto flag = &RegistryValue::boolean;
constexpr auto plain = &RegistryValue::integer;
constexpr auto dict = &RegistryValue::dictionary;

TEST(BatteryRegistryReaders, WithoutTheirEntryOrDictionaryKnowNothingNotEvenPresence)
{
    const BatSourceReading gauge{.name = QStringLiteral("Gauge")};
    const BatSourceReading telemetry{.name = QStringLiteral("Telemetry")};
    EXPECT_EQ(decodeSmartBattery(std::nullopt), BatSourceReading{.name = QStringLiteral("SmartBattery")});
    EXPECT_EQ(decodeSmartBattery(RegistryEntry{}),
              (BatSourceReading{.name = QStringLiteral("SmartBattery"), .present = true}));
    EXPECT_EQ(decodeGauge(std::nullopt), gauge);
    EXPECT_EQ(decodeGauge(RegistryEntry{{"CurrentCapacity", num(50)}}), gauge);
    EXPECT_EQ(decodeGauge(RegistryEntry{{"BatteryData", num(1)}}), gauge);
    EXPECT_EQ(decodeTelemetry(std::nullopt), telemetry);
    EXPECT_EQ(decodeTelemetry(RegistryEntry{{"Voltage", num(12000)}}), telemetry);
}

TEST(SmartBatteryReader, LevelFromCurrentAndMaxCapacity)
{
    struct Case { const char *what; RegistryEntry entry; std::optional<int> level; };
    const Case cases[] = {
        {"percent", {{"CurrentCapacity", num(80)}, {"MaxCapacity", num(100)}}, 80},
        {"mAh", {{"CurrentCapacity", num(3600)}, {"MaxCapacity", num(4500)}}, 80},
        {"no maximum", {{"CurrentCapacity", num(64)}}, 64},
        {"no maximum and above 100", {{"CurrentCapacity", num(3600)}}, std::nullopt},
        {"negative", {{"CurrentCapacity", num(-3)}, {"MaxCapacity", num(100)}}, std::nullopt},
        {"missing", {{"MaxCapacity", num(100)}}, std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(decodeSmartBattery(c.entry).level, c.level) << c.what;
}

TEST(SmartBatteryReader, ExternalPowerFollowsItsPrecedenceRules)
{
    struct Case
    {
        const char *what;
        RegistryEntry entry;
        std::optional<bool> charging;
        std::optional<bool> onAC;
    };
    const Case cases[] = {
        {"charging implies AC", {{"IsCharging", flag(true)}}, true, true},
        {"external without charging flag", {{"ExternalConnected", flag(false)}}, std::nullopt, false},
        {"external true wins", {{"IsCharging", flag(false)}, {"ExternalConnected", flag(true)}}, false, true},
        {"external false yields to charging", {{"IsCharging", flag(true)}, {"ExternalConnected", flag(false)}}, true, true},
        {"both false", {{"IsCharging", flag(false)}, {"ExternalConnected", flag(false)}}, false, false},
        {"raw key when the main one has another type",
         {{"ExternalConnected", RegistryValue::string(QStringLiteral("Yes"))}, {"AppleRawExternalConnected", flag(true)}},
         std::nullopt, true},
        {"neither key", {{"IsCharging", flag(false)}}, false, std::nullopt},
        {"fully charged stops charging on AC", {{"IsCharging", flag(true)}, {"FullyCharged", flag(true)}}, false, true},
        {"fully charged overrides external false",
         {{"ExternalConnected", flag(false)}, {"FullyCharged", flag(true)}}, false, true},
    };
    for (const Case &c : cases) {
        const BatSourceReading reading = decodeSmartBattery(c.entry);
        EXPECT_EQ(reading.charging, c.charging) << c.what;
        EXPECT_EQ(reading.onAC, c.onAC) << c.what;
    }
}

TEST(SmartBatteryReader, CapacityDetailsFallBackToTheGaugeDictionary)
{
    const RegistryEntry entry = {
        {"NominalChargeCapacity", num(4800)},
        {"DesignCapacity", num(0)},
        {"BatteryData", dict({{"CycleCount", plain(90)}, {"DesignCapacity", plain(5000)}})},
    };
    const BatSourceReading reading = decodeSmartBattery(entry);
    EXPECT_EQ(reading.rawMax, 4800);
    EXPECT_EQ(reading.cycles, 90);
    // A top-level design capacity of 0 is known but unusable.
    EXPECT_EQ(reading.design, std::nullopt);
    EXPECT_EQ(reading.health, std::nullopt);

    const RegistryEntry fromGauge = {
        {"AppleRawMaxCapacity", num(4800)},
        {"BatteryData", dict({{"DesignCapacity", plain(5000)}})},
    };
    EXPECT_EQ(decodeSmartBattery(fromGauge).design, 5000);
    EXPECT_EQ(decodeSmartBattery(fromGauge).health, 96);
}

TEST(SmartBatteryReader, VoltageWalksItsFallbacks)
{
    struct Case { const char *what; RegistryEntry entry; std::optional<int> voltage; };
    const Case cases[] = {
        {"raw voltage", {{"AppleRawBatteryVoltage", num(12100)}, {"Voltage", num(12000)}}, 12100},
        {"raw voltage of another type",
         {{"AppleRawBatteryVoltage", RegistryValue::string(QStringLiteral("x"))}, {"Voltage", num(12000)}}, 12000},
        {"zero goes to the gauge",
         {{"AppleRawBatteryVoltage", num(0)}, {"BatteryData", dict({{"Voltage", plain(11900)}})}}, 11900},
        {"gauge raw voltage when the gauge has no voltage",
         {{"BatteryData", dict({{"AppleRawBatteryVoltage", plain(11950)}})}}, 11950},
        {"sum of plausible cells",
         {{"Voltage", num(-1)},
          {"BatteryData", dict({{"CellVoltage", RegistryValue::list({plain(3900), plain(3901), plain(500), plain(0)})}})}},
         7801},
        {"nothing usable", {{"Voltage", num(0)}}, std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(decodeSmartBattery(c.entry).voltageMV, c.voltage) << c.what;
}

// Which bit patterns are repaired is BatteryRegistryValues.SignedQuantitiesRecoverNegativeBitPatterns.
TEST(SmartBatteryReader, AnImplausibleAmperageMovesOnToTheNextKey)
{
    const RegistryEntry entry = {{"InstantAmperage", num(70000)}, {"Amperage", num(-800)}};
    EXPECT_EQ(decodeSmartBattery(entry).amperageMA, -800);
}

TEST(SmartBatteryReader, SmallCurrentsAgainstTheChargingStateGiveNoPower)
{
    struct Case { const char *what; std::optional<bool> charging; int amperage; std::optional<double> chargeW; };
    const Case cases[] = {
        {"+30 mA while not charging", false, 30, std::nullopt},
        {"+30 mA, charging unknown", std::nullopt, 30, std::nullopt},
        {"-30 mA, charging unknown", std::nullopt, -30, watts(30, 12000)},
        {"-30 mA while charging", true, -30, std::nullopt},
        {"+30 mA while charging", true, 30, watts(30, 12000)},
        {"-30 mA while discharging", false, -30, watts(30, 12000)},
        {"+41 mA while not charging", false, 41, watts(41, 12000)},
        {"zero", false, 0, std::nullopt},
    };
    for (const Case &c : cases) {
        RegistryEntry entry = {{"Voltage", num(12000)}, {"InstantAmperage", num(c.amperage)}};
        if (c.charging)
            entry.insert(QStringLiteral("IsCharging"), flag(*c.charging));
        EXPECT_EQ(decodeSmartBattery(entry).chargeW, c.chargeW) << c.what;
    }
}

TEST(SmartBatteryReader, ChargingWithoutCurrentFallsBackToAdapterThenCharger)
{
    struct Case { const char *what; RegistryEntry entry; std::optional<double> chargeW; std::optional<double> adapterW; };
    const Case cases[] = {
        {"adapter rating", {{"IsCharging", flag(true)}, {"AdapterDetails", dict({{"Watts", plain(96)}})}}, 96.0, 96.0},
        {"adapter rating capped",
         {{"IsCharging", flag(true)}, {"AdapterDetails", dict({{"Watts", plain(180)}})}}, 140.0, 180.0},
        {"adapter ignored when not charging",
         {{"IsCharging", flag(false)}, {"AdapterDetails", dict({{"Watts", plain(96)}})}}, std::nullopt, 96.0},
        {"charger current times voltage",
         {{"IsCharging", flag(true)}, {"Voltage", num(12000)}, {"ChargerData", dict({{"ChargingCurrent", plain(2000)}})}},
         watts(2000, 12000), std::nullopt},
        {"charger current needs a voltage",
         {{"IsCharging", flag(true)}, {"ChargerData", dict({{"ChargingCurrent", plain(2000)}})}}, std::nullopt,
         std::nullopt},
        {"measured current wins",
         {{"IsCharging", flag(true)}, {"Voltage", num(12000)}, {"InstantAmperage", num(2500)},
          {"AdapterDetails", dict({{"Watts", plain(96)}})}},
         watts(2500, 12000), 96.0},
        {"zero adapter rating is unknown", {{"AdapterDetails", dict({{"Watts", plain(0)}})}}, std::nullopt, std::nullopt},
    };
    for (const Case &c : cases) {
        const BatSourceReading reading = decodeSmartBattery(c.entry);
        EXPECT_EQ(reading.chargeW, c.chargeW) << c.what;
        EXPECT_EQ(reading.adapterW, c.adapterW) << c.what;
    }
}

TEST(SmartBatteryReader, MinutesFollowThePowerState)
{
    struct Case { const char *what; RegistryEntry state; bool dropAverages; std::optional<int> minutes; };
    const Case cases[] = {
        {"charging: time to full", {{"IsCharging", flag(true)}}, false, 90},
        {"charging without average: remaining", {{"IsCharging", flag(true)}}, true, 200},
        {"on AC not charging: remaining only", {{"IsCharging", flag(false)}, {"ExternalConnected", flag(true)}}, false, 200},
        {"on battery: time to empty", {{"IsCharging", flag(false)}, {"ExternalConnected", flag(false)}}, false, 300},
        {"on battery without average: remaining", {{"ExternalConnected", flag(false)}}, true, 200},
    };
    for (const Case &c : cases) {
        RegistryEntry entry = c.state;
        entry.insert(QStringLiteral("TimeRemaining"), num(200));
        if (!c.dropAverages) {
            entry.insert(QStringLiteral("AvgTimeToEmpty"), num(300));
            entry.insert(QStringLiteral("AvgTimeToFull"), num(90));
        }
        EXPECT_EQ(decodeSmartBattery(entry).minutes, c.minutes) << c.what;
    }
    const RegistryEntry noEstimate = {{"AvgTimeToEmpty", num(65535)}, {"TimeRemaining", num(0)}};
    EXPECT_EQ(decodeSmartBattery(noEstimate).minutes, std::nullopt);
}

TEST(GaugeReader, RulesForLevelCapacityAndVoltage)
{
    auto gauge = [](const RegistryDictionary &values) { return decodeGauge(RegistryEntry{{"BatteryData", dict(values)}}); };
    EXPECT_EQ(gauge({{"StateOfCharge", plain(101)}}).level, std::nullopt);
    EXPECT_EQ(gauge({{"StateOfCharge", plain(0)}}).level, 0);
    EXPECT_EQ(gauge({{"CycleCount", num(312)}}).cycles, 312);
    // Without a design capacity the full-charge capacity is not taken.
    EXPECT_EQ(gauge({{"DesignCapacity", plain(0)}, {"FccComp1", plain(4900)}}).rawMax, std::nullopt);
    const BatSourceReading second = gauge({{"DesignCapacity", plain(5000)}, {"FccComp1", plain(0)}, {"FccComp2", plain(4500)}});
    EXPECT_EQ(second.rawMax, 4500);
    EXPECT_EQ(second.health, 90);
    const BatSourceReading cells = gauge(
        {{"Voltage", plain(0)}, {"CellVoltage", RegistryValue::list({plain(3900), plain(-1), plain(3950)})}});
    EXPECT_EQ(cells.voltageMV, 7850);
    EXPECT_EQ(gauge({{"CellVoltage", RegistryValue::list({plain(0)})}}).voltageMV, std::nullopt);
}

TEST(TelemetryReader, PowerRules)
{
    struct Case { const char *what; RegistryDictionary telemetry; std::optional<double> chargeW; };
    const Case cases[] = {
        {"agreeing system load is averaged in", {{"BatteryPower", plain(8716)}, {"SystemLoad", plain(9000)}},
         (9.0 + 8.716) * 0.5},
        {"disagreeing system load is ignored", {{"BatteryPower", plain(8716)}, {"SystemLoad", plain(20000)}}, 8.716},
        {"system load alone", {{"SystemLoad", plain(12004)}}, 12.004},
        {"idle system load", {{"SystemLoad", plain(150)}}, std::nullopt},
        {"number object beyond its bound", {{"BatteryPower", num(60000)}}, std::nullopt},
        {"plain integer above that bound", {{"BatteryPower", plain(60000)}}, 60.0},
        {"plain 32-bit pattern of a negative power", {{"BatteryPower", plain(4294958580LL)}}, 8.716},
        {"100 W or more is not a battery", {{"BatteryPower", plain(100000)}}, std::nullopt},
        {"0.15 W or less is noise", {{"BatteryPower", plain(150)}}, std::nullopt},
        {"unusable battery power falls back to the system", {{"BatteryPower", plain(100)}, {"SystemLoad", plain(5000)}},
         5.0},
    };
    for (const Case &c : cases) {
        const BatSourceReading reading = decodeTelemetry(RegistryEntry{{"PowerTelemetryData", dict(c.telemetry)}});
        ASSERT_EQ(reading.chargeW.has_value(), c.chargeW.has_value()) << c.what;
        if (c.chargeW) {
            EXPECT_DOUBLE_EQ(*reading.chargeW, *c.chargeW) << c.what;
        }
    }
}

TEST(TelemetryReader, CurrentIsDerivedOnlyForMultiCellPacks)
{
    const RegistryValue telemetry = dict({{"BatteryPower", plain(6000)}});
    const BatSourceReading single = decodeTelemetry(RegistryEntry{{"PowerTelemetryData", telemetry}, {"Voltage", num(7400)}});
    EXPECT_EQ(single.amperageMA, std::nullopt);
    EXPECT_EQ(single.voltageMV, std::nullopt);

    const BatSourceReading charging = decodeTelemetry(RegistryEntry{
        {"PowerTelemetryData", telemetry}, {"AppleRawBatteryVoltage", num(12000)}, {"IsCharging", flag(true)}});
    EXPECT_EQ(charging.amperageMA, 500);
    EXPECT_EQ(charging.voltageMV, 12000);

    const BatSourceReading discharging = decodeTelemetry(RegistryEntry{
        {"PowerTelemetryData", dict({{"BatteryPower", plain(-8716)}})}, {"Voltage", num(11856)}, {"IsCharging", flag(false)}});
    EXPECT_EQ(discharging.amperageMA, -735);
    EXPECT_EQ(discharging.charging, false);
}

} // namespace
