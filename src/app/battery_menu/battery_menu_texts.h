#pragma once

#include "charge/charge_limit_status.h"

#include <QString>

#include <optional>

// What the battery menu's status rows say, from the panel model's values and
// the charge-limit controller's state. Pure.
namespace BatteryMenuTexts {

struct BatteryState
{
    bool batteryPresent = false;
    bool charging = false;
    bool onAC = false;
    int levelPercent = 0;
    bool lowPower = false;
    QString timeDetail; // the panel model's time detail
};

struct ChargeState
{
    bool enabled = false; // "Manage charging"
    bool forceFullCharge = false;
    bool forceDischarge = false;
    ChargeLimitStatus status = ChargeLimitStatus::off;
};

struct Row
{
    QString label;
    QString value;

    bool operator==(const Row &) const = default;
};

// The level and "%", or "—" without a battery.
QString batteryValue(bool batteryPresent, int levelPercent);

// What charge management is doing, in the words of the "App Mode" row.
QString chargeModeText(const ChargeState &charge);

// "Desktop · AC only", the charge-mode text while management is on, or the
// battery's own state.
QString appModeText(const BatteryState &battery, const ChargeState &charge);

// "Calculating…" while there is no estimate, else the time without its
// suffix ("2h 5m left" reads "2h 5m").
QString timeValue(const QString &timeDetail);

// "Status", "Time to Full" or "Time Remaining" with its value; none without a
// battery.
std::optional<Row> timeRow(const BatteryState &battery, const ChargeState &charge);

} // namespace BatteryMenuTexts
