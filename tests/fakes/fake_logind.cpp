#include "fakes/fake_logind.h"

#include "support/event_loop.h"

#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QUuid>

FakeSignalSource::FakeSignalSource(const QString &serviceName)
    : m_serviceName(serviceName)
    , m_connectionName(QStringLiteral("fake-signal-source-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    // Listeners on the default connection match senders by the name's owner;
    // they must have seen the owner change before the first signal goes out.
    QDBusServiceWatcher seen(serviceName, QDBusConnection::sessionBus(), QDBusServiceWatcher::WatchForRegistration);
    bool registered = false;
    QObject::connect(&seen, &QDBusServiceWatcher::serviceRegistered, [&registered] { registered = true; });
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
    m_serving = bus.isConnected() && bus.registerService(serviceName) && spinUntil([&] { return registered; }, 3000);
}

FakeSignalSource::~FakeSignalSource()
{
    QDBusConnection(m_connectionName).unregisterService(m_serviceName);
    QDBusConnection::disconnectFromBus(m_connectionName);
}

void FakeSignalSource::emitSignal(const QString &path, const QString &interface, const QString &name, bool argument)
{
    QDBusMessage message = QDBusMessage::createSignal(path, interface, name);
    message << argument;
    QDBusConnection(m_connectionName).send(message);
}
