#include "charge/charge_limit_controller.h"

#include "platform/defaults.h"
#include "power/power_store.h"

// The controller's ties to the real power store, kept apart so that tests of
// the controller's rules link without it.

ChargeLimitController::ChargeLimitController(const PowerStore &store, ChargeSMC &smc, Defaults &defaults,
                                             QObject *parent)
    : ChargeLimitController([&store] { return chargeInputsFrom(store); }, smc, defaults, parent)
{
}

ChargeLimitController &ChargeLimitController::shared()
{
    static ChargeLimitController *controller = [] {
        auto *created = new ChargeLimitController(PowerStore::shared(), ChargeSMC::shared(), Defaults::standard());
        created->start();
        return created;
    }();
    return *controller;
}
