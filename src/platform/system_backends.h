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

class Keychain;
// The user's secret store: the Secret Service, and a 0600 file in
// `secretsFolder` (created 0700) whenever no Secret Service answers.
std::unique_ptr<Keychain> makeSystemKeychain(const QString &secretsFolder);
