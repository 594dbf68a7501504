// The shared stores wired to the real platform and to each other. Kept apart
// so that code using only the stores' constructors does not pull in the power
// store.
#include "energy/drain_alert_monitor.h"
#include "energy/drain_log.h"
#include "energy/process_energy_store.h"
#include "platform/clock.h"
#include "platform/defaults.h"
#include "platform/notifications.h"
#include "platform/process_table.h"
#include "power/power_store.h"

ProcessEnergyStore &ProcessEnergyStore::shared()
{
    static ProcessEnergyStore *store = new ProcessEnergyStore(
        ProcessTable::system(), Clock::system(),
        [] { return powerFiguresOf(PowerStore::shared()); },
        &DrainLog::shared());
    return *store;
}

DrainAlertMonitor &DrainAlertMonitor::shared()
{
    static DrainAlertMonitor monitor(Defaults::standard(), Clock::system(), Notifications::system(), [] {
        const QList<ProcEnergy> &top = ProcessEnergyStore::shared().top();
        return top.isEmpty() ? std::nullopt : std::optional<QString>(top.first().name);
    });
    return monitor;
}
