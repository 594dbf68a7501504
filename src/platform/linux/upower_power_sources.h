#pragma once

#include "platform/power_sources.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QSet>

#include <atomic>
#include <chrono>
#include <optional>

// One UPower device's properties (org.freedesktop.UPower.Device) as a power
// source description. `onBattery` is UPower's root "OnBattery" when known;
// `index` numbers the batteries for their "Name".
PowerSourceDescription powerSourceFromUPowerDevice(const QVariantMap &device, std::optional<bool> onBattery,
                                                   int index);

// UPower's batteries as the power-source list: every present device of type
// battery that powers the machine (a mouse's or a headset's battery does not).
// A poll asks each device once (GetAll); the device list and OnBattery are
// kept and asked again only after UPower signals a change or restarts. The
// signals arrive on the thread that built the object, which needs an event
// loop; copyPowerSources may run on any one other thread.
class UPowerPowerSources final : public QObject, public PowerSourceList
{
    Q_OBJECT

public:
    // The system bus, with the default time budget.
    UPowerPowerSources();
    // `connection`: the bus UPower lives on. `budget` bounds one whole read, so
    // a hung daemon delays a poll by at most that much instead of D-Bus's
    // 25-second default.
    UPowerPowerSources(const QDBusConnection &connection, std::chrono::milliseconds budget);

    QList<PowerSourceDescription> copyPowerSources() override;

private slots:
    void onDeviceAddedOrRemoved(const QDBusObjectPath &device);
    void onRootPropertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &invalidated);

private:
    QDBusConnection m_connection;
    std::chrono::milliseconds m_budget;
    // Raised by signals, cleared by the polling thread as it asks again.
    std::atomic<bool> m_devicesStale{true};
    std::atomic<bool> m_onBatteryStale{true};
    // Only the polling thread touches these.
    QList<QDBusObjectPath> m_devices;
    // Devices that are not a system battery (line power, peripherals).
    QSet<QString> m_otherDevices;
    std::optional<bool> m_onBattery;
};
