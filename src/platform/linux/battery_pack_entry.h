#pragma once

#include "platform/linux/power_supply_discovery.h"
#include "platform/registry.h"

#include <QList>
#include <QString>

// One system battery as read from its power_supply directory.
struct BatteryPackAttributes
{
    QString supplyName; // "BAT0"
    PowerSupplyAttributes attributes;
    // thinkpad_acpi adds its legacy `charge_stop_threshold` to the batteries
    // it extends; on those machines BAT0 is the built-in pack.
    bool thinkpadAcpi = false;
};

// The name a person knows a pack by: "Internal" / "External" where the
// firmware's numbering says which is which, else the kernel's supply name.
QString batteryPackName(const BatteryPackAttributes &pack);

// The registry entry of a machine with several packs: the combined battery
// (combinePacks()) in the registry's keys and units, as one pack's entry
// would carry them, plus "BatteryPacks", a list with each pack's own entry
// and its "Name". A capacity in mAh is given at the voltage of the pack that
// carries the flow, so that amperage times voltage is the machine's power.
RegistryEntry registryEntryFromPacks(const QList<BatteryPackAttributes> &packs,
                                     const QList<PowerSupplyAttributes> &externalSupplies);
