#pragma once

#include "support/bus_peer.h"

#include <QDBusVirtualObject>
#include <QList>
#include <QString>
#include <QVariantMap>

#include <mutex>
#include <optional>

// A UPower daemon on the session bus, answering EnumerateDevices, the root's
// OnBattery and each device's GetAll from a table, and signalling changes to
// either as the daemon does. It owns its own bus
// connection, so a client on another connection talks to it over the real bus.
// Its state is guarded: the bus may deliver calls on Qt's D-Bus thread.
class FakeUPowerService final : public QDBusVirtualObject
{
    Q_OBJECT

public:
    struct Device
    {
        QString name; // the object path's last element, e.g. "battery_BAT0"; "DisplayDevice" is not listed
        QVariantMap properties; // org.freedesktop.UPower.Device properties
    };

    ~FakeUPowerService() override;

    // Claims org.freedesktop.UPower on the session bus; false when it cannot.
    bool start();

    // Signals DeviceAdded / DeviceRemoved for devices that came or went and
    // PropertiesChanged for those whose properties changed.
    void setDevices(const QList<Device> &devices);
    // Absent: the daemon answers Get("OnBattery") with an error. A new known
    // value is signalled with PropertiesChanged.
    void setOnBattery(std::optional<bool> onBattery);
    // A hung daemon: calls are accepted and never answered.
    void setSilent(bool silent);
    int callCount() const;

    QString introspect(const QString &path) const override;
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override;

private:
    static QString devicePath(const QString &name);
    QDBusMessage answer(const QDBusMessage &message) const;
    void signalDevice(const QString &signal, const QString &name);

    BusPeer m_peer{QStringLiteral("fake-upower")};
    mutable std::mutex m_mutex;
    QList<Device> m_devices;
    std::optional<bool> m_onBattery;
    bool m_silent = false;
    int m_calls = 0;
};
