#include "app/battery_menu/battery_menu_texts.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

using namespace BatteryMenuTexts;

namespace {

BatteryState battery(bool charging, bool onAC, int level, const char *timeDetail = "2h 5m left")
{
    return {true, charging, onAC, level, false, QString::fromUtf8(timeDetail)};
}

ChargeState managed(ChargeLimitStatus status, bool forceFull = false, bool forceDischarge = false)
{
    return {true, forceFull, forceDischarge, status};
}

const ChargeState kUnmanaged{};

} // namespace

TEST(BatteryMenuTexts, ChargeModeTextFollowsOverridesThenStatus)
{
    const struct Case
    {
        ChargeState charge;
        const char *text;
    } cases[] = {
        {kUnmanaged, "Automatic"},
        {ChargeState{false, false, true, ChargeLimitStatus::discharging}, "Automatic"},
        {managed(ChargeLimitStatus::holding, false, true), "Discharging"},
        {managed(ChargeLimitStatus::holding, true, false), "Charging to 100%"},
        {managed(ChargeLimitStatus::off), "Automatic"},
        {managed(ChargeLimitStatus::onBattery), "Charger not connected"},
        {managed(ChargeLimitStatus::chargingToLimit), "Charging"},
        {managed(ChargeLimitStatus::holding), "Inhibiting charging"},
        {managed(ChargeLimitStatus::chargeToFull), "Charging to 100%"},
        {managed(ChargeLimitStatus::discharging), "Discharging"},
        {managed(ChargeLimitStatus::unsupported), "Automatic"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(chargeModeText(c.charge), QString::fromUtf8(c.text)) << c.text;
}

TEST(BatteryMenuTexts, AppModeTextPerState)
{
    BatteryState lowPower = battery(false, false, 40);
    lowPower.lowPower = true;
    const struct Case
    {
        BatteryState battery;
        ChargeState charge;
        const char *text;
    } cases[] = {
        {BatteryState{}, managed(ChargeLimitStatus::unsupported), "Desktop · AC only"},
        {battery(false, true, 80), managed(ChargeLimitStatus::holding), "Inhibiting charging"},
        {lowPower, kUnmanaged, "Low Power Mode"},
        {battery(true, true, 50), kUnmanaged, "Charging"},
        {battery(false, false, 50), kUnmanaged, "Discharging"},
        {battery(false, true, 99), kUnmanaged, "Connected to Power"},
        {battery(false, true, 100), kUnmanaged, "Fully Charged"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(appModeText(c.battery, c.charge), QString::fromUtf8(c.text)) << c.text;
}

TEST(BatteryMenuTexts, TimeRowPerState)
{
    const struct Case
    {
        BatteryState battery;
        ChargeState charge;
        std::optional<Row> row;
    } cases[] = {
        {BatteryState{}, kUnmanaged, std::nullopt},
        {battery(false, true, 80), managed(ChargeLimitStatus::discharging, false, true), Row{"Status", "Discharging"}},
        {battery(true, true, 50, "1h 10m to full"), kUnmanaged, Row{"Time to Full", "1h 10m to full"}},
        {battery(false, true, 98, "Plugged in"), managed(ChargeLimitStatus::chargeToFull, true),
         Row{"Time to Full", "Plugged in"}},
        {battery(true, true, 50, "—"), kUnmanaged, Row{"Time to Full", "Calculating…"}},
        {battery(false, true, 80, "Plugged in"), managed(ChargeLimitStatus::holding), Row{"Status", "Inhibiting charging"}},
        {battery(false, true, 80, "Plugged in"), kUnmanaged, Row{"Status", "Plugged in"}},
        {battery(false, true, 100, "Fully Charged"), kUnmanaged, Row{"Status", "Fully Charged"}},
        {battery(false, true, 80, "—"), kUnmanaged, Row{"Status", "On Power Adapter"}},
        {battery(false, false, 60, "2h 05m remaining"), kUnmanaged, Row{"Time Remaining", "2h 05m"}},
        {battery(false, false, 60, "—"), kUnmanaged, Row{"Time Remaining", "Calculating…"}},
        {battery(false, false, 60, ""), kUnmanaged, Row{"Time Remaining", "Calculating…"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.battery.timeDetail.toStdString());
        EXPECT_EQ(timeRow(c.battery, c.charge), c.row);
    }
}
