#pragma once

#include <QString>

#include <memory>

class PowerSourceList;
class SmartBatteryRegistry;

// The machine's real battery backends, created on first use and kept for the
// process. The only place that knows which implementation is real.
PowerSourceList &systemPowerSources();
SmartBatteryRegistry &systemSmartBatteryRegistry();

// The smart-battery registry read below `sysRoot`, a stand-in for /sys (a
// recorded tree, for diagnostics).
std::unique_ptr<SmartBatteryRegistry> makeSmartBatteryRegistry(const QString &sysRoot);
