#pragma once

#include "platform/power_sources.h"

#include <QDBusConnection>

#include <chrono>
#include <optional>

// One UPower device's properties (org.freedesktop.UPower.Device) as a power
// source description. `onBattery` is UPower's root "OnBattery" when known;
// `index` numbers the batteries for their "Name".
PowerSourceDescription powerSourceFromUPowerDevice(const QVariantMap &device, std::optional<bool> onBattery,
                                                   int index);

// UPower's batteries as the power-source list: every present device of type
// battery that powers the machine (a mouse's or a headset's battery does not).
class UPowerPowerSources final : public PowerSourceList
{
public:
    // The system bus, with the default time budget.
    UPowerPowerSources();
    // `connection`: the bus UPower lives on. `budget` bounds one whole read, so
    // a hung daemon delays a poll by at most that much instead of D-Bus's
    // 25-second default.
    UPowerPowerSources(const QDBusConnection &connection, std::chrono::milliseconds budget);

    QList<PowerSourceDescription> copyPowerSources() override;

private:
    QDBusConnection m_connection;
    std::chrono::milliseconds m_budget;
};
