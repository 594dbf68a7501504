#include "charge/charge_limit_controller.h"

#include "platform/defaults.h"
#include "power/power_store.h"

// Wires the real power store, SMC client and settings; kept apart so that
// tests of the controller link without the real backends.
ChargeLimitController &ChargeLimitController::shared()
{
    static auto *controller = new ChargeLimitController(PowerStore::shared(), ChargeSMC::shared(), Defaults::standard());
    return *controller;
}
