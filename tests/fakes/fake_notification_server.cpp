#include "fakes/fake_notification_server.h"

namespace {

const QString kConnectionName = QStringLiteral("fake-notification-server");
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

} // namespace

FakeNotificationServer::FakeNotificationServer()
    : m_connection(QDBusConnection::connectToBus(QDBusConnection::SessionBus, kConnectionName))
{
    m_registered = m_connection.isConnected()
        && m_connection.registerObject(kPath, this, QDBusConnection::ExportAllSlots)
        && m_connection.registerService(kService);
}

FakeNotificationServer::~FakeNotificationServer()
{
    m_connection.unregisterService(kService);
    m_connection.unregisterObject(kPath);
    QDBusConnection::disconnectFromBus(kConnectionName);
}

uint FakeNotificationServer::Notify(const QString &appName, uint replacesId, const QString &appIcon,
                                    const QString &summary, const QString &body, const QStringList &actions,
                                    const QVariantMap &hints, int expireTimeout)
{
    notifications.append({appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout});
    setDelayedReply(!answering);
    return static_cast<uint>(notifications.size());
}

QStringList FakeNotificationServer::GetCapabilities()
{
    ++capabilityRequests;
    setDelayedReply(!answering);
    return {QStringLiteral("body"), QStringLiteral("sound")};
}
