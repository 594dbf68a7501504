#include "fakes/fake_watcher.h"

#include <QUuid>

FakeWatcher::FakeWatcher(QString serviceName)
    : m_serviceName(std::move(serviceName))
    , m_connectionName(QStringLiteral("fake-watcher-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
    m_serving = bus.isConnected()
                && bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), this,
                                      QDBusConnection::ExportScriptableSlots)
                && bus.registerService(m_serviceName);
}

FakeWatcher::~FakeWatcher()
{
    QDBusConnection bus(m_connectionName);
    bus.unregisterService(m_serviceName);
    bus.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
    QDBusConnection::disconnectFromBus(m_connectionName);
}

void FakeWatcher::RegisterStatusNotifierItem(const QString &service)
{
    m_items.append(service);
}
