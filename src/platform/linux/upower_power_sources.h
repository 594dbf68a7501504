#pragma once

#include "platform/power_sources.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDeadlineTimer>
#include <QHash>
#include <QMutex>
#include <QObject>
#include <QSet>

#include <atomic>
#include <chrono>
#include <optional>

class UPowerCall;

// One UPower device's properties (org.freedesktop.UPower.Device) as a power
// source description. `onBattery` is UPower's root "OnBattery" when known;
// `index` numbers the batteries for their "Name".
PowerSourceDescription powerSourceFromUPowerDevice(const QVariantMap &device, std::optional<bool> onBattery,
                                                   int index);

// UPower's batteries as the power-source list: every present device of type
// battery that powers the machine (a mouse's or a headset's battery does not).
// A machine with several such packs is one source, UPower's display device,
// carrying the packs' own figures under "Packs".
// A battery's properties are asked once (GetAll) and then kept up to date
// from UPower's PropertiesChanged signals, which the daemon sends whenever it
// refreshes a device; the device list and OnBattery are kept the same way.
// A poll therefore costs no round trip once everything is known, and a kept
// battery is asked again after a minute in case a signal was missed. Until
// something changes, a poll is handed the sources it was handed last. The
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
    void onDevicePropertiesChanged(const QDBusMessage &message);

private:
    // A battery's properties, kept or asked for; a device found not to be a
    // system battery is noted and never asked again.
    QVariantMap batteryProperties(UPowerCall &upower, const QString &path);
    QList<PowerSourceDescription> describeSources(UPowerCall &upower);
    bool lastSourcesHold();

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

    struct KeptBattery
    {
        QVariantMap properties;
        QDeadlineTimer askAgain;
    };
    // Written by the polling thread and by the signals' thread. Every change
    // to what is kept moves the generation on.
    QMutex m_keptMutex;
    QHash<QString, KeptBattery> m_kept;
    quint64 m_keptGeneration = 0;

    // What the last poll handed out, and what it was built from; only the
    // polling thread touches these.
    QList<PowerSourceDescription> m_lastSources;
    quint64 m_lastSourcesGeneration = 0;
    bool m_haveLastSources = false;
};
