#include "fakes/fake_logind.h"

#include <QDBusMessage>
#include <QUuid>

FakeSignalSource::FakeSignalSource(const QString &serviceName)
    : m_serviceName(serviceName)
    , m_connectionName(QStringLiteral("fake-signal-source-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
    m_serving = bus.isConnected() && bus.registerService(serviceName);
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
