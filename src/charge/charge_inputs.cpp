#include "charge/charge_inputs.h"

#include "power/power_store.h"

ChargeInputs chargeInputsFrom(const PowerStore &store)
{
    return {store.batteryPresent(), store.levelPercent(), store.isOnAC(), store.isCharging()};
}
