#pragma once

class PowerSourceList;
class SmartBatteryRegistry;

// The machine's real battery backends, created on first use and kept for the
// process. The only place that knows which implementation is real.
PowerSourceList &systemPowerSources();
SmartBatteryRegistry &systemSmartBatteryRegistry();
