#include "app/battery_menu/battery_menu_texts.h"

#include "app/ui/pendra_status_copy.h"

namespace BatteryMenuTexts {

namespace {

const QString kDash = QStringLiteral("—");
const QString kCalculating = QStringLiteral("Calculating…");

} // namespace

QString batteryValue(bool batteryPresent, int levelPercent)
{
    return batteryPresent ? QString::number(levelPercent) + QLatin1Char('%') : kDash;
}

QString chargeModeText(const ChargeState &charge)
{
    if (!charge.enabled)
        return QStringLiteral("Automatic");
    if (charge.forceDischarge)
        return QStringLiteral("Discharging");
    if (charge.forceFullCharge)
        return QStringLiteral("Charging to 100%");
    // The menu says "Automatic" where the controller's own status reads
    // "Off" or "Control unavailable"; every other state reads the same.
    if (charge.status == ChargeLimitStatus::off || charge.status == ChargeLimitStatus::unsupported)
        return QStringLiteral("Automatic");
    return displayString(charge.status);
}

QString appModeText(const BatteryState &battery, const ChargeState &charge)
{
    if (!battery.batteryPresent)
        return QStringLiteral("Desktop · AC only");
    if (charge.enabled)
        return chargeModeText(charge);
    if (battery.lowPower)
        return QStringLiteral("Low Power Mode");
    if (battery.charging)
        return QStringLiteral("Charging");
    if (!battery.onAC)
        return QStringLiteral("Discharging");
    if (battery.levelPercent < 100)
        return QStringLiteral("Connected to Power");
    return QStringLiteral("Fully Charged");
}

QString timeValue(const QString &timeDetail)
{
    if (timeDetail.isEmpty() || timeDetail == kDash || timeDetail == kCalculating)
        return kCalculating;
    return PendraStatusCopy::stripTimeSuffix(timeDetail);
}

std::optional<Row> timeRow(const BatteryState &battery, const ChargeState &charge)
{
    if (!battery.batteryPresent)
        return std::nullopt;
    const QString status = QStringLiteral("Status");
    if (charge.forceDischarge)
        return Row{status, QStringLiteral("Discharging")};
    if (battery.charging || charge.forceFullCharge)
        return Row{QStringLiteral("Time to Full"), timeValue(battery.timeDetail)};
    if (battery.onAC) {
        if (charge.enabled && charge.status == ChargeLimitStatus::holding)
            return Row{status, QStringLiteral("Inhibiting charging")};
        if (battery.levelPercent > 99)
            return Row{status, QStringLiteral("Fully Charged")};
        if (battery.timeDetail == kDash)
            return Row{status, QStringLiteral("On Power Adapter")};
        return Row{status, battery.timeDetail};
    }
    return Row{QStringLiteral("Time Remaining"), timeValue(battery.timeDetail)};
}

} // namespace BatteryMenuTexts
