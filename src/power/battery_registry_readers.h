#pragma once

#include "platform/registry.h"
#include "power/bat_snap.h"

#include <optional>

// Readings from the smart-battery registry entry; `entry` is absent when the
// machine has none.

// "SmartBattery": the entry's own properties.
BatSourceReading decodeSmartBattery(const std::optional<RegistryEntry> &entry);
// "Gauge": the fuel gauge's "BatteryData" dictionary.
BatSourceReading decodeGauge(const std::optional<RegistryEntry> &entry);
// "Telemetry": the "PowerTelemetryData" dictionary.
BatSourceReading decodeTelemetry(const std::optional<RegistryEntry> &entry);
