#include "charge/charge_decision.h"
#include "charge/charge_limit_controller.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

constexpr auto kAuto = ChargeSMCMode::automatic;
constexpr auto kInhibit = ChargeSMCMode::inhibit;
constexpr auto kDischarge = ChargeSMCMode::forceDischarge;
using Status = ChargeLimitStatus;

ChargeInputs onAC(int level, bool charging = false)
{
    return {true, level, true, charging};
}

ChargeInputs onBattery(int level)
{
    return {true, level, false, false};
}

ChargeSettings limit(int percent)
{
    return {true, percent, false, false};
}

} // namespace

TEST(ChargeDecision, FirstMatchingRowDecides)
{
    struct Case
    {
        const char *name;
        ChargeInputs inputs;
        ChargeSettings settings;
        std::optional<ChargeSMCMode> applied;
        std::optional<ChargeSMCMode> mode;
        Status status;
        std::optional<QString> modeDescription;
        const char *detail;
    };
    const ChargeSettings disabled{false, 80, false, false};
    const ChargeSettings disabledWithOverride{false, 75, true, true};
    const ChargeSettings discharge{true, 80, false, true};
    const ChargeSettings bothOverrides{true, 80, true, true};
    const ChargeSettings full{true, 80, true, false};
    const QString automatic = QStringLiteral("Automatic");
    const QString inhibiting = QStringLiteral("Inhibiting charging");
    const QString charging = QStringLiteral("Charging");
    const Case cases[] = {
        {"disabled names the limit", onAC(90), disabled, kInhibit, kAuto, Status::off, automatic,
         "Turn on “Manage charging” to hold 80% on AC."},
        {"disabled outranks overrides", onBattery(20), disabledWithOverride, std::nullopt, kAuto, Status::off,
         automatic, "Turn on “Manage charging” to hold 75% on AC."},
        {"no battery", {false, 0, true, false}, discharge, std::nullopt, kAuto, Status::unsupported, std::nullopt,
         "No internal battery."},
        {"discharge on AC", onAC(90), discharge, kInhibit, kDischarge, Status::discharging,
         QStringLiteral("Discharging"),
         "Forcing discharge even if the charger is connected. Stop override to resume normal management."},
        {"discharge outranks full", onAC(99), bothOverrides, std::nullopt, kDischarge, Status::discharging,
         QStringLiteral("Discharging"),
         "Forcing discharge even if the charger is connected. Stop override to resume normal management."},
        {"full below 99 on AC", onAC(98, true), full, kInhibit, kAuto, Status::chargeToFull,
         QStringLiteral("Charging to 100%"), "Temporarily charging to full. Stops at 100% or when you stop the override."},
        {"full on battery at 100", onBattery(100), full, std::nullopt, kAuto, Status::chargeToFull,
         QStringLiteral("Charging to 100%"), "Temporarily charging to full. Stops at 100% or when you stop the override."},
        {"on battery", onBattery(85), limit(80), kInhibit, kAuto, Status::onBattery,
         QStringLiteral("Charger not connected"), "Charge limit applies when a power adapter is connected."},
        {"at limit, still charging", onAC(80, true), limit(80), std::nullopt, kInhibit, Status::holding, inhibiting,
         "At 80% — inhibit requested (IsCharging may lag briefly)."},
        {"above limit, not charging", onAC(85), limit(80), kInhibit, kInhibit, Status::holding, inhibiting,
         "Holding near 80% with the charger connected."},
        {"one below, inhibited", onAC(79), limit(80), kInhibit, std::nullopt, Status::holding, inhibiting,
         "Holding near 80%."},
        {"one below, charging", onAC(79, true), limit(80), kAuto, kAuto, Status::chargingToLimit, charging,
         "Approaching 80%."},
        {"one below, nothing applied yet", onAC(79), limit(80), std::nullopt, kAuto, Status::chargingToLimit, charging,
         "Approaching 80%."},
        {"two below releases", onAC(78), limit(80), kInhibit, kAuto, Status::chargingToLimit, charging,
         "Charging toward 80%."},
    };
    for (const Case &c : cases) {
        const ChargeDecision decision = decideCharge(c.inputs, c.settings, c.applied);
        EXPECT_FALSE(decision.endsForceFullCharge) << c.name;
        EXPECT_EQ(decision.mode, c.mode) << c.name;
        EXPECT_EQ(decision.status, c.status) << c.name;
        EXPECT_EQ(decision.modeDescription, c.modeDescription) << c.name;
        EXPECT_EQ(decision.detail, QString::fromUtf8(c.detail)) << c.name;
    }
}

TEST(ChargeDecision, ForceFullEndsOnACFrom99)
{
    const ChargeSettings full{true, 80, true, false};
    for (const int level : {99, 100})
        EXPECT_TRUE(decideCharge(onAC(level), full, kAuto).endsForceFullCharge) << level;
    EXPECT_FALSE(decideCharge(onAC(98), full, kAuto).endsForceFullCharge);
    EXPECT_FALSE(decideCharge(onBattery(99), full, kAuto).endsForceFullCharge);
}

TEST(ChargeLimitStatusText, DisplayStringsAndStatusLines)
{
    struct Case
    {
        Status status;
        const char *display;
        const char *line; // with limit 80
    };
    const Case cases[] = {
        {Status::off, "Off", "Automatic"},
        {Status::onBattery, "Charger not connected", "Charger not connected"},
        {Status::chargingToLimit, "Charging", "Charging to 80%"},
        {Status::holding, "Inhibiting charging", "Inhibiting charging · 80%"},
        {Status::chargeToFull, "Charging to 100%", "Charging to 100%"},
        {Status::discharging, "Discharging", "Discharging"},
        {Status::unsupported, "Control unavailable", "Charge control unavailable"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(displayString(c.status), QString::fromUtf8(c.display));
        EXPECT_EQ(chargeStatusLine(c.status, 80), QString::fromUtf8(c.line));
    }
    EXPECT_EQ(chargeStatusLine(Status::holding, 80, true),
              QStringLiteral("Inhibiting charging · 80% · the desktop can hold a limit too"));
}
