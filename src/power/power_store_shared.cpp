#include "power/power_store.h"

#include "platform/clock.h"
#include "platform/power_mode.h"
#include "platform/system_info.h"
#include "power/battery_snapshot.h"
#include "power/ioreport_power_reader.h"

PowerStore &PowerStore::shared()
{
    static PowerStore *store = new PowerStore(Clock::system(), BatterySnapshot::system(),
                                              &IOReportPowerReader::shared(), SystemInfo::system(),
                                              PowerModeMonitor::system());
    return *store;
}
