#include "fakes/fake_upower_service.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>

#include <algorithm>
#include <utility>

namespace {

const QString kService = QStringLiteral("org.freedesktop.UPower");
const QString kRootPath = QStringLiteral("/org/freedesktop/UPower");

} // namespace

FakeUPowerService::~FakeUPowerService()
{
    // The bus's thread stops calling in before the table goes.
    m_peer.bus().unregisterObject(kRootPath, QDBusConnection::UnregisterTree);
}

bool FakeUPowerService::start()
{
    return m_peer.bus().registerVirtualObject(kRootPath, this, QDBusConnection::SubPath) && m_peer.own(kService);
}

void FakeUPowerService::setDevices(const QList<Device> &devices)
{
    QList<Device> previous;
    {
        std::lock_guard lock(m_mutex);
        previous = std::exchange(m_devices, devices);
    }
    const auto find = [](const QList<Device> &list, const QString &name) {
        const auto it = std::find_if(list.cbegin(), list.cend(), [&](const Device &d) { return d.name == name; });
        return it == list.cend() ? nullptr : &*it;
    };
    for (const Device &now : devices) {
        const Device *old = find(previous, now.name);
        if (!old) {
            signalDevice(QStringLiteral("DeviceAdded"), now.name);
            continue;
        }
        QVariantMap changed;
        for (auto it = now.properties.cbegin(); it != now.properties.cend(); ++it) {
            if (old->properties.value(it.key()) != it.value())
                changed.insert(it.key(), it.value());
        }
        if (changed.isEmpty())
            continue;
        QDBusMessage signal = QDBusMessage::createSignal(
            devicePath(now.name), QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
        signal << QStringLiteral("org.freedesktop.UPower.Device") << changed << QStringList();
        m_peer.bus().send(signal);
    }
    for (const Device &old : std::as_const(previous)) {
        if (!find(devices, old.name))
            signalDevice(QStringLiteral("DeviceRemoved"), old.name);
    }
}

void FakeUPowerService::setOnBattery(std::optional<bool> onBattery)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_onBattery == onBattery)
            return;
        m_onBattery = onBattery;
    }
    if (!onBattery)
        return;
    QDBusMessage changed = QDBusMessage::createSignal(kRootPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("PropertiesChanged"));
    changed << kService << QVariantMap{{QStringLiteral("OnBattery"), *onBattery}} << QStringList();
    m_peer.bus().send(changed);
}

void FakeUPowerService::signalDevice(const QString &signal, const QString &name)
{
    QDBusMessage message = QDBusMessage::createSignal(kRootPath, kService, signal);
    message << QVariant::fromValue(QDBusObjectPath(devicePath(name)));
    m_peer.bus().send(message);
}

void FakeUPowerService::setSilent(bool silent)
{
    std::lock_guard lock(m_mutex);
    m_silent = silent;
}

int FakeUPowerService::callCount() const
{
    std::lock_guard lock(m_mutex);
    return m_calls;
}

QString FakeUPowerService::devicePath(const QString &name)
{
    return kRootPath + QStringLiteral("/devices/") + name;
}

QString FakeUPowerService::introspect(const QString &) const
{
    return {};
}

bool FakeUPowerService::handleMessage(const QDBusMessage &message, const QDBusConnection &connection)
{
    bool silent = false;
    {
        std::lock_guard lock(m_mutex);
        ++m_calls;
        silent = m_silent;
    }
    if (!silent)
        connection.send(answer(message));
    return true;
}

QDBusMessage FakeUPowerService::answer(const QDBusMessage &message) const
{
    std::lock_guard lock(m_mutex);
    const QString member = message.member();
    const QVariantList arguments = message.arguments();

    if (message.path() == kRootPath && member == QLatin1String("EnumerateDevices")) {
        QList<QDBusObjectPath> paths;
        // The daemon answers for its display device but never lists it.
        for (const Device &device : m_devices) {
            if (device.name != QLatin1String("DisplayDevice"))
                paths.append(QDBusObjectPath(devicePath(device.name)));
        }
        return message.createReply(QVariant::fromValue(paths));
    }
    if (message.path() == kRootPath && member == QLatin1String("Get") && arguments.size() == 2
        && arguments[1].toString() == QLatin1String("OnBattery") && m_onBattery)
        return message.createReply(QVariant::fromValue(QDBusVariant(*m_onBattery)));
    if (member == QLatin1String("GetAll") && arguments.value(0).toString() == QLatin1String("org.freedesktop.UPower.Device")) {
        for (const Device &device : m_devices) {
            if (devicePath(device.name) == message.path())
                return message.createReply(QVariant(device.properties));
        }
    }
    return message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
                                    QStringLiteral("no such method or object"));
}
