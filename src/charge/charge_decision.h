#pragma once

#include "charge/charge_inputs.h"
#include "charge/charge_limit_status.h"
#include "charge/charge_smc.h"

#include <QString>

#include <optional>

// The user's charge settings as one tick reads them.
struct ChargeSettings
{
    bool isEnabled = true;
    int limitPercent = 80; // 50–100
    bool forceFullCharge = false;
    bool forceDischarge = false;
};

// Once charging is inhibited at the limit it stays inhibited until the level
// has fallen this many points below it, so the charger does not toggle on
// every percent.
inline constexpr int kChargeHysteresisPoints = 2;

// What one tick does when the controller is reachable.
struct ChargeDecision
{
    // The charge-to-full override has done its job: switch it off and decide
    // again. The other fields are unset.
    bool endsForceFullCharge = false;
    std::optional<ChargeSMCMode> mode; // none = leave the charger as it is
    ChargeLimitStatus status = ChargeLimitStatus::off;
    std::optional<QString> modeDescription; // none = keep the shown one
    QString detail;

    bool operator==(const ChargeDecision &) const = default;
};

// The charger mode and texts for the battery state and settings, given the
// mode that was last applied successfully (none before the first write).
ChargeDecision decideCharge(const ChargeInputs &inputs, const ChargeSettings &settings,
                            std::optional<ChargeSMCMode> appliedMode);
