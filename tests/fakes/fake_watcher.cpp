#include "fakes/fake_watcher.h"

FakeWatcher::FakeWatcher(const QString &serviceName)
{
    m_serving = m_peer.bus().registerObject(QStringLiteral("/StatusNotifierWatcher"), this,
                                            QDBusConnection::ExportScriptableSlots)
                && m_peer.own(serviceName);
}

void FakeWatcher::RegisterStatusNotifierItem(const QString &service)
{
    m_items.append(service);
}
