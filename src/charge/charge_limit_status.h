#pragma once

#include <QString>

// What the charge limit controller is doing, as the preferences window and
// the battery menu show it.
enum class ChargeLimitStatus {
    off,
    onBattery,
    chargingToLimit,
    holding,
    chargeToFull,
    discharging,
    unsupported,
};

QString displayString(ChargeLimitStatus status);
