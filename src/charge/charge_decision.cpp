#include "charge/charge_decision.h"

namespace {

// Force full stops here rather than at 100: many batteries report 99 for a
// long time while topping off.
constexpr int kForceFullDoneLevel = 99;

ChargeDecision automaticCharging(ChargeLimitStatus status, const QString &description, const QString &detail)
{
    return {false, ChargeSMCMode::automatic, status, description, detail};
}

} // namespace

ChargeDecision decideCharge(const ChargeInputs &inputs, const ChargeSettings &settings,
                            std::optional<ChargeSMCMode> appliedMode)
{
    const int limit = settings.limitPercent;
    const int level = inputs.levelPercent;
    const QString limitText = QString::number(limit);

    if (!settings.isEnabled)
        return automaticCharging(ChargeLimitStatus::off, QStringLiteral("Automatic"),
                                 QStringLiteral("Turn on “Manage charging” to hold %1% on AC.").arg(limitText));

    if (!inputs.batteryPresent)
        return {false, ChargeSMCMode::automatic, ChargeLimitStatus::unsupported, std::nullopt,
                QStringLiteral("No internal battery.")};

    if (settings.forceDischarge)
        return {false, ChargeSMCMode::forceDischarge, ChargeLimitStatus::discharging, QStringLiteral("Discharging"),
                QStringLiteral("Forcing discharge even if the charger is connected. "
                               "Stop override to resume normal management.")};

    if (settings.forceFullCharge) {
        if (inputs.isOnAC && level >= kForceFullDoneLevel)
            return {true, std::nullopt, ChargeLimitStatus::off, std::nullopt, QString()};
        return automaticCharging(ChargeLimitStatus::chargeToFull, QStringLiteral("Charging to 100%"),
                                 QStringLiteral("Temporarily charging to full. "
                                                "Stops at 100% or when you stop the override."));
    }

    if (!inputs.isOnAC)
        return automaticCharging(ChargeLimitStatus::onBattery, QStringLiteral("Charger not connected"),
                                 QStringLiteral("Charge limit applies when a power adapter is connected."));

    if (level >= limit) {
        // The battery may go on reporting charging for a poll or two after
        // the charger was inhibited.
        const QString detail = inputs.isCharging
            ? QStringLiteral("At %1% — inhibit requested (IsCharging may lag briefly).").arg(limitText)
            : QStringLiteral("Holding near %1% with the charger connected.").arg(limitText);
        return {false, ChargeSMCMode::inhibit, ChargeLimitStatus::holding, QStringLiteral("Inhibiting charging"),
                detail};
    }

    if (level > limit - kChargeHysteresisPoints) {
        if (appliedMode == ChargeSMCMode::inhibit)
            return {false, std::nullopt, ChargeLimitStatus::holding, QStringLiteral("Inhibiting charging"),
                    QStringLiteral("Holding near %1%.").arg(limitText)};
        return automaticCharging(ChargeLimitStatus::chargingToLimit, QStringLiteral("Charging"),
                                 QStringLiteral("Approaching %1%.").arg(limitText));
    }

    return automaticCharging(ChargeLimitStatus::chargingToLimit, QStringLiteral("Charging"),
                             QStringLiteral("Charging toward %1%.").arg(limitText));
}
