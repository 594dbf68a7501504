#pragma once

class PowerStore;

// The battery state one controller tick decides on, taken from the power
// store's published fields.
struct ChargeInputs
{
    bool batteryPresent = false;
    int levelPercent = 0; // after the store's level hysteresis, 0–100
    bool isOnAC = false;
    bool isCharging = false;

    bool operator==(const ChargeInputs &) const = default;
};

ChargeInputs chargeInputsFrom(const PowerStore &store);
