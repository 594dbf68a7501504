#include "integration/system_battery_menu_hider.h"

#include "platform/defaults.h"
#include "platform/main_thread.h"
#include "platform/serial_queue.h"
#include "platform/system_battery_item.h"

#include <QPointer>

#include <climits>

namespace {

constexpr int kHidden = 8;
constexpr int kAlsoHidden = 0;

bool isRealDisplayValue(long long value)
{
    return value != kHidden && value != kAlsoHidden;
}

} // namespace

long long systemBatteryValueToRemember(std::optional<int> current, std::optional<long long> remembered,
                                       bool appHasHidden)
{
    if (current && isRealDisplayValue(*current))
        return *current;
    if (current && !appHasHidden)
        return kHidden;
    return remembered.value_or(kHidden);
}

std::optional<int> systemBatteryValueToRestore(std::optional<long long> remembered)
{
    if (remembered && isRealDisplayValue(*remembered) && *remembered >= INT_MIN && *remembered <= INT_MAX)
        return static_cast<int>(*remembered);
    return std::nullopt;
}

SystemBatteryMenuHider::SystemBatteryMenuHider(Defaults &defaults, SystemBatteryItem &item, SerialQueue &queue,
                                               QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_item(item)
    , m_queue(queue)
    , m_watchdog(this)
{
    m_watchdog.setObjectName(QStringLiteral("systemBatteryWatchdog"));
    m_watchdog.setInterval(kWatchdogInterval);
    // The watchdog may drift by seconds; a coarse timer lets the system batch
    // the wake-up with others.
    m_watchdog.setTimerType(Qt::CoarseTimer);
    // Only re-hide, so that the agents restart only when the value drifted.
    connect(&m_watchdog, &QTimer::timeout, this, [this] { hide(false); });
}

bool SystemBatteryMenuHider::isEnabled() const
{
    return m_defaults.boolValue(kEnabledKey).value_or(true);
}

SystemBatterySwitch SystemBatteryMenuHider::acts() const
{
    return m_item.kind();
}

void SystemBatteryMenuHider::setEnabled(bool on)
{
    m_defaults.setBool(kEnabledKey, on);
    if (on) {
        hide(true);
        startWatchdog();
    } else {
        stopWatchdog();
        restore();
    }
}

void SystemBatteryMenuHider::launch()
{
    if (!isEnabled())
        return;
    hide(true);
    startWatchdog();
}

void SystemBatteryMenuHider::hide(bool forceRestart)
{
    if (!isEnabled())
        return;
    QPointer<SystemBatteryMenuHider> self(this);
    // Queued work reaches the item directly, never through this object,
    // which may be gone by the time it runs.
    m_queue.post([&item = m_item, self, forceRestart] {
        const std::optional<int> current = item.readBatteryMenuValue();
        postToMain(self, [current, forceRestart](SystemBatteryMenuHider *hider) {
            hider->hideWithValue(current, forceRestart);
        });
    });
}

void SystemBatteryMenuHider::hideWithValue(std::optional<int> current, bool forceRestart)
{
    // The user may have switched the feature off while the value was read.
    if (!isEnabled())
        return;
    m_defaults.setInt(kSavedValueKey, systemBatteryValueToRemember(current, m_defaults.intValue(kSavedValueKey),
                                                                   m_defaults.boolValue(kDidHideKey) == true));
    // Flagged before the indicator is touched: a crash in between then still
    // leads to a restore, which is harmless when nothing was hidden.
    m_defaults.setBool(kDidHideKey, true);
    m_defaults.setBool(kEnabledKey, true);

    const bool restart = forceRestart || current != kHidden;
    m_queue.post([&item = m_item, restart] {
        item.hide();
        if (restart)
            item.restartAgents();
    });
}

void SystemBatteryMenuHider::restore()
{
    if (m_defaults.boolValue(kDidHideKey) != true)
        return;
    stopWatchdog();
    const std::optional<int> value = systemBatteryValueToRestore(m_defaults.intValue(kSavedValueKey));
    m_defaults.setBool(kDidHideKey, false);
    m_queue.post([&item = m_item, value] {
        if (value)
            item.show(*value);
        else
            item.putBackHidden();
        item.restartAgents();
    });
}

void SystemBatteryMenuHider::restoreAndWait()
{
    restore();
    m_queue.sync([] {});
}

void SystemBatteryMenuHider::startWatchdog()
{
    if (!isEnabled())
        return;
    m_watchdog.stop();
    m_watchdog.start();
}

void SystemBatteryMenuHider::stopWatchdog()
{
    m_watchdog.stop();
}
