#pragma once

#include <QString>

#include <memory>

class Clock;
class EnergyCounters;
class Notifications;
class PowerModeMonitor;
class PowerSourceList;
class ProcessTable;
class SmartBatteryRegistry;
class SmcUserClient;
class StatusItem;
class SystemInfo;
class WorkspaceEvents;

// The machine's real platform services. The only place that knows which
// implementation is real; everything else sees the interfaces. Create on the
// main thread after the application object (the D-Bus backends subscribe to
// signals there).
struct SystemBackends
{
    SystemBackends();
    ~SystemBackends();
    SystemBackends(SystemBackends &&) noexcept;

    std::unique_ptr<PowerSourceList> powerSources;
    std::unique_ptr<SmartBatteryRegistry> batteryRegistry;
    std::unique_ptr<EnergyCounters> energyCounters;
    std::unique_ptr<SystemInfo> systemInfo;
    std::unique_ptr<ProcessTable> processTable;
    std::unique_ptr<PowerModeMonitor> powerMode;
    std::unique_ptr<SmcUserClient> smc;
    std::unique_ptr<Notifications> notifications;
    std::unique_ptr<WorkspaceEvents> workspace;
};

SystemBackends makeSystemBackends();

// The smart-battery registry read below `sysRoot`, a stand-in for /sys (a
// recorded tree, for diagnostics).
std::unique_ptr<SmartBatteryRegistry> makeSmartBatteryRegistry(const QString &sysRoot);

// A StatusNotifierItem on the session bus. With `onlyWithWatcher`, null when
// no watcher (a tray host) answers there, so the caller can fall back to
// XEmbed.
std::unique_ptr<StatusItem> makeStatusNotifierItem(Clock &clock, bool onlyWithWatcher);
