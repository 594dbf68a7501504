#include "fakes/fake_notification_server.h"

FakeNotificationServer::FakeNotificationServer()
{
    m_registered = m_peer.bus().registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                               QDBusConnection::ExportAllSlots)
                   && m_peer.own(QStringLiteral("org.freedesktop.Notifications"));
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
